#!/usr/bin/env python3
"""The Stages table of one step of Symplectic Euler and Störmer-Verlet, as
the One step page lists it, worked out independently of the program: each
pair from its textbook tableaus, stepped in exact rational arithmetic, the
numbers written to 15 significant digits as the lab writes them. A value
whose 16th and later digits lie near a rounding edge is flagged, since the
program's rounding errors could then change its text.

A partitioned pair steps positions q with the tableau (c, a, b) and momenta
p with (ĉ, â, b̂): Q_i = q0 + h·Σ a_ij·K_j with K_j = f(x0 + c_j·h, P_j),
P_i = p0 + h·Σ â_ij·L_j with L_j = g(x0 + ĉ_j·h, Q_j); the step adds
h·Σ b_j·K_j to q and h·Σ b̂_j·L_j to p. A row per stage j: j, x + c_j·h,
x + ĉ_j·h, Y_j (Q_j in the positions, P_j in the momenta), then its slopes
(K_j in the positions, L_j in the momenta); the step's row: the end x
under both abscissae, the end y, the increment.

Run: python3 partitioned_stages.py"""
from fractions import Fraction as Q
from list_text import text


# (c, a, b) of each tableau.
EULER = ([Q(0)], [[Q(0)]], [Q(1)])
BACKWARD_EULER = ([Q(1)], [[Q(1)]], [Q(1)])
LOBATTO_IIIA = ([Q(0), Q(1)], [[Q(0), Q(0)], [Q(1, 2), Q(1, 2)]], [Q(1, 2), Q(1, 2)])
LOBATTO_IIIB = ([Q(0), Q(1)], [[Q(1, 2), Q(0)], [Q(1, 2), Q(0)]], [Q(1, 2), Q(1, 2)])

PAIRS = {
    'Symplectic Euler': (EULER, BACKWARD_EULER),
    'Störmer-Verlet': (LOBATTO_IIIA, LOBATTO_IIIB),
}


def stages(pair, F, momentum, x0, y0, h):
    """Every stage's abscissae, Y_j and slopes, and the increment. The stages
    are solved as the equations stand, by fixed-point iteration from y0: for
    these pairs each sweep fixes at least one more part, so as many sweeps as
    there are parts reach the exact values."""
    (c, a, b), (ch, ah, bh) = pair
    s, n = len(c), len(y0)
    Y = [list(y0) for _ in range(s)]
    slope = [[Q(0)] * n for _ in range(s)]
    for _ in range(4 * s):
        for i in range(s):
            for k in range(n):
                A = ah if momentum[k] else a
                Y[i][k] = y0[k] + sum(A[i][j] * (h * slope[j][k]) for j in range(s))
        for i in range(s):
            at_q, at_p = F(x0 + c[i] * h, Y[i]), F(x0 + ch[i] * h, Y[i])
            slope[i] = [at_p[k] if momentum[k] else at_q[k] for k in range(n)]
    increment = [sum((bh if momentum[k] else b)[j] * (h * slope[j][k]) for j in range(s))
                 for k in range(n)]
    return [x0 + cj * h for cj in c], [x0 + cj * h for cj in ch], Y, slope, increment


def rows(pair, F, momentum, x0, y0, h, step=1):
    """The rows of step `step` of the run from (x0, y0)."""
    x, y = x0, list(y0)
    for _ in range(step - 1):
        increment = stages(pair, F, momentum, x, y, h)[-1]
        x, y = x + h, [y[k] + increment[k] for k in range(len(y))]
    qx, px, Y, slope, increment = stages(pair, F, momentum, x, y, h)
    table = [[str(j + 1), text(qx[j]), text(px[j])] + [text(v) for v in Y[j] + slope[j]]
             for j in range(len(qx))]
    end = [y[k] + increment[k] for k in range(len(y))]
    table.append([f'step {step}', text(x + h), text(x + h)] + [text(v) for v in end + increment])
    return table


oscillator = lambda x, y: [y[1], -y[0]]   # y1' = y2, y2' = -y1
swapped = lambda x, y: [-y[1], y[0]]      # the same with the momentum first

CASES = [
    ("y1' = y2, y2' = -y1 from (1, 0), y1 the position", oscillator, [False, True], [Q(1), Q(0)]),
    ("y1' = -y2, y2' = y1 from (0, 1), y1 the momentum", swapped, [True, False], [Q(0), Q(1)]),
]

# h as the program holds it: the double nearest 1/10, exactly.
h = Q(0.1)

for name, F, momentum, y0 in CASES:
    for method, pair in PAIRS.items():
        print(f'{method} on {name}, x0 = 0, h = 0.1:')
        for row in rows(pair, F, momentum, Q(0), y0, h):
            print('  ' + ' | '.join(row))

# A later step, whose start the run carries: Störmer-Verlet's third.
print("Störmer-Verlet on y1' = y2, y2' = -y1 from (1, 0), step 3 of h = 0.1:")
for row in rows(PAIRS['Störmer-Verlet'], oscillator, [False, True], Q(0), [Q(1), Q(0)], h, step=3):
    print('  ' + ' | '.join(row))
