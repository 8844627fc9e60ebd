#include "numerics/method_properties.h"

#include "numerics/linear_multistep.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace pelorin {
namespace {

// A rooted tree as the indices of its root's subtrees, in order, in the list
// of every tree of fewer nodes; its node count and γ alongside.
struct RootedTree {
    std::vector<std::size_t> subtrees;
    int nodes = 1;
    double gamma = 1;
};

// Every rooted tree of up to `most` nodes, by node count: a tree of n nodes
// is a multiset of trees whose nodes add up to n − 1, listed once each by
// taking the subtrees' indices in non-decreasing order.
std::vector<RootedTree> rootedTrees(int most) {
    std::vector<RootedTree> trees{RootedTree{}};
    for (int n = 2; n <= most; ++n) {
        const std::size_t fewer = trees.size();
        std::vector<std::size_t> chosen;
        const std::function<void(std::size_t, int)> add = [&](std::size_t from, int left) {
            if (left == 0) {
                RootedTree tree{chosen, n, static_cast<double>(n)};
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
        add(0, n - 1);
    }
    return trees;
}

const std::vector<RootedTree>& checkedTrees() {
    static const std::vector<RootedTree> trees = rootedTrees(maxCheckedOrder + 1);
    return trees;
}

}  // namespace

int rungeKuttaOrder(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    const std::vector<RootedTree>& trees = checkedTrees();
    // phi[t][i] = Φ_i(t), trees in the order listed, so subtrees come first.
    std::vector<std::vector<double>> phi(trees.size(), std::vector<double>(s, 1.0));
    int order = maxCheckedOrder + 1;
    for (std::size_t t = 0; t < trees.size(); ++t) {
        for (std::size_t u : trees[t].subtrees) {
            for (std::size_t i = 0; i < s; ++i) {
                double sum = 0;
                for (std::size_t j = 0; j < s; ++j) sum += tableau.a[i][j].value() * phi[u][j];
                phi[t][i] *= sum;
            }
        }
        double left = 0, size = 0;
        for (std::size_t i = 0; i < s; ++i) {
            left += tableau.b[i].value() * phi[t][i];
            size += std::abs(tableau.b[i].value() * phi[t][i]);
        }
        if (std::abs(left - 1 / trees[t].gamma) > 64 * 0x1p-52 * std::max(1.0, size)) {
            order = std::min(order, trees[t].nodes - 1);
        }
    }
    return std::min(order, maxCheckedOrder);
}

int orderOf(const Method& method) {
    if (const Tableau* tableau = tableauOf(method)) return rungeKuttaOrder(*tableau);
    const Multistep& multistep = *multistepOf(method);
    const int corrector = consistencyOf(*multistep.formula).order;
    if (!multistep.predictor) return corrector;
    return std::min(corrector, consistencyOf(*multistep.predictor).order + 1);
}

bool isSymplectic(const Method& method) {
    const Tableau* tableau = tableauOf(method);
    if (!tableau) return false;
    const auto s = static_cast<std::size_t>(tableau->stages);
    for (std::size_t i = 0; i < s; ++i) {
        for (std::size_t j = 0; j < s; ++j) {
            const double bi = tableau->b[i].value(), bj = tableau->b[j].value();
            const double defect = bi * tableau->a[i][j].value() + bj * tableau->a[j][i].value() - bi * bj;
            if (std::abs(defect) > 64 * 0x1p-52) return false;
        }
    }
    return true;
}

}  // namespace pelorin
