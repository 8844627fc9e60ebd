// The Method lab's One step page as a student checking a step by hand meets
// it: the notes name each step's points by their index, the Stages table
// lists every stage with the numbers the results list writes, the plot names
// the stage points, and a calculation without a step is explained. The lab is
// the program's loaded plugin, seen here through Qt's and QCustomPlot's
// classes, accessible names and object names only.
#include "ui/form1.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <string>
#include <vector>

namespace {

class OneStep : public ::testing::Test {
protected:
    Form1 form;
    QWidget* lab = nullptr;

    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "MethodLab") lab = window;
        }
        ASSERT_NE(lab, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(lab));
        QTest::keyClick(lab, Qt::Key_T, Qt::AltModifier);
    }
    void TearDown() override { delete lab; }

    // Types the main window's boxes, chooses its method and presses CALCULATE;
    // a message the calculation raises is closed, as the user closes it.
    void calculate(const char* x0, const char* y0, const char* x1, const char* h,
                   const char* option = "Option_RK4") {
        const std::pair<const char*, const char*> boxes[] = {
            {"Text_x0", x0}, {"Text_y0", y0}, {"Text_x1", x1}, {"Text_h", h}};
        for (const auto& [name, text] : boxes) {
            QLineEdit* box = form.findChild<QLineEdit*>(name);
            box->selectAll();
            QTest::keyClicks(box, text);
        }
        form.findChild<QRadioButton*>(option)->setChecked(true);
        QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        for (QMessageBox* box : form.findChildren<QMessageBox*>("CalculationError")) box->close();
    }

    template <typename Widget>
    Widget* named(const char* name) const {
        for (Widget* widget : lab->findChildren<Widget*>()) {
            if (widget->accessibleName() == name) return widget;
        }
        ADD_FAILURE() << "nothing named " << name;
        return nullptr;
    }
    QString notes() const { return named<QLabel>("Step notes")->text(); }
    QCustomPlot* plot() const { return named<QCustomPlot>("Stages of the step"); }
    void next(int times) {
        for (int i = 0; i < times; ++i) QTest::mouseClick(named<QPushButton>("Next step"), Qt::LeftButton);
    }
    QLabel* captionOf(const QWidget* table) const {
        for (QLabel* label : lab->findChildren<QLabel*>()) {
            if (label->buddy() == table) return label;
        }
        return nullptr;
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

// The list of RK4 from (0, -1) with h = 0.25, worked out in python3 in the
// method's own operation order: step 4 starts at (0.75, -0.917142295395024).
TEST_F(OneStep, EveryStepNamesItsPointsByTheirIndex) {
    calculate("0", "-1", "1", "0.25");
    EXPECT_EQ(notes(), "Step 1 of 4 from x0 = 0, y0 = -1 with h = 0.25: y1 = -0.83642578125.");
    next(3);
    EXPECT_EQ(notes(), "Step 4 of 4 from x3 = 0.75, y3 = -0.917142295395024 with h = 0.25: "
                       "y4 = -1.10368259822025.");
}

TEST_F(OneStep, TheTableauSpeaksOfAnErrorEstimateOnlyWhereThereIsOne) {
    const struct {
        const char* option;
        bool estimate;
    } rows[] = {{"Option_Euler", false}, {"Option_RK4", false}, {"Option_RKF", true},
                {"Option_RKM", true},    {"Option_RK4G", false}};
    auto* tableau = named<QTableWidget>("Tableau");
    ASSERT_NE(tableau, nullptr);
    QLabel* caption = captionOf(tableau);
    ASSERT_NE(caption, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.option);
        calculate("0", "-1", "0.4", "0.4", row.option);
        EXPECT_EQ(caption->text().contains("error estimate"), row.estimate)
            << caption->text().toStdString();
        EXPECT_EQ(tableau->verticalHeaderItem(tableau->rowCount() - 1)->text(),
                  row.estimate ? "e" : "b");
    }
}

// "Press CALCULATE" only before the first calculation; after one without a
// step to show, or one that stopped, what happened.
TEST_F(OneStep, ACalculationWithoutStepsOrThatStoppedIsExplained) {
    EXPECT_EQ(notes(), "Press CALCULATE in the main window: this page shows the stages of its "
                       "steps.");
    const struct {
        const char* name;
        const char* x0;
        const char* x1;
        const char* h;
        const char* note;
    } rows[] = {
        {"x1 below x0", "1", "0", "0.4",
         "The last calculation listed no step: x1 = 0 is not beyond x0 = 1, and the steps go "
         "from x0 towards larger x."},
        {"h = 0 fills the list", "0", "0.4", "0",
         "The last calculation stopped after listing 10 steps: With h = 0 the calculation never "
         "gets from x0 to x1. Enter a positive h."},
        {"eleven steps needed", "0", "1", "0.0999",
         "The last calculation stopped after listing 10 steps: More than 10 steps would be "
         "needed to get from x0 to x1 with h = 0.0999. Enter a larger h: one calculation lists "
         "at most 10 steps."},
        {"x0 beyond a double", "1E+400", "1", "0.4",
         "The last calculation listed no step: The number entered for x0 is too large to "
         "calculate with. Enter a number between -1E+308 and 1E+308."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        calculate(row.x0, "-1", row.x1, row.h);
        EXPECT_EQ(notes().split("\n").back(), row.note);
        EXPECT_FALSE(notes().contains("Press CALCULATE"));
    }
}

// The worked example's first step with RK4 (x0 = 0, y0 = -1, h = 0.4), worked
// out in python3 in stepByStages' operation order: 15 significant digits, so
// that the step's y1 reads as the results list's "0.4    -0.8112".
TEST_F(OneStep, TheStagesTableListsTheStepToCheckByHand) {
    calculate("0", "-1", "0.4", "0.4");
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

// Stage points named k1, k2, ... beside them: RK4's k2 and k3 share an
// abscissa, as Merson's do, and their labels stay apart; stages at one point
// (every stage when h = 0) share one label. Every label lies wholly inside
// the axes with a corner at its point, and hides no other point.
TEST_F(OneStep, StagePointsAreNamedWithLabelsThatNeverMeet) {
    const struct {
        const char* option;
        const char* x1;
        const char* h;
        std::vector<QString> texts;
    } rows[] = {
        {"Option_RK4", "1", "0.25", {"k1", "k2", "k3", "k4"}},
        {"Option_RKM", "0.5", "0.25", {"k1", "k2", "k3", "k4", "k5"}},
        {"Option_RKF", "0.5", "0.1", {"k1", "k2", "k3", "k4", "k5", "k6"}},
        {"Option_RK4G", "0.4", "0.4", {"k1", "k2", "k3", "k4"}},
        {"Option_RK4", "0.4", "0", {"k1, k2, k3, k4"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.option) + " h = " + row.h);
        calculate("0", "-1", row.x1, row.h, row.option);
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
    QPalette dark = light;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        dark.setColor(role, QColor(0x35, 0x35, 0x35));
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, QColor(0xdd, 0xdd, 0xdd));
    }
    for (const QPalette& palette : {light, dark}) {
        SCOPED_TRACE(palette.color(QPalette::Base).name().toStdString());
        QApplication::setPalette(palette);
        QApplication::processEvents();
        calculate("0", "-1", "1", "0.25");
        QCustomPlot* stagePlot = plot();
        ASSERT_NE(stagePlot, nullptr);
        const QImage image =
            stagePlot->toPixmap(stagePlot->width(), stagePlot->height(), 1.0).toImage();
        const QColor text = palette.color(QPalette::Text);
        const std::vector<QCPItemText*> texts = labels(*stagePlot);
        ASSERT_EQ(texts.size(), 4u);
        for (QCPItemText* label : texts) {
            SCOPED_TRACE(label->text().toStdString());
            const QRect box = pixelRect(*label).toAlignedRect().intersected(image.rect());
            int inTextColour = 0;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                for (int x = box.left(); x <= box.right(); ++x) {
                    const QColor pixel(image.pixel(x, y));
                    if (std::abs(pixel.lightness() - text.lightness()) < 40) ++inTextColour;
                }
            }
            EXPECT_GT(inTextColour, 10);
        }
    }
    QApplication::setPalette(light);
}

}  // namespace
