// The Method lab's Adaptive page as a student meets it: every attempted step
// of Fehlberg's pair listed with the numbers worked out by hand, hostile
// tolerances explained in words, a method without an estimate offered the
// two pairs, the rejected attempt drawn where it was tried, and the sweep of
// tolerances drawn beside fixed steps and the library's stepper. The lab is
// the program's loaded plugin, seen through Qt's and QCustomPlot's classes
// and accessible names only.
//
// Expected rows were worked out with a separate python3 replica of the pair
// (its tableau from the literature, the controller from its published rule,
// in the same double arithmetic), and agree with the analysis tests' values.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

// Waits for work off the window's thread; ctest's own limit stops a hang.
template <typename Condition>
void settle(Condition done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

class Adaptive : public pelorin::testing::LabWindowTest {
protected:
    // Opens the lab from the main window's boxes and method, on the Adaptive page.
    void open(const char* x1, const char* option) {
        QLineEdit* box = form.findChild<QLineEdit*>("Text_x1");
        box->selectAll();
        QTest::keyClicks(box, x1);
        form.findChild<QRadioButton*>(option)->setChecked(true);
        openLab(Qt::Key_A);
    }

    // A problem of the library, as a student picks it from the list.
    void chooseProblem(const char* name) {
        QComboBox* problem = named<QComboBox>("Problem");
        const int index = problem->findText(name);
        ASSERT_GE(index, 0) << name;
        problem->setCurrentIndex(index);
        emit problem->activated(index);
    }

    QTableWidget* steps() const { return named<QTableWidget>("Adaptive steps"); }
    QString notes() const { return label("Adaptive notes")->text(); }
    void setTolerance(const char* text) { enter("Tolerance", text); }
    std::vector<QString> row(int index) const {
        std::vector<QString> cells;
        for (int column = 0; column < steps()->columnCount(); ++column) {
            const QTableWidgetItem* cell = steps()->item(index, column);
            cells.push_back(cell ? cell->text() : "(none)");
        }
        return cells;
    }
    void waitForSweep() const {
        QLabel* work = label("Work-precision notes");
        settle([work] { return !work->text().startsWith("Calculating"); });
    }
};

using Row = std::vector<QString>;

TEST_F(Adaptive, EveryAttemptedStepIsListedWithItsVerdict) {
    open("2", "Option_RKF");
    QTest::keyClick(lab, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), named<QLineEdit>("Tolerance"));
    setTolerance("1E-8");
    const Row header{"x", "h", "y at x + h", "estimate", "tolerance", "estimate/tolerance",
                     "step", "true local error", "true error of y"};
    for (int column = 0; column < steps()->columnCount(); ++column) {
        EXPECT_EQ(steps()->horizontalHeaderItem(column)->text(),
                  header[static_cast<std::size_t>(column)]);
    }
    // The first step h = 0.4 is far too long for 1E-8: rejected, retried
    // with a fifth of it from the same x, then accepted.
    const struct {
        int index;
        Row cells;
    } rows[] = {
        {0, {"0", "4.00E-01", "-0.810949907692308", "-4.53E-05", "2.00E-08", "2.26E+03",
             "rejected", "1.02E-05", "1.02E-05"}},
        {1, {"0", "8.00E-02", "-0.929349038458092", "-1.30E-08", "2.00E-08", "6.49E-01",
             "accepted", "7.02E-10", "7.02E-10"}},
        {2, {"0.08", "7.85E-02", "-0.877268274776298", "-1.09E-08", "1.93E-08", "5.65E-01",
             "accepted", "5.79E-10", "1.23E-09"}},
        {3, {"0.158501098348821", "7.92E-02", "-0.840715637671607", "-1.05E-08", "1.88E-08",
             "5.61E-01", "accepted", "5.64E-10", "1.70E-09"}},
    };
    ASSERT_EQ(steps()->rowCount(), 23);
    for (const auto& expected : rows) {
        SCOPED_TRACE("attempt " + std::to_string(expected.index));
        EXPECT_EQ(row(expected.index), expected.cells);
    }
    // The last step is cut to land on x1 = 2.
    const Row last = row(22);
    EXPECT_EQ(last[0], "1.97391639576933");
    EXPECT_EQ(last[1], "2.61E-02");
    EXPECT_EQ(last[2], "-2.40600584189149");
    EXPECT_EQ(last[6], "accepted");
    EXPECT_TRUE(notes().contains("Reached x1 = 2: 22 steps accepted and 1 attempt rejected, 138 "
                                 "slope evaluations (6 per attempt)."))
        << notes().toStdString();
}

// A tolerance no run can use keeps the last good one and says why; one below
// what rounding allows is raised, and the notes say so.
TEST_F(Adaptive, HostileTolerancesAreExplainedInWords) {
    open("2", "Option_RKF");
    const struct {
        const char* text;
        QString note;
        int rows;  // of the run in force
    } cases[] = {
        {"0", "Tolerance: a tolerance of 0 cannot be met, for every estimate holds rounding: "
              "type a positive number such as 1E-6; the tolerance stays 1.00E-06.", 10},
        {"-1E-6", "Tolerance: a tolerance is a size, it cannot be negative: type a positive "
                  "number such as 1E-6; the tolerance stays 1.00E-06.", 10},
        {"abc", "Tolerance: \"abc\" is not a number; the tolerance stays 1.00E-06.", 10},
        {"1,5E-6", "Tolerance: \"1,5E-6\" is not a number: use a point, not a comma, for "
                   "decimals; the tolerance stays 1.00E-06.", 10},
        {"1E-300", "The relative tolerance 1.00E-300 is below what rounding in double "
                   "precision lets a step reach (one rounding alone is 1.1E-16 of a number's "
                   "size, and a step has several): 1.00E-14 is used instead.", -1},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.text);
        setTolerance("1E-6");
        setTolerance(row.text);
        EXPECT_TRUE(notes().startsWith(row.note)) << notes().toStdString();
        if (row.rows >= 0) EXPECT_EQ(steps()->rowCount(), row.rows);
        else EXPECT_GT(steps()->rowCount(), 100);
        EXPECT_FALSE(notes().contains("nan", Qt::CaseInsensitive));
        EXPECT_FALSE(notes().contains("inf", Qt::CaseInsensitive));
    }
    setTolerance("1E-6");
    EXPECT_TRUE(notes().startsWith("Runge-Kutta-Fehlberg carries on with its fifth-order "
                                   "solution")) << notes().toStdString();
}

// Settings the controller cannot use stop the run and say why, instead of
// leaving the last run's steps on the page.
TEST_F(Adaptive, ASafetyFactorAboveOneStopsTheRunWithItsReason) {
    open("2", "Option_RKF");
    ASSERT_GT(steps()->rowCount(), 0);
    QLineEdit* safety = named<QLineEdit>("Safety factor");
    safety->selectAll();
    QTest::keyClicks(safety, "2");
    QTest::keyClick(safety, Qt::Key_Return);
    EXPECT_EQ(notes(), "The safety factor 2.00E+00 is not in (0, 1]: it aims each step a little "
                       "below the tolerance, so that fewer steps are rejected; 0.9 is usual.");
    EXPECT_EQ(steps()->rowCount(), 0);
}

TEST_F(Adaptive, AMethodWithoutAnEstimateIsOfferedThePairs) {
    open("2", "Option_RK4");
    QLabel* offer = label("Method offer");
    EXPECT_TRUE(offer->isVisible());
    EXPECT_EQ(offer->text(), "Runge-Kutta 4 has no embedded error estimate, so it cannot choose "
                             "its own steps. Runge-Kutta-Fehlberg and Runge-Kutta-Merson carry "
                             "one: choose either.");
    EXPECT_EQ(steps()->rowCount(), 0);
    // The empty plots still span the problem's range, from 0 to 2.
    for (const char* name : {"Adaptive solution plot", "Step size plot"}) {
        const QCPRange x = named<QCustomPlot>(name)->xAxis->range();
        EXPECT_TRUE(x.lower < 0 && x.lower > -0.1 && x.upper > 2 && x.upper < 2.1)
            << name << ": " << x.lower << " to " << x.upper;
    }
    // Their value axes hold y0 = -1 and the typed h = 0.4, and stay put
    // however often the page calculates again, instead of widening each time.
    const auto values = [this] {
        return std::vector<QCPRange>{
            named<QCustomPlot>("Adaptive solution plot")->yAxis->range(),
            named<QCustomPlot>("Step size plot")->yAxis->range()};
    };
    const std::vector<QCPRange> first = values();
    EXPECT_TRUE(first[0].contains(-1) && first[0].lower > -10 && first[0].upper < 10)
        << first[0].lower << " to " << first[0].upper;
    EXPECT_TRUE(first[1].contains(0.4) && first[1].lower > 1e-4 && first[1].upper < 1e3)
        << first[1].lower << " to " << first[1].upper;
    for (const auto& [box, text] :
         {std::pair{"x1", "3"}, {"Tolerance", "1E-4"}, {"x1", "2"}, {"Tolerance", "1E-6"}}) {
        enter(box, text);
        const std::vector<QCPRange> again = values();
        for (std::size_t i = 0; i < again.size(); ++i) {
            EXPECT_EQ(again[i], first[i]) << box << " = " << text << ", plot " << i << ": "
                                          << again[i].lower << " to " << again[i].upper;
        }
    }
    QTest::mouseClick(named<QPushButton>("Use Runge-Kutta-Merson"), Qt::LeftButton);
    EXPECT_EQ(named<QComboBox>("Method")->currentText(), "Runge-Kutta-Merson");
    EXPECT_FALSE(offer->isVisible());
    // Merson from (0, -1) to 2 with 1E-6, its first step the lab's h = 0.4.
    EXPECT_EQ(steps()->rowCount(), 10);
    EXPECT_TRUE(notes().contains("9 steps accepted and 1 attempt rejected, 50 slope evaluations"))
        << notes().toStdString();
    // Alt+B chooses Fehlberg, from the keyboard, once the lab's method has no estimate.
    named<QComboBox>("Method")->setCurrentIndex(0);
    // A mnemonic clicks its button as the eye can follow, a moment later.
    QTest::keyClick(lab, Qt::Key_B, Qt::AltModifier);
    QComboBox* method = named<QComboBox>("Method");
    settle([method] { return method->currentText() != "Euler"; });
    EXPECT_EQ(method->currentText(), "Runge-Kutta-Fehlberg");
}

// The picture of h against x: the rejected first attempt h = 0.4 is marked
// at x = 0, and the accepted retry h = 0.08 sits below it in the method's
// colour; a plot that dropped the rejected attempts, or drew them at the
// accepted h, would differ there.
TEST_F(Adaptive, TheRejectedAttemptIsDrawnWhereItWasTried) {
    open("2", "Option_RKF");
    setTolerance("1E-8");
    QCustomPlot* plot = named<QCustomPlot>("Step size plot");
    ASSERT_NE(plot, nullptr);
    plot->replot();
    const QImage image = plot->grab().toImage();
    // Pixels of a hue within 12 degrees of the colour's, and saturated:
    // antialiased edges keep their hue, and the red and the pink stay apart.
    const auto near = [&](double x, double h, QRgb colour) {
        const int px = static_cast<int>(plot->xAxis->coordToPixel(x));
        const int py = static_cast<int>(plot->yAxis->coordToPixel(h));
        const int hue = QColor(colour).hsvHue();
        int found = 0;
        for (int dx = -5; dx <= 5; ++dx) {
            for (int dy = -5; dy <= 5; ++dy) {
                const QColor pixel = image.pixelColor(px + dx, py + dy);
                const int apart = std::abs(pixel.hsvHue() - hue);
                if (pixel.hsvSaturation() > 60 && std::min(apart, 360 - apart) <= 12) ++found;
            }
        }
        return found;
    };
    const QRgb rejectedRed = qRgb(0xc0, 0x30, 0x30);
    const QRgb fehlbergPink = qRgb(0xcc, 0x79, 0xa7);
    const struct {
        const char* name;
        double x, h;
        QRgb colour;
        bool drawn;
    } points[] = {
        {"rejected attempt, marked", 0, 0.4, rejectedRed, true},
        {"accepted retry, in the method's colour", 0, 0.08, fehlbergPink, true},
        {"no rejected mark at the accepted h", 0, 0.08, rejectedRed, false},
        {"no accepted step at the rejected h", 0, 0.4, fehlbergPink, false},
    };
    for (const auto& point : points) {
        SCOPED_TRACE(point.name);
        if (point.drawn) EXPECT_GE(near(point.x, point.h, point.colour), 4);
        else EXPECT_EQ(near(point.x, point.h, point.colour), 0);
    }
}

// On a dark desktop the rejected attempt's mark turns to the lighter red
// that reads on a dark ground, as soon as the palette changes.
TEST_F(Adaptive, TheRejectedMarkFollowsADarkPalette) {
    open("2", "Option_RKF");
    setTolerance("1E-8");
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, QColor(0x35, 0x35, 0x35));
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xdd, 0xdd, 0xdd));
    }
    QCustomPlot* plot = named<QCustomPlot>("Step size plot");
    ASSERT_NE(plot, nullptr);
    const struct {
        const char* name;
        const QPalette& palette;
        bool lightRed;
    } rows[] = {{"dark", dark, true}, {"light", light, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QApplication::setPalette(row.palette);
        QApplication::processEvents();
        plot->replot();
        const QImage image = plot->grab().toImage();
        const int px = static_cast<int>(plot->xAxis->coordToPixel(0));
        const int py = static_cast<int>(plot->yAxis->coordToPixel(0.4));
        int light = 0, deep = 0;
        for (int dx = -5; dx <= 5; ++dx) {
            for (int dy = -5; dy <= 5; ++dy) {
                const QColor pixel = image.pixelColor(px + dx, py + dy);
                const int hue = pixel.hsvHue();
                if (hue > 12 && hue < 348) continue;
                // The deep red (value 192, saturation 191) and the light red
                // (255, 128) themselves, not their blends with the ground.
                const int value = pixel.value(), saturation = pixel.hsvSaturation();
                if (std::abs(value - 192) <= 12 && saturation >= 170) ++deep;
                if (value >= 245 && std::abs(saturation - 128) <= 20) ++light;
            }
        }
        EXPECT_GE(row.lightRed ? light : deep, 4);
        EXPECT_EQ(row.lightRed ? deep : light, 0);
    }
    QApplication::setPalette(light);
}

// The sweep runs off the window's thread: both pairs over eleven tolerances,
// the same methods with fixed steps, the implicit methods with the
// convergence study's fixed steps (up to 4096), and the library's two
// steppers, named as the library's.
TEST_F(Adaptive, TheSweepSetsAdaptiveBesideFixedStepsAndTheLibrary) {
    open("2", "Option_RKF");
    waitForSweep();
    QCustomPlot* work = named<QCustomPlot>("Work-precision plot");
    ASSERT_NE(work, nullptr);
    const struct {
        const char* name;
        int points;
    } series[] = {
        {"Runge-Kutta-Fehlberg, adaptive", 11},
        {"Runge-Kutta-Fehlberg, fixed steps", 17},
        {"Runge-Kutta-Merson, adaptive", 11},
        {"Runge-Kutta-Merson, fixed steps", 17},
        {"Backward Euler, fixed steps", 13},
        {"Trapezoid, fixed steps", 13},
        {"Implicit mid point, fixed steps", 13},
        {"SDIRK 2, fixed steps", 13},
        {"Radau IIA 3, fixed steps", 13},
        {"Gauss-Legendre 4, fixed steps", 13},
        {"Dormand-Prince 5(4), Boost.Odeint (library)", 11},
        {"rosenbrock4 (Boost.Odeint)", 11},
    };
    ASSERT_EQ(work->graphCount(), static_cast<int>(std::size(series)));
    for (int i = 0; i < work->graphCount(); ++i) {
        SCOPED_TRACE(series[i].name);
        EXPECT_EQ(work->graph(i)->name(), series[i].name);
        EXPECT_EQ(work->graph(i)->dataCount(), series[i].points);
    }
    EXPECT_EQ(work->xAxis->scaleType(), QCPAxis::stLogarithmic);
    EXPECT_EQ(work->yAxis->scaleType(), QCPAxis::stLogarithmic);
    // Merson's run at 1E-6 from the lab's h = 0.4: 50 evaluations for an
    // error of 3.34E-06 at x1.
    const auto merson = work->graph(2)->data()->at(4);
    EXPECT_EQ(merson->key, 50);
    EXPECT_NEAR(merson->value, 3.34e-6, 0.005e-6);
    EXPECT_TRUE(label("Work-precision notes")
                    ->text()
                    .startsWith("Runge-Kutta-Fehlberg adapting its steps reached an error of "));
}

// A typed problem runs off the window's thread; on the stiff problem the
// steps stay near the pair's stability limit, whatever the tolerance asks.
// On the stiff problem explicit fixed steps of h > 2.8/50 blow up to errors
// of 1E+10: the error axis stops a thousand times above the solution's size
// (1 here), so that the implicit runs' small errors keep their room.
TEST_F(Adaptive, RunsThatBlewUpDoNotStretchTheErrorAxis) {
    open("1", "Option_RKF");
    chooseProblem("Stiff: y' = -50(y - cos x)");
    waitForSweep();
    QCustomPlot* work = named<QCustomPlot>("Work-precision plot");
    double largest = 0;
    for (int i = 0; i < work->graphCount(); ++i) {
        for (auto point = work->graph(i)->data()->begin(); point != work->graph(i)->data()->end();
             ++point) {
            largest = std::max(largest, point->value);
        }
    }
    EXPECT_GT(largest, 1e6);
    EXPECT_EQ(work->yAxis->range().upper, 1e3);
}

TEST_F(Adaptive, OnTheStiffProblemStabilityKeepsTheStepsSmall) {
    open("2", "Option_RKF");
    chooseProblem("Stiff: y' = -50(y - cos x)");
    for (const char* tolerance : {"1E-2", "1E-3"}) {
        SCOPED_TRACE(tolerance);
        setTolerance(tolerance);
        settle([this] { return steps()->rowCount() > 0; });
        int late = 0;
        for (int i = 0; i < steps()->rowCount(); ++i) {
            if (steps()->item(i, 6)->text() != "accepted" ||
                steps()->item(i, 0)->text().toDouble() < 0.5)
                continue;
            ++late;
            // Fehlberg's fifth-order solution is stable for h·(-50) down to
            // -3.68: the controller hovers about h = 3.68/50 = 0.074, where
            // the tolerance alone would allow far longer steps on cos x.
            EXPECT_LT(steps()->item(i, 1)->text().toDouble(), 0.085) << i;
        }
        EXPECT_GT(late, 5);
    }
}

// The stability limit is drawn on the step plot and named in its legend:
// on the stiff problem the line at Fehlberg's 3.678/50 = 0.0736 (the
// problem tests work it out) that the accepted steps hug, in the text's
// colour, dashed.
TEST_F(Adaptive, TheStabilityLimitIsDrawnOnTheStepPlot) {
    open("2", "Option_RKF");
    chooseProblem("Stiff: y' = -50(y - cos x)");
    setTolerance("1E-3");
    settle([this] { return steps()->rowCount() > 0; });
    EXPECT_TRUE(notes().contains("Along this run the limit is 7.36E-02, the line on the |h| plot."))
        << notes().toStdString();

    QCustomPlot* plot = named<QCustomPlot>("Step size plot");
    ASSERT_NE(plot, nullptr);
    QCPGraph* limit = nullptr;
    for (int g = 0; g < plot->graphCount(); ++g) {
        if (plot->graph(g)->name() == "stability limit 3.678/|\u03bb|") limit = plot->graph(g);
    }
    ASSERT_NE(limit, nullptr);
    EXPECT_NE(plot->legend->itemWithPlottable(limit), nullptr);
    ASSERT_GT(limit->data()->size(), 5);
    for (auto point = limit->data()->constBegin(); point != limit->data()->constEnd(); ++point) {
        EXPECT_NEAR(point->value, 0.0735541, 1e-6);
    }
    // Along the line from x = 0.1 to 0.9, dark pixels of the dashes.
    plot->replot();
    const QImage image = plot->grab().toImage();
    const int row = static_cast<int>(plot->yAxis->coordToPixel(0.0735541));
    int dark = 0;
    for (int px = static_cast<int>(plot->xAxis->coordToPixel(0.1));
         px < static_cast<int>(plot->xAxis->coordToPixel(0.9)); ++px) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (image.pixelColor(px, row + dy).lightness() < 90) {
                ++dark;
                break;
            }
        }
    }
    const int across =
        static_cast<int>(plot->xAxis->coordToPixel(0.9) - plot->xAxis->coordToPixel(0.1));
    EXPECT_GT(dark, across / 3) << dark << " of " << across;
}

// y' = y², y(0) = 1 run backwards to x1 = -1 without an exact solution:
// every attempt's true errors come from the reference, found at x + h in
// the run's own direction; y = 1/(1 - x) changes by a half over the run, and
// Fehlberg held to 1E-6 errs by far less than 1E-3 on every step.
TEST_F(Adaptive, BackwardsEveryAttemptHasItsTrueErrorsAgainstTheReference) {
    open("2", "Option_RKF");
    enter("f(x, y)", "y^2");
    enter("x0", "0");
    enter("y0", "1");
    enter("x1", "-1");
    settle([this] {
        return steps()->rowCount() > 0 && steps()->item(0, 1)->text().startsWith("-") &&
               notes().startsWith("No exact solution is given");
    });
    EXPECT_TRUE(notes().contains(" of the solution's size.")) << notes().toStdString();
    for (int i = 0; i < steps()->rowCount(); ++i) {
        SCOPED_TRACE(i);
        for (int column : {7, 8}) {
            const QString error = steps()->item(i, column)->text();
            bool number = false;
            const double value = error.toDouble(&number);
            ASSERT_TRUE(number) << error.toStdString();
            EXPECT_LT(std::fabs(value), 1e-3);
        }
    }
}

}  // namespace

// Fehlberg on the harmonic oscillator y1' = y2, y2' = -y1 from (1, 0), first
// step 1, tolerance 1E-6: the attempts tests/texts/adaptive_view_test.cpp
// works out, with a column for each component and err in the scaled norm,
// and each component's accepted steps drawn on its own curve.
TEST_F(Adaptive, ASystemsAttemptsListAndDrawEveryComponent) {
    open("2", "Option_RKF");
    chooseProblem("Harmonic oscillator: y'' = -y");
    enter("h", "1");
    settle([this] {
        return steps()->rowCount() > 3 && steps()->columnCount() == 8 &&
               steps()->item(0, 1)->text() == "1.00E+00";
    });
    const Row header{"x", "h", "y1 at x + h", "y2 at x + h", "err (RMS of estimate/tolerance)",
                     "step", "true local error (max norm)", "true error of y (max norm)"};
    for (int column = 0; column < steps()->columnCount(); ++column) {
        EXPECT_EQ(steps()->horizontalHeaderItem(column)->text(),
                  header[static_cast<std::size_t>(column)]);
    }
    EXPECT_EQ(row(0), (Row{"0", "1.00E+00", "0.541185897435897", "-0.841666666666667", "5.21E+02",
                           "rejected", "8.84E-04", "8.84E-04"}));
    EXPECT_EQ(row(1), (Row{"0", "2.58E-01", "0.967009223217628", "-0.254742383297576", "8.21E-01",
                           "accepted", "2.65E-07", "2.65E-07"}));
    EXPECT_TRUE(
        label("Controller notes")->text().contains("root mean square over the 2 components"));
    EXPECT_TRUE(notes().contains("Errors are measured in the maximum norm"))
        << notes().toStdString();

    // The first accepted point, (0.2576, 0.9670, -0.2547): each component's
    // colour where its value is, and not where the other's is.
    QCustomPlot* plot = named<QCustomPlot>("Adaptive solution plot");
    plot->replot();
    const QImage image = plot->grab().toImage();
    const auto colourOf = [plot](const QString& name) {
        for (int i = 0; i < plot->graphCount(); ++i) {
            if (plot->graph(i)->name() == name) return plot->graph(i)->pen().color();
        }
        ADD_FAILURE() << name.toStdString();
        return QColor();
    };
    const auto near = [&](double x, double y, const QColor& colour) {
        const int px = static_cast<int>(plot->xAxis->coordToPixel(x));
        const int py = static_cast<int>(plot->yAxis->coordToPixel(y));
        int found = 0;
        for (int dx = -4; dx <= 4; ++dx) {
            for (int dy = -4; dy <= 4; ++dy) {
                const QColor pixel = image.pixelColor(px + dx, py + dy);
                const int apart = std::abs(pixel.hsvHue() - colour.hsvHue());
                if (pixel.hsvSaturation() > 60 && std::min(apart, 360 - apart) <= 12) ++found;
            }
        }
        return found;
    };
    const QColor y1 = colourOf("y1, accepted steps"), y2 = colourOf("y2, accepted steps");
    ASSERT_NE(y1.hsvHue(), y2.hsvHue());
    const double x = 0.257581272727988;
    EXPECT_GE(near(x, 0.967009223217628, y1), 4);
    EXPECT_GE(near(x, -0.254742383297576, y2), 4);
    EXPECT_EQ(near(x, 0.967009223217628, y2), 0);
    EXPECT_EQ(near(x, -0.254742383297576, y1), 0);
}

// On a system a method without an estimate is offered the pairs too, over
// an empty table with a column for every component.
TEST_F(Adaptive, OnASystemAMethodWithoutAnEstimateIsOfferedThePairs) {
    open("2", "Option_RK4");
    chooseProblem("Harmonic oscillator: y'' = -y");
    EXPECT_TRUE(label("Method offer")->isVisible());
    EXPECT_EQ(steps()->rowCount(), 0);
    ASSERT_EQ(steps()->columnCount(), 8);
    EXPECT_EQ(steps()->horizontalHeaderItem(2)->text(), "y1 at x + h");
    EXPECT_EQ(steps()->horizontalHeaderItem(3)->text(), "y2 at x + h");
}

// A system's parameters change its slopes and its exact solution while
// their texts stay: the sweep is made again for them.
TEST_F(Adaptive, ASystemsSweepFollowsItsParameters) {
    open("2", "Option_RKF");
    chooseProblem("Damped oscillator: y'' = -y - cy'");
    enter("x1", "2");
    waitForSweep();
    const QString before = label("Work-precision notes")->text();
    enter("Parameters", "c = 1, w = sqrt(1 - c^2/4)");
    EXPECT_TRUE(label("Work-precision notes")->text().startsWith("Calculating"));
    waitForSweep();
    EXPECT_NE(label("Work-precision notes")->text(), before);
}

// The sweep reads neither the tolerance nor the lab's method, and a box left
// with its text unchanged, compiled anew, poses the same problem: none of
// them makes the sweep again, while the run follows each. How the multistep
// methods start, which its fixed runs of them read, and a new x1 make it
// again.
TEST_F(Adaptive, TheSweepIsMadeAgainOnlyForWhatItReads) {
    open("2", "Option_RKF");
    enter("f(x, y)", "y*(1 - y)");
    waitForSweep();
    QLabel* work = label("Work-precision notes");
    const QString swept = work->text();
    setTolerance("1E-4");
    EXPECT_EQ(work->text(), swept);
    QComboBox* method = named<QComboBox>("Method");
    method->setCurrentIndex(method->findText("Runge-Kutta-Merson"));
    EXPECT_EQ(work->text(), swept);
    enter("f(x, y)", "y*(1 - y)");
    EXPECT_EQ(work->text(), swept);
    QComboBox* start = named<QComboBox>("Start with");
    start->setCurrentIndex(start->findText("The exact or reference solution"));
    EXPECT_TRUE(work->text().startsWith("Calculating")) << work->text().toStdString();
    waitForSweep();
    enter("x1", "1.5");
    EXPECT_TRUE(work->text().startsWith("Calculating")) << work->text().toStdString();
    waitForSweep();
}

// Lorenz's chaos leaves no reference it trusts at x1 = 25, so the sweep has
// no error to draw: its axes span what a sweep usually covers, and the notes
// say why, instead of an axis of 10^124 to 10^130 fitted to nothing.
TEST_F(Adaptive, ASweepWithNothingToDrawKeepsSensibleAxes) {
    open("2", "Option_RKF");
    chooseProblem("Lorenz: chaos");
    waitForSweep();
    EXPECT_TRUE(label("Work-precision notes")->text().startsWith(
        "No exact solution, and no reference solution could be computed to x1"));
    QCustomPlot* work = named<QCustomPlot>("Work-precision plot");
    EXPECT_EQ(work->xAxis->range().lower, 1);
    EXPECT_EQ(work->xAxis->range().upper, 1e6);
    EXPECT_EQ(work->yAxis->range().lower, 1e-16);
    EXPECT_EQ(work->yAxis->range().upper, 1);
}

// On y' = 0 every run reaches x1 without error: a logarithmic axis has no
// place for 0, so nothing is drawn, the legend names nothing, and the notes
// say why.
TEST_F(Adaptive, ASweepWithoutErrorsNamesNothingItCannotDraw) {
    open("2", "Option_RKF");
    enter("f(x, y)", "0");
    enter("exact y(x)", "y0");
    waitForSweep();
    EXPECT_TRUE(label("Work-precision notes")
                    ->text()
                    .endsWith("A run that reaches x1 with an error of exactly 0 (the method is "
                              "exact here, or its value there rounds to the solution's own) has "
                              "no point on the plot, since a logarithmic axis has no place for "
                              "0."))
        << label("Work-precision notes")->text().toStdString();
    EXPECT_EQ(pelorin::testing::legendNames(*named<QCustomPlot>("Work-precision plot")),
              QStringList());
}

namespace {

// A pixel of the floor's line: its dark red #c03030 over the white ground,
// covering at least half the pixel (smoothed lines cover their edges'
// pixels only partly). The methods' reds and pinks have more blue than
// green, the explicit methods' vermilion no blue at all.
bool floorRed(QColor pixel) {
    const double covered = (255 - pixel.green()) / double(255 - 0x30);
    const double red = 255 - covered * (255 - 0xc0);
    return covered >= 0.5 && std::abs(pixel.green() - pixel.blue()) <= 6 &&
           std::abs(pixel.red() - red) <= 12;
}

// The stretches of the floor's red along a pixel row of the axes, each as
// its length in pixels, from left to right.
std::vector<int> redStretches(const QImage& image, const QRect& axes, int row) {
    std::vector<int> stretches;
    int length = 0;
    for (int px = axes.left(); px <= axes.right(); ++px) {
        if (floorRed(image.pixelColor(px, row))) {
            ++length;
        } else if (length > 0) {
            stretches.push_back(length);
            length = 0;
        }
    }
    if (length > 0) stretches.push_back(length);
    return stretches;
}

// The pixel row of the axes with the most of the floor's red, and how many.
struct RedRow {
    int row = -1, pixels = 0;
};
RedRow reddestRow(const QImage& image, const QRect& axes) {
    RedRow reddest;
    for (int row = axes.top(); row <= axes.bottom(); ++row) {
        int pixels = 0;
        for (int stretch : redStretches(image, axes, row)) pixels += stretch;
        if (pixels > reddest.pixels) reddest = {row, pixels};
    }
    return reddest;
}

// The plot as the student sees it once its layout has followed what the
// sweep changed (a legend's new entry makes the plot taller), and its
// image then: the axes' pixels and coordinates are those of the image.
QImage settledImage(QCustomPlot& plot) {
    QSize size;
    while (size != plot.size()) {
        size = plot.size();
        pelorin::testing::settleStudies();
        plot.replot();
    }
    return plot.grab().toImage();
}

}  // namespace

// What the work-precision plot draws of the floor, in a light palette, and
// what its notes and legend say of it. No note states an error below the
// floor: the sweep's implicit runs reach errors far below what the
// reference can measure (tests/studies/adaptive_study_test.cpp works them
// out), and the reference is accurate to about 1.19E-09.
// The lesson's y' = -2x - y has its exact solution: the errors are
// measured exactly, and no row of the axes carries the floor's red. The
// stiff y' = -1E+5·(y - cos x) - sin x typed without one is measured
// against a reference, and the floor 1.19E-08 the legend names is drawn
// across the whole axes at its height (within a pixel or two: the legend's
// digits round it) as a dotted line: the pen's square caps make its dots
// three pixels long with a gap of a pixel or two after each, so that they
// cover about two thirds of the row, where a solid line would be one
// stretch across.
TEST_F(Adaptive, TheReferencesFloorIsDrawnDottedAtItsLevel) {
    open("2", "Option_RKF");
    waitForSweep();
    QCustomPlot* plot = named<QCustomPlot>("Work-precision plot");
    ASSERT_NE(plot, nullptr);
    const RedRow exact = reddestRow(settledImage(*plot), plot->axisRect()->rect());
    EXPECT_LT(exact.pixels, plot->axisRect()->rect().width() / 20) << "row " << exact.row;
    keepPicture("adaptive-exact-no-floor");

    enter("f(x, y)", "-1e5*(y - cos(x)) - sin(x)");
    enter("x0", "0");
    enter("y0", "1");
    enter("x1", "2.5");
    QLabel* work = label("Work-precision notes");
    settle([work] {
        return work->text().contains("Trapezoid with N = 32 fixed steps reached an error below "
                                     "what the reference can measure, about 1.19E-08, at x1");
    });
    const QStringList names = pelorin::testing::legendNames(*plot);
    ASSERT_TRUE(names.contains("ten times the reference's accuracy:\nerrors below 1.19E-08"))
        << names.join(" | ").toStdString();
    const QRegularExpression stated("an error of ([0-9.]+E[-+][0-9]+)");
    for (auto match = stated.globalMatch(work->text()); match.hasNext();) {
        const QString error = match.next().captured(1);
        EXPECT_GE(error.toDouble(), 1.19e-8) << error.toStdString();
    }
    const QImage image = settledImage(*plot);
    ASSERT_EQ(image.size(), plot->size());
    keepPicture("adaptive-reference-floor-dotted");
    const QRect axes = plot->axisRect()->rect();
    const RedRow floor = reddestRow(image, axes);
    EXPECT_NEAR(floor.row, plot->yAxis->coordToPixel(1.19e-8), 2);
    const std::vector<int> dots = redStretches(image, axes, floor.row);
    EXPECT_GT(static_cast<int>(dots.size()), axes.width() / 8);
    for (int dot : dots) EXPECT_LE(dot, 3);
    EXPECT_GT(floor.pixels, axes.width() / 3);
    EXPECT_LT(floor.pixels, axes.width() * 3 / 4);
}

// The step plot's legend names only what is drawn. On y' = y and y' = 0 λ is
// nowhere negative, so no stability limit is drawn, and Fehlberg from y0 = 2
// with h = 0.1 and tolerance 1E-6 rejects no attempt: the legend names the
// accepted steps alone. On y' = 1 - y, λ = -1: the limit 3.678/1 is drawn
// and named.
TEST_F(Adaptive, TheStepPlotsLegendNamesOnlyWhatIsDrawn) {
    open("2", "Option_RKF");
    const QString noLimit = "Along this run \u03bb is nowhere negative, so the |h| plot draws no "
                            "limit.";
    const struct {
        const char* f;
        const char* exact;
        QString reached, limit;
        QStringList legend;
    } rows[] = {
        {"y", "y0*exp(x - x0)",
         "Reached x1 = 2: 9 steps accepted and 0 attempts rejected, 54 slope evaluations",
         noLimit, {"accepted"}},
        {"0", "y0",
         "Reached x1 = 2: 3 steps accepted and 0 attempts rejected, 18 slope evaluations",
         noLimit, {"accepted"}},
        {"1 - y", "1 + (y0 - 1)*exp(x0 - x)",
         "Reached x1 = 2: 8 steps accepted and 0 attempts rejected, 48 slope evaluations",
         "Along this run the limit is 3.68E+00, the line on the |h| plot.",
         {"accepted", "stability limit 3.678/|\u03bb|"}},
    };
    QCustomPlot* plot = named<QCustomPlot>("Step size plot");
    ASSERT_NE(plot, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.f);
        enter("f(x, y)", row.f);
        enter("exact y(x)", row.exact);
        enter("x0", "0");
        enter("y0", "2");
        enter("h", "0.1");
        setTolerance("1E-6");
        settle([this, &row] { return notes().contains(row.reached); });
        pelorin::testing::settleStudies();
        EXPECT_TRUE(notes().contains(row.limit)) << notes().toStdString();
        EXPECT_EQ(pelorin::testing::legendNames(*plot), row.legend);
    }
}
