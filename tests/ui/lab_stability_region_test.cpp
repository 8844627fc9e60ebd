// The Method lab's Stability page on the one-step methods, as a student meets
// it: the region shaded exactly within its edge, to scale, and out to the
// view's edge where it has none; z = h·λ where the notes say it lies, on the
// lesson, on the stiff problem and for a system's modes; the intervals table;
// and the h box with the page's slider. (The multistep methods' regions, with
// a lab opened on this page, are in lab_stability_test.cpp.) The lab is the
// program's loaded plugin, seen through Qt's and QCustomPlot's classes and the
// names a screen reader reads.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPolygonF>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::labBox;
using pelorin::testing::named;
using pelorin::testing::methodBox;
using pelorin::testing::keepPicture;
using pelorin::testing::label;
using pelorin::testing::typeStep;

// The Stability page from the keyboard, its region plot drawn at its size on
// screen and rendered to an image as the user sees it.
struct RegionPicture {
    QCustomPlot* plot = nullptr;
    QImage image;

    explicit RegionPicture(const QWidget& lab) : plot(named<QCustomPlot>(lab, "Stability region")) {
        if (!plot) return;
        plot->replot();
        image = plot->toPixmap().toImage();
    }
    QPointF pixel(double re, double im) const {
        return {plot->xAxis->coordToPixel(re), plot->yAxis->coordToPixel(im)};
    }
    // The colour as "#aarrggbb", which a failure prints readably.
    std::string at(QPointF pixel) const {
        const double ratio = image.devicePixelRatio();
        return image.pixelColor(int(pixel.x() * ratio), int(pixel.y() * ratio))
            .name(QColor::HexArgb)
            .toStdString();
    }
    // z = -1 lies deep inside every region; its colour is the shade.
    std::string shade() const { return at(pixel(-1, 0.3)); }
    // Pixels a few steps either side of the point z of the edge, `inwards`
    // pointing (in pixels) towards the inside.
    void expectEdgeAt(QPointF z, QPointF inwards) const {
        constexpr double offset = 5;
        const QPointF edge = pixel(z.x(), z.y());
        EXPECT_EQ(at(edge + offset * inwards), shade()) << "just inside";
        EXPECT_NE(at(edge - offset * inwards), shade()) << "just outside";
    }
    // The drawn edge, in pixels: every curve of the plot.
    std::vector<QPolygonF> edges() const {
        std::vector<QPolygonF> lines;
        for (int i = 0; i < plot->plottableCount(); ++i) {
            auto* curve = qobject_cast<QCPCurve*>(plot->plottable(i));
            if (!curve) continue;
            QPolygonF line;
            for (auto point = curve->data()->constBegin(); point != curve->data()->constEnd(); ++point) {
                line << pixel(point->key, point->value);
            }
            lines.push_back(line);
        }
        return lines;
    }
};

QWidget* stabilityPage(QWidget* lab, int method) {
    QTest::keyClick(lab, Qt::Key_S, Qt::AltModifier);
    methodBox(*lab)->setCurrentIndex(method);
    QApplication::processEvents();
    return lab;
}

// The method list's entry of the method with this caption.
int methodRow(const char* caption) {
    return static_cast<int>(pelorin::catalogueRow(pelorin::methodByCaption(caption)));
}

// Pixels a few steps inside and outside the edge, at points where the edge
// is known independently: Euler's circle |1 + z| = 1, and where each region
// meets the negative real axis (2, 2.785293563, 3.677706621, 3.548322344,
// from a 40-digit bisection) and Runge-Kutta 4's the imaginary axis (2√2).
// A shading of |R(z)| <= 2 instead puts the outside pixels in the shade.
TEST_F(Lab, StabilityRegionShadesExactlyTheSetWithinItsEdge) {
    const struct {
        int method;
        const char* name;
        double re, im;
        QPointF inwards;  // towards the inside of the region, in pixels
    } rows[] = {
        {0, "Euler, z = -2", -2, 0, {1, 0}},
        {0, "Euler, z = 0", 0, 0, {-1, 0}},
        {0, "Euler, z = -1 + i", -1, 1, {0, 1}},
        {0, "Euler, z = -1 - i", -1, -1, {0, -1}},
        {1, "Euler (End points), z = -2", -2, 0, {1, 0}},
        {3, "Runge-Kutta 4, z = -2.785", -2.785293563405282, 0, {1, 0}},
        {3, "Runge-Kutta 4, z = 2.828i", 0, 2.8284271247461903, {0, 1}},
        {4, "Runge-Kutta-Fehlberg, z = -3.678", -3.6777066213218956, 0, {1, 0}},
        {5, "Runge-Kutta-Merson, z = -3.548", -3.5483223442346739, 0, {1, 0}},
        {6, "Runge-Kutta-Gill, z = -2.785", -2.785293563405282, 0, {1, 0}},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    // At the lab's size on a desktop a unit is some 30 pixels on both axes,
    // so that the point z = -0.4 keeps clear of the pixels beside z = 0.
    lab->resize(1000, 860);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        stabilityPage(lab, row.method);
        const RegionPicture picture(*lab);
        ASSERT_NE(picture.plot, nullptr);
        ASSERT_NE(picture.shade(), picture.at(picture.pixel(1.9, 3.9)));
        picture.expectEdgeAt({row.re, row.im}, row.inwards);
    }
}

// The legend's entry for the region shows a swatch of the shade.
TEST_F(Lab, StabilityRegionsLegendShowsTheShade) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    stabilityPage(lab, 3);
    const RegionPicture picture(*lab);
    ASSERT_NE(picture.plot, nullptr);
    QCPColorMap* map = nullptr;
    for (int i = 0; i < picture.plot->plottableCount(); ++i) {
        if (auto* found = qobject_cast<QCPColorMap*>(picture.plot->plottable(i))) map = found;
    }
    ASSERT_NE(map, nullptr);
    QCPPlottableLegendItem* entry = picture.plot->legend->itemWithPlottable(map);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->plottable()->name().toStdString(), "Runge-Kutta 4: |R(z)| \u2264 1");
    const QPointF icon(entry->rect().left() + picture.plot->legend->iconSize().width() / 2.0,
                       entry->rect().center().y());
    EXPECT_EQ(picture.at(icon), picture.at(picture.pixel(-1, 0.3)));
}

// One unit is as long on both axes at every size of the lab, and after a
// zoom: Euler's region, the disc |1 + z| <= 1, is drawn as wide as it is
// tall. Measured on the rendered pixels of its shade within the axes (the
// edge's line covers the same margin of it on every side).
TEST_F(Lab, StabilityRegionIsDrawnToScale) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    stabilityPage(lab, 0);
    const auto measure = [lab](const char* name) {
        SCOPED_TRACE(name);
        const RegionPicture picture(*lab);
        const std::string shade = picture.at(picture.pixel(-1, 0.3));
        const QRect area = picture.plot->axisRect()->rect();
        QRect disc;
        for (int px = area.left(); px <= area.right(); ++px) {
            for (int py = area.top(); py <= area.bottom(); ++py) {
                if (picture.at(QPointF(px + 0.5, py + 0.5)) == shade) disc |= QRect(px, py, 1, 1);
            }
        }
        EXPECT_GT(disc.width(), 40);
        EXPECT_NEAR(disc.width(), disc.height(), 2) << disc.width() << " x " << disc.height();
    };
    for (const QSize size : {QSize(1000, 860), QSize(1500, 800), QSize(900, 1200)}) {
        lab->resize(size);
        QApplication::processEvents();
        measure(qPrintable(QString("lab %1 x %2").arg(size.width()).arg(size.height())));
    }
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Stability region");
    plot->xAxis->scaleRange(0.5);
    measure("zoomed in on the real axis only");
}

// What the notes say of z = h·λ and where the picture puts it agree: inside
// or outside the drawn edge, and on it at the end of the interval.
TEST_F(Lab, StabilityNotesAndPictureAgreeOnThePoint) {
    const struct {
        int method;
        const char* h;
        const char* where;  // as the notes say it
    } rows[] = {
        {0, "1.9", "inside"},        {0, "2", "on the edge"},     {0, "2.1", "outside"},
        {2, "1.95", "inside"},       {2, "2", "on the edge"},     {2, "2.05", "outside"},
        {3, "2.75", "inside"},       {3, "2.82", "outside"},      {3, "3", "outside"},
        {4, "3.65", "inside"},       {4, "3.7", "outside"},       {5, "3.5", "inside"},
        {5, "3.6", "outside"},       {6, "2.78", "inside"},       {6, "2.79", "outside"},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* notes = label(*lab, "Stability notes");
    ASSERT_NE(notes, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.method) + ", h = " + row.h);
        stabilityPage(lab, row.method);
        typeStep(*lab, row.h);
        const QString said = notes->text().section('\n', 0, 0);
        ASSERT_TRUE(said.contains(QString(" lies ") + row.where + " ")) << said.toStdString();

        const RegionPicture picture(*lab);
        const auto edges = picture.edges();
        ASSERT_EQ(edges.size(), 1u);
        const QPointF z = picture.pixel(-QString(row.h).toDouble(), 0);
        double nearest = 1e9;
        for (const QPointF& point : edges.front()) {
            nearest = std::min(nearest, std::hypot(point.x() - z.x(), point.y() - z.y()));
        }
        if (QString(row.where) == "on the edge") {
            EXPECT_LT(nearest, 0.01);
        } else {
            EXPECT_EQ(edges.front().containsPoint(z, Qt::OddEvenFill), QString(row.where) == "inside");
        }
    }
}

// The implicit methods' regions are unbounded: backward Euler's everything
// outside the disc |z - 1| < 1, the trapezoid's and Gauss-Legendre 4's the
// closed left half-plane, Radau IIA 3's all but a set around its poles
// 2 ± i√2 (|R(2 + 1.4i)| = 259.6 by mpmath). Pixels deep inside or outside,
// and a few either side of a known point of the edge. A shading of the
// region's polynomial part alone, or of |R| < 2, puts the outside pixels in
// the shade.
TEST_F(Lab, StabilityRegionsOfImplicitMethodsReachBeyondTheView) {
    const struct {
        int method;
        const char* name;
        std::vector<QPointF> shaded, bare;  // points z
        QPointF edge, inwards;              // a point of the edge, and towards the inside in pixels
    } rows[] = {
        {methodRow("Backward Euler"), "Backward Euler", {{-3, 0}, {-5.5, 3.5}, {1, 1.5}, {1, -1.5}, {1.9, 3.9}},
         {{1, 0}, {1.5, 0}, {0.5, 0.5}}, {1, 1}, {0, -1}},
        {methodRow("Trapezoid"), "Trapezoid", {{-0.1, 2}, {-5.5, 0}, {-3, -3.5}}, {{0.5, 0}, {1.9, 3.9}}, {0, 1}, {-1, 0}},
        {methodRow("Radau IIA 3"), "Radau IIA 3", {{-3, 0}, {-5.5, 3.5}, {1.9, 3.9}}, {{2, 0}, {2, 1.4}}, {0, 0}, {-1, 0}},
        {methodRow("Gauss-Legendre 4"), "Gauss-Legendre 4", {{-0.1, -2}, {-5.5, 0}}, {{0.5, 0}, {1.9, -3.9}}, {0, -1}, {-1, 0}},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        stabilityPage(lab, row.method);
        const RegionPicture picture(*lab);
        ASSERT_NE(picture.plot, nullptr);
        const auto colourAt = [&picture](QPointF z) { return picture.at(picture.pixel(z.x(), z.y())); };
        for (const QPointF& z : row.shaded) {
            EXPECT_EQ(colourAt(z), picture.shade()) << z.x() << " + " << z.y() << "i";
        }
        for (const QPointF& z : row.bare) {
            EXPECT_NE(colourAt(z), picture.shade()) << z.x() << " + " << z.y() << "i";
        }
        picture.expectEdgeAt(row.edge, row.inwards);
    }
}

// An unbounded region is shaded out to the axes at any size or zoom: near
// the left end of the view, wherever that is, every implicit method's region
// holds the negative real axis. Before, the shade stopped at Re z = -6.
TEST_F(Lab, UnboundedRegionsAreShadedToTheEdgeOfTheView) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    for (const QSize size : {QSize(1000, 860), QSize(1500, 800)}) {
        lab->resize(size);
        for (const char* method : {"Backward Euler", "Trapezoid", "Radau IIA 3", "Gauss-Legendre 4"}) {
            SCOPED_TRACE(std::string(method) + " at " + std::to_string(size.width()));
            stabilityPage(lab, methodRow(method));
            QCustomPlot* plot = named<QCustomPlot>(*lab, "Stability region");
            ASSERT_NE(plot, nullptr);
            for (double zoom : {1.0, 4.0}) {
                plot->xAxis->scaleRange(zoom);
                const RegionPicture picture(*lab);
                const QCPRange x = picture.plot->xAxis->range();
                ASSERT_LT(x.lower, -8);
                // Inside every one of these regions, and clear of the run's
                // point z = -h near 0 however far the view is zoomed out.
                const std::string deepInside = picture.at(picture.pixel(-4, 2));
                const QPointF nearLeftEnd = picture.pixel(x.lower + 0.02 * x.size(), 0.3);
                EXPECT_EQ(picture.at(nearLeftEnd), deepInside) << x.lower;
            }
        }
    }
}

// The intervals table has every method of the lab, the implicit ones with
// intervals without end, and says which are A- and L-stable.
TEST_F(Lab, StabilityIntervalsCoverEveryMethod) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    stabilityPage(lab, 0);
    auto* table = named<QTableWidget>(*lab, "Stability intervals");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 29);
    const std::vector<std::vector<std::string>> rows{
        {"Euler", "2.000", "not A-stable", "\u2013"},
        {"Runge-Kutta 4", "2.785", "not A-stable", "Runge-Kutta-Gill and Kutta 3/8"},
        {"Backward Euler", "unbounded", "A- and L-stable", "\u2013"},
        {"Trapezoid", "unbounded", "A-stable only", "Implicit mid point"},
        {"Implicit mid point", "unbounded", "A-stable only", "Trapezoid"},
        {"SDIRK 2", "unbounded", "A- and L-stable", "\u2013"},
        {"Radau IIA 3", "unbounded", "A- and L-stable", "\u2013"},
        {"Gauss-Legendre 4", "unbounded", "A-stable only", "\u2013"},
        // No R(z); on the oscillator hω < 2 (trace of the step matrix 2 - (hω)², by hand).
        {"Symplectic Euler", "h\u00b7\u03c9 < 2 on q'' = \u2212\u03c9\u00b2q",
         "no R(z): positions and momenta stepped apart", "\u2013"},
        {"St\u00f6rmer-Verlet", "h\u00b7\u03c9 < 2 on q'' = \u2212\u03c9\u00b2q",
         "no R(z): positions and momenta stepped apart", "\u2013"},
        {"Adams-Bashforth 2", "1.000", "not A(\u03b1)-stable", "\u2013"},
        {"BDF 2", "unbounded", "A-stable", "\u2013"},
        // Kutta's third-order method until a tableau is typed: R(z) = 1 + z + z²/2 + z³/6,
        // |R(-x)| = 1 at x = 2.5127 (the textbooks' interval of every three-stage
        // method of order 3).
        {"Own Runge-Kutta method", "2.513", "not A-stable", "Heun 3 and SSP Runge-Kutta 3"},
    };
    for (const auto& texts : rows) {
        SCOPED_TRACE(texts.front());
        const auto row = static_cast<int>(pelorin::catalogueRow(pelorin::methodByCaption(texts.front())));
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(table->item(row, column)->text().toStdString(), texts[static_cast<std::size_t>(column)]);
        }
    }
}

// On the stiff y' = -50(y - cos x) with h = 0.5, z = -25 at every step:
// inside backward Euler's region, outside Euler's, and in both cases beyond
// the part of the plane drawn, which the notes say.
TEST_F(Lab, StabilityNotesOnTheStiffProblem) {
    const struct {
        int method;
        const char* path;
        const char* verdict;
    } rows[] = {
        {methodRow("Backward Euler"), "stays inside the region: every step damps an error.",
         "Backward Euler is A-stable"},
        {methodRow("Trapezoid"), "stays inside the region: every step damps an error, flipping its sign each step.",
         "It is not L-stable"},
        {0, "leaves the region at step 0, x = 0.000, where z = -25.000", "Euler is not A-stable"},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int stiff = problem->findText("Stiff: y' = -50(y - cos x)");
    ASSERT_GE(stiff, 0);
    problem->setCurrentIndex(stiff);
    emit problem->activated(stiff);
    QLabel* notes = label(*lab, "Stability notes");
    ASSERT_NE(notes, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.verdict);
        stabilityPage(lab, row.method);
        typeStep(*lab, "0.5");
        keepPicture(*lab, QString("stability-stiff-%1").arg(row.method));
        const std::string said = notes->text().toStdString();
        EXPECT_NE(said.find(row.path), std::string::npos) << said;
        EXPECT_NE(said.find("3 of the z lie beyond the part of the plane the region plot is fitted "
                            "to (Re z from -6 to 2, Im z from -4 to 4), the farthest z = -25.000"),
                  std::string::npos)
            << said;
        EXPECT_NE(said.find(row.verdict), std::string::npos) << said;
    }
}

// The lab's h box takes a text wholly a number from 0.00001 to 6, small
// enough for an explicit method on a stiff problem, moving the Stability
// page's slider (in hundredths) with it; any other text leaves h as it was,
// with a note beside the boxes that says why.
TEST_F(Lab, StepBoxReadsStrictlyAndSaysWhy) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    stabilityPage(lab, 0);
    QLineEdit* box = named<QLineEdit>(*lab, "h");
    QSlider* slider = named<QSlider>(*lab, "h slider");
    QLabel* note = label(*lab, "Box notes");
    QLabel* notes = label(*lab, "Stability notes");
    ASSERT_TRUE(box && slider && note && notes);
    EXPECT_EQ(box->text().toStdString(), "0.40");
    EXPECT_TRUE(box->toolTip().contains("0.00001 to 6")) << box->toolTip().toStdString();

    const struct {
        const char* typed;
        const char* box;
        int slider;
        const char* note;
        const char* run;  // the start of the notes
    } rows[] = {
        {"5", "5", 500, "", "z = h\u00b7\u03bb = -5.000 lies outside"},
        {"10", "5", 500, "h: \"10\" lies outside 0.00001 to 6, the steps the lab takes; h stays 5.",
         "z = h\u00b7\u03bb = -5.000 lies outside"},
        {"abc", "5", 500, "h: \"abc\" is not a number; h stays 5.", "z = h\u00b7\u03bb = -5.000"},
        {"0,5", "5", 500,
         "h: \"0,5\" is not a number: use a point, not a comma, for decimals; h stays 5.",
         "z = h\u00b7\u03bb = -5.000"},
        {" 1.5 ", "1.5", 150, "", "z = h\u00b7\u03bb = -1.500 lies inside"},
        {"0", "1.5", 150, "h: \"0\" lies outside 0.00001 to 6, the steps the lab takes; h stays 1.5.",
         "z = h\u00b7\u03bb = -1.500"},
        // Below the slider's hundredths the box still takes h; the slider rests at its least.
        {"0.0005", "0.0005", 1, "", "z = h\u00b7\u03bb = -0.0005 lies inside"},
        {"0.000001", "0.0005", 1,
         "h: \"0.000001\" lies outside 0.00001 to 6, the steps the lab takes; h stays 0.0005.",
         "z = h\u00b7\u03bb = -0.0005"},
        {"6", "6", 600, "", "z = h\u00b7\u03bb = -6.000 lies outside"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typeStep(*lab, row.typed);
        EXPECT_EQ(box->text().toStdString(), row.box);
        EXPECT_EQ(slider->value(), row.slider);
        EXPECT_EQ(note->text().toStdString(), row.note);
        EXPECT_EQ(note->isVisibleTo(lab), row.note[0] != '\0');
        EXPECT_TRUE(notes->text().startsWith(row.run)) << notes->text().toStdString();
    }
    // The point at the largest h shows whole within the plot.
    const RegionPicture picture(*lab);
    const QPointF z = picture.pixel(-6, 0);
    EXPECT_GT(z.x() - 5, picture.plot->axisRect()->left());

    // The slider writes h back into the box and ends the note.
    typeStep(*lab, "abc");
    slider->setValue(300);
    EXPECT_EQ(box->text().toStdString(), "3.00");
    EXPECT_EQ(note->text().toStdString(), "");
    EXPECT_TRUE(notes->text().startsWith("z = h\u00b7\u03bb = -3.000 lies outside"));
}

// On a problem of its own the region shows z = h·λ at every step of the
// run, not the lesson's one point; on the stiff problem λ = -50, so with
// h = 0.4 every z is -20.
TEST_F(Lab, TheStabilityRegionFollowsTheChosenProblem) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QCustomPlot* region = named<QCustomPlot>(*lab, "Stability region");
    ASSERT_NE(region, nullptr);
    const auto points = [&] {
        for (int g = 0; g < region->graphCount(); ++g) {
            if (region->graph(g)->name() == "z = h\u00b7\u03bb") return region->graph(g)->data();
        }
        return QSharedPointer<QCPGraphDataContainer>();
    };
    ASSERT_FALSE(points().isNull());
    EXPECT_EQ(points()->size(), 1);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    problem->setCurrentIndex(5);
    emit problem->activated(5);
    ASSERT_GT(points()->size(), 1);
    for (auto point = points()->constBegin(); point != points()->constEnd(); ++point) {
        EXPECT_NEAR(point->key, -20, 1e-6);
    }
}

// A system's z = h·λ are the eigenvalues of h·J at every step point of the
// run, which the page calculates on the lab's threads; until they come its
// notes say so. The library's oscillator y1' = y2, y2' = -y1 has J's
// eigenvalues ±i, so z = ±ih.
struct SystemStability {
    QWidget* lab;
    QCustomPlot* region = named<QCustomPlot>(*lab, "Stability region");
    QLabel* notes = label(*lab, "Stability notes");

    void chooseOscillator(int method) {
        stabilityPage(lab, method);
        QComboBox* problem = named<QComboBox>(*lab, "Problem");
        const int row = problem->findText("Harmonic oscillator: y'' = -y");
        ASSERT_GE(row, 0);
        problem->setCurrentIndex(row);
        QMetaObject::invokeMethod(problem, "activated", Q_ARG(int, row));
    }
    QString waitForNotes() const {
        while (notes->text().startsWith("Calculating")) QTest::qWait(10);
        return notes->text();
    }
    QCPGraph* points() const {
        for (int g = 0; g < region->graphCount(); ++g) {
            if (region->graph(g)->name() == "z = h\u00b7\u03bb") return region->graph(g);
        }
        return nullptr;
    }
};

// Euler's z = ±0.5i are drawn in the marker's colour where the region's
// fill is not: outside the disc |1 + z| <= 1, which touches the imaginary
// axis only at 0. A page that drew nothing, or a real z, leaves the ground
// or the edge there.
TEST_F(Lab, EulersZOnTheOscillatorAreDrawnOutsideItsDisc) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    SystemStability page{lab};
    page.chooseOscillator(0);
    typeStep(*lab, "0.5");
    page.waitForNotes();
    keepPicture(*lab, "stability-oscillator-euler");
    QCPGraph* points = page.points();
    ASSERT_NE(points, nullptr);
    const RegionPicture picture(*lab);
    const std::string marker = points->scatterStyle().pen().color().name(QColor::HexArgb).toStdString();
    const std::string shade = picture.at(picture.pixel(-1, 0.3));
    ASSERT_NE(marker, shade);
    QCPColorMap* map = nullptr;
    for (int i = 0; i < picture.plot->plottableCount(); ++i) {
        if (auto* found = qobject_cast<QCPColorMap*>(picture.plot->plottable(i))) map = found;
    }
    ASSERT_NE(map, nullptr);
    for (const double im : {0.5, -0.5}) {
        SCOPED_TRACE(im);
        EXPECT_EQ(picture.at(picture.pixel(0, im)), marker);
        EXPECT_EQ(map->data()->data(0, im), 0) << "the fill reaches z";
    }
    EXPECT_NE(picture.at(picture.pixel(0.5, 0)), marker);
}

// The notes say where the first z leaves the region and what the run does;
// the slider moves the points with h: Runge-Kutta 4 keeps the oscillator's
// z inside up to 2√2 = 2.8284 (mpmath's root of |R(iy)| = 1), so 2.82 stays
// inside and 2.83 leaves, with |R(2.83i)| = 1.004.
TEST_F(Lab, TheOscillatorsZFollowTheSliderAcrossRungeKutta4sEdge) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    SystemStability page{lab};
    page.chooseOscillator(0);
    typeStep(*lab, "0.5");
    const QString euler = page.waitForNotes();
    EXPECT_TRUE(euler.contains("The first z to leave the region is the pair z = \u00b10.500i "
                               "(\u03bb = \u00b11.000i), at step 0, x = 0.000: |R(z)| = 1.118"))
        << euler.toStdString();
    EXPECT_TRUE(euler.contains("the run spirals outwards")) << euler.toStdString();

    methodBox(*lab)->setCurrentIndex(3);
    QSlider* slider = named<QSlider>(*lab, "h slider");
    ASSERT_NE(slider, nullptr);
    const struct {
        int hundredths;
        const char* said;
    } rows[] = {
        {282, "Every z stays inside the region: each step damps an error in every mode."},
        {283, "The first z to leave the region is the pair z = \u00b12.830i (\u03bb = \u00b11.000i), "
              "at step 0, x = 0.000: |R(z)| = 1.004"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hundredths);
        slider->setValue(row.hundredths);
        const QString said = page.waitForNotes();
        EXPECT_TRUE(said.contains(row.said)) << said.toStdString();
        EXPECT_EQ(labBox(*lab, "h"), QString::number(row.hundredths / 100.0, 'f', 2));
        QCPGraph* points = page.points();
        ASSERT_NE(points, nullptr);
        ASSERT_GT(points->data()->size(), 0);
        for (auto point = points->data()->constBegin(); point != points->data()->constEnd(); ++point) {
            EXPECT_NEAR(point->key, 0, 1e-9);
            EXPECT_NEAR(std::fabs(point->value), row.hundredths / 100.0, 1e-9);
        }
    }
    // The run beside the exact solution, component by component.
    QCustomPlot* run = named<QCustomPlot>(*lab, "Run with the chosen h");
    QStringList names;
    for (int g = 0; g < run->graphCount(); ++g) names << run->graph(g)->name();
    EXPECT_EQ(names, QStringList({"y1, exact", "y1, Runge-Kutta 4", "y2, exact", "y2, Runge-Kutta 4"}));

    // Back on the lesson's equation the page shows its one z again, and its
    // notes no result of a system's study.
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int lesson = problem->findText("Lesson: y' = -2x - y");
    ASSERT_GE(lesson, 0);
    problem->setCurrentIndex(lesson);
    QMetaObject::invokeMethod(problem, "activated", Q_ARG(int, lesson));
    while (!page.notes->text().startsWith("z = h\u00b7\u03bb = -2.830 lies outside")) QTest::qWait(10);
    EXPECT_EQ(page.points()->data()->size(), 1);
    EXPECT_EQ(run->yAxis->label(), "y");
}

}  // namespace
