// The main window and the About window, driven as a user would, offscreen.
#include "tests/support/widgets.h"
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/results_list_model.h"
#include "ui/text.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

using pelorin::testing::child;

Lines listLines(const Form1& form) {
    Lines lines;
    for (int row = 0; row < form.results().rowCount(); ++row) {
        lines.emplace_back(form.results().line(row));
    }
    return lines;
}

void press(Form1& form) { QTest::mouseClick(child<QPushButton>(form, "Command1"), Qt::LeftButton); }

void type(Form1& form, const char* box, const char* text) {
    auto* edit = child<QLineEdit>(form, box);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QMessageBox* errorBox(const Form1& form) {
    return form.findChild<QMessageBox*>("CalculationError");
}

class MainWindow : public ::testing::Test {
protected:
    Form1 form;
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

TEST_F(MainWindow, CalculateWithTheDefaultsAppendsFourLines) {
    press(form);
    EXPECT_EQ(listLines(form), (Lines{" ", "Euler Method", " ", "0.4    -0.6"}));
    EXPECT_EQ(errorBox(form), nullptr);
}

TEST_F(MainWindow, RungeKutta4WithStepPointOne) {
    type(form, "Text_h", "0.1");
    QTest::mouseClick(child<QRadioButton>(form, "Option_RK4"), Qt::LeftButton,
                      Qt::NoModifier, QPoint(8, 8));
    press(form);
    EXPECT_EQ(listLines(form),
              (Lines{" ", "Runge-Kutta-4 Method", " ", "0.1    -0.9145125",
                     "0.2    -0.85619270421875", "0.3    -0.822455266003533",
                     "0.4    -0.810960866752472"}));
}

TEST_F(MainWindow, MethodButtonsAreOneExclusiveGroupStartingWithEuler) {
    EXPECT_TRUE(child<QRadioButton>(form, "Option_Euler")->isChecked());
    child<QRadioButton>(form, "Option_RKM")->click();
    for (const Placement& option : form1Layout::options) {
        const std::string name(option.name);
        SCOPED_TRACE(name);
        EXPECT_EQ(child<QRadioButton>(form, name.c_str())->isChecked(), name == "Option_RKM");
        EXPECT_FALSE(child<QRadioButton>(form, name.c_str())->toolTip().isEmpty());
    }
}

TEST_F(MainWindow, PlotShowsTheDefaultCalculation) {
    press(form);
    QWidget* plot = child(form, "Picture1");
    const QImage image = plot->grab().toImage();
    const QRect surface = plot->contentsRect();
    // User coordinates of the default plot: x from -0.04 to 0.44 left to right,
    // y from -0.770960138106918 at the top to -1.04 at the bottom.
    const auto at = [&](double x, double y) {
        return QPoint(surface.left() + int((x + 0.04) / 0.48 * surface.width()),
                      surface.top() + int((-0.770960138106918 - y) / 0.269039862106918 *
                                          surface.height()));
    };
    const auto near = [&](QPoint centre, auto isWanted) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (isWanted(image.pixelColor(centre + QPoint(dx, dy)))) return true;
        return false;
    };
    const auto dark = [](QColor c) { return c.lightness() < 100; };
    const auto red = [](QColor c) { return c == QColor(255, 0, 0); };

    EXPECT_EQ(image.pixelColor(at(0.3, -0.95)), QColor(255, 255, 192)) << "background";
    EXPECT_TRUE(near(at(0.2, -1.0), dark)) << "abscissa axis along the lowest value";
    EXPECT_TRUE(near(at(0.0, -0.9), dark)) << "ordinate axis at x = 0";
    EXPECT_TRUE(near(at(0.2, -0.856192259233945), dark)) << "exact solution";
    EXPECT_TRUE(near(at(0.1, -0.9), red)) << "Euler step";
    EXPECT_TRUE(near(at(0.15, -0.85), red)) << "Euler step";
    EXPECT_FALSE(near(at(0.3, -0.9), red));
}

TEST_F(MainWindow, PlotRepaintsFromItsDrawingWhenShownAgain) {
    press(form);
    QWidget* plot = child(form, "Picture1");
    const QImage before = plot->grab().toImage();
    form.hide();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(plot->grab().toImage(), before);
}

TEST_F(MainWindow, ErrorIsReportedAndTheNextCalculationWorks) {
    type(form, "Text_h", "0.04");
    press(form);
    QMessageBox* box = errorBox(form);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "Calculation stopped");
    EXPECT_TRUE(box->text().startsWith("More than 10 steps would be needed"));
    EXPECT_EQ(form.results().rowCount(), 13);
    box->accept();
    QApplication::processEvents();

    type(form, "Text_h", "0.4");
    press(form);
    const Lines lines = listLines(form);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[12], "0.4    -0.794497907974503");
    EXPECT_EQ(Lines(lines.begin() + 13, lines.end()),
              (Lines{" ", "Euler Method", " ", "0.4    -0.6"}));
}

TEST_F(MainWindow, CalculateHasTheFocusAndTabFollowsTheLayoutsOrder) {
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(form.focusWidget(), child(form, "Command1"));
    const char* order[] = {"Command1", "Text_x0", "Text_x1", "Text_h", "Picture1", "Text_y0",
                           "Option_Euler"};
    QWidget* widget = child(form, order[0]);
    for (const char* name : order) {
        SCOPED_TRACE(name);
        EXPECT_EQ(widget->objectName(), name);
        widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus)) widget = widget->nextInFocusChain();
    }
}

TEST_F(MainWindow, InputsHaveTheirLabelsAsAccessibleNames) {
    EXPECT_EQ(child(form, "Text_x0")->accessibleName(), "x0");
    EXPECT_EQ(child(form, "Text_x1")->accessibleName(), "x1");
    EXPECT_EQ(child(form, "Text_y0")->accessibleName(), "y0");
    EXPECT_EQ(child(form, "Text_h")->accessibleName(), "h");
    EXPECT_EQ(child(form, "List1")->accessibleName(), "Results");
    EXPECT_EQ(child(form, "Picture1")->accessibleName(), "Plot");
}

TEST_F(MainWindow, LayoutIsFixedAtFifteenTwipsAPixel) {
    EXPECT_EQ(form.centralWidget()->size(), QSize(790, 332));
    EXPECT_EQ(child(form, "Picture1")->geometry(), QRect(161, 7, 321, 305));
    EXPECT_EQ(child(form, "List1")->geometry(), QRect(490, 7, 260, 303));
    EXPECT_EQ(child(form, "Command1")->geometry(), QRect(7, 84, 149, 38));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    // Every control sits where the layout table puts it, in its container.
    for (const Placement& control : form1Layout::all) {
        SCOPED_TRACE(std::string(control.name));
        QWidget* widget = child(form, std::string(control.name).c_str());
        ASSERT_NE(widget, nullptr);
        if (qobject_cast<QRadioButton*>(widget)) {
            // An option button may grow to the right to show its caption whole.
            EXPECT_EQ(widget->pos(), control.geometry().topLeft());
            EXPECT_EQ(widget->height(), control.geometry().height());
            EXPECT_GE(widget->width(), control.geometry().width());
        } else {
            EXPECT_EQ(widget->geometry(), control.geometry());
        }
        const QString container = control.container.empty() ? QString() : fromView(control.container);
        EXPECT_EQ(widget->parentWidget()->objectName(), container);
    }
}

TEST_F(MainWindow, ListShowsTheNewestLineAfterEachCalculation) {
    for (int i = 0; i < 20; ++i) press(form);
    auto* list = child<QListView>(form, "List1");
    const QModelIndex newest = list->model()->index(list->model()->rowCount() - 1, 0);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(newest)));
}

QWidget* aboutWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "Form_About" && widget->isVisible()) return widget;
    }
    return nullptr;
}

TEST_F(MainWindow, AboutOpensOnceAndReopensAfterClosing) {
    form.Mn_About_Click();
    QWidget* first = aboutWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->windowTitle(), "About");
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(first->parentWidget(), nullptr);

    form.Mn_About_Click();
    EXPECT_EQ(aboutWindow(), first);

    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(aboutWindow(), nullptr);
    form.Mn_About_Click();
    EXPECT_NE(aboutWindow(), nullptr);
    EXPECT_EQ(aboutWindow()->findChild<QWidget*>("Label8")->property("text").toString(),
              "Last modified : 17.12 2007");
}

TEST_F(MainWindow, ClosingTheMainWindowClosesAbout) {
    form.Mn_About_Click();
    ASSERT_NE(aboutWindow(), nullptr);
    form.close();
    EXPECT_EQ(aboutWindow(), nullptr);
}

TEST(StartUp, ShowsTheMainWindowWithTheProgramsIcon) {
    const auto window = startPelorin();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::applicationName(), "Pelorin");
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {32, 32}, {64, 64}, {128, 128}}));
}

}  // namespace
