// What the Method lab's page tests share: the lab opened from the main
// window with Ctrl+L, its controls found by the names a screen reader reads,
// and its boxes typed as a student types them.
#pragma once

#include "ui/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cstdlib>

namespace pelorin::testing {

// Types `text` over what the box holds.
inline void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Lets every study the lab runs on its own threads end and show its result,
// and the layouts that result changes settle: a page is measured as the
// student sees it once the window is idle, not while a result is arriving.
inline void settleStudies() {
    for (QThreadPool* pool : qApp->findChildren<QThreadPool*>()) pool->waitForDone();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// A control of the lab by the name a screen reader reads; null if none.
template <typename Widget>
Widget* named(const QWidget& lab, const QString& name) {
    for (Widget* widget : lab.findChildren<Widget*>()) {
        if (widget->accessibleName() == name) return widget;
    }
    return nullptr;
}

// A label by its object name: a screen reader reads a label's text, so its
// accessible name is that text.
inline QLabel* label(const QWidget& lab, const char* name) { return lab.findChild<QLabel*>(name); }

inline QTableWidget* table(const QWidget& lab, const char* name) { return named<QTableWidget>(lab, name); }

inline QComboBox* methodBox(const QWidget& lab) { return named<QComboBox>(lab, "Method"); }

inline QString labBox(const QWidget& lab, const char* name) {
    const QLineEdit* box = named<QLineEdit>(lab, name);
    return box ? box->text() : "(no box)";
}

// Types h into the lab's step box and ends it with Enter.
inline void typeStep(const QWidget& lab, const QString& h) {
    QLineEdit* box = named<QLineEdit>(lab, "h");
    ASSERT_NE(box, nullptr);
    box->setFocus();
    type(box, h);
    QTest::keyClick(box, Qt::Key_Return);
}

// The names a plot's legend gives its plottables, in order.
inline QStringList legendNames(const QCustomPlot& plot) {
    QStringList names;
    for (int i = 0; i < plot.legend->itemCount(); ++i) {
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i))) {
            names << item->plottable()->name();
        }
    }
    return names;
}

// The legend's entry of the plottable so named; null where it has none.
inline const QCPPlottableLegendItem* legendEntry(const QCustomPlot& plot, const QString& name) {
    for (int i = 0; i < plot.legend->itemCount(); ++i) {
        auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i));
        if (item && item->plottable()->name() == name) return item;
    }
    return nullptr;
}

// With PELORIN_PAGES_DIR=/tmp a test keeps a picture of the lab as it is,
// /tmp/`name`.png, for a person to look at or to compare two builds.
inline void keepPicture(QWidget& lab, const QString& name) {
    if (const char* folder = std::getenv("PELORIN_PAGES_DIR")) {
        // As the student sees it: laid out after the last change.
        QApplication::processEvents();
        lab.grab().save(QString("%1/%2.png").arg(folder, name));
    }
}

// Chooses the problem of that name from the lab's list; null if the list
// has none.
inline QWidget* labOnSystem(QWidget* lab, const QString& name) {
    if (!lab) return nullptr;
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int row = problem->findText(name);
    if (row < 0) return nullptr;
    problem->setCurrentIndex(row);
    emit problem->activated(row);
    return lab;
}

// Chooses the problem of that name from the lab's library and waits for the
// Orders table; null if the list has none or the table does not come.
inline QWidget* labOnLibraryProblem(QWidget* lab, const QString& name) {
    if (!labOnSystem(lab, name)) return nullptr;
    QTableWidget* orders = table(*lab, "Orders");
    if (!QTest::qWaitFor([&] { return orders->rowCount() == 16; }, 60000)) return nullptr;
    return lab;
}

// The library's logistic equation y' = y(1 - y), as the list names it.
inline const QString logisticProblem = QStringLiteral("Logistic: y' = y(1 - y)");

// `light` turned dark: a dark grey ground with light grey text.
inline QPalette darkPalette(const QPalette& light) {
    QPalette dark = light;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, QColor(0x35, 0x35, 0x35));
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xdd, 0xdd, 0xdd));
    }
    return dark;
}

class LabWindowTest : public ::testing::Test {
protected:
    Form1 form;
    QWidget* lab = nullptr;

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void TearDown() override { delete lab; }

    // Ctrl+L in the main window, then Alt+`page` in the lab; the pages are
    // filled in an event of their own.
    void openLab(Qt::Key page) {
        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "MethodLab") lab = window;
        }
        ASSERT_NE(lab, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(lab));
        QTest::keyClick(lab, page, Qt::AltModifier);
        QApplication::processEvents();
    }

    void keepPicture(const QString& name) const { pelorin::testing::keepPicture(*lab, name); }

    // The lab's control and label of that name, failing the test if missing.
    template <typename Widget>
    Widget* named(const char* name) const {
        auto* found = pelorin::testing::named<Widget>(*lab, name);
        if (!found) ADD_FAILURE() << "nothing named " << name;
        return found;
    }
    QLabel* label(const char* name) const {
        QLabel* found = pelorin::testing::label(*lab, name);
        if (!found) ADD_FAILURE() << "no label named " << name;
        return found;
    }

    // Types a box of the lab over its text and presses Enter.
    void enter(const char* name, const char* text) {
        QLineEdit* box = named<QLineEdit>(name);
        box->setFocus();
        type(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

// The main window shown and no lab open yet: a test fills the main window's
// boxes first, then opens the lab with Ctrl+L; every lab open at the end is
// closed.
class Lab : public ::testing::Test {
protected:
    Form1 form;

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    void TearDown() override {
        for (QWidget* lab : labs()) delete lab;
    }

    QLineEdit* mainBox(const char* name) { return form.findChild<QLineEdit*>(name); }
    void enter(const char* x0, const char* y0, const char* x1, const char* h) {
        type(mainBox("Text_x0"), x0);
        type(mainBox("Text_y0"), y0);
        type(mainBox("Text_x1"), x1);
        type(mainBox("Text_h"), h);
    }
    void calculate() { QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton); }

    static QList<QWidget*> labs() {
        QList<QWidget*> found;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "MethodLab") found << window;
        }
        return found;
    }
    QWidget* openWithCtrlL() {
        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        const auto open = labs();
        if (open.size() != 1) return nullptr;
        // The lab's own shortcuts (Escape, Alt+letter) need it active.
        EXPECT_TRUE(QTest::qWaitForWindowActive(open.front()));
        // The Convergence page studies even the lesson off the window's thread.
        settleStudies();
        return open.front();
    }
};

}  // namespace pelorin::testing
