#!/usr/bin/env python3
# The values the order star tests expect, worked out independently of the
# program: R(z) of each method as the textbooks give it (the Taylor
# polynomial for the explicit ones, the Padé approximants of e^z for the
# implicit ones), |R(z)·e^(-z)| at 30 digits with mpmath, and whether it
# exceeds 1; the order of agreement p from the series of R(z) - e^z; and
# where the star's edge |R(z)·e^(-z)| = 1 crosses an axis, by findroot.
import mpmath

mpmath.mp.dps = 30
F = mpmath.mpf

METHODS = {
    # name: (numerator, denominator), coefficients from z^0 up
    'Euler': ([1, 1], [1]),
    'Runge-Kutta 4': ([1, 1, F(1) / 2, F(1) / 6, F(1) / 24], [1]),
    'Backward Euler': ([1], [1, -1]),
    'Trapezoid': ([1, F(1) / 2], [1, -F(1) / 2]),
    'Radau IIA 3': ([1, F(1) / 3], [1, -F(2) / 3, F(1) / 6]),
    'Gauss-Legendre 4': ([1, F(1) / 2, F(1) / 12], [1, -F(1) / 2, F(1) / 12]),
    'Runge-Kutta-Fehlberg': ([1, 1, F(1) / 2, F(1) / 6, F(1) / 24, F(1) / 120, F(1) / 2080], [1]),
    'Runge-Kutta-Merson': ([1, 1, F(1) / 2, F(1) / 6, F(1) / 24, F(1) / 144], [1]),
}

def r(name, z):
    p, q = METHODS[name]
    return mpmath.polyval(p[::-1], z) / mpmath.polyval(q[::-1], z)

def star_modulus(name, z):
    return abs(r(name, z) * mpmath.exp(-z))

def order_of_agreement(name):
    p, q = METHODS[name]
    series = mpmath.taylor(lambda z: r(name, z) - mpmath.exp(z), 0, len(p) + len(q))
    for k, c in enumerate(series):
        if abs(c) > F(10) ** -20:
            return k - 1, c

POINTS = {
    'Euler': [0.3j, -0.3j, 0.3, -0.3, -10, 20j, 5],
    'Runge-Kutta 4': [0.3, 0.3 * mpmath.expjpi(F(1) / 5), 0.3 * mpmath.expjpi(F(2) / 5),
                      -0.3, 2j, 3j, -10, 20j, 10, 14 + 0.5j, -14 + 0.5j],
    'Backward Euler': [0.3, -0.3, 0.3j, 0.9, 5, -5],
    'Trapezoid': [-0.3 + 1j, 0.3 + 1j, 1.5, -1.5, -5, 5, 0.3 * mpmath.expjpi(F(2) / 3), 3j],
    'Radau IIA 3': [0.3, 0.3 * mpmath.expjpi(F(1) / 4), 0.3 * mpmath.expjpi(F(1) / 2), 2.5],
    'Gauss-Legendre 4': [0.3, 0.3 * mpmath.expjpi(F(1) / 5), 3 + 1.7j, -3 - 1.7j],
    'Runge-Kutta-Fehlberg': [],
    'Runge-Kutta-Merson': [],
}

for name in METHODS:
    p, c = order_of_agreement(name)
    print(f'{name}: p = {p}, R(z) - e^z = {mpmath.nstr(c, 10)}·z^{p + 1} + ...')
    for z in POINTS[name]:
        z = mpmath.mpc(z)
        m = star_modulus(name, z)
        print(f'  z = {mpmath.nstr(z.real, 17)} + {mpmath.nstr(z.imag, 17)}i: '
              f'|R(z)e^(-z)| = {mpmath.nstr(m, 12)}, {"inside" if m > 1 else "outside"}')

# Edges on the axes: the trapezoid's on the real axis beyond its pole 2 and
# its zero -2 (mirror images), Runge-Kutta 4's on the imaginary axis where
# |R(iy)| = 1, y = 2√2, for |e^(-iy)| = 1.
trapezoid_edge = mpmath.findroot(lambda x: star_modulus('Trapezoid', x) - 1, 2.4)
print('trapezoid edge on the real axis: ±' + mpmath.nstr(trapezoid_edge, 17))
rk4_edge = mpmath.findroot(lambda y: star_modulus('Runge-Kutta 4', mpmath.mpc(0, y)) - 1, 2.8)
print('Runge-Kutta 4 edge on the imaginary axis: ' + mpmath.nstr(rk4_edge, 17) +
      ', 2√2 = ' + mpmath.nstr(2 * mpmath.sqrt(2), 17))
