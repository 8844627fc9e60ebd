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

bool finite(std::complex<double> z) { return std::isfinite(z.real()) && std::isfinite(z.imag()); }

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
            if (!finite(z)) return std::nullopt;
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

namespace {

// The index of (column, row) among the grid's values, row by row.
std::size_t cellOf(const StabilityGrid& grid, int column, int row) {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(grid.columns) +
           static_cast<std::size_t>(column);
}

bool onGrid(const StabilityGrid& grid, int column, int row) {
    return column >= 0 && column < grid.columns && row >= 0 && row < grid.rows;
}

// The grid point at an index of its values.
std::complex<double> pointOf(const StabilityGrid& grid, std::size_t index) {
    const auto width = static_cast<std::size_t>(grid.columns);
    return {grid.re(static_cast<int>(index % width)), grid.im(static_cast<int>(index / width))};
}

// Where z lies on the grid, in grid steps from its corner (reMin, imMin):
// a column and a row, not rounded.
struct GridPlace {
    double column = 0, row = 0;
};
GridPlace gridPlace(const StabilityGrid& grid, std::complex<double> z) {
    const double reStep = (grid.reMax - grid.reMin) / (grid.columns - 1);
    const double imStep = (grid.imMax - grid.imMin) / (grid.rows - 1);
    return {(z.real() - grid.reMin) / reStep, (z.imag() - grid.imMin) / imStep};
}

// The part [from, to] of the segment a + t·(b − a), 0 ≤ t ≤ 1, within the
// grid and a step around it; none where the segment misses that.
std::optional<std::pair<double, double>> partOnGrid(const StabilityGrid& grid, GridPlace a, GridPlace b) {
    double from = 0, to = 1;
    for (const auto& [start, delta, limit] :
         {std::tuple{a.column, b.column - a.column, double(grid.columns)},
          std::tuple{a.row, b.row - a.row, double(grid.rows)}}) {
        const double low = -1 - start, high = limit - start;
        if (delta == 0) {
            if (low > 0 || high < 0) return std::nullopt;
            continue;
        }
        const double t1 = low / delta, t2 = high / delta;
        from = std::max(from, std::min(t1, t2));
        to = std::min(to, std::max(t1, t2));
    }
    if (!(from <= to)) return std::nullopt;
    return std::pair{from, to};
}

// Marks the grid points within a step of (column, row).
void markAround(std::vector<unsigned char>& near, const StabilityGrid& grid, double column, double row) {
    const int c = static_cast<int>(std::lround(column)), r = static_cast<int>(std::lround(row));
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            if (onGrid(grid, c + dc, r + dr)) near[cellOf(grid, c + dc, r + dr)] = 1;
        }
    }
}

// Marks the grid points within a step of the segment a–b, walking its part
// on the grid half a step at a time so that no point it passes is skipped.
void markAlong(std::vector<unsigned char>& near, const StabilityGrid& grid, GridPlace a, GridPlace b) {
    const auto part = partOnGrid(grid, a, b);
    if (!part) return;
    const auto [from, to] = *part;
    const double cells = std::max(std::fabs(b.column - a.column), std::fabs(b.row - a.row)) * (to - from);
    const int steps = static_cast<int>(std::ceil(2 * cells)) + 1;
    for (int k = 0; k <= steps; ++k) {
        const double t = from + (to - from) * k / steps;
        markAround(near, grid, a.column + t * (b.column - a.column), a.row + t * (b.row - a.row));
    }
}

// 1 for each grid point within a step of a point the boundary locus passes,
// followed from sample to sample; the locus is sampled finely enough that
// its segments are short against the grid's steps.
std::vector<unsigned char> nearLocus(const Multistep& method, const StabilityGrid& grid) {
    std::vector<unsigned char> near(grid.inside.size(), 0);
    for (const auto& branch : boundaryLocus(method, 2881)) {
        for (std::size_t i = 1; i < branch.size(); ++i) {
            if (finite(branch[i - 1]) && finite(branch[i])) {
                markAlong(near, grid, gridPlace(grid, branch[i - 1]), gridPlace(grid, branch[i]));
            }
        }
    }
    return near;
}

// Gives `answer` to every grid point of the connected part of points not
// yet known that holds `seed`, and marks them known.
void fillPart(StabilityGrid& grid, std::vector<unsigned char>& known, std::size_t seed,
              unsigned char answer) {
    const auto width = static_cast<std::size_t>(grid.columns);
    std::vector<std::size_t> part{seed};
    known[seed] = 1;
    while (!part.empty()) {
        const std::size_t index = part.back();
        part.pop_back();
        grid.inside[index] = answer;
        const int c = static_cast<int>(index % width), r = static_cast<int>(index / width);
        for (const auto& [dc, dr] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            if (!onGrid(grid, c + dc, r + dr)) continue;
            const std::size_t next = cellOf(grid, c + dc, r + dr);
            if (known[next]) continue;
            known[next] = 1;
            part.push_back(next);
        }
    }
}

}  // namespace

// The region's edge lies on the boundary locus, so between the grid points
// near the locus the root test answers alike over each connected part of
// the rest of the grid: one point of each part answers for all of it, and
// only the points near the locus need roots of their own.
StabilityGrid sampleMultistepRegion(const Multistep& method, int columns, int rows,
                                    const StabilityGrid& frame) {
    StabilityGrid grid = sampleRegion([](std::complex<double>) { return false; }, columns, rows, frame);
    const auto stableAt = [&](std::size_t index) -> unsigned char {
        return absolutelyStable(method, pointOf(grid, index)) ? 1 : 0;
    };
    const std::vector<unsigned char> near = nearLocus(method, grid);
    std::vector<unsigned char> known(grid.inside.size(), 0);
    for (std::size_t index = 0; index < near.size(); ++index) {
        if (!near[index]) continue;
        grid.inside[index] = stableAt(index);
        known[index] = 1;
    }
    for (std::size_t seed = 0; seed < known.size(); ++seed) {
        if (!known[seed]) fillPart(grid, known, seed, stableAt(seed));
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

namespace {

// The parasitic roots as the notes write them, and the largest of them.
struct ParasiticRoots {
    std::vector<std::string> named;
    std::complex<double> largest = 0;
};
ParasiticRoots parasiticRoots(const CharacteristicRoots& found) {
    ParasiticRoots parasitic;
    for (std::size_t i = 0; i < found.roots.size(); ++i) {
        if (i == found.principal) continue;
        parasitic.named.push_back(complexText(found.roots[i]));
        if (std::abs(found.roots[i]) > std::abs(parasitic.largest)) parasitic.largest = found.roots[i];
    }
    return parasitic;
}

// "At z = … the characteristic polynomial has 2 roots: the principal root
// ζ = …, the one nearest e^z = …, and the parasitic root ζ = …. "
std::string rootsSentence(const std::string& at, const CharacteristicRoots& found, std::complex<double> z,
                          const std::vector<std::string>& parasitic) {
    const std::string principal = complexText(found.roots[found.principal]);
    if (found.roots.size() == 1) {
        return at + " the characteristic polynomial has one root, the principal root \u03b6 = " + principal +
               ". ";
    }
    return at + " the characteristic polynomial has " + std::to_string(found.roots.size()) +
           " roots: the principal root \u03b6 = " + principal + ", the one nearest e^z = " +
           complexText(std::exp(z)) + ", and the parasitic " +
           (parasitic.size() == 1 ? "root \u03b6 = " : "roots \u03b6 = ") + listedInWords(parasitic) + ". ";
}

// The roots as the root condition counts them: outside the circle, on it
// and repeated, on it and simple ("ζ = …"). Where z is in the region the
// first two are left empty.
struct RootsByCircle {
    std::vector<std::complex<double>> outside;
    std::vector<CountedRoot> repeated;
    std::vector<std::string> edge;
};
RootsByCircle rootsByCircle(const std::vector<std::complex<double>>& roots, bool stable) {
    RootsByCircle by;
    for (const CountedRoot& counted : countedRoots(roots)) {
        if (outsideUnitCircle(counted.root)) {
            if (!stable) by.outside.push_back(counted.root);
        } else if (counted.multiplicity > 1) {
            if (!stable) by.repeated.push_back(counted);
        } else if (onUnitCircle(counted.root)) {
            by.edge.push_back("\u03b6 = " + complexText(counted.root));
        }
    }
    // The same comparison as absolutelyStable's finds one: kept for a root
    // finder that answered differently the second time.
    if (!stable && by.outside.empty() && by.repeated.empty()) by.outside = roots;
    return by;
}

// "2 of the 3 roots lie outside the unit circle", "All 3 lie outside ...".
std::string outsideCount(std::size_t outside, std::size_t count) {
    if (outside == count) return everyRoot(count) + " outside the unit circle";
    return std::to_string(outside) + " of the " + std::to_string(count) + " roots " +
           (outside == 1 ? "lies" : "lie") + " outside the unit circle";
}

// Where Re z > 0 the solution grows too, by |e^z| per step: what an error
// does relative to it is told by the parasitic roots against that growth.
std::string againstGrowingSolution(std::complex<double> z, std::complex<double> principal,
                                   const ParasiticRoots& parasitic, const RootsByCircle& roots,
                                   std::size_t count) {
    const std::string growth = modulusText(std::exp(z.real()));
    if (roots.outside.empty()) {
        const std::string run =
            !roots.repeated.empty() ? "the run grows only " + repeatedGrowth(roots.repeated) + ", for " +
                                          repeatedRoots(roots.repeated) + " on the circle"
            : !roots.edge.empty()   ? "no step lets the run grow"
                                    : "every step damps the run";
        return "None lies outside the unit circle, though Re z > 0: the solution grows by |e^z| = " +
               growth + " per step, while " + run + ", so the run does not follow the solution.";
    }
    const std::string text = outsideCount(roots.outside.size(), count) +
                             ", and Re z > 0: the solution itself grows, by |e^z| = " + growth +
                             " per step; the principal root has |\u03b6| = " +
                             modulusText(std::abs(principal)) + ". ";
    if (parasitic.named.empty()) return text + "There is no parasitic root to outgrow the solution.";
    const double largest = std::abs(parasitic.largest);
    if (largest > std::exp(z.real()) && modulusText(largest) != growth) {
        return text + "The parasitic root \u03b6 = " + complexText(parasitic.largest) +
               " grows faster (|\u03b6| = " + modulusText(largest) +
               "), so relative to the solution an error grows in its mode, and the run leaves the "
               "solution.";
    }
    return text + "No parasitic root grows as fast (the largest has |\u03b6| = " + modulusText(largest) +
           "), so relative to the solution an error does not grow.";
}

// Where Re z ≤ 0 the solution does not grow, so whatever the run does
// beyond damping an error is the roots' doing.
std::string againstSteadySolution(bool stable, const RootsByCircle& roots, std::size_t count) {
    if (stable && roots.edge.empty()) {
        return everyRoot(count) + " inside the unit circle, so every step damps an error.";
    }
    if (stable) {
        return "None lies outside the unit circle, and " + listedInWords(roots.edge) +
               (roots.edge.size() == 1 ? " lies" : " lie") + " on it, so z is on the edge of the region: "
               "there an error neither grows nor dies away.";
    }
    if (roots.outside.empty()) {
        return "None lies outside the unit circle, but " + repeatedRoots(roots.repeated) +
               " on it: an error in " + (roots.repeated.size() == 1 ? "its mode" : "their modes") +
               " grows " + repeatedGrowth(roots.repeated) + ", so z is not in the region, and the run "
               "grows away from the solution, which does not grow (Re z \u2264 0).";
    }
    const auto largest = *std::max_element(roots.outside.begin(), roots.outside.end(), [](auto a, auto b) {
        return std::abs(a) < std::abs(b);
    });
    const std::string factor = modulusText(std::abs(largest));
    return outsideCount(roots.outside.size(), count) +
           (roots.outside.size() == 1 ? ": \u03b6 = " : ", the largest \u03b6 = ") + complexText(largest) +
           ", |\u03b6| = " + factor + ". Each step multiplies an error in its mode by " + factor +
           ", so the run grows away from the solution, which does not grow (Re z \u2264 0).";
}

}  // namespace

std::string rootsNote(const Multistep& method, std::complex<double> z, std::string_view where) {
    const std::string at = "At " + std::string(where);
    const CharacteristicRoots found = characteristicRoots(method, z);
    if (found.roots.empty()) {
        return at + " the characteristic polynomial has no roots to show: the coefficient of the new "
                    "value vanishes, so the step cannot be solved for it.";
    }
    const ParasiticRoots parasitic = parasiticRoots(found);
    const std::string roots = rootsSentence(at, found, z, parasitic.named);
    const bool stable = absolutelyStable(method, z);
    const RootsByCircle byCircle = rootsByCircle(found.roots, stable);
    const std::size_t count = found.roots.size();
    if (z.real() > 0) {
        return roots + againstGrowingSolution(z, found.roots[found.principal], parasitic, byCircle, count);
    }
    return roots + againstSteadySolution(stable, byCircle, count);
}

std::complex<double> shownMode(const Multistep& method, const std::vector<std::complex<double>>& z) {
    if (z.empty()) return 0;
    for (const std::complex<double>& mode : z) {
        if (!absolutelyStable(method, mode)) return mode;
    }
    return *std::max_element(z.begin(), z.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); });
}

}  // namespace pelorin
