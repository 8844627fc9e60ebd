// One step of a partitioned Runge-Kutta method on a system whose components
// split into positions q and momenta p (ComponentSplit): the position
// stages Q_i = q0 + h·Σ a_ij·K_j take the slopes K_j = f(x0 + c_j·h, P_j) of
// the momentum stages, and the momentum stages P_i = p0 + h·Σ â_ij·L_j the
// slopes L_j = g(x0 + ĉ_j·h, Q_j) of the position stages. Since f reads only
// p and g only q, a stage is computed as soon as the slopes it needs are,
// so a pair such as Störmer-Verlet's needs no equation solved.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <array>
#include <stdexcept>
#include <string>

namespace pelorin {

// Thrown for a slope whose components do not split: the method does not
// apply to it (see appliesTo).
class DoesNotSplit : public std::invalid_argument {
public:
    DoesNotSplit()
        : std::invalid_argument("the components do not split into positions and momenta") {}
};

// The stages of one step, for the pages that show its inside. Stage i's
// abscissae are positionX[i] = x0 + c_i·h, where the positions' slopes K_i
// are taken, and momentumX[i] = x0 + ĉ_i·h, where the momenta's L_i are; its
// state Y_i holds Q_i in the position components and P_i in the momentum
// ones, its slope K_i and L_i likewise.
struct PartitionedStages {
    int stages = 0;
    std::array<double, maxStages> positionX{}, momentumX{};
    std::array<StateVector, maxStages> Y{}, slope{};
    StateVector increment;  // h·Σ b_j·K_j in the positions, h·Σ b̂_j·L_j in the momenta
    StateVector end;        // y0 + increment, the value at x0 + h
};
PartitionedStages partitionedStages(const PartitionedRungeKutta& pair, double x0,
                                    const StateVector& y0, double h, SlopeOf<StateVector> F);

// The value at x0 + h: partitionedStages' end. One equation is a system of
// one component, a position whose slope reads no momentum.
double partitionedStep(const PartitionedRungeKutta& pair, double x0, double y0, double h, Slope f);
StateVector partitionedStep(const PartitionedRungeKutta& pair, double x0, const StateVector& y0,
                            double h, SlopeOf<StateVector> F);

}  // namespace pelorin

namespace pelorin {

// A partitioned pair has no stability function R(z) of y' = λy, which does
// not split; its stability is seen on the oscillator q' = p, p' = −ω²q, whose
// step is a matrix M(h·ω). The largest h·ω up to which M's eigenvalues stay
// within the unit circle (to rounding), found by steps of a thousandth and
// then bisection; 0 where they leave it already at h·ω = 0.001, infinity
// where they stay up to h·ω = 10.
double oscillatorLimit(const PartitionedRungeKutta& pair);

// "Störmer-Verlet steps positions and momenta apart, so it has no stability
// function R(z): … Its stability is judged on the oscillator q' = p,
// p' = −ω²q, where a step multiplies (q, p) by a matrix whose eigenvalues
// stay within the unit circle, and the run bounded, for h·ω < 2."
std::string partitionedStabilityNote(const Method& method);
// The Interval column's text: "h·ω < 2", or "no h·ω > 0" for a pair that
// gains energy at every step.
std::string oscillatorLimitText(const PartitionedRungeKutta& pair);

}  // namespace pelorin
