"""Start-up: the update reminder and the single-instance rule."""
import datetime
import fcntl
import os
import pwd
import signal
import subprocess
import time
import uuid

from harness import BOX_TITLE, MAIN_TITLE, E2ETestCase, Program, find_one, today, wait_for

DOWNLOAD = "http://www.karvelle.example/zenor-free-lyrandel/download-zenor-free-lyrandel.html"
QUESTION = ["There maybe an update to this software available\nDo you want to check for an update?"]


class UpdateReminder(E2ETestCase):

    def ask(self, days_ago, button):
        self.session.write_reminder_date(today() - datetime.timedelta(days=days_ago))
        p = self.session.start()
        box = p.wait_message_box()
        # The question comes before the main window, with the program's icon.
        self.assertIsNone(p.main_window())
        self.assertEqual(p.x_windows("^%s$" % MAIN_TITLE), [])
        p.wait_program_icon(box)
        self.assertEqual(box.name, "Zenor Lyrandel")
        self.assertEqual(p.box_text(box), QUESTION)
        self.session.click(find_one(box, "push button", button))
        p.wait_main_window()
        self.assertEqual(self.session.reminder_date(), today().isoformat())
        self.assertEqual(p.message_boxes(), [])
        return p

    def test_yes_opens_the_download_page(self):
        self.ask(15, "Yes")
        self.assertEqual(self.session.wait_opened(1), [DOWNLOAD])

    def test_no_opens_nothing(self):
        p = self.ask(15, "No")
        # A menu page opened afterwards proves the browser log would have shown the download page.
        p.focus(p.main_window())
        self.session.key("alt+d")
        self.assertEqual(self.session.wait_opened(1), ["http://help.karvelle.example/donate.html"])

    def test_clock_set_back_asks_too(self):
        self.ask(-15, "No")

    def test_fourteen_days_is_silent(self):
        stored = (today() - datetime.timedelta(days=14)).isoformat()
        self.session.write_reminder_date(stored)
        p, window = self.start_to_main_window()
        # The title bar and the taskbar get the program's icon, one frame after the window.
        p.wait_program_icon(window)
        self.assertEqual(self.session.reminder_date(), stored)
        self.assertEqual(self.session.opened(), [])

    def test_first_start_writes_the_date_once_the_window_is_up(self):
        self.assertIsNone(self.session.reminder_date())
        p, window = self.start_to_main_window()
        wait_for(lambda: self.session.reminder_date() == today().isoformat(), "the reminder date to be written")
        written = os.stat(self.session.settings_file)
        # Shown again after a minimise: new frames, and nothing written again (a write makes a new file).
        wid = p.wait_x_window(window)
        self.session.xdo("windowminimize", "--sync", str(wid))
        self.session.xdo("windowactivate", "--sync", str(wid))
        p.focus(window)
        time.sleep(0.5)
        now = os.stat(self.session.settings_file)
        self.assertEqual((now.st_ino, now.st_mtime_ns), (written.st_ino, written.st_mtime_ns))
        self.assertEqual(p.message_boxes(), [])

    def test_unreadable_date_counts_as_first_start(self):
        self.session.write_reminder_date("next Tuesday")
        self.start_to_main_window()
        wait_for(lambda: self.session.reminder_date() == today().isoformat(), "today's date in the settings")


class SingleInstance(E2ETestCase):

    def test_second_copy_is_refused(self):
        first, window = self.start_to_main_window()
        # Due, so that a second copy running the reminder would show itself.
        self.session.write_reminder_date(today() - datetime.timedelta(days=30))
        with open(self.session.settings_file, "rb") as f:
            setting = f.read()
        stamp = os.stat(self.session.settings_file).st_mtime_ns

        second = self.session.start()
        box = second.wait_message_box()
        second.wait_program_icon(box)
        self.assertEqual(box.name, "Zenor Lyrandel")
        self.assertEqual(second.box_text(box), ["Application is already running"])
        self.assertIsNone(second.main_window())
        second.dismiss_box("Return")
        self.assertEqual(second.wait_exit(), 0)

        self.assertTrue(first.alive())
        self.assertIsNotNone(first.main_window())
        with open(self.session.settings_file, "rb") as f:
            self.assertEqual(f.read(), setting)
        self.assertEqual(os.stat(self.session.settings_file).st_mtime_ns, stamp)
        self.assertEqual(self.session.opened(), [])

    def test_second_copy_with_another_runtime_folder_is_refused(self):
        self.start_to_main_window()
        runtime = os.path.join(self.session.root, "another-runtime")
        os.makedirs(runtime, mode=0o700)
        second = self.session.start(dict(self.session.env, XDG_RUNTIME_DIR=runtime))
        self.assertEqual(second.dismiss_box("Return"), ["Application is already running"])

    def test_copy_refused_at_a_first_start_writes_nothing(self):
        # Another copy holds the lock: an OS lock on this file, the one QLockFile takes too.
        fd = os.open(os.path.join(self.session.runtime, "zenor-lyrandel.lock"), os.O_RDWR | os.O_CREAT, 0o600)
        self.addCleanup(os.close, fd)
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        p = self.session.start()
        self.assertEqual(p.dismiss_box("Return"), ["Application is already running"])
        self.assertEqual(p.wait_exit(), 0)
        self.assertFalse(os.path.exists(self.session.settings_file))
        self.assertEqual(self.session.opened(), [])

    def test_killed_copy_does_not_lock_out_the_next(self):
        first, _ = self.start_to_main_window()
        os.kill(first.pid, signal.SIGKILL)
        first.wait_exit()
        self.assertTrue(os.path.exists(os.path.join(self.session.runtime, "zenor-lyrandel.lock")))
        self.start_to_main_window()

    def test_ten_copies_at_once_leave_one(self):
        copies = [self.session.start() for _ in range(10)]

        def settled():
            mains = [p for p in copies if p.main_window()]
            boxes = [p for p in copies if p.message_boxes()]
            return len(mains) + len(boxes) == 10 and (mains, boxes)

        mains, boxes = wait_for(settled, "one main window and nine refusals", timeout=60)
        self.assertEqual(len(mains), 1)
        for p in boxes:
            self.assertEqual(p.dismiss_box("Return"), ["Application is already running"])
            self.assertEqual(p.wait_exit(), 0)
        self.assertEqual([p for p in copies if p.alive()], mains)


class AnotherUsersLock(E2ETestCase):
    """Without a runtime folder, whatever another local user leaves in the shared temporary folder must not
    keep the program from starting."""

    def user(self):
        name = "zl" + uuid.uuid4().hex[:10]
        subprocess.run(["useradd", "--no-create-home", "--shell", "/usr/sbin/nologin", name], check=True)
        self.addCleanup(subprocess.run, ["userdel", "--force", name], check=False)
        return pwd.getpwnam(name)

    def hold(self, path, owner):
        """A lock of owner's, held as a live copy holds it."""
        fd = os.open(path, os.O_RDWR | os.O_CREAT, 0o644)
        self.addCleanup(os.close, fd)
        os.fchown(fd, owner.pw_uid, owner.pw_gid)
        os.write(fd, b"%d\nzenor-lyrandel\n" % os.getpid())
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)

    def start_as(self, person, tmp):
        home = os.path.join(self.session.root, person.pw_name)
        os.makedirs(home, mode=0o700, exist_ok=True)
        os.chown(home, person.pw_uid, person.pw_gid)
        env = {k: v for k, v in self.session.env.items()
               if not k.startswith("XDG_") and k != "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"}
        # The session bus is root's: a bus that is not there keeps D-Bus from starting one that outlives the test.
        env.update(HOME=home, TMPDIR=tmp, USER=person.pw_name, QT_ACCESSIBILITY="0",
                   DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(home, "no-bus"))
        proc = subprocess.Popen([self.session.binary_for_others()], env=env, cwd=home, start_new_session=True,
                                user=person.pw_uid, group=person.pw_gid, extra_groups=[],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        p = Program(self.session, proc)
        # Killed before its user is removed (cleanups run last to first).
        self.addCleanup(p.kill)
        return p, home

    def starts_despite(self, folder_taken):
        if os.geteuid() != 0:
            self.skipTest("another user's files need throwaway users, which only root can make")
        other, person = self.user(), self.user()
        # A shared temporary folder, as /tmp is: anyone may make anything in it first.
        for d in (self.tmp, self.session.root):
            os.chmod(d, 0o711)
        tmp = os.path.join(self.session.root, "tmp")
        os.makedirs(tmp)
        os.chmod(tmp, 0o1777)
        taken = [os.path.join(tmp, "runtime-" + person.pw_name)]  # where Qt would make a runtime folder
        if folder_taken:
            taken.append(os.path.join(tmp, "zenor-lyrandel-%d" % person.pw_uid))
        for d in taken:
            os.makedirs(d, mode=0o700)
            os.chown(d, other.pw_uid, other.pw_gid)
        self.hold(os.path.join(tmp, "zenor-lyrandel.lock"), other)
        if folder_taken:
            self.hold(os.path.join(taken[-1], "zenor-lyrandel.lock"), other)

        first, home = self.start_as(person, tmp)
        wait_for(lambda: first.x_windows("^%s$" % MAIN_TITLE), "the main window of %s" % person.pw_name)
        self.assertEqual(first.x_windows("^%s$" % BOX_TITLE), [])
        lock = (os.path.join(home, ".cache", "zenor-lyrandel", "zenor-lyrandel.lock") if folder_taken
                else os.path.join(tmp, "zenor-lyrandel-%d" % person.pw_uid, "zenor-lyrandel.lock"))
        wait_for(lambda: os.path.exists(lock), "the lock at " + lock)
        folder = os.lstat(os.path.dirname(lock))
        self.assertEqual((folder.st_uid, folder.st_mode & 0o777), (person.pw_uid, 0o700))
        for d in taken:
            self.assertEqual(os.lstat(d).st_uid, other.pw_uid)

        # The lock works: a second copy of the same user is refused.
        second, _ = self.start_as(person, tmp)
        wait_for(lambda: second.x_windows("^%s$" % BOX_TITLE), "the second copy's message")
        self.assertEqual(second.x_windows("^%s$" % MAIN_TITLE), [])
        self.assertTrue(first.alive())

    def test_lock_and_runtime_folder_of_another_user(self):
        self.starts_despite(folder_taken=False)

    def test_even_the_users_own_lock_folder_taken(self):
        self.starts_despite(folder_taken=True)
