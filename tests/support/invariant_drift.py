#!/usr/bin/env python3
# The drift of the pendulum's energy the Field page's notes report, worked
# out independently of the program: y1' = y2, y2' = -sin(y1) from (2, 0),
# I = y2^2/2 - cos(y1), h = 0.25 to x1 = 20 (80 steps), each method from its
# published Butcher tableau in mpmath at 40 digits, an implicit step's stage
# equations K_j = F(y0 + h·sum_l a_jl K_l) solved by Newton's method to full
# precision. For each method: I(y) - I(y0) at x1, its largest size over the
# run, and over the run's first half (x <= 10) and second half, written to
# three significant digits as the notes write them ("-2.18E-04"). A value
# within a thousandth of a unit in its third digit of a rounding edge is
# flagged: the program's rounding could then change the text.
from mpmath import mp, mpf, sqrt, sin, cos, matrix, lu_solve, nstr
from list_text import error_text as text

mp.dps = 40
s3 = sqrt(3)
half, third = mpf(1) / 2, mpf(1) / 3
METHODS = {
    'Runge-Kutta 4': ([[0, 0, 0, 0], [half, 0, 0, 0], [0, half, 0, 0], [0, 0, 1, 0]],
                      [mpf(1) / 6, third, third, mpf(1) / 6]),
    'Backward Euler': ([[1]], [1]),
    'Trapezoid': ([[0, 0], [half, half]], [half, half]),
    'Implicit mid point': ([[half]], [1]),
    'SDIRK 2': ([[1 - sqrt(2) / 2, 0], [sqrt(2) / 2, 1 - sqrt(2) / 2]], [sqrt(2) / 2, 1 - sqrt(2) / 2]),
    'Radau IIA 3': ([[mpf(5) / 12, mpf(-1) / 12], [mpf(3) / 4, mpf(1) / 4]], [mpf(3) / 4, mpf(1) / 4]),
    'Gauss-Legendre 4': ([[mpf(1) / 4, mpf(1) / 4 - s3 / 6], [mpf(1) / 4 + s3 / 6, mpf(1) / 4]],
                         [half, half]),
}


def F(y):
    return [y[1], -sin(y[0])]


def jacobian(y):
    return [[0, 1], [-cos(y[0]), 0]]


def energy(y):
    return y[1] ** 2 / 2 - cos(y[0])


def step(A, b, y0, h):
    s, n = len(b), len(y0)
    K = [F(y0) for _ in range(s)]
    for _ in range(60):
        stages = [[y0[i] + h * sum(A[j][l] * K[l][i] for l in range(s)) for i in range(n)]
                  for j in range(s)]
        residual = matrix(s * n, 1)
        M = matrix(s * n, s * n)
        for j in range(s):
            f, J = F(stages[j]), jacobian(stages[j])
            for i in range(n):
                residual[j * n + i] = K[j][i] - f[i]
                for l in range(s):
                    for m in range(n):
                        M[j * n + i, l * n + m] = (1 if (j, i) == (l, m) else 0) - h * A[j][l] * J[i][m]
        delta = lu_solve(M, residual)
        K = [[K[j][i] - delta[j * n + i] for i in range(n)] for j in range(s)]
        if max(abs(d) for d in delta) < mpf(10) ** -35:
            break
    return [y0[i] + h * sum(b[j] * K[j][i] for j in range(s)) for i in range(n)]


h, steps = mpf('0.25'), 80
for name, (A, b) in METHODS.items():
    y = [mpf(2), mpf(0)]
    start = energy(y)
    first = second = mpf(0)
    for k in range(1, steps + 1):
        y = step(A, b, y, h)
        size = abs(energy(y) - start)
        if 2 * k <= steps:
            first = max(first, size)
        else:
            second = max(second, size)
    drift = energy(y) - start
    print(f'{name}: {text(drift)}, largest {text(max(first, second))};'
          f' second half / first half = {nstr(second / first, 4)}')
