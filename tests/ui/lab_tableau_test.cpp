// The Method lab's Tableau page as a student uses it: a known tableau
// loaded into the boxes, an entry changed, a box typed wrong, and the typed
// method on the other pages as one more row of the catalogue. Orders and
// error constants come from tests/support/order_conditions.py; the
// stability interval of every four-stage fourth-order method (R(z) the
// truncated exponential) is 2.785, as the Stability page gives Runge-Kutta 4's.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using pelorin::testing::settleStudies;

class TableauPage : public pelorin::testing::LabWindowTest {
protected:
    void SetUp() override {
        LabWindowTest::SetUp();
        openLab(Qt::Key_U);
    }

    void load(const char* known) {
        QComboBox* list = named<QComboBox>("Known tableau");
        ASSERT_GE(list->findText(known), 0) << known;
        list->setCurrentIndex(list->findText(known));
        QPushButton* button = nullptr;
        for (QPushButton* each : lab->findChildren<QPushButton*>()) {
            if (each->text().remove('&') == "Load into the boxes") button = each;
        }
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        settleStudies();
    }

    QString verdict() const { return label("Tableau notes")->text(); }
    QStringList row(const char* table, int r) const {
        QStringList cells;
        const QTableWidget* t = named<QTableWidget>(table);
        for (int c = 0; c < t->columnCount(); ++c) cells << t->item(r, c)->text();
        return cells;
    }
    // The Stability page's row of the own method: its interval, its verdict
    // and the methods with its R(z).
    QStringList ownIntervalRow() const {
        const QTableWidget* intervals = named<QTableWidget>("Stability intervals");
        for (int r = 0; r < intervals->rowCount(); ++r) {
            if (intervals->item(r, 0)->text() == "Own Runge-Kutta method") {
                return {intervals->item(r, 1)->text(), intervals->item(r, 2)->text(),
                        intervals->item(r, 3)->text()};
            }
        }
        return {"no row"};
    }
};

TEST_F(TableauPage, ALoadedTableauBecomesTheLabsMethodOnEveryPage) {
    load("Kutta 3/8");
    EXPECT_TRUE(verdict().startsWith("Own Runge-Kutta method: order 4, stage order 1, principal "
                                     "error constant 1.27E-02; explicit"))
        << verdict().toStdString();
    EXPECT_EQ(named<QTableWidget>("Order conditions")->rowCount(), 17);
    EXPECT_EQ(row("Order conditions", 8),
              (QStringList{"[τ,τ,τ,τ]", "5", "Σ bᵢcᵢ⁴ = 1/5", "11/54", "1/270"}));
    EXPECT_EQ(named<QComboBox>("Method")->currentText(), "Own Runge-Kutta method");

    QTest::keyClick(lab, Qt::Key_S, Qt::AltModifier);
    settleStudies();
    const QStringList own = ownIntervalRow();
    ASSERT_EQ(own.size(), 3);
    EXPECT_EQ(own[0], "2.785");
    EXPECT_EQ(own[1], "not A-stable");
    EXPECT_TRUE(own[2].contains("Runge-Kutta 4") && own[2].contains("Kutta 3/8"))
        << own[2].toStdString();
}

TEST_F(TableauPage, AChangedEntryChangesTheVerdictAndAWrongOneKeepsTheMethod) {
    load("Kutta 3/8");
    enter("a32", "2");
    EXPECT_TRUE(verdict().startsWith("Own Runge-Kutta method: order 1, stage order 0, principal "
                                     "error constant 3.75E-01"))
        << verdict().toStdString();
    EXPECT_EQ(row("Order conditions", 1),
              (QStringList{"[τ]", "2", "Σ bᵢaᵢⱼ = 1/2", "7/8", "3/8"}));

    enter("b1", "1/0");
    EXPECT_TRUE(verdict().startsWith("b1 divides by zero. The lab keeps the method the boxes last "
                                     "made.\nOwn Runge-Kutta method: order 1"))
        << verdict().toStdString();
    EXPECT_EQ(named<QTableWidget>("Order conditions")->rowCount(), 2);
}

// Gauss-Legendre's two stages typed with square roots: fourth order, its
// stability decided exactly, and its steps solved by Newton's method like
// the catalogue's implicit methods, on the textbook's problem with order 4.
TEST_F(TableauPage, ATypedImplicitTableauIsJudgedExactlyAndRuns) {
    named<QSpinBox>("Stages")->setValue(2);
    const std::pair<const char*, const char*> entries[] = {
        {"c1", "(3 - sqrt(3))/6"}, {"c2", "(3 + sqrt(3))/6"},   {"a11", "1/4"},
        {"a12", "1/4 - sqrt(3)/6"}, {"a21", "1/4 + sqrt(3)/6"}, {"a22", "1/4"},
        {"b1", "1/2"},              {"b2", "1/2"}};
    for (const auto& [box, text] : entries) enter(box, text);
    settleStudies();
    EXPECT_TRUE(verdict().startsWith("Own Runge-Kutta method: order 4, stage order 2"))
        << verdict().toStdString();
    for (const char* sentence :
         {"R(z) = (1 + z/2 + z²/12)/(1 - z/2 + z²/12)", "\nA-stable: ", "\nNot L-stable: R(∞) = 1.",
          "\nAlgebraically stable: ", "\nSymplectic: "}) {
        EXPECT_TRUE(verdict().contains(sentence)) << sentence;
    }

    QTest::keyClick(lab, Qt::Key_S, Qt::AltModifier);
    settleStudies();
    EXPECT_EQ(ownIntervalRow(), (QStringList{"unbounded", "A-stable only", "Gauss-Legendre 4"}));

    QTest::keyClick(lab, Qt::Key_C, Qt::AltModifier);
    settleStudies();
    const QTableWidget* orders = named<QTableWidget>("Orders");
    for (int c = 0; c < orders->columnCount(); ++c) {
        const QString caption =
            orders->horizontalHeaderItem(c)->data(Qt::AccessibleTextRole).toString();
        if (caption != "Own Runge-Kutta method") continue;
        QStringList column;
        for (int r = 0; r < orders->rowCount(); ++r) {
            if (orders->item(r, c)) column << orders->item(r, c)->text();
        }
        EXPECT_TRUE(std::any_of(column.begin(), column.end(), [](const QString& order) {
            return std::abs(order.toDouble() - 4.0) < 0.02;
        })) << column.join(" ").toStdString();
        return;
    }
    ADD_FAILURE() << "no Orders column for the own method";
}

}  // namespace
