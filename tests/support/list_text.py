"""Numbers as the lab's lists and tables write them, for the scripts here
that work expected texts out independently of the program."""
from decimal import Decimal, ROUND_HALF_EVEN, getcontext
import math

from mpmath import nstr

getcontext().prec = 60


def text(v):
    """15 significant digits, trailing zeros dropped: the lab's numbers. A
    value from a Fraction is exact; any other (an mpmath number) is read from
    its decimal text. A value whose 16th and later digits lie near a rounding
    edge is flagged: a few units of rounding error in the program's
    arithmetic must not carry it across, so fewer than two is flagged."""
    if hasattr(v, 'denominator'):
        d = Decimal(v.numerator) / Decimal(v.denominator)
    else:
        d = Decimal(str(v))
    if d == 0: return '0'
    assert Decimal('1E-4') <= abs(d) < Decimal('1E15'), 'needs the exponent form'
    unit = Decimal(1).scaleb(d.adjusted() - 14)
    rounded = d.quantize(unit, rounding=ROUND_HALF_EVEN)
    # How far the value lies from the edge between two texts, in units of the
    # last place of a double near it.
    ulp = Decimal(2) ** (math.frexp(float(d))[1] - 53)
    margin = (unit / 2 - abs(d - rounded)) / ulp
    s = format(rounded, 'f')
    if '.' in s: s = s.rstrip('0').rstrip('.')
    return s + (f' <-- {margin:.1f} ulps from a rounding edge' if margin < 2 else '')


def error_text(v):
    """Three significant digits with an exponent, as the notes write an
    error: "1.23E-05". A value within a thousandth of a unit in its third
    digit of a rounding edge is flagged: the program's rounding could then
    change the text. v is an mpmath number or anything Decimal reads."""
    d = Decimal(nstr(v, 30, strip_zeros=False, min_fixed=1, max_fixed=0)
                if hasattr(v, 'ae') else str(v))
    exponent = d.adjusted()
    mantissa = d.scaleb(-exponent)
    shown = mantissa.quantize(Decimal('0.01'))
    edge = abs((mantissa * 100) % 1 - Decimal('0.5'))
    flag = '  <- near a rounding edge' if edge < Decimal('0.001') else ''
    if abs(shown) >= 10:  # 9.995 rounds up to the next decade
        shown, exponent = (shown / 10).quantize(Decimal('0.01')), exponent + 1
    return f'{shown}E{exponent:+03d}{flag}'
