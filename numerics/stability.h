// Linear stability of the methods: applied to y' = λy, every method
// multiplies y by R(z), z = hλ, per step. Here its region |R(z)| ≤ 1, the
// stability interval on the negative real axis, and a run of the lesson's
// equation with a chosen h; R itself comes from stability_function.h, z
// along a run from stability_path.h.
#pragma once

#include "methods/methods.h"
#include "numerics/stability_function.h"

#include <complex>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// ∂f/∂y of the program's equation dy/dx = -2x - y.
inline constexpr double lessonLambda = -1;

// The largest r with |R(-x)| ≤ 1 for every x in [0, r]; infinity where
// |R(-x)| ≤ 1 for every x ≥ 0.
double stabilityInterval(const StabilityFunction& r);

// "2.785", or "unbounded" for an interval without end.
std::string intervalText(double interval);

// Rows of `methods` grouped by equal R(z), each group in their order: by
// default the window's seven. A multistep method has no R(z) and is in no
// group.
std::vector<std::vector<std::size_t>> sameStabilityFunction(
    std::span<const Method> methods = methodCatalogue);
// The same over the lab's catalogue, its own entries as typed.
std::vector<std::vector<std::size_t>> sameStabilityFunction(const TypedMethods& typed);

// |R(z)| as the notes give it: three decimals, or as many more as it takes
// to tell a modulus just off 1 from 1, so that "inside" or "outside" never
// stands beside "|R(z)| = 1.000".
std::string modulusText(double size);

// "step 3, x = 1.200": where along a run the notes place a step point.
std::string stepPlace(std::size_t step, double x);

// A z as the notes name it, a conjugate pair at once: "±0.400i",
// "-0.100 ± 0.995i", "-2.500".
std::string modeText(std::complex<double> z);

// Whether z lies in the region |R(z)| ≤ 1: the one test the grid, its
// edge and the interval use (a run's notes compare the same modulus with 1).
bool insideRegion(const StabilityFunction& r, std::complex<double> z);

// The region sampled on a grid of the complex plane, row by row from the
// bottom: 1 where |R(z)| ≤ 1, 0 elsewhere. A plot draws these two values as
// they are, so no shade can stand for a modulus above 1.
struct StabilityGrid {
    double reMin = -6, reMax = 2, imMin = -4, imMax = 4;
    int columns = 0, rows = 0;
    std::vector<unsigned char> inside;  // rows·columns values, 0 or 1

    double re(int column) const;
    double im(int row) const;
    bool isInside(int column, int row) const;
};

// `frame` gives the rectangle sampled, by default the one above.
StabilityGrid sampleStabilityRegion(const StabilityFunction& r, int columns, int rows,
                                    const StabilityGrid& frame = {});

// The same grid of any region, by its test of a point z: a multistep
// method's root test, where there is no R(z).
using RegionTest = std::function<bool(std::complex<double> z)>;
StabilityGrid sampleRegion(const RegionTest& inside, int columns, int rows,
                           const StabilityGrid& frame = {});

// Where some z lies beyond the grid, the part of the plane the region plot
// is fitted to, a note naming the farthest, e.g. "z = -25.000 lies beyond
// the part of the plane the region plot is fitted to (Re z from -6 to 2,
// Im z from -4 to 4): ..."; empty where none does.
std::string beyondGridNote(const std::vector<std::complex<double>>& z, const StabilityGrid& grid);

// The edge |R(z)| = 1 of the sampled region as polylines, each point on it
// to rounding: the grid's squares tell where the edge passes (marching
// squares), and bisection along a square's side finds where it crosses.
// A closed line ends with its first point again; a line that leaves the
// grid ends at its border.
using Polyline = std::vector<std::complex<double>>;
std::vector<Polyline> stabilityBoundary(const StabilityFunction& r,
                                        const StabilityGrid& grid);
// The same edge of any region sampled by its test of a point (sampleRegion).
std::vector<Polyline> regionBoundary(const RegionTest& inside, const StabilityGrid& grid);

// The h the lab's step box takes, shared by the pages that run one method
// with one h: down to steps small enough for an explicit method on the
// library's stiff problems (Van der Pol with mu = 1000 is stable under
// Euler only below 2/3000), where a run stops after maxPathSteps steps and
// says so; up to 6. The Stability page's slider moves it in hundredths
// from 0.01 (sliderStep) to 6, so that z = h·λ stays within the region plot.
inline constexpr double smallestStep = 1e-5, largestStep = 6;
inline constexpr double sliderStep = 0.01;

// z = h·λ as the notes write it: three decimals, as the region's notes
// write z everywhere, and below a thousandth as the list writes numbers, so
// that the small steps a stiff problem needs do not read as z = 0.000.
std::string stepZText(double z);

// "0.00001 to 6", the range as the lab states it.
std::string stepRangeText();

// A typed h: its value when the text is wholly a number in that range;
// otherwise no value and a note, worded as the lab's other box notes, that
// quotes the text, says why, and names the h that stays in force (`kept`,
// as the box showed it), e.g.
//   h: "abc" is not a number; h stays 0.40.
struct StepReading {
    std::optional<double> h;
    std::string note;
};
StepReading readStep(std::string_view typed, std::string_view kept);

// The method with a step h on the lesson's equation from (x0, y0), with the
// exact solution at the same abscissae. The run stops before a value that
// would overflow.
struct StabilityRun {
    std::vector<double> x, y, exact;
    // R(hλ), what each step multiplies an error by; 0 when too large to calculate.
    double amplification = 0;
    std::vector<std::string> notes;
};

StabilityRun runWithStep(const Method& method, double x0, double y0, double h, int steps);

// λ = ∂f/∂y at (x, y) by a central difference quotient with the step
// δ = ε^(1/3)·max(1, |y|), and how far it may lie from the derivative. Each
// value of f is off by a few roundings of the size of its terms, about
// |f| + |λ|·max(1, |y|), which the quotient divides by δ: with this δ, about
// ε^(2/3)·(|λ| + |f|/max(1, |y|)), taken four times. Its truncation, about
// δ² times f's third derivative in y, shows in how far the quotient with 2δ
// differs from it beyond rounding, which is added.
struct SlopeDerivative {
    double lambda = 0;
    double tolerance = 0;
};
SlopeDerivative slopeDerivative(Slope f, double x, double y);

// The quotient above, for any function of one variable y, from its values at
// y, y ± δ and y ± 2δ with δ = differenceStep(y): slopeDerivative's, and
// each entry of a system's Jacobian, whose columns share their evaluations.
double differenceStep(double y);
struct DifferenceValues {
    double atY, plusStep, minusStep, plusTwoSteps, minusTwoSteps;
};
SlopeDerivative differenceQuotient(const DifferenceValues& values, double y, double delta);

// The longest step whose z = h·λ stays within the method's stability
// interval, interval/|λ|, at every point (x, y) of a run where λ < 0
// (beyond its tolerance); none where λ ≥ 0, where no step length keeps an
// error from growing with the solution or being carried along.
struct StabilityLimit {
    double interval = 0;
    std::vector<double> x;
    std::vector<std::optional<double>> h;
};
StabilityLimit stabilityLimit(const Method& method, Slope f, const std::vector<double>& x,
                              const std::vector<double>& y);

// The limit in words, e.g. "Stability limit: where λ = ∂f/∂y < 0 a step
// longer than 3.678/|λ| ... Along this run it is 7.36E-02."
std::string stabilityLimitNote(const Method& method, const StabilityLimit& limit);

}  // namespace pelorin
