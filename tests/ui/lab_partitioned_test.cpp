// The partitioned methods on every page of the Method lab: on a system that
// splits into positions and momenta they run like any other method, and
// where the components do not split each page says why instead of a run.
#include "tests/support/lab_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

const struct Page {
    Qt::Key key;
    const char* notes;
} pages[]{{Qt::Key_C, "Convergence notes"}, {Qt::Key_S, "Stability notes"}, {Qt::Key_T, "Step notes"},
          {Qt::Key_F, "Field notes"},       {Qt::Key_A, "Adaptive notes"},  {Qt::Key_P, "Phase plane notes"}};

class Partitioned : public pelorin::testing::LabWindowTest {
protected:
    void choose(const char* box, const QString& text) {
        QComboBox* list = named<QComboBox>(box);
        const int index = list->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // The Orders table's column captions, as a screen reader reads them.
    QStringList orderColumns() const {
        QStringList captions;
        const QTableWidget* orders = named<QTableWidget>("Orders");
        for (int column = 0; column < orders->columnCount(); ++column) {
            captions << orders->horizontalHeaderItem(column)->data(Qt::AccessibleTextRole).toString();
        }
        return captions;
    }
    // Each partitioned method on each page in turn: `check` reads the page's notes.
    template <class Check>
    void everyPage(Check check) {
        for (const char* method : {"Symplectic Euler", "St\u00f6rmer-Verlet"}) {
            choose("Method", QString::fromUtf8(method));
            for (const Page& page : pages) {
                SCOPED_TRACE(page.notes);
                QTest::keyClick(lab, page.key, Qt::AltModifier);
                QApplication::processEvents();
                check(page, settledNotes(page.notes));
            }
        }
    }
    // The page's notes once no study is still calculating.
    QString settledNotes(const char* name) const {
        QLabel* notes = label(name);
        while (notes->text().contains("Calculating")) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        return notes->text();
    }
};

const QString doesNotApply = "positions and momenta apart, and this problem's components do not split into them";

TEST_F(Partitioned, OnADampedOscillatorEveryPageSaysWhyTheyDoNotApply) {
    openLab(Qt::Key_C);
    choose("Problem", "Damped oscillator: y'' = -y - cy'");
    settledNotes("Convergence notes");
    EXPECT_EQ(orderColumns().size(), 27);
    EXPECT_FALSE(orderColumns().contains("Symplectic Euler"));
    everyPage([](const Page& page, const QString& notes) {
        if (page.key == Qt::Key_A) return;  // offers the pairs with an estimate instead
        EXPECT_TRUE(notes.contains(doesNotApply)) << notes.toStdString();
        EXPECT_TRUE(notes.contains("(y2' reads y2)")) << notes.toStdString();
    });
}

TEST_F(Partitioned, OnTheOscillatorEveryPageRunsThem) {
    openLab(Qt::Key_C);
    choose("Problem", "Harmonic oscillator: y'' = -y");
    settledNotes("Convergence notes");
    EXPECT_EQ(orderColumns().size(), 29);
    EXPECT_EQ(orderColumns().mid(17, 2), (QStringList{"Symplectic Euler", "St\u00f6rmer-Verlet"}));
    lab->resize(1260, 980);
    everyPage([this](const Page& page, const QString& notes) {
        EXPECT_FALSE(notes.contains(doesNotApply));
        if (page.key == Qt::Key_T) {
            EXPECT_TRUE(notes.contains("Here the position is y1 and the momentum y2.")) << notes.toStdString();
        }
        if (page.key == Qt::Key_S) {
            // No region is drawn, so its legend keys only the points z = h·λ.
            EXPECT_TRUE(notes.contains("it has no stability function R(z)")) << notes.toStdString();
            const QCPLegend* legend = named<QCustomPlot>("Stability region")->legend;
            ASSERT_EQ(legend->itemCount(), 1);
            EXPECT_EQ(static_cast<QCPPlottableLegendItem*>(legend->item(0))->plottable()->name(),
                      "z = h\u00b7\u03bb");
        }
        keepPicture(QString(page.notes).split(' ').front());
    });
}

// Störmer-Verlet's first step on the oscillator from (1, 0) with h = 0.1, as
// tests/support/partitioned_stages.py works it out in exact arithmetic: the
// first stage holds the momentum's half step -0.05, and the step ends at
// (0.995, -0.09975), the momentum's increment summed with the weights b̂.
TEST_F(Partitioned, OneStepListsStormerVerletsStagesWithBothTableausAbscissae) {
    openLab(Qt::Key_T);
    choose("Problem", "Harmonic oscillator: y'' = -y");
    choose("Method", "St\u00f6rmer-Verlet");
    enter("h", "0.1");
    settledNotes("Step notes");
    EXPECT_EQ(label("Step shown")->text(), "St\u00f6rmer-Verlet: step 1 of 100");
    const QTableWidget* stages = named<QTableWidget>("Stages");
    ASSERT_EQ(stages->rowCount(), 3);
    const auto row = [stages](int row) {
        QStringList texts;
        for (int column = 0; column < stages->columnCount(); ++column) {
            texts << (row < 0 ? stages->horizontalHeaderItem(column) : stages->item(row, column))->text();
        }
        return texts;
    };
    EXPECT_EQ(row(-1), (QStringList{"j", "x + c\u2c7c\u00b7h (positions' tableau)",
                                    "x + \u0109\u2c7c\u00b7h (momenta's tableau)", "Y\u2c7c,1",
                                    "Y\u2c7c,2", "F1(x + c\u2c7c\u00b7h, Y\u2c7c)",
                                    "F2(x + \u0109\u2c7c\u00b7h, Y\u2c7c)"}));
    EXPECT_EQ(row(0), (QStringList{"1", "0", "0", "1", "-0.05", "-0.05", "-1"}));
    EXPECT_EQ(row(2), (QStringList{"step 1: y + h\u00b7\u03a3 b\u2c7cF\u2c7c",
                                   "0.1", "0.1", "0.995", "-0.09975", "-0.005", "-0.09975"}));
}

// The same step as the phase plane draws it: the first stage's state
// (1, -0.05) a disc in the method's colour, the step's end (0.995, -0.09975)
// a square in the colour of the increment's arrow, and nothing where the
// step does not go: (0.995, 0) lies beside the arc the solution takes.
TEST_F(Partitioned, OneStepDrawsStormerVerletsStepWhereItsStagesTableSaysItGoes) {
    openLab(Qt::Key_T);
    choose("Problem", "Harmonic oscillator: y'' = -y");
    choose("Method", "St\u00f6rmer-Verlet");
    enter("h", "0.1");
    settledNotes("Step notes");
    auto* plot = named<QCustomPlot>("Stages of the step");
    const auto markerColour = [plot](const QString& name) {
        for (int i = 0; i < plot->graphCount(); ++i) {
            if (plot->graph(i)->name() == name) return plot->graph(i)->scatterStyle().pen().color();
        }
        ADD_FAILURE() << "no graph named " << name.toStdString();
        return QColor();
    };
    const QColor stage = markerColour("stage points k\u2c7c with their slopes");
    const QColor end = markerColour("the step's end, y + \u03a3 b\u2c7ck\u2c7c");
    ASSERT_NE(stage, end);
    plot->replot();
    const QImage image = plot->grab().toImage();
    const auto colourAt = [&](double y1, double y2) {
        return image.pixelColor(static_cast<int>(std::lround(plot->xAxis->coordToPixel(y1))),
                                static_cast<int>(std::lround(plot->yAxis->coordToPixel(y2))));
    };
    EXPECT_EQ(colourAt(1, -0.05), stage);
    EXPECT_EQ(colourAt(0.995, -0.09975), end);
    EXPECT_NE(colourAt(0.995, 0), stage);
    EXPECT_NE(colourAt(0.995, 0), end);
    keepPicture("one-step-stormer-verlet");
}

}  // namespace

namespace {

// On the oscillator with h = 0.1 to x1 = 100, Störmer-Verlet's energy swings
// within a bound while Runge-Kutta 4's drifts away further and further.
TEST_F(Partitioned, BesideRungeKutta4StormerVerletsEnergyDriftStaysBounded) {
    openLab(Qt::Key_F);
    choose("Problem", "Harmonic oscillator: y'' = -y");
    choose("Method", "Runge-Kutta 4");
    enter("x1", "100");
    enter("h", "0.1");
    named<QCheckBox>("Symplectic methods")->setChecked(true);
    const QString notes = settledNotes("Field notes");
    // tests/support/partitioned_drift.py, in 40 digits.
    for (const char* line : {"Runge-Kutta 4: -6.94E-06, largest 6.94E-06, growing",
                             "Symplectic Euler: 2.13E-02, largest 2.63E-02, not growing",
                             "St\u00f6rmer-Verlet: -2.76E-04, largest 1.25E-03, not growing"}) {
        EXPECT_TRUE(notes.contains(QString::fromUtf8(line))) << line << " in\n" << notes.toStdString();
    }
    if (const char* picture = std::getenv("PELORIN_DRIFT_PNG")) {
        auto* logarithmic = named<QCheckBox>("Drift on a logarithmic axis");
        logarithmic->setChecked(true);
        lab->resize(1200, 1000);
        QApplication::processEvents();
        named<QCustomPlot>("Invariant drift")->toPixmap(900, 400).save(picture);
    }
}

}  // namespace
