#!/usr/bin/python3
"""Drives the running program through AT-SPI only, as a screen reader does.

Finds every control by its accessible name and role, types the inputs through
the editable-text interface, selects Runge-Kutta 4 and presses CALCULATE
through their actions, reads the new lines of the results list, then makes a
calculation fail and reads the message box.

Usage: /usr/bin/python3 accessibility_test.py PID  (the program's process id)
"""
import sys

import pyatspi

from atspi_session import application, check, do_action, failures, find, process_alive, wait_for

# What the user types, box by box, and the label a screen reader reads with it.
INPUTS = [("x0", "0", "x0 ="), ("x1", "0.4", "x1 ="), ("y0", "-1", "y0 ="), ("h", "0.1", "h =")]
METHODS = ["Euler", "Euler (End points)", "Euler (Mid point)", "Runge-Kutta 4",
           "Runge-Kutta-Fehlberg", "Runge-Kutta-Merson", "Runge-Kutta-Gill"]
# The plot is installed with the role of a picture, so a screen reader says
# "image" rather than the "frame" Qt would report for a QFrame.
PLOT_ROLE = "image"

# x0 = 0, x1 = 0.4, y0 = -1, h = 0.1 with Runge-Kutta 4: the lines the list gains.
RK4_LINES = [" ", "Runge-Kutta-4 Method", " ",
             "0.1    -0.9145125",
             "0.2    -0.85619270421875",
             "0.3    -0.822455266003533",
             "0.4    -0.810960866752472"]
# With h = 0, x never moves: ten steps stay at (0, -1), then the calculation
# stops; the lines listed so far stay.
STOPPED_LINES = [" ", "Runge-Kutta-4 Method", " "] + ["0    -1"] * 10
STOPPED_TITLE = "Calculation stopped"
STOPPED_TEXT = "With h = 0 the calculation never gets from x0 to x1. Enter a positive h."

def list_lines(results):
    return [item.name for item in results]


def main():
    pid = int(sys.argv[1])
    app = application(pid)
    check(app.name == "Pelorin", f"application is named {app.name!r}")
    window = wait_for("the main window", lambda: app.getChildAtIndex(0), pid)
    check(window.name == "Pelorin - Numerical integration of dy/dx=-2*x-y",
          f"main window reads {window.getRoleName()} {window.name!r}")

    # Every control, found by its accessible name and role.
    boxes = {}
    for name, _, label in INPUTS:
        box = find(window, "text", name)
        if check(box is not None, f"text box {name!r}"):
            boxes[name] = box
            labels = [relation.getTarget(i).name for relation in box.getRelationSet()
                      if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                      for i in range(relation.getNTargets())]
            check(labels == [label], f"  labelled by {labels}")
    calculate = find(window, "push button", "CALCULATE")
    check(calculate is not None, "push button 'CALCULATE'")
    options = {}
    for caption in METHODS:
        option = find(window, "radio button", caption)
        if check(option is not None, f"radio button {caption!r}"):
            options[caption] = option
    results = find(window, "list", "Results")
    check(results is not None, "list 'Results'")
    plot = find(window, PLOT_ROLE, "Plot")
    if check(plot is not None, f"{PLOT_ROLE} 'Plot'"):
        check(plot.description.startswith("The exact solution"),
              f"  described as {plot.description!r}")
    check(find(window, "menu item", "About") is not None, "menu item 'About'")
    if failures:
        return

    # x0 = 0, x1 = 0.4, y0 = -1, h = 0.1, typed through the editable-text interface.
    for name, value, _ in INPUTS:
        boxes[name].queryEditableText().setTextContents(value)
        typed = wait_for(f"{name} to read {value!r}",
                         lambda: boxes[name].queryText().getText(0, -1) == value, pid)
        check(typed, f"{name} reads {value!r}")

    do_action(options["Runge-Kutta 4"], {"toggle", "press", "click"})
    wait_for("Runge-Kutta 4 to be checked",
             lambda: options["Runge-Kutta 4"].getState().contains(pyatspi.STATE_CHECKED), pid)
    checked = [c for c, o in options.items() if o.getState().contains(pyatspi.STATE_CHECKED)]
    check(checked == ["Runge-Kutta 4"], f"checked methods: {checked}")

    before = results.childCount
    do_action(calculate, {"press", "click"})
    wait_for("the results list to grow", lambda: results.childCount >= before + len(RK4_LINES), pid)
    lines = list_lines(results)[before:]
    print("the results list reads:")
    for line in lines:
        print(f"      {line!r}")
    check(lines == RK4_LINES, "the new lines are those of Runge-Kutta 4 with h = 0.1")
    check(all(item.getRoleName() == "list item" for item in results),
          "every line is a list item")

    # h = 0 cannot reach x1: the calculation stops and says why.
    boxes["h"].queryEditableText().setTextContents("0")
    wait_for("h to read '0'", lambda: boxes["h"].queryText().getText(0, -1) == "0", pid)
    before = results.childCount
    do_action(calculate, {"press", "click"})
    alert = wait_for(f"a message box titled {STOPPED_TITLE!r}",
                     lambda: next((w for w in app if w is not None and
                                   w.getRoleName() in ("alert", "dialog") and
                                   w.name == STOPPED_TITLE), None), pid)
    texts = [a.name for a in pyatspi.findAllDescendants(alert, lambda a: a.getRoleName() == "label")]
    print(f"the {alert.getRoleName()} {alert.name!r} reads: {texts}")
    check(STOPPED_TEXT in texts, "the message says why and what to change")
    lines = list_lines(results)[before:]
    check(lines == STOPPED_LINES, f"the list gained the heading and ten steps at x0: {lines}")

    ok = find(alert, "push button", "OK")
    if check(ok is not None, "the message box has an OK button"):
        do_action(ok, {"press", "click"})
        wait_for("the message box to close",
                 lambda: all(w is None or w.name != STOPPED_TITLE for w in app), pid)
        check(process_alive(pid), "the program goes on after the message is closed")

    # The About window is announced as a window, with its five lines.
    do_action(find(window, "menu item", "About"), {"click", "press", "toggle"})
    about = wait_for("a window named 'About'",
                     lambda: next((w for w in app if w is not None and w.name == "About"), None),
                     pid)
    check(about.getRoleName() in ("frame", "window"), f"About is a {about.getRoleName()}")
    lines = [a.name for a in pyatspi.findAllDescendants(about, lambda a: a.getRoleName() == "label")]
    check("Last modified : 17.12 2007" in lines, f"About reads {lines}")


if __name__ == "__main__":
    main()
    print(f"{len(failures)} failed" if failures else "every control was found and read")
    sys.exit(1 if failures else 0)
