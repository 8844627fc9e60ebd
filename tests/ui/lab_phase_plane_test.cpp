// The Method lab's Phase plane page as a student meets it: what it says of
// a single equation, which has no plane. The lab is the program's loaded
// plugin, seen here through Qt's and QCustomPlot's classes and the
// accessible names only.
#include "tests/support/lab_window.h"

#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

class PhasePlane : public pelorin::testing::LabWindowTest {
protected:
    void open() { openLab(Qt::Key_P); }

    QCustomPlot* plot() const { return named<QCustomPlot>("Phase plane"); }
    QTableWidget* equilibria() const { return named<QTableWidget>("Equilibria"); }
    QString notes() const { return label("Phase plane notes")->text(); }
};

}  // namespace

TEST_F(PhasePlane, ASingleEquationHasNoPlaneAndTheNotesSayWhy) {
    open();
    EXPECT_EQ(notes().toStdString(),
              "A phase plane draws one component against another, and y' = f(x, y) has one: its "
              "direction field is on the Field page.");
    EXPECT_EQ(plot()->plottableCount(), 0);
    EXPECT_EQ(equilibria()->rowCount(), 0);
}
