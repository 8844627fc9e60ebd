#!/usr/bin/python3
"""Reads the "Steps and errors" window through AT-SPI, as a screen reader does.

Types x0 = 0, x1 = 0.4, y0 = -1, h = 0.1, selects Runge-Kutta 4 and presses
CALCULATE through the accessibility interfaces, opens the window with Ctrl+E
on the keyboard, then reads the "Steps" table cell by cell.

Usage: /usr/bin/python3 steps_accessibility_test.py PID  (the program's process id)
"""
import sys

import pyatspi

from atspi_session import (application, check, do_action, failures, find, press_keys_in,
                           process_alive, wait_for)

INPUTS = [("x0", "0"), ("x1", "0.4"), ("y0", "-1"), ("h", "0.1")]
WINDOW_TITLE = "Steps and errors"
# The table of Runge-Kutta 4 with h = 0.1 from (0, -1), worked out apart from
# the program: i, x, y, exact y, global error, local error.
HEADER = ["i", "x", "y", "exact y", "global error", "local error"]
ROWS = [
    ["0", "0", "-1", "-1", "0", ""],
    ["1", "0.1", "-0.9145125", "-0.914512254107879", "-2.45892121109037E-07",
     "-2.45892121109037E-07"],
    ["2", "0.2", "-0.85619270421875", "-0.856192259233945", "-4.44984804559567E-07",
     "-2.22492392398799E-07"],
    ["3", "0.3", "-0.822455266003533", "-0.822454662045154", "-6.03958379419289E-07",
     "-2.01319441339720E-07"],
    ["4", "0.4", "-0.810960866752472", "-0.810960138106918", "-7.28645554448626E-07",
     "-1.82161364326028E-07"],
]

def showing(app, title):
    """Whether a window of that title is on the screen; a closed one may stay
    in the tree a while, defunct or no longer showing."""
    for window in app:
        try:
            if window is not None and window.name == title and \
                    window.getState().contains(pyatspi.STATE_SHOWING):
                return True
        except Exception:
            continue
    return False


def main():
    pid = int(sys.argv[1])
    app = application(pid)
    window = wait_for("the main window", lambda: app.getChildAtIndex(0), pid)
    for name, value in INPUTS:
        box = find(window, "text", name)
        box.queryEditableText().setTextContents(value)
        wait_for(f"{name} to read {value!r}",
                 lambda: box.queryText().getText(0, -1) == value, pid)
    rk4 = find(window, "radio button", "Runge-Kutta 4")
    do_action(rk4, {"toggle", "press", "click"})
    wait_for("Runge-Kutta 4 to be checked",
             lambda: rk4.getState().contains(pyatspi.STATE_CHECKED), pid)
    results = find(window, "list", "Results")
    do_action(find(window, "push button", "CALCULATE"), {"press", "click"})
    wait_for("the results list to grow", lambda: results.childCount >= 7, pid)

    press_keys_in("Pelorin - Numerical integration", "ctrl+e")
    steps = wait_for(f"a window titled {WINDOW_TITLE!r}",
                     lambda: next((w for w in app if w is not None and
                                   w.name == WINDOW_TITLE), None), pid)
    check(steps.getRoleName() == "frame",
          f"Ctrl+E opened the {steps.getRoleName()} {steps.name!r}")
    table = wait_for("the table 'Steps'", lambda: find(steps, "table", "Steps"), pid)
    check(table is not None, "table 'Steps'")
    cells = table.queryTable()
    header = [cells.getColumnHeader(c).name for c in range(cells.nColumns)]
    check(header == HEADER, f"the columns are {header}")
    rows = [[cells.getAccessibleAt(r, c).name for c in range(cells.nColumns)]
            for r in range(cells.nRows)]
    print("the table reads:")
    for row in rows:
        print(f"      {row}")
    check(rows == ROWS, "the rows are those of Runge-Kutta 4 with h = 0.1")

    press_keys_in(WINDOW_TITLE, "Escape")
    wait_for("the window to close", lambda: not showing(app, WINDOW_TITLE), pid)
    check(process_alive(pid), "the program goes on after the window is closed")


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed" if failures else "the steps table was found and read")
    sys.exit(1 if failures else 0)
