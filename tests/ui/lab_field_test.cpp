// The Method lab's Field page as a student meets it: the direction field's
// segments where they are drawn, a click that moves the start, the runs with
// h, h/2 and h/4 at the values worked out by hand, and the "Lab steps" table
// with the texts of the "Steps and errors" window. The lab is the program's
// loaded plugin, seen here through Qt's and QCustomPlot's classes and the
// accessible names only.
#include "tests/support/lab_window.h"
#include "ui/steps_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using Cells = std::vector<std::vector<std::string>>;
using pelorin::testing::settleStudies;
using pelorin::testing::type;

Cells cells(const QTableWidget& table, bool withHeader) {
    Cells rows;
    if (withHeader) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            rows.back().push_back(table.horizontalHeaderItem(column)->text().toStdString());
        }
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            rows.back().push_back(table.item(row, column)->text().toStdString());
        }
    }
    return rows;
}

class Field : public pelorin::testing::LabWindowTest {
protected:
    void open() { openLab(Qt::Key_F); }

    QCustomPlot* plot() const { return named<QCustomPlot>("Field"); }
    QCustomPlot* errorPlot() const { return named<QCustomPlot>("Global error"); }
    QString box(const char* name) const { return named<QLineEdit>(name)->text(); }
    QString notes() const { return label("Field notes")->text(); }

    void chooseMethod(int row) { named<QComboBox>("Method")->setCurrentIndex(row); }
    void chooseProblem(int row) {
        QComboBox* problem = named<QComboBox>("Problem");
        problem->setCurrentIndex(row);
        emit problem->activated(row);
    }
    // A typed equation's runs are calculated on another thread: until they
    // come, the plot has no graph.
    void waitForRuns() {
        while (plot()->graphCount() == 0) QTest::qWait(10);
    }
    // Until the runs start from x0.
    void waitForRunsFrom(double x0) {
        const auto started = [this, x0] {
            for (int i = 0; i < plot()->graphCount(); ++i) {
                const QCPGraph* run = plot()->graph(i);
                if (run->name().contains(", h = ") && !run->data()->isEmpty() &&
                    run->data()->constBegin()->key == x0) {
                    return true;
                }
            }
            return false;
        };
        while (!started()) QTest::qWait(10);
    }
    // The system y1' = slope1, y2' = slope2 from (0; 1, 0) to x1 with h, typed
    // over the harmonic oscillator's boxes with the method of catalogue row
    // `method`; the exact solution's boxes as given (empty for none).
    void typeSystem(int method, const char* slope1, const char* slope2, const char* exactY1,
                    const char* exactY2, const char* x1, const char* h) {
        chooseProblem(named<QComboBox>("Problem")->findText("Harmonic oscillator: y'' = -y"));
        chooseMethod(method);
        enter("y1'", slope1);
        enter("y2'", slope2);
        enter("y1(x0)", "1");
        enter("y2(x0)", "0");
        for (const auto& [name, exact] : {std::pair{"exact y1(x)", exactY1},
                                          std::pair{"exact y2(x)", exactY2}}) {
            QLineEdit* typed = named<QLineEdit>(name);
            typed->setFocus();
            typed->selectAll();
            QTest::keyClick(typed, Qt::Key_Delete);
            QTest::keyClicks(typed, exact);
            QTest::keyClick(typed, Qt::Key_Return);
        }
        enter("x0", "0");
        enter("x1", x1);
        enter("h", h);
    }
    // The lesson's y' = -2x - y from (0, -1) to 2 with h = 0.4.
    void openOnTheLesson(int method) {
        open();
        enter("x0", "0");
        enter("y0", "-1");
        enter("x1", "2");
        chooseMethod(method);
    }
    // Where the plot draws (x, y).
    QPoint pixelOf(double x, double y) const {
        return QPointF(plot()->xAxis->coordToPixel(x), plot()->yAxis->coordToPixel(y)).toPoint();
    }
    QCPGraph* graph(const QString& name) const { return graphOf(plot(), name); }
    // Whether the plot has drawn a graph of that name yet.
    bool drawn(const QString& name) const {
        for (int i = 0; i < plot()->graphCount(); ++i) {
            if (plot()->graph(i)->name() == name) return true;
        }
        return false;
    }
    static QCPGraph* graphOf(QCustomPlot* plot, const QString& name) {
        for (int i = 0; i < plot->graphCount(); ++i) {
            if (plot->graph(i)->name() == name) return plot->graph(i);
        }
        ADD_FAILURE() << "no graph named " << name.toStdString();
        return nullptr;
    }
    // Shows x from `left` and y from `bottom`, one pixel being 0.01 across
    // and up: a pixel's position then reads off as a round number. New tick
    // labels may move the axes, so the ranges are set again until the axes
    // stay where they are.
    void showHundredthsFrom(double left, double bottom) {
        QRect rect;
        while (rect != plot()->axisRect()->rect()) {
            rect = plot()->axisRect()->rect();
            plot()->xAxis->setRange(left, left + rect.width() * 0.01);
            plot()->yAxis->setRange(bottom, bottom + rect.height() * 0.01);
            plot()->replot();
        }
    }
};

// A pixel that is not the plot's ground: something was drawn on it.
bool inked(const QImage& image, QPoint at, QColor ground) {
    const QColor seen = image.pixelColor(at);
    return std::abs(seen.red() - ground.red()) + std::abs(seen.green() - ground.green()) +
               std::abs(seen.blue() - ground.blue()) > 60;
}

// With one pixel 0.01 both across and up the grid step is 0.5 (24 pixels
// need at least 0.24), so (11, 11) is a grid point, and (11.25, 11.25) lies
// between four of them. The segment at (11, 11) is 16 pixels long, of the
// slope f gives there: the pixels 5 along it are drawn, those 5 across it
// are not; where f is not finite there is no segment, and the notes say so.
TEST_F(Field, EachGridPointHasASegmentOfTheSlopeThere) {
    open();
    const struct {
        const char* f;
        QPoint along, across;  // pixels from the grid point
        bool drawn;
    } rows[] = {
        {"0", {5, 0}, {0, 5}, true},
        {"1", {4, -4}, {4, 4}, true},  // up to the right: y grows upwards
        {"-1", {4, 4}, {4, -4}, true},
        {"1000000", {0, 5}, {5, 0}, true},
        {"1/(x - 11)", {5, 0}, {0, 5}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.f);
        enter("f(x, y)", row.f);
        waitForRuns();
        showHundredthsFrom(10, 10);
        const QPoint point = pixelOf(11, 11);
        const QImage image = plot()->grab().toImage();
        const QColor ground = plot()->palette().color(QPalette::Base);
        ASSERT_FALSE(inked(image, pixelOf(11.25, 11.25), ground))
            << "between grid points the plot is blank";
        EXPECT_EQ(inked(image, point + row.along, ground), row.drawn);
        EXPECT_EQ(inked(image, point - row.along, ground), row.drawn);
        EXPECT_FALSE(inked(image, point + row.across, ground));
        EXPECT_FALSE(inked(image, point - row.across, ground));
        // The neighbour half a unit to the right always has its segment.
        EXPECT_TRUE(inked(image, pixelOf(11.5, 11), ground));
        EXPECT_EQ(notes().contains("f(x, y) is not finite at "), !row.drawn)
            << notes().toStdString();
        if (!row.drawn) {
            EXPECT_TRUE(notes().contains("the first at (11, 10): no segment is drawn there."))
                << notes().toStdString();
        }
    }
}

// On a dark desktop the field is drawn in a grey between the text and the
// ground, as on a light one: seen, yet fainter than the solutions, and the
// solution through the start in the text's colour.
TEST_F(Field, TheFieldFollowsADarkPalette) {
    open();
    enter("f(x, y)", "1");
    waitForRuns();
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, QColor(0xdd, 0xdd, 0xdd));
    dark.setColor(QPalette::WindowText, QColor(0xdd, 0xdd, 0xdd));
    for (const QPalette& palette : {dark, light}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        showHundredthsFrom(10, 10);
        const QImage image = plot()->grab().toImage();
        const QColor ground = palette.color(QPalette::Base), text = palette.color(QPalette::Text);
        // The segment's strongest pixel: lines are smoothed, so most of its
        // pixels are only partly covered.
        QColor segment = ground;
        for (int k = -5; k <= 5; ++k) {
            const QColor seen = image.pixelColor(pixelOf(11, 11) + QPoint(k, -k));
            if (std::abs(seen.lightness() - ground.lightness()) >
                std::abs(segment.lightness() - ground.lightness())) {
                segment = seen;
            }
        }
        EXPECT_EQ(image.pixelColor(pixelOf(11.25, 11.25)), ground);
        EXPECT_GT(std::abs(segment.lightness() - ground.lightness()), 30)
            << segment.name().toStdString();
        EXPECT_GT(std::abs(segment.lightness() - text.lightness()), 40)
            << segment.name().toStdString();
        EXPECT_TRUE(inked(image, pixelOf(11, 11) + QPoint(4, -4), ground));
        EXPECT_FALSE(inked(image, pixelOf(11, 11) + QPoint(4, 4), ground));
        // The solution through the start is drawn in the text's colour.
        EXPECT_EQ(graph("reference")->pen().color(), text);
    }
}

// A click reads the point under the pointer, where the plot draws it, to
// the digits a pixel resolves (0.01 here) and moves the start there: the
// boxes x0 and y0 follow, and the runs start from it. A drag pans the view
// and moves nothing.
TEST_F(Field, AClickInTheFieldMovesTheStartThere) {
    open();
    chooseMethod(3);
    const struct {
        const char* name;
        double left, bottom;  // of the view
        double x, y;       // clicked
        const char* x0;
        const char* y0;
    } rows[] = {
        {"inside the first quadrant", 0, 1, 0.37, 1.5, "0.37", "1.5"},
        {"below zero", -1, -1, 0.2, -0.75, "0.2", "-0.75"},
        {"a start far out", 100, 297, 100.03, 297.95, "100.03", "297.95"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        showHundredthsFrom(row.left, row.bottom);
        QTest::mouseClick(plot(), Qt::LeftButton, Qt::NoModifier, pixelOf(row.x, row.y));
        EXPECT_EQ(box("x0"), row.x0);
        EXPECT_EQ(box("y0"), row.y0);
        QCPGraph* run = graph("Runge-Kutta 4, h = 0.4");
        ASSERT_NE(run, nullptr);
        ASSERT_FALSE(run->data()->isEmpty());
        // The run's first point is the start (a graph keeps its points by x).
        const bool forwards = run->data()->constBegin()->key == row.x;
        const auto start = forwards ? run->data()->constBegin() : run->data()->constEnd() - 1;
        EXPECT_EQ(start->key, row.x);
        EXPECT_EQ(start->value, row.y);
        // The view stays where the student clicked.
        EXPECT_DOUBLE_EQ(plot()->xAxis->range().lower, row.left);
    }
    const QString x0 = box("x0");
    const QPoint from = plot()->axisRect()->rect().center();
    QTest::mousePress(plot(), Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(40, 10),
                     plot()->mapToGlobal(from + QPoint(40, 10)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot(), &move);
    QTest::mouseRelease(plot(), Qt::LeftButton, Qt::NoModifier, from + QPoint(40, 10));
    EXPECT_EQ(box("x0"), x0);
}

// Euler on the textbook's y' = y - x^2 + 1, y(0) = 0.5 up to x1 = 2, with
// h = 0.4, 0.2 and 0.1, worked out in python3 in the method's own operation
// order, y + h·((y - x·x) + 1).
TEST_F(Field, TheRunsWithHHalfAndQuarterReachTheValuesWorkedOutByHand) {
    open();
    chooseMethod(0);
    chooseProblem(1);
    waitForRuns();
    const struct {
        const char* name;
        int steps;
        double y1, y2, last;
    } rows[] = {
        {"Euler, h = 0.4", 5, 1.1, 1.8760000000000001, 4.559584},
        {"Euler, h/2 = 0.2", 10, 0.8, 1.1520000000000001, 4.865784504320001},
        {"Euler, h/4 = 0.1", 20, 0.65, 0.8140000000000001, 5.063500030404641},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QCPGraph* run = graph(row.name);
        ASSERT_NE(run, nullptr);
        ASSERT_EQ(run->data()->size(), row.steps + 1);
        EXPECT_EQ(run->data()->at(0)->value, 0.5);
        EXPECT_EQ(run->data()->at(1)->value, row.y1);
        EXPECT_EQ(run->data()->at(2)->value, row.y2);
        EXPECT_EQ(run->data()->at(row.steps)->key, 2.0);
        EXPECT_EQ(run->data()->at(row.steps)->value, row.last);
        // Each run marks its step points.
        EXPECT_NE(run->scatterStyle().shape(), QCPScatterStyle::ssNone);
    }
    EXPECT_NE(graph("Euler, h = 0.4")->pen().color(), graph("Euler, h/2 = 0.2")->pen().color());
    EXPECT_NE(graph("exact"), nullptr);

    named<QCheckBox>("All seven methods")->setChecked(true);
    settleStudies();  // the set's runs are made when it is shown
    EXPECT_EQ(plot()->graphCount(), 8);
    // RK4, Fehlberg and Merson lie within a hundredth of the values' span
    // of Gill (0.0018 of 4.8, in python3): the legend says where they are.
    QStringList names;
    for (int i = 0; i < plot()->graphCount(); ++i) names << plot()->graph(i)->name();
    EXPECT_EQ(names, QStringList({"exact", "Euler, h = 0.4", "Euler (End points), h = 0.4",
                                  "Euler (Mid point), h = 0.4",
                                  "Runge-Kutta 4, h = 0.4\n(under Runge-Kutta-Gill)",
                                  "Runge-Kutta-Fehlberg, h = 0.4\n(under Runge-Kutta-Gill)",
                                  "Runge-Kutta-Merson, h = 0.4\n(under Runge-Kutta-Gill)",
                                  "Runge-Kutta-Gill, h = 0.4"}));
    QCPGraph* rk4 = graph("Runge-Kutta 4, h = 0.4\n(under Runge-Kutta-Gill)");
    ASSERT_NE(rk4, nullptr);
    EXPECT_EQ(rk4->data()->size(), 6);
}

// The page's mnemonics are its own while it is shown, though the One step
// page uses the same letters for Next step and Tableau.
TEST_F(Field, ItsControlsAreReachedWithAltAndALetter) {
    open();
    QCheckBox* every = named<QCheckBox>("All seven methods");
    // A mnemonic presses the check box at once and releases it a moment later.
    QTest::keyClick(lab, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(every->isDown());
    QTest::keyClick(lab, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), named<QTableWidget>("Lab steps"));
    EXPECT_EQ(lab->findChild<QTabWidget*>()->currentIndex(), 3);
}

// The table's rows on the textbook problem, worked out in python3: the
// errors against the exact solution (x + 1)^2 + (y0 - (x0 + 1)^2)·exp(x - x0).
TEST_F(Field, LabStepsListsTheTextbookRowsWorkedOutByHand) {
    open();
    chooseMethod(0);
    chooseProblem(1);
    waitForRuns();
    const Cells expected{
        {"i", "x", "y", "exact y", "global error", "local error"},
        {"0", "0", "0.5", "0.5", "0", ""},
        {"1", "0.4", "1.1", "1.21408765117936", "-1.14087651179364E-01", "-1.14087651179364E-01"},
        {"2", "0.8", "1.876", "2.12722953575377", "-2.51229535753766E-01", "-9.15068241026562E-02"},
        {"3", "1.2", "2.7704", "3.17994153863173", "-4.09541538631727E-01",
         "-5.78201885764535E-02"},
        {"4", "1.6", "3.70256", "4.28348378780244", "-5.80923787802443E-01",
         "-7.56563371802610E-03"},
        {"5", "2", "4.559584", "5.30547195053467", "-7.45887950534675E-01", "6.74053523887457E-02"},
    };
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(cells(*steps, true), expected);

    QTest::mouseClick(named<QPushButton>("Copy lab steps"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_TRUE(
        copied.startsWith("i\tx\ty\texact y\tglobal error\tlocal error\n0\t0\t0.5\t0.5\t0\t\n"))
        << copied.toStdString();
}

// A long run fills the table up to its thousandth step and says so: from
// x0 = 0 to x1 = 500 with h = 0.4 there are 500/0.4 = 1250 steps.
TEST_F(Field, LabStepsSaysWhereItStopsListing) {
    open();
    enter("x0", "0");
    enter("x1", "500");
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    ASSERT_NE(steps, nullptr);
    EXPECT_EQ(steps->rowCount(), 1001);
    EXPECT_EQ(steps->item(1000, 0)->text(), "1000");
    EXPECT_EQ(steps->item(1000, 1)->text(), "400");
    EXPECT_TRUE(notes().contains("The table lists the first 1000 of the 1250 steps to x1."))
        << notes().toStdString();
}

// On the lesson's equation the table is the "Steps and errors" window's,
// text for text, for every kind of method: one without an estimate, and an
// embedded pair with its estimate.
TEST_F(Field, OnTheLessonsEquationLabStepsIsTheStepsWindowsTable) {
    const struct {
        const char* option;
        int row;
    } methods[] = {{"Option_Euler", 0}, {"Option_RK4", 3}, {"Option_RKF", 4}, {"Option_RKM", 5}};
    const std::pair<const char*, const char*> boxes[] = {
        {"Text_x0", "0"}, {"Text_y0", "-1"}, {"Text_x1", "2"}, {"Text_h", "0.4"}};
    for (const auto& [name, text] : boxes) type(form.findChild<QLineEdit*>(name), text);
    open();
    for (const auto& method : methods) {
        SCOPED_TRACE(method.option);
        form.findChild<QRadioButton*>(method.option)->setChecked(true);
        QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_E, Qt::ControlModifier);
        StepsWindow* window = form.stepsWindow();
        ASSERT_NE(window, nullptr);
        chooseMethod(method.row);
        const Cells lab = cells(*named<QTableWidget>("Lab steps"), true);
        EXPECT_EQ(lab, cells(*window->findChild<QTableWidget*>("Steps"), true));
        EXPECT_EQ(lab.size(), 7u);
    }
}

// What the eye sees first: both plots leave room at their edges, so that
// the markers (7 pixels across) at a run's first and last points show whole
// inside the axes, in the first view and after a zoom and Home.
TEST_F(Field, BothPlotsShowTheMarkersAtTheEndsOfARunWhole) {
    openOnTheLesson(3);
    for (QCustomPlot* shown : {plot(), errorPlot()}) {
        SCOPED_TRACE(shown->accessibleName().toStdString());
        for (const bool zoomed : {false, true}) {
            SCOPED_TRACE(zoomed ? "after a zoom and Home" : "first view");
            if (zoomed) {
                QTest::keyClick(shown, Qt::Key_Plus);
                QTest::keyClick(shown, Qt::Key_Plus);
                QTest::keyClick(shown, Qt::Key_Home);
            }
            shown->replot();
            const QImage image = shown->grab().toImage();
            const QColor ground = shown->palette().color(QPalette::Base);
            const QCPGraph* run = graphOf(shown, "Runge-Kutta 4, h = 0.4");
            ASSERT_NE(run, nullptr);
            for (const auto point : {run->data()->constBegin(), run->data()->constEnd() - 1}) {
                const QPoint centre = QPointF(shown->xAxis->coordToPixel(point->key),
                                              shown->yAxis->coordToPixel(point->value))
                                          .toPoint();
                const QRect marker(centre - QPoint(4, 4), QSize(9, 9));
                EXPECT_TRUE(shown->axisRect()->rect().contains(marker))
                    << centre.x() << ", " << centre.y();
                // The circle's outline is drawn on both sides, not cut at an edge.
                EXPECT_TRUE(inked(image, centre + QPoint(3, 0), ground));
                EXPECT_TRUE(inked(image, centre - QPoint(3, 0), ground));
            }
        }
    }
}

// A click far from the curves moves the start: the view follows the new
// runs, which here grow far above the old view (y' = y - x^2 + 1 from near
// the top left). Once the student zooms, the view is theirs and stays.
TEST_F(Field, TheViewFollowsAClickedStartUnlessTheStudentZoomed) {
    open();
    chooseMethod(0);
    chooseProblem(1);
    waitForRuns();
    const QCPRange before = plot()->yAxis->range();
    QTest::mouseClick(plot(), Qt::LeftButton, Qt::NoModifier,
                      pixelOf(0.2, before.upper - 0.1 * before.size()));
    waitForRunsFrom(box("x0").toDouble());
    EXPECT_GT(plot()->yAxis->range().upper, 2 * before.upper);
    for (int i = 0; i < plot()->graphCount(); ++i) {
        SCOPED_TRACE(plot()->graph(i)->name().toStdString());
        for (const QCPGraphData& point : *plot()->graph(i)->data()) {
            EXPECT_TRUE(plot()->xAxis->range().contains(point.key)) << point.key;
            EXPECT_TRUE(plot()->yAxis->range().contains(point.value)) << point.value;
        }
    }

    QTest::keyClick(plot(), Qt::Key_Plus);
    const QCPRange x = plot()->xAxis->range(), y = plot()->yAxis->range();
    QTest::mouseClick(plot(), Qt::LeftButton, Qt::NoModifier, pixelOf(x.center(), y.center()));
    waitForRunsFrom(box("x0").toDouble());
    EXPECT_EQ(plot()->xAxis->range(), x);
    EXPECT_EQ(plot()->yAxis->range(), y);
}

// RK4's runs with h, h/2 and h/4 lie on one another; the run with h, whose
// markers are fewest, is drawn over the finer runs, so that its colour
// shows at its step points.
TEST_F(Field, TheRunWithHShowsOverItsFinerRuns) {
    openOnTheLesson(3);
    plot()->replot();
    const QImage image = plot()->grab().toImage();
    const QCPGraph* h = graph("Runge-Kutta 4, h = 0.4");
    const QCPGraph* quarter = graph("Runge-Kutta 4, h/4 = 0.1");
    ASSERT_NE(h, nullptr);
    ASSERT_NE(quarter, nullptr);
    const auto distance = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    for (int i = 1; i < h->data()->size(); ++i) {
        SCOPED_TRACE(i);
        const QCPGraphData& step = *h->data()->at(i);
        const QColor seen = image.pixelColor(pixelOf(step.key, step.value));
        EXPECT_LT(distance(seen, h->pen().color()), distance(seen, quarter->pen().color()))
            << seen.name().toStdString();
    }
    // The legend keeps the order h, h/2, h/4.
    const auto legendRow = [this](const QCPGraph* run) {
        for (int i = 0; i < plot()->legend->itemCount(); ++i) {
            if (plot()->legend->item(i) == plot()->legend->itemWithPlottable(run)) return i;
        }
        return -1;
    };
    EXPECT_GE(legendRow(h), 0);
    EXPECT_LT(legendRow(h), legendRow(quarter));
}

// The plot of the global errors: |y_i - y(x_i)| of each run at its steps on
// a logarithmic axis. For the run with h they are the Lab steps' global
// errors; for h/2 and h/4 the values worked out in python3 with RK4's own
// operation order against the exact solution 2 - 2x - 3e^(-x). With all
// seven methods the legend says which error curves lie on others.
TEST_F(Field, TheErrorPlotShowsEachRunsGlobalErrors) {
    openOnTheLesson(3);
    EXPECT_EQ(errorPlot()->yAxis->scaleType(), QCPAxis::stLogarithmic);
    const QTableWidget* steps = named<QTableWidget>("Lab steps");
    ASSERT_EQ(steps->horizontalHeaderItem(4)->text(), "global error");
    const QCPGraph* h = graphOf(errorPlot(), "Runge-Kutta 4, h = 0.4");
    ASSERT_NE(h, nullptr);
    // The start, where every run is exact, has no place on a logarithmic axis.
    ASSERT_EQ(h->data()->size(), steps->rowCount() - 1);
    for (int row = 1; row < steps->rowCount(); ++row) {
        SCOPED_TRACE(row);
        const QString error = steps->item(row, 4)->text();
        EXPECT_DOUBLE_EQ(h->data()->at(row - 1)->key, steps->item(row, 1)->text().toDouble());
        EXPECT_EQ(QString::number(h->data()->at(row - 1)->value, 'E', 14),
                  error.startsWith('-') ? error.mid(1) : error);
    }
    const struct {
        const char* name;
        const char* first;
        const char* second;
    } finer[] = {
        {"Runge-Kutta 4, h/2 = 0.2", "7.74076605447593E-06", "1.26752264156815E-05"},
        {"Runge-Kutta 4, h/4 = 0.1", "2.45892121109037E-07", "4.44984804559567E-07"},
    };
    for (const auto& run : finer) {
        SCOPED_TRACE(run.name);
        const QCPGraph* graph = graphOf(errorPlot(), run.name);
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(QString::number(graph->data()->at(0)->value, 'E', 14), run.first);
        EXPECT_EQ(QString::number(graph->data()->at(1)->value, 'E', 14), run.second);
    }

    named<QCheckBox>("All seven methods")->setChecked(true);
    settleStudies();  // the set's runs are made when it is shown
    QStringList names;
    for (int i = 0; i < errorPlot()->graphCount(); ++i) names << errorPlot()->graph(i)->name();
    EXPECT_EQ(names, QStringList({"Euler, h = 0.4",
                                  "Euler (End points), h = 0.4\n(under Euler (Mid point))",
                                  "Euler (Mid point), h = 0.4",
                                  "Runge-Kutta 4, h = 0.4\n(under Runge-Kutta-Gill)",
                                  "Runge-Kutta-Fehlberg, h = 0.4", "Runge-Kutta-Merson, h = 0.4",
                                  "Runge-Kutta-Gill, h = 0.4"}));
}

// Euler on y' = 1 from (0, 0) with h = 0.5 is exact to the last bit: its
// errors have no place on a logarithmic axis, and the notes say why the
// plot of the errors is empty. On y' = y the errors show and no note says so.
TEST_F(Field, ANoteSaysWhyErrorsOfZeroAreNotPlotted) {
    open();
    chooseMethod(0);
    const struct {
        const char* f;
        const char* exact;
        bool zero;
    } rows[] = {{"1", "y0 + x - x0", true}, {"y", "y0*exp(x - x0)", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.f);
        enter("f(x, y)", row.f);
        enter("exact y(x)", row.exact);
        enter("x0", "0");
        enter("y0", "1");
        enter("x1", "2");
        enter("h", "0.5");
        waitForRunsFrom(0);
        const QCPGraph* run = graphOf(errorPlot(), "Euler, h = 0.5");
        ASSERT_NE(run, nullptr);
        EXPECT_EQ(run->data()->isEmpty(), row.zero);
        EXPECT_EQ(notes().contains("Global error: a run whose errors are all 0 past the start "
                                   "(the method is exact here) has no curve, since a "
                                   "logarithmic axis has no place for 0."),
                  row.zero)
            << notes().toStdString();
    }
}

}  // namespace

// y' = y², y(0) = 1 ends at x = 1, where 1/(1 - x) leaves every number;
// Runge-Kutta 4 with h = 0.1 steps on over it to 1.01E+12 at 1.1 and
// 4.85E+172 at 1.2. The view keeps the y range where the solution exists
// (the reference's last sample before the end, 1/(1 - 0.998) = 500, with
// room), so the field and the curves do not flatten; the table says "no
// solution here" where a reference value and its errors would stand, and
// the notes say why.
TEST_F(Field, RunsPastTheEndOfTheSolutionLeaveTheViewWhereTheSolutionIs) {
    open();
    chooseMethod(3);
    enter("f(x, y)", "y^2");
    enter("x0", "0");
    enter("y0", "1");
    enter("x1", "2");
    enter("h", "0.1");
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    ASSERT_NE(steps, nullptr);
    // The runs with the last h typed come on another thread.
    while (!drawn("Runge-Kutta 4, h = 0.1")) QTest::qWait(10);
    ASSERT_GE(steps->rowCount(), 13);
    EXPECT_EQ(steps->item(12, 1)->text(), "1.2");
    EXPECT_EQ(steps->item(12, 3)->text(), "no solution here");
    EXPECT_EQ(steps->item(10, 4)->text(), "no solution here");
    EXPECT_EQ(steps->item(9, 3)->text().left(5), "10.00");
    EXPECT_TRUE(
        notes().contains("The solution does not continue past x \u2248 1: |y| grows without "
                         "bound as x nears it."))
        << notes().toStdString();
    const QCPRange y = plot()->yAxis->range();
    EXPECT_GT(y.upper, 500);
    EXPECT_LT(y.upper, 1000);
    EXPECT_LT(y.lower, 1);

    // Drawn, the reference rises from y = 2 at x = 0.5 to 100 at x = 0.99
    // within the plot, not flattened onto one row of pixels.
    plot()->replot();
    const QImage image = plot()->grab().toImage();
    EXPECT_LT(pixelOf(0.99, 100).y(), pixelOf(0.5, 2).y() - 20);
    const QColor ground = plot()->palette().color(QPalette::Base);
    EXPECT_TRUE(inked(image, pixelOf(0.99, 1 / (1 - 0.99)), ground));

    // Home shows the whole plot again, as far as there is a solution.
    QTest::keyClick(plot(), Qt::Key_Home);
    EXPECT_LT(plot()->yAxis->range().upper, 1000);
}

// A system has no direction field in (x, y): the page draws its components
// against x and lists a column for each. Euler on the harmonic oscillator
// y1' = y2, y2' = -y1 from (1, 0) with h = 0.1: its last row as
// tests/support/system_values.py works it out, beside cos and sin.
TEST_F(Field, ASystemsLabStepsListEveryComponent) {
    open();
    QComboBox* problem = named<QComboBox>("Problem");
    chooseProblem(problem->findText("Harmonic oscillator: y'' = -y"));
    enter("x1", "1");
    enter("h", "0.1");
    chooseMethod(0);
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    while (steps->rowCount() != 11 || steps->item(10, 2)->text() != "0.5707904499")
        QTest::qWait(10);
    keepPicture("field-oscillator-euler");
    const Cells rows = cells(*steps, true);
    const std::vector<std::string> header{"i", "x", "y1", "y2", "exact y1", "exact y2",
                                          "error", "error y1", "error y2"};
    EXPECT_EQ(rows.front(), header);
    EXPECT_EQ(rows.back()[3], "-0.88250801");
    EXPECT_EQ(rows.back()[6], "4.10370251921036E-02");  // the norm: y2's error, the larger
    EXPECT_EQ(named<QComboBox>("Form")->currentText().toStdString(), "a system y1' \u2026 yn'");
    EXPECT_TRUE(notes().contains("Errors are measured in the maximum norm"));
    // The energy grows by the factor 1 + h² a step: 0.5·(1.01^10 - 1) = 0.0523,
    // twice the 0.0255 of the run's first half.
    EXPECT_TRUE(
        notes().contains("Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions "
                         "keep at 0.5: I(x_i, y_i) \u2212 I(x0, y0) at x1 = 1, and its largest "
                         "size over the run:\nwith h = 0.1: 5.23E-02, largest 5.23E-02, growing"))
        << notes().toStdString();
    // Euler gains energy: its y1 at x = 1 lies above cos 1 = 0.5403.
    EXPECT_EQ(rows.back()[4], "0.54030230586814");
}

namespace {

// The first nine significant digits of a number the table shows.
std::string nineDigits(const QString& shown) {
    return QString::number(shown.toDouble(), 'g', 9).toStdString();
}

// Waits until the plot draws a run of this name: typed problems are run on
// another thread.
void waitForGraph(const QCustomPlot& plot, const QString& name) {
    const auto shown = [&] {
        for (int i = 0; i < plot.graphCount(); ++i) {
            if (plot.graph(i)->name().startsWith(name)) return true;
        }
        return false;
    };
    while (!shown()) QTest::qWait(10);
}

}  // namespace

// The textbook's stiff example y' = 5·e^(5x)·(y - x)^2 + 1, y(0) = -1, x1 = 1
// (exact y = x - e^(-5x)). Backward Euler and the trapezoid list the values
// of their implicit equations solved by tests/support/implicit_values.py
// (mpmath at 30 digits) to nine digits; Runge-Kutta 4 with h = 0.25 reaches
// 1.4E+23 at x = 0.75 and 1.7E+394 after it, beyond a double, and the notes
// say so, while the implicit methods with the same h follow the solution.
TEST_F(Field, ImplicitMethodsFollowTheTextbooksStiffSolutionWhereRungeKutta4BlowsUp) {
    open();
    enter("f(x, y)", "5*exp(5*x)*(y - x)^2 + 1");
    enter("x0", "0");
    enter("y0", "-1");
    enter("x1", "1");
    const struct {
        const char* method;
        const char* h;
        std::vector<std::string> y;
    } runs[] = {
        {"Backward Euler",
         "0.2",
         {"-1", "-0.249868817", "0.211812148", "0.524948502", "0.770967745", "0.988982599"}},
        {"Trapezoid",
         "0.2",
         {"-1", "-0.141496851", "0.274861392", "0.553982841", "0.78307197", "0.993772555"}},
        {"Backward Euler",
         "0.25",
         {"-1", "-0.127675886", "0.371963582", "0.709433147", "0.987664083"}},
        {"Trapezoid", "0.25", {"-1", "0.00545572168", "0.426757162", "0.729152811", "0.994019911"}},
    };
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    for (const auto& run : runs) {
        SCOPED_TRACE(std::string(run.method) + ", h = " + run.h);
        enter("h", run.h);
        chooseMethod(named<QComboBox>("Method")->findText(run.method));
        const QString name = QString(run.method) + ", h = " + run.h;
        waitForGraph(*plot(), name);
        ASSERT_EQ(steps->rowCount(), static_cast<int>(run.y.size()));
        for (int i = 0; i < steps->rowCount(); ++i)
            EXPECT_EQ(nineDigits(steps->item(i, 2)->text()), run.y[i]) << i;
    }

    chooseMethod(named<QComboBox>("Method")->findText("Runge-Kutta 4"));
    waitForGraph(*plot(), "Runge-Kutta 4, h = 0.25");
    EXPECT_EQ(steps->rowCount(), 4);
    EXPECT_TRUE(notes().contains("Runge-Kutta 4, h = 0.25: step 4 from (0.75, 1.4463916"))
        << notes().toStdString();
    EXPECT_TRUE(notes().contains("gives no finite value")) << notes().toStdString();
}

// The stiff lesson side by side: y' = -50(y - cos x) from (0, 0) with
// h = 0.5, z = h·λ = -25. Euler multiplies the transient by 1 + z = -24 a
// step and leaves the view, which keeps to the solution and the implicit
// methods that follow it: backward Euler (R = 1/26) ends at 0.55, near the
// solution's 0.5569, the trapezoid (R = -11.5/13.5 = -0.85) swings across it.
TEST_F(Field, BesideTheImplicitMethodsARunThatBlowsUpLeavesTheView) {
    open();
    QComboBox* problem = named<QComboBox>("Problem");
    chooseProblem(problem->findText("Stiff: y' = -50(y - cos x)"));
    enter("h", "0.5");
    chooseMethod(0);
    QTest::keyClick(named<QCheckBox>("Implicit methods"), Qt::Key_Space);
    settleStudies();  // the set's runs are made when it is shown
    waitForGraph(*plot(), "Gauss-Legendre 4, h = 0.5");
    QStringList names;
    for (int i = 0; i < plot()->graphCount(); ++i) names << plot()->graph(i)->name();
    EXPECT_EQ(names,
              QStringList({"exact", "Euler, h = 0.5", "Backward Euler, h = 0.5",
                           "Trapezoid, h = 0.5", "Implicit mid point, h = 0.5", "SDIRK 2, h = 0.5",
                           "Radau IIA 3, h = 0.5", "Gauss-Legendre 4, h = 0.5"}));
    EXPECT_FALSE(named<QCheckBox>("All seven methods")->isChecked());
    EXPECT_TRUE(notes().contains("The run Euler leaves the view, far beyond the solution"))
        << notes().toStdString();
    const QCPRange y = plot()->yAxis->range();
    EXPECT_GT(y.lower, -1);  // Euler's -578 at x = 1 is out of it
    EXPECT_LT(y.upper, 3);
    QCPGraph* backward = graph("Backward Euler, h = 0.5");
    ASSERT_NE(backward, nullptr);
    ASSERT_EQ(backward->data()->size(), 3);
    EXPECT_NEAR(backward->data()->at(2)->value, 0.5569, 0.01);
    plot()->replot();
    const QImage image = plot()->grab().toImage();
    EXPECT_TRUE(inked(image, pixelOf(1, backward->data()->at(2)->value),
                      plot()->palette().color(QPalette::Base)));

    // Checking the seven explicit methods clears the implicit ones.
    QTest::keyClick(named<QCheckBox>("All seven methods"), Qt::Key_Space);
    settleStudies();  // the set's runs are made when it is shown
    EXPECT_FALSE(named<QCheckBox>("Implicit methods")->isChecked());
    EXPECT_EQ(plot()->graphCount(), 8);
}

// Adams-Bashforth 4 on the textbook problem with h = 0.4: its three starting
// values from Runge-Kutta 4 are ringed in the text's colour, 7 pixels
// around them, its later steps are not; Starting values lists them.
TEST_F(Field, AMultistepRunsStartingValuesAreRingedAndListed) {
    open();
    chooseProblem(1);
    chooseMethod(
        static_cast<int>(pelorin::catalogueRow(pelorin::methodByCaption("Adams-Bashforth 4"))));
    waitForRuns();
    // The runs of the problem chosen last, once they have come.
    while (!drawn("starting values, h = 0.4")) QTest::qWait(10);
    plot()->replot();
    const QImage image = plot()->grab().toImage();
    const QColor text = plot()->palette().color(QPalette::Text);
    const QCPGraph* run = graph("Adams-Bashforth 4, h = 0.4");
    ASSERT_NE(run, nullptr);
    const auto ringed = [&](int i) {
        const QCPGraphData& point = *run->data()->at(i);
        const QPoint centre = pixelOf(point.key, point.value);
        for (int offset : {6, 7, 8}) {
            const QColor seen = image.pixelColor(centre + QPoint(offset, 0));
            if (std::abs(seen.red() - text.red()) + std::abs(seen.green() - text.green()) +
                    std::abs(seen.blue() - text.blue()) < 120) {
                return true;
            }
        }
        return false;
    };
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ringed(i), i <= 3);
    }
    QTableWidget* starting = named<QTableWidget>("Starting values");
    ASSERT_NE(starting, nullptr);
    EXPECT_TRUE(starting->isVisible());
    ASSERT_EQ(starting->rowCount(), 4);
    EXPECT_EQ(starting->item(3, 0)->text(), "3 (start)");
    EXPECT_EQ(starting->item(3, 1)->text(), "1.2");
}

namespace {

// The notes' lines, each whole.
QStringList lines(const QString& notes) { return notes.split('\n'); }

// Waits until a plot draws a graph of this name, hidden under another or
// not, whose last point lies at x.
QCPGraph* waitForGraphTo(const QCustomPlot& plot, const QString& name, double x) {
    const auto found = [&]() -> QCPGraph* {
        for (int i = 0; i < plot.graphCount(); ++i) {
            QCPGraph* graph = plot.graph(i);
            if ((graph->name() == name || graph->name().startsWith(name + "\n")) &&
                !graph->data()->isEmpty() && (graph->data()->constEnd() - 1)->key == x) {
                return graph;
            }
        }
        return nullptr;
    };
    while (!found()) QTest::qWait(10);
    return found();
}

}  // namespace

// The pendulum let go at 2 radians with h = 0.25 to x1 = 20, beside the
// implicit methods: each run's drift of the energy where it ends and its
// largest size, worked out by tests/support/invariant_drift.py (the
// published tableaus in 40 digits), and whether it grows, from its largest
// size over the run's second half against the first (python's ratios: 2.07
// for Runge-Kutta 4, 1.16 for backward Euler and 1.30 for SDIRK 2, said
// neither way, 1.00 for the trapezoid, the mid point and Gauss-Legendre 4,
// 2.05 for Radau IIA 3). The
// start's energy is -cos 2. Then the same over 4000 steps to x1 = 1000:
// every step is drawn.
TEST_F(Field, OnThePendulumTheNotesGiveEachRunsDriftAtTheEndAndAtItsLargest) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Pendulum: y'' = -sin y"));
    chooseMethod(3);
    enter("x1", "20");
    enter("h", "0.25");
    QTest::keyClick(named<QCheckBox>("Implicit methods"), Qt::Key_Space);
    QCustomPlot* drift = named<QCustomPlot>("Invariant drift");
    waitForGraphTo(*drift, "Gauss-Legendre 4", 20);
    const QStringList expected{
        "Drift of the invariant I = y2^2/2 - cos(y1), which the solutions keep at "
        "0.416146836547142, "
        "with h = 0.25: I(x_i, y_i) \u2212 I(x0, y0) at x1 = 20, and its largest size over the "
        "run:",
        "Runge-Kutta 4: -2.18E-04, largest 2.27E-04, growing",
        "Backward Euler: -1.40E+00, largest 1.40E+00",
        "Trapezoid: -7.55E-04, largest 1.03E-02, not growing",
        "Implicit mid point: 3.01E-04, largest 5.21E-03, not growing",
        "SDIRK 2: -7.65E-04, largest 1.93E-03",
        "Radau IIA 3: -5.35E-03, largest 5.35E-03, growing",
        "Gauss-Legendre 4: 4.47E-06, largest 9.25E-06, not growing",
        "Growing: its largest size over the run's second half is at least 1.5 times that over its "
        "first half; not growing: at most 1.1 times.",
        "Implicit mid point and Gauss-Legendre 4 are symplectic: a symplectic method keeps a "
        "quantity close to I exactly, so its drift stays bounded over long runs instead of adding "
        "up, and here it does not grow. Trapezoid is not symplectic, but its states moved by half "
        "an Euler step, y + hF(x, y)/2, are the implicit mid point's: so its drift stays bounded "
        "as "
        "the mid point's does, and here it does not grow."};
    const QStringList shown = lines(notes());
    const qsizetype first = shown.indexOf(expected.front());
    ASSERT_GE(first, 0) << notes().toStdString();
    EXPECT_EQ(shown.mid(first, expected.size()), expected) << notes().toStdString();
    keepPicture("field-pendulum-implicit-methods");

    enter("x1", "1000");
    QCPGraph* rk4 = waitForGraphTo(*drift, "Runge-Kutta 4", 1000);
    EXPECT_EQ(rk4->data()->size(), 4001);
    EXPECT_TRUE(notes().contains("Runge-Kutta 4: -9.75E-03, largest 9.77E-03, growing"))
        << notes().toStdString();
}

// The damped pendulum y'' = -sin(y) - y'/2 with the undamped one's energy as
// its invariant: the lab says the system does not keep it (at x = 2.5, near
// the start, dI/dx = -y'²/2 = -0.075²/2) beside the boxes, and the drift plot shows each
// run's energy less the reference's at the same x, so that no method is
// blamed for the energy friction takes.
TEST_F(Field, AnInvariantTheSystemDoesNotKeepIsSaidSoAndEachRunIsComparedWithTheSolution) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Pendulum: y'' = -sin y"));
    chooseMethod(3);
    enter("x1", "20");
    enter("h", "0.25");
    enter("y''", "-sin(y) - 0.5*y'");
    QCustomPlot* drift = named<QCustomPlot>("Invariant drift");
    waitForGraphTo(*drift, "h", 20);
    while (!notes().contains("Error in I")) QTest::qWait(10);
    keepPicture("field-damped-pendulum");
    const QString boxNotes = label("Box notes")->text();
    EXPECT_TRUE(boxNotes.contains(
        "The invariant I = y2^2/2 - cos(y1) is not kept by this system: dI/dx = \u2202I/\u2202x + "
        "\u2207I\u00b7F is -0.00281 at x = 2.5, y = (2.25, -0.075), not 0."))
        << boxNotes.toStdString();
    EXPECT_TRUE(notes().contains(
        "Error in I = y2^2/2 - cos(y1), which this system does not keep: I(x_i, y_i) \u2212 "
        "I(x_i, y(x_i)), each run's I less the reference solution's at the same x, at x1 = 20, "
        "and its largest size over the run:\nwith h = 0.25: "))
        << notes().toStdString();
    EXPECT_FALSE(notes().contains("Drift of the invariant")) << notes().toStdString();
    EXPECT_EQ(drift->yAxis->label(), "I(x_i, y_i) - I(x_i, y(x_i))");
}

// One equation takes an invariant in x and y in its own box, under the
// problem row: y' = y from (0, 1) keeps y·e^(-x), whose drift from 1 is
// drawn; it does not keep y², whose rate 2y·y is 2 at the start, and each
// run's y² is then compared with the exact solution's.
TEST_F(Field, OneEquationTakesAnInvariantAndItsDriftIsDrawn) {
    open();
    chooseMethod(3);
    enter("exact y(x)", "y0*exp(x - x0)");
    enter("f(x, y)", "y");
    enter("x0", "0");
    enter("y0", "1");
    enter("x1", "2");
    enter("h", "0.25");
    QLineEdit* invariant = nullptr;
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() == "Invariant" && edit->isVisible()) invariant = edit;
    }
    ASSERT_NE(invariant, nullptr);
    const struct {
        const char* invariant;
        QString boxNote, heading, axis, description;
    } rows[] = {
        {"y*exp(-x)", "",
         "Drift of the invariant I = y*exp(-x), which the solutions keep at 1: I(x_i, y_i) "
         "\u2212 I(x0, y0) at x1 = 2, and its largest size over the run:",
         "I(x_i, y_i) - I(x0, y0)",
         "How far each run moves the quantity the solutions keep constant"},
        {"y^2",
         "The invariant I = y^2 is not kept by this equation: dI/dx = \u2202I/\u2202x + "
         "\u2202I/\u2202y\u00b7f is 2 at x = 0, y = 1, not 0. The Field page plots I(x_i, y_i) "
         "\u2212 I(x_i, y(x_i)), each run's I less the exact solution's at the same x: the "
         "method's error in I, without the solution's own change of I.",
         "Error in I = y^2, which this equation does not keep: I(x_i, y_i) \u2212 I(x_i, "
         "y(x_i)), each run's I less the exact solution's at the same x, at x1 = 2, and its "
         "largest size over the run:",
         "I(x_i, y_i) - I(x_i, y(x_i))",
         "The equation does not keep the quantity typed as its invariant"},
    };
    auto* drift = named<QCustomPlot>("Invariant drift");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.invariant);
        invariant->setFocus();
        type(invariant, row.invariant);
        QTest::keyClick(invariant, Qt::Key_Return);
        while (!lines(notes()).contains(row.heading)) QTest::qWait(10);
        EXPECT_EQ(label("Box notes")->text().toStdString(), row.boxNote.toStdString());
        QCPGraph* run = waitForGraphTo(*drift, "Runge-Kutta 4, h = 0.25", 2);
        EXPECT_EQ(run->data()->size(), 9);
        EXPECT_TRUE(drift->isVisible());
        EXPECT_EQ(drift->yAxis->label(), row.axis);
        EXPECT_TRUE(drift->accessibleDescription().startsWith(row.description))
            << drift->accessibleDescription().toStdString();
        EXPECT_EQ(named<QComboBox>("Problem")->currentText(), "Your own");
    }
    keepPicture("field-one-equation-invariant");
}

// The drift plot draws each run as the Global error plot above it does: in
// the same pen and marker and by the same name. The lesson's y' = -2x - y
// keeps (y + 2x - 2)·e^x, which Euler with h moves by the factor
// (1 - h)·e^h a step, from -3 at the start; the oscillator keeps its
// energy. Each drift is measured from the start, I(x_i, y_i) - I(x0, y0),
// as the axis says and the description reads. Drawn, the run with h/2 is
// in its own colour at its point x = 0.5, not in the colour of h.
TEST_F(Field, TheDriftPlotDrawsEachRunAsThePlotsAboveIt) {
    open();
    const struct {
        const char* problem;  // none: the lesson's equation
        QStringList names;
    } rows[] = {
        {nullptr, {"Euler, h = 0.2", "Euler, h/2 = 0.1", "Euler, h/4 = 0.05"}},
        {"Harmonic oscillator: y'' = -y", {"h", "h/2", "h/4"}},
    };
    auto* drift = named<QCustomPlot>("Invariant drift");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.names.front().toStdString());
        if (row.problem) {
            chooseProblem(named<QComboBox>("Problem")->findText(row.problem));
        } else {
            chooseProblem(0);
            enter("y0", "-1");
            for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
                if (edit->accessibleName() != "Invariant" || !edit->isVisible()) continue;
                edit->setFocus();
                type(edit, "(y + 2*x - 2)*exp(x)");
                QTest::keyClick(edit, Qt::Key_Return);
            }
        }
        chooseMethod(0);
        enter("x0", "0");
        enter("x1", "1");
        enter("h", "0.2");
        // The drift is drawn with the errors, from the same runs.
        for (const QString& name : row.names) waitForGraphTo(*errorPlot(), name, 1);
        settleStudies();
        const std::string names = row.names.join(" | ").toStdString();
        EXPECT_EQ(pelorin::testing::legendNames(*drift).join(" | ").toStdString(), names);
        EXPECT_EQ(pelorin::testing::legendNames(*errorPlot()).join(" | ").toStdString(), names);
        for (const QString& name : row.names) {
            SCOPED_TRACE(name.toStdString());
            const QCPGraph* drifting = graphOf(drift, name);
            const QCPGraph* above = graphOf(errorPlot(), name);
            if (!drifting || !above) continue;
            EXPECT_EQ(drifting->pen().color(), above->pen().color());
            EXPECT_EQ(drifting->pen().style(), above->pen().style());
            EXPECT_EQ(drifting->scatterStyle().shape(), above->scatterStyle().shape());
        }
        EXPECT_EQ(drift->yAxis->label(), "I(x_i, y_i) - I(x0, y0)");
        EXPECT_TRUE(drift->accessibleDescription().startsWith(
            "How far each run moves the quantity the solutions keep constant: I(x_i, y_i) - "
            "I(x0, y0) against x"))
            << drift->accessibleDescription().toStdString();
        if (row.problem) continue;
        drift->replot();
        const QImage image = drift->grab().toImage();
        const QCPGraph* half = graphOf(drift, row.names[1]);
        ASSERT_NE(half, nullptr);
        const QCPGraphData point = *half->data()->at(5);
        ASSERT_NEAR(point.key, 0.5, 1e-12);
        const QColor seen = image.pixelColor(QPointF(drift->xAxis->coordToPixel(point.key),
                                                     drift->yAxis->coordToPixel(point.value))
                                                 .toPoint());
        const QColor own = graphOf(errorPlot(), row.names[1])->pen().color();
        EXPECT_NE(own.hsvHue(), graphOf(errorPlot(), row.names[0])->pen().color().hsvHue());
        EXPECT_NEAR(seen.hsvHue(), own.hsvHue(), 12) << seen.name().toStdString();
    }
}

// The oscillator beside the implicit methods with h = 0.5: on a linear
// system the trapezoid's step is the mid point's, so its curves lie under
// the mid point's in every plot, and the legends say so, as the single
// equation's do. Gauss-Legendre 4 is drawn apart: the mid point's phase
// lags by about h³/12 a step, 0.2 by x = 10, ten times the tolerance.
TEST_F(Field, OnASystemARunHiddenUnderAnotherIsNamedSoInTheLegend) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Harmonic oscillator: y'' = -y"));
    chooseMethod(0);
    enter("x1", "10");
    enter("h", "0.5");
    QTest::keyClick(named<QCheckBox>("Implicit methods"), Qt::Key_Space);
    waitForGraphTo(*plot(), "y2, Gauss-Legendre 4", 10);
    keepPicture("field-oscillator-implicit-methods");
    QStringList names;
    for (int i = 0; i < plot()->graphCount(); ++i) names << plot()->graph(i)->name();
    EXPECT_TRUE(names.contains("y1, Trapezoid\n(under Implicit mid point)"))
        << names.join(" | ").toStdString();
    EXPECT_TRUE(names.contains("y2, Trapezoid\n(under Implicit mid point)"))
        << names.join(" | ").toStdString();
    EXPECT_TRUE(names.contains("y1, Implicit mid point")) << names.join(" | ").toStdString();
    names.clear();
    for (int i = 0; i < errorPlot()->graphCount(); ++i) names << errorPlot()->graph(i)->name();
    EXPECT_TRUE(names.contains("Trapezoid\n(under Implicit mid point)"))
        << names.join(" | ").toStdString();
}

// The drift on a logarithmic axis, at the press of Alt+G: the oscillator's
// energy with h = 0.5, lost by backward Euler by the factor 1/(1 + h²) a
// step, 0.5·(1 - 1.25^-20) = 0.494 by x = 10, and kept by the mid point to
// within rounding, 1E-16 or so: both are drawn, eighteen decades apart,
// where the linear axis, its range mostly below 0, draws the mid point's
// on its zero line.
TEST_F(Field, TheDriftIsDrawnOnALogarithmicAxisOnRequest) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Harmonic oscillator: y'' = -y"));
    chooseMethod(3);
    enter("x1", "10");
    enter("h", "0.5");
    QTest::keyClick(named<QCheckBox>("Implicit methods"), Qt::Key_Space);
    auto* drift = named<QCustomPlot>("Invariant drift");
    waitForGraphTo(*drift, "Gauss-Legendre 4", 10);
    QCheckBox* logarithmic = named<QCheckBox>("Drift on a logarithmic axis");
    ASSERT_TRUE(logarithmic->isVisible());
    // A mnemonic presses the check box at once and releases it a moment later.
    QTest::keyClick(lab, Qt::Key_G, Qt::AltModifier);
    while (!logarithmic->isChecked()) QTest::qWait(10);
    // The h box, left, is read again: the runs come anew.
    waitForGraphTo(*drift, "Gauss-Legendre 4", 10);
    EXPECT_EQ(drift->yAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(drift->yAxis->label(), "|I(x_i, y_i) - I(x0, y0)|");
    keepPicture("field-oscillator-logarithmic-drift");
    drift->replot();
    const QImage image = drift->grab().toImage();
    const QColor ground = drift->palette().color(QPalette::Base);
    for (const char* run : {"Backward Euler", "Implicit mid point"}) {
        SCOPED_TRACE(run);
        const QCPGraph* graph = graphOf(drift, run);
        ASSERT_NE(graph, nullptr);
        ASSERT_GT(graph->data()->size(), 2);
        const QCPGraphData& point = *graph->data()->at(graph->data()->size() / 2);
        EXPECT_TRUE(std::isfinite(point.value) && point.value > 0);
        const QPoint at = QPointF(drift->xAxis->coordToPixel(point.key),
                                  drift->yAxis->coordToPixel(point.value)).toPoint();
        EXPECT_TRUE(drift->axisRect()->rect().contains(at));
        EXPECT_TRUE(inked(image, at, ground));
    }
    const QCPGraph* backward = graphOf(drift, "Backward Euler");
    ASSERT_NE(backward, nullptr);
    EXPECT_NEAR((backward->data()->constEnd() - 1)->value, 0.494, 0.001);
    // Unchecked, the axis is linear again and the drift signed.
    QTest::keyClick(lab, Qt::Key_G, Qt::AltModifier);
    while (logarithmic->isChecked()) QTest::qWait(10);
    EXPECT_EQ(drift->yAxis->scaleType(), QCPAxis::stLinear);
    EXPECT_EQ(drift->yAxis->label(), "I(x_i, y_i) - I(x0, y0)");
    EXPECT_LT((graphOf(drift, "Backward Euler")->data()->constEnd() - 1)->value, 0);
    // The plot's context menu holds the same switch.
    QAction* onMenu = nullptr;
    for (QAction* action : drift->actions()) {
        if (action->text() == "Drift on a logarithmic axis") onMenu = action;
    }
    ASSERT_NE(onMenu, nullptr);
    EXPECT_TRUE(onMenu->isCheckable());
    onMenu->trigger();
    EXPECT_TRUE(logarithmic->isChecked());
    EXPECT_EQ(drift->yAxis->scaleType(), QCPAxis::stLogarithmic);
}

// y1' = -1E251·y1, y2' = 0 from (1, 1) with Euler and h = 1 to x1 = 1,
// exact y1 = e^(-1E251·x), y2 = 1: the first step gives y1 = -1E251, beyond
// the 1E250 a plot spans, and its error as large. The notes say that both
// plots leave values out, and the view still holds the exact solutions, y1
// from 1 down to 0 and y2 = 1.
TEST_F(Field, OnASystemValuesBeyondWhatAPlotSpansAreSaidToBeLeftOut) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Harmonic oscillator: y'' = -y"));
    chooseMethod(0);
    enter("y1'", "-1E251*y1");
    enter("y2'", "0");
    enter("y1(x0)", "1");
    enter("y2(x0)", "1");
    enter("exact y1(x)", "exp(-1E251*x)");
    enter("exact y2(x)", "1");
    enter("x1", "1");
    enter("h", "1");
    while (!notes().contains("Global error: some values lie beyond what a plot's scale can span "
                             "(1E-280 to 1E+250 in size) and are left out of the plot; the tables "
                             "and notes still give them.")) {
        QTest::qWait(10);
    }
    keepPicture("field-system-beyond-a-plot");
    EXPECT_TRUE(notes().contains("The runs with h, with h/2 and with h/4 leave the view"))
        << notes().toStdString();
    const QCPRange values = plot()->yAxis->range();
    EXPECT_LT(values.lower, 1);
    EXPECT_GT(values.upper, 1);
}

// The axes say what they show for the problem shown: a system's components
// and the norm of its errors, then, back on one equation, y and the size of
// its error, as a freshly opened lab has them.
TEST_F(Field, TheAxesFollowTheProblemFromASystemBackToOneEquation) {
    open();
    EXPECT_EQ(plot()->yAxis->label(), "y");
    EXPECT_EQ(errorPlot()->yAxis->label(), "|global error|");
    QComboBox* problem = named<QComboBox>("Problem");
    chooseProblem(problem->findText("Harmonic oscillator: y'' = -y"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return plot()->yAxis->label() == "y1, y2"; }, 10000));
    EXPECT_EQ(plot()->yAxis->label(), "y1, y2");
    EXPECT_EQ(errorPlot()->yAxis->label(), "||global error||");
    chooseProblem(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return plot()->yAxis->label() == "y"; }, 10000));
    EXPECT_EQ(plot()->yAxis->label(), "y");
    EXPECT_EQ(errorPlot()->yAxis->label(), "|global error|");
}

namespace {

// The rows down a column of the axes where a curve is drawn: the
// components' colours, even their pale bands, are saturated; the ground,
// the grid and the axes are grey.
std::vector<int> curveRows(const QImage& image, const QRect& axes, int column) {
    std::vector<int> rows;
    for (int row = axes.top(); row <= axes.bottom(); ++row) {
        if (image.pixelColor(column, row).hsvSaturation() > 40) rows.push_back(row);
    }
    return rows;
}

// A pixel of the pale band of y1's solution: y1's blue, #0072b2, a third
// opaque over the white ground; the runs' lines are of the full blue.
bool firstComponentBand(QColor pixel) {
    return std::abs(pixel.hsvHue() - 202) <= 10 && pixel.hsvSaturation() > 40 &&
           pixel.hsvSaturation() < 120 && pixel.value() > 200;
}

}  // namespace

// y1' = 0, y2' = 0 from (3, 3), with exact y1 = y2 = 3, from 0 to 2: every
// value drawn is 3, a view of a single value. The view gives it room of 1
// on each side, so the curves run along the middle of the axes: down the
// column at x = 0.5 every coloured pixel lies in the middle half, clear of
// the top and bottom edges.
TEST_F(Field, OnASystemAtRestTheCurvesRunAlongTheMiddleOfTheView) {
    open();
    chooseProblem(named<QComboBox>("Problem")->findText("Harmonic oscillator: y'' = -y"));
    chooseMethod(0);
    enter("x0", "0");
    enter("x1", "2");
    enter("h", "0.5");
    enter("y1'", "0");
    enter("y2'", "0");
    enter("y1(x0)", "3");
    enter("y2(x0)", "3");
    enter("exact y1(x)", "3");
    enter("exact y2(x)", "3");
    const auto atRest = [this] {
        bool toTheEnd = false;
        for (int i = 0; i < plot()->graphCount(); ++i) {
            const QCPGraph* curve = plot()->graph(i);
            for (auto point = curve->data()->constBegin(); point != curve->data()->constEnd();
                 ++point) {
                if (point->value != 3) return false;
                toTheEnd = toTheEnd || point->key == 2;
            }
        }
        return toTheEnd;
    };
    while (!atRest()) QTest::qWait(10);
    settleStudies();
    plot()->replot();
    keepPicture("field-system-at-rest");
    const QRect axes = plot()->axisRect()->rect();
    const std::vector<int> rows = curveRows(plot()->grab().toImage(), axes, pixelOf(0.5, 3).x());
    ASSERT_FALSE(rows.empty());
    EXPECT_GT(rows.front(), axes.top() + axes.height() / 4) << "top " << axes.top();
    EXPECT_LT(rows.back(), axes.bottom() - axes.height() / 4) << "bottom " << axes.bottom();
}

// With h = 0.5 beyond x1 = 0.2 the runs with h, h/2 and h/4 end past x1,
// at 0.5, 0.25 and 0.25. The Field plot shows them whole, for one equation
// as for a system: x from 0 to 0.5 with room of 15 %, and Euler's point
// (0.5, -0.5) drawn inside the axes, the lesson's y = -1 + 0.5·1 and the
// oscillator's y2 = 0 - 0.5·1. The Global error plot, which has no point at
// x0 (the error there is 0), starts at x0 all the same.
TEST_F(Field, RunsPastX1AreShownWhole) {
    open();
    const struct {
        const char* problem;
        const char* run;
    } rows[] = {{"Harmonic oscillator: y'' = -y", "y2, h"}, {nullptr, "Euler, h = 0.5"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.run);
        if (row.problem) {
            chooseProblem(named<QComboBox>("Problem")->findText(row.problem));
        } else {
            chooseProblem(0);
            enter("y0", "-1");
        }
        chooseMethod(0);
        enter("x0", "0");
        enter("x1", "0.2");
        enter("h", "0.5");
        waitForGraphTo(*plot(), row.run, 0.5);
        settleStudies();
        EXPECT_NEAR(plot()->xAxis->range().lower, -0.0375, 1e-12);
        EXPECT_NEAR(plot()->xAxis->range().upper, 0.5375, 1e-12);
        plot()->replot();
        const QImage image = plot()->grab().toImage();
        EXPECT_TRUE(plot()->axisRect()->rect().contains(pixelOf(0.5, -0.5)));
        EXPECT_TRUE(inked(image, pixelOf(0.5, -0.5), plot()->palette().color(QPalette::Base)));
        EXPECT_LE(errorPlot()->xAxis->range().lower, 0);
    }
}

// y1' = y1², y2' = 1 from (1, 0) to 2 without an exact solution: y1 =
// 1/(1 - x) ends at x = 1, and Runge-Kutta 4 with h = 0.1 steps on over it
// to 1E+12 and beyond. The view is fitted to the points before the end, so
// the reference's y1 rises across the axes: at x = 0.98, 0.99 and 0.995,
// its last point (y1 = 50, 100, 200), its pale blue band is drawn inside
// the axes, clear of their edges, each point well above the one before,
// and the last in the upper two thirds; a view fitted to the runs past the
// end would squash the curve onto the bottom edge.
TEST_F(Field, OnASystemTheSolutionBeforeItsEndFillsTheView) {
    open();
    typeSystem(3, "y1^2", "1", "", "", "2", "0.1");
    while (!notes().contains("follow no solution")) QTest::qWait(10);
    while (!drawn("y1, reference")) QTest::qWait(10);
    settleStudies();
    plot()->replot();
    keepPicture("field-system-solution-ends");
    const QImage image = plot()->grab().toImage();
    const QRect axes = plot()->axisRect()->rect();
    const QRect inside = axes.adjusted(3, 3, -3, -3);
    int below = axes.bottom();
    for (const double x : {0.98, 0.99, 0.995}) {
        SCOPED_TRACE(x);
        const QPoint at = pixelOf(x, 1 / (1 - x));
        EXPECT_TRUE(inside.contains(at)) << at.x() << ", " << at.y();
        // The band is 6 pixels wide: a run's line over it leaves some of it.
        bool band = false;
        for (int dx = -2; dx <= 2; ++dx) {
            band = band || firstComponentBand(image.pixelColor(at + QPoint(dx, 0)));
        }
        EXPECT_TRUE(band);
        EXPECT_LT(at.y(), below - axes.height() / 20);
        below = at.y();
    }
    EXPECT_LT(below, axes.bottom() - axes.height() / 3);
}

namespace {

// A pixel of a run of y1 drawn in full: y1's blue, #0072b2, at least three
// quarters opaque (its 1.5-pixel line is smoothed), and not the pale band of
// the solution.
bool firstComponentRun(QColor pixel) {
    return std::abs(pixel.hsvHue() - 202) <= 10 && pixel.hsvSaturation() > 140;
}

// Whether a pixel of a run of y1 lies within `reach` pixels of `at`.
bool firstComponentRunNear(const QImage& image, QPoint at, int reach) {
    for (int dx = -reach; dx <= reach; ++dx) {
        for (int dy = -reach; dy <= reach; ++dy) {
            if (firstComponentRun(image.pixelColor(at + QPoint(dx, dy)))) return true;
        }
    }
    return false;
}

}  // namespace

// y1' = -1E249·y1, y2' = 1 from (1, 0) to 5, exact y1 = e^(-1E249·x), y2 =
// x, with Euler and h = 1: the first step gives y1 = -1E+249, within what a
// plot spans, yet some 1E+248 views below the view of the solution. The
// runs of y1 leave the start (0, 1) straight down to the bottom edge: their
// blue lies down the column at x = 0 below the start and none above it.
TEST_F(Field, ARunTowardsAValueFarBelowTheViewLeavesItDownwards) {
    open();
    typeSystem(0, "-1E249*y1", "1", "exp(-1E249*x)", "x", "5", "1");
    while (!notes().contains("leave the view")) QTest::qWait(10);
    settleStudies();
    plot()->replot();
    keepPicture("field-system-run-far-below");
    const QImage image = plot()->grab().toImage();
    const QRect axes = plot()->axisRect()->rect();
    const QPoint start = pixelOf(0, 1);
    ASSERT_TRUE(axes.contains(start));
    // Clear of the start's marker, up to the top edge.
    for (int row = axes.top() + 1; row < start.y() - 8; ++row) {
        ASSERT_FALSE(firstComponentRunNear(image, QPoint(start.x(), row), 2)) << "row " << row;
    }
    for (const double y : {0.75, 0.5, 0.25}) {
        EXPECT_TRUE(firstComponentRunNear(image, pixelOf(0, y), 2)) << "y = " << y;
    }
    EXPECT_TRUE(firstComponentRunNear(image, QPoint(start.x(), axes.bottom() - 3), 2));
}

// y1' = y1², y2' = 1 from (1, 0) to 2 without an exact solution, Euler with
// h = 0.1: y1 = 6.13, 9.89, 19.7 and 58.3 at x = 1.0 to 1.3, inside the
// view of the solution before its end at x = 1, then on to 5.8E+103 at
// x = 2, far above the view. The line of the run with h is drawn all
// the same: its blue at the middle of each of its steps from 1.0 to 1.3.
TEST_F(Field, ARunOnToAValueFarAboveTheViewIsDrawnWhereItIsInTheView) {
    open();
    typeSystem(0, "y1^2", "1", "", "", "2", "0.1");
    while (!notes().contains("follow no solution")) QTest::qWait(10);
    while (!drawn("y1, reference") || !drawn("y1, h")) QTest::qWait(10);
    settleStudies();
    plot()->replot();
    keepPicture("field-system-run-far-above");
    const QImage image = plot()->grab().toImage();
    const QRect axes = plot()->axisRect()->rect();
    const QCPGraph* run = graph("y1, h");
    ASSERT_TRUE(run);
    int steps = 0;
    for (int i = 0; i + 1 < run->data()->size(); ++i) {
        const QCPGraphData a = *run->data()->at(i), b = *run->data()->at(i + 1);
        if (a.key < 0.95 || b.key > 1.35) continue;
        SCOPED_TRACE(a.key);
        const QPoint middle = (pixelOf(a.key, a.value) + pixelOf(b.key, b.value)) / 2;
        EXPECT_TRUE(axes.contains(middle)) << middle.x() << ", " << middle.y();
        EXPECT_TRUE(firstComponentRunNear(image, middle, 2));
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EXPECT_GT(run->data()->at(run->data()->size() - 1)->value, 1e100);
}

namespace {

// y1' = -y1·1E251, y2' = 1 from (0; 1, 0) to 5, Euler with h = 1, on the
// Field page at the lab's size: the exact solution's boxes as given (empty
// for none). Euler's first step gives y1 = 1 - 1E+251, its second overflows.
class SteepSystem : public Field {
protected:
    void openOn(const char* slope, const char* exactY1, const char* exactY2) {
        open();
        lab->resize(1000, 860);
        typeSystem(0, slope, "1", exactY1, exactY2, "5", "1");
    }
    // Waits until `done` holds, then until every study has settled.
    template <class Done>
    void settleWhen(Done done) {
        while (!done()) QTest::qWait(10);
        settleStudies();
    }
};

}  // namespace

// y1' = sqrt(-x) has no value past x0 = 0: without an exact solution the
// reference stops at once, while Euler's first step, from the slope 0 at
// x0, reaches x = 1 (its second has no slope). At x = 1 Lab steps has no
// reference value and says so in every cell that would hold one or an error
// measured against it, the reference's lone points at x0 are drawn as
// discs, and the notes say why the plot of the errors is empty.
TEST_F(SteepSystem, WhereTheReferenceStoppedLabStepsSaysThereIsNoReference) {
    openOn("sqrt(-x)", "", "");
    QTableWidget* steps = named<QTableWidget>("Lab steps");
    settleWhen([this, steps] {
        return steps->rowCount() == 2 && !steps->item(1, 4)->text().isEmpty() &&
               notes().contains("The reference solution stopped near x = ");
    });
    const Cells rows = cells(*steps, true);
    EXPECT_EQ(rows, (Cells{{"i", "x", "y1", "y2", "reference y1", "reference y2", "error",
                            "error y1", "error y2"},
                           {"0", "0", "1", "0", "1", "0", "0", "0", "0"},
                           {"1", "1", "1", "1", "no reference here", "no reference here",
                            "no reference here", "no reference here", "no reference here"}}));
    EXPECT_TRUE(notes().contains(
        "Global error: a run has no curve where the reference solution reaches none of its "
        "points past the start: there is nothing to measure its errors against."))
        << notes().toStdString();
    for (const char* name : {"y1, reference", "y2, reference"}) {
        SCOPED_TRACE(name);
        const QCPGraph* known = graph(name);
        ASSERT_NE(known, nullptr);
        ASSERT_EQ(known->dataCount(), 1);
        EXPECT_EQ(known->scatterStyle().shape(), QCPScatterStyle::ssDisc);
    }
    // Drawn, y1's start (0, 1), where neither the reference nor a run has a
    // second point, shows as a disc in y1's colour, #0072b2.
    plot()->replot();
    const QImage image = plot()->grab().toImage();
    const QColor disc = image.pixelColor(pixelOf(0, 1));
    EXPECT_NEAR(disc.hsvHue(), 202, 10) << disc.name().toStdString();
    EXPECT_GT(disc.hsvSaturation(), 40) << disc.name().toStdString();
}

// A system's Field plot draws its components against x, no direction field,
// and a click leaves its start where it is: its description says so. Back on
// one equation it describes the direction field again.
TEST_F(SteepSystem, TheFieldOfASystemIsDescribedAsItsComponentsAgainstX) {
    openOn("-1E251*y1", "", "");
    waitForRuns();
    settleStudies();
    EXPECT_EQ(plot()->accessibleDescription().toStdString(),
              "Each component y1 \u2026 yn of the system against x: the exact or reference "
              "solution through (x0, y(x0)), each component in a pale band of its colour, and "
              "the chosen method's runs. A system has no direction field in (x, y), and a click "
              "does not move its start. Drag to pan, turn the wheel to zoom, the context menu "
              "saves the picture.");
    QTest::mouseClick(plot(), Qt::LeftButton, {}, plot()->axisRect()->rect().center());
    QApplication::processEvents();
    EXPECT_EQ(box("x0"), "0");
    EXPECT_EQ(box("y1(x0)"), "1");
    chooseProblem(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return plot()->yAxis->label() == "y"; }, 10000));
    EXPECT_TRUE(plot()->accessibleDescription().startsWith(
        "The direction field of y' = f(x, y): a short segment of slope f at every grid point"));
}

// With the exact solution of y1' = -1E249·y1 each run's only error past the
// start is 1E249·h (y2's is 0): a curve of one point, drawn as a disc in the
// chosen method's colour, Euler's #0072b2, where a line alone shows nothing.
TEST_F(SteepSystem, ARunsLoneErrorIsDrawnAsADisc) {
    openOn("-1E249*y1", "y1_0*exp(-1E249*(x - x0))", "y2_0 + x - x0");
    const auto drawn = [this] {
        for (int i = 0; i < errorPlot()->graphCount(); ++i) {
            if (errorPlot()->graph(i)->dataCount() == 1) return true;
        }
        return false;
    };
    settleWhen(drawn);
    for (const char* run : {"h", "h/2", "h/4"}) {
        SCOPED_TRACE(run);
        const QCPGraph* errors = graphOf(errorPlot(), run);
        ASSERT_NE(errors, nullptr);
        ASSERT_EQ(errors->dataCount(), 1);
        EXPECT_EQ(errors->scatterStyle().shape(), QCPScatterStyle::ssDisc);
    }
    errorPlot()->replot();
    const QImage image = errorPlot()->grab().toImage();
    const QPoint at(static_cast<int>(errorPlot()->xAxis->coordToPixel(0.5)),
                    static_cast<int>(errorPlot()->yAxis->coordToPixel(5e248)));
    const QColor disc = image.pixelColor(at);
    EXPECT_NEAR(disc.hsvHue(), 202, 10) << disc.name().toStdString();
    EXPECT_GT(disc.hsvSaturation(), 120) << disc.name().toStdString();
}

// On y' = 0 every method is exact: the Global error plot and the
// Convergence plot have nothing to draw, and their legends name nothing.
// With h = 0.25 every run ends at x1; the empty Global error plot's x
// still spans the problem's range, as the Field plot above it does, with
// the same room of 15 %: from 0 to 1, and from 1 back to -1.
TEST_F(Field, WhereEveryMethodIsExactNoLegendNamesARun) {
    open();
    enter("exact y(x)", "y0");
    enter("f(x, y)", "0");
    enter("h", "0.25");  // every run ends at x1
    const QString zeroErrors = "Global error: a run whose errors are all 0 past the start (the "
                               "method is exact here) has no curve, since a logarithmic axis has "
                               "no place for 0.";
    const struct {
        const char *x0, *x1;
        double lower, upper;
    } ranges[] = {{"0", "1", -0.075, 1.075}, {"1", "-1", -1.15, 1.15}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(range.x1);
        enter("x0", range.x0);
        enter("x1", range.x1);
        const auto ranFrom = [this, &range] {
            for (int i = 0; i < plot()->graphCount(); ++i) {
                const QCPGraph* run = plot()->graph(i);
                if (run->name().contains(", h = ") && !run->data()->isEmpty() &&
                    run->data()->constBegin()->key == std::atof(range.x0) &&
                    (run->data()->constEnd() - 1)->key == std::atof(range.x1)) {
                    return true;
                }
            }
            return false;
        };
        while (!ranFrom() || !lines(notes()).contains(zeroErrors)) QTest::qWait(10);
        settleStudies();
        for (QCustomPlot* shown : {plot(), errorPlot()}) {
            SCOPED_TRACE(shown->accessibleName().toStdString());
            EXPECT_NEAR(shown->xAxis->range().lower, range.lower, 1e-12);
            EXPECT_NEAR(shown->xAxis->range().upper, range.upper, 1e-12);
        }
    }
    EXPECT_EQ(pelorin::testing::legendNames(*errorPlot()), QStringList());

    auto* pages = lab->findChild<QTabWidget*>();
    auto* convergence = named<QCustomPlot>("Convergence plot");
    for (QWidget* page = convergence; page; page = page->parentWidget()) {
        if (pages->indexOf(page) >= 0) pages->setCurrentWidget(page);
    }
    while (convergence->graphCount() == 0) QTest::qWait(10);
    settleStudies();
    EXPECT_EQ(pelorin::testing::legendNames(*convergence), QStringList());
}
