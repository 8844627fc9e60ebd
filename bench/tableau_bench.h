// The Tableau page's exact work: the order conditions of an eight-stage
// tableau of order 8, the whole page for Gauss-Legendre 4, and RK4 read from
// its boxes' texts and shown.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

namespace pelorin::bench {

void registerTableauBenchmarks(std::vector<benchmark::internal::Benchmark*>& benchmarks);

}  // namespace pelorin::bench
