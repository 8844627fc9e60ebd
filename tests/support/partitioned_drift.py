"""Energy drift of Symplectic Euler, Störmer-Verlet and Runge-Kutta 4 on the
oscillator q' = p, p' = -q from (1, 0) with h = 0.1 to x = 100 (1000 steps),
in 40-digit arithmetic: I - I0 at the end and the largest |I - I0|, with I =
(q^2 + p^2)/2, for the Field page's notes. Run: python3 partitioned_drift.py"""
from mpmath import mp, mpf, nstr

mp.dps = 40
h = mpf("0.1")


def symplectic_euler(q, p):
    p1 = p - h * q
    return q + h * p1, p1


def stormer_verlet(q, p):
    half = p - h / 2 * q
    q1 = q + h * half
    return q1, half - h / 2 * q1


def runge_kutta_4(q, p):
    f = lambda y: (y[1], -y[0])
    y = (q, p)
    k1 = f(y)
    k2 = f((y[0] + h / 2 * k1[0], y[1] + h / 2 * k1[1]))
    k3 = f((y[0] + h / 2 * k2[0], y[1] + h / 2 * k2[1]))
    k4 = f((y[0] + h * k3[0], y[1] + h * k3[1]))
    return tuple(y[i] + h / 6 * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]) for i in range(2))


for name, step in [("Runge-Kutta 4", runge_kutta_4), ("Symplectic Euler", symplectic_euler),
                   ("Störmer-Verlet", stormer_verlet)]:
    q, p = mpf(1), mpf(0)
    largest = mpf(0)
    for _ in range(1000):
        q, p = step(q, p)
        drift = (q * q + p * p) / 2 - mpf("0.5")
        largest = max(largest, abs(drift))
    print(f"{name}: {nstr(drift, 3, min_fixed=1, max_fixed=0)}, largest {nstr(largest, 3, min_fixed=1, max_fixed=0)}")
