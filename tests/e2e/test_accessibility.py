#!/usr/bin/python3
"""The catalogue window as a screen reader reads it: through AT-SPI, the desktop's
accessibility bus.

Run by ctest as: dbus-run-session -- xvfb-run -a python3 test_accessibility.py /path/to/qmorn
Every control the window shows has a name, its list rows speak their texts, and nothing it
does not show is in the tree.
"""

import os
import sys
import time
import unittest

import pyatspi

import test_e2e
from test_e2e import Home

CONTROLS = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
            pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST,
            pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE,
            pyatspi.ROLE_TREE, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
            pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_PROGRESS_BAR}
ROWS = {pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM}


def find_window(predicate, timeout=30.0):
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            for window in app or []:
                if window is not None and predicate(window.name or ""):
                    return window
        time.sleep(0.2)
    return None


def walk(node):
    """Every control and row below node as (role, role name, name, shown)."""
    for child in node or []:
        if child is None:
            continue
        role = child.getRole()
        if role in CONTROLS or role in ROWS:
            yield role, child.getRoleName(), child.name or "", \
                child.getState().contains(pyatspi.STATE_SHOWING)
        # A combo box's collapsed list and a text box's clear button (shown only over a text)
        # are Qt's own parts of the control.
        if role not in (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT):
            yield from walk(child)


class Accessibility(unittest.TestCase):
    def test_catalogue_names_every_shown_control_and_nothing_hidden(self):
        home = Home()
        self.addCleanup(home.cleanup)
        home.env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        work = home.working_folder("Apps", ["editor"])
        with open(os.path.join(work, "editor", "readme.txt"), "w") as f:
            f.write("An editor.\n")
        home.prepare(work, b"1,Editor,editor,Tools,/nowhere/edit.exe,Text\r\n")
        pyatspi.Registry.getDesktop(0)  # the registry runs before the program looks for it
        proc = home.start("-l", work)
        window = find_window(lambda name: name.startswith("Quillmorn ListView - "))
        self.assertIsNotNone(window, "no catalogue on the accessibility bus: " + Home.output(proc))
        # The list fills once the window is shown.
        deadline = time.time() + 20
        controls = list(walk(window))
        while time.time() < deadline and ("Editor" not in (c[2] for c in controls)):
            time.sleep(0.2)
            controls = list(walk(window))
        described = [c[1:] for c in controls]
        shown = [(role, name) for role, _, name, is_shown in controls if is_shown]
        hidden = [(role_name, name) for role, role_name, name, is_shown in controls
                  if not is_shown and role in CONTROLS]
        unnamed = [role_name for role, role_name, name, is_shown in controls
                   if is_shown and role in CONTROLS and not name.strip()]
        rows = {name for role, name in shown if role in ROWS}
        self.assertEqual((unnamed, hidden), ([], []), described)
        self.assertIn("Editor", rows)
        self.assertGreaterEqual(sum(1 for role, _ in shown if role in CONTROLS), 9, described)


if __name__ == "__main__":
    test_e2e.QMORN = sys.argv.pop(1)
    unittest.main(verbosity=2)
