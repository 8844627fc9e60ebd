// How the lab's pages run a study off the window's thread. A study of a
// typed equation costs too much for the window's thread, so it runs on the
// lab's own threads: never on the application's global pool, on which Qt
// paints large fills in parallel (a paint would wait until a study ends),
// at a priority below the window's, and one fewer than the processor's
// cores, so that the window keeps one. Each study has a token that stops it
// once it is no longer wanted, and its result is shown only if no newer
// study was asked for since.
#pragma once

#include "problem/problem.h"

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
        // A study made stale while it waited for a thread is not begun: on
        // a machine of two cores the pool has one thread, and the studies a
        // student's typing left behind would hold up the one wanted.
        static_assert(std::is_default_constructible_v<Result>);
        watcher->setFuture(QtConcurrent::run(
            &studyPool(),
            [study = std::move(study), stop = stop_.get_token()]() mutable -> Result {
                if (stop.stop_requested()) return Result{};
                yieldToTheWindow();
                return study(stop);
            }));
    }

    // Studies `problem` with study(problem, stop) and shows the result. The
    // lesson's equation, whose built-in slope is cheap, is studied at once
    // on this thread. A typed one costs far more: first `waiting(problem)`
    // shows what the page shows until the result comes, then the study
    // runs on the lab's threads.
    template <typename Study, typename Show, typename Waiting>
    void study(const pelorin::Problem& problem, Study study, Show show, Waiting waiting) {
        if (!problem.equation.lesson()) {
            waiting(problem);
            runOffThread(problem, std::move(study), std::move(show));
            return;
        }
        supersede();
        show(study(problem, std::stop_token{}));
    }

    // The same on the lab's threads whatever the equation. The study gets a
    // copy of the problem that shares its compiled expressions: a study
    // makes expressions of its own before it evaluates any.
    template <typename Study, typename Show>
    void runOffThread(const pelorin::Problem& problem, Study study, Show show) {
        run([study = std::move(study), problem](std::stop_token stop) { return study(problem, stop); },
            std::move(show));
    }

private:
    int generation_ = 0;     // of the study asked for last
    std::stop_source stop_;  // of the study asked for last
};
