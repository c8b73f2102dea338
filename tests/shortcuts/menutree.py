#!/usr/bin/python3
"""Prints the applications menu as the freedesktop menu library GMenu reads it.

One line per item, depth first in the menu's own order: a folder as its path ending in "/", an
entry as its folder's path followed by the entry's name (and, with --icons, a tab and the icon the
menu shows for it). Exits with 77 when GMenu is missing.
"""

import sys

try:
    import gi

    gi.require_version("GMenu", "3.0")
    from gi.repository import GMenu
except (ImportError, ValueError) as error:
    print("GMenu is not available: %s" % error, file=sys.stderr)
    sys.exit(77)


ICONS = "--icons" in sys.argv


def walk(directory, path, lines):
    items = directory.iter()
    while True:
        kind = items.next()
        if kind == GMenu.TreeItemType.INVALID:
            return
        if kind == GMenu.TreeItemType.DIRECTORY:
            sub = items.get_directory()
            if not ICONS:
                lines.append(path + sub.get_name() + "/")
            walk(sub, path + sub.get_name() + "/", lines)
        elif kind == GMenu.TreeItemType.ENTRY:
            info = items.get_entry().get_app_info()
            line = path + info.get_name()
            if ICONS:
                icon = info.get_icon()
                line += "\t" + (icon.to_string() if icon else "")
            lines.append(line)


def main():
    tree = GMenu.Tree.new("applications.menu", GMenu.TreeFlags.NONE)
    if not tree.load_sync():
        print("the menu could not be loaded", file=sys.stderr)
        return 1
    root = tree.get_root_directory()
    lines = []
    walk(root, root.get_name() + "/", lines)
    sys.stdout.write("".join(line + "\n" for line in lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
