// What the Method lab's page tests share: the lab opened from the main
// window with Ctrl+L on one of its pages, its controls found by the names a
// screen reader reads, and its boxes typed as a student types them.
#pragma once

#include "ui/form1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace pelorin::testing {

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

    // With PELORIN_PAGES_DIR=/tmp a test keeps a picture of the lab as it
    // is, /tmp/`name`.png, for a person to look at.
    void keepPicture(const QString& name) const {
        if (const char* folder = std::getenv("PELORIN_PAGES_DIR")) {
            lab->grab().save(QString("%1/%2.png").arg(folder, name));
        }
    }

    template <typename Widget>
    Widget* named(const char* name) const {
        for (Widget* widget : lab->findChildren<Widget*>()) {
            if (widget->accessibleName() == name) return widget;
        }
        ADD_FAILURE() << "nothing named " << name;
        return nullptr;
    }

    // A label by its object name: a screen reader reads a label's text, so
    // its accessible name is that text.
    QLabel* label(const char* name) const {
        auto* found = lab->findChild<QLabel*>(name);
        if (!found) ADD_FAILURE() << "no label named " << name;
        return found;
    }

    // Types a box of the lab over its text and presses Enter.
    void enter(const char* name, const char* text) {
        QLineEdit* box = named<QLineEdit>(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

}  // namespace pelorin::testing
