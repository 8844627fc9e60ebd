// How long the lab's Field page takes to redraw after a pan or a zoom, on a
// typed f with the default grid: each frame moves or scales the view and
// replots at once, which computes the field for the new view and paints the
// whole plot. Prints the median and the slowest frame, and the field's
// computation alone, for a frame's 16 ms.
//
//   field_bench [FRAMES]      (default 200)
#include "numerics/direction_field.h"
#include "problem/expression.h"
#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <qcustomplot.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* typedSlope = "sin(x*y) + y^2/(1 + x^2)";

template <typename Widget>
Widget* named(QWidget& window, const QString& accessibleName) {
    for (Widget* widget : window.findChildren<Widget*>()) {
        if (widget->accessibleName() == accessibleName) return widget;
    }
    std::fprintf(stderr, "no control named %s\n", qPrintable(accessibleName));
    std::exit(1);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* what, const std::vector<double>& ms) {
    std::printf("%-44s median %6.2f ms   slowest %6.2f ms   (%zu frames)\n", what, median(ms),
                *std::max_element(ms.begin(), ms.end()), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) return 1;
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    QWidget* lab = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == "Method lab") lab = window;
    }
    if (!lab || !QTest::qWaitForWindowActive(lab)) {
        std::fprintf(stderr, "Ctrl+L opened no lab\n");
        return 1;
    }
    // The size the lab takes on a screen with room for it.
    lab->resize(1000, 860);
    lab->findChild<QTabWidget*>()->setCurrentIndex(3);
    auto* f = named<QLineEdit>(*lab, "f(x, y)");
    f->selectAll();
    QTest::keyClicks(f, typedSlope);
    QTest::keyClick(f, Qt::Key_Return);
    auto* plot = named<QCustomPlot>(*lab, "Field");
    // The runs come from another thread; the field is drawn at once.
    while (plot->graphCount() == 0) QTest::qWait(10);
    QTest::qWait(50);

    QElapsedTimer timer;
    std::vector<double> pans, zooms;
    for (int frame = 0; frame < frames; ++frame) {
        const double step = (frame % 40 < 20 ? 1 : -1) * plot->xAxis->range().size() / 50;
        plot->xAxis->moveRange(step);
        plot->yAxis->moveRange(step / 2);
        timer.start();
        plot->replot(QCustomPlot::rpImmediateRefresh);
        pans.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);

        const double factor = frame % 40 < 20 ? 0.97 : 1 / 0.97;
        plot->xAxis->scaleRange(factor);
        plot->yAxis->scaleRange(factor);
        timer.start();
        plot->replot(QCustomPlot::rpImmediateRefresh);
        zooms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }

    // The field alone, for the view the plot shows now.
    const pelorin::SlopeCompilation slope = pelorin::compileSlope(typedSlope);
    const QRect rect = plot->axisRect()->rect();
    const pelorin::VisibleRange range{plot->xAxis->range().lower, plot->xAxis->range().upper,
                                      plot->yAxis->range().lower, plot->yAxis->range().upper,
                                      static_cast<double>(rect.width()),
                                      static_cast<double>(rect.height())};
    std::vector<double> fields;
    std::size_t segments = 0;
    for (int frame = 0; frame < frames; ++frame) {
        timer.start();
        segments = pelorin::directionField(*slope.slope, range).segments.size();
        fields.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }

    std::printf("Field page, f(x, y) = %s, axes %d x %d pixels, %zu segments\n", typedSlope,
                rect.width(), rect.height(), segments);
    report("redraw after a pan (field and whole plot)", pans);
    report("redraw after a zoom (field and whole plot)", zooms);
    report("the field alone (directionField)", fields);
    delete lab;
    return 0;
}
