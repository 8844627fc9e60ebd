// The known solution over the steps the One step page walks, where it is a
// reference: one from x0 to a far step takes long, so the page computes it
// off the window's thread and shows the step again once it has come. Until
// then a view asking for it gets nothing, and what it asked for is kept.
#pragma once

#include "numerics/solution_paths.h"

#include <cstddef>
#include <utility>
#include <vector>

template <class State>
class StepSamples {
public:
    // What a step's views sample: the values computed for the same
    // abscissae before, else none yet, and the abscissae are asked for.
    // Valid while this lives.
    pelorin::SolutionSamplesOf<State> samples() {
        return [this](const std::vector<double>& abscissae) -> std::vector<State> {
            for (const auto& [at, values] : known_) {
                if (at == abscissae) return values;
            }
            asked_.push_back(abscissae);
            return {};
        };
    }

    // The abscissae asked for since the last call.
    std::vector<std::vector<double>> takeAsked() { return std::exchange(asked_, {}); }

    // The values computed at each of `abscissae`, as far as there are any.
    void add(const std::vector<std::vector<double>>& abscissae,
             const std::vector<std::vector<State>>& values) {
        for (std::size_t i = 0; i < abscissae.size() && i < values.size(); ++i) {
            known_.emplace_back(abscissae[i], values[i]);
        }
    }

    // For another problem.
    void clear() {
        known_.clear();
        asked_.clear();
    }

private:
    std::vector<std::pair<std::vector<double>, std::vector<State>>> known_;
    std::vector<std::vector<double>> asked_;
};
