#include "numerics/multistep_stability.h"

#include "base/number_text.h"
#include "base/words.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace pelorin {

namespace {

// "It lies", "Both lie", "All 3 lie": every one of `count` roots.
std::string everyRoot(std::size_t count) {
    return count == 1 ? "It lies" : count == 2 ? "Both lie" : "All " + std::to_string(count) + " lie";
}

// "ζ = 1.000 is a double root", "ζ = 0.000 + 1.000i and 0.000 − 1.000i are
// double roots", "ζ = 1.000 (triple) and -1.000 (double) are repeated roots".
std::string repeatedRoots(const std::vector<CountedRoot>& repeated) {
    const bool alike = std::all_of(repeated.begin(), repeated.end(), [&](const CountedRoot& root) {
        return root.multiplicity == repeated.front().multiplicity;
    });
    std::vector<std::string> named;
    for (const CountedRoot& root : repeated) {
        named.push_back(complexText(root.root) + (alike ? "" : " (" + multiplicityWord(root.multiplicity) + ")"));
    }
    const std::string kind = alike ? multiplicityWord(repeated.front().multiplicity) : "repeated";
    return "\u03b6 = " + listedInWords(named) +
           (repeated.size() == 1 ? " is a " + kind + " root" : " are " + kind + " roots");
}

// How an error in the mode of a root of multiplicity m on the unit circle
// grows over n steps, like n^(m-1), for the largest m.
std::string repeatedGrowth(const std::vector<CountedRoot>& repeated) {
    int most = 2;
    for (const CountedRoot& root : repeated) most = std::max(most, root.multiplicity);
    return most == 2 ? "in proportion to the number of steps"
                     : "like the number of steps to the power " + std::to_string(most - 1);
}

// The rectangle that holds the boundary locus, a little widened for the
// points between its samples; none where the locus runs off to infinity.
struct LocusBox {
    double reMin = 0, reMax = 0, imMin = 0, imMax = 0;
    bool holds(std::complex<double> z) const {
        return z.real() >= reMin && z.real() <= reMax && z.imag() >= imMin && z.imag() <= imMax;
    }
};
std::optional<LocusBox> locusBox(const Multistep& method) {
    LocusBox box;
    for (const auto& branch : boundaryLocus(method)) {
        for (const std::complex<double>& z : branch) {
            if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return std::nullopt;
            box.reMin = std::min(box.reMin, z.real());
            box.reMax = std::max(box.reMax, z.real());
            box.imMin = std::min(box.imMin, z.imag());
            box.imMax = std::max(box.imMax, z.imag());
        }
    }
    const double margin = 0.05 * std::max(box.reMax - box.reMin, box.imMax - box.imMin) + 0.05;
    return LocusBox{box.reMin - margin, box.reMax + margin, box.imMin - margin, box.imMax + margin};
}

}  // namespace

// An imaginary part that the text would write as 0 is left out: a root
// finder leaves some roundings there, more for a repeated root.
std::string complexText(std::complex<double> value) {
    if (shortText(std::fabs(value.imag())) == shortText(0)) return shortText(value.real());
    return shortText(value.real()) + (value.imag() < 0 ? " \u2212 " : " + ") +
           shortText(std::fabs(value.imag())) + "i";
}

// The region's edge lies on the boundary locus, so between the grid points
// near the locus the root test answers alike over each connected part of
// the rest of the grid: one point of each part answers for all of it, and
// only the points near the locus need roots of their own. Near is within a
// grid step of a point the locus passes, followed along its samples at
// half a step at a time.
StabilityGrid sampleMultistepRegion(const Multistep& method, int columns, int rows,
                                    const StabilityGrid& frame) {
    StabilityGrid grid = sampleRegion([](std::complex<double>) { return false; }, columns, rows, frame);
    const int width = grid.columns, height = grid.rows;
    const double reStep = (grid.reMax - grid.reMin) / (width - 1);
    const double imStep = (grid.imMax - grid.imMin) / (height - 1);
    const auto cell = [width](int column, int row) {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column);
    };
    std::vector<unsigned char> near(grid.inside.size(), 0);
    const auto markAround = [&](double column, double row) {
        const int c = static_cast<int>(std::lround(column)), r = static_cast<int>(std::lround(row));
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                if (c + dc >= 0 && c + dc < width && r + dr >= 0 && r + dr < height) near[cell(c + dc, r + dr)] = 1;
            }
        }
    };
    // A segment's part within the grid (and a step around it), walked at
    // half a step at a time.
    const auto walk = [&](std::complex<double> a, std::complex<double> b) {
        const double ac = (a.real() - grid.reMin) / reStep, ar = (a.imag() - grid.imMin) / imStep;
        const double bc = (b.real() - grid.reMin) / reStep, br = (b.imag() - grid.imMin) / imStep;
        double from = 0, to = 1;
        for (const auto& [start, delta, limit] : {std::tuple{ac, bc - ac, double(width)},
                                                  std::tuple{ar, br - ar, double(height)}}) {
            const double low = -1 - start, high = limit - start;
            if (delta == 0) {
                if (low > 0 || high < 0) return;
                continue;
            }
            const double t1 = low / delta, t2 = high / delta;
            from = std::max(from, std::min(t1, t2));
            to = std::min(to, std::max(t1, t2));
        }
        if (!(from <= to)) return;
        const double cells = std::max(std::fabs(bc - ac), std::fabs(br - ar)) * (to - from);
        const int steps = static_cast<int>(std::ceil(2 * cells)) + 1;
        for (int k = 0; k <= steps; ++k) {
            const double t = from + (to - from) * k / steps;
            markAround(ac + t * (bc - ac), ar + t * (br - ar));
        }
    };
    const auto finite = [](std::complex<double> z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); };
    for (const auto& branch : boundaryLocus(method, 2881)) {
        for (std::size_t i = 1; i < branch.size(); ++i) {
            if (finite(branch[i - 1]) && finite(branch[i])) walk(branch[i - 1], branch[i]);
        }
    }
    const auto at = [&](std::size_t index) {
        return std::complex<double>(grid.re(static_cast<int>(index % static_cast<std::size_t>(width))),
                                    grid.im(static_cast<int>(index / static_cast<std::size_t>(width))));
    };
    std::vector<unsigned char> known(grid.inside.size(), 0);
    for (std::size_t index = 0; index < near.size(); ++index) {
        if (!near[index]) continue;
        grid.inside[index] = absolutelyStable(method, at(index)) ? 1 : 0;
        known[index] = 1;
    }
    std::vector<std::size_t> part;
    for (std::size_t seed = 0; seed < known.size(); ++seed) {
        if (known[seed]) continue;
        const unsigned char answer = absolutelyStable(method, at(seed)) ? 1 : 0;
        part.assign(1, seed);
        known[seed] = 1;
        while (!part.empty()) {
            const std::size_t index = part.back();
            part.pop_back();
            grid.inside[index] = answer;
            const int c = static_cast<int>(index % static_cast<std::size_t>(width));
            const int r = static_cast<int>(index / static_cast<std::size_t>(width));
            for (const auto& [dc, dr] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                if (c + dc < 0 || c + dc >= width || r + dr < 0 || r + dr >= height) continue;
                const std::size_t next = cell(c + dc, r + dr);
                if (known[next]) continue;
                known[next] = 1;
                part.push_back(next);
            }
        }
    }
    return grid;
}

double multistepInterval(const Multistep& method) {
    const auto stable = [&method](double x) { return absolutelyStable(method, {-x, 0}); };
    // At 0 the root test is zeroStable's.
    if (!stable(0)) return 0;
    // The region's edge lies on the boundary locus, so left of the locus
    // the root test answers alike all along the axis: a scan that gets past
    // it inside the region never leaves it. A locus that runs off to
    // infinity is followed as far as an explicit method's interval could
    // reach.
    constexpr double scanStep = 1.0 / 1024, longestScan = 64;
    const std::optional<LocusBox> box = locusBox(method);
    const double limit = box ? -box->reMin : longestScan;
    double inside = 0;
    double outside = scanStep;
    while (outside <= limit && stable(outside)) {
        inside = outside;
        outside = outside + scanStep;
    }
    if (outside > limit) return std::numeric_limits<double>::infinity();
    for (int i = 0; i < 60; ++i) {
        const double middle = inside + (outside - inside) / 2;
        if (middle == inside || middle == outside) break;
        (stable(middle) ? inside : outside) = middle;
    }
    return inside;
}

// Zero-stability, not the interval's length, decides the wording: a
// zero-stable method whose region meets the axis at 0 alone (the leapfrog
// method's) has the interval 0.
std::string multistepIntervalText(const Multistep& method) {
    if (!zeroStable(method)) return "none: not zero-stable";
    return intervalText(multistepInterval(method));
}

namespace {

// α to the hundredth of a degree the angle is found to, and whether that is
// the whole half-plane.
std::string degreesText(double alpha) { return fixedText(alpha, 2) + "\u00b0"; }
bool wholeHalfPlane(double alpha) { return degreesText(alpha) == degreesText(90); }

}  // namespace

std::string multistepHalfPlaneText(const Multistep& method) {
    const std::optional<double> alpha = aAlphaAngle(method);
    if (!alpha) return "not A(\u03b1)-stable";
    if (wholeHalfPlane(*alpha)) return "A-stable";
    return "A(\u03b1), \u03b1 = " + degreesText(*alpha);
}

std::string aAlphaNote(std::string_view caption, const Multistep& method) {
    const std::string name(caption);
    if (!zeroStable(method)) {
        return name + " is not A(\u03b1)-stable for any \u03b1: it is not zero-stable, so the root "
                      "condition fails already at z = 0, where every sector about the negative real "
                      "axis begins.";
    }
    const std::optional<double> alpha = aAlphaAngle(method);
    if (!alpha) {
        return name + " is not A(\u03b1)-stable for any \u03b1: its region does not hold the whole "
                      "negative real axis, so on a stiff problem h\u00b7\u03bb must stay within its "
                      "interval.";
    }
    if (wholeHalfPlane(*alpha)) {
        return name + " is A-stable: its region holds the whole left half-plane.";
    }
    const std::string degrees = degreesText(*alpha);
    return name + " is A(\u03b1)-stable with \u03b1 = " + degrees + ": its region holds the sector " +
           "|arg(\u2212z)| < " + degrees + " about the negative real axis, though not the whole "
           "left half-plane.";
}

std::vector<std::string> formulaNotes(std::string_view caption, const Multistep& method) {
    const MultistepFormula& formula = *method.formula;
    const std::string name(caption);
    const ZeroStability zero = zeroStabilityOf(formula);
    std::string zeroNote = name + " is " + zero.verdict + ".";
    if (!zero.zeroStable) {
        zeroNote += " Its runs do not converge: an error in the mode of that root grows by more "
                    "the smaller h is, whatever the order.";
    }
    std::string orderNote = name + ": " + consistencyText(formula) + ".";
    if (method.predictor) {
        const int corrector = consistencyOf(formula).order;
        const int predictor = consistencyOf(*method.predictor).order;
        orderNote = "The corrector of " + name + ": " + consistencyText(formula) + "; its predictor " +
                    "has order " + std::to_string(predictor) +
                    (predictor >= corrector
                         ? ", so the pair has the corrector's order and error constant."
                         : ", so the pair has order " + std::to_string(predictor + 1) + ".");
    }
    return {zeroNote, orderNote};
}

std::string rootsNote(const Multistep& method, std::complex<double> z, std::string_view where) {
    const std::string at = "At " + std::string(where);
    const CharacteristicRoots found = characteristicRoots(method, z);
    if (found.roots.empty()) {
        return at + " the characteristic polynomial has no roots to show: the coefficient of the new "
                    "value vanishes, so the step cannot be solved for it.";
    }
    const std::size_t count = found.roots.size();
    const std::complex<double> principal = found.roots[found.principal];
    std::vector<std::string> parasitic;
    std::complex<double> largestParasitic = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == found.principal) continue;
        parasitic.push_back(complexText(found.roots[i]));
        if (std::abs(found.roots[i]) > std::abs(largestParasitic)) largestParasitic = found.roots[i];
    }
    std::string text = at + " the characteristic polynomial has " +
                       (count == 1 ? "one root, the principal root \u03b6 = " + complexText(principal)
                                   : std::to_string(count) + " roots: the principal root \u03b6 = " +
                                         complexText(principal) + ", the one nearest e^z = " +
                                         complexText(std::exp(z)) + ", and the parasitic " +
                                         (parasitic.size() == 1 ? "root \u03b6 = " : "roots \u03b6 = ") + listedInWords(parasitic)) +
                       ". ";
    // The roots as the root condition counts them: outside the circle, on
    // it and repeated, on it and simple.
    const bool stable = absolutelyStable(method, z);
    std::vector<std::complex<double>> outside;
    std::vector<CountedRoot> repeated;
    std::vector<std::string> edge;
    for (const CountedRoot& counted : countedRoots(found.roots)) {
        if (outsideUnitCircle(counted.root)) {
            if (!stable) outside.push_back(counted.root);
        } else if (counted.multiplicity > 1) {
            if (!stable) repeated.push_back(counted);
        } else if (onUnitCircle(counted.root)) {
            edge.push_back("\u03b6 = " + complexText(counted.root));
        }
    }
    // The same comparison as absolutelyStable's finds one: kept for a root
    // finder that answered differently the second time.
    if (!stable && outside.empty() && repeated.empty()) outside = found.roots;
    const std::string howMany =
        outside.size() == count ? everyRoot(count) + " outside the unit circle"
        : std::to_string(outside.size()) + " of the " + std::to_string(count) + " roots " +
              (outside.size() == 1 ? "lies" : "lie") + " outside the unit circle";
    if (z.real() > 0) {
        // The solution grows too, by |e^z| per step: what an error does
        // relative to it is told by the parasitic roots against that growth.
        const std::string growth = modulusText(std::exp(z.real()));
        if (outside.empty()) {
            const std::string run =
                !repeated.empty() ? "the run grows only " + repeatedGrowth(repeated) + ", for " +
                                        repeatedRoots(repeated) + " on the circle"
                : !edge.empty()   ? "no step lets the run grow"
                                  : "every step damps the run";
            return text + "None lies outside the unit circle, though Re z > 0: the solution grows by "
                          "|e^z| = " + growth + " per step, while " + run + ", so the run does not "
                          "follow the solution.";
        }
        text += howMany + ", and Re z > 0: the solution itself grows, by |e^z| = " + growth +
                " per step; the principal root has |\u03b6| = " + modulusText(std::abs(principal)) + ". ";
        if (parasitic.empty()) return text + "There is no parasitic root to outgrow the solution.";
        const double largest = std::abs(largestParasitic);
        if (largest > std::exp(z.real()) && modulusText(largest) != growth) {
            return text + "The parasitic root \u03b6 = " + complexText(largestParasitic) +
                   " grows faster (|\u03b6| = " + modulusText(largest) +
                   "), so relative to the solution an error grows in its mode, and the run leaves the "
                   "solution.";
        }
        return text + "No parasitic root grows as fast (the largest has |\u03b6| = " + modulusText(largest) +
               "), so relative to the solution an error does not grow.";
    }
    if (stable) {
        if (edge.empty()) {
            return text + everyRoot(count) +
                   " inside the unit circle, so every step damps an error.";
        }
        return text + "None lies outside the unit circle, and " + listedInWords(edge) +
               (edge.size() == 1 ? " lies" : " lie") + " on it, so z is on the edge of the region: "
               "there an error neither grows nor dies away.";
    }
    if (outside.empty()) {
        return text + "None lies outside the unit circle, but " + repeatedRoots(repeated) +
               " on it: an error in " + (repeated.size() == 1 ? "its mode" : "their modes") + " grows " +
               repeatedGrowth(repeated) + ", so z is not in the region, and the run grows away from the "
               "solution, which does not grow (Re z \u2264 0).";
    }
    const auto largest = *std::max_element(outside.begin(), outside.end(), [](auto a, auto b) {
        return std::abs(a) < std::abs(b);
    });
    const std::string factor = modulusText(std::abs(largest));
    return text + howMany + (outside.size() == 1 ? ": \u03b6 = " : ", the largest \u03b6 = ") + complexText(largest) +
           ", |\u03b6| = " + factor + ". Each step multiplies an error in its mode by " + factor +
           ", so the run grows away from the solution, which does not grow (Re z \u2264 0).";
}

std::complex<double> shownMode(const Multistep& method, const std::vector<std::complex<double>>& z) {
    if (z.empty()) return 0;
    for (const std::complex<double>& mode : z) {
        if (!absolutelyStable(method, mode)) return mode;
    }
    return *std::max_element(z.begin(), z.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); });
}

}  // namespace pelorin
