#include "texts/stability_intervals.h"

#include "base/words.h"
#include "numerics/multistep_stability.h"
#include "numerics/partitioned_step.h"
#include "numerics/stability.h"
#include "numerics/stability_function.h"

#include <algorithm>

namespace pelorin {

namespace {

// The other methods of the catalogue with the same R(z) as the one in `row`,
// among the groups of sameStabilityFunction.
std::string sameFunctionAs(std::size_t row, const SameFunctionGroups& groups) {
    std::vector<std::string_view> twins;
    for (const auto& group : groups) {
        if (std::find(group.begin(), group.end(), row) == group.end()) continue;
        for (std::size_t other : group) {
            if (other != row) twins.push_back(labCatalogue()[other].caption);
        }
    }
    return twins.empty() ? "\u2013" : listedInWords(twins);
}

}  // namespace

// A one-step method's interval and verdict from its R(z), and the methods
// with the same R; a multistep method's interval by the root test and what
// its region holds of the left half-plane by its A(α) angle; a partitioned
// pair's limit on the oscillator.
StabilityIntervalRow stabilityIntervalRow(std::size_t row, const TypedMethods& typed,
                                          const SameFunctionGroups& groups) {
    const Method& method = methodAt(row, typed);
    StabilityIntervalRow texts{std::string(method.caption), {}, {}, "\u2013"};
    if (const Multistep* multistep = multistepOf(method)) {
        texts.interval = multistepIntervalText(*multistep);
        texts.halfPlane = multistepHalfPlaneText(*multistep);
    } else if (const PartitionedRungeKutta* pair = partitionedRungeKutta(method)) {
        texts.interval = oscillatorLimitText(*pair) + " on q'' = \u2212\u03c9\u00b2q";
        texts.halfPlane = "no R(z): positions and momenta stepped apart";
    } else {
        texts.interval = intervalText(stabilityInterval(stabilityFunctionOf(*tableauOf(method))));
        texts.halfPlane = verdictText(stabilityVerdict(*tableauOf(method)));
        texts.alike = sameFunctionAs(row, groups);
    }
    return texts;
}

std::vector<StabilityIntervalRow> stabilityIntervalRows(const TypedMethods& typed) {
    const SameFunctionGroups groups = sameStabilityFunction(typed);
    std::vector<StabilityIntervalRow> rows;
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        rows.push_back(stabilityIntervalRow(row, typed, groups));
    }
    return rows;
}

}  // namespace pelorin
