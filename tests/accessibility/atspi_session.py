"""What the screen-reader tests share: waiting on the running program through
AT-SPI, finding an object by role and name, carrying out its action, pressing
keys on the X display as a keyboard would, and tallying the checks.
"""
import subprocess
import time

import pyatspi

# Qt carries out actions after answering the call, so results are waited for.
# The bound only keeps a broken program from hanging the run.
PATIENCE_SECONDS = 30

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)
    return condition


def process_alive(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().split(") ", 1)[1][0] != "Z"
    except (FileNotFoundError, IndexError):
        return False


def wait_for(what, probe, pid):
    deadline = time.monotonic() + PATIENCE_SECONDS
    while True:
        try:
            result = probe()
        except Exception:  # the tree may change under a query
            result = None
        if result:
            return result
        if not process_alive(pid):
            raise SystemExit(f"FAIL  the program ended while waiting for {what}")
        if time.monotonic() > deadline:
            raise SystemExit(f"FAIL  gave up waiting for {what}")
        time.sleep(0.1)


def application(pid):
    """The program in the accessibility registry."""
    desktop = pyatspi.Registry.getDesktop(0)
    return wait_for("the program in the accessibility registry",
                    lambda: next((a for a in desktop if a is not None and
                                  a.get_process_id() == pid), None), pid)


def find(root, role, name):
    return pyatspi.findDescendant(root, lambda a: a.getRoleName() == role and a.name == name)


def do_action(accessible, names):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in names:
            return action.doAction(i)
    raise SystemExit(f"FAIL  {accessible.name!r} offers none of the actions {sorted(names)}")


def press_keys_in(window_title, keys):
    """Focuses the X window whose title starts so and types the keys through
    XTEST, as a keyboard would."""
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                             "^" + window_title], capture_output=True, text=True,
                            timeout=PATIENCE_SECONDS).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True,
                   timeout=PATIENCE_SECONDS)
    subprocess.run(["xdotool", "key", "--clearmodifiers", keys], check=True,
                   timeout=PATIENCE_SECONDS)
