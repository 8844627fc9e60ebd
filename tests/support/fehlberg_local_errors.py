#!/usr/bin/env python3
# Fehlberg's pair adapting its steps on the lesson's y' = -2x - y, y(0) = -1,
# to x1 = 2 from h0 = 0.1, both tolerances 1E-6 (the controller of
# numerics/adaptive.h: sc = 1E-6 + 1E-6·max(|y0|, |y1|), err = |estimate|/sc,
# h·min(5, max(0.2, 0.9·(1/err)^(1/5))), the last step landing on x1), in
# double arithmetic independently of the program. For each accepted step:
# its true local error (the step from the exact value y = 2 - 2x - 3e^(-x)
# against the exact value at x + h) and that over the estimate; then, for a
# reference accurate to `accuracy` of max(1, |y|), the lowest, median and
# highest ratio of the steps whose local error it can measure (at least ten
# times its accuracy at x + h), as the run's note states them, and what it
# can measure at x1.
import math
import statistics

A = [[], [1 / 4], [3 / 32, 9 / 32], [1932 / 2197, -7200 / 2197, 7296 / 2197],
     [439 / 216, -8, 3680 / 513, -845 / 4104], [-8 / 27, 2, -3544 / 2565, 1859 / 4104, -11 / 40]]
C = [0, 1 / 4, 3 / 8, 12 / 13, 1, 1 / 2]
E = [1 / 360, 0, -128 / 4275, -2197 / 75240, 1 / 50, 2 / 55]  # fifth- minus fourth-order weights
B = [16 / 135, 0, 6656 / 12825, 28561 / 56430, -9 / 50, 2 / 55]


def f(x, y): return -2 * x - y
def exact(x): return 2 - 2 * x - 3 * math.exp(-x)


def step(x, y, h):
    k = []
    for i in range(6):
        k.append(f(x + C[i] * h, y + h * sum(A[i][j] * k[j] for j in range(i))))
    return y + h * sum(b * kj for b, kj in zip(B, k)), h * sum(e * kj for e, kj in zip(E, k))


x, y, h, x1 = 0.0, -1.0, 0.1, 2.0
accepted = []
while True:
    landing = x + 1.01 * h - x1 >= 0
    if landing:
        h = x1 - x
    y1, estimate = step(x, y, h)
    err = abs(estimate) / (1e-6 + 1e-6 * max(abs(y), abs(y1)))
    if err <= 1:
        local = abs(step(x, exact(x), h)[0] - exact(x + h))
        accepted.append((x, h, local, local / abs(estimate), max(1, abs(exact(x + h)))))
        x, y = (x1 if landing else x + h), y1
        if landing:
            break
    h *= min(5, max(0.2, 0.9 * (1 / err) ** 0.2))

for x, h, local, ratio, size in accepted:
    print(f"x = {x:.4f}  h = {h:.4f}  local error {local:.3E}  over the estimate {ratio:.3E}")
print(f"error at x1 {abs(y - exact(x1)):.2E}, tolerance there "
      f"{1e-6 + 1e-6 * abs(exact(x1)):.2E}")
for accuracy in (0, 1e-12, 1e-9, 1e-7):
    ratios = sorted(r for _, _, local, r, size in accepted if local >= 10 * accuracy * size)
    judged = (f"{len(ratios)} steps, between {ratios[0]:.2E} and {ratios[-1]:.2E} "
              f"(median {statistics.median(ratios):.2E})") if ratios else "no step"
    print(f"accuracy {accuracy:.0E}: {judged}; measurable at x1 from "
          f"{10 * accuracy * max(1, abs(exact(x1))):.2E}")
