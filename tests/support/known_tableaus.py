#!/usr/bin/env python3
"""Independent values for the tableaus a student may load into the own
Runge-Kutta method's boxes (tests/symbolic/known_tableaus_test.cpp and
tests/numerics/known_tableau_steps_test.cpp).

The coefficients are typed here from the literature, not read from the
program: the pairs of Dormand and Prince (J. Comput. Appl. Math. 6, 1980;
also Hairer, Nørsett and Wanner, Solving ODEs I, Table II.5.2), Bogacki and
Shampine (Appl. Math. Lett. 2, 1989) and Cash and Karp (ACM TOMS 16, 1990);
Hairer and Wanner, Solving ODEs II, Section IV.5 (Radau IA, Lobatto IIIA
and IIIC) and IV.6 (the two-stage SDIRK method of order 3); the catalogue's
methods as the textbooks print them. An embedded pair is given by both
weight rows, b and b̂, as its authors print them.

Orders come from tests/support/order_conditions.py (its own trees, sympy's
exact numbers). Prints for each tableau: whether c = A·1, the order, the
stage order, the error constant ||(Φ(t) - 1/γ(t))/σ(t)||₂ over the trees of
order p + 1, and for a pair the embedded weights' order and error constant.
Then one step of y' = -2x - y from (0, -1) with h = 0.1: the stage equations
K = f(x0 + c·h, y0 + h·A·K) of this linear equation are a linear system,
solved with mpmath at 40 digits (h the double nearest 0.1); printed are y1 = y0 + h·b·K and the
estimate h·(b - b̂)·K.
"""
import mpmath as mp
import sympy as sp

from order_conditions import analyse

R = sp.Rational
r2, r3 = sp.sqrt(2), sp.sqrt(3)


def explicit(c, rows, b, b_hat=None):
    """A tableau from the rows below the diagonal, as the books print them."""
    s = len(c)
    A = [[(rows[i - 1][j] if i > 0 and j < i else 0) for j in range(s)] for i in range(s)]
    return c, A, b, b_hat


gamma_sdirk2 = 1 - r2 / 2
gamma_sdirk3 = (3 + r3) / 6

catalogue = {
    "Euler": ([0], [[0]], [1], None),
    "Euler (End points)": explicit([0, 1], [[1]], [R(1, 2), R(1, 2)]),
    "Euler (Mid point)": explicit([0, R(1, 2)], [[R(1, 2)]], [0, 1]),
    "Runge-Kutta 4": explicit([0, R(1, 2), R(1, 2), 1],
                              [[R(1, 2)], [0, R(1, 2)], [0, 0, 1]],
                              [R(1, 6), R(1, 3), R(1, 3), R(1, 6)]),
    "Runge-Kutta-Fehlberg": explicit(
        [0, R(1, 4), R(3, 8), R(12, 13), 1, R(1, 2)],
        [[R(1, 4)], [R(3, 32), R(9, 32)],
         [R(1932, 2197), R(-7200, 2197), R(7296, 2197)],
         [R(439, 216), -8, R(3680, 513), R(-845, 4104)],
         [R(-8, 27), 2, R(-3544, 2565), R(1859, 4104), R(-11, 40)]],
        [R(16, 135), 0, R(6656, 12825), R(28561, 56430), R(-9, 50), R(2, 55)],
        [R(25, 216), 0, R(1408, 2565), R(2197, 4104), R(-1, 5), 0]),
    "Runge-Kutta-Merson": explicit(
        [0, R(1, 3), R(1, 3), R(1, 2), 1],
        [[R(1, 3)], [R(1, 6), R(1, 6)], [R(1, 8), 0, R(3, 8)], [R(1, 2), 0, R(-3, 2), 2]],
        [R(1, 6), 0, 0, R(2, 3), R(1, 6)],
        [R(1, 10), 0, R(3, 10), R(2, 5), R(1, 5)]),
    "Runge-Kutta-Gill": explicit(
        [0, R(1, 2), R(1, 2), 1],
        [[R(1, 2)], [-R(1, 2) + 1 / r2, 1 - 1 / r2], [0, -1 / r2, 1 + 1 / r2]],
        [R(1, 6), (1 - 1 / r2) / 3, (1 + 1 / r2) / 3, R(1, 6)]),
    "Ralston 2": explicit([0, R(2, 3)], [[R(2, 3)]], [R(1, 4), R(3, 4)]),
    "Heun 3": explicit([0, R(1, 3), R(2, 3)], [[R(1, 3)], [0, R(2, 3)]],
                       [R(1, 4), 0, R(3, 4)]),
    "SSP Runge-Kutta 3": explicit([0, 1, R(1, 2)], [[1], [R(1, 4), R(1, 4)]],
                                  [R(1, 6), R(1, 6), R(2, 3)]),
    "Kutta 3/8": explicit([0, R(1, 3), R(2, 3), 1], [[R(1, 3)], [R(-1, 3), 1], [1, -1, 1]],
                          [R(1, 8), R(3, 8), R(3, 8), R(1, 8)]),
    "Backward Euler": ([1], [[1]], [1], None),
    "Trapezoid": ([0, 1], [[0, 0], [R(1, 2), R(1, 2)]], [R(1, 2), R(1, 2)], None),
    "Implicit mid point": ([R(1, 2)], [[R(1, 2)]], [1], None),
    "SDIRK 2": ([gamma_sdirk2, 1], [[gamma_sdirk2, 0], [1 - gamma_sdirk2, gamma_sdirk2]],
                [1 - gamma_sdirk2, gamma_sdirk2], None),
    "Radau IIA 3": ([R(1, 3), 1], [[R(5, 12), R(-1, 12)], [R(3, 4), R(1, 4)]],
                    [R(3, 4), R(1, 4)], None),
    "Gauss-Legendre 4": ([R(1, 2) - r3 / 6, R(1, 2) + r3 / 6],
                         [[R(1, 4), R(1, 4) - r3 / 6], [R(1, 4) + r3 / 6, R(1, 4)]],
                         [R(1, 2), R(1, 2)], None),
}

further = {
    "Dormand-Prince 5(4)": explicit(
        [0, R(1, 5), R(3, 10), R(4, 5), R(8, 9), 1, 1],
        [[R(1, 5)],
         [R(3, 40), R(9, 40)],
         [R(44, 45), R(-56, 15), R(32, 9)],
         [R(19372, 6561), R(-25360, 2187), R(64448, 6561), R(-212, 729)],
         [R(9017, 3168), R(-355, 33), R(46732, 5247), R(49, 176), R(-5103, 18656)],
         [R(35, 384), 0, R(500, 1113), R(125, 192), R(-2187, 6784), R(11, 84)]],
        [R(35, 384), 0, R(500, 1113), R(125, 192), R(-2187, 6784), R(11, 84), 0],
        [R(5179, 57600), 0, R(7571, 16695), R(393, 640), R(-92097, 339200), R(187, 2100),
         R(1, 40)]),
    "Bogacki-Shampine 3(2)": explicit(
        [0, R(1, 2), R(3, 4), 1],
        [[R(1, 2)], [0, R(3, 4)], [R(2, 9), R(1, 3), R(4, 9)]],
        [R(2, 9), R(1, 3), R(4, 9), 0],
        [R(7, 24), R(1, 4), R(1, 3), R(1, 8)]),
    "Cash-Karp 5(4)": explicit(
        [0, R(1, 5), R(3, 10), R(3, 5), 1, R(7, 8)],
        [[R(1, 5)],
         [R(3, 40), R(9, 40)],
         [R(3, 10), R(-9, 10), R(6, 5)],
         [R(-11, 54), R(5, 2), R(-70, 27), R(35, 27)],
         [R(1631, 55296), R(175, 512), R(575, 13824), R(44275, 110592), R(253, 4096)]],
        [R(37, 378), 0, R(250, 621), R(125, 594), 0, R(512, 1771)],
        [R(2825, 27648), 0, R(18575, 48384), R(13525, 55296), R(277, 14336), R(1, 4)]),
    "Lobatto IIIA 2": ([0, 1], [[0, 0], [R(1, 2), R(1, 2)]], [R(1, 2), R(1, 2)], None),
    "Lobatto IIIA 3": ([0, R(1, 2), 1],
                       [[0, 0, 0], [R(5, 24), R(1, 3), R(-1, 24)], [R(1, 6), R(2, 3), R(1, 6)]],
                       [R(1, 6), R(2, 3), R(1, 6)], None),
    "Lobatto IIIC 2": ([0, 1], [[R(1, 2), R(-1, 2)], [R(1, 2), R(1, 2)]],
                       [R(1, 2), R(1, 2)], None),
    "Lobatto IIIC 3": ([0, R(1, 2), 1],
                       [[R(1, 6), R(-1, 3), R(1, 6)], [R(1, 6), R(5, 12), R(-1, 12)],
                        [R(1, 6), R(2, 3), R(1, 6)]],
                       [R(1, 6), R(2, 3), R(1, 6)], None),
    "Radau IA 3": ([0, R(2, 3)], [[R(1, 4), R(-1, 4)], [R(1, 4), R(5, 12)]],
                   [R(1, 4), R(3, 4)], None),
    "SDIRK 3": ([gamma_sdirk3, 1 - gamma_sdirk3],
                [[gamma_sdirk3, 0], [1 - 2 * gamma_sdirk3, gamma_sdirk3]],
                [R(1, 2), R(1, 2)], None),
}


def row_sums_hold(c, A):
    return all(sp.simplify(sum(row) - ci) == 0 for ci, row in zip(c, A))


def one_step(c, A, weights, x0=0, y0=-1):
    """h·Σ w_i K_i for every weight row, K solving K = -2(x0 + c h) - (y0 + h A K)."""
    h = mp.mpf(0.1)  # the double nearest 0.1, which the program steps with
    s = len(c)
    num = lambda v: mp.mpf(sp.N(v, 60))
    M = mp.matrix(s, s)
    rhs = mp.matrix(s, 1)
    for i in range(s):
        for j in range(s):
            M[i, j] = (1 if i == j else 0) + h * num(A[i][j])
        rhs[i] = -2 * (x0 + num(c[i]) * h) - y0
    K = mp.lu_solve(M, rhs)
    return [h * sum(num(w[i]) * K[i] for i in range(s)) for w in weights]


def stability(A, b):
    """Whether R(z) = det(I - zA + z·1bᵀ)/det(I - zA) is A- and L-stable: no
    pole with Re z <= 0, E(y) = |Q(iy)|² - |P(iy)|² >= 0 for every real y, and
    for L-stability P of lower degree than Q."""
    z, y = sp.symbols("z"), sp.symbols("y", real=True)
    square = lambda w: sp.expand(w * sp.conjugate(w))  # |w|²
    s = len(b)
    I, M, ones = sp.eye(s), sp.Matrix(A), sp.ones(s, 1)
    P = sp.Poly(sp.expand((I - z * M + z * ones * sp.Matrix([b])).det()), z)
    Q = sp.Poly(sp.expand((I - z * M).det()), z)
    poles_right = all(sp.re(r) > 0 for r in sp.roots(Q, multiple=True))
    E = sp.Poly(square(Q.as_expr().subs(z, sp.I * y)) - square(P.as_expr().subs(z, sp.I * y)), y)
    # Nonnegative coefficients make E nonnegative; each E here is a single power
    # of y, so a negative one is a y where |R(iy)| > 1.
    e_nonnegative = all(sp.nsimplify(k) >= 0 for k in E.all_coeffs())
    a_stable = poles_right and e_nonnegative
    return a_stable, a_stable and P.degree() < Q.degree(), E.as_expr()


def report(name, c, A, b, b_hat):
    order, stage_order, constant = analyse(c, A, b)
    line = (f"{name}: c = A·1 {row_sums_hold(c, A)}, order {order}, stage order "
            f"{stage_order}, error constant {constant}")
    if b_hat is not None:
        embedded, _, embedded_constant = analyse(c, A, b_hat)
        line += f", embedded order {embedded}, its error constant {embedded_constant}"
    print(line)


def report_step(name, c, A, b, b_hat):
    rows = [b] if b_hat is None else [b, [bi - hi for bi, hi in zip(b, b_hat)]]
    increments = one_step(c, A, rows)
    line = f"{name}: y1 {mp.nstr(-1 + increments[0], 20)}"
    if b_hat is not None:
        line += f", estimate {mp.nstr(increments[1], 20)}"
    print(line)


if __name__ == "__main__":
    mp.mp.dps = 40
    for name, tableau in {**catalogue, **further}.items():
        report(name, *tableau)
    print("stability of the further implicit tableaus (A-stable, L-stable, E(y)):")
    for name, (c, A, b, _) in further.items():
        if any(A[i][j] != 0 for i in range(len(b)) for j in range(i, len(b))):
            print(name, *stability(A, b))
    print("one step of y' = -2x - y from (0, -1), h = 0.1:")
    for name, tableau in {**catalogue, **further}.items():
        report_step(name, *tableau)
