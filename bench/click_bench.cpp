// How long a press of CALCULATE takes until the user sees its result: from the
// click on the button to the moment the plot and the results list have both
// painted it. Measured over 1,000 presses in a fresh window, then again after
// 10,000 earlier calculations, and with the growth of resident memory per
// results-list line in between.
//
//   click_bench [PRESSES] [EARLIER]      (default 1000 and 10000)
//
// The window is the program's own (startPelorin). The presses go through h =
// 0.4, 0.1, 0.05 and the seven methods in turn, so that the list grows as a
// lesson's would. Runs on whatever display the environment gives.
#include "ui/application.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/results_list_model.h"

#include "methods/methods.h"
#include "tests/support/resident_memory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long residentBytes() { return pelorin::testing::residentKilobytes() * 1024; }

// Notes the paint events of the plot and of the list's viewport.
class PaintWatcher : public QObject {
public:
    PaintWatcher(QWidget* plot, QWidget* list) : plot_(plot), list_(list) {
        plot->installEventFilter(this);
        list->installEventFilter(this);
    }
    void reset() { plotPainted_ = listPainted_ = false; }
    bool bothPainted() const { return plotPainted_ && listPainted_; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == plot_) plotPainted_ = true;
            if (watched == list_) listPainted_ = true;
        }
        return false;
    }

private:
    QWidget* plot_;
    QWidget* list_;
    bool plotPainted_ = false;
    bool listPainted_ = false;
};

struct Window {
    QPushButton* calculate;
    QLineEdit* h;
    std::vector<QRadioButton*> methods;
    PaintWatcher& watcher;
};

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Press number `press`: chooses its h and method, lets those changes paint,
// then clicks CALCULATE and processes events until the plot and the list have
// painted. Returns the time from the click to then in milliseconds.
double press(Window& window, long number) {
    static const char* const steps[] = {"0.4", "0.1", "0.05"};
    window.h->setText(steps[number % 3]);
    window.methods[static_cast<std::size_t>(number % 7)]->setChecked(true);
    settle();

    window.watcher.reset();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.calculate, Qt::LeftButton);
    while (!window.watcher.bothPainted()) {
        QCoreApplication::processEvents();
        if (clock.elapsed() > 10'000) {
            std::fprintf(stderr, "press %ld: no paint within 10 s\n", number);
            std::exit(2);
        }
    }
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

struct Summary {
    double median, p90, worst;
};

Summary summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 9 / 10], times.back()};
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const long presses = argc > 1 ? std::atol(argv[1]) : 1000;
    const long earlier = argc > 2 ? std::atol(argv[2]) : 10000;
    if (presses < 1 || earlier < presses) {
        std::fprintf(stderr, "usage: %s [PRESSES] [EARLIER], EARLIER >= PRESSES >= 1\n", argv[0]);
        return 2;
    }

    const auto form = startPelorin();
    if (!QTest::qWaitForWindowExposed(form.get())) return 2;
    PaintWatcher watcher(form->findChild<QWidget*>("Picture1"),
                         form->findChild<QListView*>("List1")->viewport());
    Window window{form->findChild<QPushButton*>("Command1"),
                  form->findChild<QLineEdit*>("Text_h"), {}, watcher};
    for (const Placement& option : form1Layout::options) {
        window.methods.push_back(form->findChild<QRadioButton*>(
            QString::fromUtf8(option.name.data(), static_cast<qsizetype>(option.name.size()))));
    }
    settle();
    const auto lines = [&] { return static_cast<long>(form->results().rowCount()); };

    const long startResident = residentBytes();
    long number = 0;
    std::vector<double> fresh;
    for (; number < presses; ++number) fresh.push_back(press(window, number));
    const long freshResident = residentBytes();
    const long freshLines = lines();
    for (; number < earlier; ++number) press(window, number);
    const long earlierResident = residentBytes();
    const long earlierLines = lines();
    std::vector<double> later;
    for (long i = 0; i < presses; ++i, ++number) later.push_back(press(window, number));

    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const Summary a = summarise(fresh), b = summarise(later);
    const std::string afterEarlier = "after " + std::to_string(earlier) + " calculations (" +
                                     std::to_string(earlierLines) + " lines)";
    std::printf("CALCULATE to the plot and the list painted, %ld presses (platform %s)\n",
                presses, platform && *platform ? platform : "xcb");
    std::printf("%-42s %9s %9s %9s\n", "window", "median", "p90", "worst");
    std::printf("%-42s %7.2fms %7.2fms %7.2fms\n", "fresh", a.median, a.p90, a.worst);
    std::printf("%-42s %7.2fms %7.2fms %7.2fms\n", afterEarlier.c_str(), b.median, b.p90,
                b.worst);
    std::printf("resident memory: %.1f MB at start, %.1f MB after %ld calculations\n",
                startResident / 1e6, earlierResident / 1e6, earlier);
    std::printf("growth per list line: %.1f bytes over all %ld calculations, %.1f bytes after "
                "the first %ld\n",
                double(earlierResident - startResident) / double(earlierLines), earlier,
                double(earlierResident - freshResident) / double(earlierLines - freshLines),
                presses);
    return 0;
}
