// What the Stability page shows of a system: z = h·λ for the eigenvalues of
// h·J along the chosen method's run with h, and the run beside the exact
// solution where one is known.
#pragma once

#include "methods/state_vector.h"
#include "numerics/system_stability.h"
#include "problem/problem.h"

#include <cstddef>
#include <stop_token>
#include <vector>

namespace pelorin {

struct SystemStabilityStudy {
    SystemStabilityPath path;
    std::vector<StateVector> exact;  // at the run's step points; empty without an exact solution
};

// The method is a catalogue row. `stop` ends the study early: a study for
// an h no longer shown is not wanted.
SystemStabilityStudy studySystemStability(const Problem& problem, std::size_t method, double h,
                                          std::stop_token stop = {});

}  // namespace pelorin
