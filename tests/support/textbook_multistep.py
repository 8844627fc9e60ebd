#!/usr/bin/env python3
"""The multistep methods on the textbook problem y' = y - x^2 + 1, y(0) = 0.5,
in exact rational arithmetic: the problem is linear, so Runge-Kutta 4's
starting values, every explicit formula and every implicit one (solved for
its new value directly, no Newton iterations) are fractions. Prints the run's
values to 17 significant digits, for the tests' expected numbers.

    python3 tests/support/textbook_multistep.py 0.5 2    # every method, h = 0.5
    python3 tests/support/textbook_multistep.py 0.2 2    # h = 0.2
    python3 tests/support/textbook_multistep.py 0.2 2 start
        # what Runge-Kutta 4's starting values carry of each explicit
        # formula's error at x1, beside the run from the exact solution's
        # values (in mpmath, 50 digits)
"""
from fractions import Fraction as F
import sys

import mpmath
from list_text import error_text


def f(x, y):
    return y - x * x + 1


def rk4(x, y, h):
    k1 = h * f(x, y)
    k2 = h * f(x + h / 2, y + k1 / 2)
    k3 = h * f(x + h / 2, y + k2 / 2)
    k4 = h * f(x + h, y + k3)
    return y + (k1 + 2 * k2 + 2 * k3 + k4) / 6


# a_0 ... a_k, b_0 ... b_k: sum a_j y_{n+j} = h sum b_j f_{n+j}
FORMULAS = {
    "Adams-Bashforth 2": ([0, -2, 2], [-1, 3, 0]),
    "Adams-Bashforth 3": ([0, 0, -12, 12], [5, -16, 23, 0]),
    "Adams-Bashforth 4": ([0, 0, 0, -24, 24], [-9, 37, -59, 55, 0]),
    "Adams-Moulton 3": ([0, 0, -24, 24], [1, -5, 19, 9]),
    "BDF 2": ([1, -4, 3], [0, 0, 2]),
    "BDF 3": ([-2, 9, -18, 11], [0, 0, 0, 6]),
    "BDF 4": ([3, -16, 36, -48, 25], [0, 0, 0, 0, 12]),
    "Own multistep method": ([-5, 4, 1], [2, 4, 0]),
}


def formula_step(a, b, xs, ys, h, x_new, new_slope=None):
    """The new value from the last k values; implicit: solved exactly."""
    k = len(a) - 1
    xs, ys = xs[-k:], ys[-k:]
    rhs = -sum(F(a[j]) * ys[j] for j in range(k)) + h * sum(F(b[j]) * f(xs[j], ys[j]) for j in range(k))
    if b[k] == 0:
        return rhs / a[k]
    if new_slope is not None:
        return (rhs + h * b[k] * new_slope) / a[k]
    # a_k y = rhs + h b_k (y - x^2 + 1)
    return (rhs + h * b[k] * (1 - x_new * x_new)) / (a[k] - h * b[k])


def run(name, h, x1):
    steps = round((x1 - 0) / h)
    xs, ys = [F(0)], [F(1, 2)]
    k = 4 if name == "Adams predictor-corrector 4" else len(FORMULAS[name][0]) - 1
    for i in range(steps):
        x_new = (i + 1) * h
        if i + 1 < k:
            ys.append(rk4(xs[-1], ys[-1], h))
        elif name == "Adams predictor-corrector 4":
            p = formula_step(*FORMULAS["Adams-Bashforth 4"], xs, ys, h, x_new)
            ys.append(formula_step(*FORMULAS["Adams-Moulton 3"], xs, ys, h, x_new, f(x_new, p)))
        else:
            ys.append(formula_step(*FORMULAS[name], xs, ys, h, x_new))
        xs.append(x_new)
    return xs, ys


def exact(x):
    x = mpmath.mpf(x)
    return (x + 1) ** 2 - mpmath.exp(x) / 2


def starting_share(name, h, x1):
    """The error at x1 from Runge-Kutta 4's start, the part its starting values
    carry, and the error from the exact solution's values, x_i = i·h in doubles."""
    xs, ys = run(name, h, x1)
    a, b = FORMULAS[name]
    k = len(a) - 1
    mp = [mpmath.mpf(x.numerator) / x.denominator for x in xs]
    ye = [exact(float(x)) for x in xs[:k]]
    for n in range(k, len(xs)):
        past = range(n - k, n)
        value = (-sum(a[j] * ye[i] for j, i in enumerate(past)) +
                 mp[1] * sum(b[j] * (ye[i] - mp[i] ** 2 + 1) for j, i in enumerate(past))) / a[k]
        ye.append(value)
    at_end = exact(float(xs[-1]))
    error = mpmath.mpf(ys[-1].numerator) / ys[-1].denominator - at_end
    formula = ye[-1] - at_end
    return error - formula, error, formula


if __name__ == "__main__":
    h, x1 = F(sys.argv[1]), F(sys.argv[2])
    if sys.argv[3:] == ["start"]:
        for name in [n for n in FORMULAS if FORMULAS[n][1][-1] == 0]:
            carried, error, formula = starting_share(name, h, x1)
            print(f"{name}: carried {error_text(carried)} of {error_text(error)} "
                  f"({float(abs(carried / error)) * 100:.3g} %), formula's {error_text(formula)}")
        sys.exit()
    names = list(FORMULAS)[:4] + ["Adams predictor-corrector 4"] + list(FORMULAS)[4:]
    for name in names:
        xs, ys = run(name, h, x1)
        print(name)
        for x, y in zip(xs, ys):
            print(f"  {float(x):<6} {float(y):.17g}")
