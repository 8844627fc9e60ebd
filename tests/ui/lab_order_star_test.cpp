// The Method lab's order star on the Stability page, as a student sees it:
// the plot rendered to an image and its pixels read where a wrong picture
// would differ. Whether a point lies in the star |R(z)·e^(-z)| > 1 comes
// from tests/support/order_star_values.py (30 digits, R from the
// textbooks), each point at least 0.2 from the star's edge, which the
// script checks on a circle round it. The lab is the program's loaded
// plugin, seen through Qt's and QCustomPlot's classes and the names a
// screen reader reads.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <complex>
#include <string>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::label;
using pelorin::testing::legendNames;
using pelorin::testing::methodBox;
using pelorin::testing::named;

// A plot of the page rendered to an image as the user sees it.
struct Picture {
    QCustomPlot* plot = nullptr;
    QImage image;

    Picture(const QWidget& lab, const char* name) : plot(named<QCustomPlot>(lab, name)) {
        if (!plot) return;
        plot->replot();
        image = plot->toPixmap().toImage();
    }
    QPointF pixel(std::complex<double> z) const {
        return {plot->xAxis->coordToPixel(z.real()), plot->yAxis->coordToPixel(z.imag())};
    }
    // The colour as "#aarrggbb", which a failure prints readably.
    std::string at(QPointF pixel) const {
        const double ratio = image.devicePixelRatio();
        return image.pixelColor(int(pixel.x() * ratio), int(pixel.y() * ratio))
            .name(QColor::HexArgb)
            .toStdString();
    }
    std::string at(std::complex<double> z) const { return at(pixel(z)); }
    // That the pixel has the star's shade exactly when it is inside.
    void expectShade(QPointF pixel, bool inside, const std::string& shade) const {
        EXPECT_EQ(at(pixel) == shade, inside) << at(pixel) << " where the star's is " << shade;
    }
    void expectShade(std::complex<double> z, bool inside, const std::string& shade) const {
        expectShade(pixel(z), inside, shade);
    }
};

// The Stability page with the method of that caption chosen.
QWidget* stabilityPage(QWidget* lab, const char* caption) {
    QTest::keyClick(lab, Qt::Key_S, Qt::AltModifier);
    methodBox(*lab)->setCurrentIndex(methodBox(*lab)->findText(caption));
    QApplication::processEvents();
    return lab;
}

// The star's shade: the region's, as the region plot draws it at z = -1.
std::string regionShade(const QWidget& lab) {
    const Picture region(lab, "Stability region");
    return region.at(std::complex<double>(-1, 0.3));
}

// Points in and out of the star, with |R(z)e^(-z)| from the script: for
// Runge-Kutta 4 the unshaded finger along the positive real axis just right
// of 0, a shaded one beside it, the bounded unshaded fingers round the
// zeros of R, and the star reaching far left and up; for the trapezoid the
// fingers round its pole 2 and its zero -2 and either side of the imaginary
// axis near ±i; Gauss-Legendre's pole 3 + √3·i in its star. Drawing the
// region instead, or the star of e^(+z), or of R = 1, fails rows here.
TEST_F(Lab, OrderStarShadesWhereTheFormulaSays) {
    const struct {
        const char* method;
        std::complex<double> z;
        bool inside;
    } rows[] = {
        {"Runge-Kutta 4", {1.5, 0}, false},  // 0.981424063778
        {"Runge-Kutta 4", {4, 0.5}, false},  // 0.636472742453
        {"Runge-Kutta 4", {0.8, 0.8}, true},  // 1.007857612
        {"Runge-Kutta 4", {0.7, -0.6}, true},  // 1.0030884227
        {"Runge-Kutta 4", {-1.7294442310677054, 0.8889743761218658}, false},  // a zero
        {"Runge-Kutta 4", {-0.27055576893229455, -2.5047759043624347}, false},  // a zero
        {"Runge-Kutta 4", {-1.5, 0}, true},  // 1.22546185517
        {"Runge-Kutta 4", {-3.5, 3}, true},  // 338.73330116
        {"Runge-Kutta 4", {3.5, 3}, true},  // 1.17337833073
        {"Runge-Kutta 4", {0, 3.7}, true},  // 5.13278258463
        {"Trapezoid", {-0.6, 1}, true},  // 1.1253605431
        {"Trapezoid", {0.6, 1}, false},  // 0.888604106594
        {"Trapezoid", {-0.6, -1}, true},  // 1.1253605431
        {"Trapezoid", {0.6, -1}, false},  // 0.888604106594
        {"Trapezoid", {1.3, 0}, true},  // 1.28479273859
        {"Trapezoid", {-1.3, 0}, false},  // 0.778335656768
        {"Trapezoid", {-3.5, 3}, true},  // 17.7291174602
        {"Trapezoid", {3.5, 3}, false},  // 0.0564043868649
        {"Gauss-Legendre 4", {3, 1.7}, true},  // 18.7715320706
        {"Gauss-Legendre 4", {-3, -1.7}, false},  // 0.0532721568086
        {"Gauss-Legendre 4", {1.5, 0}, false},  // 0.988147852086
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " at " + std::to_string(row.z.real()) + " + " +
                     std::to_string(row.z.imag()) + "i");
        stabilityPage(lab, row.method);
        const Picture star(*lab, "Order star");
        ASSERT_NE(star.plot, nullptr);
        ASSERT_TRUE(star.plot->isVisible());
        ASSERT_TRUE(star.plot->axisRect()->rect().contains(star.pixel(row.z).toPoint()));
        star.expectShade(row.z, row.inside, regionShade(*lab));
    }
}

// Pixels a few steps either side of where the edge crosses an axis, from
// the script's findroot: the trapezoid's at ±2.3993572805154677 beyond its
// pole and its zero, Runge-Kutta 4's at 2√2·i, where |R(iy)| = 1. The
// trapezoid's star mirrored in the imaginary axis is what lies outside it
// (R(-z) = 1/R(z)): the pairs of pixels differ.
TEST_F(Lab, OrderStarsEdgeAndTheTrapezoidsMirror) {
    const struct {
        const char* method;
        std::complex<double> edge;
        QPointF inwards;  // towards the star, in pixels
    } rows[] = {
        {"Trapezoid", {2.3993572805154677, 0}, {-1, 0}},
        {"Trapezoid", {-2.3993572805154677, 0}, {-1, 0}},
        {"Runge-Kutta 4", {0, 2.8284271247461901}, {0, -1}},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        stabilityPage(lab, row.method);
        const Picture star(*lab, "Order star");
        ASSERT_NE(star.plot, nullptr);
        const std::string shade = regionShade(*lab);
        constexpr double offset = 5;
        star.expectShade(star.pixel(row.edge) + offset * row.inwards, true, shade);
        star.expectShade(star.pixel(row.edge) - offset * row.inwards, false, shade);
    }
    stabilityPage(lab, "Trapezoid");
    const Picture star(*lab, "Order star");
    const std::string shade = regionShade(*lab);
    for (const std::complex<double> z : {std::complex<double>(-0.6, 1), {1.3, 0}, {-3.5, 3},
                                         {-1, 2.5}, {-3.5, -0.1}}) {
        SCOPED_TRACE(std::to_string(z.real()) + " + " + std::to_string(z.imag()) + "i");
        star.expectShade(z, true, shade);
        star.expectShade(-std::conj(z), false, shade);
    }
}

// Panned far from 0 the star is sampled anew over what is in view:
// Runge-Kutta 4's holds -14 + 0.5i (|R(z)e^(-z)| = 1481390386.62) and not
// 14 + 0.5i (0.00180907914342), far beyond the part first drawn.
TEST_F(Lab, OrderStarFollowsThePannedView) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    stabilityPage(lab, "Runge-Kutta 4");
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Order star");
    ASSERT_NE(plot, nullptr);
    const std::string shade = regionShade(*lab);
    for (const double re : {-14.0, 14.0}) {
        SCOPED_TRACE(re);
        plot->xAxis->setRange(re - 3, re + 3);
        plot->yAxis->setRange(-3, 3);
        const Picture star(*lab, "Order star");
        const std::complex<double> z(re, 0.5);
        ASSERT_TRUE(star.plot->axisRect()->rect().contains(star.pixel(z).toPoint()));
        star.expectShade(z, re < 0, shade);
    }
}

// The legend names the method and the set beside a swatch of the shade;
// the notes count the fingers; on a dark palette the star keeps its shade
// and the rest the plot's ground.
TEST_F(Lab, OrderStarsLegendNotesAndDarkPalette) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    stabilityPage(lab, "Runge-Kutta 4");
    const Picture star(*lab, "Order star");
    ASSERT_NE(star.plot, nullptr);
    EXPECT_EQ(legendNames(*star.plot), QStringList{"Runge-Kutta 4: |R(z)e^(-z)| > 1"});
    const QCPAbstractLegendItem* entry = star.plot->legend->item(0);
    const QPointF icon(entry->rect().left() + star.plot->legend->iconSize().width() / 2.0,
                       entry->rect().center().y());
    EXPECT_EQ(star.at(icon), regionShade(*lab));
    EXPECT_TRUE(label(*lab, "Stability notes")
                    ->text()
                    .contains("Order star of Runge-Kutta 4: R(z) = e^z + O(z^5), so 5 shaded "
                              "fingers meet at z = 0, between 5 unshaded ones."))
        << label(*lab, "Stability notes")->text().toStdString();

    // Away from the grid's lines: 4 + 0.5i outside, -1.6 + 1.6i inside.
    const std::complex<double> outside(4, 0.5), inside(-1.6, 1.6);
    const std::string lightGround = star.at(outside);
    lab->setPalette(pelorin::testing::darkPalette(lab->palette()));
    QApplication::processEvents();
    const Picture dark(*lab, "Order star");
    pelorin::testing::keepPicture(*lab, "lab-order-star-dark");
    dark.expectShade(inside, true, regionShade(*lab));
    dark.expectShade(outside, false, regionShade(*lab));
    EXPECT_NE(dark.at(outside), lightGround);
}

// A multistep method has no single R(z): the roots plot takes the star's
// place and the notes say why no star is drawn, after the formula's order;
// a partitioned method shows neither. Back on a one-step method the star
// returns.
TEST_F(Lab, OrderStarOnlyForOneStepMethods) {
    const struct {
        const char* method;
        bool star, roots;
        const char* note;
    } rows[] = {
        {"BDF 3", false, true,
         "BDF 3: order 3, error constant -1/4. With no single R(z), it has no order star to "
         "draw.\n"},
        {"Adams predictor-corrector 4", false, true,
         "so the pair has the corrector's order and error constant. With no single R(z), it has "
         "no order star to draw.\n"},
        {"St\u00f6rmer-Verlet", false, false,
         ". With no single R(z), it has no order star to draw."},
        {"Backward Euler", true, false,
         "Order star of Backward Euler: R(z) = e^z + O(z^2), so 2 shaded fingers meet at z = 0, "
         "between 2 unshaded ones."},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        stabilityPage(lab, row.method);
        pelorin::testing::settleStudies();
        const QLabel* notes = label(*lab, "Stability notes");
        ASSERT_NE(notes, nullptr);
        EXPECT_EQ(named<QCustomPlot>(*lab, "Order star")->isVisible(), row.star);
        EXPECT_EQ(named<QCustomPlot>(*lab, "Roots in the unit circle")->isVisible(), row.roots);
        EXPECT_TRUE(notes->text().contains(QString::fromUtf8(row.note)))
            << notes->text().toStdString();
        EXPECT_EQ(notes->text().contains("Order star of"), row.star);
        EXPECT_EQ(notes->text().count("no order star"), row.star ? 0 : 1);
    }
}

}  // namespace
