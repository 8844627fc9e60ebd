// Time per step of the seven methods, time per CALCULATE press in the core,
// Boost.Odeint's classical Runge-Kutta step on the same equation, for
// comparison with ours, the lab's convergence study, on the built-in
// slope and on a typed one and a typed system, the implicit methods' runs on
// the typed stiff equation, the multistep methods' on the typed textbook
// problem, the Adaptive page's sweep of tolerances and the Tableau page's
// exact work (bench/tableau_bench.cpp).
#include "bench/tableau_bench.h"
#include "methods/methods.h"
#include "methods/multistep_formulas.h"
#include "numerics/adaptive.h"
#include "numerics/convergence.h"
#include "numerics/multistep_stability.h"
#include "numerics/phase_plane.h"
#include "numerics/reference.h"
#include "problem/expression.h"
#include "problem/problem.h"
#include "problem/system.h"
#include "problem/system_library.h"
#include "run/calculation.h"
#include "studies/adaptive_study.h"
#include "tests/support/fakes.h"

#include <benchmark/benchmark.h>
#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pelorin;

// Every step benchmark starts at the default starting point and goes on
// from wherever the previous step ended, as a calculation does. Each step
// needs the last result and the final y is handed to DoNotOptimize, so no
// step can be folded or skipped. Marking y at every step instead would put a
// copy through a general register or memory on the chain of dependent
// operations that the time per step measures (about 1 to 4 ns per step here).
// Along dy/dx = -2x - y the values stay near 2 - 2x, far from both overflow
// and subnormals, however many steps the benchmark takes.
constexpr double startX = 0;
constexpr double startY = -1;
constexpr double stepH = 0.04;

// The step size as the program has it: a value read at run time. A constant
// would let the compiler fold h/2, h/6 and the like into the inlined Boost
// stepper, which no calculation can do.
double opaqueStepH() {
    double h = stepH;
    benchmark::DoNotOptimize(h);
    return h;
}

// A step procedure called through the catalogue, as Numerical calls it.
void stepThroughCatalogue(benchmark::State& state, StepProcedure step) {
    const double h = opaqueStepH();
    double x = startX;
    double y = startY;
    for (auto _ : state) {
        y = step(x, y, h, f1);
        x = x + h;
    }
    benchmark::DoNotOptimize(y);
}

// Boost.Odeint's runge_kutta4 on a double state. It multiplies by h/2, h/6
// and h/3 where our formula multiplies by h and then halves or divides by 6,
// so its last bits often differ from ours; only its time is of interest.
void rk4BoostOdeint(benchmark::State& state) {
    boost::numeric::odeint::runge_kutta4<double> stepper;
    const auto slope = [](const double& y, double& dydx, double x) { dydx = -2 * x - y; };
    const double h = opaqueStepH();
    double x = startX;
    double y = startY;
    for (auto _ : state) {
        stepper.do_step(slope, y, x, h);
        x = x + h;
    }
    benchmark::DoNotOptimize(y);
}

// The tests' fake window, counting what it is told instead of keeping it, so
// the time measured is the core's.
class QuietWindow : public testing::FakeWindow {
public:
    explicit QuietWindow(std::size_t row) {
        selectedRow = row;
        // Ten steps to x1. With 0.04 ten additions end at 0.39999999999999997,
        // below x1, and an eleventh step would stop the calculation.
        h = "0.041";
    }
    void appendLine(const std::string&) override { ++lineCount; }
    void reportError(const std::string&) override { ++errorCount; }

    int lineCount = 0;
    int errorCount = 0;
};

class QuietCanvas : public Canvas {
public:
    void clear() override {}
    void scale(float, float, float, float) override {}
    void line(float, float, float, float, Pen) override { ++lines; }

    int lines = 0;
};

// One press of CALCULATE with the method of catalogue row `row`: the inputs
// read, the exact table, ten steps listed, the plot geometry drawn.
void calculate(benchmark::State& state, std::size_t row) {
    QuietWindow window(row);
    QuietCanvas canvas;
    Calculation last;
    for (auto _ : state) {
        window.lineCount = 0;
        canvas.lines = 0;
        Command1_Click(window, canvas, last);
    }
    // Three heading lines and ten steps; two axes and ten segments of each solution.
    if (window.errorCount != 0 || window.lineCount != 3 + 10 || canvas.lines != 2 + 10 + 10) {
        state.SkipWithError("the calculation did not take the expected ten steps");
    }
}

// The lab's Convergence page: all twelve methods from (0, -1) to 1 with
// N = 1, 2, 4, ... 2^doublings steps each.
void convergence(benchmark::State& state) {
    const ConvergenceProblem problem = lessonProblem(0, -1, 1);
    const int doublings = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ConvergenceStudy study = studyConvergence(problem, doublings);
        benchmark::DoNotOptimize(study);
    }
}

// The same study on a slope the user typed (the textbook's y' = y - x^2 + 1
// from (0, 0.5) to 2), beside the same number of evaluations of that slope
// alone: what the study costs beyond evaluating the slope.
constexpr int typedDoublings = 16;

SlopeExpression textbookSlope() { return std::move(*compileSlope("y - x^2 + 1").slope); }

// The slope evaluations a study's runs made, as they counted them.
long studyEvaluations(const ConvergenceStudy& study) {
    long evaluations = 0;
    for (const ConvergenceSeries& series : study.series) {
        for (const ConvergencePoint& point : series.points) evaluations += point.slopeEvaluations;
    }
    return evaluations;
}

// `evaluations` calls of a typed slope, each depending on the one before.
void evaluateAlone(benchmark::State& state, const SlopeExpression& slope, long evaluations) {
    for (auto _ : state) {
        double sum = 0;
        for (long i = 0; i < evaluations; ++i) {
            sum = sum + slope(static_cast<double>(i & 1023) / 512, sum * 1e-300 + 0.5);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

ConvergenceProblem textbookProblem(const SlopeExpression& slope) {
    return {0, 0.5, 2, slope, 9 - 0.5 * std::exp(2.0), 0};
}

void typedConvergence(benchmark::State& state) {
    const SlopeExpression slope = textbookSlope();
    long evaluations = 0;
    for (auto _ : state) {
        ConvergenceStudy study = studyConvergence(textbookProblem(slope), typedDoublings);
        evaluations = studyEvaluations(study);
        benchmark::DoNotOptimize(study);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

void typedEvaluationsAlone(benchmark::State& state) {
    const SlopeExpression slope = textbookSlope();
    evaluateAlone(state, slope,
                  studyEvaluations(studyConvergence(textbookProblem(slope), typedDoublings)));
}

// The five implicit methods' runs of the Convergence page on the library's
// stiff equation y' = -50(y - cos x) as typed, from (0, 0) to 1 with N = 1,
// 2, 4, ... 2^12, beside as many evaluations of that slope alone as the runs
// made, their Jacobians' difference quotients among them: what Newton's
// method costs beyond evaluating the slope.
constexpr int stiffDoublings = 12;

SlopeExpression stiffSlope() { return std::move(*compileSlope("-50*(y - cos(x))").slope); }

ConvergenceProblem stiffProblem(const SlopeExpression& slope) {
    const double atEnd = (2500 * std::cos(1.0) + 50 * std::sin(1.0)) / 2501 -
                         2500.0 / 2501 * std::exp(-50.0);
    return {0, 0, 1, slope, atEnd, 0};
}

RunWork implicitRuns(const ConvergenceProblem& problem) {
    RunWork work;
    for (const Method& method : labCatalogue()) {
        if (!hasTableau(method) || !isImplicit(method)) continue;
        for (int k = 0; k <= stiffDoublings; ++k) {
            double y = runToEnd(method, problem, 1L << k, &work);
            benchmark::DoNotOptimize(y);
        }
    }
    return work;
}

void implicitStiffConvergence(benchmark::State& state) {
    const SlopeExpression slope = stiffSlope();
    RunWork work;
    for (auto _ : state) work = implicitRuns(stiffProblem(slope));
    state.counters["evaluations"] = static_cast<double>(work.slopeEvaluations);
    state.counters["jacobians"] = static_cast<double>(work.newton.jacobianEvaluations);
    state.counters["solves"] = static_cast<double>(work.newton.linearSolves);
}

void implicitStiffEvaluationsAlone(benchmark::State& state) {
    const SlopeExpression slope = stiffSlope();
    evaluateAlone(state, slope, implicitRuns(stiffProblem(slope)).slopeEvaluations);
}

// The eight multistep methods' runs on the typed textbook problem with N =
// 1, 2, 4, ... 2^16, Runge-Kutta 4 starting them, the explicit ones (each
// step one evaluation, the pair two) and the implicit ones (Newton's method
// on the new value) apart, beside as many evaluations of the slope alone.
constexpr int multistepDoublings = 16;

RunWork multistepRuns(const ConvergenceProblem& problem, bool implicit) {
    RunWork work;
    for (const Method& method : labCatalogue()) {
        if (!isMultistep(method) || isOwnMultistep(method)) continue;
        if (isImplicit(method) != implicit) continue;
        for (int k = 0; k <= multistepDoublings; ++k) {
            double y = runToEnd(method, problem, 1L << k, &work);
            benchmark::DoNotOptimize(y);
        }
    }
    return work;
}

void multistepConvergence(benchmark::State& state) {
    const SlopeExpression slope = textbookSlope();
    RunWork work;
    for (auto _ : state) work = multistepRuns(textbookProblem(slope), state.range(0) != 0);
    state.counters["evaluations"] = static_cast<double>(work.slopeEvaluations);
    state.counters["jacobians"] = static_cast<double>(work.newton.jacobianEvaluations);
}

void multistepEvaluationsAlone(benchmark::State& state) {
    const SlopeExpression slope = textbookSlope();
    evaluateAlone(state, slope,
                  multistepRuns(textbookProblem(slope), state.range(0) != 0).slopeEvaluations);
}

// The Stability page's region of a multistep method as it redraws it, the
// own method's (the classic one) and BDF 4's, over the page's default view.
void multistepRegion(benchmark::State& state) {
    const Multistep& method = state.range(0) == 0 ? classicUnstableMethod : bdf4Method;
    for (auto _ : state) {
        StabilityGrid grid = sampleMultistepRegion(method, 201, 201);
        benchmark::DoNotOptimize(grid);
    }
}

// The same study on a typed system, the library's Lotka-Volterra entry with
// its parameters, from its start over its range with N up to 2^14, beside
// as many evaluations of its F alone.
constexpr int systemDoublings = 14;

const LibrarySystem& lotkaVolterra() {
    for (const LibrarySystem& entry : systemLibrary) {
        if (std::string_view(entry.name).starts_with("Lotka-Volterra")) return entry;
    }
    throw std::logic_error("the library has no Lotka-Volterra entry");
}

SlopeExpression lotkaVolterraSlope() {
    const LibrarySystem& entry = lotkaVolterra();
    std::vector<std::string> texts(entry.slopes.begin(), entry.slopes.begin() + entry.n);
    const Parameters parameters = *readParameters(entry.parameters).parameters;
    return std::move(*compileSlope(texts, parameters).slope);
}

double libraryNumber(std::string_view text) { return std::stod(std::string(text)); }

ConvergenceProblemOf<StateVector> lotkaVolterraProblem(const SlopeExpression& F) {
    const LibrarySystem& entry = lotkaVolterra();
    const double x0 = libraryNumber(entry.x0), x1 = libraryNumber(entry.x1);
    const StateVector y0{libraryNumber(entry.starts[0]), libraryNumber(entry.starts[1])};
    const ReferenceSolutionOf<StateVector> reference = referenceSolution(F, x0, y0, {x1});
    return {x0, y0, x1, F, reference.y.back(), reference.relativeAccuracy};
}

void typedSystemConvergence(benchmark::State& state) {
    const SlopeExpression F = lotkaVolterraSlope();
    const ConvergenceProblemOf<StateVector> problem = lotkaVolterraProblem(F);
    long evaluations = 0;
    for (auto _ : state) {
        ConvergenceStudy study = studyConvergence(problem, systemDoublings);
        evaluations = studyEvaluations(study);
        benchmark::DoNotOptimize(study);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

void typedSystemEvaluationsAlone(benchmark::State& state) {
    const SlopeExpression F = lotkaVolterraSlope();
    const long evaluations =
        studyEvaluations(studyConvergence(lotkaVolterraProblem(F), systemDoublings));
    for (auto _ : state) {
        StateVector y{1, 1};
        for (long i = 0; i < evaluations; ++i) {
            const StateVector slope = F(static_cast<double>(i & 1023) / 512, y);
            // Each evaluation depends on the one before, and y stays near (1, 1).
            y[0] = 1 + slope[0] * 1e-300;
        }
        benchmark::DoNotOptimize(y);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

// The Adaptive page's sweep on the typed textbook slope: both embedded pairs
// and the library's Dormand-Prince stepper over the eleven tolerances 1E-2 ...
// 1E-12, first step 0.4, measured against the exact solution or, as for a
// problem typed without one, against the reference solution. The page's
// fixed-step runs beside them are the convergence study above.
void typedSweep(benchmark::State& state) {
    const bool withReference = state.range(0) != 0;
    const Problem problem = *compileProblem({"", "y - x^2 + 1",
                                             withReference ? "" : "(x + 1)^2 - exp(x)/2", "0",
                                             "0.5", "2"})
                                 .problem;
    long evaluations = 0;
    for (auto _ : state) {
        WorkPrecision sweep = sweepAdaptive(problem, 0.4, {}, 0);
        evaluations = 0;
        for (const WorkSeries& series : sweep.adaptive) {
            for (const WorkPoint& point : series.points) evaluations += point.slopeEvaluations;
        }
        for (const WorkPoint& point : sweep.library.points) evaluations += point.slopeEvaluations;
        benchmark::DoNotOptimize(sweep);
    }
    state.counters["evaluations"] = static_cast<double>(evaluations);
}

// Besides the median, the fastest of the repetitions: on a shared machine
// other work only ever adds time, so the minimum is the steadiest figure.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}


}  // namespace

// The Phase plane page's redraw after a pan or zoom: the field, the
// nullclines and the equilibria of typed Lotka-Volterra over a view of
// 700 x 420 pixels, all it computes on the window's thread.
void typedPhasePlane(benchmark::State& state) {
    const SlopeExpression F = lotkaVolterraSlope();
    const VisibleRange view{-1, 5.4, -0.2, 2.9, 700, 420};
    for (auto _ : state) {
        PhasePlane plane = phasePlane(F, true, StateVector{1, 1}, {0, 1}, view);
        benchmark::DoNotOptimize(plane);
    }
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    std::vector<benchmark::internal::Benchmark*> benchmarks;
    for (const Method& method : methodCatalogue) {
        benchmarks.push_back(
            benchmark::RegisterBenchmark(("step/" + std::string(method.procedure)).c_str(),
                                         stepThroughCatalogue, explicitRungeKutta(method)->step));
    }
    // Our RK4 again, next to Boost's. Called directly, the same loop was seen
    // to run at 17 ns or at 27 ns per step depending on how the binary was
    // laid out, so it runs through the same code as step/RK4.
    benchmarks.push_back(
        benchmark::RegisterBenchmark("rk4/pelorin", stepThroughCatalogue, StepProcedure{RK4}));
    benchmarks.push_back(benchmark::RegisterBenchmark("rk4/boost_odeint", rk4BoostOdeint));
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        benchmarks.push_back(benchmark::RegisterBenchmark(
            ("calculate/" + std::string(methodCatalogue[row].procedure)).c_str(), calculate, row));
    }
    benchmarks.push_back(benchmark::RegisterBenchmark("convergence/doublings", convergence)
                             ->Arg(10)
                             ->Arg(16)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("convergence/typed", typedConvergence)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("convergence/typed_evaluations_alone", typedEvaluationsAlone)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("convergence/implicit_stiff", implicitStiffConvergence)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("convergence/implicit_stiff_evaluations_alone",
                                     implicitStiffEvaluationsAlone)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("convergence/multistep_textbook",
                                                      multistepConvergence)
                             ->ArgName("implicit")
                             ->Arg(0)
                             ->Arg(1)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("convergence/multistep_textbook_evaluations_alone",
                                     multistepEvaluationsAlone)
            ->ArgName("implicit")
            ->Arg(0)
            ->Arg(1)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("stability/multistep_region", multistepRegion)
                             ->ArgName("bdf4")
                             ->Arg(0)
                             ->Arg(1)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(
        benchmark::RegisterBenchmark("convergence/typed_system", typedSystemConvergence)
            ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("convergence/typed_system_evaluations_alone",
                                                      typedSystemEvaluationsAlone)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("phase_plane/typed_redraw", typedPhasePlane)
                             ->Unit(benchmark::kMillisecond));
    benchmarks.push_back(benchmark::RegisterBenchmark("adaptive/typed_sweep", typedSweep)
                             ->ArgName("reference")
                             ->Arg(0)
                             ->Arg(1)
                             ->Unit(benchmark::kMillisecond));
    bench::registerTableauBenchmarks(benchmarks);
    for (benchmark::internal::Benchmark* b : benchmarks) b->ComputeStatistics("min", fastest);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
