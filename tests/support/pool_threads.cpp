#include "tests/support/pool_threads.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace pelorin::testing {

namespace {

// Qt names each thread of a pool after the pool's threads' class.
bool aPoolThreadIsAlive() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name == "Thread (pooled)") return true;
    }
    return false;
}

}  // namespace

void waitForQtPoolThreadsToEnd() {
    while (aPoolThreadIsAlive()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace pelorin::testing
