#include "numerics/stability.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/number_text.h"
#include "methods/exact_solution.h"
#include "numerics/method_run.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

// Two stability functions count as the same when their coefficients agree
// to this relative tolerance: Gill's √2 weights round differently from the
// classical ones but give the same polynomial.
constexpr double sameCoefficient = 1e-12;

bool samePolynomial(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (std::fabs(a[k] - b[k]) > sameCoefficient * std::max(std::fabs(a[k]), std::fabs(b[k]))) {
            return false;
        }
    }
    return true;
}

bool sameFunction(const StabilityFunction& a, const StabilityFunction& b) {
    return samePolynomial(a.numerator, b.numerator) && samePolynomial(a.denominator, b.denominator);
}

std::vector<double> product(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> c(a.size() + b.size() - 1, 0.0);
    for (std::size_t j = 0; j < a.size(); ++j) {
        for (std::size_t k = 0; k < b.size(); ++k) c[j + k] = c[j + k] + a[j] * b[k];
    }
    return c;
}

// p(-x) for p(z).
std::vector<double> onNegativeAxis(std::vector<double> p) {
    for (std::size_t k = 1; k < p.size(); k += 2) p[k] = -p[k];
    return p;
}

// Where the edge of a rational R crosses the negative real axis z = -x,
// |P(-x)| = |Q(-x)|: a root of Q(-x)² - P(-x)², all of which lie within
// Fujiwara's bound 2·max |e_(n-k)/e_n|^(1/k). 0 where there is none.
double crossingBound(const StabilityFunction& r) {
    const std::vector<double> q = onNegativeAxis(r.denominator), p = onNegativeAxis(r.numerator);
    std::vector<double> e = product(q, q);
    const std::vector<double> pp = product(p, p);
    e.resize(std::max(e.size(), pp.size()), 0.0);
    for (std::size_t k = 0; k < pp.size(); ++k) e[k] = e[k] - pp[k];
    while (!e.empty() && e.back() == 0) e.pop_back();
    if (e.size() < 2) return 0;
    double bound = 0;
    const std::size_t n = e.size() - 1;
    for (std::size_t k = 1; k <= n; ++k) {
        bound =
            std::max(bound, 2 * std::pow(std::fabs(e[n - k] / e[n]), 1.0 / static_cast<double>(k)));
    }
    return bound;
}

bool stable(const StabilityFunction& r, double x) {
    return insideRegion(r, {-x, 0});
}

// Where the edge crosses the segment from a point inside the region to one
// outside: bisection down to neighbouring doubles, keeping the inside end.
// A segment along a grid line keeps its other coordinate exactly.
std::complex<double> edgeCrossing(const RegionTest& inside, std::complex<double> in,
                                  std::complex<double> out) {
    for (int i = 0; i < 100; ++i) {
        const std::complex<double> middle = in + (out - in) / 2.0;
        if (middle == in || middle == out) break;
        (inside(middle) ? in : out) = middle;
    }
    return in;
}

// The sides of the grid's squares, numbered: first the horizontal sides from
// (column, row) to (column + 1, row), then the vertical ones from
// (column, row) to (column, row + 1).
struct GridSides {
    int columns, rows;

    int count() const { return horizontal() + columns * (rows - 1); }
    int horizontal() const { return (columns - 1) * rows; }
    int across(int column, int row) const { return row * (columns - 1) + column; }
    int up(int column, int row) const { return horizontal() + row * columns + column; }
    // The side's two ends as (column, row).
    std::array<std::array<int, 2>, 2> ends(int side) const {
        if (side < horizontal()) {
            const int column = side % (columns - 1), row = side / (columns - 1);
            return {{{column, row}, {column + 1, row}}};
        }
        const int column = (side - horizontal()) % columns, row = (side - horizontal()) / columns;
        return {{{column, row}, {column, row + 1}}};
    }
};

}  // namespace

std::string modulusText(double size) {
    std::string text = shortText(size);
    for (int decimals = 4; size != 1 && text == fixedText(1, decimals - 1) && decimals <= 17;
         ++decimals) {
        text = fixedText(size, decimals);
    }
    return text;
}

std::string modeText(std::complex<double> z) {
    if (z.imag() == 0) return shortText(z.real());
    const std::string imaginary = shortText(std::fabs(z.imag())) + "i";
    const std::string real = shortText(z.real());
    return real == shortText(0) ? "\u00b1" + imaginary : real + " \u00b1 " + imaginary;
}

std::string stepPlace(std::size_t step, double x) {
    return "step " + std::to_string(step) + ", x = " + shortText(x);
}

bool insideRegion(const StabilityFunction& r, std::complex<double> z) {
    // A modulus too large to calculate (infinity or NaN) fails the test.
    return stabilityModulus(r, z) <= 1;
}

double stabilityInterval(const StabilityFunction& r) {
    // Scan in small steps for the first unstable point, then bisect. Every
    // explicit method leaves before 64; a rational R's edge crosses the axis
    // nowhere beyond its crossing bound, so a scan that gets past the bound
    // inside the region never leaves it (the scan stops at `longestScan`
    // without claiming that).
    constexpr double scanStep = 1.0 / 1024, longestScan = 4096;
    const double bound = r.isPolynomial() ? 0 : crossingBound(r);
    const double limit = std::clamp(bound, 64.0, longestScan);
    double inside = 0;
    double outside = scanStep;
    while (outside < limit && stable(r, outside)) {
        inside = outside;
        outside = outside + scanStep;
    }
    if (!r.isPolynomial() && bound <= limit && stable(r, outside)) {
        return std::numeric_limits<double>::infinity();
    }
    for (int i = 0; i < 60; ++i) {
        const double middle = inside + (outside - inside) / 2;
        if (middle == inside || middle == outside) break;
        (stable(r, middle) ? inside : outside) = middle;
    }
    return inside;
}

std::string intervalText(double interval) {
    return std::isinf(interval) ? "unbounded" : fixedText(interval, 3);
}

std::vector<std::vector<std::size_t>> sameStabilityFunction(std::span<const Method> methods) {
    std::vector<std::vector<std::size_t>> groups;
    std::vector<StabilityFunction> functions;
    for (std::size_t row = 0; row < methods.size(); ++row) {
        if (!hasTableau(methods[row])) continue;
        const StabilityFunction r = stabilityFunctionOf(*tableauOf(methods[row]));
        std::size_t g = 0;
        while (g < groups.size() && !sameFunction(functions[g], r)) ++g;
        if (g == groups.size()) {
            groups.emplace_back();
            functions.push_back(r);
        }
        groups[g].push_back(row);
    }
    return groups;
}

std::vector<std::vector<std::size_t>> sameStabilityFunction(const TypedMethods& typed) {
    std::vector<Method> methods;
    for (std::size_t row = 0; row < labCatalogue().size(); ++row) {
        methods.push_back(methodAt(row, typed));
    }
    return sameStabilityFunction(methods);
}

double StabilityGrid::re(int column) const {
    return reMin + (reMax - reMin) * column / std::max(1, columns - 1);
}

double StabilityGrid::im(int row) const {
    return imMin + (imMax - imMin) * row / std::max(1, rows - 1);
}

bool StabilityGrid::isInside(int column, int row) const {
    return inside[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(column)] != 0;
}

StabilityGrid sampleStabilityRegion(const StabilityFunction& r, int columns, int rows,
                                    const StabilityGrid& frame) {
    return sampleRegion([&r](std::complex<double> z) { return insideRegion(r, z); }, columns, rows,
                        frame);
}

StabilityGrid sampleRegion(const RegionTest& inside, int columns, int rows,
                           const StabilityGrid& frame) {
    StabilityGrid grid;
    grid.reMin = frame.reMin;
    grid.reMax = frame.reMax;
    grid.imMin = frame.imMin;
    grid.imMax = frame.imMax;
    grid.columns = std::max(columns, 2);
    grid.rows = std::max(rows, 2);
    grid.inside.reserve(static_cast<std::size_t>(grid.columns) *
                        static_cast<std::size_t>(grid.rows));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            grid.inside.push_back(inside({grid.re(column), grid.im(row)}) ? 1 : 0);
        }
    }
    return grid;
}

std::string beyondGridNote(const std::vector<std::complex<double>>& z, const StabilityGrid& grid) {
    const auto beyond = [&grid](std::complex<double> point) {
        return point.real() < grid.reMin || point.real() > grid.reMax ||
               point.imag() < grid.imMin || point.imag() > grid.imMax;
    };
    std::optional<std::complex<double>> farthest;
    std::size_t count = 0;
    for (const std::complex<double>& point : z) {
        if (!beyond(point)) continue;
        ++count;
        if (!farthest || std::abs(point) > std::abs(*farthest)) farthest = point;
    }
    if (!farthest) return {};
    const std::string drawn = "the part of the plane the region plot is fitted to (Re z from " +
                              numberToText(grid.reMin) +
                              " to " + numberToText(grid.reMax) + ", Im z from " +
                              numberToText(grid.imMin) + " to " + numberToText(grid.imMax) + ")";
    const std::string which = count == 1 ? "z = " + modeText(*farthest) + " lies"
                                         : std::to_string(count) + " of the z lie";
    return which + " beyond " + drawn +
           (count == 1 ? "" : ", the farthest z = " + modeText(*farthest)) + ": zoom out to see " +
           (count == 1 ? "it" : "them") + "; the notes judge every z all the same.";
}

namespace {

// For each side of the grid, the two sides whose crossings of the edge its
// own crossing joins, -1 where there is none: each side the edge crosses
// joins the crossings of at most two squares.
using Joins = std::vector<std::array<int, 2>>;

// Marching squares: in each square of four neighbouring grid points the edge
// crosses the sides whose corners differ, and joins them in pairs.
Joins joinCrossings(const RegionTest& inside, const StabilityGrid& grid,
                    const GridSides& sides) {
    Joins joined(static_cast<std::size_t>(sides.count()), {-1, -1});
    const auto join = [&joined](int a, int b) {
        for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
            auto& ends = joined[static_cast<std::size_t>(from)];
            (ends[0] < 0 ? ends[0] : ends[1]) = to;
        }
    };
    for (int row = 0; row + 1 < grid.rows; ++row) {
        for (int column = 0; column + 1 < grid.columns; ++column) {
            // Corners and sides in turn around the square: side k runs from
            // corner k to corner k + 1.
            const std::array<bool, 4> corner{
                grid.isInside(column, row), grid.isInside(column + 1, row),
                grid.isInside(column + 1, row + 1), grid.isInside(column, row + 1)};
            const std::array<int, 4> side{sides.across(column, row), sides.up(column + 1, row),
                                          sides.across(column, row + 1), sides.up(column, row)};
            std::vector<int> crossed;
            for (int k = 0; k < 4; ++k) {
                if (corner[k] != corner[(k + 1) % 4]) crossed.push_back(side[k]);
            }
            if (crossed.size() == 2) {
                join(crossed[0], crossed[1]);
            } else if (crossed.size() == 4) {
                // Opposite corners alike: the centre tells whether the first
                // and third corners are joined across the square, which cuts
                // off the second and fourth, or the other way round.
                const std::complex<double> centre{(grid.re(column) + grid.re(column + 1)) / 2,
                                                  (grid.im(row) + grid.im(row + 1)) / 2};
                if (inside(centre) == corner[0]) {
                    join(side[0], side[1]);
                    join(side[2], side[3]);
                } else {
                    join(side[3], side[0]);
                    join(side[1], side[2]);
                }
            }
        }
    }
    return joined;
}

// The joined crossings followed into lines, each crossing once.
std::vector<Polyline> followLines(const RegionTest& inside, const StabilityGrid& grid,
                                  const GridSides& sides, const Joins& joined) {
    const auto crossing = [&](int side) {
        const auto [a, b] = sides.ends(side);
        const std::complex<double> first{grid.re(a[0]), grid.im(a[1])};
        const std::complex<double> second{grid.re(b[0]), grid.im(b[1])};
        return grid.isInside(a[0], a[1]) ? edgeCrossing(inside, first, second)
                                         : edgeCrossing(inside, second, first);
    };
    std::vector<bool> used(joined.size(), false);
    const auto follow = [&](int start) {
        Polyline line;
        int previous = -1;
        int side = start;
        while (side >= 0 && !used[static_cast<std::size_t>(side)]) {
            used[static_cast<std::size_t>(side)] = true;
            line.push_back(crossing(side));
            const auto [a, b] = joined[static_cast<std::size_t>(side)];
            previous = std::exchange(side, a == previous ? b : a);
        }
        if (side == start) line.push_back(line.front());
        return line;
    };
    std::vector<Polyline> lines;
    // Lines that leave the grid first, from one of their ends; then the closed ones.
    for (int side = 0; side < sides.count(); ++side) {
        const auto [a, b] = joined[static_cast<std::size_t>(side)];
        if (a >= 0 && b < 0 && !used[static_cast<std::size_t>(side)]) lines.push_back(follow(side));
    }
    for (int side = 0; side < sides.count(); ++side) {
        if (joined[static_cast<std::size_t>(side)][0] >= 0 &&
            !used[static_cast<std::size_t>(side)]) {
            lines.push_back(follow(side));
        }
    }
    return lines;
}

}  // namespace

std::vector<Polyline> stabilityBoundary(const StabilityFunction& r,
                                        const StabilityGrid& grid) {
    return regionBoundary([&r](std::complex<double> z) { return insideRegion(r, z); }, grid);
}

std::vector<Polyline> regionBoundary(const RegionTest& inside, const StabilityGrid& grid) {
    const GridSides sides{grid.columns, grid.rows};
    return followLines(inside, grid, sides, joinCrossings(inside, grid, sides));
}

std::string stepZText(double z) {
    return std::fabs(z) < 1e-3 && z != 0 ? numberToText(z) : shortText(z);
}

std::string stepRangeText() {
    // Written out, as a student reads a step: "0.00001", not "1E-05".
    return fixedText(smallestStep, 5) + " to " + numberToText(largestStep);
}

StepReading readStep(std::string_view typed, std::string_view kept) {
    const std::string stays = "; h stays " + std::string(kept) + ".";
    const LabNumber number = readLabNumber(typed);
    if (!number.value) return {std::nullopt, "h: " + number.why + stays};
    if (*number.value < smallestStep || *number.value > largestStep) {
        return {std::nullopt, "h: " + quotedForNote(typed) + " lies outside " + stepRangeText() +
                                  ", the steps the lab takes" + stays};
    }
    return {number.value, ""};
}

StabilityRun runWithStep(const Method& method, double x0, double y0, double h, int steps) {
    StabilityRun run;
    const auto r = stabilityFunctionOf(*tableauOf(method));
    const double amplification = stabilityFunction(r, {h * lessonLambda, 0}).real();
    run.amplification = std::isfinite(amplification) ? amplification : 0;
    const ExactSolution exact(x0, y0);
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(h) || !exact.isFinite()) {
        run.notes.push_back("These starting values are too large to calculate with.");
        return run;
    }
    if (h <= 0) {
        run.notes.push_back("Choose a positive h to step forwards.");
        return run;
    }
    double y = y0;
    MethodRun<double> stepping(method, f1, x0, h);
    for (int i = 0; i <= steps; ++i) {
        const double x = x0 + i * h;
        const double yExact = exact(x);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(yExact)) {
            run.notes.push_back("At step " + std::to_string(i) +
                                " the values grow too large to calculate with; the run stops "
                                "there.");
            break;
        }
        run.x.push_back(x);
        run.y.push_back(y);
        run.exact.push_back(yExact);
        if (i == steps) break;
        try {
            y = stepping.step(i, y);
        } catch (const NoConvergence&) {
            y = std::numeric_limits<double>::quiet_NaN();  // said as a value too large, as before
        }
    }
    const double size = std::fabs(amplification);
    const std::string z = "z = h\u00b7\u03bb = " + stepZText(h * lessonLambda);
    if (!std::isfinite(size)) {
        run.notes.push_back(z + " lies far outside the region: |R(z)| is too large to "
                                "calculate, and the run leaves the exact solution at once.");
        return run;
    }
    const std::string factor = "|R(z)| = " + modulusText(size);
    if (size > 1) {
        run.notes.push_back(z + " lies outside the region: " + factor +
                            ", so every step multiplies the error, and the run moves away "
                            "from the exact solution.");
    } else if (size == 1) {
        run.notes.push_back(z + " lies on the edge of the region: " + factor +
                            ", so an error neither grows nor dies away.");
    } else {
        run.notes.push_back(z + " lies inside the region: " + factor +
                            ", so every step damps the error" +
                            (run.amplification < 0 ? ", flipping its sign each step." : "."));
    }
    return run;
}

double differenceStep(double y) {
    // The step that balances truncation against rounding.
    return std::cbrt(std::numeric_limits<double>::epsilon()) * std::max(1.0, std::fabs(y));
}

SlopeDerivative differenceQuotient(const DifferenceValues& f, double y, double delta) {
    const double scale = std::max(1.0, std::fabs(y));
    const double roundingUnit = std::numeric_limits<double>::epsilon();
    const double lambda = (f.plusStep - f.minusStep) / (2 * delta);
    const double rounding = 4 * std::pow(roundingUnit, 2.0 / 3.0) *
                            (std::fabs(lambda) + std::fabs(f.atY) / scale);
    // The quotient with twice the step has four times the truncation, and
    // at most half the rounding: what rounding cannot explain of the
    // difference is three times this quotient's truncation.
    const double wide = (f.plusTwoSteps - f.minusTwoSteps) / (2 * (2 * delta));
    const double truncation = std::max(0.0, std::fabs(wide - lambda) - 1.5 * rounding);
    return {lambda, rounding + truncation};
}

SlopeDerivative slopeDerivative(Slope f, double x, double y) {
    const double delta = differenceStep(y);
    return differenceQuotient({.atY = f(x, y),
                               .plusStep = f(x, y + delta),
                               .minusStep = f(x, y - delta),
                               .plusTwoSteps = f(x, y + 2 * delta),
                               .minusTwoSteps = f(x, y - 2 * delta)},
                              y, delta);
}

StabilityLimit stabilityLimit(const Method& method, Slope f, const std::vector<double>& x,
                              const std::vector<double>& y) {
    StabilityLimit limit;
    limit.interval = stabilityInterval(stabilityFunctionOf(*tableauOf(method)));
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const SlopeDerivative derivative = slopeDerivative(f, x[i], y[i]);
        limit.x.push_back(x[i]);
        if (derivative.lambda < -derivative.tolerance && std::isfinite(limit.interval)) {
            limit.h.push_back(limit.interval / std::fabs(derivative.lambda));
        } else {
            limit.h.push_back(std::nullopt);
        }
    }
    return limit;
}

std::string stabilityLimitNote(const Method& method, const StabilityLimit& limit) {
    std::optional<double> lowest, highest;
    for (const std::optional<double>& h : limit.h) {
        if (!h || !std::isfinite(*h)) continue;
        lowest = std::min(lowest.value_or(*h), *h);
        highest = std::max(highest.value_or(*h), *h);
    }
    if (std::isinf(limit.interval)) {
        return "Stability limit: none. " + std::string(method.caption) +
               "'s interval on the negative real axis is unbounded, so where \u03bb = "
               "\u2202f/\u2202y "
               "is negative no step length multiplies an error by more than 1, and the |h| plot "
               "draws "
               "no limit.";
    }
    const std::string what = "Stability limit: where \u03bb = \u2202f/\u2202y is negative, a step "
                             "longer than " + fixedText(limit.interval, 3) + "/|\u03bb| (" +
                             std::string(method.caption) +
                             "'s interval on the negative real axis over |\u03bb|) multiplies an "
                             "error by more than 1.";
    if (!lowest) {
        return what + " Along this run \u03bb is nowhere negative, so the |h| plot draws no limit.";
    }
    const std::string low = errorText(*lowest), high = errorText(*highest);
    return what + " Along this run the limit is " +
           (low == high ? low : "between " + low + " and " + high) + ", the line on the |h| plot.";
}

}  // namespace pelorin
