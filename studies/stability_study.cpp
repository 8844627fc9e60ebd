#include "studies/stability_study.h"

namespace pelorin {

SystemStabilityStudy studySystemStability(const Problem& problem, std::size_t method, double h,
                                          std::stop_token stop) {
    const Problem own = problem.clone();
    SystemStabilityStudy study;
    study.path = systemStabilityPath(labCatalogue[method], own.systemSlope(), own.x0, own.y0,
                                     own.x1, h, stop);
    if (const KnownSystemSolution exact = own.systemExact()) {
        for (double x : study.path.run.x) study.exact.push_back(exact(x));
    }
    return study;
}

}  // namespace pelorin
