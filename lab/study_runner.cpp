#include "lab/study_runner.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QVariant>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The pool is the application's child, found by a property of its own
// rather than kept in a static of the plugin: it ends with the application,
// and the plugin's end, which may come after its statics are destroyed, can
// still look. It keeps no object name, so that its threads carry Qt's name
// for pooled threads, which the tests wait for before their leak check.
constexpr const char* poolProperty = "methodLabStudies";

QThreadPool* existingPool() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return nullptr;
    for (QThreadPool* pool : application->findChildren<QThreadPool*>(Qt::FindDirectChildrenOnly)) {
        if (pool->property(poolProperty).toBool()) return pool;
    }
    return nullptr;
}

}  // namespace

QThreadPool& studyPool() {
    if (QThreadPool* pool = existingPool()) return *pool;
    auto* pool = new QThreadPool(QCoreApplication::instance());
    pool->setProperty(poolProperty, true);
    pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    pool->setThreadPriority(QThread::LowPriority);
    return *pool;
}

void endStudyPool() { delete existingPool(); }

// The pool's QThread::LowPriority changes nothing under Linux's ordinary
// scheduling, where a thread's share of the processor follows its nice
// value: a study's thread takes a nice value 10 above the window's (a
// tenth of its share), so that the window's thread, and the threads Qt
// paints with, run first when they wake. The window's thread is the
// process's first.
void yieldToTheWindow() {
#ifdef __linux__
    constexpr int lessShare = 10, leastShare = 19;
    const int window = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), std::min(window + lessShare, leastShare));
#endif
}

StudyRunner::~StudyRunner() { stop_.request_stop(); }

void StudyRunner::supersede() {
    ++generation_;
    stop_.request_stop();
    stop_ = std::stop_source();
}
