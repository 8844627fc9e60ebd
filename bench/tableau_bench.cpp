#include "bench/tableau_bench.h"

#include "methods/methods.h"
#include "symbolic/order_conditions.h"
#include "symbolic/tableau_view.h"
#include "symbolic/typed_tableau.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace pelorin::bench {

namespace {

// The collocation method on the eight nodes 0, 1/6, (5 ∓ √5)/10, 1/3, 2/3,
// 5/6 and 1: a_ij = ∫₀^cᵢ ℓⱼ and b_j = ∫₀¹ ℓⱼ with ℓⱼ the Lagrange polynomials
// of the nodes, worked out exactly apart from this program (sympy). Its
// quadrature is exact up to degree 7 and not for t⁸, so its order is 8,
// and its stage order too: the order conditions go up to the 286 trees of
// order 9, on a full 8 × 8 matrix with √5 in it.
TableauTexts collocationEightTexts() {
    return {
        {"0", "1/6", "(5 - √5)/10", "1/3", "2/3", "(5 + √5)/10", "5/6", "1"},
        {{"", "", "", "", "", "", "", ""},
         {"1993559/43545600", "921869/3326400", "(-1406400 - 1203125√5)/9580032",
          "285497/967680", "-125753/967680", "(-1406400 + 1203125√5)/9580032", "-98381/3326400",
          "80809/43545600"},
         {"(23195 + 271√5)/525000", "(82080 - 2484√5)/240625", "(-2125 - 383√5)/9240",
          "(4185 - 864√5)/8750", "(1755 - 1728√5)/17500", "(-425 + 293√5)/1848",
          "(-1080 - 2484√5)/240625", "(305 + 271√5)/525000"},
         {"3859/85050", "16472/51975", "(-6225 - 7000√5)/74844", "1079/3780", "-461/3780",
          "(-6225 + 7000√5)/74844", "-1448/51975", "149/85050"},
         {"1829/42525", "18944/51975", "(-7050 - 1750√5)/18711", "662/945", "277/945",
          "(-7050 + 1750√5)/18711", "1024/51975", "-26/42525"},
         {"(23195 - 271√5)/525000", "(82080 + 2484√5)/240625", "(-425 - 293√5)/1848",
          "(4185 + 864√5)/8750", "(1755 + 1728√5)/17500", "(-2125 + 383√5)/9240",
          "(-1080 + 2484√5)/240625", "(305 - 271√5)/525000"},
         {"74735/1741824", "48725/133056", "(-3000000 - 1203125√5)/9580032", "137125/193536",
          "54875/193536", "(-3000000 + 1203125√5)/9580032", "7915/133056", "-1775/1741824"},
         {"47/1050", "648/1925", "-425/924", "81/140", "81/140", "-425/924", "648/1925",
          "47/1050"}},
        {"47/1050", "648/1925", "-425/924", "81/140", "81/140", "-425/924", "648/1925", "47/1050"},
        {}};
}

TypedTableau typedOrThrow(const TableauTexts& texts) {
    TableauReading reading = readTableau(texts);
    if (!reading.tableau) {
        throw std::logic_error("a benchmark's tableau does not read: " + reading.why);
    }
    return std::move(*reading.tableau);
}

// What the Tableau page works out while a student types: the order
// conditions alone, on the tableau read once beforehand.
void orderConditionsEightStages(benchmark::State& state) {
    const ExactTableau tableau = typedOrThrow(collocationEightTexts()).exact;
    OrderAnalysis analysis;
    for (auto _ : state) {
        analysis = analyseOrder(tableau);
        benchmark::DoNotOptimize(analysis);
    }
    state.counters["order"] = analysis.order;
    state.counters["stage_order"] = analysis.stageOrder;
    state.counters["conditions"] = static_cast<double>(analysis.conditions.size());
    if (analysis.order != 8) state.SkipWithError("the collocation tableau is not of order 8");
}

// The whole page for a catalogue tableau: verdict, stability, conditions.
void viewGaussLegendre4(benchmark::State& state) {
    const ExactTableau tableau = exactTableau(*tableauOf(methodByCaption("Gauss-Legendre 4")));
    for (auto _ : state) {
        TableauView view = tableauView("Gauss-Legendre 4", tableau);
        benchmark::DoNotOptimize(view);
    }
}

// The same from the boxes' texts, as one edit of a box costs.
void readAndViewRk4(benchmark::State& state) {
    const TableauTexts texts = textsOf(rungeKutta4Tableau);
    for (auto _ : state) {
        TableauView view = tableauView("RK4", typedOrThrow(texts).exact);
        benchmark::DoNotOptimize(view);
    }
}

}  // namespace

void registerTableauBenchmarks(std::vector<benchmark::internal::Benchmark*>& benchmarks) {
    benchmarks.push_back(benchmark::RegisterBenchmark("tableau/order_conditions_8_stages",
                                                      orderConditionsEightStages)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("tableau/view_gauss_legendre_4", viewGaussLegendre4)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("tableau/read_and_view_rk4", readAndViewRk4)
                             ->Unit(benchmark::kMillisecond));
}

}  // namespace pelorin::bench
