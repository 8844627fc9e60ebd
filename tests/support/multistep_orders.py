#!/usr/bin/env python3
# The observed orders the lab's tests expect of its multistep methods, worked
# out independently of the program: the runs in exact fractions (Runge-Kutta
# 4's starting values, every formula, an implicit one solved for its new
# value directly, as tests/support/textbook_multistep.py does), the errors
# against the exact solution in 50-digit arithmetic (mpmath). Prints log2 of
# the error with N/2 steps over the error with N steps at x1.
#
#     python3 tests/support/multistep_orders.py lesson 64
#     python3 tests/support/multistep_orders.py textbook 32
import sys
from fractions import Fraction as F
from mpmath import mp, mpf, exp, log

mp.dps = 50

# a_0 ... a_k, b_0 ... b_k: sum a_j y_{n+j} = h sum b_j f_{n+j}
FORMULAS = {
    "Adams-Bashforth 2": ([0, -2, 2], [-1, 3, 0]),
    "Adams-Bashforth 3": ([0, 0, -12, 12], [5, -16, 23, 0]),
    "Adams-Bashforth 4": ([0, 0, 0, -24, 24], [-9, 37, -59, 55, 0]),
    "Adams-Moulton 3": ([0, 0, -24, 24], [1, -5, 19, 9]),
    "Adams predictor-corrector 4": None,
    "BDF 2": ([1, -4, 3], [0, 0, 2]),
    "BDF 3": ([-2, 9, -18, 11], [0, 0, 0, 6]),
    "BDF 4": ([3, -16, 36, -48, 25], [0, 0, 0, 0, 12]),
    "Own multistep method": ([-5, 4, 1], [2, 4, 0]),
}

# name: (lam, g, x0, y0, x1, exact y(x1)) for y' = lam*y + g(x)
PROBLEMS = {
    "lesson": (-1, lambda x: -2 * x, F(0), F(-1), F(1), -3 * exp(-1) - 2 + 2),
    "textbook": (1, lambda x: 1 - x * x, F(0), F(1, 2), F(2), 9 - exp(2) / 2),
}


def run(name, problem, N):
    lam, g, x0, y0, x1, _ = problem
    f = lambda x, y: lam * y + g(x)
    h = (x1 - x0) / N
    xs, ys = [x0], [y0]

    def step(a, b, new_slope=None):
        k = len(a) - 1
        x_new = xs[-1] + h
        rhs = -sum(a[j] * ys[-k + j] for j in range(k)) + h * sum(
            b[j] * f(xs[-k + j], ys[-k + j]) for j in range(k))
        if b[k] == 0:
            return F(rhs) / a[k]
        if new_slope is not None:
            return (rhs + h * b[k] * new_slope) / a[k]
        return (rhs + h * b[k] * g(x_new)) / (a[k] - h * b[k] * lam)

    k = 4 if FORMULAS[name] is None else len(FORMULAS[name][0]) - 1
    for i in range(N):
        x = xs[-1]
        if i + 1 < k:
            k1 = h * f(x, ys[-1])
            k2 = h * f(x + h / 2, ys[-1] + k1 / 2)
            k3 = h * f(x + h / 2, ys[-1] + k2 / 2)
            k4 = h * f(x + h, ys[-1] + k3)
            y = ys[-1] + (k1 + 2 * k2 + 2 * k3 + k4) / 6
        elif FORMULAS[name] is None:
            p = step(*FORMULAS["Adams-Bashforth 4"])
            y = step(*FORMULAS["Adams-Moulton 3"], new_slope=f(x + h, p))
        else:
            y = step(*FORMULAS[name])
        xs.append(x0 + (i + 1) * h)
        ys.append(y)
    return ys[-1]


if __name__ == "__main__":
    problem, N = PROBLEMS[sys.argv[1]], int(sys.argv[2])
    for name in FORMULAS:
        coarse = abs(mpf(run(name, problem, N // 2).numerator) / run(name, problem, N // 2).denominator - problem[5])
        fine = abs(mpf(run(name, problem, N).numerator) / run(name, problem, N).denominator - problem[5])
        print(f"{name}: {float(log(coarse / fine, 2)):.2f}  (errors {float(coarse):.3e}, {float(fine):.3e})")
