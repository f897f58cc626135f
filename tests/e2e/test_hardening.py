"""Bad input never crashes or hangs the program."""
import os
import socket
import stat
import subprocess
import time

from harness import SIGNS, E2ETestCase, MainWindow, extents, find_one, has_state, text_of, wait_for


def peak_memory_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    raise LookupError("no VmHWM")


class BadSettings(E2ETestCase):

    def test_corrupted_settings_file(self):
        with open(self.session.settings_file, "wb") as f:
            f.write(os.urandom(4096) + b"\x00[Settings\nDuration=\xff\xfe\x00\n=\n[[[")
        p, w = self.start_to_main_window()
        self.assertEqual(self.session.opened(), [])

    def test_read_only_config_folder(self):
        p, home = self.session.start_unprivileged(lambda home: os.chmod(os.path.join(home, ".config"), 0o500))
        main = wait_for(lambda: p.x_windows(r"^Zenor Lyrandel v1\.15$"), "the main window")[0]
        # Leaving runs the first start's write at the latest; the farewell screen shows that it has run.
        self.session.close_window(main)
        wait_for(lambda: p.x_windows(".*") not in ([], [main]), "the farewell screen")
        self.assertTrue(p.alive())
        self.assertEqual(os.listdir(os.path.join(home, ".config")), [])

    def reading_works(self, p, w):
        """A reading after the first frame: the event loop runs, past the first start's silent write."""
        main = MainWindow(p, w)
        main.type_name("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name typed")
        self.session.key("alt+g")
        wait_for(lambda: main.front_page() == "result", "a reading")
        self.assertEqual(p.message_boxes(), [])

    def test_fifo_as_settings_file(self):
        # Opening a FIFO blocks until someone writes to it: start-up must not open it at all.
        os.mkfifo(self.session.settings_file)
        p, w = self.start_to_main_window()
        self.reading_works(p, w)
        self.assertTrue(stat.S_ISFIFO(os.lstat(self.session.settings_file).st_mode))

    def test_link_to_a_device_node_as_root(self):
        if os.geteuid() != 0:
            self.skipTest("only root can make a device node, and only root's write could replace it")
        # A null device of the test's own, never a real system file.
        node = os.path.join(self.session.root, "null-device")
        os.mknod(node, 0o600 | stat.S_IFCHR, os.makedev(1, 3))
        os.symlink(node, self.session.settings_file)
        p, w = self.start_to_main_window()
        self.reading_works(p, w)
        self.assertTrue(stat.S_ISCHR(os.lstat(node).st_mode), "the device node was replaced")
        self.assertEqual(os.readlink(self.session.settings_file), node)

    def test_config_folder_that_cannot_be_created(self):
        blocker = os.path.join(self.session.home, "not-a-folder")
        open(blocker, "w").close()
        env = dict(self.session.env, XDG_CONFIG_HOME=os.path.join(blocker, "config"))
        self.start_to_main_window(env)


class NoBrowser(E2ETestCase):

    def test_online_help_without_xdg_open(self):
        empty = os.path.join(self.session.root, "empty-bin")
        os.makedirs(empty)
        env = dict(self.session.env, PATH=empty)
        p, w = self.start_to_main_window(env)
        main = MainWindow(p, w)
        main.menu("alt+h", "o")
        # The next command runs only once the first is done: a message box would be modal and in the way.
        main.menu("alt+h", "a")
        about = wait_for(lambda: (p.windows("dialog") or [None])[0], "the About box")
        self.assertEqual(p.message_boxes(), [])
        p.focus(about)
        self.session.key("Escape")
        wait_for(lambda: not p.windows("dialog"), "the About box to close")
        main.type_name("Ann")
        self.session.key("alt+g")
        wait_for(lambda: main.front_page() == "result", "a reading")
        self.assertEqual(p.message_boxes(), [])


class BadSavedFiles(E2ETestCase):

    def ready(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        main.type_name("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name typed")
        return p, main

    def expect_reading(self, p, main, timeout):
        start = time.monotonic()
        wait_for(lambda: main.front_page() == "result", "the reading", timeout=timeout)
        took = time.monotonic() - start
        self.assertIn(main.reading()[0], [s[0] for s in SIGNS])
        self.assertEqual(p.message_boxes(), [])
        return took

    def test_huge_file(self):
        p, main = self.ready()
        path = os.path.join(self.session.home, "huge.num")
        with open(path, "wb") as f:
            f.truncate(1 << 30)  # sparse: costs no disk
        before = peak_memory_kib(p.pid)
        main.open_saved(path)
        self.expect_reading(p, main, timeout=3)
        grown = peak_memory_kib(p.pid) - before
        self.assertLess(grown, 64 * 1024, "peak memory grew by %d KiB reading a 1 GiB file" % grown)

    def test_binary_file(self):
        p, main = self.ready()
        path = os.path.join(self.session.home, "noise.num")
        with open(path, "wb") as f:
            f.write(os.urandom(1 << 20))
        main.open_saved(path)
        self.expect_reading(p, main, timeout=10)

    def test_file_deleted_while_the_dialog_is_open(self):
        p, main = self.ready()
        path = os.path.join(self.session.home, "gone.num")
        with open(path, "wb") as f:
            f.write(b"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n")

        dialog = main.open_dialog()
        p.focus(dialog)
        self.session.type(path)
        open_button = find_one(dialog, "push button", "Open")
        wait_for(lambda: has_state(open_button, "enabled"), "the dialog to offer the file")
        os.remove(path)
        self.session.key("Return")
        # Whichever part notices the missing file says so; the program lives on and can be used.
        self.assertTrue(p.dismiss_box("Return"))
        self.assertTrue(p.alive())
        p.focus(dialog)
        self.session.key("Escape")
        wait_for(lambda: not main.find_open_dialog(), "the dialog to close")
        self.assertTrue(p.alive())
        self.assertEqual(p.message_boxes(), [])
        main.acc = p.wait_main_window()
        p.focus(main.acc)
        self.session.key("alt+g")
        self.expect_reading(p, main, timeout=10)


class StaleLock(E2ETestCase):

    def test_lock_left_by_a_killed_copy(self):
        # The lock of a copy that died: its process id is free now, the file is old.
        gone = subprocess.Popen(["true"])
        gone.wait()
        lock = os.path.join(self.session.runtime, "zenor-lyrandel.lock")
        with open(lock, "w") as f:
            f.write("%d\nzenor-lyrandel\n%s\n" % (gone.pid, socket.gethostname()))
        old = time.time() - 3600
        os.utime(lock, (old, old))
        self.start_to_main_window()

    def test_lock_whose_process_id_was_reused(self):
        # A killed copy's process id now belongs to another program that is alive.
        other = self.session.spawn_helper(["sleep", "600"])
        lock = os.path.join(self.session.runtime, "zenor-lyrandel.lock")
        with open(lock, "w") as f:
            f.write("%d\nzenor-lyrandel\n%s\n" % (other.pid, socket.gethostname()))
        self.start_to_main_window()


class Drops(E2ETestCase):

    def drag(self, start, end):
        """Presses the left button at start and lets it go at end, moving in steps as a hand would."""
        (x0, y0), (x1, y1) = start, end
        self.session.xdo("mousemove", "--sync", str(x0), str(y0))
        self.session.xdo("mousedown", "1")
        steps = 12
        for i in range(1, steps + 1):
            self.session.xdo("mousemove", "--sync", str(x0 + (x1 - x0) * i // steps), str(y0 + (y1 - y0) * i // steps))
        self.session.xdo("mouseup", "1")

    def test_name_field_takes_no_drop(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        question = main.question_field()
        self.session.click(question)
        wait_for(lambda: main.focused("text", "Ask A Question"), "the question field to take the focus")
        self.session.type("12 34 xyz")
        wait_for(lambda: text_of(question) == "12 34 xyz", "the question typed")
        self.session.key("ctrl+Home", "shift+Right", "shift+Right")  # "12" selected
        qx, qy, qw, qh = extents(question)
        selection = (qx + 8, qy + 9)

        nx, ny, nw, nh = extents(main.name_field())
        self.drag(selection, (nx + nw // 2, ny + nh // 2))
        # A drop nobody takes moves nothing.
        self.assertEqual(text_of(question), "12 34 xyz")

        # The same drag onto the end of the question's line is taken: drags do reach the window, and once
        # this one is through, so is the first.
        self.drag(selection, (qx + qw - 30, qy + 9))
        wait_for(lambda: text_of(question) == " 34 xyz12", "the text to move within the question field")
        self.assertEqual(text_of(main.name_field()), "")
        self.assertEqual(p.message_boxes(), [])
