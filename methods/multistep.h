// Linear multistep methods: a step uses the values and slopes at the k points
// before it,
//   a_k·y_{n+k} + … + a_0·y_n = h·(b_k·f_{n+k} + … + b_0·f_n),
// written with whole numbers a_j, b_j (every fraction of the textbook's
// formula times one common denominator), so that the formulas are exact and
// their order conditions can be checked in whole numbers. b_k = 0 makes the
// method explicit; otherwise y_{n+k} is solved for by Newton's method. The
// catalogue's formulas are in multistep_formulas.h.
#pragma once

#include <array>

namespace pelorin {

// At most this many steps: the lab takes a method of up to six.
inline constexpr int maxMultistepSteps = 6;

struct MultistepFormula {
    int steps = 1;                                     // k
    std::array<long long, maxMultistepSteps + 1> a{};  // a_0 … a_k, a_k != 0
    std::array<long long, maxMultistepSteps + 1> b{};  // b_0 … b_k

    constexpr bool isImplicit() const { return b[static_cast<std::size_t>(steps)] != 0; }
    bool operator==(const MultistepFormula&) const = default;
};

// A method of the catalogue that steps with a formula: the formula, and for
// a predictor-corrector pair the explicit predictor whose value the
// corrector's slope f_{n+k} is evaluated at, once (PECE).
struct Multistep {
    const MultistepFormula* formula = nullptr;
    const MultistepFormula* predictor = nullptr;

    // The values before a step: the most steps either formula looks back.
    constexpr int steps() const {
        return predictor && predictor->steps > formula->steps ? predictor->steps : formula->steps;
    }
};

}  // namespace pelorin
