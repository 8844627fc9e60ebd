#!/usr/bin/env python3
"""Independent values for the exact stability tests.

For each tableau R(z) = P(z)/Q(z) is worked out with sympy's determinants
(det(I - zA + z·1bᵀ) over det(I - zA)) and cancelled by sympy over the
field of its square roots; the verdicts are found another way than the
program finds them:
  - poles: Q's roots to 50 digits (mpmath), a part below 1e-40 taken as 0,
    a pole's exact value confirmed by putting it into Q;
  - |R(iy)| ≤ 1: E(w) = |Q(iy)|² - |P(iy)|², w = y², has its real roots
    isolated by sympy (of its norm over the square roots, a rational
    polynomial) and its sign taken between them;
  - algebraic stability: sympy's own test of positive semidefiniteness, and
    the first negative principal minor by brute force;
  - symplecticity: M = 0 entry by entry.
The texts are written by a formatter of this script's own.

Prints, per tableau, the coefficients of P and Q as the entry reader reads
them, R's text and the four verdicts; with --cpp, the rows of the table in
tests/symbolic/exact_stability_test.cpp. Takes about half a minute.
"""
from itertools import combinations, product
import sys
import sympy as sp

z, w = sp.symbols("z w")
SUP = str.maketrans("0123456789", "⁰¹²³⁴⁵⁶⁷⁸⁹")


def num(text):
    return sp.radsimp(sp.sympify(text, rational=True))


def ratio(A, b):
    s = len(b)
    I = sp.eye(s)
    Am = sp.Matrix(A)
    one_b = sp.Matrix(s, s, lambda i, j: b[j])
    Q = sp.expand((I - z * Am).det(method="berkowitz"))
    P = sp.expand((I - z * Am + z * one_b).det(method="berkowitz"))
    roots = sorted({a for a in (P + Q).atoms(sp.Pow) if a.exp == sp.Rational(1, 2)}, key=str)
    g = sp.gcd(sp.Poly(P, z, extension=roots or None), sp.Poly(Q, z, extension=roots or None))
    if g.degree() > 0:
        P = sp.div(sp.Poly(P, z, extension=roots or None), g)[0].as_expr()
        Q = sp.div(sp.Poly(Q, z, extension=roots or None), g)[0].as_expr()
    unit = Q.subs(z, 0)
    p = [sp.radsimp(c / unit) for c in reversed(sp.Poly(sp.expand(P), z).all_coeffs())]
    q = [sp.radsimp(c / unit) for c in reversed(sp.Poly(sp.expand(Q), z).all_coeffs())]
    return [sp.expand(c) for c in p], [sp.expand(c) for c in q]


# ---- texts

def parts(x):
    """Denominator and (radicand, whole numerator) pairs of an expanded number."""
    terms = []
    for t in sp.Add.make_args(sp.expand(x)):
        c, r = sp.Integer(1), sp.Integer(1)
        for f in sp.Mul.make_args(t):
            if isinstance(f, sp.Pow) and f.exp == sp.Rational(1, 2):
                r *= f.base
            else:
                c *= f
        terms.append((r, sp.Rational(c)))
    d = sp.ilcm(1, 1, *[c.q for _, c in terms])
    return d, sorted(((r, c * d) for r, c in terms), key=lambda t: t[0])


def numerator_text(terms):
    k = next((i for i, (_, c) in enumerate(terms) if c > 0), None)
    if k is not None:
        terms = [terms[k]] + terms[:k] + terms[k + 1:]
    out = ""
    for r, c in terms:
        body = ("" if r != 1 and abs(c) == 1 else str(abs(c))) + ("" if r == 1 else f"√{r}")
        out += ("-" if c < 0 else "") + body if not out else (" - " if c < 0 else " + ") + body
    return out


def product_text(x, unit):
    d, terms = parts(x)
    n = numerator_text(terms)
    compound = len(terms) > 1
    if not unit:
        t = f"({n})" if compound and d != 1 else n
    elif n == "1":
        t = unit
    elif compound:
        t = f"({n}){unit}"
    else:
        t = n + ("·" if "√" in n else "") + unit
    return t if d == 1 else f"{t}/{d}"


def number_text(x):
    x = sp.expand(x)
    if x == 0:
        return "0"
    if x > 0:
        return product_text(x, "")
    t = product_text(-x, "")
    return "-" + (f"({t})" if len(parts(-x)[1]) > 1 and not t.startswith("(") else t)


def power(k):
    return "z" if k == 1 else "z" + str(k).translate(SUP)


def poly_text(p):
    out = number_text(p[0])
    for k, c in enumerate(p[1:], 1):
        if c != 0:
            out += (" - " if c < 0 else " + ") + product_text(abs(c), power(k))
    return out


def function_text(p, q):
    if len(q) == 1:
        return "R(z) = " + poly_text(p)
    top = poly_text(p) if len(p) == 1 else f"({poly_text(p)})"
    return f"R(z) = {top}/({poly_text(q)})"


def decimal_text(m, d):
    s = str(m).rjust(d + 1, "0")
    if d:
        s = (s[:-d] + "." + s[-d:]).rstrip("0").rstrip(".")
    return s


def approx(x):
    x = sp.N(x, 30)
    if x == 0:
        return "0"
    d = max(0, 2 - int(sp.floor(sp.log(abs(x), 10))))
    return decimal_text(int(sp.Integer(sp.floor(abs(x) * 10**d + sp.Rational(1, 2)))), d) \
        if x > 0 else "-" + approx(-x)


# ---- verdicts

def norm(e):
    """E times its conjugates over its square roots: rational coefficients."""
    roots = sorted({a for a in e.atoms(sp.Pow) if a.exp == sp.Rational(1, 2)}, key=str)
    out = sp.Integer(1)
    for signs in product([1, -1], repeat=len(roots)):
        out *= e.subs({r: s * r for r, s in zip(roots, signs)}, simultaneous=True)
    return sp.Poly(sp.expand(out), w)


def excess(p, q):
    y = sp.symbols("y", real=True)
    P = sum(c * (sp.I * y) ** k for k, c in enumerate(p))
    Q = sum(c * (sp.I * y) ** k for k, c in enumerate(q))
    e = sp.expand(sp.expand(Q * sp.conjugate(Q)) - sp.expand(P * sp.conjugate(P)))
    return sp.expand(e.subs(y, sp.sqrt(w)))


def sign_at(e, x):
    v = sp.expand(e.subs(w, x))
    return 0 if sp.radsimp(v) == 0 else (1 if sp.N(v, 60) > 0 else -1)


def first_negative_stretch(e):
    """(a, b) in w, b None for ∞: the first stretch of w > 0 where E < 0."""
    n = norm(e)
    cuts = sorted({r for r in n.real_roots() if r > 0}, key=lambda r: sp.N(r, 60))
    edges = [sp.Integer(0)] + cuts + [None]
    start = None
    for lo, hi in zip(edges, edges[1:]):
        mid = (lo + hi) / 2 if hi is not None else lo + 1
        mid = sp.nsimplify(sp.N(mid, 50), rational=True)
        negative = sign_at(e, mid) < 0
        if negative and start is None:
            start = lo
        if start is not None and not negative:
            return start, lo
        if start is not None and hi is not None and abs(sp.N(e.subs(w, hi), 60)) < 1e-40:
            return start, hi
    return start, None


def witness(e):
    a, b = first_negative_stretch(e)
    ya = sp.sqrt(sp.N(a, 60))
    for d in range(0, 16):
        m = max(1, int(sp.floor(ya * 10**d)) - 1)
        while True:
            y = sp.Rational(m, 10**d)
            if b is not None and y**2 >= sp.N(b, 60):
                break
            if y**2 > sp.N(a, 60) and sign_at(e, y**2) < 0:
                return decimal_text(m, d)
            m += 1
    return None


def poles(q):
    """Q's roots to 50 digits; a real or imaginary part below 1e-40 is 0."""
    square_free = sp.sqf_part(sp.Poly(q[::-1], z, extension=True))
    rs = square_free.nroots(n=50, maxsteps=500)
    clean = lambda x: 0 if abs(x) < 1e-40 else x
    return [clean(sp.re(r)) + sp.I * clean(sp.im(r)) for r in rs]


def exact_near(q, x):
    """x as a fraction if one of small denominator is a root of Q exactly."""
    guess = sp.nsimplify(x, rational=True, tolerance=1e-30)
    value = sum(c * guess**k for k, c in enumerate(q))
    return guess if guess.q <= 10000 and sp.expand(value) == 0 else None


def pole(q):
    rs = poles(q)
    axis = [r for r in rs if sp.re(r) == 0]
    if axis:
        y = abs(sp.im(axis[0]))
        guess = sp.nsimplify(y, rational=True, tolerance=1e-30)
        value = sp.expand(sum(c * (sp.I * guess)**k for k, c in enumerate(q)))
        text = ("at z = " + product_text(guess, "i") if guess.q <= 10000 and value == 0 else
                f"near z = {approx(y)}i")
        return text, ", on the imaginary axis"
    r = min(rs, key=lambda r: sp.re(r))
    if sp.im(r) == 0:
        exact = exact_near(q, sp.re(r))
        text = "at z = " + number_text(exact) if exact is not None else f"near z = {approx(r)}"
    else:
        text = f"near z = {approx(sp.re(r))} + {approx(abs(sp.im(r)))}i"
    return text, ", in the left half-plane"


def a_stability(p, q):
    if len(q) == 1 and len(p) > 1:
        return False, "not A-stable: R is a polynomial, so |R(z)| grows without bound as z → -∞"
    if any(sp.re(r) <= 0 for r in poles(q)):
        where, side = pole(q)
        return False, "not A-stable: R has a pole " + where + side
    e = excess(p, q)
    if e == 0 or first_negative_stretch(e)[0] is None:
        return True, "A-stable: R has no pole with Re z ≤ 0, and |R(iy)| ≤ 1 for every real y"
    return False, "not A-stable: |R(iy)| > 1 for some real y, as at y = " + witness(e)


def l_stability(p, q, a):
    if len(p) > len(q):
        return False, "not L-stable: |R(z)| grows without bound as z → ∞"
    if len(p) == len(q):
        return False, "not L-stable: R(∞) = " + number_text(sp.radsimp(p[-1] / q[-1]))
    if not a:
        return False, "not L-stable: R(∞) = 0, but it is not A-stable"
    return True, "L-stable: A-stable, and R(∞) = 0"


def algebraic(A, b):
    s = len(b)
    M = sp.Matrix(s, s, lambda i, j: sp.expand(b[i] * A[i][j] + b[j] * A[j][i] - b[i] * b[j]))
    for i, bi in enumerate(b):
        if bi < 0:
            return False, f"not algebraically stable: b{i + 1} = {number_text(bi)} is negative", M
    if M.is_positive_semidefinite:
        return True, ("algebraically stable: every bᵢ ≥ 0, and M = BA + AᵀB - bbᵀ is positive "
                      "semidefinite"), M
    why = "not algebraically stable: M = BA + AᵀB - bbᵀ is not positive semidefinite, as "
    for size in range(1, s + 1):
        sets = sorted(combinations(range(s), size), key=lambda c: sum(1 << i for i in c))
        for rows in sets:
            minor = sp.expand(M.extract(list(rows), list(rows)).det())
            if sp.N(minor, 60) < 0:
                name = (f"m{rows[0] + 1}{rows[0] + 1} = " if size == 1 else
                        "its minor on rows and columns " + ", ".join(str(r + 1) for r in rows)
                        + " is ")
                return False, why + name + number_text(minor), M
    raise AssertionError("semidefinite by minors but not by sympy")


def symplectic(M):
    s = M.shape[0]
    for i in range(s):
        for j in range(i, s):
            if sp.expand(M[i, j]) != 0:
                if i == j:
                    return False, f"not symplectic: 2b{i+1}a{i+1}{i+1} ≠ b{i+1}²"
                return False, (f"not symplectic: b{i+1}a{i+1}{j+1} + b{j+1}a{j+1}{i+1} "
                               f"≠ b{i+1}b{j+1}")
    return True, "symplectic: bᵢaᵢⱼ + bⱼaⱼᵢ = bᵢbⱼ for all i, j"


r2, r3 = "sqrt(2)", "sqrt(3)"
tableaus = {
    "Runge-Kutta 4": ([["0", "0", "0", "0"], ["1/2", "0", "0", "0"], ["0", "1/2", "0", "0"],
                       ["0", "0", "1", "0"]], ["1/6", "1/3", "1/3", "1/6"]),
    "trapezoid, Lobatto IIIA 2": ([["0", "0"], ["1/2", "1/2"]], ["1/2", "1/2"]),
    "backward Euler": ([["1"]], ["1"]),
    "Gauss-Legendre 4": ([["1/4", "1/4 - sqrt(3)/6"], ["1/4 + sqrt(3)/6", "1/4"]], ["1/2", "1/2"]),
    "Radau IIA 3": ([["5/12", "-1/12"], ["3/4", "1/4"]], ["3/4", "1/4"]),
    "SDIRK 2": ([["1 - sqrt(2)/2", "0"], ["sqrt(2)/2", "1 - sqrt(2)/2"]],
                ["sqrt(2)/2", "1 - sqrt(2)/2"]),
    "pole on the imaginary axis": ([["0", "1/2"], ["-1/2", "0"]], ["1/2", "1/2"]),
    "pole at z = ±i√3": ([["0", "1"], ["-1/3", "0"]], ["1/2", "1/2"]),
    "pole in the left half-plane": ([["-1/2"]], ["1"]),
    "complex poles on the left": ([["0", "1"], ["-1", "-1"]], ["1", "1"]),
    "touching 1 at y = √3": ([["1", "0", "0"], ["1", "1", "0"], ["0", "1", "1"]],
                            ["-3", "2", "4"]),
    "crossing 1 between y = 1.41 and 2.15": ([["1", "0", "0"], ["1", "1", "0"], ["0", "1", "1"]],
                                             ["-3.1", "2", "4.1"]),
    "crossing 1 between y = 1.62 and 1.85": ([["1", "0", "0"], ["1", "1", "0"], ["0", "1", "1"]],
                                             ["-3.01", "2", "4.01"]),
    "theta 1/4": ([["1/4"]], ["1"]),
    "reducible to the mid point": ([["1/2", "0"], ["0", "1"]], ["1", "0"]),
    "typed root in a denominator": ([["1/(1 + sqrt(3))"]], ["1"]),
    "Lobatto IIIC 2": ([["1/2", "-1/2"], ["1/2", "1/2"]], ["1/2", "1/2"]),
    "indefinite M, positive diagonal": ([["1/2", "1"], ["1", "1/2"]], ["1/2", "1/2"]),
    "Gauss-Legendre 6": ([["5/36", "2/9 - sqrt(15)/15", "5/36 - sqrt(15)/30"],
                          ["5/36 + sqrt(15)/24", "2/9", "5/36 - sqrt(15)/24"],
                          ["5/36 + sqrt(15)/30", "2/9 + sqrt(15)/15", "5/36"]],
                         ["5/18", "4/9", "5/18"]),
    "weights all 0": ([["1/2"]], ["0"]),
    "explicit, 8 stages": ([["0"] * 8] + [["0"] * k + ["1"] + ["0"] * (7 - k) for k in range(7)],
                           ["0"] * 7 + ["1"]),
    "implicit, 8 stages, typed roots": (
        [["1/2", r2, "0", "1/3", "0", "0", "0", "1"],
         ["0", "1/4", r3, "0", "0", "0", "0", "0"],
         ["1", "0", "1/5", "0", "sqrt(2)/7", "0", "0", "0"],
         ["0", "0", "0", "1/3", "1", "0", "0", "0"],
         ["0", "1", "0", "0", "1/2", "0", "0", "0"],
         ["0", "0", "0", "0", "0", "1/6", "1", "0"],
         ["1", "0", "0", "0", "0", "0", "1/2", "0"],
         ["0", "0", "sqrt(6)", "0", "0", "0", "0", "1/8"]],
        ["1/8"] * 8),
}

def literal(text, column, width=100):
    """A C++ string literal opening at `column`, split at spaces into
    adjacent literals that end by `width` columns (a comma or brace after)."""
    pieces, line = [], ""
    for word in text.split(" "):
        candidate = word if not line else line + " " + word
        if column + len(candidate) + 4 > width and line:
            pieces.append(line + " ")
            line = word
        else:
            line = candidate
    pieces.append(line)
    return ("\n" + " " * column).join(f'"{piece}"' for piece in pieces)


def strings(values, column, width=100):
    """{"a", "b", …} opening at `column`, broken into lines within `width`."""
    lines, line = [], "{"
    for v in values:
        item = f'"{v}"'
        if column + len(line) + len(item) + 4 > width and line != "{":
            lines.append(line.rstrip())
            line = " "
        line += item + ", "
    lines.append(line[:-2] + "}")
    return ("\n" + " " * column).join(lines)


def cpp_row(name, At, bt, p, q, findings):
    """The test table's row for one tableau."""
    out = ["    {" + literal(name, 5) + ","]
    rows = [strings(r, 6) for r in At]
    out.append("     {" + ",\n      ".join(rows) + "},")
    for values in (bt, [str(c) for c in p], [str(c) for c in q]):
        out.append("     " + strings(values, 5) + ",")
    out.append("     " + literal(function_text(p, q), 5) + ",")
    parts = []
    for h, t in findings:
        prefix = "{" + ("true" if h else "false") + ", "
        parts.append(prefix + literal(t, 6 + len(prefix)) + "}")
    out.append("     {" + ",\n      ".join(parts) + "}},")
    return "\n".join(out)


if __name__ == "__main__" and "--cpp" in sys.argv:
    for name, (At, bt) in tableaus.items():
        A = [[num(x) for x in row] for row in At]
        b = [num(x) for x in bt]
        p, q = ratio(A, b)
        a = a_stability(p, q)
        alg = algebraic(A, b)
        print(cpp_row(name, At, bt, p, q, [a, l_stability(p, q, a[0]), alg[:2],
                                           symplectic(alg[2])]))
elif __name__ == "__main__":
    for name, (At, bt) in tableaus.items():
        A = [[num(x) for x in row] for row in At]
        b = [num(x) for x in bt]
        p, q = ratio(A, b)
        a = a_stability(p, q)
        l = l_stability(p, q, a[0])
        alg = algebraic(A, b)
        sym = symplectic(alg[2])
        print(name)
        print("  P:", [str(c) for c in p])
        print("  Q:", [str(c) for c in q])
        print(" ", function_text(p, q))
        for holds, sentence in (a, l, alg[:2], sym):
            print("   ", holds, sentence)
