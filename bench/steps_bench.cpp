// How long the "Steps and errors" window takes to appear with the last
// calculation: from Ctrl+E (its action triggered) to the first paint of its
// table, over fresh windows opened and closed in turn; and, with the window
// open, from a press of CALCULATE until the table has painted the new rows.
//
//   steps_bench [OPENINGS]      (default 200; as many presses)
//
// The presses go through h = 0.4, 0.1, 0.05 and the seven methods in turn,
// so that the table holds 2, 5 or 10 rows with or without an estimate.
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/steps_window.h"

#include "methods/methods.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Notes the paint events of one widget.
class PaintWatcher : public QObject {
public:
    void watch(QWidget* widget) {
        painted_ = false;
        widget->installEventFilter(this);
    }
    bool painted() const { return painted_; }
    void reset() { painted_ = false; }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted_ = true;
        return false;
    }

private:
    bool painted_ = false;
};

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Processes events until the watcher saw a paint; the time since `clock` started, in ms.
double untilPainted(const PaintWatcher& watcher, QElapsedTimer& clock) {
    while (!watcher.painted()) {
        QCoreApplication::processEvents();
        if (clock.elapsed() > 10'000) {
            std::fprintf(stderr, "no paint within 10 s\n");
            std::exit(2);
        }
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

QWidget* tableViewport(StepsWindow* window) {
    return window->findChild<QAbstractItemView*>("Steps")->viewport();
}

void choose(Form1& form, long number) {
    static const char* const steps[] = {"0.4", "0.1", "0.05"};
    form.findChild<QLineEdit*>("Text_h")->setText(steps[number % 3]);
    const std::string_view name = form1Layout::options[static_cast<std::size_t>(number % 7)].name;
    form.findChild<QRadioButton*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
        ->setChecked(true);
}

void report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %6.2f ms  p90 %6.2f ms  worst %6.2f ms\n", what,
                times[times.size() / 2], times[times.size() * 9 / 10], times.back());
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const long openings = argc > 1 ? std::atol(argv[1]) : 200;
    if (openings < 1) {
        std::fprintf(stderr, "usage: %s [OPENINGS]\n", argv[0]);
        return 2;
    }
    const auto form = startPelorin();
    if (!QTest::qWaitForWindowExposed(form.get())) return 2;
    auto* calculate = form->findChild<QPushButton*>("Command1");

    PaintWatcher watcher;
    std::vector<double> opening, following;
    for (long i = 0; i < openings; ++i) {
        choose(*form, i);
        calculate->click();
        settle();
        QElapsedTimer clock;
        clock.start();
        form->stepsWindowAction()->trigger();
        watcher.watch(tableViewport(form->stepsWindow()));
        opening.push_back(untilPainted(watcher, clock));
        form->stepsWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle();
    }

    form->stepsWindowAction()->trigger();
    watcher.watch(tableViewport(form->stepsWindow()));
    settle();
    for (long i = 0; i < openings; ++i) {
        choose(*form, i);
        settle();
        watcher.reset();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(calculate, Qt::LeftButton);
        following.push_back(untilPainted(watcher, clock));
    }

    std::printf("Steps and errors window, %ld times each (%s)\n", openings,
                qPrintable(QGuiApplication::platformName()));
    report("Ctrl+E until the table is painted", opening);
    report("CALCULATE until the open table is painted", following);
    return 0;
}
