#include "symbolic/tableau_view.h"

#include "base/number_text.h"
#include "symbolic/exact_stability.h"
#include "symbolic/typed_tableau.h"

#include <array>
#include <cctype>
#include <utility>

namespace pelorin {

namespace {

constexpr std::array<std::pair<StageCoupling, std::string_view>, 3> couplingWords{{
    {StageCoupling::explicitStages, "explicit: each stage needs only the ones before it"},
    {StageCoupling::diagonallyImplicit,
     "diagonally implicit: each stage needs itself and the ones before it"},
    {StageCoupling::implicitStages, "implicit: some stage needs a later one"},
}};

std::string couplingText(StageCoupling coupling) {
    for (const auto& [each, words] : couplingWords) {
        if (each == coupling) return std::string(words);
    }
    return {};
}

// "order 4, stage order 1, principal error constant 1.45E-02"; a tableau
// whose weights do not sum to 1 says what they sum to.
std::string orderText(const OrderAnalysis& analysis) {
    if (analysis.order == 0) {
        return "order 0, since \u03a3 b\u1d62 = " + entryText(analysis.conditions[0].value) +
               ", not 1";
    }
    std::string text = "order " + std::to_string(analysis.order);
    if (!analysis.errorConstant) return text + " or more, stage order " +
                                        std::to_string(analysis.stageOrder);
    return text + ", stage order " + std::to_string(analysis.stageOrder) +
           ", principal error constant " + errorText(*analysis.errorConstant);
}

TextTable conditionTable(const OrderAnalysis& analysis, bool withNodes) {
    TextTable table{{"Tree", "Order", "Condition", "Value", "Residual"}, {}};
    for (const OrderCondition& condition : analysis.conditions) {
        const RootedTree& tree = analysis.trees[condition.tree];
        table.rows.push_back({tree.text, std::to_string(tree.order),
                              conditionText(analysis.trees, condition.tree, withNodes),
                              entryText(condition.value), entryText(condition.residual)});
    }
    return table;
}

// A finding as a sentence of its own: "Not L-stable: R(∞) = -1."
std::string sentence(const StabilityFinding& finding) {
    std::string text = finding.sentence;
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text + ".";
}

}  // namespace

TableauView tableauView(std::string_view caption, const ExactTableau& tableau) {
    const OrderAnalysis analysis = analyseOrder(tableau);
    const bool rowSums = rowSumsHold(tableau);
    std::string verdict = std::string(caption) + ": " + orderText(analysis) + "; " +
                          couplingText(stageCoupling(tableau)) + "; " +
                          (rowSums ? "c = A\u00b71 holds." : "c \u2260 A\u00b71, so the conditions "
                                                             "weigh A\u00b71, not c.");
    if (tableau.embedded) {
        verdict += " Its embedded weights: " + orderText(analyseOrder(tableau, *tableau.embedded)) +
                   ".";
    }
    const ExactStability stability = exactStability(tableau);
    return {verdict,
            {stability.function, sentence(stability.aStable), sentence(stability.lStable),
             sentence(stability.algebraicallyStable), sentence(stability.symplectic)},
            roundedStability(stability),
            conditionTable(analysis, rowSums)};
}

}  // namespace pelorin
