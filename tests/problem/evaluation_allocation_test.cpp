// A slope is evaluated millions of times in a study: after compiling, an
// evaluation must not allocate. This file counts every allocation the test
// program makes.
#include "methods/methods.h"
#include "problem/expression.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
// Out of line: inlined, the compiler would see operator new's memory handed
// to free and warn of a mismatch.
[[gnu::noinline]] void operator delete(void* memory) noexcept { std::free(memory); }
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

using namespace pelorin;

TEST(SlopeExpression, EvaluatesWithoutAllocating) {
    SlopeCompilation compiled = compileSlope("max(sin(x)*y, -2*x - y) + (x < 1 ? exp(-y^2) : 0)");
    ASSERT_TRUE(compiled.slope);
    const SlopeExpression& f = *compiled.slope;
    SolutionCompilation exact = compileSolution("2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))", 0, -1);
    ASSERT_TRUE(exact.solution);

    const long before = allocations;
    double sum = 0;
    for (int i = 0; i < 1000; ++i) {
        sum += f(i * 0.01, 0.5) + (*exact.solution)(i * 0.01);
        sum += RK4(i * 0.01, sum * 1e-9, 0.01, f);
    }
    EXPECT_EQ(allocations - before, 0);
    EXPECT_TRUE(std::isfinite(sum));
}
