// How long the Method lab keeps the event loop busy: every event the
// application delivers is timed, from its arrival to the return of its
// handler, while a script uses every control of the lab as a student would
// (open it, choose each problem of the library on every page, type equations
// key by key, edit the boxes, pick each method, switch pages, sweep h, walk
// the steps, toggle the plot's abscissa, type f on the Field page, pan it and
// click in it, resize). Prints the longest handlers with what they handled.
//
//   lab_bench [ROUNDS]      (default 3)
#include "ui/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Handler {
    double ms;     // wall-clock: what the student waits
    double cpuMs;  // the window's thread's own time: the same on a busy machine
    std::string what;
    bool key = false;  // a key typed into a box, Enter apart
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times each outermost event delivery; nested deliveries count in it.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) return QApplication::notify(receiver, event);
        ++depth_;
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        // Read before the event is handled: a deferred delete ends the receiver.
        const int type = event->type();
        const char* receiverClass = receiver->metaObject()->className();
        const bool result = QApplication::notify(receiver, event);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const double cpuMs = threadCpuMs() - cpuStart;
        --depth_;
        if (recording) {
            const bool key = (type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
                             doing.starts_with("typing ");
            handlers.push_back({ms, cpuMs, std::string(receiverClass) + " event " + std::to_string(type) +
                                        ", while " + doing, key});
        }
        return result;
    }

    bool recording = false;
    std::string doing;  // what the script is doing, for the table
    std::vector<Handler> handlers;

private:
    int depth_ = 0;
};

template <typename Widget>
Widget* named(QWidget& window, const QString& accessibleName) {
    for (Widget* widget : window.findChildren<Widget*>()) {
        if (widget->accessibleName() == accessibleName) return widget;
    }
    std::fprintf(stderr, "no control named %s\n", qPrintable(accessibleName));
    std::exit(1);
}

void settle() { QTest::qWait(20); }

void doing(const std::string& what) { static_cast<TimingApplication*>(qApp)->doing = what; }

// Types into a box key by key, as a student does, and ends with Enter.
void typeInto(QLineEdit* box, const char* text) {
    doing("typing " + box->accessibleName().toStdString() + " = " + text);
    box->setFocus();
    box->selectAll();
    for (const char* c = text; *c; ++c) {
        QTest::keyClicks(box, QString(QChar(*c)));
        settle();
    }
    // Enter reads the box and starts the pages' work: apart from the keys.
    doing("entering " + box->accessibleName().toStdString() + " = " + text);
    QTest::keyClick(box, Qt::Key_Return);
    settle();
}

void useTheLab(QWidget& lab) {
    auto* tabs = lab.findChild<QTabWidget*>();
    auto* method = named<QComboBox>(lab, "Method");
    auto* x1 = named<QLineEdit>(lab, "x1");
    // Each problem of the library on every page, its studies running while
    // the page paints; then equations typed: one with an exact solution, one
    // studied against the reference.
    auto* problem = named<QComboBox>(lab, "Problem");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        const std::string onPage = " on the " + tabs->tabText(page).remove('&').toStdString() + " page";
        for (int row = 0; row + 1 < problem->count(); ++row) {
            doing("choosing " + problem->itemText(row).toStdString() + onPage);
            problem->setCurrentIndex(row);
            emit problem->activated(row);
            settle();
        }
    }
    tabs->setCurrentIndex(0);
    typeInto(named<QLineEdit>(lab, "exact y(x)"), "");
    typeInto(named<QLineEdit>(lab, "f(x, y)"), "x^2 + y^2");
    typeInto(named<QLineEdit>(lab, "f(x, y)"), "y - x^2 + 1");
    typeInto(named<QLineEdit>(lab, "exact y(x)"), "(x + 1)^2 - exp(x)/2");
    doing("choosing the lesson");
    problem->setCurrentIndex(0);
    emit problem->activated(0);
    settle();
    for (const char* end : {"2", "0.4", "-1", "1"}) {
        doing(std::string("typing x1 = ") + end);
        x1->selectAll();
        QTest::keyClicks(x1, end);
        doing(std::string("entering x1 = ") + end);
        QTest::keyClick(x1, Qt::Key_Return);
        settle();
    }
    for (int row = 0; row < method->count(); ++row) {
        doing("choosing " + method->itemText(row).toStdString());
        method->setCurrentIndex(row);
        settle();
    }
    doing("toggling the abscissa");
    tabs->setCurrentIndex(0);
    auto* evaluations = named<QCheckBox>(lab, "Plot against slope evaluations");
    QTest::mouseClick(evaluations, Qt::LeftButton);
    settle();
    QTest::mouseClick(evaluations, Qt::LeftButton);
    settle();
    doing("sweeping h on the Stability page");
    tabs->setCurrentIndex(1);
    settle();
    auto* slider = named<QSlider>(lab, "h slider");
    for (int value = 1; value <= slider->maximum(); value += 13) {
        slider->setValue(value);
        settle();
    }
    tabs->setCurrentIndex(2);
    typeInto(named<QLineEdit>(lab, "h"), "0.1");
    doing("walking the steps");
    auto* next = named<QPushButton>(lab, "Next step");
    for (int step = 0; step < 10; ++step) {
        QTest::mouseClick(next, Qt::LeftButton);
        settle();
    }
    // The Field page on a typed f: its runs and reference come from another
    // thread, its field is drawn at once; the plot pans and takes a click.
    doing("using the Field page");
    tabs->setCurrentIndex(3);
    auto* f = named<QLineEdit>(lab, "f(x, y)");
    f->selectAll();
    QTest::keyClicks(f, "sin(x*y) + y^2/(1 + x^2)");
    QTest::keyClick(f, Qt::Key_Return);
    settle();
    auto* every = named<QCheckBox>(lab, "All seven methods");
    QTest::mouseClick(every, Qt::LeftButton);
    settle();
    QTest::mouseClick(every, Qt::LeftButton);
    auto* field = named<QWidget>(lab, "Field");
    const QPoint middle = field->rect().center();
    QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, middle);
    for (int dx = 4; dx <= 80; dx += 4) {
        QMouseEvent move(QEvent::MouseMove, middle + QPoint(dx, dx / 2),
                         field->mapToGlobal(middle + QPoint(dx, dx / 2)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &move);
        settle();
    }
    QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, middle + QPoint(80, 40));
    settle();
    QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, middle);
    settle();
    f->selectAll();
    QTest::keyClicks(f, "-2*x - y");
    QTest::keyClick(f, Qt::Key_Return);
    settle();
    doing("resizing");
    lab.resize(1200, 900);
    settle();
    lab.resize(1000, 860);
    settle();
}

}  // namespace

int main(int argc, char** argv) {
    TimingApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) return 1;

    app.recording = true;
    app.doing = "opening the lab";
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    settle();
    QWidget* lab = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == "Method lab") lab = window;
    }
    if (!lab) {
        std::fprintf(stderr, "Ctrl+L opened no lab\n");
        return 1;
    }
    for (int round = 0; round < rounds; ++round) useTheLab(*lab);
    app.recording = false;

    std::sort(app.handlers.begin(), app.handlers.end(),
              [](const Handler& a, const Handler& b) { return a.ms > b.ms; });
    std::printf("%zu events handled; the longest handlers (wall-clock, and the window's "
                "thread's CPU time):\n",
                app.handlers.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(8, app.handlers.size()); ++i) {
        std::printf("%8.2f ms %8.2f ms CPU  %s\n", app.handlers[i].ms, app.handlers[i].cpuMs,
                    app.handlers[i].what.c_str());
    }
    // The handlers are sorted longest first: the first key is the longest.
    const auto key = std::find_if(app.handlers.begin(), app.handlers.end(),
                                  [](const Handler& handler) { return handler.key; });
    if (key != app.handlers.end()) {
        std::printf("the longest key typed into a box:\n%8.2f ms %8.2f ms CPU  %s\n", key->ms,
                    key->cpuMs, key->what.c_str());
    }
    return 0;
}
