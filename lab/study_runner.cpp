#include "lab/study_runner.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace {

// The pool is the application's child, found by its name rather than kept
// in a static of the plugin: it ends with the application, and the plugin's
// end, which may come after its statics are destroyed, can still look.
constexpr const char* poolName = "Method lab studies";

QThreadPool* existingPool() {
    QCoreApplication* application = QCoreApplication::instance();
    return application ? application->findChild<QThreadPool*>(poolName, Qt::FindDirectChildrenOnly)
                       : nullptr;
}

}  // namespace

QThreadPool& studyPool() {
    if (QThreadPool* pool = existingPool()) return *pool;
    auto* pool = new QThreadPool(QCoreApplication::instance());
    pool->setObjectName(poolName);
    pool->setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    pool->setThreadPriority(QThread::LowPriority);
    return *pool;
}

void endStudyPool() { delete existingPool(); }

pelorin::KnownSolution EquationCopy::solution() const {
    if (!exact) return {};
    return [exact = exact](double x) { return (*exact)(x); };
}

EquationCopy copyForStudy(const LabEquation& equation) {
    EquationCopy copy;
    if (equation.slope) {
        copy.slope = std::make_shared<const pelorin::SlopeExpression>(equation.slope->clone());
    }
    if (equation.exact) {
        copy.exact = std::make_shared<const pelorin::SolutionExpression>(equation.exact->clone());
    }
    return copy;
}

StudyRunner::~StudyRunner() { stop_.request_stop(); }

void StudyRunner::supersede() {
    ++generation_;
    stop_.request_stop();
    stop_ = std::stop_source();
}
