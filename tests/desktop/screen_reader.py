#!/usr/bin/python3
"""Reads the program's windows over the AT-SPI bus as a screen reader does.

Usage: screen_reader.py PID dump           print both windows' trees (role, name, actions)
       screen_reader.py PID status         print the status label's name
       screen_reader.py PID window NAME    wait until the window NAME shows
       screen_reader.py PID text NAME      print the text of the box NAME in the focused window
       screen_reader.py PID tab-to NAME    press Tab until the control NAME has the focus
       screen_reader.py PID check OUT_DIR  walk, press Go, Stop and Set-up through their actions
                                           and check what is heard; the trees go to OUT_DIR
Exits 1 with a message on the first check that fails.
"""
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

BOUND = 60  # seconds any awaited change may take on a busy machine
RUN_WORDS = {"RUN", "AUDIBLE", "QUIET", "FAINT", "SILENT"}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def pump(until, what):
    """Runs the bus's events until until() is true, failing after BOUND seconds."""
    context = GLib.MainContext.default()
    end = time.monotonic() + BOUND
    while True:
        while context.iteration(False):
            pass
        result = until()
        if result:
            return result
        if time.monotonic() > end:
            fail("waited %d s for %s" % (BOUND, what))
        time.sleep(0.05)


def application(pid):
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        return None

    return pump(find, "the program (pid %d) on the accessibility bus" % pid)


def children(node):
    Atspi.Accessible.clear_cache(node)
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def value(node):
    try:
        return node.queryValue().currentValue
    except NotImplementedError:
        return None


def walk(node, depth=0):
    """(depth, node) of node and everything under it that is showing."""
    yield depth, node
    for child in children(node):
        if child is not None and child.getState().contains(pyatspi.STATE_SHOWING):
            yield from walk(child, depth + 1)


def line(node):
    text = "%s %r" % (node.getRoleName(), node.name)
    if actions(node):
        text += " [%s]" % ", ".join(actions(node))
    if value(node) is not None:
        text += " =%g" % value(node)
    return text


def dump(window):
    return "\n".join("  " * depth + line(node) for depth, node in walk(window)) + "\n"


def window_named(app, name):
    def find():
        for window in children(app):
            if window is not None and window.name == name:
                if window.getState().contains(pyatspi.STATE_SHOWING):
                    return window
        return None

    return pump(find, "the window %r" % name)


def find(window, role, name):
    for _, node in walk(window):
        if node.getRoleName() == role and name in (None, node.name):
            return node
    fail("no %s named %r in %r:\n%s" % (role, name, window.name, dump(window)))


def press(node):
    names = actions(node)
    if "Press" not in names:
        fail("%r cannot be pressed: its actions are %s" % (node.name, names))
    node.queryAction().doAction(names.index("Press"))


def check_named(window, leaves_only=True):
    """Every control is named, and no unnamed picture or filler is left in the tree."""
    for _, node in walk(window):
        unnamed = not node.name.strip()
        if unnamed and (node.getRoleName() in ("filler", "unknown", "image") or
                        actions(node) or value(node) is not None):
            fail("an unnamed %s in %r:\n%s" % (node.getRoleName(), window.name, dump(window)))


class NameChanges:
    """The names heard through object:property-change:accessible-name."""

    def __init__(self):
        self.heard = []
        pyatspi.Registry.registerEventListener(self.hear, "object:property-change:accessible-name")

    # Qt sends the object, not its new name, with the event (a screen reader then reads the name).
    def hear(self, event):
        name = event.any_data if isinstance(event.any_data, str) else event.source.name
        self.heard.append((event.source.getRoleName(), name))

    def wait(self, role, words, what):
        def said():
            return next((name for r, name in self.heard if r == role and name in words), None)

        name = pump(said, "%s to be heard (heard: %s)" % (what, self.heard))
        self.heard.clear()
        return name


def check(pid, out_dir):
    app = application(pid)
    main = window_named(app, "Tessolon 3.0")
    heard = NameChanges()
    with open(out_dir + "/main-window.txt", "w") as out:
        out.write(dump(main))
    check_named(main)
    status = find(main, "status bar", "STOP")
    buttons = {name: find(main, "push button", name)
               for name in ("Set parameter", "Run", "Stop", "Author by Veldran Corp :>",
                            "Exit Program", "Go to tray")}
    for name, button in buttons.items():
        if "Press" not in actions(button):
            fail("%r has no Press action: %s" % (name, actions(button)))
    press(buttons["Run"])
    running = heard.wait("status bar", RUN_WORDS, "the status after Go")
    pump(lambda: status.name in RUN_WORDS, "the status to read as running")
    print("Go: heard %r, status reads %r" % (running, status.name))
    press(buttons["Stop"])
    heard.wait("status bar", {"STOP"}, "the status after Stop")
    print("Stop: status reads %r" % status.name)
    press(buttons["Set parameter"])
    dialog = window_named(app, "Adjustment")
    with open(out_dir + "/dialog.txt", "w") as out:
        out.write(dump(dialog))
    check_named(dialog)
    for name in ("<<", ">>", "Save", "Close"):
        if "Press" not in actions(find(dialog, "push button", name)):
            fail("the dialog's %r cannot be pressed" % name)
    for role, name in (("page tab", "Setup Parameter"), ("check box", "Use Sound card"),
                       ("text", "WAVE Form")):
        find(dialog, role, name)
    sliders = [node for _, node in walk(dialog) if node.getRoleName() == "slider"]
    if not sliders or any(not s.name or value(s) is None for s in sliders):
        fail("sliders without a name or a value: %s" % [line(s) for s in sliders])
    press(find(dialog, "push button", "Close"))
    window_named(app, "Tessolon 3.0")
    print("the dialog closed; both windows read")


def focused(app):
    for window in children(app):
        if window is not None and window.getState().contains(pyatspi.STATE_ACTIVE):
            for _, node in walk(window):
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    return node
    return None


def tab_to(app, name):
    """Presses Tab until NAME has the focus: each press must move it, NAME within 80 presses."""
    for _ in range(80):
        before = focused(app)
        # An editable drop-down list is named in its line.
        if before is not None and name in [before.name] + [c.name for c in children(before)]:
            return
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        pump(lambda: focused(app) is not None and focused(app) != before, "Tab to move the focus")
    fail("Tab never reached %r" % name)


def text_of(app, name):
    for window in children(app):
        if window is not None and window.getState().contains(pyatspi.STATE_ACTIVE):
            for _, node in walk(window):
                if node.name == name and node.getRoleName() == "text":
                    return node.queryText().getText(0, -1)
    fail("no box named %r in the active window" % name)


def main(argv):
    if len(argv) < 3:
        fail(__doc__)
    pid, command = int(argv[1]), argv[2]
    if command == "dump":
        app = application(pid)
        for window in children(app):
            if window is not None:
                sys.stdout.write(dump(window))
    elif command == "status":
        print(find(window_named(application(pid), "Tessolon 3.0"), "status bar", None).name)
    elif command == "window":
        window_named(application(pid), argv[3])
    elif command == "text":
        print(text_of(application(pid), argv[3]))
    elif command == "tab-to":
        tab_to(application(pid), argv[3])
    elif command == "check":
        check(pid, argv[3])
    else:
        fail(__doc__)


if __name__ == "__main__":
    main(sys.argv)
