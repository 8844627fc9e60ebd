#!/usr/bin/env python3
# The values the library's tests expect at x1, worked out independently of
# the program: decimal arithmetic to 60 digits, sin and cos by their series,
# and the solution of y' = x^2 + y^2, y(0) = 0 (which has no elementary
# formula) by its power series, which converges for |x| < 2.003.
from decimal import Decimal as D, getcontext
getcontext().prec = 60
def sin(x):
    s, t, n = D(0), x, 1
    while abs(t) > D(10)**-58:
        s += t; t = -t*x*x/((n+1)*(n+2)); n += 2
    return s
def cos(x):
    s, t, n = D(0), D(1), 0
    while abs(t) > D(10)**-58:
        s += t; t = -t*x*x/((n+1)*(n+2)); n += 2
    return s
def tan(x): return sin(x)/cos(x)
e = D(1).exp()
rows = {
 'lesson y(1)': D(-3)/e,
 'textbook y(2)': D(9) - D('0.5')*D(2).exp(),
 'growth y(2)': D(2).exp(),
 'logistic y(6)': D('0.1')/(D('0.1') + D('0.9')*D(-6).exp()),
 'bell y(2)': D(-4).exp(),
 'stiff y(1)': (2500*cos(D(1)) + 50*sin(D(1)))/2501 - D(2500)/2501*D(-50).exp(),
 'prothero y(1)': sin(D(1)),
 'cos y(3)': sin(D(3)),
 'ycos y(6)': sin(D(6)).exp(),
 'tan y(1.5)': tan(D('1.5')),
}
# y' = x^2 + y^2, y(0) = 0: power series y = sum a_n x^n, (n+1) a_{n+1} = [n == 2] + sum_k a_k a_{n-k}
N = 400
a = [D(0)]*(N+1)
for n in range(N):
    c = D(1) if n == 2 else D(0)
    c += sum(a[k]*a[n-k] for k in range(n+1))
    a[n+1] = c/(n+1)
rows['riccati y(1)'] = sum(a)
rows['riccati y(0.5)'] = sum(a[n]*D('0.5')**n for n in range(N+1))
for k, v in rows.items(): print(f'{k:16s} {+v:.25E}')

# y' = y^2, y(0) = 1 is y = 1/(1 - x). Runge-Kutta 4 with h = 0.25 from 0
# back to x1 = -1: the global error is y (as the Lab steps table lists it)
# minus y(x), the local error one step from y(x_{i-1}) minus y(x_i).
from mpmath import mp, mpf
mp.dps = 40
def exact(x): return 1/(1 - mpf(x))
def rk4(x, y, h):
    f = lambda y: y*y
    k1 = f(y); k2 = f(y + h/2*k1); k3 = f(y + h/2*k2); k4 = f(y + h*k3)
    return y + h/6*(k1 + 2*k2 + 2*k3 + k4)
listed = ['0.800013573386688', '0.666680654825929', '0.571440629940669', '0.500010017307444']
for i, y in enumerate(listed, 1):
    x, h = mpf(-0.25)*i, mpf(-0.25)
    print(f'backwards x = {float(x)}: global {mp.nstr(mpf(y) - exact(x), 8)}, '
          f'local {mp.nstr(rk4(x - h, exact(x - h), h) - exact(x), 8)}')

# The convergence study backwards on the same problem: Euler with N steps of
# h = -1/N from 0 to -1, its error |y_N - y(-1)|, y(-1) = 0.5.
for N in (1, 2, 4, 8):
    h, y = -mpf(1)/N, mpf(1)
    for i in range(N): y = y + h*y*y
    print(f'backwards Euler N = {N}: error {mp.nstr(abs(y - mpf(0.5)), 10)}')
