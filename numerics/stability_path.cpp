#include "numerics/stability_path.h"

#include "base/number_text.h"
#include "base/words.h"
#include "numerics/jacobian.h"
#include "numerics/method_run.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace pelorin {

namespace {

using Kinds = std::vector<StepKind>;

constexpr std::string_view noPathNote =
    "Choose x1 beyond x0 and a positive h to follow z = h\u00b7\u03bb along a run.";

// A step point's z, their tolerance and kinds, and the first mode outside.
template <class State>
void addStepPoint(StabilityPathOf<State>& path, std::vector<std::complex<double>> z,
                  double zTolerance, Kinds kinds) {
    for (std::size_t k = 0; k < kinds.size() && !path.firstOutside; ++k) {
        if (kinds[k] == StepKind::outside) path.firstOutside = ModePlace{path.z.size(), k};
    }
    path.z.push_back(std::move(z));
    path.zTolerance.push_back(zTolerance);
    path.kind.push_back(std::move(kinds));
}

bool has(const Kinds& kinds, StepKind kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// How many step points have a mode of this kind.
template <class State>
std::size_t pointsWith(const StabilityPathOf<State>& path, StepKind kind) {
    return static_cast<std::size_t>(
        std::count_if(path.kind.begin(), path.kind.end(),
                      [kind](const Kinds& kinds) { return has(kinds, kind); }));
}

template <class State>
std::optional<ModePlace> firstOf(const StabilityPathOf<State>& path, StepKind kind) {
    for (std::size_t i = 0; i < path.kind.size(); ++i) {
        const auto at = std::find(path.kind[i].begin(), path.kind[i].end(), kind);
        if (at != path.kind[i].end()) {
            return ModePlace{i, static_cast<std::size_t>(at - path.kind[i].begin())};
        }
    }
    return std::nullopt;
}

bool decaying(StepKind kind) {
    return kind == StepKind::inside || kind == StepKind::onEdge || kind == StepKind::outside;
}

// One equation's notes: its one mode, real z = h·λ, judged by the sign of λ.

double realZ(const StabilityPath& path, std::size_t i) {
    return path.z[i].front().real();
}

std::size_t countOf(const StabilityPath& path, bool (*which)(StepKind)) {
    return static_cast<std::size_t>(
        std::count_if(path.kind.begin(), path.kind.end(),
                      [which](const Kinds& kinds) { return which(kinds.front()); }));
}

// Where λ < 0: what the steps inside, on the edge of or outside the region
// do to an error, from "z" on. `beyond` says which steps past the first
// outside the region multiply an error as it does: on a path where λ
// changes sign, not every later one.
std::string decayingVerdict(const StabilityPath& path, const StabilityFunction& r,
                            std::string_view beyond) {
    if (path.firstOutside) {
        const std::size_t i = path.firstOutside->step;
        return "leaves the region at " + stepPlace(i, path.run.x[i]) +
               ", where z = " + shortText(realZ(path, i)) + ": " + std::string(beyond) +
               " multiplies an error by |R(z)| = " +
               shortText(stabilityModulus(r, {realZ(path, i), 0})) +
               ", and the run can move away from the solution.";
    }
    if (const auto edge = firstOf(path, StepKind::onEdge)) {
        const std::size_t i = edge->step;
        const std::size_t onEdge = countOf(path, [](StepKind k) { return k == StepKind::onEdge; });
        const std::size_t decays = countOf(path, decaying);
        const std::string where =
            onEdge == 1 ? stepPlace(i, path.run.x[i])
            : onEdge == decays
                ? "all " + std::to_string(onEdge) + " step points"
                : std::to_string(onEdge) + " of " + std::to_string(decays) +
                      " step points, first at " + stepPlace(i, path.run.x[i]);
        return "stays within the region and lies on its edge at " + where + ": z = " +
               shortText(realZ(path, i)) + " is within " + errorText(path.zTolerance[i]) +
               " of the edge |R(z)| = 1, as close as the difference quotient gives z, so there "
               "an error neither grows nor dies away" +
               (onEdge < decays ? "; elsewhere every step damps it." : ".");
    }
    // Where every such R(z) is negative, as the trapezoid's is on a stiff
    // problem, the run oscillates about the solution as the error dies away.
    bool flips = true;
    for (std::size_t i = 0; i < path.kind.size(); ++i) {
        if (decaying(path.kind[i].front())) {
            flips = flips && stabilityFunction(r, {realZ(path, i), 0}).real() < 0;
        }
    }
    return std::string("stays inside the region: every step damps an error") +
           (flips ? ", flipping its sign each step." : ".");
}

// Where λ > 0: the error against the solution's own growth, at the step
// where it fares worst. Every explicit method here has 0 < R(z) ≤ e^z for
// z > 0 (its coefficients are 1/k! up to its order and less beyond), so
// relative to the solution an error never grows; an implicit one's R can
// outgrow e^z (backward Euler's 1/(1 - z) does for 0 < z < 1, and has a pole
// at z = 1). R(z) and e^z are each good to a few roundings: a ratio that
// close to 1 is 1.
std::string growingVerdict(const StabilityPath& path, const StabilityFunction& r) {
    std::optional<std::size_t> worst;
    double worstRatio = 0;
    for (std::size_t i = 0; i < path.kind.size(); ++i) {
        if (path.kind[i].front() != StepKind::growing) continue;
        const double modulus = stabilityModulus(r, {realZ(path, i), 0});
        const double quotient = modulus / std::exp(realZ(path, i));
        // An explicit method's ratio is at most 1 but for rounding; any
        // other's is 1 only within rounding of it, from either side.
        const double rounding = 8 * std::numeric_limits<double>::epsilon();
        const bool one =
            r.isPolynomial() ? quotient > 1 - rounding : std::fabs(quotient - 1) < rounding;
        const double ratio = one ? 1 : quotient;
        // The first step of the largest ratio as the note writes it: a ratio
        // larger by rounding alone does not move the step named.
        if (!worst || (ratio > worstRatio && modulusText(ratio) != modulusText(worstRatio))) {
            worst = i;
            worstRatio = ratio;
        }
    }
    const std::size_t i = *worst;
    const double z = realZ(path, i);
    return "the solution itself grows, by e^z per step, and an error with it, by |R(z)|, so what "
           "matters is the error relative to the solution, which each step multiplies by "
           "|R(z)|/e^z. That is at most " +
           modulusText(worstRatio) + " (at " + stepPlace(i, path.run.x[i]) +
           ", z = " + shortText(z) + ": |R(z)| = " + shortText(stabilityModulus(r, {z, 0})) +
           " against e^z = " + shortText(std::exp(z)) + "), so relative to the solution an error " +
           (worstRatio > 1 ? "grows there." : "does not grow.");
}

constexpr std::string_view neutralVerdict =
    "f does not change with y, so R(0) = 1: each step carries an error along unchanged, "
    "neither damped nor grown.";

// How many step points have λ of each sign, e.g. "negative at 20 of the 21
// step points and 0 at 1".
std::string signCounts(const StabilityPath& path) {
    const std::array<std::pair<const char*, std::size_t>, 3> counts{{
        {"negative", countOf(path, decaying)},
        {"0", pointsWith(path, StepKind::neutral)},
        {"positive", pointsWith(path, StepKind::growing)},
    }};
    std::vector<std::string> parts;
    for (const auto& [sign, count] : counts) {
        if (count == 0) continue;
        parts.push_back(
            std::string(sign) + " at " + std::to_string(count) +
            (parts.empty() ? " of the " + std::to_string(path.kind.size()) + " step points" : ""));
    }
    return listedInWords(parts);
}

std::vector<std::string> pathNotes(const StabilityPath& path, const StabilityFunction& r) {
    const std::string how = "z = h\u00b7\u03bb along the run, with \u03bb = \u2202f/\u2202y "
                            "from a central difference quotient at every step point";
    const std::size_t decays = countOf(path, decaying);
    const std::size_t neutral = pointsWith(path, StepKind::neutral);
    const std::size_t grows = path.kind.size() - decays - neutral;
    if (decays == path.kind.size()) {
        return {how + ", " + decayingVerdict(path, r, "from there every step")};
    }
    if (grows == path.kind.size()) return {how + ", is positive: " + growingVerdict(path, r)};
    if (neutral == path.kind.size()) return {how + ", is 0: " + std::string(neutralVerdict)};
    std::vector<std::string> notes{how + ", is " + signCounts(path) +
                                   ", so each step is judged by its own \u03bb."};
    if (decays > 0) {
        notes.push_back("Where \u03bb < 0, z " + decayingVerdict(path, r, "there a step"));
    }
    if (neutral > 0) notes.push_back("Where \u03bb = 0, " + std::string(neutralVerdict));
    if (grows > 0) notes.push_back("Where \u03bb > 0, " + growingVerdict(path, r));
    return notes;
}

// A system's notes: every mode of J, complex z in the plane.

// "at 12 of the 26 step points"
std::string share(std::size_t count, const StabilityPathOf<StateVector>& path) {
    return "at " + std::to_string(count) + " of the " + std::to_string(path.z.size()) +
           " step points";
}

const std::complex<double>& zAt(const StabilityPathOf<StateVector>& path, ModePlace place) {
    return path.z[place.step][place.mode];
}

std::string placeText(const StabilityPathOf<StateVector>& path, ModePlace place) {
    return stepPlace(place.step, path.run.x[place.step]);
}

// "the pair z = ±0.400i (λ = ±1.000i)" or "z = -2.500 (λ = -5.000)".
std::string namedMode(const StabilityPathOf<StateVector>& path, ModePlace place) {
    const std::complex<double> z = zAt(path, place);
    return std::string(z.imag() != 0 ? "the pair " : "") + "z = " + modeText(z) +
           " (\u03bb = " + modeText(z / path.run.h) + ")";
}

// Where the solution does not grow: the first mode outside the region and
// what the run does in it; else the first on the edge; else all inside.
// `others` says whether some modes are judged otherwise (λ = 0 or Re λ > 0).
std::string regionVerdict(const StabilityPathOf<StateVector>& path, const StabilityFunction& r,
                          bool others) {
    if (const auto place = path.firstOutside) {
        const std::complex<double> z = zAt(path, *place);
        const std::string factor = modulusText(stabilityModulus(r, z));
        const std::string how = z.imag() != 0 ? ", turning as it grows: the run spirals outwards"
                                : stabilityFunction(r, z).real() < 0
                                    ? ", flipping its sign each step"
                                    : "";
        return "The first z to leave the region is " + namedMode(path, *place) + ", at " +
               placeText(path, *place) + ": |R(z)| = " + factor +
               ", so there the run grows in that mode, each step multiplying it by " + factor +
               how + ", while the solution does not grow in it. Some z lies outside the region " +
               share(pointsWith(path, StepKind::outside), path) + ".";
    }
    const std::string which = others ? "Every z with Re \u03bb \u2264 0" : "Every z";
    if (const auto place = firstOf(path, StepKind::onEdge)) {
        return which + " stays within the region, and " + namedMode(path, *place) + " at " +
               placeText(path, *place) + " lies on its edge |R(z)| = 1, to within " +
               errorText(path.zTolerance[place->step]) +
               ", as close as the difference quotients give z: there an error in that mode "
               "neither grows nor dies away (some z lies on the edge " +
               share(pointsWith(path, StepKind::onEdge), path) + ").";
    }
    return which + " stays inside the region: each step damps an error in " +
           (others ? "those modes." : "every mode.");
}

// Where Re λ > 0 the solution grows too, by |e^z| = e^(Re z) per step, and
// the run by |R(z)|: their ratio is what each step does to an error relative
// to the solution, at the step where it is largest. R(z) and e^z are each
// good to a few roundings: a ratio that close to 1 is 1.
std::string growingVerdict(const StabilityPathOf<StateVector>& path, const StabilityFunction& r) {
    std::optional<ModePlace> worst;
    double worstRatio = 0;
    for (std::size_t i = 0; i < path.kind.size(); ++i) {
        for (std::size_t k = 0; k < path.kind[i].size(); ++k) {
            if (path.kind[i][k] != StepKind::growing) continue;
            const std::complex<double> z = path.z[i][k];
            const double quotient = stabilityModulus(r, z) / std::exp(z.real());
            const double ratio =
                std::fabs(quotient - 1) < 8 * std::numeric_limits<double>::epsilon() ? 1 : quotient;
            if (!worst || (ratio > worstRatio && modulusText(ratio) != modulusText(worstRatio))) {
                worst = ModePlace{i, k};
                worstRatio = ratio;
            }
        }
    }
    const std::complex<double> z = zAt(path, *worst);
    return "Where Re \u03bb > 0 (" + share(pointsWith(path, StepKind::growing), path) +
           ") the solution itself grows in that mode, by |e^z| per step, and the run by |R(z)|, so "
           "what matters is the error relative to the solution, which each step multiplies by "
           "|R(z)|/|e^z|. That is at most " + modulusText(worstRatio) + " (at " +
           placeText(path, *worst) + ", z = " + modeText(z) + ": |R(z)| = " +
           shortText(stabilityModulus(r, z)) + " against |e^z| = " +
           shortText(std::exp(z.real())) + "), so relative to the solution an error " +
           (worstRatio > 1 ? "grows there." : "does not grow.");
}

std::vector<std::string> pathNotes(const StabilityPathOf<StateVector>& path,
                                   const StabilityFunction& r) {
    std::vector<std::string> notes{
        "z = h\u00b7\u03bb for every eigenvalue \u03bb of the Jacobian J = \u2202F/\u2202y at each "
        "of "
        "the " +
        std::to_string(path.z.size()) +
        " step points of the run, J by central difference "
        "quotients, column j from F at y \u00b1 \u03b4_j\u00b7e_j and y \u00b1 2\u03b4_j\u00b7e_j "
        "with "
        "\u03b4_j = \u221b\u03b5\u00b7max(1, |y_j|): in each mode of J an error is multiplied by "
        "about R(z) per step."};
    const std::size_t neutral = pointsWith(path, StepKind::neutral);
    const std::size_t grows = pointsWith(path, StepKind::growing);
    const bool judgedByRegion = std::any_of(
        path.kind.begin(), path.kind.end(),
        [](const Kinds& kinds) { return std::any_of(kinds.begin(), kinds.end(), decaying); });
    if (judgedByRegion) notes.push_back(regionVerdict(path, r, neutral + grows > 0));
    if (neutral > 0) {
        notes.push_back("Where \u03bb is 0 as far as the difference quotients can tell (" +
                        share(neutral, path) +
                        "), R(0) = 1: each step carries an error in that mode along unchanged, "
                        "neither damped nor grown.");
    }
    if (grows > 0) notes.push_back(growingVerdict(path, r));
    return notes;
}

}  // namespace

StepKind stepKind(const StabilityFunction& r, double z, double zTolerance) {
    if (z > zTolerance) return StepKind::growing;
    if (z >= -zTolerance) return StepKind::neutral;
    // The edge passes between z - tolerance and z + tolerance.
    if (insideRegion(r, {z - zTolerance, 0}) != insideRegion(r, {z + zTolerance, 0})) {
        return StepKind::onEdge;
    }
    return insideRegion(r, {z, 0}) ? StepKind::inside : StepKind::outside;
}

StepKind modeKind(const StabilityFunction& r, std::complex<double> z, double zTolerance) {
    if (std::abs(z) <= zTolerance) return StepKind::neutral;
    if (z.real() > zTolerance) return StepKind::growing;
    const bool inside = insideRegion(r, z);
    // The edge passes within the tolerance of z where a point that far from
    // it, across or along the real axis, lies on the other side.
    const std::array<std::complex<double>, 4> around{{{zTolerance, 0}, {-zTolerance, 0},
                                                      {0, zTolerance}, {0, -zTolerance}}};
    for (const std::complex<double>& offset : around) {
        if (insideRegion(r, z + offset) != inside) return StepKind::onEdge;
    }
    return inside ? StepKind::inside : StepKind::outside;
}

// One equation's λ comes with the run: the path stops at the first step
// point whose values or λ are too large to calculate with.
StabilityPath stabilityPath(const Method& method, Slope f, double x0, double y0, double x1,
                            double h) {
    StabilityPath path;
    if (!(h > 0) || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !(x1 > x0)) {
        path.notes.emplace_back(noPathNote);
        return path;
    }
    path.run.method = &method;
    path.run.h = h;
    const auto r = stabilityFunctionOf(*tableauOf(method));
    const double wanted = std::ceil((x1 - x0) / h);
    const int steps = static_cast<int>(std::min<double>(wanted, maxStabilityPathSteps));
    double y = y0;
    MethodRun<double> stepping(method, f, x0, h);
    for (int i = 0; i <= steps; ++i) {
        const double x = x0 + i * h;
        const SlopeDerivative derivative = slopeDerivative(f, x, y);
        const double z = h * derivative.lambda;
        const double zTolerance = h * derivative.tolerance;
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) ||
            !std::isfinite(zTolerance)) {
            path.notes.push_back("At step " + std::to_string(i) + " the values grow too large to "
                                 "calculate with; the path stops there.");
            break;
        }
        path.run.x.push_back(x);
        path.run.y.push_back(y);
        addStepPoint(path, {{z, 0}}, zTolerance, {stepKind(r, z, zTolerance)});
        if (i == steps) break;
        try {
            y = stepping.step(i, y);
        } catch (const NoConvergence& failed) {
            // An implicit step without a value: the run, and with it the path, ends here.
            path.notes.push_back(std::string(failed.what()) + " The path stops there.");
            break;
        }
    }
    if (!path.z.empty()) {
        for (std::string& note : pathNotes(path, r)) path.notes.push_back(std::move(note));
    }
    if (wanted > maxStabilityPathSteps) {
        path.notes.push_back("The path follows the first " + std::to_string(maxStabilityPathSteps) +
                             " steps only.");
    }
    return path;
}

StabilityPathOf<StateVector> stabilityPath(const Method& method, SlopeOf<StateVector> F, double x0,
                                           const StateVector& y0, double x1, double h,
                                           std::stop_token stop) {
    StabilityPathOf<StateVector> path;
    if (!(h > 0) || !(x1 > x0)) {
        path.notes.emplace_back(noPathNote);
        return path;
    }
    path.run = solutionPath(method, F, x0, y0, x1, h, maxStabilityPathSteps);
    // A partitioned method has no R(z) to judge the modes by: its run and
    // the modes are shown, and the page says how to read them.
    const Tableau* tableau = tableauOf(method);
    const auto r = tableau ? stabilityFunctionOf(*tableau) : StabilityFunction{};
    std::vector<std::string> stops;
    for (std::size_t i = 0; i < path.run.x.size(); ++i) {
        if (stop.stop_requested()) return path;
        const StepEigenvalues modes = stepEigenvalues(F, path.run.x[i], path.run.y[i], h);
        if (modes.z.empty() || !std::isfinite(modes.tolerance)) {
            stops.push_back("At " + stepPlace(i, path.run.x[i]) +
                            " the Jacobian is not finite; the eigenvalues stop there.");
            break;
        }
        Kinds kinds;
        for (std::size_t k = 0; tableau && k < modes.z.size(); ++k) {
            kinds.push_back(modeKind(r, modes.z[k], modes.tolerance));
        }
        addStepPoint(path, modes.z, modes.tolerance, std::move(kinds));
    }
    if (!path.z.empty() && tableau) path.notes = pathNotes(path, r);
    if (const std::string stopped = pathNote(path.run); !stopped.empty())
        path.notes.push_back(stopped);
    for (std::string& note : stops) path.notes.push_back(std::move(note));
    return path;
}

}  // namespace pelorin
