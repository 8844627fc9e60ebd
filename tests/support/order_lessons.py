#!/usr/bin/env python3
"""Values for tests/studies/order_notes_test.cpp, worked out apart from the
program: Runge-Kutta steps on linear equations y' = p(x)·y + q(x), whose
stage equations (I - h·p·A)Y = y_n + h·A·q are solved exactly (mpmath, 30
digits), so implicit and explicit tableaus step alike.

1. Prothero-Robinson, y' = λ(y - sin x) + cos x, y(0) = 0 on [0, 1]: the
   observed orders log2(e(N/2)/e(N)) of Gauss-Legendre 4, Radau IIA 3 and
   SDIRK 2 for λ = -1E+6 and λ = -1.
2. The textbook's y' = y - x² + 1, y(0) = 0.5 on [0, 2]: the errors at N = 256
   of the order-4 methods, as multiples of Runge-Kutta 4's.
"""
import mpmath as mp

mp.mp.dps = 30
F = mp.mpf
s2, s3 = mp.sqrt(2), mp.sqrt(3)
g = (2 - s2) / 2
TABLEAUS = {
    'Runge-Kutta 4': ([0, F(1)/2, F(1)/2, 1],
                      [[0, 0, 0, 0], [F(1)/2, 0, 0, 0], [0, F(1)/2, 0, 0], [0, 0, 1, 0]],
                      [F(1)/6, F(1)/3, F(1)/3, F(1)/6]),
    'Runge-Kutta-Merson': ([0, F(1)/3, F(1)/3, F(1)/2, 1],
                           [[0]*5, [F(1)/3, 0, 0, 0, 0], [F(1)/6, F(1)/6, 0, 0, 0],
                            [F(1)/8, 0, F(3)/8, 0, 0], [F(1)/2, 0, -F(3)/2, 2, 0]],
                           [F(1)/6, 0, 0, F(2)/3, F(1)/6]),
    'Runge-Kutta-Gill': ([0, F(1)/2, F(1)/2, 1],
                         [[0, 0, 0, 0], [F(1)/2, 0, 0, 0], [(s2 - 1)/2, (2 - s2)/2, 0, 0],
                          [0, -s2/2, (2 + s2)/2, 0]],
                         [F(1)/6, (2 - s2)/6, (2 + s2)/6, F(1)/6]),
    'Kutta 3/8': ([0, F(1)/3, F(2)/3, 1],
                  [[0, 0, 0, 0], [F(1)/3, 0, 0, 0], [-F(1)/3, 1, 0, 0], [1, -1, 1, 0]],
                  [F(1)/8, F(3)/8, F(3)/8, F(1)/8]),
    'Gauss-Legendre 4': ([(3 - s3)/6, (3 + s3)/6],
                         [[F(1)/4, F(1)/4 - s3/6], [F(1)/4 + s3/6, F(1)/4]], [F(1)/2, F(1)/2]),
    'Radau IIA 3': ([F(1)/3, 1], [[F(5)/12, -F(1)/12], [F(3)/4, F(1)/4]], [F(3)/4, F(1)/4]),
    'SDIRK 2': ([g, 1], [[g, 0], [1 - g, g]], [1 - g, g]),
}


def run(name, p, q, x0, y0, x1, N):
    """y_N of N steps of the method on y' = p(x)·y + q(x)."""
    c, A, b = TABLEAUS[name]
    s = len(c)
    h = (F(x1) - x0) / N
    y = F(y0)
    for n in range(N):
        x = x0 + n * h
        M, r = mp.matrix(s, s), mp.matrix(s, 1)
        for i in range(s):
            for j in range(s):
                M[i, j] = (1 if i == j else 0) - h * A[i][j] * p(x + c[j] * h)
            r[i] = y + h * sum(A[i][j] * q(x + c[j] * h) for j in range(s))
        Y = mp.lu_solve(M, r)
        y += h * sum(b[i] * (p(x + c[i] * h) * Y[i] + q(x + c[i] * h)) for i in range(s))
    return y


def prothero(lam):
    return (lambda x: lam), (lambda x: -lam * mp.sin(x) + mp.cos(x))


def main():
    print('Prothero-Robinson, observed orders for N = 2 ... 4096 (errors at x = 1):')
    for lam in (-F(10)**6, F(-1)):
        p, q = prothero(lam)
        for name in ('SDIRK 2', 'Radau IIA 3', 'Gauss-Legendre 4'):
            errors = [abs(run(name, p, q, 0, 0, 1, 2**k) - mp.sin(1)) for k in range(13)]
            orders = [mp.log(errors[k - 1] / errors[k], 2) for k in range(1, 13)]
            shown = ' '.join(f'{float(o):.2f}' for o in orders)
            print(f'  lambda = {mp.nstr(lam, 3)}, {name}:', shown)
            print('    errors:', ' '.join(f'{float(e):.3e}' for e in errors))
    print('  h·|lambda| at N = 256 and 4096:', 1e6 / 256, 1e6 / 4096)

    print("Textbook, errors at N = 256 as multiples of Runge-Kutta 4's:")
    exact = 9 - F('0.5') * mp.exp(2)
    p, q = (lambda x: 1), (lambda x: 1 - x * x)
    first = None
    for name in ('Runge-Kutta 4', 'Runge-Kutta-Merson', 'Runge-Kutta-Gill', 'Kutta 3/8',
                 'Gauss-Legendre 4'):
        error = abs(run(name, p, q, 0, F('0.5'), 2, 256) - exact)
        first = first or error
        print(f'  {name}: {float(error):.3e}, {float(error / first):.4f}')


if __name__ == '__main__':
    main()
