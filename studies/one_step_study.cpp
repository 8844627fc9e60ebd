#include "studies/one_step_study.h"

#include <type_traits>

namespace pelorin {

template <class State>
OneStepStudyOf<State> studyOneStep(const Method& method, const Problem& problem, double h,
                                   const MethodSettings& multistep, std::stop_token stop) {
    // Asked for and no longer wanted before it began, as a page asks for a
    // run at every box the student leaves: nothing to do.
    if (stop.stop_requested()) return {};
    const Problem own = problem.clone();
    const PosedProblem<State> posed = posedAs<State>(own, multistep);
    OneStepStudyOf<State> study;
    study.run = solutionPath(method, posed.f, own.x0, posed.y0, own.x1, h, maxPathSteps,
                             posed.start);
    if constexpr (std::is_same_v<State, double>) {
        if (!stop.stop_requested()) study.end = solutionEnd(own);
    }
    return study;
}
template OneStepStudy studyOneStep(const Method&, const Problem&, double,
                                   const MethodSettings&, std::stop_token);
template OneStepStudyOf<StateVector> studyOneStep(const Method&, const Problem&, double,
                                         const MethodSettings&, std::stop_token);

}  // namespace pelorin
