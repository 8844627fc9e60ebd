#!/usr/bin/env python3
# The drift the Field page's notes report for one equation with an
# invariant, worked out independently of the program: y' = y from (0, 1) to
# x1 = 2, I = y*exp(-x), which the solutions y = C*exp(x) keep. Euler
# multiplies y by 1 + h a step, so after i steps I(x_i, y_i) - I(x0, y0) =
# (1 + h)^i * exp(-i*h) - 1, in mpmath at 40 digits, for h = 0.25, 0.125 and
# 0.0625: at x1, its largest size over the run, and over the run's first
# half (x <= 1) and second half, written to three significant digits as the
# notes write them. A value within a thousandth of a unit in its third digit
# of a rounding edge is flagged: the program's rounding could then change
# the text.
from mpmath import mp, mpf, exp, nstr
from list_text import error_text as text

mp.dps = 40


x1 = mpf(2)
for h in (mpf('0.25'), mpf('0.125'), mpf('0.0625')):
    steps = int(x1 / h)
    drift = [(1 + h) ** i * exp(-i * h) - 1 for i in range(steps + 1)]
    first = max(abs(d) for i, d in enumerate(drift) if 2 * i * h <= x1)
    second = max(abs(d) for i, d in enumerate(drift) if 2 * i * h > x1)
    largest = max(abs(d) for d in drift)
    shape = 'growing' if second >= 1.5 * first else 'not growing' if second <= 1.1 * first else '?'
    print(f'with h = {nstr(h, 6)}: {text(drift[-1])}, largest {text(largest)}, {shape}'
          f'  (halves {nstr(first, 6)}, {nstr(second, 6)})')
    print('   drift after one step:', nstr(drift[1], 20))
