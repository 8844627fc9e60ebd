#include "texts/phase_plane_view.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "base/words.h"
#include "numerics/method_properties.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <limits>

namespace pelorin {

namespace {

// Four significant digits, trailing zeros dropped, an exponent written as
// the list writes one: "0.6667", "-1", "1.235E+05"; negative zero reads "0".
std::string fourDigits(double value) {
    if (value == 0) return "0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4g", value);
    std::string text = buffer;
    if (const auto e = text.find('e'); e != std::string::npos) text[e] = 'E';
    return text;
}

// A part within the tolerance of 0 as 0.
double snapped(double part, double tolerance) { return std::fabs(part) <= tolerance ? 0 : part; }

std::string pairText(double real, double imaginary) {
    const std::string modulus = fourDigits(std::fabs(imaginary)) + "i";
    return real == 0 ? "\u00b1" + modulus : fourDigits(real) + " \u00b1 " + modulus;
}

// The drift as the error columns write a size, exactly 0 as "0"; where I
// is not defined at the run's end (ln of a negative y), in words.
std::string driftText(double drift) {
    if (!std::isfinite(drift)) return "not a finite number";
    return drift == 0 ? "0" : errorText(drift);
}

}  // namespace

std::string eigenvaluesText(const EquilibriumSearch& equilibrium) {
    const std::vector<std::complex<double>> values =
        mergedEigenvalues(equilibrium.eigenvalues, equilibrium.spread);
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const double real = snapped(values[k].real(), equilibrium.tolerance);
        const double imaginary = snapped(values[k].imag(), equilibrium.tolerance);
        std::string item;
        if (imaginary == 0) {
            item = fourDigits(real);
        } else {
            item = pairText(real, imaginary);
            // Its conjugate stands next to it (eigenvalues' order) and is
            // written with it.
            if (k + 1 < values.size()) ++k;
        }
        text += (text.empty() ? "" : ", ") + item;
    }
    return text;
}

std::vector<EquilibriumRow> equilibriumRows(const std::vector<EquilibriumSearch>& equilibria) {
    std::vector<EquilibriumRow> rows;
    for (const EquilibriumSearch& equilibrium : equilibria) {
        if (!equilibrium.point) continue;
        rows.push_back({pointText(*equilibrium.point), eigenvaluesText(equilibrium),
                        equilibriumKindText(equilibrium.kind)});
    }
    return rows;
}

namespace {

// What rounding alone makes of I over a run of `steps` steps: a few units
// in the last place of max(1, |I(y0)|) a step, added up in the worst case.
double roundingDrift(double startValue, std::size_t steps) {
    return 8 * std::numeric_limits<double>::epsilon() *
           static_cast<double>(std::max<std::size_t>(steps, 1)) *
           std::max(1.0, std::fabs(startValue));
}

// What the numbers say of a drift, and nothing where they say nothing
// clearly.
enum class DriftShape { unclear, withinRounding, growing, notGrowing };
constexpr double growingRatio = 1.5, notGrowingRatio = 1.1;

DriftShape shapeOf(const RunDrift& run, double startValue) {
    if (run.leftRange || !std::isfinite(run.drift) || run.points < 3) return DriftShape::unclear;
    if (run.largest <= roundingDrift(startValue, run.points - 1)) return DriftShape::withinRounding;
    if (run.secondHalf >= growingRatio * run.firstHalf) return DriftShape::growing;
    if (run.secondHalf <= notGrowingRatio * run.firstHalf) return DriftShape::notGrowing;
    return DriftShape::unclear;
}

constexpr std::array<const char*, 4> shapeWords{"", ", within rounding", ", growing",
                                                ", not growing"};

// One run's line: "with h = 0.1: 8.52E-01, largest 8.52E-01, growing".
std::string driftLine(const std::string& name, const RunDrift& run, double x1, DriftShape shape) {
    std::string line = name + ": ";
    if (run.leftRange) {
        return line +
               "left the range where I can be computed at x = " + numberToText(*run.leftRange);
    }
    line += driftText(run.drift);
    if (run.x != x1) line += " at its last x = " + numberToText(run.x);
    if (!std::isfinite(run.drift)) return line;
    line += ", largest " + driftText(run.largest);
    return line + shapeWords[static_cast<std::size_t>(shape)];
}

struct NamedDrift {
    std::string name;
    RunDrift drift;
};

// The heading, a line for each run, and what "growing" means where a line
// says it.
std::string driftLines(std::string_view invariantText, double startValue, double x1,
                       std::string_view againstSolution, std::string_view problem,
                       const std::string& step, const std::vector<NamedDrift>& runs) {
    if (!std::isfinite(startValue)) {
        return "The invariant I = " + quotedFormula(invariantText) +
               " is not finite at the start, so no drift in it can be measured.";
    }
    std::string text =
        againstSolution.empty()
            ? "Drift of the invariant I = " + quotedFormula(invariantText) +
                  ", which the solutions keep at " + numberToText(startValue) + step +
                  ": I(x_i, y_i) \u2212 I(x0, y0) at x1 = " + numberToText(x1) +
                  ", and its largest size over the run:"
            : "Error in I = " + quotedFormula(invariantText) + ", which this " +
                  std::string(problem) + " does not keep" + step +
                  ": I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less " +
                  std::string(againstSolution) + "'s at the same x, at x1 = " + numberToText(x1) +
                  ", and its largest size over the run:";
    bool growthSaid = false;
    for (const NamedDrift& run : runs) {
        const DriftShape shape = shapeOf(run.drift, startValue);
        growthSaid = growthSaid || shape == DriftShape::growing || shape == DriftShape::notGrowing;
        text += "\n" + driftLine(run.name, run.drift, x1, shape);
    }
    if (growthSaid) {
        text += "\nGrowing: its largest size over the run's second half is at least 1.5 times "
                "that over its first half; not growing: at most 1.1 times.";
    }
    return text;
}

bool symplectic(const Method& method) { return isSymplectic(method); }
bool trapezoid(const Method& method) { return method.caption == "Trapezoid"; }

// Why a kind of method keeps I, or keeps it close, said after the captions
// of the runs of that kind whose drift has that shape: for one method, and
// for more.
struct Reason {
    bool (*kind)(const Method&);
    DriftShape shape;
    const char *one, *more;
};
constexpr std::array<Reason, 4> reasons{{
    {symplectic, DriftShape::withinRounding,
     " keeps I to within rounding: it is symplectic, and a symplectic Runge-Kutta method keeps "
     "every quadratic invariant, such as an oscillator's energy, up to rounding and Newton's "
     "tolerance.",
     " keep I to within rounding: they are symplectic, and a symplectic Runge-Kutta method keeps "
     "every quadratic invariant, such as an oscillator's energy, up to rounding and Newton's "
     "tolerance."},
    {trapezoid, DriftShape::withinRounding,
     " keeps I to within rounding, though it is not symplectic: on a linear system y' = Ay its "
     "step y1 = y0 + h(Ay0 + Ay1)/2 is the implicit mid point's y1 = y0 + hA(y0 + y1)/2, which "
     "keeps every quadratic invariant.",
     ""},
    {symplectic, DriftShape::notGrowing,
     " is symplectic: a symplectic method keeps a quantity close to I exactly, so its drift stays "
     "bounded over long runs instead of adding up, and here it does not grow.",
     " are symplectic: a symplectic method keeps a quantity close to I exactly, so its drift "
     "stays bounded over long runs instead of adding up, and here it does not grow."},
    {trapezoid, DriftShape::notGrowing,
     " is not symplectic, but its states moved by half an Euler step, y + hF(x, y)/2, are the "
     "implicit mid point's: so its drift stays bounded as the mid point's does, and here it does "
     "not grow.",
     ""},
}};

// Why some runs keep I, or keep it close, as far as their numbers show it.
std::string keepingNote(const std::vector<MethodDrift>& runs, double startValue) {
    std::size_t keeping = 0, measured = 0;
    for (const MethodDrift& run : runs) {
        if (run.drift.leftRange || !std::isfinite(run.drift.drift)) continue;
        ++measured;
        if (shapeOf(run.drift, startValue) == DriftShape::withinRounding) ++keeping;
    }
    if (measured > 1 && keeping == measured) {
        return "Every run keeps I to within rounding, so I does not tell these methods apart: "
               "every "
               "Runge-Kutta and linear multistep method keeps a linear invariant, such as a total "
               "y1 + y2 + y3.";
    }
    std::string text;
    for (const Reason& reason : reasons) {
        std::vector<std::string> captions;
        for (const MethodDrift& run : runs) {
            if (reason.kind(*run.method) && shapeOf(run.drift, startValue) == reason.shape) {
                captions.emplace_back(run.method->caption);
            }
        }
        if (captions.empty()) continue;
        text += (text.empty() ? "" : " ") + listedInWords(captions) +
                (captions.size() == 1 ? reason.one : reason.more);
    }
    return text;
}

}  // namespace

template <class State>
RunDrift runDrift(const PathOf<State>& run, const std::vector<double>& drift) {
    RunDrift summary;
    summary.h = std::fabs(run.h);
    summary.points = std::min(run.x.size(), drift.size());
    if (summary.points < run.x.size()) summary.leftRange = run.x[summary.points];
    if (summary.points == 0) return summary;
    const double x0 = run.x.front(), last = run.x[summary.points - 1];
    for (std::size_t i = 0; i < summary.points; ++i) {
        const double size = std::fabs(drift[i]);
        if (!std::isfinite(size)) continue;
        summary.largest = std::max(summary.largest, size);
        double& half = 2 * std::fabs(run.x[i] - x0) <= std::fabs(last - x0) ? summary.firstHalf
                                                                             : summary.secondHalf;
        half = std::max(half, size);
    }
    summary.x = last;
    summary.drift = drift[summary.points - 1];
    return summary;
}

template RunDrift runDrift(const PathOf<double>&, const std::vector<double>&);
template RunDrift runDrift(const PathOf<StateVector>&, const std::vector<double>&);

template <class State>
std::vector<RunDrift> runDrifts(const std::array<PathOf<State>, 3>& runs,
                                const std::array<std::vector<double>, 3>& drift) {
    std::vector<RunDrift> drifts;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (drift[k].empty() || runs[k].x.empty()) continue;
        drifts.push_back(runDrift(runs[k], drift[k]));
    }
    return drifts;
}
template std::vector<RunDrift> runDrifts(const std::array<PathOf<double>, 3>&,
                                         const std::array<std::vector<double>, 3>&);
template std::vector<RunDrift> runDrifts(const std::array<PathOf<StateVector>, 3>&,
                                         const std::array<std::vector<double>, 3>&);

std::string invariantDriftNote(std::string_view invariantText, double startValue, double x1,
                               const std::vector<RunDrift>& runs,
                               std::string_view againstSolution, std::string_view problem) {
    if (runs.empty()) return {};
    std::vector<NamedDrift> named;
    for (const RunDrift& run : runs) named.push_back({"with h = " + numberToText(run.h), run});
    return driftLines(invariantText, startValue, x1, againstSolution, problem, "", named);
}

std::string sideBySideDriftNote(std::string_view invariantText, double startValue, double x1,
                                const std::vector<MethodDrift>& runs,
                                std::string_view againstSolution, std::string_view problem) {
    if (runs.empty()) return {};
    std::vector<NamedDrift> named;
    for (const MethodDrift& run : runs)
        named.push_back({std::string(run.method->caption), run.drift});
    std::string text = driftLines(invariantText, startValue, x1, againstSolution, problem,
                                  ", with h = " + numberToText(runs.front().drift.h), named);
    if (!againstSolution.empty() || !std::isfinite(startValue)) return text;
    const std::string keeping = keepingNote(runs, startValue);
    return keeping.empty() ? text : text + "\n" + keeping;
}

}  // namespace pelorin
