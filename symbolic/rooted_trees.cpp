#include "symbolic/rooted_trees.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace pelorin {

namespace {

RootedTree treeOf(const std::vector<RootedTree>& forest, const std::vector<std::size_t>& subtrees) {
    RootedTree tree;
    tree.subtrees = subtrees;
    if (subtrees.empty()) {
        tree.text = "τ";
        return tree;
    }
    std::vector<const RootedTree*> written;
    long multiplicity = 0;
    for (std::size_t k = 0; k < subtrees.size(); ++k) {
        const RootedTree& u = forest[subtrees[k]];
        tree.order += u.order;
        tree.density *= u.density;
        multiplicity = k > 0 && subtrees[k - 1] == subtrees[k] ? multiplicity + 1 : 1;
        tree.symmetry *= u.symmetry * multiplicity;  // σ(u)^m·m!, one factor at a time
        written.push_back(&u);
    }
    tree.density *= tree.order;
    // Smaller subtrees first, and those of one order by their text, so that
    // a tree has one text however it was built.
    std::sort(written.begin(), written.end(), [](const RootedTree* u, const RootedTree* v) {
        return std::tie(u->order, u->text) < std::tie(v->order, v->text);
    });
    tree.text = "[";
    for (const RootedTree* u : written) tree.text += (tree.text.size() > 1 ? "," : "") + u->text;
    tree.text += "]";
    return tree;
}

// Appends every tree whose subtrees are `chosen` followed by trees of index
// `from` or later with `nodes` nodes in all, `known` trees to choose from.
void growTrees(std::vector<RootedTree>& forest, std::size_t known, std::size_t from, int nodes,
               std::vector<std::size_t>& chosen) {
    if (nodes == 0) {
        forest.push_back(treeOf(forest, chosen));
        return;
    }
    for (std::size_t u = from; u < known && forest[u].order <= nodes; ++u) {
        chosen.push_back(u);
        growTrees(forest, known, u, nodes - forest[u].order, chosen);
        chosen.pop_back();
    }
}

}  // namespace

std::vector<RootedTree> rootedTrees(int maxOrder) {
    if (maxOrder > 10) throw std::invalid_argument("rooted trees are built up to order 10");
    std::vector<RootedTree> forest;
    for (int order = 1; order <= maxOrder; ++order) {
        std::vector<std::size_t> chosen;
        growTrees(forest, forest.size(), 0, order - 1, chosen);
    }
    return forest;
}

}  // namespace pelorin
