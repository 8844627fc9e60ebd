// The Method lab as a whole, as a student meets it: opened with Ctrl+L from
// the main window, once, from the main window's boxes and method, and closed
// with Escape; its pages reached from the keyboard, its controls named and its
// labels heard as a screen reader reads them; a run of its own, apart from the
// main window's; nothing but numbers and words in it, whatever the boxes hold;
// every page whole, without the lab scrolling, at the normal and the largest
// text and at twice the device pixels; and every plot copied and saved as it
// shows. The lab is the program's plugin, loaded as the program loads it, so
// it is seen here through Qt's and QCustomPlot's own classes only.
#include "tests/support/lab_window.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using pelorin::testing::Lab;
using pelorin::testing::type;
using pelorin::testing::settleStudies;
using pelorin::testing::labBox;
using pelorin::testing::named;
using pelorin::testing::methodBox;
using pelorin::testing::label;
using pelorin::testing::typeStep;
using pelorin::testing::table;

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

TEST_F(Lab, PagesAreReachableFromTheKeyboard) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTabWidget* tabs = lab->findChild<QTabWidget*>();
    ASSERT_EQ(tabs->count(), 7);
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
                {Qt::Key_U, 6, "Tablea&u"},
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

// Zoomed in to a view 1E-5 wide about 1, neighbouring ticks still read
// apart: with six digits every one of them would read "1".
TEST_F(Lab, TickLabelsKeepTheDigitsThatTellNeighboursApart) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    QTest::keyClick(lab, Qt::Key_T, Qt::AltModifier);
    QCustomPlot* plot = lab->findChild<QTabWidget*>()->currentWidget()->findChild<QCustomPlot*>();
    ASSERT_NE(plot, nullptr);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setRange(1, 1.00001);
        plot->replot();
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        ASSERT_GE(ticks.size(), 3);
        for (int i = 0; i < ticks.size(); ++i) {
            SCOPED_TRACE(labels[i].toStdString());
            EXPECT_NEAR(labels[i].toDouble(), ticks[i], 1e-9);
            if (i > 0) {
                EXPECT_NE(labels[i], labels[i - 1]);
            }
        }
    }
}

// The same on the logarithmic axes, zoomed in to less than a decade: with no
// digit after the point three ticks would read 2·10⁻¹², and with one, ticks
// at 1.25E-6 and 1.75E-6 would read 1.2 and 1.7. Over a decade and more,
// ticks a linear step apart crowd towards each decade's top: the labels kept
// stand at least an eighth of the ticks' span apart, so none run together.
TEST_F(Lab, LogarithmicTickLabelsTellNeighboursApart) {
    QWidget* lab = openWithCtrlL();
    ASSERT_NE(lab, nullptr);
    int logarithmic = 0;
    for (QCustomPlot* plot : lab->findChildren<QCustomPlot*>()) {
        plot->resize(600, 400);
        for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
            if (axis->scaleType() != QCPAxis::stLogarithmic) continue;
            ++logarithmic;
            for (const QCPRange view : {QCPRange(1.9e-12, 2.5e-12), QCPRange(1.2e-6, 2.8e-6),
                                        QCPRange(200, 3000)}) {
                axis->setRange(view);
                plot->replot();
                const QVector<double> ticks = axis->tickVector();
                const QVector<QString> labels = axis->tickVectorLabels();
                const double span = std::log10(ticks.back() / ticks.front());
                int labelled = 0;
                double last = 0;
                for (int i = 0; i < labels.size(); ++i) {
                    if (labels[i].isEmpty()) continue;
                    SCOPED_TRACE(plot->accessibleName().toStdString() + ": " +
                                 labels[i].toStdString());
                    EXPECT_NEAR(labels[i].toDouble(), ticks[i], 1e-9 * ticks[i]);
                    if (labelled++ > 0) {
                        EXPECT_GE(std::log10(ticks[i] / last), span / 8 - 1e-12);
                    }
                    last = ticks[i];
                }
                EXPECT_GE(labelled, 2) << plot->accessibleName().toStdString();
            }
        }
    }
    EXPECT_GT(logarithmic, 0);
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

// At the size the lab opens with on a desktop, every page fits without the
// lab scrolling: the crowded Adaptive page scrolls within itself rather than
// push the other pages' tables out of sight.
// Every page in turn: the lab's own scroll bar never shows, and a page that
// scrolls within itself scrolls down only: a page wider than the lab would
// hide its right edge, a plot's legend beside the axes with it, although
// every widget on it has the width it asks for. `more` checks each page
// further.
void expectEveryPageFits(QWidget& lab, const std::function<void()>& more = {}) {
    QScrollArea* scroller = lab.findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(scroller, nullptr);
    QTabWidget* tabs = lab.findChild<QTabWidget*>();
    for (int page = 0; page < tabs->count(); ++page) {
        SCOPED_TRACE(tabs->tabText(page).toStdString());
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        EXPECT_EQ(scroller->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(scroller->horizontalScrollBar()->maximum(), 0);
        for (QScrollArea* within : tabs->currentWidget()->findChildren<QScrollArea*>()) {
            EXPECT_EQ(within->horizontalScrollBar()->maximum(), 0)
                << "the page is " << within->widget()->width() << " px wide, "
                << within->viewport()->width() << " px shown";
        }
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

}  // namespace
