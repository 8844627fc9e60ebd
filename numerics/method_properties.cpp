#include "numerics/method_properties.h"

#include "numerics/linear_multistep.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pelorin {
namespace {

// A rooted tree as the indices of its root's subtrees, in order, in the list
// of every tree of fewer nodes; its node count, γ, σ (the order of its
// symmetry group) and its root's colour alongside. A partitioned method's
// trees have two colours, one for each tableau; a Runge-Kutta method's have
// one.
struct RootedTree {
    std::vector<std::size_t> subtrees;
    int nodes = 1;
    double gamma = 1;
    double sigma = 1;
    std::size_t colour = 0;
};

// σ(t) = Π σ(u)^m·m! over the distinct subtrees u of the root, each m times
// there; equal subtrees stand side by side in `subtrees`.
double symmetryOf(const std::vector<std::size_t>& subtrees, const std::vector<RootedTree>& trees) {
    double sigma = 1;
    int repeats = 0;
    for (std::size_t k = 0; k < subtrees.size(); ++k) {
        repeats = k > 0 && subtrees[k] == subtrees[k - 1] ? repeats + 1 : 1;
        sigma *= trees[subtrees[k]].sigma * repeats;
    }
    return sigma;
}

// Every rooted tree of up to `most` nodes in `colours` colours, by node
// count: a tree of n nodes is a root of some colour with a multiset of trees
// whose nodes add up to n − 1, listed once each by taking the subtrees'
// indices in non-decreasing order.
std::vector<RootedTree> rootedTrees(int most, std::size_t colours) {
    std::vector<RootedTree> trees;
    for (std::size_t colour = 0; colour < colours; ++colour) trees.push_back({{}, 1, 1, 1, colour});
    for (int n = 2; n <= most; ++n) {
        const std::size_t fewer = trees.size();
        std::vector<std::size_t> chosen;
        std::size_t colour = 0;
        const std::function<void(std::size_t, int)> add = [&](std::size_t from, int left) {
            if (left == 0) {
                RootedTree tree{chosen, n, static_cast<double>(n), symmetryOf(chosen, trees),
                                colour};
                for (std::size_t u : chosen) tree.gamma *= trees[u].gamma;
                trees.push_back(tree);
                return;
            }
            for (std::size_t u = from; u < fewer; ++u) {
                if (trees[u].nodes > left) continue;
                chosen.push_back(u);
                add(u, left - trees[u].nodes);
                chosen.pop_back();
            }
        };
        for (colour = 0; colour < colours; ++colour) add(0, n - 1);
    }
    return trees;
}

// What the weights make of each tree of `trees`: Σ_i b_i·Φ_i(t), with the
// root colour's weights b, where Φ_i of a tree whose root has the subtrees
// u_1 … u_m is Π_k Σ_j a_ij·Φ_j(u_k), each a from the tableau of u_k's
// colour; and the size of the sum's terms, which its rounding scales with.
struct TreeWeight {
    double value = 0, size = 0;
};
std::vector<TreeWeight> weightsOverTrees(const std::vector<RootedTree>& trees,
                                         std::span<const Tableau* const> tableaus) {
    const auto s = static_cast<std::size_t>(tableaus[0]->stages);
    // phi[t][i] = Φ_i(t), trees in the order listed, so subtrees come first.
    std::vector<std::vector<double>> phi(trees.size(), std::vector<double>(s, 1.0));
    std::vector<TreeWeight> weights(trees.size());
    for (std::size_t t = 0; t < trees.size(); ++t) {
        for (std::size_t u : trees[t].subtrees) {
            const Tableau& tableau = *tableaus[trees[u].colour];
            for (std::size_t i = 0; i < s; ++i) {
                double sum = 0;
                for (std::size_t j = 0; j < s; ++j) sum += tableau.a[i][j].value() * phi[u][j];
                phi[t][i] *= sum;
            }
        }
        const Tableau& root = *tableaus[trees[t].colour];
        for (std::size_t i = 0; i < s; ++i) {
            weights[t].value += root.b[i].value() * phi[t][i];
            weights[t].size += std::abs(root.b[i].value() * phi[t][i]);
        }
    }
    return weights;
}

// Whether the condition Σ b_i·Φ_i(t) = 1/γ(t) holds to within a few units of
// rounding.
bool conditionHolds(const TreeWeight& weight, const RootedTree& tree) {
    return std::abs(weight.value - 1 / tree.gamma) <= 64 * 0x1p-52 * std::max(1.0, weight.size);
}

// The highest order p up to `highest` whose conditions hold on every tree of
// `trees` (which reach highest + 1 nodes).
int orderOverTrees(const std::vector<RootedTree>& trees, std::span<const Tableau* const> tableaus,
                   int highest) {
    const std::vector<TreeWeight> weights = weightsOverTrees(trees, tableaus);
    int order = highest + 1;
    for (std::size_t t = 0; t < trees.size(); ++t) {
        if (!conditionHolds(weights[t], trees[t])) order = std::min(order, trees[t].nodes - 1);
    }
    return std::min(order, highest);
}

const std::vector<RootedTree>& oneColourTrees() {
    static const std::vector<RootedTree> trees = rootedTrees(maxCheckedOrder + 1, 1);
    return trees;
}

}  // namespace

int rungeKuttaOrder(const Tableau& tableau) {
    const std::array<const Tableau*, 1> one{&tableau};
    return orderOverTrees(oneColourTrees(), one, maxCheckedOrder);
}

std::optional<double> principalErrorConstant(const Tableau& tableau) {
    const int order = rungeKuttaOrder(tableau);
    if (order >= maxCheckedOrder) return std::nullopt;
    const std::vector<RootedTree>& trees = oneColourTrees();
    const std::array<const Tableau*, 1> one{&tableau};
    const std::vector<TreeWeight> weights = weightsOverTrees(trees, one);
    double sumOfSquares = 0;
    for (std::size_t t = 0; t < trees.size(); ++t) {
        if (trees[t].nodes != order + 1) continue;
        const double coefficient = (weights[t].value - 1 / trees[t].gamma) / trees[t].sigma;
        sumOfSquares += coefficient * coefficient;
    }
    return std::sqrt(sumOfSquares);
}

int stageOrder(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    const int order = rungeKuttaOrder(tableau);
    for (int q = 1; q <= order; ++q) {
        // C(q): Σ_j a_ij·c_j^(q-1) = c_i^q/q for every stage i.
        for (std::size_t i = 0; i < s; ++i) {
            double sum = 0, size = 0;
            for (std::size_t j = 0; j < s; ++j) {
                const double term = tableau.a[i][j].value() * std::pow(tableau.c[j].value(), q - 1);
                sum += term;
                size += std::abs(term);
            }
            const double wanted = std::pow(tableau.c[i].value(), q) / q;
            if (std::abs(sum - wanted) > 64 * 0x1p-52 * std::max(1.0, size)) return q - 1;
        }
    }
    return order;
}

int partitionedOrder(const PartitionedRungeKutta& pair) {
    static const std::vector<RootedTree> trees = rootedTrees(maxCheckedPartitionedOrder + 1, 2);
    const std::array<const Tableau*, 2> both{pair.positions, pair.momenta};
    return orderOverTrees(trees, both, maxCheckedPartitionedOrder);
}

int orderOf(const Method& method) {
    if (const Tableau* tableau = tableauOf(method)) return rungeKuttaOrder(*tableau);
    if (const PartitionedRungeKutta* pair = partitionedRungeKutta(method)) return partitionedOrder(*pair);
    const Multistep& multistep = *multistepOf(method);
    const int corrector = consistencyOf(*multistep.formula).order;
    if (!multistep.predictor) return corrector;
    return std::min(corrector, consistencyOf(*multistep.predictor).order + 1);
}

bool isSymplectic(const Method& method) {
    const PartitionedRungeKutta* pair = partitionedRungeKutta(method);
    const Tableau* one = tableauOf(method);
    if (!pair && !one) return false;
    const Tableau& a = pair ? *pair->positions : *one;
    const Tableau& aHat = pair ? *pair->momenta : *one;
    const auto s = static_cast<std::size_t>(a.stages);
    for (std::size_t i = 0; i < s; ++i) {
        for (std::size_t j = 0; j < s; ++j) {
            const double bi = a.b[i].value(), bHatJ = aHat.b[j].value();
            const double defect = bi * aHat.a[i][j].value() + bHatJ * a.a[j][i].value() - bi * bHatJ;
            if (std::abs(defect) > 64 * 0x1p-52) return false;
        }
    }
    return true;
}

}  // namespace pelorin
