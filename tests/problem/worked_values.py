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
