// A Runge-Kutta tableau's order conditions worked out exactly: for each
// rooted tree t the elementary weight Φ(t) = Σ_i b_i·Φ_i(t), where Φ_i of a
// tree whose root has the subtrees u_1 … u_m is Π_k Σ_j a_ij·Φ_j(u_k), against
// 1/γ(t) (Butcher). Exact arithmetic decides which hold: no rounding can make
// a condition that fails look satisfied.
#pragma once

#include "methods/tableau.h"
#include "symbolic/rooted_trees.h"

#include <ginac/ginac.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

struct ExactTableau {
    std::vector<GiNaC::ex> c;               // nodes
    std::vector<std::vector<GiNaC::ex>> a;  // a[i][j], s×s
    std::vector<GiNaC::ex> b;               // weights
    std::optional<std::vector<GiNaC::ex>> embedded;  // the embedded pair's weights

    std::size_t stages() const { return b.size(); }
};

// A catalogue tableau's coefficients as exact numbers; the embedded weights
// are b - e where the tableau estimates an error by e.
ExactTableau exactTableau(const Tableau& tableau);

// How the stages need each other: each only earlier ones (explicit), itself
// too (diagonally implicit), or later ones as well (implicit).
enum class StageCoupling { explicitStages, diagonallyImplicit, implicitStages };
StageCoupling stageCoupling(const ExactTableau& tableau);

// Whether c = A·1, each node the sum of its row.
bool rowSumsHold(const ExactTableau& tableau);

struct OrderCondition {
    std::size_t tree;  // index into the forest
    GiNaC::ex value;   // Φ(t)
    GiNaC::ex residual;  // Φ(t) - 1/γ(t)
};

inline constexpr int maxAnalysedOrder = 8;

struct OrderAnalysis {
    std::vector<RootedTree> trees;          // up to order min(p + 1, maxAnalysedOrder + 1)
    std::vector<OrderCondition> conditions;  // one per tree, in the forest's order
    int order = 0;       // the highest p whose conditions all hold, at most maxAnalysedOrder
    int stageOrder = 0;  // the highest q with B(q) and C(q), at most p
    // ||(Φ(t) - 1/γ(t))/σ(t)|| over the trees of order p + 1, as Dormand and
    // Prince weigh a method; absent where p is maxAnalysedOrder.
    std::optional<double> errorConstant;
};

// Tree t's condition as a textbook writes it: with the nodes c where
// c = A·1 holds, as in "Σ bᵢcᵢ² = 1/3" and "Σ bᵢaᵢⱼcⱼ = 1/6"; else every node
// below the root with its own a, as in "Σ bᵢaᵢⱼaᵢₖ = 1/3", since then c is
// not what the condition weighs.
std::string conditionText(const std::vector<RootedTree>& forest, std::size_t t, bool withNodes);

// The conditions of the weights b, or of weights given in their place (an
// embedded pair's).
OrderAnalysis analyseOrder(const ExactTableau& tableau);
OrderAnalysis analyseOrder(const ExactTableau& tableau, const std::vector<GiNaC::ex>& weights);

}  // namespace pelorin
