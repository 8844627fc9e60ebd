// The Phase plane page's table and sentences: each equilibrium in view with
// its eigenvalues and kind, and how far a method's runs drift in a quantity
// the exact solutions keep constant.
#pragma once

#include "numerics/equilibria.h"
#include "numerics/solution_paths.h"

#include <array>
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

// The drift of an invariant I along one run: its step h, the x it ended at
// and I(y) − I(y0) there.
struct RunDrift {
    double h = 0, x = 0, drift = 0;
};

// The sentence for the notes, e.g. "Drift of the invariant I = y2^2/2 +
// y1^2/2, which the solutions keep at 0.5: at x1 = 10, I(y) − I(y0)
// is 0.648 with h = 0.1, 0.284 with h = 0.05 and 0.133 with h = 0.025."
// A run that ends elsewhere than x1 (its steps pass x1, or it stopped) says
// where; a drift that is not finite (the run left where I is defined) is
// said in words, and so is a start where I is not finite. Empty without
// runs.
std::string invariantDriftNote(std::string_view invariantText, double startValue, double x1,
                               const std::vector<RunDrift>& runs);
// The drifts of the runs with h, h/2 and h/4 where they end, from the drift
// at each of their steps (empty without an invariant, or for a run of no
// points, which the note leaves out).
std::vector<RunDrift> runDrifts(const std::array<SystemPath, 3>& runs,
                                const std::array<std::vector<double>, 3>& drift);

// Methods side by side with one h: each run's drift where it ends, "gained"
// or "lost" where it lies beyond a billionth of max(1, |I(y0)|) from 0, and
// for the symplectic methods among them why theirs stays small. E.g. "With
// h = 0.1, at x1 = 10 I(y) − I(y0) is 0.648 for Euler (gained), -0.315 for
// Backward Euler (lost) and 1.11E-16 for Implicit mid point. Implicit mid
// point is symplectic: ..." Empty without runs.
struct MethodDrift {
    const Method* method = nullptr;
    RunDrift drift;
};
std::string sideBySideDriftNote(std::string_view invariantText, double startValue, double x1,
                                const std::vector<MethodDrift>& runs);

}  // namespace pelorin
