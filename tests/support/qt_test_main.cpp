// The main of the window tests: GoogleTest inside a QApplication on the
// offscreen platform, so that no display is needed.
#include "tests/support/pool_threads.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    pelorin::testing::waitForQtPoolThreadsToEnd();
    return result;
}
