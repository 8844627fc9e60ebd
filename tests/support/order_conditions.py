#!/usr/bin/env python3
"""Independent values for the exact order-condition tests.

Rooted trees are built here as sorted tuples of subtrees (a multiset), by
integer partitions of the nodes below the root, not as the program builds
them; γ, σ and the elementary weights Φ(t) = Σ b_i Φ_i(t) are worked out
with sympy's exact rationals and square roots.

Prints the tree counts per order, the trees up to order 4 with γ and σ, and
for each tableau its order, stage order and error constant
||(Φ(t) - 1/γ(t))/σ(t)||₂ over the trees of order p + 1.
"""
from functools import lru_cache
from itertools import combinations_with_replacement
from math import factorial
from collections import Counter
import sympy as sp


@lru_cache(None)
def trees(order):
    """Every tree of `order` nodes, as a sorted tuple of subtrees."""
    if order == 1:
        return [()]
    found = set()
    def fill(remaining, smallest, chosen):
        if remaining == 0:
            found.add(tuple(sorted(chosen, key=key)))
            return
        for size in range(smallest, remaining + 1):
            for t in trees(size):
                fill(remaining - size, size, chosen + [t])
    fill(order - 1, 1, [])
    return sorted(found, key=key)


def nodes(t):
    return 1 + sum(nodes(u) for u in t)


def text(t):
    if not t:
        return "τ"
    return "[" + ",".join(text(u) for u in sorted(t, key=key)) + "]"


def key(t):
    return (nodes(t), text(t))


def gamma(t):
    g = nodes(t)
    for u in t:
        g *= gamma(u)
    return g


def sigma(t):
    s = 1
    for u, m in Counter(t).items():
        s *= sigma(u) ** m * factorial(m)
    return s


def stage_weights(t, A):
    s = len(A)
    w = [sp.Integer(1)] * s
    for u in t:
        inner = stage_weights(u, A)
        lead = [sp.expand(sum(A[i][j] * inner[j] for j in range(s))) for i in range(s)]
        w = [sp.expand(w[i] * lead[i]) for i in range(s)]
    return w


def analyse(c, A, b, top=9):
    order = 0
    for n in range(1, top + 1):
        residuals = []
        for t in trees(n):
            phi = sp.expand(sum(bi * wi for bi, wi in zip(b, stage_weights(t, A))))
            residuals.append((sp.nsimplify(sp.expand(phi - sp.Rational(1, gamma(t)))), sigma(t)))
        if any(r != 0 for r, _ in residuals):
            constant = sp.sqrt(sum((r / s) ** 2 for r, s in residuals))
            return order, stage_order(c, A, b, order), sp.N(constant, 17)
        order = min(n, 8)
    return order, stage_order(c, A, b, order), None


def stage_order(c, A, b, limit):
    s = len(b)
    c = [sp.sympify(x) for x in c]  # a plain int c_i would make c_i^k / k a float
    for k in range(1, limit + 1):
        if sp.expand(sum(b[i] * c[i] ** (k - 1) for i in range(s)) - sp.Rational(1, k)) != 0:
            return k - 1
        for i in range(s):
            if sp.expand(sum(A[i][j] * c[j] ** (k - 1) for j in range(s)) - c[i] ** k / k) != 0:
                return k - 1
    return limit


R = sp.Rational
r3 = sp.sqrt(3)
tableaus = {
    "Runge-Kutta 4": ([0, R(1, 2), R(1, 2), 1],
                      [[0, 0, 0, 0], [R(1, 2), 0, 0, 0], [0, R(1, 2), 0, 0], [0, 0, 1, 0]],
                      [R(1, 6), R(1, 3), R(1, 3), R(1, 6)]),
    "Kutta 3/8": ([0, R(1, 3), R(2, 3), 1],
                  [[0, 0, 0, 0], [R(1, 3), 0, 0, 0], [R(-1, 3), 1, 0, 0], [1, -1, 1, 0]],
                  [R(1, 8), R(3, 8), R(3, 8), R(1, 8)]),
    "Kutta 3/8, a32 typed 2": ([0, R(1, 3), R(2, 3), 1],
                               [[0, 0, 0, 0], [R(1, 3), 0, 0, 0], [R(-1, 3), 2, 0, 0],
                                [1, -1, 1, 0]],
                               [R(1, 8), R(3, 8), R(3, 8), R(1, 8)]),
    "Gauss-Legendre 4": ([R(1, 2) - r3 / 6, R(1, 2) + r3 / 6],
                         [[R(1, 4), R(1, 4) - r3 / 6], [R(1, 4) + r3 / 6, R(1, 4)]],
                         [R(1, 2), R(1, 2)]),
    "Gauss-Legendre 6": ([R(1, 2) - sp.sqrt(15) / 10, R(1, 2), R(1, 2) + sp.sqrt(15) / 10],
                         [[R(5, 36), R(2, 9) - sp.sqrt(15) / 15, R(5, 36) - sp.sqrt(15) / 30],
                          [R(5, 36) + sp.sqrt(15) / 24, R(2, 9), R(5, 36) - sp.sqrt(15) / 24],
                          [R(5, 36) + sp.sqrt(15) / 30, R(2, 9) + sp.sqrt(15) / 15, R(5, 36)]],
                         [R(5, 18), R(4, 9), R(5, 18)]),
    "Radau IIA 3": ([R(1, 3), 1], [[R(5, 12), R(-1, 12)], [R(3, 4), R(1, 4)]],
                    [R(3, 4), R(1, 4)]),
    "weights summing to 2": ([0], [[0]], [2]),
}

if __name__ == "__main__":
    print("trees per order:", [len(trees(n)) for n in range(1, 10)])
    for n in range(1, 5):
        for t in trees(n):
            print(f"  {text(t)}: gamma {gamma(t)}, sigma {sigma(t)}")
    for name, (c, A, b) in tableaus.items():
        print(name, analyse(c, A, b))
