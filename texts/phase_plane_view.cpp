#include "texts/phase_plane_view.h"

#include "base/conversions.h"
#include "base/number_text.h"

#include <cmath>
#include <complex>
#include <cstdio>

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

std::string invariantDriftNote(std::string_view invariantText, double startValue, double x1,
                               const std::vector<RunDrift>& runs) {
    if (runs.empty()) return {};
    if (!std::isfinite(startValue)) {
        return "The invariant I = " + std::string(invariantText) +
               " is not finite at the start, so no drift in it can be measured.";
    }
    std::string text = "Drift of the invariant I = " + std::string(invariantText) +
                       ", which the solutions keep at " + numberToText(startValue) +
                       ": at x1 = " + numberToText(x1) + ", I(y) \u2212 I(y0) is ";
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const RunDrift& run = runs[k];
        if (k > 0) text += k + 1 == runs.size() ? " and " : ", ";
        text += driftText(run.drift) + " with h = " + numberToText(run.h);
        if (run.x != x1) text += " (at its last x = " + numberToText(run.x) + ")";
    }
    return text + ".";
}

std::vector<RunDrift> runDrifts(const std::array<SystemPath, 3>& runs,
                                const std::array<std::vector<double>, 3>& drift) {
    std::vector<RunDrift> drifts;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        if (drift[k].empty()) continue;
        drifts.push_back({std::fabs(runs[k].h), runs[k].x.back(), drift[k].back()});
    }
    return drifts;
}

std::string sideBySideDriftNote(std::string_view invariantText, double startValue, double x1,
                                const std::vector<MethodDrift>& runs) {
    if (runs.empty()) return {};
    if (!std::isfinite(startValue)) return invariantDriftNote(invariantText, startValue, x1, {{}});
    const double kept = 1e-9 * std::max(1.0, std::fabs(startValue));
    std::string text = "Drift of the invariant I = " + std::string(invariantText) + " with h = " +
                       numberToText(runs.front().drift.h) + ": at x1 = " + numberToText(x1) +
                       ", I(y) \u2212 I(y0) is ";
    std::string symplectic;
    int symplecticCount = 0;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const RunDrift& run = runs[k].drift;
        if (k > 0) text += k + 1 == runs.size() ? " and " : ", ";
        text += driftText(run.drift) + " for " + std::string(runs[k].method->caption);
        if (run.x != x1) text += " (at its last x = " + numberToText(run.x) + ")";
        if (std::isfinite(run.drift) && std::fabs(run.drift) > kept) {
            text += run.drift > 0 ? " (gained)" : " (lost)";
        }
        if (runs[k].method->symplectic) {
            symplectic += (symplecticCount++ > 0 ? " and " : "") + std::string(runs[k].method->caption);
        }
    }
    text += ".";
    if (symplecticCount > 0) {
        text += " " + symplectic + (symplecticCount == 1 ? " is" : " are") +
                " symplectic: a step keeps every quadratic invariant, such as an oscillator's "
                "energy, up to rounding and Newton's tolerance, and keeps other invariants, such "
                "as a pendulum's energy, close to their start over long runs instead of letting "
                "them drift.";
    }
    return text;
}

}  // namespace pelorin
