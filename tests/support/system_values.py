#!/usr/bin/env python3
# The states the system step tests expect, worked out independently of the
# program: each method from its textbook Butcher tableau, stepped in exact
# rational arithmetic (Gill's method, whose weights hold 1/sqrt(2), in mpmath
# to 50 digits), then written to 15 significant digits as the lab shows them.
# A value whose 16th and later digits lie near a rounding edge is flagged,
# since the program's rounding errors could then change the text; the starts
# below were chosen so that none is.
from fractions import Fraction as Q
import mpmath
from list_text import text

mpmath.mp.dps = 50
r2 = 1 / mpmath.sqrt(2)

def tableau(c, a, b): return c, a, b

METHODS = {
 'Euler': tableau([Q(0)], [[]], [Q(1)]),
 'Euler (End points)': tableau([Q(0), Q(1)], [[], [Q(1)]], [Q(1, 2), Q(1, 2)]),
 'Euler (Mid point)': tableau([Q(0), Q(1, 2)], [[], [Q(1, 2)]], [Q(0), Q(1)]),
 'Runge-Kutta 4': tableau([Q(0), Q(1, 2), Q(1, 2), Q(1)],
                          [[], [Q(1, 2)], [Q(0), Q(1, 2)], [Q(0), Q(0), Q(1)]],
                          [Q(1, 6), Q(1, 3), Q(1, 3), Q(1, 6)]),
 'Runge-Kutta-Fehlberg': tableau(
     [Q(0), Q(1, 4), Q(3, 8), Q(12, 13), Q(1), Q(1, 2)],
     [[], [Q(1, 4)], [Q(3, 32), Q(9, 32)],
      [Q(1932, 2197), Q(-7200, 2197), Q(7296, 2197)],
      [Q(439, 216), Q(-8), Q(3680, 513), Q(-845, 4104)],
      [Q(-8, 27), Q(2), Q(-3544, 2565), Q(1859, 4104), Q(-11, 40)]],
     [Q(16, 135), Q(0), Q(6656, 12825), Q(28561, 56430), Q(-9, 50), Q(2, 55)]),
 'Runge-Kutta-Merson': tableau(
     [Q(0), Q(1, 3), Q(1, 3), Q(1, 2), Q(1)],
     [[], [Q(1, 3)], [Q(1, 6), Q(1, 6)], [Q(1, 8), Q(0), Q(3, 8)],
      [Q(1, 2), Q(0), Q(-3, 2), Q(2)]],
     [Q(1, 6), Q(0), Q(0), Q(2, 3), Q(1, 6)]),
 'Runge-Kutta-Gill': tableau(
     [mpmath.mpf(0), mpmath.mpf(1) / 2, mpmath.mpf(1) / 2, mpmath.mpf(1)],
     [[], [mpmath.mpf(1) / 2], [-mpmath.mpf(1) / 2 + r2, 1 - r2], [0, -r2, 1 + r2]],
     [mpmath.mpf(1) / 6, (1 - r2) / 3, (1 + r2) / 3, mpmath.mpf(1) / 6]),
}

def step(method, F, x0, y0, h):
    c, a, b = METHODS[method]
    ks = []
    for j in range(len(c)):
        y = [y0[i] + sum(a[j][l] * ks[l][i] for l in range(j)) for i in range(len(y0))]
        ks.append([h * v for v in F(x0 + c[j] * h, y)])
    return [y0[i] + sum(b[j] * ks[j][i] for j in range(len(c))) for i in range(len(y0))]

SYSTEMS = {
 "oscillator y1' = y2, y2' = -y1 from (2, 0)": (lambda x, y: [y[1], -y[0]], [2, 0]),
 "coupled y1' = y1*y2, y2' = x - y1 from (2, -1)": (lambda x, y: [y[0] * y[1], x - y[0]], [2, -1]),
}

for name, (F, start) in SYSTEMS.items():
    print(f'{name}, two steps of h = 1/2:')
    for method, (c, _, _) in METHODS.items():
        one = mpmath.mpf(1) if isinstance(c[0], mpmath.mpf) else Q(1)
        x, y, h = 0 * one, [v * one for v in start], one / 2
        for _ in range(2):
            y = step(method, F, x, y, h)
            x = x + h
        print(f'  {method:22s}', '  '.join(text(v) for v in y))

# The Lab steps rows of the harmonic oscillator y1' = y2, y2' = -y1 from
# (1, 0) with h = 0.1 (the double nearest 1/10, held exactly) to x1 = 1:
# y1, y2 in exact arithmetic as above; the errors are y minus the exact
# cos x and -sin x (mpmath, rounded to the nearest double), subtracted in
# doubles from y as the program computes it (the method's formula in
# Python floats, in the program's order), then written as the table writes
# errors: 15 significant digits, always an exponent. The error column is
# the larger of the two in size.
oscillator = lambda x, y: [y[1], -y[0]]

def float_step(method, x0, y0, h):
    F = lambda y: [y[1], -y[0]]
    if method == 'Euler':
        k1 = [h * v for v in F(y0)]
        return [y0[i] + k1[i] for i in range(2)]
    k1 = [h * v for v in F(y0)]
    k2 = [h * v for v in F([y0[i] + k1[i] / 2 for i in range(2)])]
    k3 = [h * v for v in F([y0[i] + k2[i] / 2 for i in range(2)])]
    k4 = [h * v for v in F([y0[i] + k3[i] for i in range(2)])]
    return [y0[i] + (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]) / 6 for i in range(2)]

def error_text(v): return '0' if v == 0 else '%.14E' % v

def shown(exact, double):
    """The text of the exact value; where it lies near a rounding edge, the
    text of the double the program computes (marked *), which decides it."""
    t = text(exact)
    if '<--' not in t: return t
    return text(Q(double)).split(' <--')[0] + '*'

for method in ('Euler', 'Runge-Kutta 4'):
    print(f'{method}, oscillator from (1, 0), h = 0.1: i, y1, y2, error, error y1, error y2')
    y, yf = [Q(1), Q(0)], [1.0, 0.0]
    for i in range(11):
        x = 0 + i * 0.1
        exact = [float(mpmath.cos(x)), float(-mpmath.sin(x))]
        errors = [yf[k] - exact[k] for k in range(2)]
        assert all(abs(Q(yf[k]) - y[k]) < Q(1, 10**14) for k in range(2))
        norm = max(abs(e) for e in errors)
        print(f'  {i:2d}', shown(y[0], yf[0]), shown(y[1], yf[1]), error_text(norm),
              error_text(errors[0]), error_text(errors[1]))
        y = step(method, oscillator, Q(x), y, Q(0.1))
        yf = float_step(method, x, yf, 0.1)

# The Stages table of Runge-Kutta 4's first step on the harmonic oscillator
# y1' = y2, y2' = -y1 from (1, 0) at x = 0 with h = 1/2, as the One step
# page lists it: for every stage j its x + c_j·h, then Y_j, F(x + c_j·h, Y_j)
# and k_j = h·F, component by component; then the step's row: its end x,
# its end y and the increment Σ b_j k_j. Exact rational arithmetic from the
# textbook tableau; every stage is a short binary fraction, so only the sixths
# of the step's row are rounded. The step's end y is the run's, the method's
# own formula in doubles (float_step); where its exact value lies near a
# rounding edge, that double decides the text (marked *). The increment is
# summed in doubles as the stages are, b_j·k_j in order.
print("Runge-Kutta 4's stages, oscillator from (1, 0), h = 1/2:")
c, a, b = METHODS['Runge-Kutta 4']
x0, y0, h = Q(0), [Q(1), Q(0)], Q(1, 2)
ks = []
for j in range(len(c)):
    Y = [y0[i] + sum(a[j][l] * ks[l][i] for l in range(j)) for i in range(2)]
    F = oscillator(x0 + c[j] * h, Y)
    ks.append([h * v for v in F])
    print(f'  {j + 1}', ' | '.join(text(v) for v in [x0 + c[j] * h] + Y + F + ks[-1]))
increment = [sum(b[j] * ks[j][i] for j in range(len(c))) for i in range(2)]
end_double = float_step('Runge-Kutta 4', 0.0, [1.0, 0.0], 0.5)
increment_double = [0.0, 0.0]
for j in range(len(c)):
    increment_double = [increment_double[i] + float(b[j]) * float(ks[j][i]) for i in range(2)]
assert all(text(increment[i]) == text(Q(increment_double[i])) for i in range(2))
print('  step 1', ' | '.join([text(x0 + h)] + [shown(y0[i] + increment[i], end_double[i])
                                               for i in range(2)] + [text(v) for v in increment]))
