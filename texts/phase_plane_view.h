// The Phase plane page's table and sentences: each equilibrium in view with
// its eigenvalues and kind, and how far a method's runs drift in a quantity
// the exact solutions keep constant.
#pragma once

#include "numerics/equilibria.h"
#include "numerics/solution_paths.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The eigenvalues of the Jacobian at an equilibrium as equilibriumKind reads
// them (merged within their spread, a part within their tolerance of 0 read
// as 0), in their order, each to four significant digits: a conjugate pair
// as "-0.25 ± 0.9682i", or "±0.8165i" when its real part is 0; real ones
// listed, "-1, 0.6667".
std::string eigenvaluesText(const EquilibriumSearch& equilibrium);

// One row of the table "Equilibria": the point as pointText writes it, the
// eigenvalues and the kind in words.
struct EquilibriumRow {
    std::string position, eigenvalues, kind;
};
inline constexpr std::array<std::string_view, 3> equilibriumColumns{"Equilibrium", "Eigenvalues",
                                                                   "Kind"};
std::vector<EquilibriumRow> equilibriumRows(const std::vector<EquilibriumSearch>& equilibria);

// The drift of an invariant I along one run, as the notes tell it: its step
// h, the x it ended at and I(x_i, y_i) − I(x0, y0) there; the largest
// |drift| over the run and over each half of it (in x), from which alone
// the notes call a drift growing or not; and, for a run that blew up, where
// it left the range in which I can be computed.
struct RunDrift {
    double h = 0, x = 0, drift = 0;
    double largest = 0, firstHalf = 0, secondHalf = 0;
    std::optional<double> leftRange;
    std::size_t points = 0;  // those the drift is told of, before leftRange
};

// The run's drift summarised from the drift at each of its points, a
// system's run or one equation's. A drift of fewer points than the run ends
// where the run left the range in which I can be computed: its first point
// without a drift is leftRange.
template <class State>
RunDrift runDrift(const PathOf<State>& run, const std::vector<double>& drift);

// The drifts of the runs with h, h/2 and h/4, summarised by runDrift (empty
// without an invariant; a run of no points is left out).
template <class State>
std::vector<RunDrift> runDrifts(const std::array<PathOf<State>, 3>& runs,
                                const std::array<std::vector<double>, 3>& drift);

// The notes' sentences, a heading and a line for each run, e.g.
//   Drift of the invariant I = y2^2/2 + y1^2/2, which the solutions keep at
//   0.5: I(x_i, y_i) − I(x0, y0) at x1 = 10, and its largest size over the run:
//   with h = 0.1: 8.52E-01, largest 8.52E-01, growing
//   …
//   Growing: its largest size over the run's second half is at least 1.5
//   times that over its first half; not growing: at most 1.1 times.
// A run that ends elsewhere than x1 (its steps pass x1, or it stopped) says
// where; a drift that is not finite (the run left where I is defined) is
// said in words, and so is a start where I is not finite, and a run that
// left the range where I can be computed. A largest size within what
// rounding makes of max(1, |I(y0)|) over the run's steps reads "within
// rounding". Empty without runs.
// For an invariant the system does not keep (see checkInvariant),
// `againstSolution` names the solution whose I at the same x each run's
// drift is measured from, "the reference solution": the notes then speak
// of the error in I, and credit no method with keeping it, naming the
// problem that does not keep it by `problem`: "system", or "equation" for
// one equation y' = f(x, y).
std::string invariantDriftNote(std::string_view invariantText, double startValue, double x1,
                               const std::vector<RunDrift>& runs,
                               std::string_view againstSolution = {},
                               std::string_view problem = "system");

// Methods side by side with one h, a line for each as above, and why, said
// only where the numbers show it: the symplectic methods among them keep
// every quadratic invariant (where their drift is within rounding), and
// their drift stays bounded (where it does not grow); the trapezoid keeps
// the quadratic invariants of a linear system (where its drift is within
// rounding), and its drift stays bounded as the mid point's, whose steps
// its own are seen through half an Euler step (where it does not grow);
// every method keeps a linear invariant (where every run's drift is within
// rounding, and then nothing else is said). Empty without runs.
struct MethodDrift {
    const Method* method = nullptr;
    RunDrift drift;
};
std::string sideBySideDriftNote(std::string_view invariantText, double startValue, double x1,
                                const std::vector<MethodDrift>& runs,
                                std::string_view againstSolution = {},
                                std::string_view problem = "system");

}  // namespace pelorin
