// What a fuzz target does when a property fails: say which, and abort, so
// libFuzzer keeps the input and the replay test fails on it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace pelorin::fuzz {

inline void require(bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "failed: %s\n", what.c_str());
    std::abort();
}

}  // namespace pelorin::fuzz
