#!/usr/bin/env python3
"""The Weights table of a multistep step on a system, as the One step page
lists it, worked out independently of the program: the oscillator
y1' = y2, y2' = -y1 from x0 = 0, y = (1, 0) with h = 0.3 (the double
nearest, as the program steps with it), the starting
values from Runge-Kutta 4, every step in exact rational arithmetic, the
numbers written to 15 significant digits as the lab writes them. A value
whose 16th and later digits lie near a rounding edge is flagged, since the
program's rounding errors could then change its text.

A formula sum_j a_j y_{n+j} = h sum_j b_j f_{n+j} (j = 0 … k) gives
y_{n+k} = sum_{j<k} (-a_j/a_k) y_{n+j} + h sum_j (b_j/a_k) f_{n+j}. A row
per past point i: i, x_i, y_i and F(x_i, y_i) by component, a_j/a_k and
b_j/a_k as fractions, -a_j/a_k·y_i and h·b_j/a_k·F_i by component. A
predictor-corrector pair (PEC) adds the row p: the predicted value, its
slope, the corrector's b_k and h·b_k·F(p). Then the new point's row: its
value, for an implicit formula its slope, 1 and b_k, and h·b_k·F there.
An implicit formula's new value solves (I - h·b_k/a_k·A)·y = e exactly,
A = [[0, 1], [-1, 0]] the oscillator's matrix.

Run: python3 multistep_system_weights.py"""
from fractions import Fraction as Q
from oscillator_steps import F, add, scale, rk4
from list_text import text

H = Q(0.3)  # exactly the double 0.3


# (a_0 … a_k, b_0 … b_k) of each formula.
AB2 = ([0, -1, 1], [Q(-1, 2), Q(3, 2), 0])
AB4 = ([0, 0, 0, -1, 1], [Q(-9, 24), Q(37, 24), Q(-59, 24), Q(55, 24), 0])
AM3 = ([0, 0, -1, 1], [Q(1, 24), Q(-5, 24), Q(19, 24), Q(9, 24)])
BDF2 = ([Q(1, 3), Q(-4, 3), 1], [0, 0, Q(2, 3)])


def explicit_value(formula, past):
    """The formula's value from the last k past points, its b_k left out."""
    a, b = formula
    k = len(a) - 1
    pts = past[-k:]
    terms = [add(scale(-Q(a[j]) / a[k], y), scale(H * Q(b[j]) / a[k], F(y)))
             for j, y in enumerate(pts)]
    return add(*terms)


def solve_implicit(e, c):
    """y = e + c·A·y for the oscillator: [[1, -c], [c, 1]]·y = e."""
    d = 1 + c * c
    return [(e[0] + c * e[1]) / d, (e[1] - c * e[0]) / d]


def row(cells):
    return '{' + ', '.join('"%s"' % c for c in cells) + '}'


def cells(y):
    return [text(v) for v in y]


def step_rows(name, formula, starts, step, predictor=None):
    """The run to `step` and the Weights rows of that step."""
    ys = [[Q(1), Q(0)]]
    for _ in range(starts):
        ys.append(rk4(ys[-1], H))
    a, b = formula
    k = len(a) - 1
    K = max(k, len(predictor[0]) - 1 if predictor else 0)
    while len(ys) <= step:
        e = explicit_value(formula, ys)
        p = None
        if predictor:
            p = explicit_value(predictor, ys)
            ys.append(add(e, scale(H * Q(b[k]) / a[k], F(p))))
        elif b[k] != 0:
            ys.append(solve_implicit(e, H * Q(b[k]) / a[k]))
        else:
            ys.append(e)
    n = step - K
    print(name, 'step', step)
    for m in range(K):
        i = n + m
        j = m - (K - k)
        aj, bj = (Q(a[j]), Q(b[j])) if j >= 0 else (Q(0), Q(0))
        y = ys[i]
        print(row([str(i), text(i * H)] + cells(y) + cells(F(y)) +
                  [fraction(aj / a[k]), fraction(bj / a[k])] +
                  cells(scale(-aj / a[k], y)) + cells(scale(H * bj / a[k], F(y)))))
    beta = fraction(Q(b[k]) / a[k])
    y = ys[step]
    if predictor:
        p = explicit_value(predictor, ys[:step])
        print(row(['p', text(step * H)] + cells(p) + cells(F(p)) + ['', beta, '', ''] +
                  cells(scale(H * Q(b[k]) / a[k], F(p)))))
        print(row([str(step), text(step * H)] + cells(y) + ['', ''] + ['1', ''] +
                  ['', '', '', '']))
    elif b[k] != 0:
        print(row([str(step), text(step * H)] + cells(y) + cells(F(y)) + ['1', beta, '', ''] +
                  cells(scale(H * Q(b[k]) / a[k], F(y)))))
    else:
        print(row([str(step), text(step * H)] + cells(y) + ['', '', '1', beta, '', '', '', '']))
    print()


def fraction(q):
    return str(q.numerator) if q.denominator == 1 else '%d/%d' % (q.numerator, q.denominator)


if __name__ == '__main__':
    y1 = rk4([Q(1), Q(0)], H)
    print('Runge-Kutta 4 starting value y1:', cells(y1))
    print('BDF 2 step 2, e = 4/3 y1 - 1/3 y0:', cells(add(scale(Q(4, 3), y1), [Q(-1, 3), 0])))
    print()
    step_rows('Adams-Bashforth 2', AB2, 1, 2)
    step_rows('BDF 2', BDF2, 1, 2)
    step_rows('Adams predictor-corrector 4', AM3, 3, 4, predictor=AB4)
