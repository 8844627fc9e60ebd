// Ending a Qt test program without a false leak report.
#pragma once

namespace pelorin::testing {

// Qt scales and converts large images on threads of a pool of its own, and
// the Method lab runs its studies on another. The QApplication's end stops
// them, but they are detached: one may still be unwinding when the process
// exits, and the leak checker then reports the thread data it was about to
// free. Called once the QApplication is gone, this waits until every such
// thread has ended.
void waitForQtPoolThreadsToEnd();

}  // namespace pelorin::testing
