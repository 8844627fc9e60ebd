#include "numerics/system_stability.h"

#include "base/number_text.h"
#include "numerics/jacobian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

using Kinds = std::vector<StepKind>;

bool has(const Kinds& kinds, StepKind kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// How many step points have a mode of this kind.
std::size_t pointsWith(const SystemStabilityPath& path, StepKind kind) {
    return static_cast<std::size_t>(std::count_if(
        path.kind.begin(), path.kind.end(), [kind](const Kinds& kinds) { return has(kinds, kind); }));
}

std::optional<ModePlace> firstOf(const SystemStabilityPath& path, StepKind kind) {
    for (std::size_t i = 0; i < path.kind.size(); ++i) {
        const auto at = std::find(path.kind[i].begin(), path.kind[i].end(), kind);
        if (at != path.kind[i].end()) {
            return ModePlace{i, static_cast<std::size_t>(at - path.kind[i].begin())};
        }
    }
    return std::nullopt;
}

// "at 12 of the 26 step points"
std::string share(std::size_t count, const SystemStabilityPath& path) {
    return "at " + std::to_string(count) + " of the " + std::to_string(path.z.size()) + " step points";
}

const std::complex<double>& zAt(const SystemStabilityPath& path, ModePlace place) {
    return path.z[place.step][place.mode];
}

std::string placeText(const SystemStabilityPath& path, ModePlace place) {
    return stepPlace(place.step, path.run.x[place.step]);
}

// "the pair z = ±0.400i (λ = ±1.000i)" or "z = -2.500 (λ = -5.000)".
std::string namedMode(const SystemStabilityPath& path, ModePlace place) {
    const std::complex<double> z = zAt(path, place);
    return std::string(z.imag() != 0 ? "the pair " : "") + "z = " + modeText(z) +
           " (\u03bb = " + modeText(z / path.run.h) + ")";
}

// Where the solution does not grow: the first mode outside the region and
// what the run does in it; else the first on the edge; else all inside.
// `others` says whether some modes are judged otherwise (λ = 0 or Re λ > 0).
std::string regionVerdict(const SystemStabilityPath& path, const StabilityFunction& r,
                          bool others) {
    if (const auto place = path.firstOutside) {
        const std::complex<double> z = zAt(path, *place);
        const std::string factor = modulusText(stabilityModulus(r, z));
        const std::string how = z.imag() != 0 ? ", turning as it grows: the run spirals outwards"
                                : stabilityFunction(r, z).real() < 0 ? ", flipping its sign each step"
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
std::string growingVerdict(const SystemStabilityPath& path, const StabilityFunction& r) {
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

std::vector<std::string> pathNotes(const SystemStabilityPath& path,
                                   const StabilityFunction& r) {
    std::vector<std::string> notes{
        "z = h\u00b7\u03bb for every eigenvalue \u03bb of the Jacobian J = \u2202F/\u2202y at each of "
        "the " + std::to_string(path.z.size()) + " step points of the run, J by central difference "
        "quotients, column j from F at y \u00b1 \u03b4_j\u00b7e_j and y \u00b1 2\u03b4_j\u00b7e_j with "
        "\u03b4_j = \u221b\u03b5\u00b7max(1, |y_j|): in each mode of J an error is multiplied by "
        "about R(z) per step."};
    const std::size_t neutral = pointsWith(path, StepKind::neutral);
    const std::size_t grows = pointsWith(path, StepKind::growing);
    const bool judgedByRegion = std::any_of(path.kind.begin(), path.kind.end(), [](const Kinds& kinds) {
        return std::any_of(kinds.begin(), kinds.end(), [](StepKind k) {
            return k == StepKind::inside || k == StepKind::onEdge || k == StepKind::outside;
        });
    });
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

SystemStabilityPath systemStabilityPath(const Method& method, SystemSlope F, double x0,
                                        const StateVector& y0, double x1, double h,
                                        std::stop_token stop) {
    SystemStabilityPath path;
    if (!(h > 0) || !(x1 > x0)) {
        path.notes.push_back("Choose x1 beyond x0 and a positive h to follow z = h\u00b7\u03bb "
                             "along a run.");
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
            if (!path.firstOutside && kinds.back() == StepKind::outside) {
                path.firstOutside = ModePlace{i, k};
            }
        }
        path.z.push_back(modes.z);
        path.zTolerance.push_back(modes.tolerance);
        path.kind.push_back(std::move(kinds));
    }
    if (!path.z.empty() && tableau) path.notes = pathNotes(path, r);
    if (const std::string stopped = pathNote(path.run); !stopped.empty()) path.notes.push_back(stopped);
    for (std::string& note : stops) path.notes.push_back(std::move(note));
    return path;
}

}  // namespace pelorin
