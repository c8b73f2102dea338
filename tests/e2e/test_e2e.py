#!/usr/bin/python3
"""End-to-end tests: the real qmorn executable under an X server.

Run by ctest as: xvfb-run -a python3 test_e2e.py [--window-manager COMMAND] /path/to/qmorn
Every test works in a temporary home; windows are found by their captions, closed the way a
window manager closes them (WM_DELETE_WINDOW), and message boxes are answered with the keyboard.
The program echoes every message box text to standard error (QUILLMORN_ECHO_MESSAGES).

With --window-manager the tests run again under a real window manager (openbox), which frames,
focuses and activates windows as on a user's desktop; without one an X server sends a program
almost no activation. When CI is set, a missing window manager fails the run instead of skipping.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

from Xlib import X, display, protocol

QMORN = None
WINDOW_MANAGER = None


class Screen:
    """The top-level windows of the X display."""

    def __init__(self):
        self.d = display.Display()
        self.root = self.d.screen().root
        self.net_wm_name = self.d.intern_atom("_NET_WM_NAME")
        self.utf8 = self.d.intern_atom("UTF8_STRING")
        self.wm_protocols = self.d.intern_atom("WM_PROTOCOLS")
        self.wm_delete = self.d.intern_atom("WM_DELETE_WINDOW")
        self.client_list = self.d.intern_atom("_NET_CLIENT_LIST")
        self.active_window = self.d.intern_atom("_NET_ACTIVE_WINDOW")
        self.wm_check = self.d.intern_atom("_NET_SUPPORTING_WM_CHECK")
        self.managed = False  # a window manager runs

    def window_manager_running(self):
        return self.root.get_full_property(self.wm_check, X.AnyPropertyType) is not None

    def top_level(self):
        """The program windows: a window manager lists them, else they are the root's children."""
        if self.managed:
            prop = self.root.get_full_property(self.client_list, X.AnyPropertyType)
            ids = prop.value if prop else []
            return [self.d.create_resource_object("window", i) for i in ids]
        return self.root.query_tree().children

    def active_title(self):
        """The caption of the window the window manager made active, or None."""
        prop = self.root.get_full_property(self.active_window, X.AnyPropertyType)
        if not prop or not len(prop.value) or not prop.value[0]:
            return None
        return self.title(self.d.create_resource_object("window", prop.value[0]))

    def title(self, win):
        try:
            prop = win.get_full_property(self.net_wm_name, self.utf8)
            if prop and prop.value:
                v = prop.value
                return v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v)
            name = win.get_wm_name()
            return name or ""
        except Exception:
            return ""

    def visible_windows(self):
        result = []
        for win in self.top_level():
            try:
                if win.get_attributes().map_state == X.IsViewable:
                    t = self.title(win)
                    if t:
                        result.append((win, t))
            except Exception:
                pass
        return result

    def titles(self):
        return [t for _, t in self.visible_windows()]

    def find(self, predicate, timeout=15.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            for win, t in self.visible_windows():
                if predicate(t):
                    return win
            time.sleep(0.05)
        return None

    def wait_gone(self, win, timeout=10.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if win.id not in [w.id for w, _ in self.visible_windows()]:
                return True
            time.sleep(0.05)
        return False

    def close(self, win):
        event = protocol.event.ClientMessage(
            window=win, client_type=self.wm_protocols,
            data=(32, [self.wm_delete, X.CurrentTime, 0, 0, 0]))
        win.send_event(event, event_mask=X.NoEventMask)
        self.d.flush()

    def press(self, win, *keys):
        focus = "windowactivate" if self.managed else "windowfocus"
        try:
            subprocess.run(["xdotool", focus, "--sync", str(win.id)], check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        except subprocess.TimeoutExpired:
            # A window manager may keep a second modal box of one program from becoming the
            # active window; the keys then go to it through the input focus.
            subprocess.run(["xdotool", "windowfocus", str(win.id)], check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        time.sleep(0.2)
        # One key at a time, as a person types: on a busy machine a burst of fake key events
        # sent at once reached the program as a single Tab.
        for key in keys:
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True, timeout=10)
            time.sleep(0.15)


class Home:
    """A temporary home with the XDG folders the program uses."""

    def __init__(self):
        self.path = tempfile.mkdtemp(prefix="qm-e2e-")
        self.config = os.path.join(self.path, ".config")
        self.data = os.path.join(self.path, ".local", "share")
        self.runtime = os.path.join(self.path, "runtime")
        for p in (self.config, self.data, self.runtime):
            os.makedirs(p, exist_ok=True)
        os.chmod(self.runtime, 0o700)
        self.program_folder = os.path.join(self.data, "quillmorn")
        self.env = dict(os.environ, HOME=self.path, XDG_CONFIG_HOME=self.config,
                        XDG_DATA_HOME=self.data, XDG_RUNTIME_DIR=self.runtime,
                        QUILLMORN_ECHO_MESSAGES="1", LC_ALL="C.UTF-8", QUILLMORN_LANG="ja",
                        QT_QPA_PLATFORM="xcb")
        self.processes = []

    def start(self, *args, cwd=None):
        log = tempfile.TemporaryFile()
        proc = subprocess.Popen([QMORN, *args], env=self.env, stdout=log, stderr=log, cwd=cwd)
        proc.log = log
        self.processes.append(proc)
        return proc

    @staticmethod
    def output(proc):
        proc.log.seek(0)
        return proc.log.read().decode("utf-8", "replace")

    def working_folder(self, name, subfolders=()):
        folder = os.path.join(self.path, name)
        for sub in subfolders:
            os.makedirs(os.path.join(folder, sub), exist_ok=True)
        os.makedirs(folder, exist_ok=True)
        return folder

    def prepare(self, work_folder, index_bytes=None):
        list_folder = os.path.join(self.program_folder, os.path.basename(work_folder))
        os.makedirs(list_folder, exist_ok=True)
        with open(os.path.join(list_folder, "settings.dat"), "wb") as f:
            f.write(work_folder.encode() + b"\r\n")
        if index_bytes is not None:
            with open(os.path.join(list_folder, "index.qmx"), "wb") as f:
                f.write(index_bytes)
        return list_folder

    def preferences(self, lines):
        with open(os.path.join(self.config, "orvalde.ini"), "w", encoding="utf-8") as f:
            f.write("[qmorn]\n" + "".join(line + "\n" for line in lines))

    def cleanup(self):
        for proc in self.processes:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        shutil.rmtree(self.path, ignore_errors=True)


class WindowManager:
    """A window manager started for the whole run, in a home of its own."""

    def __init__(self, screen, command):
        self.home = tempfile.mkdtemp(prefix="qm-e2e-wm-")
        env = dict(os.environ, HOME=self.home,
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                   XDG_CACHE_HOME=os.path.join(self.home, ".cache"))
        self.proc = subprocess.Popen([command], env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        deadline = time.time() + 15
        while not screen.window_manager_running():
            if time.time() > deadline or self.proc.poll() is not None:
                self.stop()
                raise RuntimeError("the window manager %s did not start" % command)
            time.sleep(0.1)
        screen.managed = True

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def wait_exit(proc, timeout=15.0):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


class EndToEnd(unittest.TestCase):
    screen = None

    window_manager = None

    @classmethod
    def setUpClass(cls):
        cls.screen = Screen()
        if WINDOW_MANAGER:
            if shutil.which(WINDOW_MANAGER) is None:
                message = "the window manager %s is not installed" % WINDOW_MANAGER
                if os.environ.get("CI"):
                    raise RuntimeError(message)
                raise unittest.SkipTest(message)
            cls.window_manager = WindowManager(cls.screen, WINDOW_MANAGER)

    @classmethod
    def tearDownClass(cls):
        if cls.window_manager:
            cls.window_manager.stop()

    def setUp(self):
        self.home = Home()

    def tearDown(self):
        self.home.cleanup()
        # Let the X server forget the windows of the killed processes.
        deadline = time.time() + 5
        while self.screen.titles() and time.time() < deadline:
            time.sleep(0.05)

    def open_and_close(self, args, caption_test):
        proc = self.home.start(*args)
        win = self.screen.find(caption_test)
        if win is None:
            proc.kill()
            proc.wait()
        self.assertIsNotNone(win, "no window; visible: %r; output: %s"
                             % (self.screen.titles(), Home.output(proc)))
        self.screen.close(win)
        self.assertEqual(wait_exit(proc), 0, Home.output(proc))
        return proc

    def test_command_line_forms_open_their_windows(self):
        work = self.home.working_folder("Soft", ["tool"])
        self.home.prepare(work, b"")
        cases = [
            ([], lambda t: t == "Quillmorn"),
            (["-l", work], lambda t: t == "Quillmorn ListView - " + work),
            (["-L", work], lambda t: t == "Quillmorn ListView - " + work),
            (["-i", work], lambda t: t == "Quillmorn - インストーラー"),
            ([work], lambda t: t == "Quillmorn"),
            ([os.path.join(self.home.program_folder, "Soft", "index.qmx")],
             lambda t: t == "Quillmorn"),
        ]
        for args, test in cases:
            with self.subTest(args=args):
                self.open_and_close(args, test)

    def test_unknown_argument_opens_nothing(self):
        for args in (["relative/path"], ['"/quoted path"'], ["-x", "/tmp"]):
            with self.subTest(args=args):
                proc = self.home.start(*args)
                self.assertEqual(wait_exit(proc), 0)
                self.assertEqual(Home.output(proc).count("quillmorn message"), 0)

    def test_second_instance_hands_over(self):
        # A working folder that already holds "tool": the installer that gets "tool.zip" says so,
        # which shows that the file reached the installer of that folder.
        work = self.home.working_folder("Soft", ["tool"])
        self.home.prepare(work, b"")
        self.home.preferences(["lpd0=" + work.lower()])
        archive = os.path.join(self.home.path, "tool.zip")
        with zipfile.ZipFile(archive, "w") as z:
            z.writestr("tool/readme.txt", "x")
        first = self.home.start()
        self.assertIsNotNone(self.screen.find(lambda t: t == "Quillmorn"))
        # Named relative to the folder the second start is made in, not the first's.
        second = self.home.start(os.path.basename(archive), cwd=os.path.dirname(archive))
        self.assertEqual(wait_exit(second, 5), 0)
        self.assertNotIn("quillmorn message", Home.output(second))
        clash = "重複した名前が存在します。"
        deadline = time.time() + 10
        while clash not in Home.output(first) and time.time() < deadline:
            time.sleep(0.1)
        self.assertIn(clash, Home.output(first))
        # The message box of the first is modal: a third start cannot be acted on, and the
        # first says so itself.
        third = self.home.start("-l", work)
        self.assertEqual(wait_exit(third, 5), 0)
        deadline = time.time() + 10
        while "既に起動されています" not in Home.output(first) and time.time() < deadline:
            time.sleep(0.1)
        self.assertIn("Quillmornは既に起動されています", Home.output(first))
        self.assertNotIn("quillmorn message", Home.output(third))
        # Once both messages are answered, the first shows the installer that got the file.
        for _ in range(2):
            boxes = [w for w, t in self.screen.visible_windows() if t == "quillmorn"]
            self.assertTrue(boxes, "visible: %r" % self.screen.titles())
            box = max(boxes, key=lambda w: w.id)  # the newest, over the other
            self.screen.press(box, "Return")
            self.assertTrue(self.screen.wait_gone(box))
        self.assertIsNotNone(self.screen.find(lambda t: t == "Quillmorn - インストーラー"),
                             "no installer; visible: %r" % self.screen.titles())
        self.assertIsNone(first.poll(), "the first instance stopped")

    def test_program_ends_when_last_window_closes(self):
        proc = self.home.start()
        menu = self.screen.find(lambda t: t == "Quillmorn")
        self.assertIsNotNone(menu)
        self.screen.close(menu)
        self.assertEqual(wait_exit(proc), 0)

    def test_closing_changed_catalogue_saves_list(self):
        work = self.home.working_folder("Apps", ["editor"])
        list_folder = self.home.prepare(
            work, b"1,Editor,editor,Tools,/nowhere/edit.exe,Text\r\n2,Gone,gone,x,y,z\r\n")
        proc = self.home.start("-l", work)
        # The record of the missing folder is named, as the list loads, before a save drops it.
        told = self.screen.find(lambda t: t == "quillmorn", timeout=20)
        self.assertIsNotNone(told, "no word of the missing folder; output: " + Home.output(proc))
        self.assertIn("にないため、その登録情報はリストを保存するときに除かれます。\ngone",
                      Home.output(proc))
        self.screen.press(told, "Return")
        self.assertTrue(self.screen.wait_gone(told))
        catalogue = self.screen.find(lambda t: t.startswith("Quillmorn ListView - "))
        self.assertIsNotNone(catalogue, Home.output(proc))
        time.sleep(0.5)
        self.screen.close(catalogue)
        question = self.screen.find(lambda t: t == "quillmorn")
        self.assertIsNotNone(question, "no save question; output: " + Home.output(proc))
        self.screen.press(question, "Return")  # Yes is the default button
        links = self.screen.find(lambda t: t == "Quillmorn - リンク作成", timeout=20)
        self.assertIsNotNone(links, "no link window; output: " + Home.output(proc))
        with open(os.path.join(list_folder, "index.qmx"), "rb") as f:
            saved = f.read()
        self.assertEqual(saved, b"1,Editor,editor,Tools,/nowhere/edit.exe,Text\r\n")
        self.assertIn("実行するにはリストの保存が必要です。\n変更を上書き保存しますか？",
                      Home.output(proc))
        # Answer whatever the link window says, then close it: the program ends.
        deadline = time.time() + 20
        while time.time() < deadline and proc.poll() is None:
            box = self.screen.find(lambda t: t == "quillmorn", timeout=0.5)
            if box is not None:
                self.screen.press(box, "Return")
                continue
            links = self.screen.find(lambda t: t == "Quillmorn - リンク作成", timeout=0.5)
            if links is not None:
                self.screen.close(links)
        self.assertEqual(wait_exit(proc), 0, Home.output(proc))

    def wait_active(self, title, timeout=10.0):
        """Under a window manager: waits until the window titled so is the active one."""
        if not self.screen.managed:
            return
        deadline = time.time() + timeout
        while time.time() < deadline and self.screen.active_title() != title:
            time.sleep(0.05)
        self.assertEqual(self.screen.active_title(), title, self.screen.titles())

    def assert_none_appears(self, predicate, what, proc, seconds=2.0):
        win = self.screen.find(predicate, timeout=seconds)
        self.assertIsNone(win, "%s appeared again; output: %s" % (what, Home.output(proc)))

    def test_link_window_from_main_menu_reports_once(self):
        work = self.home.working_folder("Menu", ["tool"])
        list_folder = self.home.prepare(work, b"1,Tool,tool,Tools,/bin/true,x\r\n")
        proc = self.home.start(work)
        menu = self.screen.find(lambda t: t == "Quillmorn")
        self.assertIsNotNone(menu, Home.output(proc))
        self.wait_active("Quillmorn")
        # The focus starts in the folder box and goes through 参照, フォルダリスト and インストーラー
        # (新規作成 is off for a prepared folder) to リンク作成.
        self.screen.press(menu, *["Tab"] * 4, "space")
        links = self.screen.find(lambda t: t == "Quillmorn - リンク作成", timeout=20)
        self.assertIsNotNone(links, "no link window; output: " + Home.output(proc))
        box = self.screen.find(lambda t: t == "quillmorn", timeout=20)
        self.assertIsNotNone(box, "no message; output: " + Home.output(proc))
        self.wait_active("quillmorn")
        self.screen.press(box, "Return")
        self.assertTrue(self.screen.wait_gone(box))
        # The link window gets the focus back: that is no new activation.
        self.wait_active("Quillmorn - リンク作成")
        self.assert_none_appears(lambda t: t == "quillmorn", "the message", proc)
        self.assertEqual(Home.output(proc).count("quillmorn message: 正常に登録されました。"), 1,
                         Home.output(proc))
        self.assertTrue(os.path.isfile(os.path.join(list_folder, "Tools", "Tool.desktop")))
        # Back in the main menu, which keeps the program running.
        self.screen.close(links)
        self.wait_active("Quillmorn")
        time.sleep(0.3)
        self.assertIsNone(proc.poll(), Home.output(proc))
        self.screen.close(menu)
        self.assertEqual(wait_exit(proc), 0, Home.output(proc))
        self.assertEqual(Home.output(proc).count("quillmorn message: "), 1, Home.output(proc))

    def test_catalogue_returns_from_registration(self):
        work = self.home.working_folder("Reg", ["alpha"])
        self.home.prepare(work, b"")
        self.home.preferences(["kmode=1"])  # register the new folders on opening
        proc = self.home.start("-l", work)
        caption = "Quillmorn ListView - " + work
        dialog = self.screen.find(lambda t: t == "alpha の設定", timeout=20)
        self.assertIsNotNone(dialog, "no registration; output: " + Home.output(proc))
        self.wait_active("alpha の設定")
        self.screen.close(dialog)  # keeps what the dialog shows
        # A message box over the catalogue, which then has the focus again.
        box = self.screen.find(lambda t: t == "quillmorn")
        self.assertIsNotNone(box, "no message; output: " + Home.output(proc))
        self.wait_active("quillmorn")
        self.screen.press(box, "Return")
        self.assertTrue(self.screen.wait_gone(box))
        self.wait_active(caption)
        self.assert_none_appears(lambda t: t == "alpha の設定" or t == "quillmorn",
                                 "the registration or its message", proc)
        self.assertEqual(self.screen.titles().count(caption), 1)
        # alpha holds no program, so its record stays unset, and the message says which.
        self.assertEqual(Home.output(proc).count("quillmorn message: 1 件が未設定のままです"), 1,
                         Home.output(proc))
        # Closing asks whether to save, over the catalogue; No ends the program.
        self.screen.close(self.screen.find(lambda t: t == caption))
        question = self.screen.find(lambda t: t == "quillmorn")
        self.assertIsNotNone(question, "no save question; output: " + Home.output(proc))
        self.wait_active("quillmorn")
        self.screen.press(question, "Escape")
        self.assertEqual(wait_exit(proc), 0, Home.output(proc))
        self.assertEqual(Home.output(proc).count("quillmorn message: "), 2, Home.output(proc))

if __name__ == "__main__":
    if sys.argv[1] == "--window-manager":
        sys.argv.pop(1)
        WINDOW_MANAGER = sys.argv.pop(1)
    QMORN = sys.argv.pop(1)
    unittest.main(verbosity=2)
