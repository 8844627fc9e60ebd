// The Method lab's Stability page on the multistep methods, as a student
// meets it: the region shaded where the root test passes, within the
// boundary locus; the roots of the characteristic polynomial at z = h·λ
// beside it, the principal one apart from the parasitic ones; the notes;
// the intervals table; and the page whole in a lab of 1000x860. The lab is
// the program's loaded plugin, seen through Qt's and QCustomPlot's classes
// and the names a screen reader reads.
#include "tests/support/lab_window.h"
#include "methods/multistep_formulas.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class MultistepStability : public pelorin::testing::LabWindowTest {
protected:
    void SetUp() override {
        LabWindowTest::SetUp();
        openLab(Qt::Key_S);
        // At the lab's size on a desktop a unit of the region plot is some
        // 30 pixels.
        lab->resize(1000, 860);
        QApplication::processEvents();
    }

    void choose(const char* method) {
        QComboBox* methods = named<QComboBox>("Method");
        ASSERT_GE(methods->findText(method), 0) << method;
        methods->setCurrentIndex(methods->findText(method));
        QApplication::processEvents();
    }

    QString notes() const { return label("Stability notes")->text(); }
    // The library's oscillator y1' = y2, y2' = -y1 from (1, 0) to x1 = 10,
    // BDF 2 with h = 0.4, its study done.
    void chooseOscillatorWithBdf2() {
        QComboBox* problems = named<QComboBox>("Problem");
        problems->setCurrentIndex(problems->findText("Harmonic oscillator", Qt::MatchStartsWith));
        emit problems->activated(problems->currentIndex());
        QApplication::processEvents();
        choose("BDF 2");
        enter("h", "0.4");
        waitForStudy();
    }
    // A typed problem's study runs off the window's thread; its notes come
    // with its result.
    void waitForStudy() const {
        while (notes().startsWith("Calculating")) QTest::qWait(10);
    }
};

// A plot rendered at its size on screen, its pixels read at plot coordinates.
struct Picture {
    QCustomPlot* plot;
    QImage image;

    explicit Picture(QCustomPlot* shown) : plot(shown) {
        plot->replot();
        image = plot->toPixmap().toImage();
    }
    // The colour as "#aarrggbb", which a failure prints readably.
    std::string at(double x, double y) const {
        const double ratio = image.devicePixelRatio();
        return image.pixelColor(int(plot->xAxis->coordToPixel(x) * ratio),
                                int(plot->yAxis->coordToPixel(y) * ratio))
            .name(QColor::HexArgb)
            .toStdString();
    }
};

// The region's shade, as the page paints it.
const std::string shade = "#ff9ed9c3";

// Points either side of an edge, each judged by its roots in mpmath: AB2's
// interval ends at -1 (at -0.85 the largest |ζ| is 0.804, at -1.15 1.135, at
// -0.5 + 1.2i 1.680), AM3's at -3 (0.966 at -2.85, 1.033 at -3.15); BDF2's
// region leaves out the blob its locus draws in the right half-plane (at
// z = 1 the roots are 2 ± √3) but holds what lies beyond it (0.645 at
// 1 + 3.5i). A shading of the principal root alone, or of |ζ| < 2, puts AB2
// at -1.15 in the shade.
TEST_F(MultistepStability, RegionIsShadedWhereEveryRootLiesInTheUnitCircle) {
    const struct {
        const char* method;
        double re, im;
        bool shaded;
    } rows[] = {
        {"Adams-Bashforth 2", -0.85, 0, true},   {"Adams-Bashforth 2", -1.15, 0, false},
        {"Adams-Bashforth 2", -0.5, 1.2, false}, {"Adams-Moulton 3", -2.85, 0, true},
        {"Adams-Moulton 3", -3.15, 0, false},    {"BDF 2", 1, 0, false},
        {"BDF 2", -5, 0, true},                  {"BDF 2", 1, 3.5, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " at " + std::to_string(row.re) + " + " +
                     std::to_string(row.im) + "i");
        choose(row.method);
        const Picture region(named<QCustomPlot>("Stability region"));
        EXPECT_EQ(region.at(row.re, row.im) == shade, row.shaded) << region.at(row.re, row.im);
    }
}

// The classic method y(n+2) + 4y(n+1) - 5y(n) = h(4f(n+1) + 2f(n)) at
// h = 0.4 on the lesson, z = -0.4: its roots ζ² + 5.6ζ - 4.2 = 0 are
// 0.66987 (principal) and -6.26987 (mpmath), the latter far outside the
// circle. A plot kept to the unit disc, or one that marks both roots
// alike, fails.
TEST_F(MultistepStability, RootsPlotShowsTheParasiticRootFarOutside) {
    QCustomPlot* roots = named<QCustomPlot>("Roots in the unit circle");
    choose("Runge-Kutta 4");
    EXPECT_FALSE(roots->isVisible()) << "a one-step method has no roots to show";
    choose("Own multistep method");
    enter("h", "0.4");
    QApplication::processEvents();
    ASSERT_TRUE(roots->isVisible());
    const Picture picture(roots);
    // The parasitic roots in the text's colour, the principal one apart.
    const std::string parasitic = roots->palette().color(QPalette::Text).name(QColor::HexArgb).toStdString();
    EXPECT_EQ(picture.at(-6.26987, 0), parasitic);
    EXPECT_NE(picture.at(0.66987, 0), parasitic);
    EXPECT_NE(picture.at(0.66987, 0), picture.at(0.66987, 0.5)) << "no marker at the principal root";
    EXPECT_NE(picture.at(-3.5, 0.5), parasitic) << "the ground between them";
    // The legend names each marker.
    QStringList names;
    for (int i = 0; i < roots->legend->itemCount(); ++i) {
        if (auto* entry = qobject_cast<QCPPlottableLegendItem*>(roots->legend->item(i))) {
            names << entry->plottable()->name();
        }
    }
    EXPECT_EQ(names, QStringList({"principal root", "parasitic roots"}));
    EXPECT_TRUE(notes().contains("1 of the 2 roots lies outside the unit circle: \u03b6 = -6.270"))
        << notes().toStdString();
    EXPECT_TRUE(notes().contains("not zero-stable")) << notes().toStdString();
    // A shorter step moves the roots: at z = -0.1 they are 0.90484 and
    // -5.30484 (mpmath).
    enter("h", "0.1");
    QApplication::processEvents();
    EXPECT_TRUE(notes().contains("\u03b6 = -5.305")) << notes().toStdString();
    const Picture shorter(roots);
    EXPECT_EQ(shorter.at(-5.30484, 0), parasitic);
    EXPECT_NE(shorter.at(-6.26987, 0), parasitic);
}

TEST_F(MultistepStability, NotesSayTheAAlphaAngle) {
    const struct {
        const char* method;
        const char* sentence;
    } rows[] = {
        {"BDF 2", "BDF 2 is A-stable: its region holds the whole left half-plane."},
        {"BDF 3", "BDF 3 is A(\u03b1)-stable with \u03b1 = 86.03\u00b0"},
        {"Adams-Bashforth 3", "Adams-Bashforth 3 is not A(\u03b1)-stable for any \u03b1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        choose(row.method);
        EXPECT_TRUE(notes().contains(QString::fromUtf8(row.sentence))) << notes().toStdString();
    }
}

// The intervals table holds a row for every multistep method (values from
// mpmath, see the core tests), the own method's from its formula.
TEST_F(MultistepStability, IntervalsTableHoldsTheMultistepMethods) {
    // The table is worked out on the lab's threads.
    pelorin::testing::settleStudies();
    auto* table = named<QTableWidget>("Stability intervals");
    const auto rowOf = [table](const QString& caption) {
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == caption) return row;
        }
        return -1;
    };
    const struct {
        const char* method;
        const char* interval;
        const char* halfPlane;
    } rows[] = {
        {"Adams predictor-corrector 4", "1.285", "not A(\u03b1)-stable"},
        {"BDF 3", "unbounded", "A(\u03b1), \u03b1 = 86.03\u00b0"},
        {"Own multistep method", "none: not zero-stable", "not A(\u03b1)-stable"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const int r = rowOf(row.method);
        ASSERT_GE(r, 0);
        EXPECT_EQ(table->item(r, 1)->text().toStdString(), row.interval);
        EXPECT_EQ(table->item(r, 2)->text().toStdString(), row.halfPlane);
    }
}

// The own method follows its boxes: BDF 2 typed in fractions gives BDF 2's
// row in the table and its region, unshaded at z = 1 (roots 2 ± √3) and
// shaded at z = -5.
TEST_F(MultistepStability, TheOwnMethodFollowsItsBoxes) {
    choose("Own multistep method");
    enter("alpha", "1, -4/3, 1/3");
    enter("beta", "2/3, 0, 0");
    pelorin::testing::settleStudies();
    auto* table = named<QTableWidget>("Stability intervals");
    const int own = table->rowCount() - 1;
    EXPECT_EQ(table->item(own, 0)->text().toStdString(), "Own multistep method");
    EXPECT_EQ(table->item(own, 1)->text().toStdString(), "unbounded");
    EXPECT_EQ(table->item(own, 2)->text().toStdString(), "A-stable");
    const Picture region(named<QCustomPlot>("Stability region"));
    EXPECT_NE(region.at(1, 0), shade);
    EXPECT_EQ(region.at(-5, 0), shade);
    EXPECT_TRUE(notes().contains("Own multistep method is A-stable")) << notes().toStdString();
}

// A double root of ρ on the unit circle makes an error grow, like n over n
// steps. The own method α = 1, -2, 1 with β = 0, 0, 0 has (ζ - 1)² at every z:
// no region, no interval, no A(α), and no note that calls an error steady;
// α = 1, 1, -1, -1 with β = 0, 4, 0, 0 (ρ = (ζ - 1)(ζ + 1)²) takes the
// classic method's words in the table; the catalogue's rows stay as they were.
TEST_F(MultistepStability, ADoubleRootOnTheCircleIsNotZeroStable) {
    choose("Own multistep method");
    enter("h", "0.4");
    pelorin::testing::settleStudies();
    auto* table = named<QTableWidget>("Stability intervals");
    const int own = table->rowCount() - 1;
    const struct {
        const char* alpha;
        const char* beta;
        std::vector<const char*> parts;
    } rows[] = {
        {"1, -2, 1",
         "0, 0, 0",
         {"Own multistep method is not zero-stable: the root 1 of \u03c1 is double.",
          "None lies outside the unit circle, but \u03b6 = 1.000 is a double root on it: an error in its "
          "mode grows in proportion to the number of steps, so z is not in the region",
          "Own multistep method is not A(\u03b1)-stable for any \u03b1: it is not zero-stable, so the root "
          "condition fails already at z = 0, where every sector about the negative real axis begins."}},
        {"1, 1, -1, -1",
         "0, 4, 0, 0",
         {"Own multistep method is not zero-stable: the root -1 of \u03c1 is double.",
          "Own multistep method is not A(\u03b1)-stable for any \u03b1: it is not zero-stable"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.alpha) + " | " + row.beta);
        enter("alpha", row.alpha);
        enter("beta", row.beta);
        QApplication::processEvents();
        EXPECT_EQ(table->item(own, 0)->text().toStdString(), "Own multistep method");
        EXPECT_EQ(table->item(own, 1)->text().toStdString(), "none: not zero-stable");
        EXPECT_EQ(table->item(own, 2)->text().toStdString(), "not A(\u03b1)-stable");
        for (const char* part : row.parts) {
            EXPECT_TRUE(notes().contains(QString::fromUtf8(part))) << notes().toStdString();
        }
        for (const char* claim : {"neither grows nor dies away", "is A-stable", "A(\u03b1)-stable with"}) {
            EXPECT_FALSE(notes().contains(QString::fromUtf8(claim))) << notes().toStdString();
        }
        const Picture region(named<QCustomPlot>("Stability region"));
        for (const double re : {-1.0, -0.1, -3.0}) EXPECT_NE(region.at(re, 0), shade) << "at " << re;
        EXPECT_NE(region.at(-2, 2), shade);
    }
    const auto rowOf = [table](const QString& caption) {
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == caption) return row;
        }
        return -1;
    };
    const int adamsBashforth2 = rowOf("Adams-Bashforth 2");
    ASSERT_GE(adamsBashforth2, 0);
    EXPECT_EQ(table->item(adamsBashforth2, 1)->text().toStdString(), "1.000");
}

// With the roots plot beside the region, the page still fits the lab.
TEST_F(MultistepStability, PageWithTheRootsFitsTheLabWithoutScrolling) {
    QScrollArea* scroller = lab->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(scroller, nullptr);
    for (const char* method : {"BDF 3", "Own multistep method", "Adams predictor-corrector 4"}) {
        SCOPED_TRACE(method);
        choose(method);
        EXPECT_EQ(scroller->verticalScrollBar()->maximum(), 0);
    }
}

// On a typed equation z is h·∂f/∂y where the run starts: y' = -5y gives
// z = -2 at h = 0.4, where AB2's 2ζ² + 4ζ - 2 has the roots -1 ± √2, the
// parasitic -2.414 outside the circle.
TEST_F(MultistepStability, OnATypedEquationZIsTakenWhereTheRunStarts) {
    enter("f(x, y)", "-5*y");
    enter("y0", "1");
    choose("Adams-Bashforth 2");
    enter("h", "0.4");
    waitForStudy();
    for (const char* part : {"At z = h\u00b7\u03bb = -2.000, with \u03bb = \u2202f/\u2202y at the start "
                             "(0.000, 1.000) by a central difference quotient, the characteristic "
                             "polynomial has 2 roots",
                             "1 of the 2 roots lies outside the unit circle: \u03b6 = -2.414"}) {
        EXPECT_TRUE(notes().contains(QString::fromUtf8(part))) << notes().toStdString();
    }
}

// On a system the points are the eigenvalues of h·J where the run starts:
// the oscillator y1' = y2, y2' = -y1 has ±i, so z = ±0.4i at h = 0.4.
TEST_F(MultistepStability, OnASystemThePointsAreTheModesAtTheStart) {
    chooseOscillatorWithBdf2();
    EXPECT_TRUE(notes().contains("the eigenvalue of h\u00b7J at the start")) << notes().toStdString();
    auto* region = named<QCustomPlot>("Stability region");
    QCPGraph* point = nullptr;
    for (int g = 0; g < region->graphCount(); ++g) {
        if (region->graph(g)->name() == "z = h\u00b7\u03bb") point = region->graph(g);
    }
    ASSERT_NE(point, nullptr);
    ASSERT_EQ(point->dataCount(), 2);
    EXPECT_NEAR(std::fabs(point->data()->at(0)->value), 0.4, 1e-6);
}

// On a system the run plot shows each component of the run beside its exact
// solution, in a colour of its own: the oscillator's y1 = cos x and
// y2 = -sin x, with BDF 2's run of h = 0.4 from (1, 0) towards x1 = 10.
TEST_F(MultistepStability, OnASystemTheRunShowsEachComponentBesideItsSolution) {
    chooseOscillatorWithBdf2();
    auto* run = named<QCustomPlot>("Run with the chosen h");
    QStringList names;
    for (int g = 0; g < run->graphCount(); ++g) names << run->graph(g)->name();
    EXPECT_EQ(names, (QStringList{"y1, exact", "y1, BDF 2", "y2, exact", "y2, BDF 2"}));
    EXPECT_EQ(run->yAxis->label(), "y1, y2");
    // 25 steps of 0.4 reach x1 = 10; the run starts at (1, 0).
    ASSERT_EQ(run->graph(1)->dataCount(), 26);
    EXPECT_EQ(run->graph(1)->data()->at(0)->value, 1);
    EXPECT_EQ(run->graph(3)->data()->at(0)->value, 0);
    // The exact y2 is drawn through -sin(5.2) = 0.883, between two steps,
    // in y2's colour, not y1's.
    const Picture picture(run);
    const QColor y2 = run->graph(2)->pen().color();
    const double ratio = picture.image.devicePixelRatio();
    const int px = int(run->xAxis->coordToPixel(5.2) * ratio);
    const int py = int(run->yAxis->coordToPixel(-std::sin(5.2)) * ratio);
    bool inked = false;
    for (int dy = -2; dy <= 2; ++dy) {
        const QColor c = picture.image.pixelColor(px, py + dy);
        inked = inked || std::abs(c.red() - y2.red()) + std::abs(c.green() - y2.green()) +
                                 std::abs(c.blue() - y2.blue()) < 60;
    }
    EXPECT_TRUE(inked);
    EXPECT_NE(run->graph(0)->pen().color(), y2);
    keepPicture("multistep-system-stability");
}

// On a dark palette the markers stay apart from the ground: the parasitic
// roots take the light text colour, the principal root the accent.
TEST_F(MultistepStability, RootsReadOnADarkPalette) {
    lab->setPalette(pelorin::testing::darkPalette(lab->palette()));
    QApplication::processEvents();
    choose("Own multistep method");
    enter("h", "0.4");
    QApplication::processEvents();
    QCustomPlot* roots = named<QCustomPlot>("Roots in the unit circle");
    const Picture picture(roots);
    const std::string ground = picture.at(-3.5, 0.5);
    EXPECT_EQ(picture.at(-6.26987, 0), roots->palette().color(QPalette::Text).name(QColor::HexArgb).toStdString());
    EXPECT_NE(picture.at(-6.26987, 0), ground);
    EXPECT_NE(picture.at(0.66987, 0), ground);
}
// The run plot draws the exact solution as a curve, not as a chord between
// the run's steps: y' = y·cos x from (0, 1) has y = e^(sin x), and with
// h = 1.5 the curve passes through e^(sin 0.75) = 1.977 halfway to the
// first step, where the chord from 1 to e^(sin 1.5) = 2.712 lies at 1.856.
// Euler's own line, in its colour, lies at 1.75 there.
TEST_F(MultistepStability, TheRunPlotsExactSolutionIsACurveBetweenTheSteps) {
    enter("f(x, y)", "y*cos(x)");
    enter("exact y(x)", "exp(sin(x))");
    enter("y0", "1");
    enter("x1", "6");
    choose("Euler");
    enter("h", "1.5");
    QApplication::processEvents();
    QCustomPlot* run = named<QCustomPlot>("Run with the chosen h");
    const Picture picture(run);
    const QColor text = run->palette().color(QPalette::Text);
    // Whether a pixel within two of (x, y) is drawn in the text's colour,
    // allowing for the line's smoothed edges.
    const auto inked = [&](double x, double y) {
        const double ratio = picture.image.devicePixelRatio();
        const int px = int(run->xAxis->coordToPixel(x) * ratio), py = int(run->yAxis->coordToPixel(y) * ratio);
        for (int dy = -2; dy <= 2; ++dy) {
            const QColor c = picture.image.pixelColor(px, py + dy);
            if (std::abs(c.red() - text.red()) + std::abs(c.green() - text.green()) +
                    std::abs(c.blue() - text.blue()) < 120) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inked(0.75, std::exp(std::sin(0.75))));
    EXPECT_FALSE(inked(0.75, (1 + std::exp(std::sin(1.5))) / 2));
    EXPECT_TRUE(inked(3.75, std::exp(std::sin(3.75))));
}
}  // namespace
