// The Method lab as a student meets it: opened with Ctrl+L from the main
// window, once, from the main window's boxes and method; its three pages;
// and nothing but numbers and words in it, whatever the boxes hold. The lab
// is the program's plugin, loaded as the program loads it, so it is seen
// here through Qt's and QCustomPlot's own classes only.
#include "problem/problem_file.h"
#include "problem/system_library.h"
#include "ui/form1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QImage>
#include <QComboBox>
#include <QHeaderView>
#include <QPolygonF>
#include <QProcess>
#include <QStyleOptionComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <functional>
#include <cmath>
#include <optional>
#include <vector>

namespace {

void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Lets every study the lab runs on its own threads end and show its result,
// and the layouts that result changes settle: a page is measured as the
// student sees it once the window is idle, not while a result is arriving.
void settleStudies() {
    for (QThreadPool* pool : qApp->findChildren<QThreadPool*>()) pool->waitForDone();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

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

QString labBox(const QWidget& lab, const char* name) {
    for (QLineEdit* edit : lab.findChildren<QLineEdit*>()) {
        if (edit->accessibleName() == name) return edit->text();
    }
    return "(no box)";
}

template <typename Widget>
Widget* named(const QWidget& lab, const QString& name) {
    for (Widget* widget : lab.findChildren<Widget*>()) {
        if (widget->accessibleName() == name) return widget;
    }
    return nullptr;
}

QComboBox* methodBox(const QWidget& lab) { return named<QComboBox>(lab, "Method"); }

// A label by its object name: a screen reader reads a label's text, so its
// accessible name is that text.
QLabel* label(const QWidget& lab, const char* name) { return lab.findChild<QLabel*>(name); }

// Types h into the lab's step box and ends it with Enter.
void typeStep(const QWidget& lab, const QString& h) {
    QLineEdit* box = named<QLineEdit>(lab, "h");
    ASSERT_NE(box, nullptr);
    box->setFocus();
    type(box, h);
    QTest::keyClick(box, Qt::Key_Return);
}

QTableWidget* table(const QWidget& lab, const char* name) {
    for (QTableWidget* table : lab.findChildren<QTableWidget*>()) {
        if (table->accessibleName() == name) return table;
    }
    return nullptr;
}

// Every text the lab shows, and every number its plots hold. The notes
// beside the boxes quote what was typed ("nan" is not a number), so they
// alone may hold those letters.
void expectOnlyFiniteNumbersAndWords(const QWidget& lab) {
    for (QLabel* label : lab.findChildren<QLabel*>()) {
        if (label->objectName() == "Box notes") continue;
        EXPECT_FALSE(label->text().contains("nan", Qt::CaseInsensitive)) << label->text().toStdString();
        EXPECT_FALSE(label->text().contains("inf", Qt::CaseInsensitive)) << label->text().toStdString();
    }
    for (QTableWidget* table : lab.findChildren<QTableWidget*>()) {
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column) {
                const QTableWidgetItem* cell = table->item(row, column);
                if (!cell) continue;
                EXPECT_FALSE(cell->text().contains("nan", Qt::CaseInsensitive));
                EXPECT_FALSE(cell->text().contains("inf", Qt::CaseInsensitive));
            }
        }
    }
    for (QCustomPlot* plot : lab.findChildren<QCustomPlot*>()) {
        for (int g = 0; g < plot->graphCount(); ++g) {
            for (auto point = plot->graph(g)->data()->constBegin();
                 point != plot->graph(g)->data()->constEnd(); ++point) {
                ASSERT_TRUE(std::isfinite(point->key) && std::isfinite(point->value))
                    << plot->accessibleName().toStdString() << " graph " << g;
            }
        }
    }
}

TEST_F(Lab, CtrlLOpensOneLabFromTheMainWindowsBoxesAndMethod) {
    enter("0.5", "2", "3", "0.25");
    form.findChild<QRadioButton*>("Option_RKF")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    EXPECT_EQ(lab->windowTitle(), "Method lab");
    EXPECT_TRUE(lab->isWindow());
    EXPECT_FALSE(lab->isModal());
    EXPECT_EQ(lab->parentWidget(), nullptr);
    EXPECT_EQ(labBox(*lab, "x0"), "0.5");
    EXPECT_EQ(labBox(*lab, "y0"), "2");
    EXPECT_EQ(labBox(*lab, "x1"), "3");
    EXPECT_EQ(methodBox(*lab)->currentText(), "Runge-Kutta-Fehlberg");

    // A second Ctrl+L raises the same lab, which keeps its own boxes.
    type(mainBox("Text_x0"), "1");
    EXPECT_EQ(openWithCtrlL(), lab);
    EXPECT_EQ(labBox(*lab, "x0"), "0.5");
    EXPECT_EQ(form.methodLabAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
}

TEST_F(Lab, EscapeClosesIt) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(labs().isEmpty());
}

// The test screen (800 by 800) is smaller than the lab's usual size, as a
// laptop's screen is: the lab must open within it.
TEST_F(Lab, OpensWithinTheScreen) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    const QRect screen = lab->screen()->availableGeometry();
    EXPECT_LE(lab->frameGeometry().width(), screen.width());
    EXPECT_LE(lab->frameGeometry().height(), screen.height());
    EXPECT_GE(lab->height(), lab->minimumSizeHint().height());
}

// What Save as writes, asked of every plot of the lab: a PNG of its pixels,
// and a PDF page of its size on screen (1/96 inch to the pixel), in the
// whole points a page size is given in.
TEST_F(Lab, PlotsSaveAsAPngOfTheirPixelsAndAPdfPageOfTheirSize) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    for (QCustomPlot* plot : lab->findChildren<QCustomPlot*>()) {
        SCOPED_TRACE(plot->accessibleName().toStdString());
        QByteArray png, pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(plot, "pngBytes", Q_RETURN_ARG(QByteArray, png)));
        ASSERT_TRUE(QMetaObject::invokeMethod(plot, "pdfBytes", Q_RETURN_ARG(QByteArray, pdf)));
        QImage image;
        ASSERT_TRUE(image.loadFromData(png, "PNG"));
        EXPECT_EQ(image.size() / image.devicePixelRatio(), plot->size());
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        const QString mediaBox = QStringLiteral("/MediaBox [0 0 %1 %2]")
                                     .arg(double(qRound(plot->width() * 72.0 / 96)), 0, 'f', 6)
                                     .arg(double(qRound(plot->height() * 72.0 / 96)), 0, 'f', 6);
        EXPECT_TRUE(pdf.contains(mediaBox.toLatin1())) << pdf.left(600).toStdString();
    }
}

// Orders between N = 32 and 64 from (0, -1) to 1, worked out independently
// in 50-digit arithmetic (the implicit methods' steps as the linear systems
// they are on this equation, solved exactly with python3's mpmath; the
// multistep methods' runs in fractions by tests/support/multistep_orders.py).
TEST_F(Lab, OrdersTableFilledForEveryMethod) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTableWidget* orders = table(*lab, "Orders");
    ASSERT_NE(orders, nullptr);
    ASSERT_EQ(orders->columnCount(), 26);
    ASSERT_EQ(orders->rowCount(), 16);
    // In a lab 1000 pixels wide the explicit methods' eleven columns are in
    // view; the others scroll in beside them.
    lab->resize(1000, 860);
    QApplication::processEvents();
    EXPECT_LE(orders->columnViewportPosition(10) + orders->columnWidth(10), orders->viewport()->width());
    EXPECT_EQ(orders->verticalHeaderItem(5)->text(), "N = 64");
    // The added methods' orders from mpmath: Ralston 2.01701, Heun 3 and SSP
    // 3.01805 (on this linear equation they are one method), Kutta 3/8
    // 4.01880, SDIRK 2 2.00211. The partitioned methods do not apply to
    // y' = -2x - y, which reads y: they have no column.
    const char* expected[] = {"1.01", "2.02", "2.02", "4.02", "5.02", "4.00", "4.02",
                              "2.02", "3.02", "3.02", "4.02",
                              "0.99", "2.00", "2.00", "2.00", "2.99", "4.00",
                              "1.99", "2.98", "3.96", "3.95", "4.04", "1.98", "2.97", "3.95",
                              "(-70.33)"};
    ASSERT_EQ(std::size(expected), 26u);
    for (int column = 0; column < 26; ++column) {
        SCOPED_TRACE(column);
        ASSERT_NE(orders->item(5, column), nullptr);
        EXPECT_EQ(orders->item(5, column)->text(), expected[column]);
    }
}

TEST_F(Lab, PagesAreReachableFromTheKeyboard) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTabWidget* tabs = lab->findChild<QTabWidget*>();
    ASSERT_EQ(tabs->count(), 6);
    const struct {
        Qt::Key key;
        int page;
        const char* title;
    } rows[] = {{Qt::Key_S, 1, "&Stability"},
                {Qt::Key_T, 2, "One s&tep"},
                {Qt::Key_F, 3, "&Field"},
                // From the Field page too: no control there shares its letter.
                {Qt::Key_P, 5, "&Phase plane"},
                {Qt::Key_A, 4, "&Adaptive"},
                {Qt::Key_C, 0, "&Convergence"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        QTest::keyClick(lab, row.key, Qt::AltModifier);
        EXPECT_EQ(tabs->currentIndex(), row.page);
        EXPECT_EQ(tabs->tabText(row.page), row.title);
    }
}

TEST_F(Lab, EveryControlHasAnAccessibleName) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    int controls = 0;
    for (QWidget* widget : lab->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                             qobject_cast<QAbstractButton*>(widget) || qobject_cast<QSlider*>(widget) ||
                             qobject_cast<QAbstractSpinBox*>(widget) ||
                             qobject_cast<QTableWidget*>(widget) || qobject_cast<QCustomPlot*>(widget);
        if (!control || widget->focusPolicy() == Qt::NoFocus ||
            widget->parentWidget()->inherits("QAbstractSpinBox") ||
            widget->parentWidget()->inherits("QComboBox")) {
            continue;
        }
        ++controls;
        const QString name = widget->accessibleName().isEmpty() && qobject_cast<QAbstractButton*>(widget)
                                 ? qobject_cast<QAbstractButton*>(widget)->text()
                                 : widget->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << widget->metaObject()->className();
    }
    EXPECT_GE(controls, 14);
}

// A screen reader names a label by what it reads: notes, the step shown and
// every caption on every page are heard as the eye reads them, not under a
// name that hides the text.
TEST_F(Lab, ScreenReadersHearTheTextOfEveryLabel) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTabWidget* tabs = lab->findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        for (QLabel* label : lab->findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty()) continue;
            QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(label);
            ASSERT_NE(heard, nullptr);
            EXPECT_EQ(heard->text(QAccessible::Name).toStdString(),
                      QString(label->text()).remove('&').toStdString())
                << label->objectName().toStdString();
        }
    }
}

// Before the first calculation the One step page has nothing to draw; its
// plot still keeps axes of its full height, not a strip above an empty legend.
TEST_F(Lab, APlotWithNothingToShowKeepsItsAxesFullSize) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_T, Qt::AltModifier);
    // With x1 = x0 the run has no step, and the One step plot nothing.
    QLineEdit* x1 = named<QLineEdit>(*lab, "x1");
    type(x1, labBox(*lab, "x0"));
    QTest::keyClick(x1, Qt::Key_Return);
    QWidget* page = lab->findChild<QTabWidget*>()->currentWidget();
    QCustomPlot* plot = page->findChild<QCustomPlot*>();
    ASSERT_NE(plot, nullptr);
    ASSERT_EQ(plot->graphCount(), 0);
    plot->replot();
    EXPECT_GT(plot->axisRect()->rect().height(), plot->height() / 2);
    EXPECT_GT(plot->axisRect()->rect().width(), plot->width() / 2);
}

// One step walks the lab's own run: the main window's calculations leave it
// alone, and the lab's boxes and method move it.
TEST_F(Lab, OneStepWalksTheLabsOwnRun) {
    enter("0", "-1", "1", "0.25");
    form.findChild<QRadioButton*>("Option_RK4")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* shown = label(*lab, "Step shown");
    ASSERT_NE(shown, nullptr);
    // The lab starts from the main window's x0, y0, x1 and method, with its own h.
    EXPECT_EQ(shown->text(), "Runge-Kutta 4: step 1 of 3");

    enter("0", "-1", "0.4", "0.1");
    form.findChild<QRadioButton*>("Option_Euler")->setChecked(true);
    calculate();
    EXPECT_EQ(shown->text(), "Runge-Kutta 4: step 1 of 3");

    typeStep(*lab, "0.25");
    EXPECT_EQ(shown->text(), "Runge-Kutta 4: step 1 of 4");
    QPushButton* next = named<QPushButton>(*lab, "Next step");
    ASSERT_NE(next, nullptr);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(shown->text(), "Runge-Kutta 4: step 2 of 4");
    QTableWidget* tableau = table(*lab, "Tableau");
    ASSERT_NE(tableau, nullptr);
    EXPECT_EQ(tableau->item(4, 1)->text(), "1/6");
    EXPECT_EQ(tableau->item(4, 2)->text(), "1/3");
    methodBox(*lab)->setCurrentIndex(methodBox(*lab)->findText("Euler"));
    EXPECT_EQ(shown->text(), "Euler: step 1 of 4");
}

TEST_F(Lab, HostileBoxesGiveWordsNeverNanOrInfinity) {
    const struct {
        const char* name;
        const char* x0;
        const char* y0;
        const char* x1;
    } rows[] = {
        {"x1 = x0", "0", "-1", "0"},
        {"x1 < x0", "1", "-1", "0"},
        {"y0 = 1E+300", "0", "1E+300", "1"},
        {"exact solution overflows", "0", "-1", "-720"},
        {"stages overflow", "0", "1E+306", "-5"},
        {"x0 beyond a double", "1E+400", "-1", "1"},
        {"range beyond a double", "-1E+308", "0", "1E+308"},
        {"text that is no number", "abc", "nan", "inf"},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::array<std::pair<const char*, const char*>, 3> boxes{
            {{"x0", row.x0}, {"y0", row.y0}, {"x1", row.x1}}};
        for (const auto& [name, text] : boxes) {
            for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
                if (edit->accessibleName() != name) continue;
                type(edit, text);
                QTest::keyClick(edit, Qt::Key_Return);
            }
        }
        for (int method = 0; method < 7; method += 3) {
            methodBox(*lab)->setCurrentIndex(method);
            expectOnlyFiniteNumbersAndWords(*lab);
        }
    }
}

// Errors near 1E+292 are real numbers, yet no axis can span them: the notes
// say the plot leaves them out, and the plot holds none of them.
TEST_F(Lab, ValuesBeyondThePlotsScaleAreLeftOutInWords) {
    enter("0", "1E+306", "-5", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* notes = label(*lab, "Convergence notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().contains("are left out of the plot; the tables and notes still "
                                       "give them."))
        << notes->text().toStdString();
    for (QCustomPlot* plot : lab->findChildren<QCustomPlot*>()) {
        for (int g = 0; g < plot->graphCount(); ++g) {
            for (auto point = plot->graph(g)->data()->constBegin();
                 point != plot->graph(g)->data()->constEnd(); ++point) {
                EXPECT_LT(std::fabs(point->value), 1e250) << plot->accessibleName().toStdString();
            }
        }
    }
}

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
    ASSERT_EQ(table->rowCount(), 28);
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

}  // namespace

namespace {

QStringList legendNames(const QCustomPlot& plot) {
    QStringList names;
    for (int i = 0; i < plot.legend->itemCount(); ++i) {
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot.legend->item(i))) {
            names << item->plottable()->name();
        }
    }
    return names;
}

}  // namespace

// Orders that the method does not decide stand in brackets and italics, in
// the text's own colour; the header's tooltip says why. From (0, -1) to 1:
// Euler's 1.64 has not settled, Merson's 5.66 between N = 512 and 1024 is
// rounding's.
TEST_F(Lab, OrdersThatRoundingOrLargeStepsDecideAreMarkedReadably) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTableWidget* orders = table(*lab, "Orders");
    ASSERT_NE(orders, nullptr);
    const struct {
        int row, column;
        const char* text;
        bool marked;
    } cells[] = {{0, 0, "(1.64)", true}, {2, 0, "1.08", false}, {5, 4, "5.02", false},
                 {9, 5, "(5.66)", true}, {6, 4, "(4.99)", true}};
    const QColor text = orders->palette().color(QPalette::Text);
    for (const auto& cell : cells) {
        SCOPED_TRACE(cell.text);
        const QTableWidgetItem* item = orders->item(cell.row, cell.column);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), cell.text);
        EXPECT_EQ(item->font().italic(), cell.marked);
        EXPECT_EQ(item->toolTip().isEmpty(), !cell.marked);
        EXPECT_FALSE(item->foreground().style() != Qt::NoBrush && item->foreground().color() != text);
    }
    EXPECT_TRUE(orders->horizontalHeaderItem(5)->toolTip().contains("in brackets"));
}

// The legend names what the plot would otherwise caption across the
// curves: the reference slopes, the rounding floor, and the curves that lie
// under others. Markers at the ends sit wholly inside the axes, and the
// legend's border inside the plot.
TEST_F(Lab, ConvergencePlotNamesEverythingInItsLegendAndCutsNoMarker) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_NE(plot, nullptr);
    QCheckBox* evaluations = named<QCheckBox>(*lab, "Plot against slope evaluations");
    ASSERT_NE(evaluations, nullptr);
    for (const bool ticked : {false, true}) {
        SCOPED_TRACE(ticked ? "against evaluations" : "against h");
        evaluations->setChecked(ticked);
        plot->replot();
        const QStringList names = legendNames(*plot);
        EXPECT_TRUE(names.contains("Runge-Kutta 4\n(under Kutta 3/8)")) << names.join("|").toStdString();
        EXPECT_TRUE(names.contains("Euler (End points)\n(under Ralston 2)"));
        EXPECT_TRUE(names.contains("rounding floor: errors below 7.77E-15"));
        EXPECT_TRUE(names.contains(ticked ? "order 4: error \u221d N\u207b\u2074" : "order 4: error \u221d h\u2074"));
        EXPECT_TRUE(names.contains(ticked ? "order 3: error \u221d N\u207b\u00b3" : "order 3: error \u221d h\u00b3"));
        // On a slope linear in x and y both give y0 + h·(-2(x0 + h/2) - (y0 + y1)/2).
        EXPECT_TRUE(names.contains("Trapezoid\n(under Implicit mid point)"));
        // Below the axes, the twenty-six methods in three columns of nine,
        // the reference lines and the floor in a fourth.
        EXPECT_EQ(plot->legend->rowCount(), 9);
        EXPECT_EQ(plot->legend->columnCount(), 4);
        for (int i = 0; i < plot->itemCount(); ++i) {
            EXPECT_EQ(qobject_cast<QCPItemText*>(plot->item(i)), nullptr) << "a caption on the plot";
        }
        const QRect axes = plot->axisRect()->rect();
        EXPECT_GT(plot->legend->outerRect().top(), axes.bottom());
        for (int g = 0; g < plot->graphCount(); ++g) {
            const auto data = plot->graph(g)->data();
            if (data->isEmpty() || plot->graph(g)->scatterStyle().isNone()) continue;
            // Not zero-stable, its errors run off the top, as the notes say.
            if (plot->graph(g)->name() == "Own multistep method") continue;
            for (const auto& point : {*data->constBegin(), *(data->constEnd() - 1)}) {
                const QPointF pixel(plot->xAxis->coordToPixel(point.key),
                                    plot->yAxis->coordToPixel(point.value));
                EXPECT_TRUE(axes.adjusted(3, 3, -3, -3).contains(pixel.toPoint()))
                    << plot->graph(g)->name().toStdString() << " at " << pixel.x() << ", "
                    << pixel.y();
            }
        }
        EXPECT_LT(plot->legend->outerRect().right(), plot->width() - 1);
    }
}

TEST_F(Lab, EveryPlotCopiesItsImage) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    for (QCustomPlot* plot : lab->findChildren<QCustomPlot*>()) {
        SCOPED_TRACE(plot->accessibleName().toStdString());
        QApplication::clipboard()->clear();
        QAction* copy = nullptr;
        for (QAction* action : plot->findChildren<QAction*>()) {
            if (action->text() == "Copy image") copy = action;
        }
        ASSERT_NE(copy, nullptr);
        copy->trigger();
        const QImage image = QApplication::clipboard()->image();
        EXPECT_EQ(image.size() / image.devicePixelRatio(), plot->size());
    }
}

// The lab reads its boxes strictly: "0,5" and "abc" are not taken as 0.
// The last good values stay in force, the notes beside the boxes say why,
// and the pages go on with those values.
TEST_F(Lab, BoxesKeepTheirLastGoodValueAndSayWhyATextWasNotUsed) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* notes = label(*lab, "Box notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_FALSE(notes->isVisible());
    QTableWidget* orders = table(*lab, "Orders");
    const QString before = orders->item(5, 0)->text();
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        const QString name = edit->accessibleName();
        if (name != "x0" && name != "y0") continue;
        type(edit, name == "x0" ? "0,5" : "abc");
        QTest::keyClick(edit, Qt::Key_Return);
    }
    settleStudies();
    EXPECT_TRUE(notes->isVisible());
    EXPECT_EQ(notes->text(),
              "x0: \"0,5\" is not a number: use a point, not a comma, for decimals; x0 stays 0.\n"
              "y0: \"abc\" is not a number; y0 stays -1.");
    EXPECT_EQ(orders->item(5, 0)->text(), before);
}

namespace {

// A program of poppler's, run on a PDF: its output as text.
QString popplerText(const char* program, const QByteArray& pdf) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(pdf);
    file.flush();
    QProcess process;
    process.start(program, QStringList{file.fileName(), "-"}.mid(0, QString(program) == "pdfinfo" ? 1 : 2));
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

// Every page printed as a handout, on A4 and on Letter: the problem, the
// page's table with its values, on pages of that paper.
TEST_F(Lab, HandoutsHoldTheProblemAndThePagesTableOnThePrintersPaper) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    form.findChild<QRadioButton*>("Option_RK4")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    typeStep(*lab, "0.25");
    const struct {
        Qt::Key page;
        const char* title;
        QStringList texts;
    } pages[] = {
        {Qt::Key_C,
         "Method lab: Convergence",
         {"x0 = 0, y0 = -1, x1 = 1", "Every method, with h = (x1 - x0)/N", "Orders", "N = 64", "5.02",
          "(5.66)"}},
        {Qt::Key_S,
         "Method lab: Stability",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25", "Stability intervals", "2.785"}},
        {Qt::Key_T,
         "Method lab: One step",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25",
          "Runge-Kutta 4: step 1 of 4", "Stages", "Tableau", "1/6"}},
        // Runge-Kutta 4's first step of h = 0.4 from (0, -1), worked out in
        // python3: y1 = -0.8112.
        {Qt::Key_F,
         "Method lab: Field",
         {"x0 = 0, y0 = -1, x1 = 1", "Method: Runge-Kutta 4, h = 0.25", "Lab steps", "-0.83642578125"}},
    };
    const struct {
        QPageSize::PageSizeId id;
        const char* size;
    } papers[] = {{QPageSize::A4, "(A4)"}, {QPageSize::Letter, "(letter)"}};
    for (const auto& page : pages) {
        QTest::keyClick(lab, page.page, Qt::AltModifier);
        for (const auto& paper : papers) {
            SCOPED_TRACE(std::string(page.title) + " " + paper.size);
            QByteArray pdf;
            ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                                  Q_ARG(int, paper.id)));
            const QString info = popplerText("pdfinfo", pdf);
            EXPECT_TRUE(info.contains(paper.size)) << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression(
                QString("Title: +Pelorin %1, dy/dx = -2\\*x - y\n").arg(page.title))))
                << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression("Creator: +Pelorin\n"))) << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression("Pages: +[1-4]\n"))) << info.toStdString();
            const QString text = popplerText("pdftotext", pdf);
            const QStringList problem{page.title, "dy/dx = -2*x - y",
                                      "exact y(x) = 2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))"};
            for (const QString& expected : problem + page.texts) {
                EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n" << text.toStdString();
            }
        }
    }
}

// Twenty-six columns of orders do not fit the paper's width readably: the
// handout prints them in a block per family, the eleven explicit ones in
// two, the six implicit ones and the nine multistep ones in two, each with
// the rows' headers whole and its methods' names on every page it reaches.
TEST_F(Lab, AHandoutPrintsTheOrdersInABlockPerFamilyOfMethods) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QByteArray pdf;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                          Q_ARG(int, QPageSize::A4)));
    const QString text = popplerText("pdftotext", pdf);
    EXPECT_EQ(text.count("N = 64"), 5) << text.toStdString();
    EXPECT_EQ(text.count("N = 65536"), 5) << text.toStdString();
    for (const char* caption : {"Kutta-", "Gill", "Backward", "Legendre 4"}) {
        EXPECT_TRUE(text.contains(caption)) << caption << " in\n" << text.toStdString();
    }
    // The plot's legend names them too: the table comes after it.
    const QString orders = text.mid(text.indexOf("\nOrders\n"));
    EXPECT_LT(orders.indexOf("Gill"), orders.indexOf("Backward"));
    // Every page that holds rows of the table opens them with its block's
    // methods' names.
    const QRegularExpression rowHeader("^N ?= ?\\d+$", QRegularExpression::MultilineOption);
    int pagesWithRows = 0;
    for (const QString& page : text.split('\f', Qt::SkipEmptyParts)) {
        const int firstRow = static_cast<int>(rowHeader.match(page).capturedStart());
        if (firstRow < 0) continue;
        ++pagesWithRows;
        // Captions break at their blanks and hyphens.
        const auto squeezed = [](QString text) { return text.simplified().remove(' ').remove('-'); };
        const QString before = squeezed(page.left(firstRow));
        const bool headed = std::any_of(pelorin::labCatalogue().begin(), pelorin::labCatalogue().end(),
                                        [&](const pelorin::Method& method) {
                                            return before.contains(squeezed(QString::fromUtf8(method.caption.data(), static_cast<qsizetype>(method.caption.size()))));
                                        });
        EXPECT_TRUE(headed) << page.toStdString();
    }
    EXPECT_GE(pagesWithRows, 1) << text.toStdString();
}

namespace {

// A text as a PDF's text compares with it: no white space, and ligatures
// (ﬁ, as pdftotext gives it) as their letters.
QString compact(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).simplified().remove(' ');
}

}  // namespace

// Every page the lab lists, handed out: under the problem the lines that say
// what that page runs and no other page's, every plot of the page, every
// line of its notes and each of its tables under its name. A page the table
// below does not know fails here until its lines are added.
TEST_F(Lab, EveryPageHandsOutItsOwnLinesPlotsNotesAndTables) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.25");
    form.findChild<QRadioButton*>("Option_RKF")->setChecked(true);
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    typeStep(*lab, "0.25");
    const QMap<QString, QStringList> pageLines{
        {"Convergence", {"Every method, with h = (x1 - x0)/N for N = 1, 2, 4, \u2026, 65536"}},
        {"Stability", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"One step", {"Method: Runge-Kutta-Fehlberg, h = 0.25", "Runge-Kutta-Fehlberg: step 1 of 4"}},
        {"Field", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"Phase plane", {"Method: Runge-Kutta-Fehlberg, h = 0.25"}},
        {"Adaptive",
         {"Method: Runge-Kutta-Fehlberg adapting its steps, tolerance 1.00E-06 (absolute and relative: "
          "tol\u00b7(1 + |y|)), first step h = 0.25"}},
    };
    QStringList everyLine;
    for (const QStringList& lines : pageLines) everyLine << lines;
    auto* pages = named<QTabWidget>(*lab, "Lab pages");
    ASSERT_NE(pages, nullptr);
    for (int index = 0; index < pages->count(); ++index) {
        const QString caption = pages->tabText(index).remove('&');
        SCOPED_TRACE(caption.toStdString());
        ASSERT_TRUE(pageLines.contains(caption)) << "a page this test does not know";
        pages->setCurrentIndex(index);
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, QPageSize::A4)));
        // Long lines wrap on paper, after a space or a hyphen, and a page's
        // number closes each page, within a paragraph that runs on.
        QStringList pdfPages = popplerText("pdftotext", pdf).split('\f');
        for (QString& pdfPage : pdfPages) pdfPage.remove(QRegularExpression("\\n\\d+\\s*$"));
        const QString text = compact(pdfPages.join(' '));
        EXPECT_TRUE(text.startsWith(compact("Method lab: " + caption + " dy/dx = -2*x - y")))
            << text.toStdString();
        for (const QString& line : everyLine) {
            EXPECT_EQ(text.contains(compact(line)), pageLines[caption].contains(line)) << line.toStdString();
        }
        const QWidget* page = pages->widget(index);
        // Every plot the page shows, drawn as lines and text: its axes'
        // captions are read. A single equation's invariant drift and a
        // one-step method's roots are hidden here, and left out.
        const auto plots = page->findChildren<QCustomPlot*>();
        QStringList shownCaptions;
        for (const QCustomPlot* plot : plots) {
            if (!plot->isHidden()) shownCaptions << plot->xAxis->label() << plot->yAxis->label();
        }
        for (const QCustomPlot* plot : plots) {
            for (const QString& caption : {plot->xAxis->label(), plot->yAxis->label()}) {
                if (caption.isEmpty() || (plot->isHidden() && shownCaptions.contains(caption))) continue;
                EXPECT_EQ(text.contains(compact(caption)), !plot->isHidden())
                    << plot->accessibleName().toStdString() << ": " << caption.toStdString();
            }
        }
        for (const QLabel* notes : page->findChildren<QLabel*>()) {
            if (!notes->objectName().endsWith(" notes")) continue;
            for (const QString& line : notes->text().split('\n', Qt::SkipEmptyParts)) {
                EXPECT_TRUE(text.contains(compact(line)))
                    << notes->objectName().toStdString() << ": " << line.toStdString();
            }
        }
        // Every table it shows; One step hides its Newton iterations for an
        // explicit method.
        for (const QTableWidget* table : page->findChildren<QTableWidget*>()) {
            if (table->isHidden()) continue;
            EXPECT_TRUE(text.contains(compact(table->accessibleName())))
                << table->accessibleName().toStdString();
        }
    }
}

namespace {

// Opens the lab on a problem of its library and waits for the Orders table.
QWidget* labOnLibraryProblem(QWidget* lab, int index) {
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    if (!problem) return nullptr;
    problem->setCurrentIndex(index);
    emit problem->activated(index);
    QTableWidget* orders = table(*lab, "Orders");
    if (!QTest::qWaitFor([&] { return orders->rowCount() == 16; }, 60000)) return nullptr;
    return lab;
}

constexpr int logisticProblem = 3;

}  // namespace

// On the logistic equation y' = y(1 - y) from (0, 0.1) to 6, orders worked
// out independently in 40-digit arithmetic: Merson's 5.8783, 5.8518 and
// 5.3064 (N = 4, 8, 16) are not yet its order 4 and Runge-Kutta 4's 4.2811
// (N = 16) lies more than 0.1 from its last order 4.00, so all four stand in
// brackets; Runge-Kutta 4's 4.0573 (N = 64) and Euler's 1.0692 (N = 32) have
// settled. The header and the notes state the rule.
TEST_F(Lab, OnTheLogisticEquationOrdersNotYetTheMethodsOwnStandInBrackets) {
    QWidget* lab = labOnLibraryProblem(openWithCtrlL(), logisticProblem);
    ASSERT_NE(lab, nullptr);
    QTableWidget* orders = table(*lab, "Orders");
    const struct {
        int row, column;
        const char* text;
    } cells[] = {{1, 5, "(5.88)"}, {2, 5, "(5.85)"}, {3, 5, "(5.31)"},
                 {3, 3, "(4.28)"}, {5, 3, "4.06"},   {4, 0, "1.07"}};
    for (const auto& cell : cells) {
        SCOPED_TRACE(cell.text);
        const QTableWidgetItem* item = orders->item(cell.row, cell.column);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), cell.text);
        EXPECT_EQ(item->font().italic(), cell.text[0] == '(');
    }
    const QString rule = orders->horizontalHeaderItem(0)->toolTip();
    EXPECT_TRUE(rule.startsWith("An order in brackets, in italics, is not the method's own: "))
        << rule.toStdString();
    for (int column = 1; column < orders->columnCount(); ++column) {
        EXPECT_EQ(orders->horizontalHeaderItem(column)->toolTip(), rule);
    }
    QLabel* notes = label(*lab, "Convergence notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().split('\n').contains(rule)) << notes->text().toStdString();
}

// The Orders table of sixteen rows, in blocks of columns, stands under
// the plot and the notes; every page of it, on A4 and on Letter, opens with
// the names of its block's methods, and the rule of the brackets stands under
// it, once. The PDF is named for the page and the equation.
TEST_F(Lab, AHandoutRepeatsTheOrdersHeaderOnEveryPageAndExplainsTheBrackets) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QWidget* lab = labOnLibraryProblem(openWithCtrlL(), logisticProblem);
    ASSERT_NE(lab, nullptr);
    for (const auto paper : {QPageSize::A4, QPageSize::Letter}) {
        SCOPED_TRACE(paper == QPageSize::A4 ? "A4" : "Letter");
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, paper)));
        const QString info = popplerText("pdfinfo", pdf);
        EXPECT_TRUE(info.contains(QRegularExpression(
            "Title: +Pelorin Method lab: Convergence, dy/dx = y\\*\\(1 - y\\)\n")))
            << info.toStdString();
        EXPECT_TRUE(info.contains(QRegularExpression("Creator: +Pelorin\n"))) << info.toStdString();

        const QString text = popplerText("pdftotext", pdf);
        for (const char* line : {"dy/dx = y*(1 - y)", "exact y(x) = y0/(y0 + (1 - y0)*exp(-(x - x0)))",
                                 "x0 = 0, y0 = 0.1, x1 = 6"}) {
            EXPECT_TRUE(text.contains(line)) << line << " in\n" << text.toStdString();
        }
        // Headers wrap within their cells, so a page is searched with its
        // white space taken out; no note names these two methods.
        const QRegularExpression rowHeader("^N ?= ?\\d+$", QRegularExpression::MultilineOption);
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        int pagesWithRows = 0;
        for (int page = 0; page < pages.size(); ++page) {
            if (!pages[page].contains(rowHeader)) continue;
            SCOPED_TRACE("page " + std::to_string(page + 1));
            ++pagesWithRows;
            const QString compact = pages[page].simplified().remove(' ');
            const bool explicitBlock = compact.contains("Euler(Endpoints)") &&
                                       compact.contains("Euler(Midpoint)");
            const bool implicitBlock = compact.contains("BackwardEuler") &&
                                       compact.contains("Implicitmidpoint");
            const bool adamsBlock = compact.contains("Bashforth") && compact.contains("Moulton");
            const bool multistepBlock = compact.contains("BDF2") && compact.contains("BDF4");
            EXPECT_TRUE(explicitBlock || implicitBlock || adamsBlock || multistepBlock)
                << pages[page].toStdString();
        }
        EXPECT_GE(pagesWithRows, 1) << text.toStdString();
        const QString rule = text.simplified();
        const int at = rule.indexOf("An order in brackets, in italics, is not the method's own");
        EXPECT_GT(at, rule.indexOf("N = 65536"));
        EXPECT_EQ(rule.count("is not the method's own"), 1);
    }
}

namespace {

// A word of a PDF as pdftotext -bbox places it, in points from its page's
// top left corner.
struct PdfWord {
    QString text;
    QRectF box;
    int page = 0;
};

QList<PdfWord> pdfWords(const QByteArray& pdf) {
    QTemporaryFile file;
    if (!file.open()) return {};
    file.write(pdf);
    file.flush();
    QProcess process;
    process.start("pdftotext", {"-bbox", file.fileName(), "-"});
    process.waitForFinished(-1);
    const QString xhtml = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression tag(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    QList<PdfWord> words;
    int page = -1;
    for (const QRegularExpressionMatch& match : tag.globalMatch(xhtml)) {
        if (match.captured(0) == "<page ") {
            ++page;
            continue;
        }
        QString text = match.captured(5);
        for (const auto& [entity, character] : {std::pair{"&apos;", "'"}, {"&quot;", "\""},
                                                {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}}) {
            text.replace(entity, character);
        }
        words.push_back({text, QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                                      QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())),
                         page});
    }
    return words;
}

// The first word of `words` that begins the words of `text`, in order.
std::optional<PdfWord> findWords(const QList<PdfWord>& words, const QString& text) {
    const QStringList wanted = text.split(' ');
    for (qsizetype i = 0; i + wanted.size() <= words.size(); ++i) {
        bool all = true;
        for (qsizetype k = 0; all && k < wanted.size(); ++k) all = words[i + k].text == wanted[k];
        if (all) return words[i];
    }
    return std::nullopt;
}

// Every word whole on its page and clear of every other: a legend column
// too narrow runs its names into the next column's, and a table too wide
// runs off the paper.
void expectNothingCutOrOverlapping(const QList<PdfWord>& words, const QSizeF& page) {
    for (qsizetype i = 0; i < words.size(); ++i) {
        const PdfWord& word = words[i];
        EXPECT_TRUE(QRectF(QPointF(0, 0), page).contains(word.box)) << word.text.toStdString();
        for (qsizetype j = i + 1; j < words.size(); ++j) {
            const PdfWord& other = words[j];
            if (other.page != word.page) continue;
            const QRectF both = word.box.intersected(other.box);
            EXPECT_FALSE(both.width() > 1 &&
                         both.height() > std::min(word.box.height(), other.box.height()) / 2)
                << word.text.toStdString() << " over " << other.text.toStdString();
        }
    }
}

constexpr QSizeF a4Points(595.28, 841.89);

// The first page of a PDF as an image of two pixels to the point.
QImage firstPdfPage(const QByteArray& pdf) {
    QTemporaryDir dir;
    QFile file(dir.filePath("handout.pdf"));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(pdf);
    file.close();
    QProcess process;
    process.start("pdftoppm", {"-png", "-r", "144", "-singlefile", file.fileName(), dir.filePath("page")});
    process.waitForFinished(-1);
    return QImage(dir.filePath("page.png"));
}

// How close the colour nearest `colour` within `area` of `image` comes to
// it, summed over red, green and blue.
int nearest(const QImage& image, const QRect& area, const QColor& colour) {
    int best = 3 * 255;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            best = std::min(best, std::abs(pixel.red() - colour.red()) +
                                      std::abs(pixel.green() - colour.green()) +
                                      std::abs(pixel.blue() - colour.blue()));
        }
    }
    return best;
}

QWidget* labOnSystem(QWidget* lab, const QString& name) {
    if (!lab) return nullptr;
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int row = problem->findText(name);
    if (row < 0) return nullptr;
    problem->setCurrentIndex(row);
    emit problem->activated(row);
    return lab;
}

void typeParameters(const QWidget& lab, const QString& text) {
    for (QLineEdit* edit : lab.findChildren<QLineEdit*>()) {
        if (edit->accessibleName() != "Parameters") continue;
        edit->setText(text);
        emit edit->editingFinished();
    }
}

}  // namespace

// A system's handout and its PDF's title give the equation with the
// parameters the lab's Parameters box holds: the same slopes with other
// values are another problem.
TEST_F(Lab, ASystemsHandoutAndItsTitleGiveItsParameters) {
    for (const char* program : {"pdftotext", "pdfinfo"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) GTEST_SKIP() << program << " is not installed";
    }
    const struct {
        const char* problem;
        const char* typed;  // into the Parameters box, if anything
        const char* equation;
    } rows[] = {
        {"Harmonic oscillator: y'' = -y", nullptr, "y1' = y2; y2' = -y1"},
        {"Lotka-Volterra: predators and prey", nullptr,
         "y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2, with a = 2/3, b = 4/3, c = 1, d = 1"},
        {"Lotka-Volterra: predators and prey", "a = 1,  b = 1/2, c = 1, d = 2",
         "y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2, with a = 1, b = 1/2, c = 1, d = 2"},
        {"Van der Pol: y'' = \u03bc(1 - y\u00b2)y' - y", nullptr, "y'' = mu*(1 - y^2)*y' - y, with mu = 1"},
    };
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_P, Qt::AltModifier);
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.problem) + (row.typed ? ", typed" : ""));
        ASSERT_NE(labOnSystem(lab, QString::fromUtf8(row.problem)), nullptr);
        if (row.typed) typeParameters(*lab, row.typed);
        QByteArray pdf;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                              Q_ARG(int, QPageSize::A4)));
        const QString info = popplerText("pdfinfo", pdf);
        EXPECT_TRUE(info.contains(QRegularExpression(
                        "Title: +" + QRegularExpression::escape(QString("Pelorin Method lab: Phase plane, ") +
                                                                row.equation) + "\n")))
            << info.toStdString();
        const QString text = compact(popplerText("pdftotext", pdf));
        EXPECT_TRUE(text.startsWith(compact(QString("Method lab: Phase plane ") + row.equation)))
            << text.toStdString();
    }
}

// On paper as on the screen, the Phase plane's legend names the nullclines
// and the equilibria, each beside its key in its own colour: sea green
// dashes for y1' = 0, amber for y2' = 0, a circle in the text's colour for
// the equilibria. They are keys of things drawn for the view, added once
// the plot is laid out.
TEST_F(Lab, APhasePlaneHandoutShowsEveryLegendEntryWithItsKey) {
    for (const char* program : {"pdftotext", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) GTEST_SKIP() << program << " is not installed";
    }
    QWidget* lab = labOnSystem(openWithCtrlL(), "Lotka-Volterra: predators and prey");
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_P, Qt::AltModifier);
    QCustomPlot* plane = named<QCustomPlot>(*lab, "Phase plane");
    ASSERT_NE(plane, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return legendNames(*plane).contains("reference"); }, 60000));
    QApplication::processEvents();
    QByteArray pdf;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                          Q_ARG(int, QPageSize::A4)));
    const QList<PdfWord> words = pdfWords(pdf);
    const QImage page = firstPdfPage(pdf);
    ASSERT_FALSE(page.isNull());
    const struct {
        const char* entry;
        QColor key;
    } entries[] = {
        {"y1' = 0", QColor(0x2e, 0x8b, 0x57)},
        {"y2' = 0", QColor(0xd0, 0x80, 0x00)},
        {"equilibria", QColor(0, 0, 0)},
    };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.entry);
        const std::optional<PdfWord> found = findWords(words, entry.entry);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->page, 0);
        // The key stands just left of the name, within the name's height.
        const QRectF key(found->box.left() - 22, found->box.top(), 20, found->box.height());
        const QRect pixels(key.left() * 2, key.top() * 2, key.width() * 2, key.height() * 2);
        EXPECT_LT(nearest(page, pixels, entry.key), 60);
    }
    // Every name the screen's legend gives, whole.
    const QString text = popplerText("pdftotext", pdf);
    for (const QString& name : legendNames(*plane)) {
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " in\n" << text.toStdString();
    }
    expectNothingCutOrOverlapping(words, a4Points);
}

// The Convergence handout's legend gives every name whole, as the screen
// does, in columns that keep clear of each other, at the lab's normal text
// size and at its largest, for a projector, whose names need more than a
// page's width at the screen's scale. Its Orders table prints the multistep
// methods in two blocks narrow enough for the paper, each header broken
// only where its caption is, each order whole on its line: from (0, -1) to
// 1 the own multistep method, not zero-stable, has the widest, -293.21
// between N = 128 and 256.
TEST_F(Lab, AConvergenceHandoutGivesWholeNamesAndWholeOrders) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_NE(plot, nullptr);
    const struct {
        const char* text;
        int presses;  // of Ctrl++ from the size before
    } sizes[] = {{"normal text", 0}, {"the largest text", 4}};
    const struct {
        QPageSize::PageSizeId id;
        const char* name;
        QSizeF points;
    } papers[] = {{QPageSize::A4, "A4", a4Points}, {QPageSize::Letter, "Letter", QSizeF(612, 792)}};
    for (const auto& size : sizes) {
        for (int i = 0; i < size.presses; ++i) QTest::keyClick(lab, Qt::Key_Plus, Qt::ControlModifier);
        for (const auto& paper : papers) {
            SCOPED_TRACE(std::string(size.text) + " on " + paper.name);
            QByteArray pdf;
            ASSERT_TRUE(QMetaObject::invokeMethod(lab, "handoutPdf", Q_RETURN_ARG(QByteArray, pdf),
                                                  Q_ARG(int, paper.id)));
            // Ligatures (ﬂ, as pdftotext gives it) as their letters.
            const QString text = popplerText("pdftotext", pdf).normalized(QString::NormalizationForm_KC);
            const QStringList lines = text.split('\n');
            for (const char* line : {"Runge-Kutta-Fehlberg", "Gauss-Legendre 4", "Adams-Bashforth 2",
                                     "Adams-Bashforth 3"}) {
                EXPECT_TRUE(lines.contains(line)) << line << " in\n" << text.toStdString();
            }
            for (const QString& name : legendNames(*plot)) {
                for (const QString& line : name.normalized(QString::NormalizationForm_KC).split('\n')) {
                    EXPECT_TRUE(lines.contains(line)) << line.toStdString() << " in\n" << text.toStdString();
                }
            }
            const QList<PdfWord> words = pdfWords(pdf);
            for (const char* word : {"Bashforth", "Moulton", "predictor-", "corrector", "multistep",
                                     "(-293.21)", "N = 16384"}) {
                EXPECT_TRUE(findWords(words, word)) << word;
            }
            expectNothingCutOrOverlapping(words, paper.points);
        }
    }
}

// A problem from the library is studied on its own equation, off the
// window's thread: on the textbook's y' = y - x^2 + 1 the end-point and
// mid-point methods part ways. A text that is no formula leaves the last
// good equation in force, says why, and makes the problem the user's own.
TEST_F(Lab, AProblemFromTheLibraryIsStudiedOnItsOwnEquation) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    ASSERT_NE(problem, nullptr);
    problem->setCurrentIndex(1);
    emit problem->activated(1);
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "y - x^2 + 1");
    EXPECT_EQ(labBox(*lab, "x1"), "2");
    QTableWidget* orders = table(*lab, "Orders");
    ASSERT_TRUE(QTest::qWaitFor([&] { return orders->rowCount() == 16; }, 60000));
    EXPECT_NE(orders->item(5, 1)->text(), orders->item(5, 2)->text());
    const char* settled[] = {"1", "2", "2", "4", "5", "4", "4"};
    for (int column = 0; column < 7; ++column) {
        SCOPED_TRACE(column);
        EXPECT_NEAR(orders->item(5, column)->text().toDouble(), std::atof(settled[column]), 0.1);
    }

    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() != "f(x, y)") continue;
        type(edit, "y - x^2 +");
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QLabel* notes = label(*lab, "Box notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->text().startsWith("f(x, y): ")) << notes->text().toStdString();
    EXPECT_TRUE(notes->text().endsWith("the lab goes on with f(x, y) = y - x^2 + 1."))
        << notes->text().toStdString();
    EXPECT_EQ(problem->currentText(), "Your own");
}

// A problem file named when the program starts opens the lab with that
// problem; a damaged or newer file says why and changes nothing.
TEST_F(Lab, AProblemFileOpensTheLabWithItsProblemOrSaysWhyNot) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString good = write("logistic.pelorin", R"json({"format": "pelorin-problem", "version": 1,
        "name": "Mine", "f": "y*(1 - y)", "exact": "", "x0": "0", "y0": "0.25", "x1": "3"})json");
    form.openProblemFile(good);
    const auto open = labs();
    ASSERT_EQ(open.size(), 1);
    QWidget* lab = open.front();
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "y*(1 - y)");
    EXPECT_EQ(labBox(*lab, "exact y(x)"), "");
    EXPECT_EQ(labBox(*lab, "y0"), "0.25");
    EXPECT_EQ(labBox(*lab, "x1"), "3");

    // A file the lab's boxes cannot hold is refused, not opened as an empty
    // equation: a single equation with parameters. Systems and y'' = f open.
    const QByteArray version3 = R"json({"format": "pelorin-problem", "version": 3, "name": "", )json";
    const QByteArray lesson = R"json(, "x0": "0", "x1": "2", "invariant": "",
        "method": "Runge-Kutta 4", "h": "0.1", "page": "Field", "tolerance": "1E-6",
        "tolerance kind": "absolute and relative", "error per unit step": false,
        "safety factor": "0.9", "largest growth": "5", "smallest shrink": "0.2"})json";
    const struct {
        const char* name;
        QByteArray bytes;
    } bad[] = {
        {"newer.pelorin", R"json({"format": "pelorin-problem", "version": 4, "name": "", "f": "y",
            "exact": "", "x0": "0", "y0": "1", "x1": "1"})json"},
        {"parameter.pelorin", version3 + R"json("form": "equation", "f": "-k*y", "exact": "",
            "y0": "1", "parameters": "k = 3")json" + lesson},
        {"truncated.pelorin", R"json({"format": "pelorin-problem", "version": 1, "na)json"},
        {"not json.pelorin", "\x89PNG\r\n"},
        // Files that read as files but whose equation the lab cannot use,
        // named after a library entry and asking for another page, method
        // and form: opened, they would show their boxes while the lab went
        // on with the last good equation.
        {"broken f.pelorin", R"json({"format": "pelorin-problem", "version": 1, "name": "",
            "f": "y*(1 - ", "exact": "", "x0": "0", "y0": "1", "x1": "1"})json"},
        {"parameter twice.pelorin", R"json({"format": "pelorin-problem", "version": 3,
            "name": "Harmonic oscillator: y'' = -y", "form": "system", "parameters": "a = 1, a = 2",
            "components": [{"slope": "a*y2", "start": "1", "exact": ""},
                           {"slope": "-y1", "start": "0", "exact": ""}])json" + lesson},
        {"y3 of two.pelorin", R"json({"format": "pelorin-problem", "version": 3,
            "name": "Harmonic oscillator: y'' = -y", "form": "system", "parameters": "",
            "components": [{"slope": "y3", "start": "1", "exact": ""},
                           {"slope": "-y1", "start": "0", "exact": ""}])json" + lesson},
    };
    QComboBox* method = named<QComboBox>(*lab, "Method");
    const QString methodBefore = method->currentText();
    const QString problemBefore = named<QComboBox>(*lab, "Problem")->currentText();
    for (const auto& row : bad) {
        SCOPED_TRACE(row.name);
        QString failure;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                                              Q_ARG(QString, write(row.name, row.bytes))));
        EXPECT_TRUE(failure.startsWith("Could not open")) << failure.toStdString();
        EXPECT_TRUE(failure.endsWith("Nothing was changed.")) << failure.toStdString();
        EXPECT_EQ(labBox(*lab, "f(x, y)"), "y*(1 - y)");
        EXPECT_EQ(labBox(*lab, "x1"), "3");
        EXPECT_EQ(named<QComboBox>(*lab, "Form")->currentText(), "one equation y' = f(x, y)");
        EXPECT_EQ(named<QComboBox>(*lab, "Problem")->currentText(), problemBefore);
        EXPECT_EQ(method->currentText(), methodBefore);
    }

    const struct {
        const char* name;
        QByteArray bytes;
        const char* form;
        std::vector<std::pair<const char*, const char*>> boxes;
    } systems[] = {
        {"system.pelorin", version3 + R"json("form": "system", "parameters": "a = 2/3",
            "components": [{"slope": "a*y1 - y1*y2", "start": "1", "exact": ""},
                           {"slope": "y1*y2 - y2", "start": "0.5", "exact": ""}])json" + lesson,
         "a system y1' \u2026 yn'",
         {{"y1'", "a*y1 - y1*y2"}, {"y2'", "y1*y2 - y2"}, {"y1(x0)", "1"}, {"y2(x0)", "0.5"},
          {"Parameters", "a = 2/3"}, {"x1", "2"}}},
        {"second order.pelorin", version3 + R"json("form": "second order", "y''": "-y",
            "y(x0)": "1", "y'(x0)": "0", "exact": "", "parameters": "")json" + lesson,
         "y'' = f(x, y, y')", {{"y''", "-y"}, {"y(x0)", "1"}, {"y'(x0)", "0"}}},
    };
    for (const auto& row : systems) {
        SCOPED_TRACE(row.name);
        QString failure;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                                              Q_ARG(QString, write(row.name, row.bytes))));
        EXPECT_EQ(failure, "");
        EXPECT_EQ(named<QComboBox>(*lab, "Form")->currentText(), QString::fromUtf8(row.form));
        for (const auto& [box, text] : row.boxes) EXPECT_EQ(labBox(*lab, box), text) << box;
    }
}

// A teacher prepares a lesson (Fehlberg adapting its steps on the stiff
// problem, the controller set) and saves it; a student's lab opens it as it
// was, and its save dialogs suggest names that say what they hold.
TEST_F(Lab, ALessonFileRestoresTheLesson) {
    QWidget* teacher = openWithCtrlL();
    ASSERT_NE(teacher, nullptr);
    QComboBox* problem = named<QComboBox>(*teacher, "Problem");
    problem->setCurrentIndex(5);
    QMetaObject::invokeMethod(problem, "activated", Q_ARG(int, 5));
    ASSERT_EQ(problem->currentText().toStdString(), "Stiff: y' = -50(y - cos x)");
    methodBox(*teacher)->setCurrentIndex(4);
    typeStep(*teacher, "0.10");
    QTest::keyClick(teacher, Qt::Key_A, Qt::AltModifier);
    type(named<QLineEdit>(*teacher, "Tolerance"), "1E-2");
    named<QComboBox>(*teacher, "Tolerance kind")->setCurrentIndex(2);
    named<QCheckBox>(*teacher, "Error per unit step")->setChecked(true);
    type(named<QLineEdit>(*teacher, "Safety factor"), "0.8");

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QByteArray bytes;
    ASSERT_TRUE(QMetaObject::invokeMethod(teacher, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
    QFile file(folder.filePath("stiff.pelorin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    delete teacher;

    form.openProblemFile(file.fileName());
    ASSERT_EQ(labs().size(), 1);
    const QWidget& student = *labs().front();
    EXPECT_EQ(named<QComboBox>(student, "Problem")->currentText().toStdString(),
              "Stiff: y' = -50(y - cos x)");
    EXPECT_EQ(methodBox(student)->currentText().toStdString(), "Runge-Kutta-Fehlberg");
    EXPECT_EQ(labBox(student, "h"), "0.10");
    const auto* pages = student.findChild<QTabWidget*>();
    EXPECT_EQ(pages->tabText(pages->currentIndex()).toStdString(), "&Adaptive");
    EXPECT_EQ(labBox(student, "Tolerance"), "1E-2");
    EXPECT_EQ(named<QComboBox>(student, "Tolerance kind")->currentIndex(), 2);
    EXPECT_TRUE(named<QCheckBox>(student, "Error per unit step")->isChecked());
    EXPECT_EQ(labBox(student, "Safety factor"), "0.8");
    EXPECT_EQ(labBox(student, "Largest growth"), "5");

    const struct {
        const char* plot;
        const char* name;
    } plots[] = {
        {"Step size plot", "stiff-adaptive-runge-kutta-fehlberg-h0.1-step-size-plot"},
        {"Stability region", "stiff-stability-runge-kutta-fehlberg-h0.1-stability-region"},
        {"Convergence plot", "stiff-convergence-convergence-plot"},
    };
    for (const auto& row : plots) {
        SCOPED_TRACE(row.plot);
        const auto* plot = named<QCustomPlot>(student, row.plot);
        ASSERT_NE(plot, nullptr);
        EXPECT_EQ(plot->property("fileStem").toString().toStdString(), row.name);
    }
}

TEST_F(Lab, ALessonFileNamingNoPageOfTheLabChangesNothing) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QByteArray bytes;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
    bytes.replace("\"page\": \"Convergence\"", "\"page\": \"Sliders\"");
    bytes.replace("\"f\": \"-2*x - y\"", "\"f\": \"y\"");
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath("sliders.pelorin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QString failure;
    ASSERT_TRUE(QMetaObject::invokeMethod(lab, "openProblemFile", Q_RETURN_ARG(QString, failure),
                                          Q_ARG(QString, file.fileName())));
    EXPECT_TRUE(failure.endsWith(": its \"page\" \"Sliders\" is not a page of the lab (Convergence, "
                                 "Stability, One step, Field, Adaptive, Phase plane). Nothing was "
                                 "changed."))
        << failure.toStdString();
    EXPECT_EQ(labBox(*lab, "f(x, y)"), "-2*x - y");
}

// Every system of the Problem list is saved as it stands in the boxes and
// read back as the same texts: a lesson on a system survives its file.
TEST_F(Lab, ASystemIsSavedAndReadBackAsItsBoxesHoldIt) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    for (const pelorin::LibrarySystem& entry : pelorin::systemLibrary) {
        SCOPED_TRACE(entry.name);
        const int row = problem->findText(QString::fromUtf8(entry.name.data(),
                                                             static_cast<qsizetype>(entry.name.size())));
        ASSERT_GE(row, 0);
        problem->setCurrentIndex(row);
        emit problem->activated(row);
        QByteArray bytes;
        ASSERT_TRUE(QMetaObject::invokeMethod(lab, "problemFileBytes", Q_RETURN_ARG(QByteArray, bytes)));
        const pelorin::ProblemFileReading read =
            pelorin::readProblemFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        ASSERT_TRUE(read.problem) << read.error;
        EXPECT_EQ(read.problem->name, entry.name);
        // The lab opens on the Convergence page, where a stiff entry has a
        // range of its own.
        EXPECT_EQ(read.problem->x1, entry.pageRange.page == "Convergence" ? entry.pageRange.x1 : entry.x1);
        EXPECT_EQ(read.system, pelorin::librarySystemText(entry));
    }
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

namespace {

// The notes keep the heights they were asked for, but a longer text or a
// larger font asks anew: a kept height would cut the new lines off.
TEST_F(Lab, NotesGrowWithTheirText) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QLabel* notes = label(*lab, "Box notes");
    ASSERT_NE(notes, nullptr);
    QLineEdit* x0 = named<QLineEdit>(*lab, "x0");
    QLineEdit* y0 = named<QLineEdit>(*lab, "y0");
    type(x0, "0,5");
    QTest::keyClick(x0, Qt::Key_Return);
    const int oneNote = notes->heightForWidth(300);
    EXPECT_EQ(notes->heightForWidth(300), oneNote);
    type(y0, "abc");
    QTest::keyClick(y0, Qt::Key_Return);
    const int twoNotes = notes->heightForWidth(300);
    EXPECT_GT(twoNotes, oneNote);
    QTest::keyClick(lab, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_GT(notes->heightForWidth(300), twoNotes);
}

}  // namespace

namespace {

// Every letter a formula uses reaches the boxes as typed, key by key, also
// the letters that name a page or a button elsewhere in the lab.
TEST_F(Lab, EveryLetterTypedReachesTheBox) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    const struct {
        const char* box;
        const char* typed;
    } rows[] = {
        {"f(x, y)", "exp(-x)*y + e*sqrt(abs(y))"},
        {"exact y(x)", "exp(x) - pi*e"},
        {"x0", "1e-3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.box);
        QLineEdit* box = named<QLineEdit>(*lab, row.box);
        ASSERT_NE(box, nullptr);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, row.typed);
        EXPECT_EQ(box->text().toStdString(), row.typed);
    }
}

}  // namespace

namespace {

// At the size the lab opens with on a desktop, every page fits without the
// lab scrolling: the crowded Adaptive page scrolls within itself rather than
// push the other pages' tables out of sight.
// Every page in turn: the lab's own scroll bar never shows. `more` checks
// each page further.
void expectEveryPageFits(QWidget& lab, const std::function<void()>& more = {}) {
    QScrollArea* scroller = lab.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(scroller, nullptr);
    QTabWidget* tabs = lab.findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
        SCOPED_TRACE(tabs->tabText(page).toStdString());
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_EQ(scroller->verticalScrollBar()->maximum(), 0);
        if (more) more();
    }
}

TEST_F(Lab, PagesFitTheLabWithoutScrollingIt) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    QApplication::processEvents();
    expectEveryPageFits(*lab);
}


// What the eye cannot read whole on a page, each in a line saying where: a
// caption narrower than it needs, a legend entry, a table's header section,
// a list box or a box of a number smaller than its text
// (its font's metrics), a plot whose axes are squeezed below a few lines of
// its tick labels, or whose value labels run into each other.
QStringList cutOff(QWidget& page) {
    QStringList cut;
    for (QWidget* widget : page.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const bool caption = (label && !label->wordWrap() && !label->text().isEmpty()) || button;
        if (caption && widget->isVisible() && widget->width() < widget->minimumSizeHint().width()) {
            cut << QString("%1 \"%2\" is %3 px wide of %4").arg(widget->metaObject()->className())
                       .arg(label ? label->text() : button->text()).arg(widget->width())
                       .arg(widget->minimumSizeHint().width());
        }
    }
    const auto tell = [&cut](const QString& where, QSize needed, QSize given) {
        if (needed.width() > given.width() || needed.height() > given.height()) {
            cut << QString("%1 needs %2x%3, has %4x%5").arg(where).arg(needed.width())
                       .arg(needed.height()).arg(given.width()).arg(given.height());
        }
    };
    for (QCustomPlot* plot : page.findChildren<QCustomPlot*>()) {
        if (!plot->isVisible()) continue;
        plot->replot();
        const QString name = plot->accessibleName();
        QCPLegend* legend = plot->legend;
        for (int i = 0; legend->visible() && i < legend->itemCount(); ++i) {
            auto* entry = qobject_cast<QCPPlottableLegendItem*>(legend->item(i));
            if (!entry) continue;
            const QSize icon = legend->iconSize();
            const QRect text = QFontMetrics(entry->font()).boundingRect(
                0, 0, 0, icon.height(), Qt::TextDontClip, entry->plottable()->name());
            const QRect given = entry->rect().intersected(plot->rect());
            tell(name + " legend \"" + entry->plottable()->name() + "\"",
                 {icon.width() + legend->iconTextPadding() + text.width(),
                  std::max(icon.height(), text.height())},
                 given.size());
        }
        const QFontMetrics ticks(plot->yAxis->tickLabelFont());
        const int axesHeight = plot->axisRect()->rect().height();
        if (axesHeight < 6 * ticks.height()) {
            cut << QString("%1 axes are %2 px high, %3 px a line").arg(name).arg(axesHeight)
                       .arg(ticks.height());
        }
        QVector<double> at;
        QVector<QString> labels;
        const QCPRange range = plot->yAxis->range();
        plot->yAxis->ticker()->generate(range, plot->locale(), plot->yAxis->numberFormat().at(0),
                                        plot->yAxis->numberPrecision(), at, nullptr, &labels);
        std::vector<double> pixels;
        for (double value : at) {
            if (range.contains(value)) pixels.push_back(plot->yAxis->coordToPixel(value));
        }
        std::sort(pixels.begin(), pixels.end());
        for (std::size_t i = 1; i < pixels.size(); ++i) {
            if (pixels[i] - pixels[i - 1] < ticks.height()) {
                cut << QString("%1 y labels %2 px apart, %3 px high").arg(name)
                           .arg(pixels[i] - pixels[i - 1]).arg(ticks.height());
            }
        }
    }
    for (QTableWidget* table : page.findChildren<QTableWidget*>()) {
        if (!table->isVisible()) continue;
        for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()}) {
            if (header->isHidden()) continue;
            QFont font = header->font();
            font.setBold(header->highlightSections());
            const QFontMetrics metrics(font);
            const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            const bool across = header->orientation() == Qt::Horizontal;
            for (int section = 0; section < header->count(); ++section) {
                const QString text =
                    table->model()->headerData(section, header->orientation()).toString();
                const QSize needed = metrics.size(0, text) + QSize(margin, margin);
                const QSize given = across ? QSize(header->sectionSize(section), header->height())
                                           : QSize(header->width(), header->sectionSize(section));
                tell(table->accessibleName() + " header \"" + QString(text).replace('\n', ' ') + "\"",
                     needed, given);
            }
        }
    }
    // The boxes of numbers show a short number whole; a formula may scroll.
    for (QLineEdit* box : page.findChildren<QLineEdit*>()) {
        if (!box->isVisible() || !QStringList{"x0", "y0", "x1", "h"}.contains(box->accessibleName())) {
            continue;
        }
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        const int textMargin = 2;  // QLineEdit's own, on either side
        tell(box->accessibleName() + " box \"" + box->text() + "\"",
             {box->fontMetrics().horizontalAdvance(box->text()) + 2 * (frame + textMargin), 0},
             box->size());
    }
    for (QComboBox* list : page.findChildren<QComboBox*>()) {
        if (!list->isVisible()) continue;
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                          QStyle::SC_ComboBoxEditField, list);
        int widest = 0;
        for (int i = 0; i < list->count(); ++i) {
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
        }
        tell(list->accessibleName() + " list", {widest, list->fontMetrics().height()}, field.size());
    }
    return cut;
}

// Every page of the lab after `presses` of Ctrl+plus (ten reach the largest
// text, twice the normal): every caption, legend entry, table header and
// list box shows whole and every plot keeps axes a few lines high, the page
// scrolling instead; the plots' text and the stage labels drawn on the One
// step plot follow the text's size.
void expectEveryPageWhole(QWidget& lab, int presses) {
    const qreal normal = lab.font().pointSizeF();
    for (int i = 0; i < presses; ++i) QTest::keyClick(&lab, Qt::Key_Plus, Qt::ControlModifier);
    QApplication::processEvents();
    const qreal size = lab.font().pointSizeF();
    EXPECT_DOUBLE_EQ(size, presses > 0 ? 2 * normal : normal);
    // A method chosen after the text grew draws and labels its stages anew.
    methodBox(lab)->setCurrentIndex(3);
    QTabWidget* tabs = lab.findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        settleStudies();
        SCOPED_TRACE(tabs->tabText(page).toStdString());
        const QStringList cut = cutOff(lab);
        EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
        for (QCustomPlot* plot : tabs->currentWidget()->findChildren<QCustomPlot*>()) {
            EXPECT_DOUBLE_EQ(plot->xAxis->tickLabelFont().pointSizeF(), size);
            EXPECT_DOUBLE_EQ(plot->legend->font().pointSizeF(), size);
            for (int i = 0; i < plot->itemCount(); ++i) {
                if (auto* text = qobject_cast<QCPItemText*>(plot->item(i))) {
                    EXPECT_DOUBLE_EQ(text->font().pointSizeF(), size) << text->text().toStdString();
                }
            }
        }
    }
}

TEST_F(Lab, NormalTextCutsNothingAndKeepsPlotsReadable) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    expectEveryPageWhole(*lab, 0);
}

TEST_F(Lab, LargestTextCutsNothingAndKeepsPlotsReadable) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    const qreal normal = lab->font().pointSizeF();
    expectEveryPageWhole(*lab, 10);
    QTest::keyClick(lab, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(lab->font().pointSizeF(), normal);
}

// A multistep method's step on One step: the formula's fractions, the
// Weights table with a pair's predicted row, and an implicit formula's
// Newton iterations show whole at the lab's size, at normal and largest text.
TEST_F(Lab, OneStepOnAMultistepMethodCutsNothing) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    QTest::keyClick(lab, Qt::Key_T, Qt::AltModifier);
    for (int presses : {0, 10}) {
        for (int i = 0; i < presses; ++i) QTest::keyClick(lab, Qt::Key_Plus, Qt::ControlModifier);
        for (const char* method : {"Adams predictor-corrector 4", "BDF 4"}) {
            SCOPED_TRACE(std::string(method) + (presses ? ", largest text" : ""));
            methodBox(*lab)->setCurrentIndex(methodBox(*lab)->findText(method));
            typeStep(*lab, "0.05");
            for (int step = 1; step < 5; ++step) {
                QTest::mouseClick(named<QPushButton>(*lab, "Next step"), Qt::LeftButton);
            }
            QApplication::processEvents();
            ASSERT_TRUE(label(*lab, "Step shown")->text().endsWith("step 5 of 8"));
            const QStringList cut = cutOff(*lab);
            EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
        }
    }
}

// The two tests above in a process whose screen has two device pixels to a
// point (and so half the room in points): the scale factor is fixed when a
// process starts.
TEST_F(Lab, TwiceTheDevicePixelsCutNothing) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_SCALE_FACTOR", "2");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=Lab.*TextCutsNothingAndKeepsPlotsReadable"});
    child.waitForFinished(-1);
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
}

}  // namespace

// A system's boxes read strictly: what cannot be used is named with its box
// and character, and the last good problem stays in force, on every page.
TEST_F(Lab, ASystemsBoxesSayWhatCannotBeUsedAndKeepTheLastGoodProblem) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int row = problem->findText("Lotka-Volterra: predators and prey");
    problem->setCurrentIndex(row);
    emit problem->activated(row);
    QLabel* notes = label(*lab, "Box notes");
    const QString goingOn =
        "; the lab goes on with y1' = a*y1 - b*y1*y2; y2' = c*y1*y2 - d*y2.";
    const struct {
        const char* box;
        QString typed;
        QString note;
    } rows[] = {
        {"y1'", "y3*y1",
         "y1': \"y3\" at character 1 is not known here: a system of 2 components has y1 and y2" +
             goingOn},
        {"y2'", "", "y2': the box is empty: type a formula such as x*y1 - y2" + goingOn},
        {"Parameters", "a = 2/3, a = 1",
         "Parameters: \"a\" at character 10 is given twice: it is given first at character 1" +
             goingOn},
        {"y2(x0)", "1,5",
         "y2(x0): \"1,5\" is not a number: use a point, not a comma, for decimals; y2(x0) stays 1."},
        {"y1'", QString(1000, 'y'),
         "y1': \"" + QString(1000, 'y').left(0)},  // checked by its start below
    };
    for (const auto& typed : rows) {
        SCOPED_TRACE(typed.box);
        QLineEdit* box = nullptr;
        for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
            if (edit->accessibleName() == typed.box && edit->isVisible()) box = edit;
        }
        ASSERT_NE(box, nullptr);
        const QString before = box->text();
        box->setText(typed.typed);
        emit box->editingFinished();
        EXPECT_TRUE(notes->text().startsWith(typed.note)) << notes->text().toStdString();
        EXPECT_EQ(problem->currentText(), "Your own");
        box->setText(before);
        emit box->editingFinished();
        EXPECT_EQ(notes->text(), "");
    }

    // Six components of the longest formulas the boxes take: read, run and
    // listed, a column each. The predators' invariant, which these slopes
    // do not keep, is cleared.
    named<QSpinBox>(*lab, "Components")->setValue(6);
    named<QLineEdit>(*lab, "Invariant")->setText("");
    QString longest = "y1";
    while (longest.size() + 5 <= 1000) longest += " + y1";
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        const QString name = edit->accessibleName();
        if (name.size() == 3 && name.startsWith('y') && name.endsWith('\'')) edit->setText(longest);
        if (name.endsWith("(x0)") && name.startsWith('y')) edit->setText("1E-3");
    }
    named<QLineEdit>(*lab, "x1")->setText("0.1");
    emit named<QLineEdit>(*lab, "x1")->editingFinished();
    EXPECT_EQ(notes->text(), "");
    EXPECT_EQ(longest.size(), 997);

    // A refusal quotes the problem the lab goes on with by its start and
    // length, not its six thousand characters, so the plots stay in sight.
    QLineEdit* sixth = nullptr;
    for (QLineEdit* edit : lab->findChildren<QLineEdit*>()) {
        if (edit->accessibleName() == "y6'") sixth = edit;
    }
    ASSERT_NE(sixth, nullptr);
    sixth->setText("y7");
    emit sixth->editingFinished();
    // Six "yk' = " and 997 characters each, joined by "; ": 6028 characters.
    const QString quoted = "; the lab goes on with y1' = " + longest.left(114) + " \u2026 (6028 characters).";
    EXPECT_TRUE(notes->text().endsWith(quoted)) << notes->text().toStdString();
    EXPECT_LT(notes->text().size(), 400);
}

// A stiff library problem takes, on the Convergence page, the range its
// entry names for it, where the explicit methods' runs can converge, and
// its own range again on the others; an x1 the student typed stays.
TEST_F(Lab, AStiffLibraryProblemTakesTheConvergencePagesRange) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    QLabel* notes = label(*lab, "Box notes");
    QTest::keyClick(lab, Qt::Key_F, Qt::AltModifier);
    const int robertson = problem->findText("Robertson", Qt::MatchStartsWith);
    problem->setCurrentIndex(robertson);
    emit problem->activated(robertson);
    EXPECT_EQ(labBox(*lab, "x1"), "40");
    QTest::keyClick(lab, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(labBox(*lab, "x1"), "1");
    EXPECT_TRUE(notes->text().startsWith("x1 = 1 on the Convergence page: Over 0 to 40 every explicit run"))
        << notes->text().toStdString();
    QTest::keyClick(lab, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(labBox(*lab, "x1"), "40");
    EXPECT_EQ(notes->text(), "");

    // Chosen on the Convergence page, the entry comes with its range there.
    QTest::keyClick(lab, Qt::Key_C, Qt::AltModifier);
    const int stiff = problem->findText("Van der Pol, stiff", Qt::MatchStartsWith);
    problem->setCurrentIndex(stiff);
    emit problem->activated(stiff);
    EXPECT_EQ(labBox(*lab, "x1"), "2");
    QLineEdit* x1 = named<QLineEdit>(*lab, "x1");
    x1->setText("5");
    emit x1->editingFinished();
    EXPECT_FALSE(notes->text().contains("x1 = ")) << notes->text().toStdString();
    QTest::keyClick(lab, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(labBox(*lab, "x1"), "5");
}

// Switching the form leaves a library entry's parameters and invariant
// behind with it; a student's own stay.
TEST_F(Lab, SwitchingTheFormLeavesALibraryEntrysParametersBehind) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    QComboBox* form = named<QComboBox>(*lab, "Form");
    const int stiff = problem->findText("Van der Pol, stiff", Qt::MatchStartsWith);
    problem->setCurrentIndex(stiff);
    emit problem->activated(stiff);
    ASSERT_EQ(labBox(*lab, "Parameters"), "mu = 1000");
    const int system = form->findText("a system", Qt::MatchStartsWith);
    form->setCurrentIndex(system);
    emit form->activated(system);
    EXPECT_EQ(labBox(*lab, "Parameters"), "");
    EXPECT_EQ(labBox(*lab, "Invariant"), "");
    EXPECT_EQ(problem->currentText(), "Your own");

    named<QLineEdit>(*lab, "Parameters")->setText("c = 0.5");
    const int secondOrder = form->findText("y'' = ", Qt::MatchStartsWith);
    form->setCurrentIndex(secondOrder);
    emit form->activated(secondOrder);
    EXPECT_EQ(labBox(*lab, "Parameters"), "c = 0.5");
}

// Tab walks a system's boxes as they read, line by line: Components and
// Parameters, each component's row, the Invariant under the rows, and on
// to x0 in the row below.
TEST_F(Lab, TabReachesASystemsBoxesInTheOrderTheyRead) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* form = named<QComboBox>(*lab, "Form");
    const struct {
        const char* form;
        QStringList order;  // from the Form box on
    } rows[] = {
        {"a system",
         {"Form", "Components", "Parameters", "y1'", "y1(x0)", "exact y1(x)", "y2'", "y2(x0)",
          "exact y2(x)", "Invariant", "x0"}},
        {"y'' = ",
         {"Form", "Parameters", "y''", "y(x0)", "exact y(x)", "y'(x0)", "Invariant", "x0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.form);
        const int index = form->findText(row.form, Qt::MatchStartsWith);
        form->setCurrentIndex(index);
        emit form->activated(index);
        form->setFocus();
        QStringList order{QApplication::focusWidget()->accessibleName()};
        while (order.size() < row.order.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->accessibleName();
        }
        EXPECT_EQ(order.join(", ").toStdString(), row.order.join(", ").toStdString());
    }
}

// On request the Convergence page reads a system's errors one component at
// a time: the box offers each, and the notes say which errors are shown.
TEST_F(Lab, ASystemsConvergenceIsReadPerComponentOnRequest) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QComboBox* errorsOf = named<QComboBox>(*lab, "Errors of");
    ASSERT_NE(errorsOf, nullptr);
    EXPECT_TRUE(errorsOf->isHidden());  // one equation has no components to choose
    QComboBox* problem = named<QComboBox>(*lab, "Problem");
    const int row = problem->findText("Harmonic oscillator: y'' = -y");
    problem->setCurrentIndex(row);
    emit problem->activated(row);
    QLabel* notes = label(*lab, "Convergence notes");
    while (!notes->text().startsWith("Errors are measured in the maximum norm")) QTest::qWait(10);
    EXPECT_FALSE(errorsOf->isHidden());
    QStringList items;
    for (int i = 0; i < errorsOf->count(); ++i) items << errorsOf->itemText(i);
    EXPECT_EQ(items, QStringList({"all components (maximum norm)", "y1 alone", "y2 alone"}));
    errorsOf->setCurrentIndex(2);
    emit errorsOf->activated(2);
    EXPECT_TRUE(notes->text().startsWith(
        "Errors of y2 alone at x1, not the maximum norm of all components."))
        << notes->text().toStdString();
}

// The own multistep method's row: Start with for every multistep method,
// alpha and beta for the own one, with its verdict under them; a text that
// makes no method is refused in words and the last method stays; the lab
// still fits 1000x860 without scrolling and cuts no caption.
TEST_F(Lab, TheOwnMethodsBoxesReadStrictlyAndSayWhy) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    QLineEdit* alpha = named<QLineEdit>(*lab, "alpha");
    QLineEdit* beta = named<QLineEdit>(*lab, "beta");
    QComboBox* start = named<QComboBox>(*lab, "Start with");
    ASSERT_TRUE(alpha && beta && start);
    QApplication::processEvents();
    EXPECT_FALSE(start->isVisible());  // Euler: a one-step method has no start to choose
    methodBox(*lab)->setCurrentIndex(methodBox(*lab)->findText("BDF 3"));
    QApplication::processEvents();
    EXPECT_TRUE(start->isVisible());
    EXPECT_FALSE(alpha->isVisible());
    methodBox(*lab)->setCurrentIndex(methodBox(*lab)->findText("Own multistep method"));
    QApplication::processEvents();
    EXPECT_TRUE(alpha->isVisible());
    EXPECT_EQ(alpha->text(), "1, 4, -5");
    QLabel* notes = label(*lab, "Own method notes");
    ASSERT_NE(notes, nullptr);
    const struct {
        const char* alpha;
        const char* beta;
        const char* notes;
    } rows[] = {
        // The trapezoid rule over one step, by hand: order 2, C3 = -1/12.
        {"1, -1", "1/2, 1/2",
         "Own multistep method: order 2, error constant -1/12; zero-stable: the root of \u03c1 is "
         "1. Its runs converge as h shrinks, with the order it has."},
        {"1, -1, 0", "1/2, 1/2",
         "alpha holds 3 coefficients and beta 2: both need k + 1, one for each of the values "
         "y_{n+k} \u2026 y_n. The lab keeps the method the boxes last made.\n"
         "Own multistep method: order 2, error constant -1/12; zero-stable: the root of \u03c1 is "
         "1. Its runs converge as h shrinks, with the order it has."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.alpha);
        alpha->setText(row.alpha);
        beta->setText(row.beta);
        emit beta->editingFinished();
        QApplication::processEvents();
        EXPECT_EQ(notes->text().toStdString(), row.notes);
    }
    expectEveryPageFits(*lab, [lab] {
        const QStringList cut = cutOff(*lab);
        EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
    });
}

namespace {

// Types `text` into the shown box of that name and ends it with Enter.
void enterShown(const QWidget& lab, const QString& name, const QString& text) {
    for (QLineEdit* edit : lab.findChildren<QLineEdit*>()) {
        if (edit->accessibleName() != name || !edit->isVisible()) continue;
        edit->setFocus();
        type(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        return;
    }
    ADD_FAILURE() << "no box shown named " << name.toStdString();
}

// The items of the context menu `open` shows, read while it is open, then
// closed.
QStringList contextMenuItems(const std::function<void()>& open) {
    QStringList items;
    QMetaObject::invokeMethod(
        qApp,
        [&items] {
            QWidget* menu = QApplication::activePopupWidget();
            if (!menu) return;
            for (QAction* action : menu->actions()) items << action->text();
            menu->close();
        },
        Qt::QueuedConnection);
    open();
    return items;
}

QAction* actionNamed(const QWidget& widget, const QString& text) {
    for (QAction* action : widget.actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

}  // namespace

// The pendulum y'' = -sin y from y = 1, y' = 0 to x1 = 1 has no exact
// solution, so the Convergence page measures against the reference. Ctrl+Shift+R
// asks for a more accurate one: the notes then name Fehlberg's pair and its
// accuracy, and the action, in the plot's and the table's context menus, is
// checked. Another h keeps it; another x1 is another problem and goes back.
// A problem with an exact solution has no reference to improve.
TEST_F(Lab, CtrlShiftRMeasuresAgainstAMoreAccurateReference) {
    QWidget* lab = labOnSystem(openWithCtrlL(), "Pendulum: y'' = -sin y");
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_C, Qt::AltModifier);
    enterShown(*lab, "y(x0)", "1");
    enterShown(*lab, "x1", "1");
    settleStudies();
    QLabel* notes = label(*lab, "Convergence notes");
    ASSERT_NE(notes, nullptr);
    auto* plot = named<QCustomPlot>(*lab, "Convergence plot");
    QTableWidget* orders = table(*lab, "Orders");
    ASSERT_NE(plot, nullptr);
    ASSERT_NE(orders, nullptr);
    QAction* action = actionNamed(*plot, "More accurate reference");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(actionNamed(*orders, "More accurate reference"), action);
    EXPECT_EQ(orders->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(action->shortcut(), QKeySequence("Ctrl+Shift+R"));
    EXPECT_TRUE(action->toolTip().startsWith("Measure the errors against a reference solution by "
                                             "Fehlberg's 7(8) pair"))
        << action->toolTip().toStdString();

    const QString usual =
        "(the library Boost.Odeint's Dormand-Prince method with step-size control), accurate "
        "to about 3.61E-12 of the solution's size.";
    const QString higher =
        "(Fehlberg's embedded 7(8) pair, the library Boost.Odeint's runge_kutta_fehlberg78, "
        "with step-size control), accurate to about 3.00E-15 of the solution's size.";
    const struct {
        const char* name;
        std::function<void()> act;
        bool enabled, checked;
        QString sentence;
    } steps[] = {
        {"the usual reference", [] {}, true, false, usual},
        {"Ctrl+Shift+R",
         [plot] {
             plot->setFocus();
             QTest::keyClick(plot, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
         },
         true, true, higher},
        {"another h", [lab] { typeStep(*lab, "0.2"); }, true, true, higher},
        {"another x1", [lab] { enterShown(*lab, "x1", "0.5"); }, true, false,
         usual.left(usual.indexOf("accurate"))},
        {"an exact solution",
         [lab] { labOnSystem(lab, "Harmonic oscillator: y'' = -y"); }, false, false,
         "Errors are measured in the maximum norm"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        settleStudies();
        EXPECT_EQ(action->isEnabled(), step.enabled);
        EXPECT_EQ(action->isChecked(), step.checked);
        EXPECT_TRUE(notes->text().contains(step.sentence)) << notes->text().toStdString();
    }
    EXPECT_FALSE(notes->text().contains("reference solution")) << notes->text().toStdString();
    // Both context menus offer it, from the keyboard too.
    const QStringList plotMenu = contextMenuItems([plot] {
        plot->setFocus();
        QTest::keyClick(plot, Qt::Key_F10, Qt::ShiftModifier);
    });
    EXPECT_TRUE(plotMenu.contains("More accurate reference")) << plotMenu.join(", ").toStdString();
    const QStringList tableMenu = contextMenuItems([orders] {
        const QPoint centre = orders->rect().center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, centre, orders->mapToGlobal(centre));
        QApplication::sendEvent(orders, &menuKey);
    });
    EXPECT_EQ(tableMenu, QStringList{"More accurate reference"});
}
