"""Tavrel as a screen reader meets it: the program runs with accessibility on, and
its tree is read through AT-SPI. Every control of the main window and of each
dialog, opened through the menu items' own actions, must have a name; a dialog
closes through its buttons' actions. The selector and the help show that the
program found its plugin and help. Run by atspi.sh inside a session bus."""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# Roles that a screen reader announces without a name of their own: containers,
# separators, a menu's list (named by its menu item), a combo box's list; a label,
# whose name is its text, has nothing to read when empty.
UNNAMED = {pyatspi.ROLE_FILLER, pyatspi.ROLE_LABEL, pyatspi.ROLE_PANEL, pyatspi.ROLE_SEPARATOR,
           pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_SCROLL_PANE, pyatspi.ROLE_VIEWPORT,
           pyatspi.ROLE_SPLIT_PANE, pyatspi.ROLE_LAYERED_PANE,
           pyatspi.ROLE_REDUNDANT_OBJECT}
# Roles that mark a control Qt could not describe.
UNKNOWN = {pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID}

failures = []


def wait_for(what, find, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            found = find()
        except Exception:  # the tree changes under the walk; try again
            found = None
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"FAIL: {what} did not appear in {timeout} s")


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(acc.childCount)]


def path(acc):
    parts = []
    while acc is not None and acc.getRole() != pyatspi.ROLE_APPLICATION:
        parts.append(f"{acc.getRoleName()} '{acc.name}'")
        acc = acc.parent
    return " / ".join(reversed(parts))


def check_names(window, expected):
    """Every control below `window` has a name and a known role; `expected` lists
    (role, name) pairs that must be among them."""
    seen = set()
    todo = [window]
    while todo:
        acc = todo.pop()
        role = acc.getRole()
        seen.add((role, acc.name))
        if role in UNKNOWN:
            failures.append(f"no role: {path(acc)}")
        elif role not in UNNAMED and not acc.name.strip():
            list_of_combo = role == pyatspi.ROLE_LIST and acc.parent.getRole() == \
                pyatspi.ROLE_COMBO_BOX
            if not list_of_combo:
                failures.append(f"no name: {path(acc)}")
        # A list's items are checked a few at a time: the symbol grid has 224.
        todo.extend(children(acc)[:8] if role == pyatspi.ROLE_LIST else children(acc))
    for pair in expected:
        if pair not in seen:
            failures.append(f"{window.name}: no {pair[0]} named '{pair[1]}'")


def find(acc, role, name):
    todo = [acc]
    while todo:
        acc = todo.pop()
        if acc.getRole() == role and acc.name == name:
            return acc
        if acc.getRole() != pyatspi.ROLE_LIST:
            todo.extend(children(acc))
    return None


def act(acc, action):
    iface = acc.queryAction()
    names = [iface.getName(i) for i in range(iface.nActions)]
    if action not in names:
        sys.exit(f"FAIL: {path(acc)} offers {names}, not {action}")
    iface.doAction(names.index(action))


def pump():
    """Delivers the AT-SPI events that have arrived."""
    while GLib.MainContext.default().iteration(False):
        pass


def follow_reading(frame, pad):
    """While the pad is read aloud, a screen reader finds the text's current position,
    the pad's caret, on the word being heard, and is told of each move; after Stop
    Read! the caret is the user's again, where it was, and the text is untouched."""
    text = "alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima mike"
    pad.queryEditableText().setTextContents(text)
    caret = text.index("charlie")
    pad.queryText().setCaretOffset(caret)
    words = {m.start() for m in re.finditer(r"\S+", text)}
    told = []

    def moved(event):
        if event.source.name == "Text pad":
            told.append(event.detail1)
    pyatspi.Registry.registerEventListener(moved, "object:text-caret-moved")
    try:
        act(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Read It!"), "Press")
        # A word past the user's caret: the reading moved the position, not the user.
        heard = wait_for("the caret on a word being read", lambda: pump() or next(
            (o for o in told if o > caret), None))
        if heard not in words:
            failures.append(f"told the caret moved to {heard}, not a word's start")
        offset = pad.queryText().caretOffset
        if offset not in words or offset <= caret:
            failures.append(f"while reading, the pad's caret is at {offset}")
        act(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Stop Read!"), "Press")
        wait_for("the user's caret told back after Stop Read!", lambda: pump() or (
            told[-1] == caret and pad.queryText().caretOffset == caret))
    finally:
        pyatspi.Registry.deregisterEventListener(moved, "object:text-caret-moved")
    if pad.queryText().getText(0, -1) != text or pad.queryText().getNSelections():
        failures.append("reading changed the pad's text or selection")


def window_titled(app, title):
    return lambda: next((w for w in children(app) if w.name == title
                         and w.getState().contains(pyatspi.STATE_SHOWING)), None)


def open_from_menu(app, frame, menu, item, title):
    try:
        act(find(frame, pyatspi.ROLE_MENU_ITEM, item), "Press")
    except GLib.GError:
        # A modal box runs its own loop before the program answers; the box shows.
        pass
    return wait_for(f"{menu} > {item}: window '{title}'", window_titled(app, title))


def main():
    program = sys.argv[1]
    # The registry is up before the program starts, so the program finds the
    # accessibility bus already there.
    desktop = pyatspi.Registry.getDesktop(0)
    desktop.childCount
    tavrel = subprocess.Popen([program])
    try:
        app = wait_for("Tavrel on the accessibility bus", lambda: next(
            (a for a in desktop if a is not None and a.name == "Tavrel"), None))
        frame = wait_for("the main window", window_titled(app, "Tavrel"))

        B, C, T = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT
        check_names(frame, [
            (T, "Text pad"), (pyatspi.ROLE_SCROLL_BAR, "Vertical scroll bar"),
            (B, "Read It!"), (C, "Select Font:"), (C, "Font Size:"),
            (T, "Select Font:"), (pyatspi.ROLE_SCROLL_BAR, "Speed:"),
            (pyatspi.ROLE_SCROLL_BAR, "Pitch:"), (B, "Show colors"),
            (pyatspi.ROLE_CHECK_BOX, "Align Left"), (B, "Insert Picture"),
            (pyatspi.ROLE_MENU_ITEM, "Symbols")])
        # The pad is an editable text a screen reader reads through.
        pad = find(frame, T, "Text pad")
        if not pad.getState().contains(pyatspi.STATE_EDITABLE):
            failures.append("the pad is not editable text")
        follow_reading(frame, pad)

        search = open_from_menu(app, frame, "Search", "Find...", "Search & Replace")
        check_names(search, [])
        symbols = open_from_menu(app, frame, "Insert", "Symbols", "Insert Symbol")
        check_names(symbols, [(pyatspi.ROLE_LIST, "Symbols"), (C, "Font Type:")])
        help_window = open_from_menu(app, frame, "Help", "Contents", "Tavrel Help")
        check_names(help_window, [(pyatspi.ROLE_TREE, "Contents")])
        # Found from the installed program's own place.
        contents = find(help_window, pyatspi.ROLE_TREE, "Contents")
        wait_for("the help's contents", lambda: contents.childCount > 0)
        about = open_from_menu(app, frame, "Help", "About...", "About Tavrel")
        check_names(about, [])
        # A modal box is left through its button, pressed as a screen reader does.
        act(find(about, B, "OK"), "Press")
        wait_for("the About box to close",
                 lambda: window_titled(app, "About Tavrel")() is None)
    finally:
        tavrel.terminate()
        tavrel.wait(30)
        for failure in failures:
            print("FAIL:", failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


main()
