// The Method lab's Phase plane page as a student meets it: Euler's run on
// the harmonic oscillator spiralling out past the exact circle, the
// equilibria of Lotka-Volterra on the plot and in the table, an orbit
// through a clicked point, and what it says of a system that depends on x
// and of a single equation. The lab is the program's loaded plugin, seen
// here through Qt's and QCustomPlot's classes and the accessible names only.
#include "tests/support/lab_window.h"
#include "tests/support/widgets.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using pelorin::testing::Cells;
using pelorin::testing::tableCells;

// How far apart two colours are, summed over red, green and blue.
int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

class PhasePlane : public pelorin::testing::LabWindowTest {
protected:
    void open() { openLab(Qt::Key_P); }

    QCustomPlot* plot() const { return named<QCustomPlot>("Phase plane"); }
    QTableWidget* equilibria() const { return named<QTableWidget>("Equilibria"); }
    QString notes() const { return label("Phase plane notes")->text(); }

    void chooseProblem(const char* name) {
        QComboBox* problem = named<QComboBox>("Problem");
        const int row = problem->findText(QString::fromUtf8(name));
        ASSERT_GE(row, 0) << name;
        problem->setCurrentIndex(row);
        emit problem->activated(row);
    }
    QCPCurve* curve(const QString& name) const {
        for (int i = 0; i < plot()->plottableCount(); ++i) {
            auto* found = qobject_cast<QCPCurve*>(plot()->plottable(i));
            if (found && found->name() == name) return found;
        }
        return nullptr;
    }
    // A system's runs are calculated on another thread: until they come,
    // the plot has no curve named `name`.
    QCPCurve* waitForCurve(const QString& name) {
        while (!curve(name)) QTest::qWait(10);
        return curve(name);
    }
    // Shows [left, right] × [bottom, top], or more of it on one axis, as
    // the plot keeps one scale on both; the plane is drawn for it.
    void show(double left, double right, double bottom, double top) {
        plot()->xAxis->setRange(left, right);
        plot()->yAxis->setRange(bottom, top);
        plot()->replot();
        QApplication::processEvents();
        plot()->replot();
    }
    QPointF pixelOf(double y1, double y2) const {
        return {plot()->xAxis->coordToPixel(y1), plot()->yAxis->coordToPixel(y2)};
    }
};

}  // namespace

// Euler multiplies |y| by √(1 + h²) each step, so after 100 steps of 0.1 its
// last point lies 1.01^50 ≈ 1.64 from the origin, far outside the exact
// circle of radius 1. Along the ray from the origin to that point the first
// pixel in the text's colour is the exact circle; the run's marker lies well
// beyond it.
TEST_F(PhasePlane, EulersRunOnTheOscillatorEndsOutsideTheExactCircle) {
    open();
    chooseProblem("Harmonic oscillator: y'' = -y");
    enter("h", "0.1");
    QCPCurve* run = waitForCurve("Euler, h = 0.1");
    ASSERT_NE(waitForCurve("exact solution"), nullptr);
    ASSERT_EQ(run->data()->size(), 101);
    const QCPCurveData last = *(run->data()->constEnd() - 1);
    EXPECT_NEAR(std::hypot(last.key, last.value), 1.644631821843882, 1e-9);
    show(-2, 2, -2, 2);
    const QImage image = plot()->toPixmap().toImage();
    const QPointF origin = pixelOf(0, 0), end = pixelOf(last.key, last.value);
    const QColor text = plot()->palette().color(QPalette::Text);
    const QPointF along = (end - origin) / std::hypot(end.x() - origin.x(), end.y() - origin.y());
    const double radius = std::hypot(end.x() - origin.x(), end.y() - origin.y());
    const double circle = pixelOf(1, 0).x() - origin.x();
    double firstDark = 0;
    // Past the equilibrium's marker at the origin.
    for (double r = 10; r < radius && firstDark == 0; r += 0.5) {
        if (distance(image.pixelColor((origin + r * along).toPoint()), text) < 120) firstDark = r;
    }
    EXPECT_NEAR(firstDark, circle, 3);
    EXPECT_GT(radius, 1.5 * circle);
    // The run's line reaches its last point.
    int nearest = 3 * 255;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor seen = image.pixelColor(end.toPoint() + QPoint(dx, dy));
            nearest = std::min(nearest, distance(seen, run->pen().color()));
        }
    }
    EXPECT_LT(nearest, 60);
    // The energy y1²/2 + y2²/2 gained: ((1 + h²)^(10/h) − 1)/2 from the
    // double h, by python3's fractions.
    EXPECT_TRUE(notes().contains(
        "Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at 0.5: "
        "I(x_i, y_i) \u2212 I(x0, y0) at x1 = 10, and its largest size over the run:\n"
        "with h = 0.1: 8.52E-01, largest 8.52E-01, growing\n"
        "with h = 0.05: 3.24E-01, largest 3.24E-01, growing\n"
        "with h = 0.025: 1.42E-01, largest 1.42E-01, growing"))
        << notes().toStdString();
}

// Lotka-Volterra's equilibria, by hand: the Jacobian [[a, 0], [0, -d]] at
// the origin, eigenvalues 2/3 and -1, and [[0, -b·d/c], [c·a/b, -0]] at
// (d/c, a/b) = (1, 0.5), eigenvalues ±i·√(2/3). The origin's marker covers
// the crossing of the nullclines y1 = 0 and y2 = 0 with the ground: without
// it the centre pixel would be the nullclines' colour.
TEST_F(PhasePlane, LotkaVolterraHasASaddleAtTheOriginAndACentreInside) {
    open();
    chooseProblem("Lotka-Volterra: predators and prey");
    ASSERT_NE(waitForCurve("reference"), nullptr);
    show(-0.5, 3, -0.5, 2);
    EXPECT_EQ(tableCells(*equilibria()), (Cells{{"(0.000, 0.000)", "-1, 0.6667", "saddle"},
                                           {"(1.000, 0.500)", "\u00b10.8165i", "centre"}}));
    const QImage image = plot()->toPixmap().toImage();
    const QPoint origin = pixelOf(0, 0).toPoint();
    const QColor ground = plot()->palette().color(QPalette::Base);
    const QColor text = plot()->palette().color(QPalette::Text);
    EXPECT_LT(distance(image.pixelColor(origin), ground), 30);
    EXPECT_LT(distance(image.pixelColor(origin + QPoint(4, -4)), text), 200);
    EXPECT_LT(distance(image.pixelColor(origin + QPoint(-4, 4)), text), 200);
    // Between the markers, on the nullcline y2 = 0, the ground does not show.
    EXPECT_GT(distance(image.pixelColor(pixelOf(2, 0).toPoint()), ground), 60);
}

// A click that is not a drag starts an orbit there, backwards and forwards:
// on Lotka-Volterra a closed curve through the point clicked.
TEST_F(PhasePlane, AClickDrawsTheOrbitThroughThePoint) {
    open();
    chooseProblem("Lotka-Volterra: predators and prey");
    ASSERT_NE(waitForCurve("reference"), nullptr);
    show(-0.5, 3, -0.5, 2);
    const QPoint at = pixelOf(1.5, 0.5).toPoint();
    const double y1 = plot()->xAxis->pixelToCoord(at.x()), y2 = plot()->yAxis->pixelToCoord(at.y());
    QTest::mouseClick(plot(), Qt::LeftButton, {}, at);
    QCPCurve* orbit = waitForCurve("orbit through a click");
    bool throughClick = false;
    double lowest = 10;
    for (const QCPCurveData& point : *orbit->data()) {
        throughClick = throughClick || (point.key == y1 && point.value == y2);
        lowest = std::min(lowest, point.value);
    }
    EXPECT_TRUE(throughClick);
    // It goes round the centre (1, 0.5), below it too.
    EXPECT_LT(lowest, 0.4);
}

// F = (y2, -y1 + cos x) turns as x goes on: no field, nullclines or
// equilibria, but the runs are drawn.
TEST_F(PhasePlane, ASystemThatDependsOnXHasRunsButNoField) {
    open();
    chooseProblem("Harmonic oscillator: y'' = -y");
    waitForCurve("exact solution");
    enter("y2'", "-y1 + cos(x)");
    const auto fieldGone = [this] {
        return notes().contains("F depends on x, so the direction at a point of the plane "
                                "changes as x goes on: no field, nullclines or equilibria belong "
                                "to the plane; the paths are drawn.");
    };
    while (!fieldGone() || !curve("reference")) QTest::qWait(10);
    EXPECT_EQ(equilibria()->rowCount(), 0);
    EXPECT_NE(curve("Euler, h = 0.4"), nullptr);
}

// Lorenz's system has three components: the lists choose which two the
// plane shows. Up to x = 14.2, where its reference is trusted, y3 rises to
// about 48 while y2 stays below 30; a component chosen for both axes swaps
// them.
TEST_F(PhasePlane, TheListsChooseTheComponentsOfALargerSystem) {
    open();
    chooseProblem("Lorenz: chaos");
    ASSERT_NE(waitForCurve("reference"), nullptr);
    QComboBox* up = named<QComboBox>("Component up");
    QComboBox* across = named<QComboBox>("Component across");
    ASSERT_EQ(up->count(), 3);
    EXPECT_EQ(up->currentText(), "y2");
    EXPECT_EQ(across->currentText(), "y1");
    const auto highest = [this] {
        double top = -1e300;
        for (const QCPCurveData& point : *curve("reference")->data()) top = std::max(top, point.value);
        return top;
    };
    EXPECT_LT(highest(), 30);
    up->setCurrentIndex(2);
    QApplication::processEvents();  // the plane is drawn with the plot
    EXPECT_EQ(plot()->yAxis->label(), "y3");
    EXPECT_GT(highest(), 40);
    EXPECT_TRUE(notes().startsWith("With 3 components the direction of (y1, y3) at a point"))
        << notes().toStdString();
    across->setCurrentIndex(2);
    EXPECT_EQ(up->currentText(), "y1");
    EXPECT_EQ(plot()->xAxis->label(), "y3");
    EXPECT_EQ(plot()->yAxis->label(), "y1");
}

// On a dark desktop the curves and markers take the palette's colours as on
// a light one: the exact circle and the equilibrium's ring in the text's
// colour, its inside in the ground's, and the arrows in a grey between the
// two, seen yet fainter than the curves.
TEST_F(PhasePlane, ThePlaneFollowsADarkPalette) {
    open();
    chooseProblem("Harmonic oscillator: y'' = -y");
    ASSERT_NE(waitForCurve("exact solution"), nullptr);
    const QPalette light = QApplication::palette();
    const QPalette dark = pelorin::testing::darkPalette(light);
    for (const QPalette& palette : {dark, light}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        show(-2, 2, -2, 2);
        const QImage image = plot()->toPixmap().toImage();
        const QColor ground = palette.color(QPalette::Base), text = palette.color(QPalette::Text);
        EXPECT_EQ(curve("exact solution")->pen().color(), text);
        // The ring of the marker at the origin and its inside.
        EXPECT_LT(distance(image.pixelColor(pixelOf(0, 0).toPoint() + QPoint(4, -4)), text), 200);
        EXPECT_LT(distance(image.pixelColor(pixelOf(0, 0).toPoint()), ground), 30);
        // The arrow at (1, 1) points along F = (1, -1): its strongest pixel
        // lies between the ground and the text.
        QColor arrow = ground;
        for (int k = -5; k <= 5; ++k) {
            const QColor seen = image.pixelColor(pixelOf(1, 1).toPoint() + QPoint(k, k));
            if (std::abs(seen.lightness() - ground.lightness()) >
                std::abs(arrow.lightness() - ground.lightness())) {
                arrow = seen;
            }
        }
        EXPECT_GT(std::abs(arrow.lightness() - ground.lightness()), 30) << arrow.name().toStdString();
        EXPECT_GT(std::abs(arrow.lightness() - text.lightness()), 40) << arrow.name().toStdString();
    }
}

TEST_F(PhasePlane, ASingleEquationHasNoPlaneAndTheNotesSayWhy) {
    open();
    EXPECT_EQ(notes().toStdString(),
              "A phase plane draws one component against another, and y' = f(x, y) has one: its "
              "direction field is on the Field page.");
    EXPECT_EQ(plot()->plottableCount(), 0);
    EXPECT_EQ(equilibria()->rowCount(), 0);
}

// y1' = y1², y2' = y2³: y1² touches 0 along y1 = 0 without changing sign,
// and (0, 0) is a double and a triple root, where Newton's method converges
// only linearly. The nullcline y1 = 0 is drawn in its colour and keyed in
// the legend; the table lists (0, 0) as degenerate, and no note says that
// Newton's method finds none. y1' = y1·y2, y2' = y2 has the whole line
// y2 = 0 for equilibria: the notes say so and the table lists none.
TEST_F(PhasePlane, DegenerateEquilibriaAndATouchingNullcline) {
    open();
    chooseProblem("Harmonic oscillator: y'' = -y");
    waitForCurve("exact solution");
    enter("y1'", "y1^2");
    enter("y2'", "y2^3");
    while (!curve("reference")) QTest::qWait(10);
    show(-2, 2, -2, 2);
    const QImage image = plot()->toPixmap().toImage();
    bool keyed = false;
    for (int i = 0; i < plot()->graphCount(); ++i) keyed = keyed || plot()->graph(i)->name() == "y1' = 0";
    EXPECT_TRUE(keyed);
    // Along y1 = 0 between y2 = 0.3 and 1.7, away from the marker at the
    // origin, the dashes in sea green.
    const QColor seaGreen(0x2e, 0x8b, 0x57);
    int green = 0, seen = 0;
    for (double y2 = 0.3; y2 <= 1.7; y2 += 0.02, ++seen) {
        const QPoint at = pixelOf(0, y2).toPoint();
        int nearest = 3 * 255;
        for (int dx = -1; dx <= 1; ++dx) nearest = std::min(nearest, distance(image.pixelColor(at + QPoint(dx, 0)), seaGreen));
        if (nearest < 60) ++green;
    }
    EXPECT_GT(green, seen / 3) << green << " of " << seen;
    EXPECT_EQ(tableCells(*equilibria()),
              (Cells{{"(0.000, 0.000)", "0, 0",
                      "degenerate: an eigenvalue is 0, the linearisation does not decide"}}));
    EXPECT_FALSE(notes().contains("finds no equilibrium")) << notes().toStdString();

    enter("y1'", "y1*y2");
    enter("y2'", "y2");
    const auto curveSaid = [this] { return notes().contains("F is 0 all along a curve through "); };
    while (!curveSaid()) QTest::qWait(10);
    show(-2, 2, -2, 2);
    // Through a point of y2 = 0: which one depends on how wide the plot is.
    EXPECT_TRUE(notes().contains(QRegularExpression(
        "F is 0 all along a curve through \\(-?[0-9.]+, 0\\.000\\): its points are equilibria, not "
        "isolated ones, so the table does not list them\\.")))
        << notes().toStdString();
    EXPECT_EQ(equilibria()->rowCount(), 0);
}
