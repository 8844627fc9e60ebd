#!/usr/bin/env python3
# The Newton iterations of backward Euler's first step on
#   y' = 5·e^(5x)·(y - x)² + 1, y(0) = -1, h = 0.2
# in Python's floats, each operation as a double rounds it, independently of
# the program: the stage slope K starts at 0 (the stage at y0) and each
# iteration solves (1 - h·J)·ΔK = -G for the residual G = K - f(x0 + h, Y),
# Y = y0 + h·K, with J = ∂f/∂y by the central difference quotient
# (f(Y + δ) - f(Y - δ))/(2δ), δ = ∛ε·max(1, |Y|); the iterations stop when
# |ΔK| <= 1e-12·max(1, |K|) or the residual is 0. Printed as the Newton
# iterations table writes them: Y with 15 significant digits, the residual
# and the update with three; each residual over the square of the one
# before; then the Stages table's row of the converged stage (x, Y, K,
# k = h·K) and the step's end y1 = y0 + h·K with its increment h·K. The converged Y agrees with mpmath's root -0.249868817
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
K, update, rows = 0.0, 0.0, []
for k in range(21):
    Y = y0 + h * (0.0 + 1.0 * K)
    G = K - f(x, Y)
    rows.append((k, Y, abs(G), abs(update)))
    if G == 0 or (k > 0 and abs(update) <= 1e-12 * max(1.0, abs(K))): break
    delta = math.cbrt(eps) * max(1.0, abs(Y))
    J = (f(x, Y + delta) - f(x, Y - delta)) / (2 * delta)
    m = 1.0 - h * 1.0 * J
    update = -G / m
    K = K + update
for k, Y, r, u in rows:
    print(k, fifteen(Y), three(r), three(u) if k else "")
for (k, _, r, _), (_, _, r1, _) in zip(rows, rows[1:]):
    print(f"r{k + 1}/r{k}^2 = {r1 / (r * r):.3g}")
Y = y0 + h * (0.0 + 1.0 * K)
print("stage:", fifteen(x), fifteen(Y), fifteen(K), fifteen(h * K))
print("end:", fifteen(x), fifteen(y0 + h * (0.0 + 1.0 * K)), fifteen(h * (0.0 + 1.0 * K)))
