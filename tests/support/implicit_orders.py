#!/usr/bin/env python3
# The observed orders the convergence tests expect of the lab's five implicit
# methods, worked out independently of the program in 50-digit arithmetic
# (mpmath). On a linear equation y' = lam·y + g(x) each step's stage
# equations K_j = g(x0 + c_j·h) + lam·(y0 + h·Σ_l a_jl·K_l) are a linear
# system, solved here exactly; no Newton's method, no difference quotients.
# Prints log2 of the error with N/2 steps over the error with N steps at x1,
# and the errors themselves, for each problem below.
import sys
from mpmath import mp, mpf, sqrt, exp, cos, sin, log, matrix, lu_solve, nstr

mp.dps = 50
s3 = sqrt(3)
TABLEAUS = {
    'Backward Euler': ([[1]], [1], [1]),
    'Trapezoid': ([[0, 0], [mpf(1)/2, mpf(1)/2]], [mpf(1)/2, mpf(1)/2], [0, 1]),
    'Implicit mid point': ([[mpf(1)/2]], [1], [mpf(1)/2]),
    'Radau IIA 3': ([[mpf(5)/12, mpf(-1)/12], [mpf(3)/4, mpf(1)/4]], [mpf(3)/4, mpf(1)/4],
                    [mpf(1)/3, 1]),
    'Gauss-Legendre 4': ([[mpf(1)/4, mpf(1)/4 - s3/6], [mpf(1)/4 + s3/6, mpf(1)/4]],
                         [mpf(1)/2, mpf(1)/2], [mpf(1)/2 - s3/6, mpf(1)/2 + s3/6]),
}

# name: (lam, g, x0, y0, x1, exact y(x1))
PROBLEMS = {
    # The program's equation y' = -2x - y from (0, -1) to 1: y = -3e^-x - 2x + 2.
    'lesson': (-1, lambda x: -2*x, 0, mpf(-1), 1, -3*exp(-1)),
    # y' = y - x^2 + 1 from (0, 0.5) to 2: y = (x + 1)^2 - e^x/2.
    'textbook': (1, lambda x: 1 - x*x, 0, mpf(1)/2, 2, 9 - exp(2)/2),
    # y' = -50(y - cos x) from (0, 0) to 1:
    # y = (2500 cos x + 50 sin x)/2501 - (2500/2501)·e^(-50x).
    'stiff': (-50, lambda x: 50*cos(x), 0, mpf(0), 1,
              (2500*cos(1) + 50*sin(1))/2501 - mpf(2500)/2501*exp(-50)),
}

def run(tableau, problem, N):
    A, b, c = tableau
    lam, g, x0, y, x1, _ = problem
    s = len(b)
    h = mpf(x1 - x0)/N
    for i in range(N):
        x = x0 + i*h
        M, r = matrix(s, s), matrix(s, 1)
        for j in range(s):
            for l in range(s):
                M[j, l] = (1 if j == l else 0) - lam*h*A[j][l]
            r[j] = g(x + c[j]*h) + lam*y
        K = lu_solve(M, r)
        y = y + h*sum(b[j]*K[j] for j in range(s))
    return y

# |y_N - y(x1)|, or None where a step's linear system is singular: there the
# step has no value, as the program's Newton matrix I - h·A·lam is singular.
def error(tableau, problem, N):
    try:
        return abs(run(tableau, problem, N) - problem[5])
    except ZeroDivisionError:
        return None

def main(name, doublings):
    problem = PROBLEMS[name]
    print(f'{name}: log2(error N/2 / error N), N = 2 ... 2^{doublings}')
    for method, tableau in TABLEAUS.items():
        errors = [error(tableau, problem, 2**k) for k in range(doublings + 1)]
        orders = [nstr(log(errors[k-1]/errors[k], 2), 6) if errors[k-1] and errors[k] else '-'
                  for k in range(1, doublings + 1)]
        print(f'  {method:20} orders {" ".join(orders)}')
        print(f'  {"":20} errors {" ".join(nstr(e, 3) if e else "none" for e in errors)}')

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'lesson', int(sys.argv[2]) if len(sys.argv) > 2 else 6)
