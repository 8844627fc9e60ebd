// The hook the start-up probes share: once the main window has painted for
// the first time, prints the CLOCK_MONOTONIC time and the peak resident
// memory, then ends the event loop. It adds no work before that paint.
#pragma once

#include "tests/support/resident_memory.h"

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace pelorin::bench {

// Watches the main window for its first paint event. The paint of the window
// itself is followed, in the same pass, by its children's paints and the
// flush to the screen; the time is taken when the event loop next turns to
// its posted events, which is right after that pass has returned.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) : window_(window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Paint) {
            window_.removeEventFilter(this);
            QMetaObject::invokeMethod(this, &FirstPaint::report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void report() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("first_paint_ns %lld\npeak_resident_kb %ld\n",
                    static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec,
                    pelorin::testing::peakResidentKilobytes());
        std::fflush(stdout);
        QApplication::exit(0);
    }

    QWidget& window_;
};

}  // namespace pelorin::bench
