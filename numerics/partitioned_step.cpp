#include "numerics/partitioned_step.h"

#include "base/conversions.h"
#include "base/number_text.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace pelorin {
namespace {

// What a stage has of its state and its slope: each part becomes known once
// the slopes it is summed from are.
struct StageParts {
    bool positions = false, momenta = false;        // of the state Y_i
    bool positionSlopes = false, momentumSlopes = false;  // K_i and L_i, of slope_i
};

// Component k of a stage: y0's plus h times the tableau row's slopes, summed
// as an explicit stage is, so the slope's zero entries are left out.
double stageComponent(const Tableau& tableau, std::size_t i, std::size_t k, double y0, double h,
                      const std::array<StateVector, maxStages>& slope) {
    double Y = y0;
    for (std::size_t j = 0; j < static_cast<std::size_t>(tableau.stages); ++j) {
        if (!tableau.a[i][j].isZero()) Y = Y + tableau.a[i][j].value() * (h * slope[j][k]);
    }
    return Y;
}

bool slopesKnown(const Tableau& tableau, std::size_t i,
                 const std::array<StageParts, maxStages>& parts, bool StageParts::*known) {
    for (std::size_t j = 0; j < static_cast<std::size_t>(tableau.stages); ++j) {
        if (!tableau.a[i][j].isZero() && !(parts[j].*known)) return false;
    }
    return true;
}

// Works out the stages of one step into `stages`, each part as soon as the
// slopes it is summed from are known.
struct StageOrder {
    const Tableau &q, &p;
    const std::vector<bool>& momentum;
    double h;
    const StateVector& y0;
    SlopeOf<StateVector> F;
    PartitionedStages& stages;
    std::array<StageParts, maxStages> parts{};

    // Sets the part of Y_i that `tableau` sums, in the components `ofMomenta`.
    void setStage(const Tableau& tableau, std::size_t i, bool ofMomenta) {
        for (std::size_t k = 0; k < y0.size(); ++k) {
            if (momentum[k] != ofMomenta) continue;
            stages.Y[i][k] = stageComponent(tableau, i, k, y0[k], h, stages.slope);
        }
    }
    // Evaluates F at stage i at `x` and keeps the components `ofMomenta`.
    void evaluate(std::size_t i, double x, bool ofMomenta) {
        const StateVector value = F(x, stages.Y[i]);
        for (std::size_t k = 0; k < y0.size(); ++k) {
            if (momentum[k] == ofMomenta) stages.slope[i][k] = value[k];
        }
    }
    // Whatever can be computed from what is known, in stage order; how many
    // parts that was.
    std::size_t advance(std::size_t i) {
        StageParts& part = parts[i];
        std::size_t done = 0;
        if (!part.positions && slopesKnown(q, i, parts, &StageParts::positionSlopes)) {
            setStage(q, i, false);
            part.positions = true;
            ++done;
        }
        if (!part.momenta && slopesKnown(p, i, parts, &StageParts::momentumSlopes)) {
            setStage(p, i, true);
            part.momenta = true;
            ++done;
        }
        // Positions' slopes read the momenta, momenta's the positions.
        if (!part.positionSlopes && part.momenta) {
            evaluate(i, stages.positionX[i], false);
            part.positionSlopes = true;
            ++done;
        }
        if (!part.momentumSlopes && part.positions) {
            evaluate(i, stages.momentumX[i], true);
            part.momentumSlopes = true;
            ++done;
        }
        return done;
    }
};

}  // namespace

PartitionedStages partitionedStages(const PartitionedRungeKutta& pair, double x0,
                                    const StateVector& y0, double h, SlopeOf<StateVector> F) {
    const ComponentSplit* split = F.split();
    if (!split || split->momentum.size() != y0.size()) throw DoesNotSplit();
    const Tableau &q = *pair.positions, &p = *pair.momenta;
    PartitionedStages stages;
    stages.stages = q.stages;
    const auto s = static_cast<std::size_t>(q.stages);
    for (std::size_t i = 0; i < s; ++i) {
        stages.positionX[i] = x0 + q.c[i].value() * h;
        stages.momentumX[i] = x0 + p.c[i].value() * h;
    }
    stages.Y.fill(y0);
    stages.slope.fill(StateVector(y0.size()));
    StageOrder order{q, p, split->momentum, h, y0, F, stages};
    for (std::size_t known = 0; known < 4 * s;) {
        std::size_t done = 0;
        for (std::size_t i = 0; i < s; ++i) done += order.advance(i);
        if (done == 0) throw std::logic_error("a partitioned pair whose stages need each other");
        known += done;
    }
    StateVector increment(y0.size());
    for (std::size_t k = 0; k < y0.size(); ++k) {
        const Tableau& weights = split->momentum[k] ? p : q;
        for (std::size_t j = 0; j < s; ++j) {
            increment[k] = increment[k] + weights.b[j].value() * (h * stages.slope[j][k]);
        }
    }
    stages.increment = increment;
    stages.end = y0 + increment;
    return stages;
}

StateVector partitionedStep(const PartitionedRungeKutta& pair, double x0, const StateVector& y0,
                            double h, SlopeOf<StateVector> F) {
    return partitionedStages(pair, x0, y0, h, F).end;
}

double partitionedStep(const PartitionedRungeKutta& pair, double x0, double y0, double h, Slope f) {
    const OneEquationAsSystem F{f};
    return partitionedStep(pair, x0, StateVector{y0}, h, F)[0];
}

}  // namespace pelorin

namespace pelorin {
namespace {

const SplitReading oscillatorSplit{ComponentSplit{{false, true}}, {}};

// The step matrix's spectral radius on q' = p, p' = −q with h, from the
// steps of (1, 0) and (0, 1).
double oscillatorRadius(const PartitionedRungeKutta& pair, double h) {
    const auto oscillator = [](double, const StateVector& y) { return StateVector{y[1], -y[0]}; };
    const SlopeOf<StateVector> F = SlopeOf<StateVector>(oscillator).withSplit(&oscillatorSplit);
    const StateVector first = partitionedStep(pair, 0, StateVector{1, 0}, h, F);
    const StateVector second = partitionedStep(pair, 0, StateVector{0, 1}, h, F);
    const double trace = first[0] + second[1];
    const double determinant = first[0] * second[1] - second[0] * first[1];
    const double discriminant = trace * trace / 4 - determinant;
    if (discriminant >= 0) {
        const double root = std::sqrt(discriminant);
        return std::max(std::fabs(trace / 2 + root), std::fabs(trace / 2 - root));
    }
    return std::sqrt(std::fabs(determinant));  // a complex pair: |λ|² = det M
}

bool oscillatorStable(const PartitionedRungeKutta& pair, double h) {
    return oscillatorRadius(pair, h) <= 1 + 1e-9;
}

constexpr double limitChecked = 10;

}  // namespace

double oscillatorLimit(const PartitionedRungeKutta& pair) {
    double stable = 0;
    for (int thousandths = 1; thousandths <= 1000 * limitChecked; ++thousandths) {
        const double h = thousandths / 1000.0;
        if (!oscillatorStable(pair, h)) {
            if (stable == 0) return 0;  // growing from the first thousandth on
            double unstable = h;
            for (int halving = 0; halving < 60; ++halving) {
                const double middle = (stable + unstable) / 2;
                (oscillatorStable(pair, middle) ? stable : unstable) = middle;
            }
            return stable;
        }
        stable = h;
    }
    return std::numeric_limits<double>::infinity();
}

std::string oscillatorLimitText(const PartitionedRungeKutta& pair) {
    const double limit = oscillatorLimit(pair);
    if (!std::isfinite(limit))
        return "h\u00b7\u03c9 up to " + numberToText(limitChecked) + " and more";
    if (limit == 0) return "no h\u00b7\u03c9 > 0";
    return "h\u00b7\u03c9 < " + readOffText(limit, 1e-6 * limit);
}

std::string partitionedStabilityNote(const Method& method) {
    const PartitionedRungeKutta& pair = *partitionedRungeKutta(method);
    return std::string(method.caption) +
           " steps positions and momenta apart, so it has no stability function R(z): on y' = "
           "\u03bby the one slope reads its own component, which is then neither a position nor a "
           "momentum. Its stability is judged on the oscillator q' = p, p' = \u2212\u03c9\u00b2q, "
           "where a step multiplies (q, p) by a matrix whose eigenvalues stay within the unit "
           "circle, and the run bounded, for " + oscillatorLimitText(pair) + ".";
}

}  // namespace pelorin
