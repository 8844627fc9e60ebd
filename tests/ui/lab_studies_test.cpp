// The lab's studies off the window's thread: where they run, that only the
// newest is shown, and that none outlives what it reports to.
#include "lab/study_runner.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Handles the window's events until `done` holds; without a time limit, as
// a study takes what the machine gives it.
template <typename Condition>
void handleEventsUntil(Condition done) {
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Lets every study under way end, and then the window handle what they sent.
void finishStudies() {
    studyPool().waitForDone();
    QCoreApplication::sendPostedEvents();
}

struct Where {
    bool windowThread = true;
    bool globalPool = true;
    bool labPool = false;
    QThread::Priority priority = QThread::InheritPriority;
    int nice = 0;  // the thread's own, as Linux schedules it
};

int threadNice() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

// A paint on the window's thread waits for the global pool, on which Qt
// fills large areas in parallel: a study must never hold one of its threads.
TEST(LabStudies, RunOnTheLabsOwnThreadsBelowTheWindowsPriority) {
    StudyRunner runner;
    std::optional<Where> seen;
    QThread* window = QThread::currentThread();
    QThreadPool* lab = &studyPool();
    runner.run(
        [window, lab](std::stop_token) {
            QThread* here = QThread::currentThread();
            return Where{here == window, QThreadPool::globalInstance()->contains(here),
                         lab->contains(here), here->priority(), threadNice()};
        },
        [&](Where where) { seen = where; });
    handleEventsUntil([&] { return seen.has_value(); });
    EXPECT_FALSE(seen->windowThread);
    EXPECT_FALSE(seen->globalPool);
    EXPECT_TRUE(seen->labPool);
    EXPECT_EQ(seen->priority, QThread::LowPriority);
    // Linux ignores the priority for ordinary threads; the nice value counts.
    EXPECT_EQ(seen->nice, std::min(threadNice() + 10, 19));
    // One core stays the window's.
    EXPECT_EQ(studyPool().maxThreadCount(), std::max(1, QThread::idealThreadCount() - 1));
}

// Studies that end in any order: only the newest asked for is shown, and a
// study made stale is asked to stop, or never begun if it had not begun.
TEST(LabStudies, OnlyTheNewestIsShown) {
    enum class Then { olderEndsFirst, olderEndsLast, windowShowsItsOwn };
    const struct {
        const char* name;
        Then then;
        std::vector<std::string> shown;
    } cases[] = {
        {"the older study ends first", Then::olderEndsFirst, {"newer"}},
        {"the older study ends last", Then::olderEndsLast, {"newer"}},
        {"the page shows a study of its own thread", Then::windowShowsItsOwn, {}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        StudyRunner runner;
        std::vector<std::string> shown;
        const auto show = [&](std::string result) { shown.push_back(std::move(result)); };
        std::binary_semaphore olderMayEnd{0}, newerMayEnd{0};
        std::atomic<bool> olderBegun = false, olderStopped = false;
        runner.run(
            [&](std::stop_token stop) {
                olderBegun = true;
                olderMayEnd.acquire();
                olderStopped = stop.stop_requested();
                return std::string("older");
            },
            show);
        if (row.then == Then::windowShowsItsOwn) {
            runner.supersede();
        } else {
            runner.run(
                [&](std::stop_token) {
                    newerMayEnd.acquire();
                    return std::string("newer");
                },
                show);
        }
        // The pool may have a single thread: the study that holds it ends first.
        const bool olderFirst = row.then != Then::olderEndsLast || studyPool().maxThreadCount() < 2;
        if (olderFirst) {
            olderMayEnd.release();
            newerMayEnd.release();
        } else {
            newerMayEnd.release();
            handleEventsUntil([&] { return !shown.empty(); });
            olderMayEnd.release();
        }
        finishStudies();
        EXPECT_EQ(shown, row.shown);
        EXPECT_TRUE(!olderBegun || olderStopped);
    }
}

// Studies asked for while every thread of the pool is busy wait for one;
// those made stale meanwhile are never begun, so that the one wanted does
// not wait behind them.
TEST(LabStudies, AStudyMadeStaleBeforeItBeginsIsNeverBegun) {
    const int threads = studyPool().maxThreadCount();
    std::counting_semaphore<> busyMayEnd{0};
    std::vector<std::unique_ptr<StudyRunner>> busy;
    for (int i = 0; i < threads; ++i) {
        busy.push_back(std::make_unique<StudyRunner>());
        busy.back()->run(
            [&](std::stop_token) {
                busyMayEnd.acquire();
                return 0;
            },
            [](int) {});
    }
    StudyRunner runner;
    std::atomic<int> staleBegun = 0;
    std::vector<std::string> shown;
    const auto show = [&](std::string result) { shown.push_back(std::move(result)); };
    for (const char* stale : {"first keystroke", "second keystroke"}) {
        runner.run(
            [&, stale](std::stop_token) {
                ++staleBegun;
                return std::string(stale);
            },
            show);
    }
    runner.run([](std::stop_token) { return std::string("wanted"); }, show);
    busyMayEnd.release(threads);
    finishStudies();
    EXPECT_EQ(staleBegun, 0);
    EXPECT_EQ(shown, std::vector<std::string>{"wanted"});
}

// A page closed while its study runs: the study is asked to stop, and its
// result, when it comes, goes nowhere.
TEST(LabStudies, EndWithTheirRunner) {
    std::vector<std::string> shown;
    std::binary_semaphore started{0}, mayEnd{0};
    std::atomic<bool> stopped = false;
    auto runner = std::make_unique<StudyRunner>();
    runner->run(
        [&](std::stop_token stop) {
            started.release();
            mayEnd.acquire();
            stopped = stop.stop_requested();
            return std::string("closed");
        },
        [&](std::string result) { shown.push_back(std::move(result)); });
    started.acquire();
    runner.reset();
    mayEnd.release();
    finishStudies();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(shown.empty());
}

// The plugin's code must stay while a study runs it: ending the pool waits
// for the studies under way, and the next study makes the pool again.
TEST(LabStudies, EndingThePoolWaitsForTheStudiesUnderWay) {
    StudyRunner runner;
    std::binary_semaphore started{0};
    std::atomic<bool> ended = false;
    std::optional<int> shown;
    runner.run(
        [&](std::stop_token) {
            started.release();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ended = true;
            return 1;
        },
        [&](int result) { shown = result; });
    started.acquire();
    endStudyPool();
    EXPECT_TRUE(ended);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(shown, 1);

    runner.run([](std::stop_token) { return 2; }, [&](int result) { shown = result; });
    handleEventsUntil([&] { return shown == 2; });
}

}  // namespace
