#!/usr/bin/python3
"""The Method lab as a screen reader meets it, through AT-SPI.

Types x1 = 1 into the main window, opens the lab with Ctrl+L (a key press on
the X display, as a user gives it), finds the lab's pages and its "Orders"
table, and reads the observed orders of every method between N = 32 and 64;
opens the Stability page with Alt+S and reads a sentence of its notes; then
opens the Field page with Alt+F and reads its "Lab steps" table. Back
on Convergence, reads the "Problem" box, types the textbook's problem into
"f(x, y)", "exact y(x)", x0, y0 and x1, and reads "Orders" again.
Last it opens the Adaptive page with Alt+A, presses the button that offers
Runge-Kutta-Fehlberg (the lab's Euler has no error estimate), and reads the
first attempted steps of the "Adaptive steps" table on the textbook problem,
and the sentence that explains the step-size controller. Last it types a
word into y0 and reads the note under the boxes that says why it was not used;
chooses the own multistep method and reads its verdict and the Field page's
"Starting values"; opens the Tableau page and reads the own Runge-Kutta
method's verdict and a row of its "Order conditions", types two entries of
its tableau and reads the verdict once the page has read them.
Then it chooses the harmonic oscillator from the Problem list, a system of two
components, and reads the last row of the Field page's "Lab steps": a column
for each component, its exact value and its error; then Lotka-Volterra on the
Phase plane page, and reads its "Equilibria" table.

Usage: /usr/bin/python3 lab_accessibility_test.py PID  (the program's process id)
"""
import sys

import pyatspi

from atspi_session import (application, check, do_action, failures, find, press_keys_in,
                           process_alive, wait_for)

METHODS = ["Euler", "Euler (End points)", "Euler (Mid point)", "Runge-Kutta 4",
           "Runge-Kutta-Fehlberg", "Runge-Kutta-Merson", "Runge-Kutta-Gill", "Ralston 2", "Heun 3",
           "SSP Runge-Kutta 3", "Kutta 3/8", "Backward Euler",
           "Trapezoid", "Implicit mid point", "SDIRK 2", "Radau IIA 3", "Gauss-Legendre 4",
           "Adams-Bashforth 2", "Adams-Bashforth 3", "Adams-Bashforth 4", "Adams-Moulton 3",
           "Adams predictor-corrector 4", "BDF 2", "BDF 3", "BDF 4", "Own Runge-Kutta method",
           "Own multistep method"]
PAGES = ["Convergence", "Stability", "One step", "Field", "Adaptive", "Phase plane", "Tableau"]
# From (0, -1) to 1, log2 of the error with 32 steps over the error with 64,
# worked out independently in 50-digit arithmetic (the implicit methods' by
# tests/support/implicit_orders.py, Ralston's 2.017, Heun's and SSP's 3.018,
# Kutta's 4.019 and SDIRK's 2.002 in mpmath from their tableaus, the
# multistep methods' by
# tests/support/multistep_orders.py lesson 64: the own method, not
# zero-stable, diverges).
ORDERS_AT_64 = ["1.01", "2.02", "2.02", "4.02", "5.02", "4.00", "4.02",
                "2.02", "3.02", "3.02", "4.02",
                "0.99", "2.00", "2.00", "2.00", "2.99", "4.00",
                "1.99", "2.98", "3.96", "3.95", "4.04", "1.98", "2.97", "3.95", "3.02",
                "-70.33, not settled yet"]
# Euler from (0, -1) with the lab's h = 0.4 towards x1 = 1, worked out in
# python3 in the method's operation order.
LAB_STEPS_HEADER = ["i", "x", "y", "exact y", "global error", "local error"]
LAB_STEPS_ROW_2 = ["2", "0.8", "-0.68", "-0.947986892351665", "2.67986892351665E-01",
                   "1.41410809487514E-01"]
# Runge-Kutta-Fehlberg on the textbook problem with tolerance 1E-6 and first
# step 0.4, worked out with a separate replica of the pair and its controller.
ADAPTIVE_HEADERS = ["x", "h", "y at x + h", "estimate", "tolerance", "estimate/tolerance", "step",
                    "true local error", "true error of y"]
ADAPTIVE_ROWS = [
    ["0", "4.00E-01", "1.2140835774359", "-1.53E-05", "2.21E-06", "6.91E+00", "rejected",
     "-4.07E-06", "-4.07E-06"],
    ["0", "2.45E-01", "0.910451453440353", "-1.39E-06", "1.91E-06", "7.30E-01", "accepted",
     "-2.13E-07", "-2.13E-07"],
]
# y' = y - x^2 + 1 from (0, 0.5) to 2, log2 of the error with 16 steps over
# the error with 32, in 50-digit arithmetic against 9 - e^2/2: end point and
# mid point part ways on this problem. Merson's 3.86 lies more than 0.1 from
# its last order, 4.00: a screen reader hears that it has not settled yet, and
# so of backward Euler's 1.12 (tests/support/implicit_orders.py textbook 16:
# its orders fall to 1.00); Radau IIA 3's 3.03 lies within 0.1 of its 3.00.
# The added methods' from their tableaus in mpmath: Ralston 1.978, Heun
# 3.095 (shown 3.10, not within 0.1 of its 3.00), SSP 2.964, Kutta 3/8 4.014,
# SDIRK 2 2.058.
# The multistep methods' (tests/support/multistep_orders.py textbook 32) are
# still rising towards their orders there, all but Adams-Moulton 3's. The own
# Runge-Kutta method's boxes hold Kutta's third-order method until a tableau
# is typed: 3.018 and 2.988 in mpmath from its tableau.
TEXTBOOK = [("f(x, y)", "y - x^2 + 1"), ("exact y(x)", "(x + 1)^2 - exp(x)/2"),
            ("x0", "0"), ("y0", "0.5"), ("x1", "2")]
TEXTBOOK_ORDERS_AT_32 = ["0.91", "1.96", "2.01", "3.98", "5.04", "3.86, not settled yet", "3.98",
                         "1.98", "3.10, not settled yet", "2.96", "4.01",
                         "1.12, not settled yet", "2.00", "2.00", "2.06", "3.03", "4.00",
                         "1.88, not settled yet", "2.80, not settled yet",
                         "3.69, not settled yet", "3.94", "3.48, not settled yet",
                         "1.89, not settled yet", "2.77, not settled yet",
                         "3.70, not settled yet", "2.99", "-32.96, not settled yet"]
# Euler's R(z) = 1 + z at z = h*lambda = 0.4 * -1 on y' = -2x - y, by hand.
STABILITY_SENTENCE = ("z = h\u00b7\u03bb = -0.400 lies inside the region: |R(z)| = 0.600, so every "
                      "step damps the error.")
BOX_NOTE = 'y0: "abc" is not a number; y0 stays 0.5.'
# Euler on y1' = y2, y2' = -y1 from (1, 0) to 1 with h = 0.1: y1 and y2 in
# exact fractions, their errors against cos and -sin in mpmath
# (tests/support/system_values.py).
SYSTEM_STEPS_HEADER = ["i", "x", "y1", "y2", "exact y1", "exact y2", "error", "error y1", "error y2"]
SYSTEM_STEPS_ROW_10 = ["10", "1", "0.5707904499", "-0.88250801", "0.54030230586814",
                       "-0.841470984807897", "4.10370251921036E-02", "3.04881440318602E-02",
                       "-4.10370251921036E-02"]
SINGLE_EQUATIONS = 11  # the Problem list's entries before its first system
LOTKA_VOLTERRA = SINGLE_EQUATIONS + 3  # the fourth system in the list
# y1' = a y1 - b y1 y2, y2' = c y1 y2 - d y2 with a = 2/3, b = 4/3, c = d = 1:
# the Jacobian at (0, 0) is diag(2/3, -1), at (d/c, a/b) = (1, 0.5) it has
# the eigenvalues ±i·sqrt(a·d) = ±0.8165i.
EQUILIBRIA_HEADER = ["Equilibrium", "Eigenvalues", "Kind"]
EQUILIBRIA_ROWS = [["(0.000, 0.000)", "-1, 0.6667", "saddle"],
                   ["(1.000, 0.500)", "\u00b10.8165i", "centre"]]
# The classic method y_{n+2} + 4y_{n+1} - 5y_n = h(4f_{n+1} + 2f_n), the own
# multistep method's default: its verdict (order and error constant in
# fractions by hand, rho = (z - 1)(z + 5)).
OWN_VERDICT = ("Own multistep method: order 3, error constant 1/36; not zero-stable: ρ has the "
               "root -5, outside the unit circle. Its runs do not converge: their errors grow as h "
               "shrinks.")
# Its one starting value on the textbook problem, Runge-Kutta 4 from (0, 0.5)
# with h = 0.4 in fractions: 1.21392 exactly.
STARTING_ROW = ["1 (start)", "0.4", "1.21392"]
# The Tableau page on those boxes: order, stage order and error constant from
# tests/support/order_conditions.py; the condition of the tree [τ,[τ]] by hand,
# Σ bᵢcᵢaᵢⱼcⱼ = (1/6)·1·(-1·0 + 2·(1/2)) = 1/6 against 1/8.
TABLEAU_VERDICT = ("Own Runge-Kutta method: order 3, stage order 1, principal error constant "
                   "5.89E-02; explicit: each stage needs only the ones before it; c = A\u00b71 "
                   "holds.")
CONDITION_ROW_6 = ["[\u03c4,[\u03c4]]", "4", "\u03a3 b\u1d62c\u1d62a\u1d62\u2c7cc\u2c7c = 1/8",
                   "1/6", "1/24"]
# The same tableau with a31 = 0 and a32 = 1 typed (c = A·1 still holds):
# Σ bᵢaᵢⱼcⱼ = (1/6)·1·(1/2) = 1/12 misses 1/6 by 1/12, the only residual of
# order 3 (Σ bᵢcᵢ² = 1/3 holds), so order 2 with error constant 1/12; the
# trees up to order 3 are 1 + 1 + 2 (tests/support/order_conditions.py).
TYPED_VERDICT = ("Own Runge-Kutta method: order 2, stage order 1, principal error constant "
                 "8.33E-02; explicit: each stage needs only the ones before it; c = A\u00b71 "
                 "holds.")
TYPED_CONDITIONS = 4
CONTROLLER_OPENING = "Hairer, N\u00f8rsett and Wanner's step-size controller, as in their codes."


def label_saying(root, sentence, pid):
    """The label whose text holds the sentence, as a screen reader reads a
    label: its name, and its text where it offers the Text interface."""
    def heard(accessible):
        return accessible.getRoleName() == "label" and sentence in accessible.name
    label = wait_for(f"a label that reads {sentence!r}",
                     lambda: pyatspi.findDescendant(root, heard), pid)
    try:
        text = label.queryText()
    except NotImplementedError:
        return label.name
    return text.getText(0, -1)


def orders_row(lab, heading, pid, expected):
    """The cells of the 'Orders' row headed so, once they read as expected
    (a typed problem is studied off the window's thread)."""
    def row_cells():
        table = find(lab, "table", "Orders")
        if table is None or table.queryTable().nRows < 16:
            return None
        t = table.queryTable()
        row = next((r for r in range(t.nRows) if t.getRowHeader(r).name == heading), None)
        if row is None:
            return None
        cells = [t.getAccessibleAt(row, c).name for c in range(t.nColumns)]
        if cells != seen[-1]:
            seen.append(cells)
        return cells if cells == expected else None
    seen = [None]
    try:
        return wait_for(f"the row '{heading}' of 'Orders' to read {expected}", row_cells, pid)
    finally:
        if seen[-1] != expected:
            print(f"the row '{heading}' last read {seen[-1]}")


def type_into(lab, name, text, pid):
    """Types `text` into the text box named so, as a student would, and
    waits until it reads so. The box is waited for too: while the lab
    updates its pages after an edit, a search of its tree may miss it."""
    box = wait_for(f"a text box named '{name}'", lambda: find(lab, "text", name), pid)
    print(f"ok    a text box named '{name}'")
    box.queryEditableText().setTextContents(text)
    wait_for(f"'{name}' to read '{text}'", lambda: box.queryText().getText(0, -1) == text, pid)
    return box


def labelled_combo(root, label):
    """The combo box a label names: a screen reader announces a combo box by
    its label (the labelled-by relation) and then the item it holds, which
    AT-SPI gives as the combo box's own name."""
    def labelled(accessible):
        if accessible.getRoleName() != "combo box":
            return False
        for relation in accessible.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and any(
                    relation.getTarget(i).name == label for i in range(relation.getNTargets())):
                return True
        return False
    return pyatspi.findDescendant(root, labelled)


def main():
    pid = int(sys.argv[1])
    app = application(pid)
    window = wait_for("the main window", lambda: app.getChildAtIndex(0), pid)
    x1 = find(window, "text", "x1")
    if not check(x1 is not None, "the main window's text box 'x1'"):
        return
    x1.queryEditableText().setTextContents("1")
    wait_for("x1 to read '1'", lambda: x1.queryText().getText(0, -1) == "1", pid)

    press_keys_in("Pelorin - Numerical integration", "ctrl+l")
    lab = wait_for("a window named 'Method lab'",
                   lambda: next((w for w in app if w is not None and w.name == "Method lab"),
                                None), pid)
    check(lab.getRoleName() in ("frame", "window"), f"the lab is a {lab.getRoleName()}")

    tabs = pyatspi.findAllDescendants(lab, lambda a: a.getRoleName() == "page tab")
    names = [tab.name for tab in tabs]
    check(names == PAGES, f"its pages read {names}")

    orders = wait_for("a table named 'Orders' with its cells",
                      lambda: (lambda t: t if t is not None and
                               t.queryTable().nRows >= 16 else None)(find(lab, "table", "Orders")),
                      pid)
    table = orders.queryTable()
    check(table.nColumns == len(METHODS), f"'Orders' has {table.nColumns} columns")
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == METHODS, f"its column headers read {headers}")
    row = next((r for r in range(table.nRows) if table.getRowHeader(r).name == "N = 64"), None)
    if not check(row is not None, "a row headed 'N = 64'"):
        return
    cells = [table.getAccessibleAt(row, c).name for c in range(table.nColumns)]
    print(f"the row 'N = 64' reads: {cells}")
    check(cells == ORDERS_AT_64,
          "the observed orders approach 1, 2, 2, 4, 5, 4, 4, 2, 3, 3, 4, the implicit "
          "1, 2, 2, 2, 3, 4, the multistep 2, 3, 4, 4, 4, 2, 3, 4 and the own method's 3")

    press_keys_in("Method lab", "alt+s")
    notes = label_saying(lab, STABILITY_SENTENCE, pid)
    print(f"the Stability notes read: {notes!r}")
    check(STABILITY_SENTENCE in notes, "the Stability notes are read out")

    press_keys_in("Method lab", "alt+f")
    field = wait_for("a plot named 'Field'",
                     lambda: pyatspi.findDescendant(lab, lambda a: a.name == "Field" and
                                                    a.getRoleName() != "page tab"), pid)
    check(field is not None, "the Field page shows its plot")
    errors = pyatspi.findDescendant(lab, lambda a: a.name == "Global error")
    check(errors is not None and "logarithmic" in errors.description,
          "the Field page's plot of global errors is named and described")
    steps = wait_for("a table named 'Lab steps' with four rows",
                     lambda: (lambda t: t if t is not None and
                              t.queryTable().nRows == 4 else None)(find(lab, "table", "Lab steps")),
                     pid)
    table = steps.queryTable()
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == LAB_STEPS_HEADER, f"'Lab steps' has the column headers {headers}")
    cells = [table.getAccessibleAt(2, c).name for c in range(table.nColumns)]
    print(f"the row i = 2 of 'Lab steps' reads: {cells}")
    check(cells == LAB_STEPS_ROW_2, "Euler's second step with its exact value and errors")

    press_keys_in("Method lab", "alt+c")
    problem = labelled_combo(lab, "Problem:")
    if not check(problem is not None, "a combo box labelled 'Problem:'"):
        return
    print(f"'Problem' reads: {problem.name}")
    check(problem.name.startswith("Lesson"), "the lesson's equation is chosen")
    for name, text in TEXTBOOK:
        box = type_into(lab, name, text, pid)
    # Enter in the last box uses them all, as a student ends typing.
    box.queryComponent().grabFocus()
    press_keys_in("Method lab", "Return")
    cells = orders_row(lab, "N = 32", pid, TEXTBOOK_ORDERS_AT_32)
    print(f"on the textbook problem the row 'N = 32' reads: {cells}")
    print(f"'Problem' reads: {problem.name}")
    check(problem.name == "Your own", "the problem typed is the user's own")
    read_adaptive_steps(lab, pid)
    read_box_notes(lab, pid)
    read_multistep(lab, pid)
    read_tableau(lab, pid)
    read_system_lab_steps(lab, pid)
    read_equilibria(lab, pid)
    check(process_alive(pid), "the program goes on")


def read_adaptive_steps(lab, pid):
    press_keys_in("Method lab", "alt+a")
    offer = wait_for("a button named 'Use Runge-Kutta-Fehlberg'",
                     lambda: find(lab, "push button", "Use Runge-Kutta-Fehlberg"), pid)
    do_action(offer, {"press", "click", "activate"})
    steps = wait_for("a table named 'Adaptive steps' with its rows",
                     lambda: (lambda t: t if t is not None and
                              t.queryTable().nRows >= len(ADAPTIVE_ROWS) else None)(
                                  find(lab, "table", "Adaptive steps")), pid)
    table = steps.queryTable()
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == ADAPTIVE_HEADERS, f"'Adaptive steps' has the column headers {headers}")
    for row, expected in enumerate(ADAPTIVE_ROWS):
        cells = [table.getAccessibleAt(row, c).name for c in range(table.nColumns)]
        print(f"attempt {row + 1} reads: {cells}")
        check(cells == expected, f"attempt {row + 1} of Runge-Kutta-Fehlberg's adaptive run")
    controller = label_saying(lab, CONTROLLER_OPENING, pid)
    check(controller.startswith(CONTROLLER_OPENING), "the controller's sentence is read out")


def read_multistep(lab, pid):
    """Chooses the own multistep method, the Method list's last entry, and
    reads the verdict under its alpha and beta boxes and the Field page's
    Starting values; then chooses Euler again."""
    method = labelled_combo(lab, "Method:")
    if not check(method is not None, "a combo box labelled 'Method:'"):
        return
    for key in ["alt+m", "End"]:
        press_keys_in("Method lab", key)
    wait_for("'Method' to read the own multistep method",
             lambda: method.name == "Own multistep method", pid)
    verdict = label_saying(lab, "not zero-stable", pid)
    print(f"the own method's notes read: {verdict!r}")
    check(verdict == OWN_VERDICT, "the own method's verdict is read out")
    press_keys_in("Method lab", "alt+f")
    starting = wait_for("a table named 'Starting values' with two rows",
                        lambda: (lambda t: t if t is not None and t.queryTable().nRows == 2
                                 else None)(find(lab, "table", "Starting values")), pid)
    table = starting.queryTable()
    cells = [table.getAccessibleAt(1, c).name for c in range(len(STARTING_ROW))]
    print(f"the row i = 1 of 'Starting values' reads: {cells}")
    check(cells == STARTING_ROW, "the starting value from Runge-Kutta 4")
    for key in ["alt+m", "Home"]:
        press_keys_in("Method lab", key)
    wait_for("'Method' to read Euler", lambda: method.name == "Euler", pid)


def read_tableau(lab, pid):
    """Opens the Tableau page with Alt+U and reads the verdict on the own
    Runge-Kutta method's boxes and a row of its 'Order conditions'."""
    press_keys_in("Method lab", "alt+u")
    verdict = label_saying(lab, TABLEAU_VERDICT, pid)
    print(f"the Tableau notes read: {verdict!r}")
    check(verdict.startswith(TABLEAU_VERDICT), "the own tableau's verdict is read out")
    conditions = wait_for("a table named 'Order conditions' with its rows",
                          lambda: (lambda t: t if t is not None and t.queryTable().nRows == 8
                                   else None)(find(lab, "table", "Order conditions")), pid)
    table = conditions.queryTable()
    cells = [table.getAccessibleAt(5, c).name for c in range(table.nColumns)]
    print(f"row 6 of 'Order conditions' reads: {cells}")
    check(cells == CONDITION_ROW_6, "the condition of the tree [τ,[τ]], its value and residual")
    # Each entry ended with Enter, as a student types them; the page reads
    # them off the window's thread, and its notes change once it has.
    for name, text in [("a31", "0"), ("a32", "1")]:
        box = type_into(lab, name, text, pid)
        box.queryComponent().grabFocus()
        press_keys_in("Method lab", "Return")
    verdict = label_saying(lab, TYPED_VERDICT, pid)
    print(f"with a31 = 0 and a32 = 1 the Tableau notes read: {verdict!r}")
    check(verdict.startswith(TYPED_VERDICT), "the typed tableau's verdict is read out")
    rows = wait_for(f"'Order conditions' with {TYPED_CONDITIONS} rows",
                    lambda: find(lab, "table", "Order conditions").queryTable().nRows ==
                    TYPED_CONDITIONS, pid)
    check(rows, "the typed tableau's order conditions, trees up to order 3")


def read_box_notes(lab, pid):
    box = find(lab, "text", "y0")
    box.queryEditableText().setTextContents("abc")
    wait_for("'y0' to read 'abc'", lambda: box.queryText().getText(0, -1) == "abc", pid)
    box.queryComponent().grabFocus()
    press_keys_in("Method lab", "Return")
    note = label_saying(lab, BOX_NOTE, pid)
    check(note == BOX_NOTE, "the note under the boxes is read out")


def read_system_lab_steps(lab, pid):
    problem = labelled_combo(lab, "Problem:")
    # Alt+R takes the focus to the list, as its caption P_roblem says.
    for key in ["alt+r", "Home"] + ["Down"] * SINGLE_EQUATIONS:
        press_keys_in("Method lab", key)
    wait_for("'Problem' to read the harmonic oscillator",
             lambda: problem.name.startswith("Harmonic oscillator"), pid)
    for name, text in [("x1", "1"), ("h", "0.1")]:
        box = find(lab, "text", name)
        box.queryEditableText().setTextContents(text)
        wait_for(f"'{name}' to read '{text}'", lambda: box.queryText().getText(0, -1) == text, pid)
        box.queryComponent().grabFocus()
        press_keys_in("Method lab", "Return")
    # The Adaptive page chose Fehlberg: back to Euler, the list's first.
    for key in ["alt+m", "Home", "alt+f"]:
        press_keys_in("Method lab", key)
    steps = wait_for("a table named 'Lab steps' with eleven rows of two components",
                     lambda: (lambda t: t if t is not None and t.queryTable().nRows == 11 and
                              t.queryTable().nColumns == len(SYSTEM_STEPS_HEADER) else None)(
                                  find(lab, "table", "Lab steps")), pid)
    table = steps.queryTable()
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == SYSTEM_STEPS_HEADER, f"a system's 'Lab steps' has the column headers {headers}")
    cells = [table.getAccessibleAt(10, c).name for c in range(table.nColumns)]
    print(f"the row i = 10 of the system's 'Lab steps' reads: {cells}")
    check(cells == SYSTEM_STEPS_ROW_10, "Euler's tenth step on the oscillator, component by component")


def read_equilibria(lab, pid):
    problem = labelled_combo(lab, "Problem:")
    for key in ["alt+r", "Home"] + ["Down"] * LOTKA_VOLTERRA + ["alt+p"]:
        press_keys_in("Method lab", key)
    wait_for("'Problem' to read Lotka-Volterra", lambda: problem.name.startswith("Lotka-Volterra"), pid)
    equilibria = wait_for("a table named 'Equilibria' with two rows",
                          lambda: (lambda t: t if t is not None and t.queryTable().nRows == 2 else None)(
                              find(lab, "table", "Equilibria")), pid)
    table = equilibria.queryTable()
    headers = [table.getColumnHeader(c).name for c in range(table.nColumns)]
    check(headers == EQUILIBRIA_HEADER, f"'Equilibria' has the column headers {headers}")
    rows = [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
            for r in range(table.nRows)]
    print(f"'Equilibria' reads: {rows}")
    check(rows == EQUILIBRIA_ROWS, "Lotka-Volterra's saddle at the origin and centre at (1, 0.5)")


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed" if failures else "the lab's orders, notes and adaptive steps were found and read")
    sys.exit(1 if failures else 0)
