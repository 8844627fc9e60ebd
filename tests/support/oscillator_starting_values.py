#!/usr/bin/env python3
"""How far the starting values move Adams-Bashforth 4's value on the
oscillator y1' = y2, y2' = -y1 from x0 = 0, y = (1, 0) to x1 = 2 with h = 0.2
(the double nearest, as the program steps with it), worked out independently
of the program: the run from Euler's and from Runge-Kutta 4's starting
values in exact rational arithmetic, the run from the exact solution's
values (cos x, -sin x) and the errors at x = 2 in mpmath to 50 digits. A
system's errors are in the maximum norm: the error ||y_N - y(x_N)||, the
formula's alone ||yf_N - y(x_N)|| from the exact starting values, and how
far the starting values move the value, ||y_N - yf_N||, as the Field page's
note gives them.

Run: python3 oscillator_starting_values.py"""
from fractions import Fraction as Q
import mpmath
from oscillator_steps import F, add, scale, euler, rk4
from list_text import error_text

mpmath.mp.dps = 50
H = Q(0.2)  # exactly the double 0.2
STEPS = 10  # x_10 = 10·0.2 is the double 2


def exact(i):
    x = mpmath.mpf(float(i * H))  # x_i = x0 + i·h in doubles
    return [mpmath.cos(x), -mpmath.sin(x)]


def adams_bashforth_4(first):
    """y_{n+4} = y_{n+3} + h/24·(55 F_{n+3} - 59 F_{n+2} + 37 F_{n+1} - 9 F_n)."""
    ys = list(first)
    while len(ys) <= STEPS:
        slopes = [F(y) for y in ys[-4:]]
        ys.append(add(ys[-1], scale(H / 24, add(scale(-9, slopes[0]), scale(37, slopes[1]),
                                                 scale(-59, slopes[2]), scale(55, slopes[3])))))
    return ys[-1]


def started(step):
    ys = [[Q(1), Q(0)]]
    for _ in range(3):
        ys.append(step(ys[-1], H))
    return ys


def norm(v):
    return max(abs(mpmath.mpf(c.numerator) / c.denominator if hasattr(c, 'numerator') else c)
               for c in v)


def difference(a, b):
    return [mpmath.mpf(p.numerator) / p.denominator - q if hasattr(p, 'numerator') else p - q
            for p, q in zip(a, b)]


if __name__ == "__main__":
    at_end = exact(STEPS)
    formula = adams_bashforth_4([[Q(1), Q(0)]] + [exact(i) for i in range(1, 4)])
    formula_error = norm(difference(formula, at_end))
    print("exact starting values: error", error_text(formula_error))
    for name, step in [("Euler", euler), ("Runge-Kutta 4", rk4)]:
        last = adams_bashforth_4(started(step))
        error = norm(difference(last, at_end))
        moved = norm(difference(last, formula))
        print(f"{name}: error {error_text(error)}, from the exact values "
              f"{error_text(formula_error)}, moved by {error_text(moved)}")
