// The Method lab's Convergence page as a student meets it: the Orders table of
// every method, the orders a method does not decide in brackets; the plot and
// its legend; the notes on errors beyond the plot's scale; a stiff library
// problem's range for the page; a system's errors one component at a time; and
// a more accurate reference with Ctrl+Shift+R. The lab is the program's loaded
// plugin, seen through Qt's and QCustomPlot's classes and the names a screen
// reader reads.
#include "tests/support/lab_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <map>
#include <tuple>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::type;
using pelorin::testing::settleStudies;
using pelorin::testing::labBox;
using pelorin::testing::named;
using pelorin::testing::label;
using pelorin::testing::typeStep;
using pelorin::testing::table;
using pelorin::testing::legendNames;
using pelorin::testing::legendEntry;
using pelorin::testing::labOnLibraryProblem;
using pelorin::testing::logisticProblem;
using pelorin::testing::labOnSystem;
using pelorin::testing::methodBox;

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
    ASSERT_EQ(orders->columnCount(), 27);
    ASSERT_EQ(orders->rowCount(), 16);
    // In a lab 1000 pixels wide the explicit methods' eleven columns are in
    // view; the others scroll in beside them.
    lab->resize(1000, 860);
    QApplication::processEvents();
    EXPECT_LE(orders->columnViewportPosition(10) + orders->columnWidth(10), orders->viewport()->width());
    EXPECT_EQ(orders->verticalHeaderItem(5)->text(), "N = 64");
    // The added methods' orders from mpmath: Ralston 2.01701, Heun 3 and SSP
    // 3.01805 (on this linear equation they are one method), Kutta 3/8
    // 4.01880, SDIRK 2 2.00211, the own Runge-Kutta method's first boxes
    // (Kutta's third-order method) 3.01805 like Heun's. The partitioned
    // methods do not apply to y' = -2x - y, which reads y: they have no column.
    const char* expected[] = {"1.01", "2.02", "2.02", "4.02", "5.02", "4.00", "4.02",
                              "2.02", "3.02", "3.02", "4.02",
                              "0.99", "2.00", "2.00", "2.00", "2.99", "4.00",
                              "1.99", "2.98", "3.96", "3.95", "4.04", "1.98", "2.97", "3.95",
                              "3.02", "(-70.33)"};
    ASSERT_EQ(std::size(expected), 27u);
    for (int column = 0; column < 27; ++column) {
        SCOPED_TRACE(column);
        ASSERT_NE(orders->item(5, column), nullptr);
        EXPECT_EQ(orders->item(5, column)->text(), expected[column]);
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

// y' = y from (0, 1) to x1 = 1 with the exact box empty is measured against
// the reference, accurate to about 1.02E-11 of the solution's size. The
// dotted floor stands at ten times that, 1.02E-10, and its legend says
// "ten times", not that the line is the accuracy itself. At the lab's size,
// 1000 by 860, the name is whole and the page needs no sideways scrolling:
// on one line it made the legend wider than the page.
TEST_F(Lab, TheReferencesFloorIsNamedAsTenTimesItsAccuracy) {
    enter("0", "1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    enterShown(*lab, "f(x, y)", "y");
    QLineEdit* exact = named<QLineEdit>(*lab, "exact y(x)");
    ASSERT_NE(exact, nullptr);
    exact->setFocus();
    exact->selectAll();
    QTest::keyClick(exact, Qt::Key_Delete);
    QTest::keyClick(exact, Qt::Key_Return);
    settleStudies();
    QLabel* notes = label(*lab, "Convergence notes");
    auto* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_TRUE(notes && plot);
    EXPECT_TRUE(notes->text().contains("There they lie below 1.02E-10, ten times the "
                                       "reference's estimated accuracy of 1.02E-11"))
        << notes->text().toStdString();
    plot->replot();
    const QString name = "ten times the reference's accuracy:\nerrors below 1.02E-10";
    const QCPPlottableLegendItem* entry = legendEntry(*plot, name);
    ASSERT_NE(entry, nullptr) << legendNames(*plot).join(" | ").toStdString();
    const QCPLayoutElement& shown = *entry;
    EXPECT_GE(entry->outerRect().width(), shown.minimumOuterSizeHint().width());
    EXPECT_LT(entry->outerRect().right(), plot->width() - 1);
    QCPItemStraightLine* floor = nullptr;
    for (int i = 0; i < plot->itemCount(); ++i) {
        if (auto* line = qobject_cast<QCPItemStraightLine*>(plot->item(i))) floor = line;
    }
    ASSERT_NE(floor, nullptr);
    EXPECT_NEAR(floor->point1->coords().y(), 1.02e-10, 0.005e-10);
    QWidget* page = plot->parentWidget();
    while (page && !qobject_cast<QScrollArea*>(page)) page = page->parentWidget();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(static_cast<QScrollArea*>(page)->horizontalScrollBar()->maximum(), 0)
        << "the plot is " << plot->width() << " wide";
}

// The lowest row of ink of a text drawn whole in `font`, from its top.
int lowestInk(const QString& text, const QFont& font) {
    QImage image(600, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(0, 0, 600, 200, Qt::TextDontClip, text);
    painter.end();
    int lowest = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).lightness() < 128) lowest = y;
        }
    }
    return lowest;
}

// Every method on the lesson at the lab's size: Heun 3 lies under the own
// Runge-Kutta method's Kutta tableau, and its legend entry says so on a
// second line. That line's
// descenders ("g", "p", the brackets) reach as low in the entry as the same
// text drawn whole does: the entry's clip does not cut them.
TEST_F(Lab, ATwoLineLegendEntryIsDrawnWhole) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    settleStudies();
    auto* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_NE(plot, nullptr);
    plot->replot();
    const QString name = "Heun 3\n(under Own\nRunge-Kutta method)";
    const QCPPlottableLegendItem* entry = legendEntry(*plot, name);
    ASSERT_NE(entry, nullptr) << legendNames(*plot).join(" | ").toStdString();
    const QImage image = plot->grab().toImage();
    const QRect rect = entry->outerRect();
    int lastInk = -1;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left() + plot->legend->iconSize().width(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y).lightness() < 128) lastInk = y;
        }
    }
    EXPECT_GE(lastInk - rect.top(), lowestInk(name, entry->font()))
        << "the entry's rows " << rect.top() << " to " << rect.bottom();
}

}  // namespace

// The Methods box chooses which methods the page compares, and the method
// chosen above is always among them: from (0, -1) to 1 with Euler chosen,
// the implicit Runge-Kutta methods stand beside Euler in the Orders table
// and the legend; with Runge-Kutta 4 chosen instead, it stands there; the
// window's seven make no note on where the implicit runs stop. On this
// linear equation the trapezoid rule, (h/2)(f(x, y) + f(x + h, y')), and the
// implicit mid point rule, h·f(x + h/2, (y + y')/2), are one formula: the
// legend says which curve lies under which.
TEST_F(Lab, TheMethodsBoxChoosesWhatThePageComparesWithTheChosenMethodAmongThem) {
    enter("0", "-1", "1", "0.4");
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    auto* methods = named<QComboBox>(*lab, "Methods");
    ASSERT_NE(methods, nullptr);
    EXPECT_EQ(methods->currentText(), "Every method");
    QTableWidget* orders = table(*lab, "Orders");
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    QLabel* notes = label(*lab, "Convergence notes");
    ASSERT_TRUE(orders && plot && notes);
    const auto columns = [orders] {
        QStringList captions;
        for (int column = 0; column < orders->columnCount(); ++column) {
            captions << orders->horizontalHeaderItem(column)->data(Qt::AccessibleTextRole).toString();
        }
        return captions;
    };
    const auto choose = [](QComboBox* box, const QString& item) {
        box->setCurrentIndex(box->findText(item));
        settleStudies();
    };

    choose(methods, "Implicit Runge-Kutta methods");
    const QStringList implicitOnes{"Euler", "Backward Euler", "Trapezoid", "Implicit mid point",
                                   "SDIRK 2", "Radau IIA 3", "Gauss-Legendre 4"};
    EXPECT_EQ(columns(), implicitOnes);
    QStringList legend = implicitOnes;
    legend[2] = "Trapezoid\n(under Implicit mid point)";
    EXPECT_EQ(legendNames(*plot).mid(0, 7), legend);
    EXPECT_TRUE(notes->text().contains("The implicit methods' runs stop at N = 2^12"))
        << notes->text().toStdString();

    choose(methodBox(*lab), "Runge-Kutta 4");
    EXPECT_EQ(columns().front(), "Runge-Kutta 4");
    EXPECT_EQ(columns().mid(1), implicitOnes.mid(1));

    choose(methods, "The window's seven methods");
    EXPECT_EQ(columns(), QStringList({"Euler", "Euler (End points)", "Euler (Mid point)",
                                      "Runge-Kutta 4", "Runge-Kutta-Fehlberg",
                                      "Runge-Kutta-Merson", "Runge-Kutta-Gill"}));
    EXPECT_FALSE(notes->text().contains("implicit")) << notes->text().toStdString();
}

// A few methods fill two or three short columns, and the reference lines
// with the floor (six entries on the textbook's problem) need a column of
// six: the legend takes six rows rather than spill the lines into a fifth
// column, which widened the page beyond the lab and cut the floor's name.
TEST_F(Lab, AFewMethodsLegendKeepsTheReferenceLinesInOneColumnWithinThePage) {
    QWidget* lab = labOnLibraryProblem(openWithCtrlL(), "Textbook: y' = y - x\u00b2 + 1");
    ASSERT_NE(lab, nullptr);
    lab->resize(1000, 860);
    auto* methods = named<QComboBox>(*lab, "Methods");
    methods->setCurrentIndex(methods->findText("Explicit Runge-Kutta methods"));
    settleStudies();
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    plot->replot();
    EXPECT_TRUE(legendNames(*plot).contains("rounding floor: errors below 1.23E-13"));
    EXPECT_EQ(plot->legend->rowCount(), 6);
    EXPECT_EQ(plot->legend->columnCount(), 3);
    EXPECT_LT(plot->legend->outerRect().right(), plot->width() - 1);
    for (QScrollArea* page : lab->findChildren<QScrollArea*>()) {
        if (page->isVisible()) {
            EXPECT_EQ(page->horizontalScrollBar()->maximum(), 0);
        }
    }
}

// Every method's curve has a look of its own: no two share colour, line and
// marker, so that a curve is told by its legend entry alone (the own
// Runge-Kutta method, the explicit family's twelfth, once took Euler's).
TEST_F(Lab, NoTwoMethodsCurvesLookAlike) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QCustomPlot* plot = named<QCustomPlot>(*lab, "Convergence plot");
    ASSERT_NE(plot, nullptr);
    std::map<std::tuple<QRgb, int, int>, QString> looks;
    for (int g = 0; g < plot->graphCount(); ++g) {
        const QCPGraph* graph = plot->graph(g);
        if (graph->scatterStyle().isNone()) continue;  // a reference line
        const auto look = std::make_tuple(graph->pen().color().rgb(),
                                          static_cast<int>(graph->pen().style()),
                                          static_cast<int>(graph->scatterStyle().shape()));
        const auto [twin, added] = looks.emplace(look, graph->name());
        EXPECT_TRUE(added) << graph->name().toStdString() << " looks like "
                           << twin->second.toStdString();
    }
    // Every method but the two partitioned ones, which do not apply here.
    EXPECT_EQ(looks.size(), pelorin::labCatalogue().size() - 2);
}
