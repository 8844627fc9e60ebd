// How long the Method lab keeps the event loop busy: every event the
// application delivers is timed, from its arrival to the return of its
// handler, while a script uses every control of the lab as a student would
// (open it, edit the boxes, pick each method, switch pages, sweep h, walk
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
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Handler {
    double ms;
    std::string what;
};

// Times each outermost event delivery; nested deliveries count in it.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0) return QApplication::notify(receiver, event);
        ++depth_;
        QElapsedTimer timer;
        timer.start();
        // Read before the event is handled: a deferred delete ends the receiver.
        const int type = event->type();
        const char* receiverClass = receiver->metaObject()->className();
        const bool result = QApplication::notify(receiver, event);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        --depth_;
        if (recording) {
            handlers.push_back({ms, std::string(receiverClass) + " event " + std::to_string(type)});
        }
        return result;
    }

    bool recording = false;
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

void useTheLab(Form1& form, QWidget& lab) {
    auto* tabs = lab.findChild<QTabWidget*>();
    auto* method = named<QComboBox>(lab, "Method");
    auto* x1 = named<QLineEdit>(lab, "x1");
    for (const char* end : {"2", "0.4", "-1", "1"}) {
        x1->selectAll();
        QTest::keyClicks(x1, end);
        QTest::keyClick(x1, Qt::Key_Return);
        settle();
    }
    for (int row = 0; row < method->count(); ++row) {
        method->setCurrentIndex(row);
        settle();
    }
    tabs->setCurrentIndex(0);
    auto* evaluations = named<QCheckBox>(lab, "Plot against slope evaluations");
    QTest::mouseClick(evaluations, Qt::LeftButton);
    settle();
    QTest::mouseClick(evaluations, Qt::LeftButton);
    settle();
    tabs->setCurrentIndex(1);
    settle();
    auto* slider = named<QSlider>(lab, "h slider");
    for (int value = 1; value <= slider->maximum(); value += 13) {
        slider->setValue(value);
        settle();
    }
    tabs->setCurrentIndex(2);
    form.findChild<QLineEdit*>("Text_h")->setText("0.1");
    form.findChild<QLineEdit*>("Text_x1")->setText("1");
    QTest::mouseClick(form.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    settle();
    auto* next = named<QPushButton>(lab, "Next step");
    for (int step = 0; step < 10; ++step) {
        QTest::mouseClick(next, Qt::LeftButton);
        settle();
    }
    // The Field page on a typed f: its runs and reference come from another
    // thread, its field is drawn at once; the plot pans and takes a click.
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
    for (int round = 0; round < rounds; ++round) useTheLab(form, *lab);
    app.recording = false;

    std::sort(app.handlers.begin(), app.handlers.end(),
              [](const Handler& a, const Handler& b) { return a.ms > b.ms; });
    std::printf("%zu events handled; the longest handlers:\n", app.handlers.size());
    for (std::size_t i = 0; i < std::min<std::size_t>(8, app.handlers.size()); ++i) {
        std::printf("%8.2f ms  %s\n", app.handlers[i].ms, app.handlers[i].what.c_str());
    }
    return 0;
}
