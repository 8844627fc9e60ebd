// The rooted trees that index the Runge-Kutta order conditions (Butcher):
// a tree is a root with a multiset of subtrees. Each is built once, from the
// trees before it, so a tree's subtrees are indices of earlier trees.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pelorin {

struct RootedTree {
    int order = 1;                      // |t|, its number of nodes
    std::vector<std::size_t> subtrees;  // indices into the forest, ascending
    std::string text;                   // bracket notation: "τ", "[τ]", "[τ,[τ]]"
    long density = 1;                   // γ(t) = |t|·Π γ(u)
    long symmetry = 1;                  // σ(t) = Π σ(u)^m·m!, m the multiplicity of u
};

// Every tree of 1 to maxOrder nodes, by order, and within an order by the
// ascending index lists of their subtrees. Orders beyond 10 throw
// std::invalid_argument (there are 719 trees up to order 9, 1,842 up to 10).
std::vector<RootedTree> rootedTrees(int maxOrder);

}  // namespace pelorin
