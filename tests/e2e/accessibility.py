#!/usr/bin/python3
"""Reads the running window over AT-SPI, the bus a screen reader listens to, and drives it with
the keyboard (xdotool): the accessible tree rolled up, unrolled, and with each panel open, and the
events a screen reader announces.

In every state: every control that shows is named; nothing reports itself as showing that the
window clips away (rolled up) or that an open question covers; no editable field is in the tree
that does not show; the note area is named for what it is. Moving the list's highlight by key
raises a focus or selection event that names the title; a panel opened from the keyboard raises
a focus event inside it.

usage: accessibility.py WINDOW_ID FIRST_TITLE SECOND_TITLE   (DISPLAY and the session bus set)
Prints nothing and ends with 0 when all holds; otherwise says what failed and ends with 1.
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WINDOW_ID, FIRST_TITLE, SECOND_TITLE = sys.argv[1:4]
TIMEOUT = 10.0

# Roles of the objects that a person reads or uses: each must be named while it shows.
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_LIST, pyatspi.ROLE_DIALOG, pyatspi.ROLE_PANEL, pyatspi.ROLE_IMAGE,
    pyatspi.ROLE_LABEL, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW, pyatspi.ROLE_TABLE_CELL,
    pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_COLUMN_HEADER,
    pyatspi.ROLE_TABLE_COLUMN_HEADER,
}

events = []


def fail(message):
    print("FAIL [accessibility]: " + message, file=sys.stderr)
    sys.exit(1)


def pump(seconds=0.0):
    """Dispatches the bus's messages for a while (at least once)."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while True:
        while context.iteration(False):
            pass
        if time.monotonic() >= end:
            return
        time.sleep(0.02)


def wait_for(what, condition):
    value = wait_for_quietly(condition)
    if not value:
        fail(what + " (waited %d s)" % TIMEOUT)
    return value


def wait_for_quietly(condition):
    """As wait_for, but returns None instead of failing when the time is up."""
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        pump()
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    return None


def key(*names):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *names], check=True)


def states(obj):
    return set(obj.getState().getStates())


def extents(obj):
    """Where the object is on the screen; None for one with no place of its own."""
    try:
        e = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    except NotImplementedError:
        return None
    return (e.x, e.y, e.width, e.height)


def inside(inner, outer):
    return (inner[0] >= outer[0] and inner[1] >= outer[1]
            and inner[0] + inner[2] <= outer[0] + outer[2]
            and inner[1] + inner[3] <= outer[1] + outer[3])


def overlaps(a, b):
    return (a[0] < b[0] + b[2] and b[0] < a[0] + a[2]
            and a[1] < b[1] + b[3] and b[1] < a[1] + a[3])


def describe(obj):
    return "%s %r" % (obj.getRoleName(), obj.name)


def descendants(obj, depth=0):
    yield obj, depth
    if obj.getRole() in (pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE):
        # A list's cells: only those the list holds as its items, each once.
        for child in obj:
            if child is not None:
                yield child, depth + 1
        return
    for child in obj:
        if child is not None:
            yield from descendants(child, depth + 1)


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for child in app:
            if child is not None and child.name == "Zentavo 1.0":
                return child
    return None


def check_tree(window, label, question=None):
    """Checks the tree in one state; `question` is the name of the open question panel."""
    window_box = extents(window)
    covering = None
    shown_question = None
    if question:
        for obj, _ in descendants(window):
            if obj.getRole() == pyatspi.ROLE_DIALOG and obj.name == question:
                shown_question = obj
        if shown_question is None:
            fail("%s: no panel %r in the tree" % (label, question))
        covering = extents(shown_question)
    in_question = set()
    if shown_question is not None:
        for obj, _ in descendants(shown_question):
            in_question.add(obj)
    note_areas = 0
    for obj, depth in descendants(window):
        state = states(obj)
        role = obj.getRole()
        showing = pyatspi.STATE_SHOWING in state
        if pyatspi.STATE_EDITABLE in state and not showing:
            fail("%s: a hidden editable field is in the tree: %s" % (label, describe(obj)))
        if role == pyatspi.ROLE_TEXT and depth == 1:
            note_areas += 1
            if obj.name != "Anteckning":
                fail("%s: the note area is named %r" % (label, obj.name))
        if not showing:
            continue
        box = extents(obj)
        if role in CONTROL_ROLES and not obj.name:
            fail("%s: a control that shows has no name: %s at %s" % (label, describe(obj), box))
        if box is None:
            continue
        if obj is not window and not overlaps(box, window_box):
            fail("%s: %s reports itself as showing at %s, outside the window at %s"
                 % (label, describe(obj), box, window_box))
        if (covering and obj not in in_question and obj is not window and depth == 1
                and inside(box, covering)):
            fail("%s: %s is covered by the panel %r but reports itself as showing"
                 % (label, describe(obj), question))
    return note_areas


def focused_object():
    """The control with the keyboard focus (a list's current item counts only while the list
    has the focus)."""
    for obj, _ in descendants(find_window()):
        if pyatspi.STATE_FOCUSED in states(obj) and obj.getRole() != pyatspi.ROLE_TABLE_CELL:
            return obj
    return None


def ancestors(obj):
    parent = obj.parent
    while parent is not None:
        yield parent
        parent = parent.parent


def on_event(event):
    events.append((event.type, event.source, event.detail1))


def focus_events_since(start):
    for kind, source, detail in events[start:]:
        if kind.startswith("object:state-changed:focused") and detail == 1:
            yield source
        elif kind.startswith("focus"):
            yield source


def main():
    pyatspi.Registry.registerEventListener(
        on_event, "object:state-changed:focused", "object:selection-changed",
        "object:active-descendant-changed", "focus:")
    window = wait_for("the window did not appear on the accessibility bus", find_window)
    height = lambda: extents(find_window())[3]

    # Rolled up: the strip and what lies on it, nothing of the note area.
    if check_tree(window, "rolled up") != 0:
        fail("rolled up: the note area reports itself in the tree")
    def focus_on_strip():
        focus = focused_object()
        return (focus is not None and focus.getRole() == pyatspi.ROLE_LABEL
                and focus.name == "Zentavo 1.0")
    if not wait_for_quietly(focus_on_strip):
        focus = focused_object()
        fail("rolled up: the focus is not on the title strip but on %s"
             % (describe(focus) if focus else "nothing"))

    subprocess.run(["xdotool", "windowactivate", "--sync", WINDOW_ID], check=True)
    key("Return")
    wait_for("Enter did not unroll the window", lambda: height() > 100)
    window = find_window()
    wait_for("unrolled: the note area has not come into the tree",
             lambda: check_tree(find_window(), "unrolled") == 1)

    # "Ny" and "Spara" by keys: the save panel takes the focus, in its title box.
    key("ctrl+n")
    mark = len(events)
    key("ctrl+s")
    question = "Ange ett namn på noteringen:"

    def focus_in_panel(name):
        for source in focus_events_since(mark):
            if any(p.getRole() == pyatspi.ROLE_DIALOG and p.name == name
                   for p in ancestors(source)):
                return source
        return None
    wait_for("the save panel opened by Ctrl+S raised no focus event inside it",
             lambda: focus_in_panel(question))
    check_tree(find_window(), "save panel", question)
    key("Escape")
    wait_for("Escape did not close the save panel", lambda: not any(
        o.getRole() == pyatspi.ROLE_DIALOG for o, _ in descendants(find_window())))

    # The list by Ctrl+L; Down moves the highlight to the second title, which is announced.
    key("ctrl+l")
    wait_for("Ctrl+L raised no focus event naming the first title", lambda: any(
        s.name == FIRST_TITLE for s in focus_events_since(mark)))
    mark = len(events)
    key("Down")

    def announced(title):
        for kind, source, detail in events[mark:]:
            if source is not None and source.name == title and (
                    kind.startswith("object:state-changed:focused") or kind.startswith("focus")
                    or kind.startswith("object:selection-changed")
                    or kind.startswith("object:active-descendant-changed")):
                return True
            if kind.startswith("object:active-descendant-changed"):
                return False
        return False
    wait_for("moving the highlight by key raised no focus or selection event naming %r"
             % SECOND_TITLE, lambda: announced(SECOND_TITLE))
    check_tree(find_window(), "list out")

    # The second note shows; Ctrl+Delete asks, and the question takes the focus.
    mark = len(events)
    key("ctrl+Delete")
    question = "Vill du radera denna notering?"
    wait_for("the delete panel opened by Ctrl+Delete raised no focus event inside it",
             lambda: focus_in_panel(question))
    check_tree(find_window(), "delete panel", question)
    key("Escape")

    # "M" from the keyboard: the command panel takes the focus at "Ny". Escape has moved the
    # focus back to the note area first, which is awaited, not assumed.
    def focus_in_note():
        focus = focused_object()
        return focus is not None and focus.name == "Anteckning"
    if not wait_for_quietly(focus_in_note):
        focus = focused_object()
        fail("after Escape the focus is not in the note area but on %s"
             % (describe(focus) if focus else "nothing"))
    mark = len(events)
    key("Tab")
    key("Tab")
    wait_for("Tab did not reach \"M\"", lambda: any(
        source.name == "Kommandon (M)" for source in focus_events_since(mark)))
    mark = len(events)
    key("space")

    def focus_on_new():
        for source in focus_events_since(mark):
            if source.name == "Ny" and any(p.name == "Kommandon" for p in ancestors(source)):
                return True
        return False
    wait_for("the command panel opened by key raised no focus event at \"Ny\"", focus_on_new)
    check_tree(find_window(), "command panel")
    key("Escape")
    key("Escape")
    wait_for("Escape did not roll the window up", lambda: height() < 40)
    wait_for("rolled up again: the note area is still in the tree",
             lambda: check_tree(find_window(), "rolled up again") == 0)
    return 0


if __name__ == "__main__":
    sys.exit(main())
