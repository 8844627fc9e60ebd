// How the lab's pages run a study off the window's thread. A study of a
// typed equation costs too much for the window's thread, so it runs on the
// lab's own threads: never on the application's global pool, on which Qt
// paints large fills in parallel (a paint would wait until a study ends),
// at a priority below the window's, and one fewer than the processor's
// cores, so that the window keeps one. Each study has copies of the equation
// of its own and a token that stops it once it is no longer wanted, and its
// result is shown only if no newer study was asked for since.
#pragma once

#include "lab/inputs.h"

#include <QFutureWatcher>
#include <QObject>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>
#include <stop_token>
#include <type_traits>
#include <utility>

class QThreadPool;

// The lab's threads for studies, made on first use. They end with the
// application, or with endStudyPool.
QThreadPool& studyPool();
// Waits for the studies under way, then ends the threads: for a plugin
// about to be unloaded, whose code the studies run.
void endStudyPool();
// Lowers the calling thread's share of the processor below the window's.
void yieldToTheWindow();

// A typed equation copied for one study on another thread: a compiled
// expression serves one thread at a time.
struct EquationCopy {
    std::shared_ptr<const pelorin::SlopeExpression> slope;
    std::shared_ptr<const pelorin::SolutionExpression> exact;  // null: none given or usable

    // The exact solution as a function of x; empty without one.
    pelorin::KnownSolution solution() const;
};
EquationCopy copyForStudy(const LabEquation& equation);

// One page's studies of one kind, one after another: each asked for makes
// the ones before stale. Results are shown on the thread the runner lives
// in, never after it is gone.
class StudyRunner : public QObject {
public:
    StudyRunner() = default;
    // Stops the study under way; its result goes nowhere.
    ~StudyRunner() override;

    // Makes every study asked for so far stale, as a page does that shows
    // something calculated on its own thread: its result is never shown,
    // and it is asked to stop.
    void supersede();

    // Runs study(stop) on the lab's threads, then show(result) here, unless
    // a newer study was asked for since.
    template <typename Study, typename Show>
    void run(Study study, Show show) {
        supersede();
        using Result = std::invoke_result_t<Study&, std::stop_token>;
        auto* watcher = new QFutureWatcher<Result>(this);
        connect(watcher, &QFutureWatcherBase::finished, this,
                [this, watcher, generation = generation_, show = std::move(show)] {
                    if (generation == generation_) show(watcher->result());
                    watcher->deleteLater();
                });
        watcher->setFuture(QtConcurrent::run(
            &studyPool(), [study = std::move(study), stop = stop_.get_token()]() mutable {
                yieldToTheWindow();
                return study(stop);
            }));
    }

private:
    int generation_ = 0;     // of the study asked for last
    std::stop_source stop_;  // of the study asked for last
};
