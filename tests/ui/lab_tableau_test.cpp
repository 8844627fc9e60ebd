// The Method lab's Tableau page as a student uses it: a known tableau
// loaded into the boxes, an entry changed, a box typed wrong, and the typed
// method on the other pages as one more row of the catalogue. The boxes are
// read on a thread of the page's own, so each test waits for the notes to
// say what it expects, as a student sees them a moment later. Orders and
// error constants come from tests/support/order_conditions.py; the
// stability interval of every four-stage fourth-order method (R(z) the
// truncated exponential) is 2.785, as the Stability page gives Runge-Kutta 4's.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QThread>
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
    }

    QString verdict() const { return label("Tableau notes")->text(); }
    // Waits for the page's thread to end every reading asked of it (an event
    // posted to a thread runs after those posted before), then shows the
    // replies they sent.
    void settleReadings() const {
        QThread* reader = lab->findChild<QThread*>("Tableau reader");
        ASSERT_NE(reader, nullptr);
        QMetaObject::invokeMethod(reader->eventDispatcher(), [] {}, Qt::BlockingQueuedConnection);
        QApplication::processEvents();
    }
    // Waits for the notes to open so, then for the studies the method they
    // made starts on the other pages; false if they never do.
    bool awaitVerdict(const QString& opening) const {
        const bool shown = QTest::qWaitFor([&] { return verdict().startsWith(opening); }, 30000);
        settleStudies();
        return shown;
    }
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

// Kutta's 3/8 rule as the notes open on it.
const QString kutta38Verdict = "Own Runge-Kutta method: order 4, stage order 1, principal error "
                               "constant 1.27E-02; explicit";

TEST_F(TableauPage, ALoadedTableauBecomesTheLabsMethodOnEveryPage) {
    load("Kutta 3/8");
    EXPECT_TRUE(awaitVerdict(kutta38Verdict)) << verdict().toStdString();
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
    ASSERT_TRUE(awaitVerdict(kutta38Verdict)) << verdict().toStdString();
    enter("a32", "2");
    EXPECT_TRUE(awaitVerdict("Own Runge-Kutta method: order 1, stage order 0, principal "
                             "error constant 3.75E-01"))
        << verdict().toStdString();
    EXPECT_EQ(row("Order conditions", 1),
              (QStringList{"[τ]", "2", "Σ bᵢaᵢⱼ = 1/2", "7/8", "3/8"}));

    enter("b1", "1/0");
    EXPECT_TRUE(awaitVerdict("b1 divides by zero. The lab keeps the method the boxes last "
                             "made.\nOwn Runge-Kutta method: order 1"))
        << verdict().toStdString();
    EXPECT_EQ(named<QTableWidget>("Order conditions")->rowCount(), 2);
}

// Two edits as fast as a student types them: the window's thread reads
// neither (the notes still speak of the loaded tableau once both are
// typed), and only the last one's reading shows. The first one's method,
// a32 = 2, is never made: the lab keeps Kutta's method in the notes and the
// method chosen in its list.
TEST_F(TableauPage, EditsAreReadOffTheWindowsThreadAndOnlyTheLastOneShows) {
    const QThread* reader = lab->findChild<QThread*>("Tableau reader");
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(reader->isRunning());
    EXPECT_NE(reader, QThread::currentThread());
    load("Kutta 3/8");
    ASSERT_TRUE(awaitVerdict(kutta38Verdict)) << verdict().toStdString();
    QComboBox* method = named<QComboBox>("Method");
    method->setCurrentIndex(method->findText("Runge-Kutta 4"));
    settleStudies();
    const QString kutta = verdict();

    enter("a32", "2");
    enter("b1", "1/0");
    EXPECT_EQ(verdict().toStdString(), kutta.toStdString());
    EXPECT_TRUE(awaitVerdict("b1 divides by zero.")) << verdict().toStdString();
    EXPECT_EQ(verdict().toStdString(),
              ("b1 divides by zero. The lab keeps the method the boxes last made.\n" + kutta)
                  .toStdString());
    EXPECT_EQ(named<QTableWidget>("Order conditions")->rowCount(), 17);
    EXPECT_EQ(method->currentText(), "Runge-Kutta 4");

    // An edit undone before its reading comes leaves the page as it was,
    // once every reading asked for is done.
    enter("a32", "1");
    enter("b1", "1/8");
    ASSERT_TRUE(awaitVerdict(kutta38Verdict)) << verdict().toStdString();
    EXPECT_EQ(verdict().toStdString(), kutta.toStdString());
    enter("a32", "2");
    enter("a32", "1");
    settleReadings();
    EXPECT_EQ(verdict().toStdString(), kutta.toStdString());
    EXPECT_EQ(method->currentText(), "Runge-Kutta 4");
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
    EXPECT_TRUE(awaitVerdict("Own Runge-Kutta method: order 4, stage order 2"))
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

// Tab reads the boxes as the tableau is read: c and A row by row, then the
// weights b in turn, then the embedded weights.
TEST_F(TableauPage, TabTakesTheBoxesRowByRow) {
    named<QSpinBox>("Stages")->setValue(2);
    named<QLineEdit>("c2")->setFocus();
    QStringList order{QApplication::focusWidget()->accessibleName()};
    while (order.size() < 7) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->accessibleName();
    }
    EXPECT_EQ(order, (QStringList{"c2", "a21", "a22", "b1", "b2", "embedded b1",
                                  "embedded b2"}));
}
