// The additions to the main window, driven from the keyboard and the mouse
// offscreen: the "Steps and errors" window, the list's and the plot's
// context menus, copying and saving, Enter and Escape, and the fixed light
// ground under a dark palette.
#include "tests/support/hostile_inputs.h"
#include "tests/support/widgets.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/plot_widget.h"
#include "ui/results_list_model.h"
#include "ui/save_file.h"
#include "ui/steps_window.h"
#include "ui/widget_image.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <string>
#include <vector>

namespace {

using pelorin::testing::Cells;
using pelorin::testing::child;
using pelorin::testing::tableCells;

std::vector<std::string> header(const QTableWidget& table) {
    std::vector<std::string> names;
    for (int column = 0; column < table.columnCount(); ++column) {
        names.push_back(table.horizontalHeaderItem(column)->text().toStdString());
    }
    return names;
}

void closeErrorBoxes(const Form1& form) {
    for (auto* box : form.findChildren<QMessageBox*>("CalculationError")) box->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class Additions : public ::testing::Test {
protected:
    Form1 form;

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QApplication::setActiveWindow(&form);
    }
    void TearDown() override { closeErrorBoxes(form); }

    void enter(const char* box, const std::string& text) {
        child<QLineEdit>(form, box)->setText(QString::fromStdString(text));
    }
    void select(std::string_view caption) {
        for (const Placement& option : form1Layout::options) {
            if (option.text == caption) {
                child<QRadioButton>(form, std::string(option.name).c_str())->setChecked(true);
            }
        }
    }
    void calculate() { child<QPushButton>(form, "Command1")->click(); }
    StepsWindow* openSteps() {
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        return form.stepsWindow();
    }
    QTableWidget* stepsTable() { return child<QTableWidget>(*form.stepsWindow(), "Steps"); }
};

TEST_F(Additions, CtrlEOpensOneStepsWindowThatFollowsEveryCalculation) {
    calculate();
    StepsWindow* window = openSteps();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Steps and errors");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(stepsTable()->accessibleName(), "Steps");
    EXPECT_EQ(tableCells(*stepsTable()),
              (Cells{{"0", "0", "-1", "-1", "0", ""},
                     {"1", "0.4", "-0.6", "-0.810960138106918", "2.10960138106918E-01",
                      "2.10960138106918E-01"}}));

    QApplication::setActiveWindow(&form);
    EXPECT_EQ(openSteps(), window);

    enter("Text_h", "0.1");
    select("Runge-Kutta 4");
    calculate();
    EXPECT_EQ(child<QLabel>(*window, "Heading")->text(),
              "Runge-Kutta-4 Method with x0 = 0, y0 = -1, x1 = 0.4, h = 0.1");
    const Cells rows = tableCells(*stepsTable());
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[4], (std::vector<std::string>{"4", "0.4", "-0.810960866752472",
                                                 "-0.810960138106918", "-7.28645554448626E-07",
                                                 "-1.82161364326028E-07"}));
    EXPECT_EQ(child<QLabel>(*window, "Notes")->text(),
              "Runge-Kutta 4 gives the same numbers as Runge-Kutta-Gill on this equation: both "
              "have the same stability function R(z), and on a linear equation both steps "
              "reduce to the Taylor polynomial of degree 4 in h, whatever their stages. Rounding "
              "can still make the last digit differ.");

    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.stepsWindow(), nullptr);
}

TEST_F(Additions, EstimateColumnOnlyForFehlbergAndMersonWithAnExplanation) {
    calculate();
    openSteps();
    for (const pelorin::Method& method : pelorin::methodCatalogue) {
        SCOPED_TRACE(method.caption);
        select(method.caption);
        calculate();
        const bool embedded = method.caption == "Runge-Kutta-Fehlberg" ||
                              method.caption == "Runge-Kutta-Merson";
        ASSERT_EQ(stepsTable()->columnCount(), embedded ? 7 : 6);
        if (embedded) {
            EXPECT_EQ(header(*stepsTable()).back(), "estimate");
            EXPECT_FALSE(stepsTable()->horizontalHeaderItem(6)->toolTip().isEmpty());
        }
    }
}

TEST_F(Additions, StepsWindowCopiesTabSeparatedAndShowsNotesOnTheReading) {
    enter("Text_y0", "\u22121");
    calculate();
    StepsWindow* window = openSteps();
    EXPECT_EQ(child<QLabel>(*window, "Notes")->text(),
              "y0: \"\u22121\" was read as 0 (no leading number)");
    child<QPushButton>(*window, "Copy")->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "i\tx\ty\texact y\tglobal error\tlocal error\n"
              "0\t0\t0\t0\t0\t\n"
              "1\t0.4\t0\t-0.140640092071279\t1.40640092071279E-01\t1.40640092071279E-01\n");
    // Ctrl+C in the table copies the whole table too, not just one cell.
    QApplication::clipboard()->clear();
    QApplication::setActiveWindow(window);
    stepsTable()->setFocus();
    QTest::keyClick(stepsTable(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("i\tx\ty\texact y\t"))
        << QApplication::clipboard()->text().toStdString();
    // The file leads every row with the method and the inputs as read.
    EXPECT_EQ(window->csv().toStdString(),
              "method,x0,y0,x1,h,i,x,y,exact y,global error,local error\r\n"
              "Euler Method,0,0,0.4,0.4,0,0,0,0,0,\r\n"
              "Euler Method,0,0,0.4,0.4,1,0.4,0,-0.140640092071279,1.40640092071279E-01,"
              "1.40640092071279E-01\r\n");
}

// Two runs of one method are told apart in the list's CSV by their run
// number and h, and every save suggests a name with the method and h of what
// it holds. A calculation that lists nothing starts no block and leaves the
// plot as it was.
TEST_F(Additions, ExportsSayWhichRunMethodAndHTheyHold) {
    EXPECT_EQ(form.suggestedListName(), "results.txt");
    EXPECT_EQ(form.suggestedPlotName(), "plot.png");
    struct Press {
        const char* name;
        std::string x1, h;
        std::string_view method;
        std::string listName, plotName, stepsName;
    };
    const std::vector<Press> presses{
        {"Euler, h = 0.4", "0.4", "0.4", "Euler", "euler-h0.4-results.txt", "euler-h0.4-plot.png",
         "euler-h0.4-steps.csv"},
        {"Euler, h = 0.2", "0.4", "0.2", "Euler", "euler-h0.2-results.txt", "euler-h0.2-plot.png",
         "euler-h0.2-steps.csv"},
        {"h too large to read", "0.4", "1e400", "Runge-Kutta 4", "euler-h0.2-results.txt",
         "euler-h0.2-plot.png", "steps.csv"},
        {"x1 below x0: a block without steps", "-1", "0.5", "Euler (Mid point)",
         "euler-mid-point-h0.5-results.txt", "euler-mid-point-h0.5-plot.png",
         "euler-mid-point-h0.5-steps.csv"},
        {"Runge-Kutta 4, h = 0.1", "0.4", "0.1", "Runge-Kutta 4", "runge-kutta-4-h0.1-results.txt",
         "runge-kutta-4-h0.1-plot.png", "runge-kutta-4-h0.1-steps.csv"},
    };
    calculate();
    StepsWindow* window = openSteps();
    ASSERT_NE(window, nullptr);
    for (const Press& press : presses) {
        SCOPED_TRACE(press.name);
        enter("Text_x1", press.x1);
        enter("Text_h", press.h);
        select(press.method);
        calculate();
        closeErrorBoxes(form);
        EXPECT_EQ(form.suggestedListName().toStdString(), press.listName);
        EXPECT_EQ(form.suggestedPlotName().toStdString(), press.plotName);
        EXPECT_EQ(window->suggestedName().toStdString(), press.stepsName);
    }
    EXPECT_EQ(form.listCsv().toStdString(),
              "run,method,h,x,y\r\n"
              "1,Euler Method,0.4,0.4,-0.6\r\n"
              "2,Euler Method,0.4,0.4,-0.6\r\n"
              "3,Euler Method,0.2,0.2,-0.8\r\n"
              "3,Euler Method,0.2,0.4,-0.72\r\n"
              "5,Runge-Kutta-4 Method,0.1,0.1,-0.9145125\r\n"
              "5,Runge-Kutta-4 Method,0.1,0.2,-0.85619270421875\r\n"
              "5,Runge-Kutta-4 Method,0.1,0.3,-0.822455266003533\r\n"
              "5,Runge-Kutta-4 Method,0.1,0.4,-0.810960866752472\r\n");
}

TEST_F(Additions, EnterInAnyBoxCalculates) {
    for (const char* box : {"Text_x0", "Text_x1", "Text_y0", "Text_h"}) {
        SCOPED_TRACE(box);
        const int before = form.results().rowCount();
        QTest::keyClick(child<QLineEdit>(form, box), Qt::Key_Return);
        EXPECT_EQ(form.results().rowCount(), before + 4);
        EXPECT_EQ(form.results().line(form.results().rowCount() - 1), "0.4    -0.6");
    }
}

TEST_F(Additions, CtrlEWorksWhileTypingInABox) {
    calculate();
    QLineEdit* box = child<QLineEdit>(form, "Text_h");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
    EXPECT_NE(form.stepsWindow(), nullptr);
}

TEST_F(Additions, ListCopiesTheSelectedLinesAsTheyStand) {
    enter("Text_h", "0.1");
    select("Runge-Kutta 4");
    calculate();
    auto* list = child<QListView>(form, "List1");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    const auto rowPoint = [&](int row) {
        return list->visualRect(form.results().index(row)).center();
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(4));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowPoint(6));
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "0.1    -0.9145125\n0.2    -0.85619270421875\n0.4    -0.810960866752472\n");
}

TEST_F(Additions, ShiftF10AndTheMenuKeyOpenTheFocusedControlsMenu) {
    struct Row {
        const char* control;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::vector<std::string> items;
    };
    const std::vector<Row> rows{
        {"List1", Qt::Key_F10, Qt::ShiftModifier,
         {"Copy", "Copy all", "Select all", "Save as\u2026", "", "Steps and errors", "Method lab"}},
        {"List1", Qt::Key_Menu, Qt::NoModifier,
         {"Copy", "Copy all", "Select all", "Save as\u2026", "", "Steps and errors", "Method lab"}},
        {"Picture1", Qt::Key_F10, Qt::ShiftModifier,
         {"Copy image", "Save image as\u2026", "", "Steps and errors", "Method lab"}},
        {"Picture1", Qt::Key_Menu, Qt::NoModifier,
         {"Copy image", "Save image as\u2026", "", "Steps and errors", "Method lab"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.control) + (row.key == Qt::Key_Menu ? " Menu" : " Shift+F10"));
        QWidget* control = child(form, row.control);
        control->setFocus();
        QTest::keyClick(control, row.key, row.modifiers);
        QMenu* menu = row.control == std::string("List1") ? form.listMenu() : form.plotMenu();
        ASSERT_TRUE(menu->isVisible());
        std::vector<std::string> items;
        for (QAction* action : menu->actions()) items.push_back(action->text().toStdString());
        EXPECT_EQ(items, row.items);
        menu->close();
    }
}

TEST_F(Additions, EscapeClosesAbout) {
    form.Mn_About_Click();
    QWidget* about = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "Form_About" && widget->isVisible()) about = widget;
    }
    ASSERT_NE(about, nullptr);
    QApplication::setActiveWindow(about);
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(Additions, PlotTooltipNamesTheCurvesAndSumsUpANearbyStep) {
    enter("Text_h", "0.1");
    select("Runge-Kutta 4");
    calculate();
    auto* plot = child<PlotWidget>(form, "Picture1");
    const QString middle = plot->toolTipAt(plot->rect().center());
    EXPECT_TRUE(middle.contains("\u2014 exact solution through (0, -1)")) << middle.toStdString();
    EXPECT_TRUE(middle.contains("\u2014 Runge-Kutta-4 Method, h = 0.1")) << middle.toStdString();
    EXPECT_TRUE(middle.contains("color:#000000")) << middle.toStdString();
    EXPECT_TRUE(middle.contains("color:#ff0000")) << middle.toStdString();
    QString nearStep;
    for (int y = 0; y < plot->height() && nearStep.isEmpty(); ++y) {
        for (int x = 0; x < plot->width(); ++x) {
            const QString tip = plot->toolTipAt({x, y});
            if (tip.contains("step 1:")) {
                nearStep = tip;
                break;
            }
        }
    }
    EXPECT_TRUE(nearStep.contains(
        "step 1: x = 0.1, y = -0.9145125, exact y = -0.914512254107879, global error = "
        "-2.45892121109037E-07, local error = -2.45892121109037E-07"))
        << nearStep.toStdString();
}

TEST_F(Additions, PlotShowsAFocusRingOnlyWithTheKeyboardFocus) {
    calculate();
    QWidget* plot = child(form, "Picture1");
    // Just inside the frame, halfway along the top edge.
    const QPoint edge(plot->width() / 2, plot->contentsRect().top() + 1);
    const QColor ring = plot->palette().color(QPalette::Highlight);
    EXPECT_EQ(plot->grab().toImage().pixelColor(edge), QColor(lightYellow));
    plot->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(plot->hasFocus());
    EXPECT_EQ(plot->grab().toImage().pixelColor(edge), ring);
    child(form, "Command1")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(plot->grab().toImage().pixelColor(edge), QColor(lightYellow));
}

TEST_F(Additions, PlotLeavesAsAPngOfItsPixelsAndAPdfPageOfItsSize) {
    calculate();
    QWidget* plot = child(form, "Picture1");
    QImage png;
    ASSERT_TRUE(png.loadFromData(widgetImage(*plot, ImageFormat::png), "PNG"));
    EXPECT_EQ(png.size(), plot->size() * plot->devicePixelRatio());
    EXPECT_EQ(png.pixelColor(plot->width() / 2, 3), QColor(lightYellow));

    const QByteArray pdf = widgetImage(*plot, ImageFormat::pdf);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    // 321 x 305 pixels at 96 to the inch are 240.75 x 228.75 points; a page
    // size in points is whole, so the page is 241 x 229.
    EXPECT_EQ(plot->size(), QSize(321, 305));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 241.000000 229.000000]"))
        << pdf.left(2000).toStdString();
}

TEST(SaveWhole, WritesEverythingOrNothingAndLeavesTheOldFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("results.txt");
    ASSERT_EQ(saveWhole(path, "old\n"), "");
    ASSERT_EQ(saveWhole(path, "0.4    -0.6\n"), "");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "0.4    -0.6\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"results.txt"});

    struct Row {
        const char* name;
        QString path;
    };
    QFile(folder.filePath("a file")).open(QIODevice::WriteOnly);
    const std::vector<Row> failing{
        {"vanished folder", folder.filePath("gone/results.txt")},
        {"a file where the folder should be", folder.filePath("a file/results.txt")},
    };
    for (const Row& row : failing) {
        SCOPED_TRACE(row.name);
        const QString message = saveWhole(row.path, "0.4    -0.6\n");
        EXPECT_TRUE(message.startsWith("Could not save \"" + row.path + "\": "))
            << message.toStdString();
        EXPECT_TRUE(message.endsWith(". Nothing was written; a file of that name that was "
                                     "there before is unchanged."))
            << message.toStdString();
        EXPECT_FALSE(QFile::exists(row.path));
    }
}

TEST(SaveWhole, ReadOnlyFolderKeepsTheOldFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("results.csv");
    ASSERT_EQ(saveWhole(path, "old\n"), "");
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(folder.filePath("probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user may write into read-only folders (root)";
    }
    const QString message = saveWhole(path, "new\n");
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(message.isEmpty());
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"results.csv"});
}

// A disk that fills up in the middle of the file, made by the process's
// file-size limit: the write fails as it would on a full disk (EFBIG rather
// than ENOSPC), for any user and on any machine.
TEST(SaveWhole, AWriteThatFailsHalfwayKeepsTheOldFile) {
    QTemporaryDir folder;
    const QString path = folder.filePath("results.txt");
    ASSERT_EQ(saveWhole(path, "old\n"), "");

    const QByteArray large(1 << 20, 'x');
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = saveWhole(path, large);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(message.startsWith("Could not save")) << message.toStdString();
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"results.txt"});
}

// The hostile rows once more, typed into the real window with the steps
// window open: nothing shown is ever an infinity or NaN, and the window
// goes on calculating.
TEST_F(Additions, HostileInputsWithTheStepsWindowOpen) {
    calculate();
    StepsWindow* window = openSteps();
    ASSERT_NE(window, nullptr);
    for (const auto& row : pelorin::testing::hostileRows()) {
        SCOPED_TRACE(row.name);
        enter("Text_x0", row.x0);
        enter("Text_y0", row.y0);
        enter("Text_x1", row.x1);
        enter("Text_h", row.h);
        select(row.method);
        calculate();
        closeErrorBoxes(form);
        // The notes quote what was typed ("nan", "inf"), so only the
        // numbers the window writes are checked.
        QStringList shown{child<QLabel>(*window, "Heading")->text()};
        for (const auto& cellsOfRow : tableCells(*stepsTable())) {
            for (const std::string& cell : cellsOfRow) shown << QString::fromStdString(cell);
        }
        for (const QString& text : shown) {
            EXPECT_FALSE(text.contains("inf", Qt::CaseInsensitive)) << text.toStdString();
            EXPECT_FALSE(text.contains("nan", Qt::CaseInsensitive)) << text.toStdString();
        }
    }
    enter("Text_x0", "0");
    enter("Text_y0", "-1");
    enter("Text_x1", "0.4");
    enter("Text_h", "0.4");
    select("Euler");
    calculate();
    EXPECT_EQ(tableCells(*stepsTable()).back()[2], "-0.6");
}

// WCAG 2 contrast ratio of two colours.
double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The darkest colour painted inside a rectangle of an image.
QColor darkest(const QImage& image, const QRect& rect) {
    QColor result = Qt::white;
    const QRect inside = rect & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() == 255 && c.green() == 0) continue;  // the red curve
            if (c.lightnessF() < result.lightnessF()) result = c;
        }
    }
    return result;
}

TEST(DarkPalette, TextAndAxesOnTheLightYellowGroundKeepTheirContrast) {
    const QPalette before = QApplication::palette();
    QPalette dark;
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, QColor(0x35, 0x35, 0x35));
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xdd, 0xdd, 0xdd));
    }
    QApplication::setPalette(dark);
    {
        Form1 form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        child<QPushButton>(form, "Command1")->click();
        QWidget* plot = child(form, "Picture1");
        const QImage image = plot->grab().toImage();
        const QColor axes = darkest(image, plot->contentsRect().adjusted(3, 3, -3, -3));
        EXPECT_GE(contrast(axes, QColor(lightYellow)), 4.5) << axes.name().toStdString();

        form.Mn_About_Click();
        QWidget* about = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "Form_About" && widget->isVisible()) about = widget;
        }
        ASSERT_NE(about, nullptr);
        const QImage aboutImage = about->grab().toImage();
        for (const Placement& label : aboutLayout::all) {
            SCOPED_TRACE(std::string(label.name));
            const QColor text = darkest(aboutImage, label.geometry());
            EXPECT_GE(contrast(text, QColor(lightYellow)), 4.5) << text.name().toStdString();
        }
        form.close();
    }
    QApplication::setPalette(before);
}

}  // namespace

// The kind of file saved follows the name typed, whatever filter is picked;
// a name without a known ending gets the picked kind's.
TEST(SaveAs, TheNameTypedDecidesTheKindElseThePickedFilter) {
    const std::vector<FileKind> kinds{{"PNG image", ".png"}, {"PDF document", ".pdf"}};
    const struct {
        const char* typed;
        qsizetype picked;
        const char* path;
        std::size_t kind;
    } rows[] = {
        {"/tmp/plot.pdf", 0, "/tmp/plot.pdf", 1},
        {"/tmp/plot.PNG", 1, "/tmp/plot.PNG", 0},
        {"/tmp/plot", 1, "/tmp/plot.pdf", 1},
        {"/tmp/plot.txt", 0, "/tmp/plot.txt.png", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const SaveTarget target = saveTarget(row.typed, row.picked, kinds);
        EXPECT_EQ(target.path, row.path);
        EXPECT_EQ(target.kind, row.kind);
    }
}
