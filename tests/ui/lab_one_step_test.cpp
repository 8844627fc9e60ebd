// The Method lab's One step page as a student checking a step by hand meets
// it: it walks the lab's own run (the lab's problem, method and h), the notes
// name each step's points by their index, the Stages table lists every stage
// with the numbers the results list writes, the plot names the stage points,
// and a run without a step, or one that stopped, is explained. The lab is the
// program's loaded plugin, seen here through Qt's and QCustomPlot's classes,
// accessible names and object names only.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <string>
#include <vector>

namespace {

class OneStep : public pelorin::testing::LabWindowTest {
protected:
    void SetUp() override {
        LabWindowTest::SetUp();
        openLab(Qt::Key_T);
    }

    // Types the lab's boxes, each ended with Enter as a student ends it, and
    // chooses the lab's method; an f of nullptr leaves the equation as it is.
    // A typed equation's run comes from the lab's threads: it is waited for.
    void run(const char* x0, const char* y0, const char* x1, const char* h,
             const char* method = "Runge-Kutta 4", const char* f = nullptr) {
        if (f) enter("f(x, y)", f);
        for (const auto& [name, text] : {std::pair{"x0", x0}, {"y0", y0}, {"x1", x1}, {"h", h}}) {
            enter(name, text);
        }
        QComboBox* methods = named<QComboBox>("Method");
        ASSERT_GE(methods->findText(method), 0) << method;
        methods->setCurrentIndex(methods->findText(method));
        waitForTheRun();
    }

    // A problem of the lab's Problem list, chosen as a student chooses it,
    // once its run has come.
    void chooseProblem(const char* name) {
        QComboBox* problem = named<QComboBox>("Problem");
        const int row = problem->findText(name);
        ASSERT_GE(row, 0) << name;
        problem->setCurrentIndex(row);
        emit problem->activated(row);
        waitForTheRun();
    }

    QString notes() const { return label("Step notes")->text(); }
    // Until the page's run has come from the lab's threads, and the
    // reference over its first step, where one is drawn.
    void waitForTheRun() const {
        QApplication::processEvents();
        while (notes().startsWith("Calculating")) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        pelorin::testing::settleStudies();
    }
    QCustomPlot* plot() const { return named<QCustomPlot>("Stages of the step"); }
    // Walks on, each step drawn with its reference where one is drawn.
    void next(int times) {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(named<QPushButton>("Next step"), Qt::LeftButton);
            pelorin::testing::settleStudies();
        }
    }
    QLabel* captionOf(const QWidget* table) const {
        for (QLabel* label : lab->findChildren<QLabel*>()) {
            if (label->buddy() == table) return label;
        }
        return nullptr;
    }
};

// The texts of a table as a student reads them: the header, then every row.
std::vector<std::vector<QString>> cells(const QTableWidget& table) {
    std::vector<std::vector<QString>> rows(1);
    for (int column = 0; column < table.columnCount(); ++column) {
        rows[0].push_back(table.horizontalHeaderItem(column)->text());
    }
    for (int row = 0; row < table.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem* cell = table.item(row, column);
            rows.back().push_back(cell ? cell->text() : QString());
        }
    }
    return rows;
}

QCPGraph* graphNamed(QCustomPlot& plot, const QString& name) {
    for (int i = 0; i < plot.graphCount(); ++i) {
        if (plot.graph(i)->name() == name) return plot.graph(i);
    }
    return nullptr;
}

// The plot rendered as it is now, and the colour of its pixel at the plot
// coordinates (x, y).
struct Rendered {
    QCustomPlot& plot;
    QImage image;
    explicit Rendered(QCustomPlot& shown) : plot(shown) {
        plot.replot();
        image = plot.toPixmap().toImage();
    }
    QColor at(double x, double y) const {
        const double ratio = image.devicePixelRatio();
        return image.pixelColor(int(plot.xAxis->coordToPixel(x) * ratio),
                                int(plot.yAxis->coordToPixel(y) * ratio));
    }
};

std::vector<QCPItemText*> labels(QCustomPlot& plot) {
    std::vector<QCPItemText*> texts;
    for (int i = 0; i < plot.itemCount(); ++i) {
        if (auto* text = qobject_cast<QCPItemText*>(plot.item(i))) texts.push_back(text);
    }
    return texts;
}

QRectF pixelRect(const QCPItemText& label) {
    return QRectF(label.topLeft->pixelPosition(), label.bottomRight->pixelPosition());
}

// The run of RK4 from (0, -1) with h = 0.25, worked out in python3 in the
// method's own operation order: step 4 starts at (0.75, -0.917142295395024),
// as the main window's list has it.
TEST_F(OneStep, EveryStepNamesItsPointsByTheirIndex) {
    run("0", "-1", "1", "0.25");
    EXPECT_EQ(notes(), "Step 1 of 4 from x0 = 0, y0 = -1 with h = 0.25: y1 = -0.83642578125.");
    next(3);
    EXPECT_EQ(notes(), "Step 4 of 4 from x3 = 0.75, y3 = -0.917142295395024 with h = 0.25: "
                       "y4 = -1.10368259822025.");
}

TEST_F(OneStep, TheTableauSpeaksOfAnErrorEstimateOnlyWhereThereIsOne) {
    const struct {
        const char* method;
        bool estimate;
    } rows[] = {{"Euler", false},
                {"Runge-Kutta 4", false},
                {"Runge-Kutta-Fehlberg", true},
                {"Runge-Kutta-Merson", true},
                {"Runge-Kutta-Gill", false}};
    auto* tableau = named<QTableWidget>("Tableau");
    ASSERT_NE(tableau, nullptr);
    QLabel* caption = captionOf(tableau);
    ASSERT_NE(caption, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        run("0", "-1", "0.4", "0.4", row.method);
        EXPECT_EQ(caption->text().contains("error estimate"), row.estimate)
            << caption->text().toStdString();
        EXPECT_EQ(tableau->verticalHeaderItem(tableau->rowCount() - 1)->text(),
                  row.estimate ? "e" : "b");
    }
}

// A run without a step, or one that stopped, says so. RK4 on y' = 1/x from
// (-0.5, 0) with h = 0.25 (in python3, the method's operation order): step 1
// gives -0.694444444444444, step 2 samples the slope at x = 0 and stops. A
// run towards a smaller x1 steps backwards: from (1, -1) with h = -0.25, y1 =
// -0.784016927083333.
TEST_F(OneStep, ARunWithoutStepsOrThatStoppedIsExplained) {
    const struct {
        const char* name;
        const char* f;
        const char* x0;
        const char* y0;
        const char* x1;
        std::vector<QString> notes;
    } rows[] = {
        {"x1 = x0", "-2*x - y", "0", "-1", "0", {"x1 = x0: the run has no step to show."}},
        {"x1 below x0: backwards",
         "-2*x - y",
         "1",
         "-1",
         "0",
         {"Step 1 of 4 from x0 = 1, y0 = -1 with h = -0.25: y1 = -0.784016927083333."}},
        {"the slope is infinite on step 2",
         "1/x",
         "-0.5",
         "0",
         "1",
         {"Step 1 of 1 from x0 = -0.5, y0 = 0 with h = 0.25: y1 = -0.694444444444444.",
          "Runge-Kutta 4, h = 0.25: step 2 from (-0.25, -0.694444444444444) gives no finite "
          "value (f is not finite on the step, or the numbers grew too large to calculate "
          "with); the run stops there."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        run(row.x0, row.y0, row.x1, "0.25", "Runge-Kutta 4", row.f);
        EXPECT_EQ(notes().split("\n"), QStringList(row.notes.begin(), row.notes.end()));
    }
}

// The step shown is the lab's: its method box, not the main window's option.
TEST_F(OneStep, TheLabsMethodIsTheOneStepped) {
    run("0", "-1", "1", "0.25", "Runge-Kutta-Merson");
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta-Merson: step 1 of 4");
    EXPECT_EQ(named<QTableWidget>("Stages")->rowCount(), 6);
}

// The worked example's first step with RK4 (x0 = 0, y0 = -1, h = 0.4), worked
// out in python3 in stepByStages' operation order: 15 significant digits, so
// that the step's y1 reads as the results list's "0.4    -0.8112".
TEST_F(OneStep, TheStagesTableListsTheStepToCheckByHand) {
    run("0", "-1", "0.4", "0.4");
    auto* stages = named<QTableWidget>("Stages");
    ASSERT_NE(stages, nullptr);
    const std::vector<std::vector<QString>> expected{
        {"j", "x + c\u2c7c\u00b7h", "Y\u2c7c", "f(x + c\u2c7c\u00b7h, Y\u2c7c)", "k\u2c7c = h\u00b7f"},
        {"1", "0", "-1", "1", "0.4"},
        {"2", "0.2", "-0.8", "0.4", "0.16"},
        {"3", "0.2", "-0.92", "0.52", "0.208"},
        {"4", "0.4", "-0.792", "-0.00800000000000001", "-0.0032"},
        {"y1 = y0 + \u03a3 b\u2c7ck\u2c7c", "0.4", "-0.8112", "", "0.1888"}};
    ASSERT_EQ(stages->rowCount(), 5);
    ASSERT_EQ(stages->columnCount(), 5);
    for (int column = 0; column < 5; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(stages->horizontalHeaderItem(column)->text(), expected[0][static_cast<std::size_t>(column)]);
        for (int row = 0; row < 5; ++row) {
            SCOPED_TRACE(row);
            const QTableWidgetItem* cell = stages->item(row, column);
            EXPECT_EQ(cell ? cell->text() : QString(),
                      expected[static_cast<std::size_t>(row) + 1][static_cast<std::size_t>(column)]);
        }
    }
    // Its caption's mnemonic takes the keyboard to it.
    ASSERT_NE(captionOf(stages), nullptr);
    EXPECT_TRUE(captionOf(stages)->text().startsWith("Sta&ges"));
    QTest::keyClick(lab, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), stages);
}

// The Tableau and the Stages are read as a block of numbers: their rows are
// lower than the styled rows of the lab's other tables, yet hold a line of
// text whole, and grow with the text.
TEST_F(OneStep, TheTableauAndStagesKeepCompactRows) {
    const int styled = named<QTableWidget>("Orders")->verticalHeader()->defaultSectionSize();
    const std::vector<std::string> names{"Tableau", "Stages"};
    std::vector<int> before;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const QHeaderView& rows = *named<QTableWidget>(name.c_str())->verticalHeader();
        EXPECT_LT(rows.defaultSectionSize(), styled);
        EXPECT_GE(rows.defaultSectionSize(), rows.fontMetrics().height());
        before.push_back(rows.defaultSectionSize());
    }
    QFont larger = lab->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.5);
    lab->setFont(larger);
    QApplication::processEvents();
    for (std::size_t table = 0; table < names.size(); ++table) {
        SCOPED_TRACE(names[table] + ", text grown");
        const QHeaderView& rows = *named<QTableWidget>(names[table].c_str())->verticalHeader();
        EXPECT_GT(rows.defaultSectionSize(), before[table]);
        EXPECT_GE(rows.defaultSectionSize(), rows.fontMetrics().height());
    }
}

// Stage points named k1, k2, ... beside them: RK4's k2 and k3 share an
// abscissa, as Merson's do, and their labels stay apart. Every label lies wholly inside
// the axes with a corner at its point, and hides no other point.
TEST_F(OneStep, StagePointsAreNamedWithLabelsThatNeverMeet) {
    const struct {
        const char* method;
        const char* x1;
        const char* h;
        std::vector<QString> texts;
    } rows[] = {
        {"Runge-Kutta 4", "1", "0.25", {"k1", "k2", "k3", "k4"}},
        {"Runge-Kutta-Merson", "0.5", "0.25", {"k1", "k2", "k3", "k4", "k5"}},
        {"Runge-Kutta-Fehlberg", "0.5", "0.1", {"k1", "k2", "k3", "k4", "k5", "k6"}},
        {"Runge-Kutta-Gill", "0.4", "0.4", {"k1", "k2", "k3", "k4"}},
        {"Euler (End points)", "0.4", "0.4", {"k1", "k2"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " h = " + row.h);
        run("0", "-1", row.x1, row.h, row.method);
        QCustomPlot* stagePlot = plot();
        ASSERT_NE(stagePlot, nullptr);
        stagePlot->replot();
        const std::vector<QCPItemText*> texts = labels(*stagePlot);
        ASSERT_EQ(texts.size(), row.texts.size());
        const QRectF axes = stagePlot->axisRect()->rect();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(texts[i]->text(), row.texts[i]);
            const QRectF rect = pixelRect(*texts[i]);
            EXPECT_TRUE(axes.contains(rect)) << "clipped by the axes";
            const QPointF point = texts[i]->position->pixelPosition();
            const double reach = std::min(std::abs(point.x() - rect.left()),
                                          std::abs(point.x() - rect.right())) +
                                 std::min(std::abs(point.y() - rect.top()),
                                          std::abs(point.y() - rect.bottom()));
            EXPECT_LE(reach, 1.0) << "a corner of the label sits at its point";
            EXPECT_FALSE(rect.adjusted(1, 1, -1, -1).contains(point)) << "the label hides its point";
            for (std::size_t other = 0; other < texts.size(); ++other) {
                if (other == i) continue;
                EXPECT_FALSE(rect.intersects(pixelRect(*texts[other])))
                    << texts[i]->text().toStdString() << " meets "
                    << texts[other]->text().toStdString();
                EXPECT_FALSE(rect.contains(texts[other]->position->pixelPosition()))
                    << texts[i]->text().toStdString() << " hides the point of "
                    << texts[other]->text().toStdString();
            }
        }
    }
}

// What is drawn: in the rendered plot each label's box holds text in the
// palette's text colour, on a light desktop and on a dark one.
TEST_F(OneStep, StageLabelsAreDrawnInThePalettesTextColour) {
    const QPalette light = QApplication::palette();
    const QPalette dark = pelorin::testing::darkPalette(light);
    for (const QPalette& palette : {light, dark}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        run("0", "-1", "1", "0.25");
        QCustomPlot* stagePlot = plot();
        ASSERT_NE(stagePlot, nullptr);
        stagePlot->replot();
        const QImage image =
            stagePlot->toPixmap(stagePlot->width(), stagePlot->height(), 1.0).toImage();
        const QColor text = palette.color(QPalette::Text), ground = palette.color(QPalette::Base);
        const std::vector<QCPItemText*> texts = labels(*stagePlot);
        ASSERT_EQ(texts.size(), 4u);
        for (QCPItemText* label : texts) {
            SCOPED_TRACE(label->text().toStdString());
            const QRect box = pixelRect(*label).toAlignedRect().intersected(image.rect());
            int inTextColour = 0;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QColor pixel(image.pixel(x, y));
                    // Nearer the text's colour than the ground's: a glyph's
                    // core, whatever its smoothing.
                    if (std::abs(pixel.lightness() - text.lightness()) <
                        std::abs(pixel.lightness() - ground.lightness()) / 2) {
                        ++inTextColour;
                    }
                }
            }
            EXPECT_GT(inTextColour, 10);
        }
    }
    QApplication::setPalette(light);
}

}  // namespace

// y' = y², y(0) = 1 ends at x = 1; Runge-Kutta 4 with h = 0.1 steps on over
// the end. The steps before it say nothing of an end, the steps past it say
// they follow no solution; the Stability page's run plot spans the y of
// the points before the end (1 to 1/(1 - 0.9) = 10, where the run has 9.93),
// not the 4.85E+172 the run reaches at 1.2.
TEST_F(OneStep, StepsPastTheEndOfTheSolutionSaySo) {
    run("0", "1", "2", "0.1", "Runge-Kutta 4", "y^2");
    const QString end = "The solution does not continue past x \u2248 1: |y| grows without "
                        "bound as x nears it. Steps past x \u2248 1 follow no solution.";
    next(8);
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 9 of 12");
    EXPECT_FALSE(notes().contains(end)) << notes().toStdString();
    next(1);
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 10 of 12");
    EXPECT_TRUE(notes().contains(end)) << notes().toStdString();

    QTest::keyClick(lab, Qt::Key_S, Qt::AltModifier);
    QApplication::processEvents();
    const QCPRange y = named<QCustomPlot>("Run with the chosen h")->yAxis->range();
    EXPECT_LT(y.upper, 12);
    EXPECT_GT(y.upper, 10);
    EXPECT_TRUE(label("Stability notes")->text().contains(
        "The run's points past x \u2248 1 follow no solution. The plot is fitted to the points "
        "before it."));
}

// Backwards from (0, 1) to x1 = -1 on y' = y² without an exact solution:
// the reference drawn over each step is 1/(1 - x) there, found in the
// step's own direction (0.8 at x = -0.25, 0.5 at x = -1). It is computed
// off the window's thread: the step walked to shows at once, its reference
// when it comes.
TEST_F(OneStep, BackwardsTheReferenceIsDrawnOverEachStep) {
    run("0", "1", "-1", "0.25", "Runge-Kutta 4", "y^2");
    for (int step = 1; step <= 4; ++step) {
        SCOPED_TRACE(step);
        if (step > 1) {
            QTest::mouseClick(named<QPushButton>("Next step"), Qt::LeftButton);
            EXPECT_EQ(label("Step shown")->text(),
                      QString("Runge-Kutta 4: step %1 of 4").arg(step));
            ASSERT_NE(graphNamed(*plot(), "reference"), nullptr);
            EXPECT_EQ(graphNamed(*plot(), "reference")->dataCount(), 0);
            pelorin::testing::settleStudies();
        }
        QCPGraph* reference = graphNamed(*plot(), "reference");
        ASSERT_NE(reference, nullptr);
        ASSERT_GT(reference->dataCount(), 10);
        for (auto point = reference->data()->constBegin(); point != reference->data()->constEnd();
             ++point) {
            EXPECT_NEAR(point->value, 1 / (1 - point->key), 1e-12) << point->key;
        }
        EXPECT_DOUBLE_EQ(reference->data()->constBegin()->key, -0.25 * step);
        EXPECT_DOUBLE_EQ((reference->data()->constEnd() - 1)->key, -0.25 * (step - 1));
    }
}

// A system's stages are vectors: Runge-Kutta 4's first step on the harmonic
// oscillator from (1, 0) with h = 0.5 lists every component of Y_j, F and
// k_j, as tests/support/system_values.py works them out in exact arithmetic
// (the step's y1 as the method's double rounds it); the plot shows the step
// in the phase plane (y1, y2).
TEST_F(OneStep, ASystemsStagesListEveryComponent) {
    chooseProblem("Harmonic oscillator: y'' = -y");
    run("0", "1", "1", "0.5");
    EXPECT_TRUE(named<QTabWidget>("Lab pages")->isTabEnabled(2));
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 1 of 2");
    auto* stages = named<QTableWidget>("Stages");
    ASSERT_NE(stages, nullptr);
    const std::vector<std::vector<QString>> expected{
        {"j", "x + c\u2c7c\u00b7h", "Y\u2c7c,1", "Y\u2c7c,2", "F1(x + c\u2c7c\u00b7h, Y\u2c7c)",
         "F2(x + c\u2c7c\u00b7h, Y\u2c7c)", "k\u2c7c,1 = h\u00b7F1", "k\u2c7c,2 = h\u00b7F2"},
        {"1", "0", "1", "0", "0", "-1", "0", "-0.5"},
        {"2", "0.25", "1", "-0.25", "-0.25", "-1", "-0.125", "-0.5"},
        {"3", "0.25", "0.9375", "-0.25", "-0.25", "-0.9375", "-0.125", "-0.46875"},
        {"4", "0.5", "0.875", "-0.46875", "-0.46875", "-0.875", "-0.234375", "-0.4375"},
        {"step 1: y + \u03a3 b\u2c7ck\u2c7c", "0.5", "0.877604166666667", "-0.479166666666667", "",
         "", "-0.122395833333333", "-0.479166666666667"}};
    EXPECT_EQ(cells(*stages), expected);
    EXPECT_EQ(notes(), "Step 1 of 2 from x0 = 0, (y1, y2) = (1, 0) with h = 0.5: at x1 = 0.5, "
                       "(y1, y2) = (0.877604166666667, -0.479166666666667).");
    EXPECT_EQ(plot()->xAxis->label(), "y1");
    EXPECT_EQ(plot()->yAxis->label(), "y2");
    EXPECT_EQ(labels(*plot()).size(), 4u);
    keepPicture("one_step_system_runge_kutta_4");

    // Back to a single equation, the page is the one it was.
    chooseProblem("Lesson: y' = -2x - y");
    run("0", "-1", "0.4", "0.4");
    EXPECT_EQ(cells(*stages)[0].size(), 5u);
    EXPECT_EQ(cells(*stages)[4][2], "-0.792");
    EXPECT_EQ(plot()->xAxis->label(), "x");
    EXPECT_EQ(plot()->yAxis->label(), "y");
    EXPECT_TRUE(captionOf(stages)->text().endsWith("(x, y: where the step starts)"));
}

// What is drawn: the step's end is a square of its legend entry's colour at
// (y1, y2) = (0.877604166666667, -0.479166666666667), where RK4's first step
// on the oscillator ends, on a light desktop and on a dark one; the step's
// start (1, 0) is a ring, not that square.
TEST_F(OneStep, ASystemsStepEndsWhereItsY1AndY2Are) {
    const QPalette light = QApplication::palette();
    const QPalette dark = pelorin::testing::darkPalette(light);
    chooseProblem("Harmonic oscillator: y'' = -y");
    for (const QPalette& palette : {light, dark}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        run("0", "1", "1", "0.5");
        QCustomPlot* stagePlot = plot();
        ASSERT_NE(stagePlot, nullptr);
        stagePlot->replot();
        QCPGraph* end = graphNamed(*stagePlot, "the step's end, y + \u03a3 b\u2c7ck\u2c7c");
        ASSERT_NE(end, nullptr);
        const QColor square = end->scatterStyle().brush().color();
        const QImage image =
            stagePlot->toPixmap(stagePlot->width(), stagePlot->height(), 1.0).toImage();
        // The share of a 7 by 7 box about the point (y1, y2) in the square's colour.
        const auto squareShare = [&](double y1, double y2) {
            const int cx = qRound(stagePlot->xAxis->coordToPixel(y1));
            const int cy = qRound(stagePlot->yAxis->coordToPixel(y2));
            int inColour = 0;
            for (int y = cy - 3; y <= cy + 3; ++y) {
                for (int x = cx - 3; x <= cx + 3; ++x) {
                    const QColor pixel(image.pixel(x, y));
                    if (std::abs(pixel.red() - square.red()) +
                            std::abs(pixel.green() - square.green()) +
                            std::abs(pixel.blue() - square.blue()) <
                        30) {
                        ++inColour;
                    }
                }
            }
            return inColour / 49.0;
        };
        EXPECT_GT(squareShare(0.877604166666667, -0.479166666666667), 0.9);
        EXPECT_LT(squareShare(1, 0), 0.5);
    }
    QApplication::setPalette(light);
}

// Backward Euler's first step on y' = 5·e^(5x)·(y - x)² + 1 from (0, -1) with
// h = 0.2, typed in the operation order of tests/support/newton_iterates.py,
// which iterates it in Python's floats: the Newton iterations table lists
// every iterate with its rate θ, the three with the one Jacobian at (0, -1)
// and then the second start with the Jacobian at every iterate; its
// caption's mnemonic takes the keyboard to it, and an explicit method,
// which has no iterations, shows neither table nor caption.
TEST_F(OneStep, AnImplicitStepListsItsNewtonIterations) {
    run("0", "-1", "1", "0.2", "Backward Euler", "5*exp(5*x)*(y-x)*(y-x)+1");
    auto* newton = named<QTableWidget>("Newton iterations");
    ASSERT_NE(newton, nullptr);
    ASSERT_TRUE(newton->isVisible());
    const auto table = cells(*newton);
    ASSERT_EQ(table.size(), 11u);
    EXPECT_EQ(table[0],
              (std::vector<QString>{"iteration", "residual", "update", "\u03b8", "Y\u2081"}));
    EXPECT_EQ(table[1], (std::vector<QString>{"0 (start)", "2.06E+01", "", "", "-1"}));
    EXPECT_EQ(table[3],
              (std::vector<QString>{"2", "3.53E+00", "1.82E+00", "2.65E-01", "0.0075935177099018"}));
    EXPECT_EQ(table[4], (std::vector<QString>{"0 (start)", "2.06E+01", "", "", "-1"}));
    EXPECT_EQ(table[5], (std::vector<QString>{"1", "4.06E+00", "2.73E+00", "", "-0.45316408448136"}));
    EXPECT_EQ(table[10], (std::vector<QString>{"6", "1.78E-15", "1.12E-13", "1.33E-07",
                                               "-0.249868816734971"}));
    ASSERT_NE(captionOf(newton), nullptr);
    EXPECT_TRUE(captionOf(newton)->text().startsWith("Ne&wton iterations"));
    QTest::keyClick(lab, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), newton);

    run("0", "-1", "1", "0.2", "Runge-Kutta 4");
    EXPECT_FALSE(newton->isVisible());
    EXPECT_FALSE(captionOf(newton)->isVisible());
}

// The same step drawn: each iterate's stage point (0.2, Y) of the Newton
// table is a disc in the method's colour, paler the earlier the iterate, so
// the first update's is palest (the start's lies under the second start's)
// and the converged stage point the full colour, on a light desktop and on
// a dark one.
TEST_F(OneStep, EachNewtonIterateIsDrawnWhereTheTableSays) {
    const QPalette light = QApplication::palette();
    for (const QPalette& palette : {light, pelorin::testing::darkPalette(light)}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        run("0", "-1", "1", "0.2", "Backward Euler", "5*exp(5*x)*(y-x)*(y-x)+1");
        QCustomPlot* stagePlot = plot();
        stagePlot->replot();
        const QImage image =
            stagePlot->toPixmap(stagePlot->width(), stagePlot->height(), 1.0).toImage();
        const QColor ground = palette.color(QPalette::Base);
        auto* newton = named<QTableWidget>("Newton iterations");
        // How far the pixel at iterate `row`'s point lies from the ground.
        const auto strength = [&](int row) {
            const double Y = newton->item(row, 4)->text().toDouble();
            const QColor pixel(image.pixel(qRound(stagePlot->xAxis->coordToPixel(0.2)),
                                           qRound(stagePlot->yAxis->coordToPixel(Y))));
            return std::abs(pixel.red() - ground.red()) + std::abs(pixel.green() - ground.green()) +
                   std::abs(pixel.blue() - ground.blue());
        };
        const int first = strength(1), later = strength(2), last = strength(newton->rowCount() - 1);
        EXPECT_GT(first, 30);
        EXPECT_LT(first, later);
        EXPECT_LT(later, last);
    }
    QApplication::setPalette(light);
}

// A library system with Gauss-Legendre 4: the table has a column for every
// component of each of the two stages.
TEST_F(OneStep, ASystemsNewtonIterationsListEveryComponentOfEveryStage) {
    chooseProblem("Harmonic oscillator: y'' = -y");
    run("0", "1", "1", "0.5", "Gauss-Legendre 4");
    auto* newton = named<QTableWidget>("Newton iterations");
    ASSERT_TRUE(newton->isVisible());
    EXPECT_EQ(cells(*newton)[0],
              (std::vector<QString>{"iteration", "residual", "update", "\u03b8", "Y\u2081,1",
                                    "Y\u2081,2", "Y\u2082,1", "Y\u2082,2"}));
    EXPECT_EQ(cells(*newton)[1],
              (std::vector<QString>{"0 (start)", "1.00E+00", "", "", "1", "0", "1", "0"}));
    keepPicture("one_step_system_gauss_legendre_4");
}

// At the size the lab opens with, the page with an implicit method's Newton
// iterations still fits without the lab scrolling, on the stiff equation and
// on the stiff library systems.
TEST_F(OneStep, NewtonIterationsFitTheLabWithoutScrollingIt) {
    lab->resize(1000, 860);
    QScrollArea* scroller = lab->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(scroller, nullptr);
    for (const char* problem : {"Stiff: y' = -50(y - cos x)", "Van der Pol, stiff: \u03bc = 1000",
                                "Robertson: stiff kinetics"}) {
        chooseProblem(problem);
        for (const char* method : {"Runge-Kutta 4", "Backward Euler", "Gauss-Legendre 4"}) {
            SCOPED_TRACE(std::string(problem) + ", " + method);
            QComboBox* methods = named<QComboBox>("Method");
            methods->setCurrentIndex(methods->findText(method));
            waitForTheRun();
            EXPECT_EQ(scroller->verticalScrollBar()->maximum(), 0);
        }
    }
}

// Backward Euler on y' = y² from (0, 1) with h = 0.1: each step's equation
// y1 = y0 + h·y1² has the root (1 - √(1 - 4·h·y0))/(2h) near y0, by mpmath
// at 30 digits y5 = 2.5151220372568622, and none for step 6, where
// 1 - 4·h·y5 = -0.006 < 0: step 6 has no value. The walk
// ends on it, and the page says so in words where the numbers would be;
// the plot keeps the wandering iterates and names no stage point.
TEST_F(OneStep, AStepWithoutAValueIsShownInWords) {
    run("0", "1", "2", "0.1", "Backward Euler", "y^2");
    next(5);
    EXPECT_EQ(label("Step shown")->text(), "Backward Euler: step 6 of 6");
    EXPECT_FALSE(named<QPushButton>("Next step")->isEnabled());
    const auto stages = cells(*named<QTableWidget>("Stages"));
    ASSERT_EQ(stages.size(), 3u);
    EXPECT_EQ(stages[1], (std::vector<QString>{"1", "0.6", "no value", "no value", "no value"}));
    EXPECT_TRUE(notes().startsWith("Step 6 of 6 from x5 = 0.5, y5 = 2.51512203725686 with "
                                   "h = 0.1: y6 has no value.\n"))
        << notes().toStdString();
    EXPECT_TRUE(notes().contains("Backward Euler, h = 0.1: step 6 has no value. Newton's method "
                                 "did not converge in the step from x = 0.5: "));
    // Three iterates with the step's one Jacobian (the second update shrinks
    // by θ = 0.256 only, too slowly), then the start and twenty iterations
    // with the Jacobian at every iterate.
    EXPECT_EQ(named<QTableWidget>("Newton iterations")->rowCount(), 3 + 21);
    EXPECT_EQ(graphNamed(*plot(), "stage points k\u2c7c with their slopes"), nullptr);
    EXPECT_EQ(graphNamed(*plot(), "the step's increment"), nullptr);
    EXPECT_NE(graphNamed(*plot(), "Newton iterates, paler the earlier"), nullptr);
    EXPECT_TRUE(labels(*plot()).empty());
}

// A multistep method's first values come from its start, and its steps from
// the points before: the plot marks those points where the run has them, the
// Weights table lists them, and a wrong picture (no marker, or one beside
// its point) shows in the rendered pixels.
TEST_F(OneStep, AMultistepStepMarksThePointsItWeighs) {
    lab->resize(1000, 860);
    run("0", "-1", "1", "0.25", "Adams-Bashforth 3");
    EXPECT_EQ(label("Step shown")->text(), "Adams-Bashforth 3: step 1 of 4");
    EXPECT_TRUE(notes().startsWith("Step 1 of 4 is a starting value from Runge-Kutta 4: "
                                   "y1 = -0.83642578125. Adams-Bashforth 3 weighs the 3 values "
                                   "before a step, which the run has from step 3 on."))
        << notes().toStdString();
    ASSERT_NE(named<QTableWidget>("Stages"), nullptr);
    next(2);
    EXPECT_EQ(label("Step shown")->text(), "Adams-Bashforth 3: step 3 of 4");
    const QTableWidget* weights = named<QTableWidget>("Weights");
    ASSERT_NE(weights, nullptr);
    const std::vector<std::vector<QString>> rows = cells(*weights);
    ASSERT_EQ(rows.size(), 5u);  // the header, x0 … x2 and the new point
    EXPECT_EQ(rows[1][0], "0");
    EXPECT_EQ(rows[1][2], "-1");
    EXPECT_EQ(rows[4][0], "3");

    QCustomPlot& shown = *plot();
    QCPGraph* past = graphNamed(shown, "past points with their slopes");
    QCPGraph* next = graphNamed(shown, "the new value");
    ASSERT_TRUE(past && next);
    ASSERT_EQ(past->data()->size(), 3);
    const Rendered rendered(shown);
    const QColor marker = past->scatterStyle().brush().color();
    for (auto point = past->data()->constBegin(); point != past->data()->constEnd(); ++point) {
        SCOPED_TRACE(point->key);
        EXPECT_EQ(rendered.at(point->key, point->value), marker);
        // Half a step to the right, between the points, no marker.
        EXPECT_NE(rendered.at(point->key + 0.125, point->value), marker);
    }
    const QCPGraphData end = *next->data()->constBegin();
    EXPECT_EQ(end.key, 0.75);
    EXPECT_EQ(rendered.at(end.key, end.value), next->scatterStyle().brush().color());
    keepPicture("one_step_adams_bashforth_3");
}

// A system's multistep step as on one equation, a column for every
// component: Adams-Bashforth 2 and BDF 2 on the harmonic oscillator from
// (1, 0) with h = 0.3, started with Runge-Kutta 4, as
// tests/support/multistep_system_weights.py works them out in exact
// arithmetic. Step 1 is the start's step, its stages; step 2 weighs x0 and
// x1; BDF 2 solves for its new value by Newton's method, component by
// component. The phase plane marks the past points and the new value.
TEST_F(OneStep, ASystemsMultistepStepListsEveryComponent) {
    lab->resize(1000, 860);
    chooseProblem("Harmonic oscillator: y'' = -y");
    run("0", "1", "3", "0.3", "Adams-Bashforth 2");
    EXPECT_EQ(label("Step shown")->text(), "Adams-Bashforth 2: step 1 of 10");
    EXPECT_TRUE(notes().startsWith(
        "Step 1 of 10 is a starting value from Runge-Kutta 4: at x1, (y1, y2) = (0.9553375, "
        "-0.2955). Adams-Bashforth 2 weighs the 2 values before a step, which the run has from "
        "step 2 on.\nStep 1 of 10 from x0 = 0, (y1, y2) = (1, 0) with h = 0.3: at x1 = 0.3, "
        "(y1, y2) = (0.9553375, -0.2955)."))
        << notes().toStdString();
    ASSERT_NE(named<QTableWidget>("Stages"), nullptr);
    next(1);
    EXPECT_EQ(label("Step shown")->text(), "Adams-Bashforth 2: step 2 of 10");
    const QTableWidget* weights = named<QTableWidget>("Weights");
    ASSERT_NE(weights, nullptr);
    const std::vector<std::vector<QString>> expected{
        {"i", "x\u1d62", "y\u1d62,1", "y\u1d62,2", "F1(x\u1d62, y\u1d62)", "F2(x\u1d62, y\u1d62)",
         "\u03b1", "\u03b2", "\u2212\u03b1\u00b7y\u1d62,1", "\u2212\u03b1\u00b7y\u1d62,2",
         "h\u00b7\u03b2\u00b7F1(x\u1d62, y\u1d62)", "h\u00b7\u03b2\u00b7F2(x\u1d62, y\u1d62)"},
        {"0", "0", "1", "0", "0", "-1", "0", "-1/2", "0", "0", "0", "0.15"},
        {"1", "0.3", "0.9553375", "-0.2955", "-0.2955", "-0.9553375", "-1", "3/2", "0.9553375",
         "-0.2955", "-0.132975", "-0.429901875"},
        {"2", "0.6", "0.8223625", "-0.575401875", "", "", "1", "0", "", "", "", ""}};
    EXPECT_EQ(cells(*weights), expected);
    EXPECT_TRUE(notes().startsWith(
        "Step 2 of 10 from x1 = 0.3 with h = 0.3 weighs the values and slopes at the 2 points "
        "x0 \u2026 x1 (marked): at x2, (y1, y2) = (0.8223625, -0.575401875), each component the "
        "sum of its columns"))
        << notes().toStdString();
    EXPECT_EQ(named<QTableWidget>("Formula")->rowCount(), 2);
    EXPECT_FALSE(named<QTableWidget>("Newton iterations")->isVisible());
    QCPGraph* past = graphNamed(*plot(), "past points with their slopes");
    QCPGraph* end = graphNamed(*plot(), "the new value");
    ASSERT_TRUE(past && end);
    // (y1, y2) of x1 and x0, a graph's points in the order of y1.
    ASSERT_EQ(past->data()->size(), 2);
    EXPECT_EQ(past->data()->constBegin()->key, 0.9553375);
    EXPECT_EQ((past->data()->constEnd() - 1)->key, 1);
    EXPECT_EQ(end->data()->constBegin()->key, 0.8223625);
    EXPECT_EQ(plot()->xAxis->label(), "y1");
    // In the pixels: a disc on each past point (y1, y2), the square on the new
    // one, and neither in the empty corner (1, -0.575401875) of the three.
    const Rendered rendered(*plot());
    const QColor disc = past->scatterStyle().pen().color();  // a disc is filled with its pen
    const QColor square = end->scatterStyle().brush().color();
    ASSERT_NE(disc, square);
    EXPECT_EQ(rendered.at(1, 0), disc);
    EXPECT_EQ(rendered.at(0.9553375, -0.2955), disc);
    EXPECT_EQ(rendered.at(0.8223625, -0.575401875), square);
    for (const QColor& marker : {disc, square}) {
        EXPECT_NE(rendered.at(1, -0.575401875), marker);
    }
    keepPicture("one_step_system_adams_bashforth_2");

    QComboBox* methods = named<QComboBox>("Method");
    methods->setCurrentIndex(methods->findText("BDF 2"));
    waitForTheRun();
    next(1);
    EXPECT_EQ(label("Step shown")->text(), "BDF 2: step 2 of 10");
    EXPECT_EQ(cells(*weights)[3],
              (std::vector<QString>{"2", "0.6", "0.828509615384615", "-0.559701923076923",
                                    "-0.559701923076923", "-0.828509615384615", "1", "2/3", "",
                                    "", "-0.111940384615385", "-0.165701923076923"}));
    auto* newton = named<QTableWidget>("Newton iterations");
    ASSERT_TRUE(newton->isVisible());
    const auto iterations = cells(*newton);
    EXPECT_EQ(iterations[0], (std::vector<QString>{"iteration", "residual", "update", "\u03b8",
                                                   "y2,1", "y2,2"}));
    // From e, the sum of the past rows, to the Weights table's new value.
    EXPECT_EQ(iterations[1][4], "0.94045");
    EXPECT_EQ(iterations[1][5], "-0.394");
    EXPECT_EQ(iterations.back()[4], "0.828509615384615");
    EXPECT_EQ(iterations.back()[5], "-0.559701923076923");
    EXPECT_NE(graphNamed(*plot(), "Newton iterates, paler the earlier"), nullptr);
    keepPicture("one_step_system_bdf_2");
}

// A typed equation's run comes from the lab's threads. Until it comes the
// notes say what is calculated and the page shows no step, not even the
// last one; then step 1 of Runge-Kutta 4 on y' = y² from (0, 1) with
// h = 0.25, y1 = 1.3332209000291566 in exact fractions (python3). The
// lesson's equation shows its step at once.
TEST_F(OneStep, ATypedEquationsStepComesAfterANote) {
    QComboBox* methods = named<QComboBox>("Method");
    methods->setCurrentIndex(methods->findText("Runge-Kutta 4"));
    enter("x0", "0");
    enter("y0", "1");
    enter("x1", "0.5");
    enter("h", "0.25");
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 1 of 2");
    keepPicture("one-step-lesson");

    enter("f(x, y)", "y^2");
    EXPECT_EQ(notes(), "Calculating the run on y' = y^2 \u2026");
    EXPECT_EQ(label("Step shown")->text(), "No step to show");
    EXPECT_FALSE(named<QPushButton>("Next step")->isEnabled());
    EXPECT_EQ(named<QTableWidget>("Stages")->rowCount(), 0);
    EXPECT_EQ(plot()->graphCount(), 0);
    keepPicture("one-step-waiting");

    waitForTheRun();
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 1 of 2");
    EXPECT_EQ(notes(), "Step 1 of 2 from x0 = 0, y0 = 1 with h = 0.25: y1 = 1.33322090002916.");
    EXPECT_TRUE(named<QPushButton>("Next step")->isEnabled());
    EXPECT_EQ(pelorin::testing::legendNames(*plot()).front(), "reference");
    keepPicture("one-step-typed");
}

// Leaving a box with its text unchanged compiles the problem anew but
// poses the same run: it is not calculated again, and the page turns back
// to its first step at once. A new x1 is another run.
TEST_F(OneStep, ABoxLeftUnchangedDoesNotStartTheRunAgain) {
    run("0", "1", "0.5", "0.25", "Runge-Kutta 4", "y^2");
    next(1);
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 2 of 2");
    enter("f(x, y)", "y^2");
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 1 of 2");
    EXPECT_FALSE(notes().startsWith("Calculating")) << notes().toStdString();
    enter("x1", "1");
    EXPECT_EQ(notes(), "Calculating the run on y' = y^2 \u2026");
    waitForTheRun();
    EXPECT_EQ(label("Step shown")->text(), "Runge-Kutta 4: step 1 of 4");
}

// Inputs changed while a run is calculated: the page shows only the note
// and then the run of the last inputs, never one asked for before, however
// late it comes. y' = sin(x·y) to x1 = 2000 with h = 0.1 has 20000 steps
// and a long reference; to 0.5 with h = 0.25 it has 2.
TEST_F(OneStep, OnlyTheRunOfTheLastInputsIsShown) {
    QComboBox* methods = named<QComboBox>("Method");
    methods->setCurrentIndex(methods->findText("Runge-Kutta 4"));
    enter("f(x, y)", "sin(x*y)");
    enter("x1", "2000");
    enter("h", "0.1");
    enter("x1", "0.5");
    enter("h", "0.25");
    QStringList shown{label("Step shown")->text()};
    while (notes().startsWith("Calculating")) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        shown << label("Step shown")->text();
    }
    pelorin::testing::settleStudies();
    shown << label("Step shown")->text();
    shown.removeDuplicates();
    EXPECT_EQ(shown, (QStringList{"No step to show", "Runge-Kutta 4: step 1 of 2"}));
}
