#include "symbolic/order_conditions.h"

#include "symbolic/exact_entry.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <cmath>

namespace pelorin {

namespace {

using GiNaC::ex;

ex exactOf(const Coefficient& k) {
    const ex root = exactSquareRoot(GiNaC::numeric(k.radicand));
    return ((GiNaC::numeric(k.rational) + GiNaC::numeric(k.surd) * root) / k.denominator).expand();
}

std::vector<ex> exactRow(const Coefficients& row, std::size_t stages) {
    std::vector<ex> values;
    for (std::size_t j = 0; j < stages; ++j) values.push_back(exactOf(row[j]));
    return values;
}

bool holds(const ex& left, const ex& right) { return (left - right).expand().is_zero(); }

// x^k with x^0 = 1 for every x, 0 included (GiNaC leaves 0^0 undefined).
ex power(const ex& x, int k) { return k == 0 ? ex(1) : GiNaC::pow(x, k); }

// Φ_i(t) for every tree, each from its subtrees' A·Φ(u), each of those
// worked out once.
class ElementaryWeights {
public:
    ElementaryWeights(const ExactTableau& tableau, const std::vector<RootedTree>& trees)
        : tableau_(tableau), trees_(trees), stage_(trees.size()), led_(trees.size()) {}

    const std::vector<ex>& stageWeights(std::size_t t) {
        if (!stage_[t].empty()) return stage_[t];
        std::vector<ex> weights(tableau_.stages(), ex(1));
        for (const std::size_t u : trees_[t].subtrees) {
            const std::vector<ex>& lead = ledTo(u);
            for (std::size_t i = 0; i < weights.size(); ++i) {
                weights[i] = (weights[i] * lead[i]).expand();
            }
        }
        return stage_[t] = std::move(weights);
    }

private:
    // (A·Φ(u))_i = Σ_j a_ij·Φ_j(u).
    const std::vector<ex>& ledTo(std::size_t u) {
        if (!led_[u].empty()) return led_[u];
        const std::vector<ex> inner = stageWeights(u);
        std::vector<ex> lead;
        for (const std::vector<ex>& row : tableau_.a) {
            ex sum = 0;
            for (std::size_t j = 0; j < row.size(); ++j) sum += row[j] * inner[j];
            lead.push_back(sum.expand());
        }
        return led_[u] = std::move(lead);
    }

    const ExactTableau& tableau_;
    const std::vector<RootedTree>& trees_;
    std::vector<std::vector<ex>> stage_, led_;
};

// B(q) and C(q): Σ_i w_i·c_i^(k-1) = 1/k and Σ_j a_ij·c_j^(k-1) = c_i^k/k
// for k = 1 … q; the highest q up to `limit`.
int stageOrder(const ExactTableau& tableau, const std::vector<ex>& weights, int limit) {
    const std::size_t s = tableau.stages();
    for (int k = 1; k <= limit; ++k) {
        ex quadrature = 0;
        for (std::size_t i = 0; i < s; ++i) quadrature += weights[i] * power(tableau.c[i], k - 1);
        if (!holds(quadrature, GiNaC::numeric(1, k))) return k - 1;
        for (std::size_t i = 0; i < s; ++i) {
            ex stage = 0;
            for (std::size_t j = 0; j < s; ++j) stage += tableau.a[i][j] * power(tableau.c[j], k - 1);
            if (!holds(stage, power(tableau.c[i], k) / k)) return k - 1;
        }
    }
    return limit;
}

double toDouble(const ex& value) {
    return GiNaC::ex_to<GiNaC::numeric>(GiNaC::evalf(value)).to_double();
}

// The summation indices in the order a tree's nodes are met, root first,
// as subscripts; q has none.
constexpr std::array<std::string_view, 9> indices{"\u1d62", "\u2c7c", "\u2096", "\u2097",
                                                   "\u2098", "\u2099", "\u2092", "\u209a",
                                                   "\u1d63"};
constexpr std::array<std::string_view, 10> powers{"",  "", "\u00b2", "\u00b3", "\u2074",
                                                  "\u2075", "\u2076", "\u2077", "\u2078",
                                                  "\u2079"};

// The factors a node of index `at` contributes for its subtrees: c to the
// power of its leaves where nodes stand for them, then an a to each other
// subtree with that subtree's own factors.
std::string nodeFactors(const std::vector<RootedTree>& forest, std::size_t t, std::size_t at,
                        std::size_t& next, bool withNodes) {
    std::size_t leaves = 0;
    std::string branches;
    for (const std::size_t u : forest[t].subtrees) {
        if (withNodes && forest[u].order == 1) {
            ++leaves;
            continue;
        }
        const std::size_t child = next++;
        branches += "a" + std::string(indices[at]) + std::string(indices[child]) +
                    nodeFactors(forest, u, child, next, withNodes);
    }
    const std::string nodes =
        leaves == 0 ? "" : "c" + std::string(indices[at]) + std::string(powers[leaves]);
    return nodes + branches;
}

}  // namespace

std::string conditionText(const std::vector<RootedTree>& forest, std::size_t t, bool withNodes) {
    std::size_t next = 1;
    const std::string weight = "\u03a3 b\u1d62" + nodeFactors(forest, t, 0, next, withNodes);
    const long density = forest[t].density;
    return weight + " = " + (density == 1 ? "1" : "1/" + std::to_string(density));
}

ExactTableau exactTableau(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    ExactTableau exact{exactRow(tableau.c, s), {}, exactRow(tableau.b, s), std::nullopt};
    for (std::size_t i = 0; i < s; ++i) exact.a.push_back(exactRow(tableau.a[i], s));
    if (tableau.hasErrorEstimate()) {
        std::vector<ex> embedded;
        for (std::size_t j = 0; j < s; ++j) {
            embedded.push_back((exact.b[j] - exactOf(tableau.e[j])).expand());
        }
        exact.embedded = std::move(embedded);
    }
    return exact;
}

StageCoupling stageCoupling(const ExactTableau& tableau) {
    StageCoupling coupling = StageCoupling::explicitStages;
    for (std::size_t i = 0; i < tableau.stages(); ++i) {
        for (std::size_t j = i; j < tableau.stages(); ++j) {
            if (tableau.a[i][j].is_zero()) continue;
            if (j > i) return StageCoupling::implicitStages;
            coupling = StageCoupling::diagonallyImplicit;
        }
    }
    return coupling;
}

bool rowSumsHold(const ExactTableau& tableau) {
    for (std::size_t i = 0; i < tableau.stages(); ++i) {
        ex sum = 0;
        for (const ex& entry : tableau.a[i]) sum += entry;
        if (!holds(sum, tableau.c[i])) return false;
    }
    return true;
}

OrderAnalysis analyseOrder(const ExactTableau& tableau) { return analyseOrder(tableau, tableau.b); }

OrderAnalysis analyseOrder(const ExactTableau& tableau, const std::vector<ex>& weights) {
    OrderAnalysis analysis;
    const std::vector<RootedTree> forest = rootedTrees(maxAnalysedOrder + 1);
    ElementaryWeights elementary(tableau, forest);
    std::size_t t = 0;
    for (int order = 1; order <= maxAnalysedOrder + 1; ++order) {
        bool allHold = true;
        ex squares = 0;  // of the error coefficients (Φ(t) - 1/γ(t))/σ(t)
        for (; t < forest.size() && forest[t].order == order; ++t) {
            const std::vector<ex>& inner = elementary.stageWeights(t);
            ex value = 0;
            for (std::size_t i = 0; i < weights.size(); ++i) value += weights[i] * inner[i];
            value = value.expand();
            const ex residual = (value - GiNaC::numeric(1, forest[t].density)).expand();
            analysis.trees.push_back(forest[t]);
            analysis.conditions.push_back({t, value, residual});
            allHold = allHold && residual.is_zero();
            squares += GiNaC::pow(residual / forest[t].symmetry, 2);
        }
        if (!allHold) {
            analysis.errorConstant = toDouble(GiNaC::sqrt(squares.expand()));
            break;
        }
        analysis.order = std::min(order, maxAnalysedOrder);
    }
    analysis.stageOrder = stageOrder(tableau, weights, analysis.order);
    return analysis;
}

}  // namespace pelorin
