#!/usr/bin/env python3
# The Newton iterations of backward Euler's first step on
#   y' = 5·e^(5x)·(y - x)² + 1, y(0) = -1, h = 0.2
# in Python's floats, each operation as a double rounds it, independently of
# the program: the stage slope K starts at 0 (the stage at y0) and each
# iteration solves (1 - h·J)·ΔK = -G for the residual G = K - f(x0 + h, Y),
# Y = y0 + h·K, with the one J = ∂f/∂y at (x0, y0) by the central difference
# quotient (f(y0 + δ) - f(y0 - δ))/(2δ), δ = ∛ε·max(1, |y0|): the simplified
# Newton method. θ = |ΔK_k|/|ΔK_(k-1)|; the iterations stop when
# θ/(1 - θ)·|ΔK| (the first update: |ΔK| itself) is at most
# 0.01·1e-12·max(1, |K|), or the residual is 0. They give up when θ >= 1 or
# θ^(20 - k)/(1 - θ)·|ΔK| is above that, and start again from K = 0 with J
# taken afresh at every iterate's (x0 + h, Y): the full Newton method, with
# the same stop. Printed as the Newton iterations
# table writes them: Y with 15 significant digits, the residual, the update
# and θ with three; then the Stages table's row of the converged stage
# (x, Y, K, k = h·K) and the step's end y1 = y0 + h·K with its increment h·K.
# The converged Y agrees with mpmath's root -0.249868817
# (tests/support/implicit_values.py).
import math
import sys

def f(x, y): return 5 * math.exp(5 * x) * (y - x) * (y - x) + 1

def fifteen(v):
    if v == 0: return "0"
    mantissa, exponent = f"{v:.14e}".split("e")
    digits = mantissa.replace("-", "").replace(".", "").rstrip("0")
    e = int(exponent)
    sign = "-" if v < 0 else ""
    if -5 <= e < 15:
        if e >= 0:
            whole = digits[:e + 1].ljust(e + 1, "0")
            rest = digits[e + 1:]
            return sign + whole + ("." + rest if rest else "")
        return sign + "0." + "0" * (-e - 1) + digits
    return sign + digits[0] + ("." + digits[1:] if len(digits) > 1 else "") + f"E{e:+03d}"

def three(v): return f"{v:.2E}"

x0, y0, h = 0.0, -1.0, 0.2
x = x0 + 1.0 * h
eps = sys.float_info.epsilon
safety, tolerance, limit = 0.01, 1e-12, 20

def quotient(x, y):
    delta = math.cbrt(eps) * max(1.0, abs(y))
    return (f(x, y + delta) - f(x, y - delta)) / (2 * delta)

# One run of the iterations; `every` takes J at each iterate's stage point
# (x0 + h, Y), else once at (x0, y0). Returns the rows and why they stopped
# without converging (None when they converged).
def iterations(every):
    K, update, theta, before, rows = 0.0, 0.0, None, 0.0, []
    m = None
    for k in range(limit + 2):
        Y = y0 + h * (0.0 + 1.0 * K)
        G = K - f(x, Y)
        rows.append((k, Y, abs(G), update, theta, K))
        scale = max(1.0, abs(K))
        if G == 0: return rows, None
        if k > 0:
            if theta is not None and theta >= 1:
                if update <= tolerance * scale: return rows, None
            else:
                distance = update if theta is None else theta / (1 - theta) * update
                if distance <= safety * tolerance * scale: return rows, None
        if k + 1 > limit: return rows, "limit"
        if not every and theta is not None and update > tolerance * scale:
            if theta >= 1: return rows, "theta"
            if theta ** (limit - k) / (1 - theta) * update > safety * tolerance * scale:
                return rows, "slow"
        if m is None or every:
            J = quotient(x, Y) if every else quotient(x0, y0)
            m = 1.0 - h * 1.0 * J
        new = -G / m
        theta = None if k == 0 else abs(new) / update
        before, update = update, abs(new)
        K = K + new

rows, why = iterations(False)
print("simplified:", why)
if why:
    more, why = iterations(True)
    rows += more
    print("full:", why)
for k, Y, r, u, t, K in rows:
    print(k, fifteen(Y), three(r), three(u) if k else "", three(t) if t is not None else "")
K = rows[-1][5]
Y = y0 + h * (0.0 + 1.0 * K)
print("stage:", fifteen(x), fifteen(Y), fifteen(K), fifteen(h * K))
print("end:", fifteen(x), fifteen(y0 + h * (0.0 + 1.0 * K)), fifteen(h * (0.0 + 1.0 * K)))
