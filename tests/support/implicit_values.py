#!/usr/bin/env python3
# The values the implicit step tests expect, worked out independently of the
# program: each step's implicit equation solved by mpmath.findroot at 30
# digits by Newton's method started from y0, as the program's iterations
# start (every stage at y0), then written to 9 significant digits.
#   backward Euler  y1 = y0 + h·f(x0 + h, y1)
#   trapezoid       y1 = y0 + h/2·(f(x0, y0) + f(x0 + h, y1))
# on y' = 5·e^(5x)·(y - x)² + 1, y(0) = -1 (solution x - e^(-5x)), h = 0.2.
# Each equation is a quadratic in y1; both roots are printed, to show that
# the steps follow the one near the solution. (Started from the explicit
# Euler value instead, backward Euler's step to x = 0.4 finds the far root
# 0.723523135, and the step after it has no real root.)
import mpmath

mpmath.mp.dps = 30

def f(x, y): return 5 * mpmath.exp(5 * x) * (y - x) ** 2 + 1

def backward_euler(x0, y0, h):
    return lambda y: y - y0 - h * f(x0 + h, y)

def trapezoid(x0, y0, h):
    return lambda y: y - y0 - h / 2 * (f(x0, y0) + f(x0 + h, y))

# g is a quadratic: its coefficients from three values, its roots by the formula.
def quadratic_roots(g):
    g0, g1, g2 = g(0), g(1), g(-1)
    a, b, c = (g1 + g2) / 2 - g0, (g1 - g2) / 2, g0
    d = mpmath.sqrt(b * b - 4 * a * c)
    return sorted([(-b - d) / (2 * a), (-b + d) / (2 * a)], key=lambda r: mpmath.re(r))

def run(name, equation, h=mpmath.mpf('0.2'), steps=5):
    x, y = mpmath.mpf(0), mpmath.mpf(-1)
    print(name)
    for k in range(1, steps + 1):
        g = equation(x, y, h)
        y = mpmath.findroot(g, y, solver='newton')
        roots = quadratic_roots(g)
        x = k * h
        print(f'  x = {mpmath.nstr(x, 3)}: {mpmath.nstr(y, 9)}'
              f'   (roots {", ".join(mpmath.nstr(r, 9) for r in roots)};'
              f' exact solution {mpmath.nstr(x - mpmath.exp(-5 * x), 9)})')

run('backward Euler', backward_euler)
run('trapezoid', trapezoid)
