// What follows from a method's coefficients, worked out once here and asked
// of the method, never of its place in the catalogue: its order, by the
// Runge-Kutta order conditions over rooted trees or a multistep formula's
// consistency, and whether it is symplectic.
#pragma once

#include "methods/methods.h"
#include "methods/tableau.h"

#include <optional>

namespace pelorin {

// The highest order p whose order conditions all hold: for every rooted tree
// t of at most p nodes, Σ_i b_i·Φ_i(t) = 1/γ(t), where Φ_i of a tree whose
// root has the subtrees u_1 … u_m is Π_k Σ_j a_ij·Φ_j(u_k) (1 for a single
// node) and γ(t) = |t|·Π_k γ(u_k) (Butcher). The coefficients are rounded,
// so a condition holds when both sides agree to within a few units of
// rounding. Trees up to maxCheckedOrder + 1 nodes are checked.
inline constexpr int maxCheckedOrder = 8;
int rungeKuttaOrder(const Tableau& tableau);

// The principal error constant of a tableau of order p: the 2-norm of the
// error coefficients (Σ b_i·Φ_i(t) − 1/γ(t))/σ(t) over the trees t of p + 1
// nodes, σ(t) the order of t's symmetry group (Dormand and Prince's measure).
// Two methods of one order compare by it. None beyond maxCheckedOrder.
std::optional<double> principalErrorConstant(const Tableau& tableau);

// The stage order: the highest q up to the order for which every stage is
// itself accurate to order q, C(q): Σ_j a_ij·c_j^(k−1) = c_i^k/k for k ≤ q.
// Where h·λ is large, as on a stiff problem, the stage order rather than the
// order may decide the observed one (order reduction).
int stageOrder(const Tableau& tableau);

// A partitioned pair's order: the same conditions over trees whose nodes
// have two colours, one for each tableau; a subtree's colour chooses the
// tableau whose a leads to it, the root's the weights b (Hairer, Lubich and
// Wanner III.2). Trees of up to maxCheckedPartitionedOrder + 1 nodes (1,202
// of them) are checked.
inline constexpr int maxCheckedPartitionedOrder = 5;
int partitionedOrder(const PartitionedRungeKutta& pair);

// The method's order: its tableau's for a Runge-Kutta method, its formula's
// order of consistency for a multistep method, and for a predictor-corrector
// pair that corrects once the corrector's, or one more than the
// predictor's where that is lower.
int orderOf(const Method& method);

// A Runge-Kutta method keeps every quadratic invariant of the equation when
// b_i·a_ij + b_j·a_ji = b_i·b_j for all i, j (Cooper), which makes it
// symplectic on a Hamiltonian system. A partitioned pair is symplectic on the
// separable systems it steps when b_i·â_ij + b̂_j·a_ji = b_i·b̂_j (Sanz-Serna,
// Suris). A multistep method is not.
bool isSymplectic(const Method& method);

}  // namespace pelorin
