#include "numerics/method_properties.h"

#include "numerics/linear_multistep.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <span>
#include <vector>

namespace pelorin {
namespace {

// A rooted tree as the indices of its root's subtrees, in order, in the list
// of every tree of fewer nodes; its node count, γ and its root's colour
// alongside. A partitioned method's trees have two colours, one for each
// tableau; a Runge-Kutta method's have one.
struct RootedTree {
    std::vector<std::size_t> subtrees;
    int nodes = 1;
    double gamma = 1;
    std::size_t colour = 0;
};

// Every rooted tree of up to `most` nodes in `colours` colours, by node
// count: a tree of n nodes is a root of some colour with a multiset of trees
// whose nodes add up to n − 1, listed once each by taking the subtrees'
// indices in non-decreasing order.
std::vector<RootedTree> rootedTrees(int most, std::size_t colours) {
    std::vector<RootedTree> trees;
    for (std::size_t colour = 0; colour < colours; ++colour) trees.push_back({{}, 1, 1, colour});
    for (int n = 2; n <= most; ++n) {
        const std::size_t fewer = trees.size();
        std::vector<std::size_t> chosen;
        std::size_t colour = 0;
        const std::function<void(std::size_t, int)> add = [&](std::size_t from, int left) {
            if (left == 0) {
                RootedTree tree{chosen, n, static_cast<double>(n), colour};
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

// The highest order p up to `highest` whose conditions hold on every tree of
// `trees` (which reach highest + 1 nodes): Σ_i b_i·Φ_i(t) = 1/γ(t), with the
// root colour's weights b, where Φ_i of a tree whose root has the subtrees
// u_1 … u_m is Π_k Σ_j a_ij·Φ_j(u_k), each a from the tableau of u_k's colour.
int orderOverTrees(const std::vector<RootedTree>& trees, std::span<const Tableau* const> tableaus,
                   int highest) {
    const auto s = static_cast<std::size_t>(tableaus[0]->stages);
    // phi[t][i] = Φ_i(t), trees in the order listed, so subtrees come first.
    std::vector<std::vector<double>> phi(trees.size(), std::vector<double>(s, 1.0));
    int order = highest + 1;
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
        double left = 0, size = 0;
        for (std::size_t i = 0; i < s; ++i) {
            left += root.b[i].value() * phi[t][i];
            size += std::abs(root.b[i].value() * phi[t][i]);
        }
        if (std::abs(left - 1 / trees[t].gamma) > 64 * 0x1p-52 * std::max(1.0, size)) {
            order = std::min(order, trees[t].nodes - 1);
        }
    }
    return std::min(order, highest);
}

}  // namespace

int rungeKuttaOrder(const Tableau& tableau) {
    static const std::vector<RootedTree> trees = rootedTrees(maxCheckedOrder + 1, 1);
    const std::array<const Tableau*, 1> one{&tableau};
    return orderOverTrees(trees, one, maxCheckedOrder);
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
