#!/usr/bin/python3
"""Makes docs/menu-icons.png: the menu Quillmorn writes, read back through GMenu and shown as
openbox's root menu with the icons the entries name, under Xvfb.

Usage: scripts/menu_screenshot.py path/to/qmorn [output.png]
Needs Xvfb, openbox, xdotool, ImageMagick's import, mksquashfs, python3-gi with GMenu.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib
from xml.sax.saxutils import escape

import gi

gi.require_version("GMenu", "3.0")
from gi.repository import GMenu  # noqa: E402

QMORN = os.path.abspath(sys.argv[1])
OUTPUT = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "docs/menu-icons.png")
DISPLAY = ":77"


def png(side, colour):
    """A square PNG: a filled disc of colour on a transparent ground."""
    rows = []
    r = side / 2
    for y in range(side):
        row = b"\x00"
        for x in range(side):
            inside = (x + 0.5 - r) ** 2 + (y + 0.5 - r) ** 2 <= (r - 1) ** 2
            row += bytes(colour) + (b"\xff" if inside else b"\x00")
        rows.append(row)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(b"".join(rows))) + chunk(b"IEND", b""))


def write(path, data, mode=0o644):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())
    os.chmod(path, mode)
    return path


def app_image(folder, scratch):
    app_dir = os.path.join(scratch, "AppDir")
    write(os.path.join(app_dir, ".DirIcon"), png(64, (230, 120, 30)))
    write(os.path.join(app_dir, "painter.desktop"),
          "[Desktop Entry]\nType=Application\nName=Painter\nName[ja]=お絵かき\n"
          "Comment=Draws pictures\nComment[ja]=絵を描く\nExec=painter\nIcon=painter\n"
          "StartupWMClass=painter\n")
    image = os.path.join(scratch, "image")
    subprocess.run(["mksquashfs", app_dir, image, "-noappend", "-quiet", "-no-progress"],
                   check=True)
    runtime = bytearray(open("/bin/true", "rb").read())
    runtime[8:11] = b"AI\x02"
    return write(os.path.join(folder, "Painter-x86_64.AppImage"),
                 bytes(runtime) + open(image, "rb").read(), 0o755)


def read_menu(env):
    """The entries of the written menu as GMenu reads them: (path, name, icon) in menu order."""
    old = dict(os.environ)
    os.environ.update(env)
    tree = GMenu.Tree.new("applications.menu", GMenu.TreeFlags.NONE)
    tree.load_sync()
    items = []

    def walk(directory, depth):
        it = directory.iter()
        while True:
            kind = it.next()
            if kind == GMenu.TreeItemType.INVALID:
                return
            if kind == GMenu.TreeItemType.DIRECTORY:
                sub = it.get_directory()
                items.append((depth, "menu", sub.get_name(), None))
                walk(sub, depth + 1)
                items.append((depth, "end", None, None))
            elif kind == GMenu.TreeItemType.ENTRY:
                info = it.get_entry().get_app_info()
                icon = info.get_icon()
                items.append((depth, "item", info.get_name(), icon.to_string() if icon else ""))

    walk(tree.get_root_directory(), 0)
    os.environ.clear()
    os.environ.update(old)
    return items


def icon_file(name, data_home):
    """The file the user's hicolor theme (then the system's themes) gives for an icon name."""
    for theme in (os.path.join(data_home, "icons", "hicolor"), "/usr/share/icons/hicolor",
                  "/usr/share/icons/Adwaita"):
        for size in ("48x48", "64x64", "32x32", "128x128", "256x256", "24x24", "16x16",
                     "512x512", "scalable"):
            for sub in ("apps", "mimetypes"):
                for ext in (".png", ".svg"):
                    path = os.path.join(theme, size, sub, name + ext)
                    if os.path.isfile(path):
                        return path
    return ""


def main():
    home = tempfile.mkdtemp(prefix="qm-menu-")
    data = os.path.join(home, ".local", "share")
    config = os.path.join(home, ".config")
    xdg = os.path.join(home, "xdg")
    write(os.path.join(xdg, "config", "menus", "applications.menu"),
          "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
          " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
          "<Menu><Name>Applications</Name><DefaultAppDirs/><DefaultDirectoryDirs/>"
          "<DefaultMergeDirs/></Menu>\n")
    os.makedirs(os.path.join(xdg, "data"), exist_ok=True)
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config, XDG_DATA_HOME=data,
               XDG_RUNTIME_DIR=runtime, XDG_CONFIG_DIRS=os.path.join(xdg, "config"),
               XDG_DATA_DIRS=os.path.join(xdg, "data"), LC_ALL="C.UTF-8", QUILLMORN_LANG="ja",
               QT_QPA_PLATFORM="xcb", DISPLAY=DISPLAY)
    env.pop("XDG_MENU_PREFIX", None)

    work = os.path.join(home, "Soft")
    painter = app_image(os.path.join(work, "Painter"), home)
    notes = write(os.path.join(work, "Notes", "notes"), "#!/bin/sh\n", 0o755)
    write(os.path.join(work, "Notes", "notes.png"), png(48, (40, 170, 90)))
    calc = write(os.path.join(work, "Calc", "calc"), "#!/bin/sh\n", 0o755)
    write(os.path.join(work, "Calc", "calc.desktop"), "[Desktop Entry]\nIcon=calc\n")
    write(os.path.join(work, "Calc", "share", "icons", "hicolor", "128x128", "apps", "calc.png"),
          png(128, (50, 110, 220)))
    bare = write(os.path.join(work, "Bare", "bare"), "#!/bin/sh\n", 0o755)
    list_folder = os.path.join(data, "quillmorn", "Soft")
    write(os.path.join(list_folder, "settings.dat"), work + "\r\n")
    write(os.path.join(list_folder, "index.qmx"),
          ("1,お絵かき,Painter,グラフィック,%s,絵を描く\r\n1,メモ帳,Notes,ツール,%s,メモ\r\n"
           "1,電卓,Calc,ツール,%s,計算\r\n1,何もない,Bare,未設定,%s,アイコンなし\r\n"
           % (painter, notes, calc, bare)).encode())

    xvfb = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "900x560x24", "-nolisten", "tcp"])
    time.sleep(1.5)
    wm_config = os.path.join(home, "wm")
    wm_env = dict(env, XDG_CONFIG_HOME=wm_config, XDG_CONFIG_DIRS="/etc/xdg",
                  XDG_DATA_DIRS="/usr/share")
    wm = None

    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=env, check=False, capture_output=True,
                              text=True, timeout=20).stdout.strip()

    def window(title, tries=100):
        for _ in range(tries):
            found = xdotool("search", "--onlyvisible", "--name", "^%s$" % title)
            if found:
                return found.split()[-1]
            time.sleep(0.2)
        raise RuntimeError("no window " + title)

    try:
        proc = subprocess.Popen([QMORN, work], env=env)
        menu = window("Quillmorn")
        # The button リンク作成, by its place in the main menu (again until the window takes it).
        for _ in range(10):
            time.sleep(1)
            xdotool("mousemove", "--window", menu, "85", "258", "click", "1")
            try:
                links = window("Quillmorn - リンク作成", 10)
                break
            except RuntimeError:
                continue
        box = window("quillmorn")
        xdotool("windowactivate", "--sync", box)
        xdotool("key", "Return")
        time.sleep(1)
        # Combo1 (the destination), then Command5, by their places in the window.
        xdotool("mousemove", "--window", links, "60", "235", "click", "1")
        xdotool("key", "ctrl+a")
        xdotool("type", "My Soft")
        xdotool("mousemove", "--window", links, "284", "232", "click", "1")
        box = window("quillmorn")
        xdotool("windowactivate", "--sync", box)
        xdotool("key", "Return")
        time.sleep(1)
        proc.terminate()
        proc.wait(timeout=10)

        items = read_menu(env)
        for depth, kind, name, icon in items:
            if kind != "end":
                print("%s%s %s" % ("  " * depth, name, icon or ""))
        # One flat menu, so that every entry and its icon show at once: the folders as
        # separators with labels.
        xml = ['<?xml version="1.0" encoding="UTF-8"?>',
               '<openbox_menu xmlns="http://openbox.org/3.4/menu">',
               '<menu id="root-menu" label="menu">',
               '<separator label="GMenu で読み直したメニュー (Icon=)"/>']
        folders = []
        for depth, kind, name, icon in items:
            if kind == "menu":
                folders.append(name)
                xml.append('<separator label="%s"/>' % escape(" / ".join(folders)))
            elif kind == "end":
                folders.pop()
                if folders:
                    xml.append('<separator label="%s"/>' % escape(" / ".join(folders)))
            else:
                xml.append('<item label="%s" icon="%s"><action name="Execute"><command>true'
                           '</command></action></item>'
                           % (escape("%s    Icon=%s" % (name, icon)), escape(icon_file(icon, data))))
        xml += ["</menu>", "</openbox_menu>"]
        write(os.path.join(wm_config, "openbox", "menu.xml"), "\n".join(xml))
        rc = open("/etc/xdg/openbox/rc.xml", encoding="utf-8").read()
        rc = rc.replace("<showIcons>no</showIcons>", "<showIcons>yes</showIcons>")
        write(os.path.join(wm_config, "openbox", "rc.xml"), rc)
        wm = subprocess.Popen(["openbox"], env=wm_env)
        time.sleep(2)
        xdotool("mousemove", "20", "20", "click", "3")
        time.sleep(0.8)
        subprocess.run(["import", "-window", "root", "-crop", "400x250+10+10", OUTPUT], env=env,
                       check=True)
        print("wrote", OUTPUT)
    finally:
        if wm:
            wm.terminate()
        xvfb.terminate()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
