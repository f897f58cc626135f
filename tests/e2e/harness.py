"""Runs the real program on a private X server and reads it back through AT-SPI.

One Desktop (Xvfb, openbox, D-Bus session, AT-SPI bus) per test process: libatspi keeps its
bus connection for the life of the process, so run.py gives every test case its own process.
"""
import datetime
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

DEFAULT_TIMEOUT = 20.0
MAIN_TITLE = "Zenor Lyrandel v1.15"
BOX_TITLE = "Zenor Lyrandel"

BINARY = os.environ.get("ZL_E2E_BINARY", "")
ARTIFACTS = os.environ.get("ZL_E2E_ARTIFACTS", "")


class Timeout(AssertionError):
    pass


def wait_for(predicate, what, timeout=DEFAULT_TIMEOUT, interval=0.05):
    """Polls predicate until it returns something truthy; exceptions count as not yet."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as e:  # the tree changes under us while windows come and go
            last_error = e
        if time.monotonic() > deadline:
            raise Timeout("timed out after %.1fs waiting for %s%s" %
                          (timeout, what, " (last error: %r)" % last_error if last_error else ""))
        time.sleep(interval)


def run_tool(args, env, timeout=10, check=True):
    r = subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout)
    if check and r.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (args, r.returncode, r.stderr.strip()))
    return r.stdout


def desktop(**options):
    """Marks a test case with the desktop it needs: screen="WIDTHxHEIGHT" for the X server's screen, or
    wayland=True for a headless Wayland compositor instead of X."""
    def mark(test):
        test.desktop_options = options
        return test
    return mark


# Openbox's own placement centres a new window on an empty screen, which would hide a program that does
# not centre its windows. Under the mouse, with the pointer in a corner, it puts them in that corner.
OPENBOX_PLACEMENT = r"\1<policy>UnderMouse</policy>\2<center>no</center>"


class Desktop:
    """Xvfb + openbox + a private D-Bus session with the accessibility bus; or, for wayland, weston's headless
    back end in place of Xvfb and openbox."""

    def __init__(self, root, screen="1280x1024", wayland=False):
        self.root = root
        self.screen = screen
        self.wayland = wayland
        self.procs = []
        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": root,
            "LANG": "C.UTF-8",
            "XDG_RUNTIME_DIR": self._private_dir("desktop-runtime"),
            "XDG_CONFIG_HOME": self._private_dir("desktop-config"),
        }
        if "TZ" in os.environ:
            self.env["TZ"] = os.environ["TZ"]

    def _private_dir(self, name):
        path = os.path.join(self.root, name)
        os.makedirs(path, mode=0o700, exist_ok=True)
        os.chmod(path, 0o700)
        return path

    def _spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def start(self):
        if self.wayland:
            self._start_compositor()
        else:
            self._start_x_server()

        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        address = bus.stdout.readline().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not report an address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        if not self.wayland:
            self._start_window_manager()
        launcher = next((p for p in ("/usr/libexec/at-spi-bus-launcher",
                                     "/usr/lib/at-spi2-core/at-spi-bus-launcher") if os.path.exists(p)), None)
        if launcher is None:
            raise RuntimeError("at-spi-bus-launcher not found (package at-spi2-core)")
        self._spawn([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # libatspi reads these from our own environment when it first connects; without a display it finds
        # the accessibility bus through the session bus.
        if "DISPLAY" in self.env:
            os.environ["DISPLAY"] = self.env["DISPLAY"]
        else:
            os.environ.pop("DISPLAY", None)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        import pyatspi
        pyatspi.setTimeout(4000, 4000)
        wait_for(lambda: pyatspi.Registry.getDesktop(0) is not None, "the accessibility registry")

    def _start_compositor(self):
        socket = "zl-wayland"
        width, height = self.screen.split("x")
        self._spawn(["weston", "--backend=headless-backend.so", "--socket=" + socket, "--idle-time=0",
                     "--width=" + width, "--height=" + height, "--log=" + os.path.join(self.root, "weston.log")],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        path = os.path.join(self.env["XDG_RUNTIME_DIR"], socket)
        wait_for(lambda: os.path.exists(path), "the compositor")
        # A full path: each session has a runtime folder of its own.
        self.env["WAYLAND_DISPLAY"] = path
        self.env["XDG_SESSION_TYPE"] = "wayland"

    def _start_x_server(self):
        r, w = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", self.screen + "x24", "-nolisten", "tcp",
                     "-noreset"], pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            display = f.readline().strip()
        if not display:
            raise RuntimeError("Xvfb did not report a display")
        self.env["DISPLAY"] = ":" + display

    def _start_window_manager(self):
        with open("/etc/xdg/openbox/rc.xml") as f:
            rc, found = re.subn(r"(<placement>.*?)<policy>\w+</policy>(.*?)<center>\w+</center>",
                                OPENBOX_PLACEMENT, f.read(), count=1, flags=re.S)
        if found != 1:
            raise RuntimeError("no placement policy in openbox's rc.xml to replace")
        config = os.path.join(self.root, "openbox-rc.xml")
        with open(config, "w") as f:
            f.write(rc)
        # Openbox names itself before it has grabbed its keys (Alt+F4); it runs the startup command once
        # everything is set up.
        ready = os.path.join(self.root, "openbox-ready")
        self._spawn(["openbox", "--sm-disable", "--config-file", config, "--startup", "touch " + ready],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(ready), "the window manager")
        run_tool(["xdotool", "mousemove", "0", "0"], self.env)

    def stop(self):
        for p in reversed(self.procs):
            _kill_group(p)
        self.procs.clear()


def _kill_group(p):
    if p.poll() is None:
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    try:
        p.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass
    for stream in (p.stdout, p.stderr):
        if stream:
            stream.close()


# ---- AT-SPI helpers -------------------------------------------------------------------------

def _atspi():
    import pyatspi
    return pyatspi


def role(acc):
    # at-spi2-core 2.53 renamed "push button" to "button" (Debian 13); one name for both releases.
    name = acc.getRoleName()
    return "push button" if name == "button" else name


def children(acc):
    return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c is not None]


def walk(acc, depth=0, limit=40):
    yield acc
    if depth < limit:
        for c in children(acc):
            yield from walk(c, depth + 1, limit)


def find_all(root, role_name=None, name=None, pred=None):
    out = []
    for a in walk(root):
        if role_name is not None and role(a) != role_name:
            continue
        if name is not None and a.name != name:
            continue
        if pred is not None and not pred(a):
            continue
        out.append(a)
    return out


def find_one(root, role_name=None, name=None, pred=None):
    found = find_all(root, role_name, name, pred)
    if len(found) != 1:
        raise LookupError("expected one %s %r, found %d" % (role_name, name, len(found)))
    return found[0]


def has_state(acc, state_name):
    pyatspi = _atspi()
    return acc.getState().contains(getattr(pyatspi, "STATE_" + state_name.upper()))


def do_action(acc, wanted=("press", "click", "activate")):
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for w in wanted:
        if w in names:
            action.doAction(names.index(w))
            return
    raise LookupError("%s %r offers no %s action (has %s)" % (role(acc), acc.name, wanted, names))


def press_without_waiting(acc):
    """Presses acc without waiting for the program's answer: Qt answers a menu command only once the modal box
    it opens is closed, and never when the command ends the program."""
    pyatspi = _atspi()
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    pyatspi.setTimeout(250, 250)  # the press itself is sent at once; only its answer is not awaited
    try:
        action.doAction(names.index("press"))
    except Exception as e:  # GLib.GError: no answer in time
        if "reply" not in str(e):
            raise
    finally:
        pyatspi.setTimeout(4000, 4000)


def extents(acc, scale=1):
    """(x, y, width, height) in X pixels. Qt reports device-independent pixels, so a program run with
    QT_SCALE_FACTOR needs that scale to find its widgets on the screen."""
    pyatspi = _atspi()
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return tuple(round(v * scale) for v in (e.x, e.y, e.width, e.height))


def label_texts(root):
    return [a.name for a in find_all(root, "label")]


def focused(window):
    return next((a for a in walk(window) if has_state(a, "focused")), None)


def text_of(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


# ---- The program under test -----------------------------------------------------------------

class Program:
    def __init__(self, session, proc):
        self.session = session
        self.proc = proc
        self.pid = proc.pid

    def alive(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Timeout("process %d still running after %.1fs" % (self.pid, timeout))

    def kill(self):
        _kill_group(self.proc)

    # accessibility
    def app(self):
        desktop = _atspi().Registry.getDesktop(0)
        for a in children(desktop):
            try:
                if a.get_process_id() == self.pid:
                    return a
            except Exception:
                continue
        return None

    def windows(self, role_name=None, name=None):
        app = self.app()
        if app is None:
            return []
        return [w for w in children(app)
                if (role_name is None or role(w) == role_name) and (name is None or w.name == name)
                and has_state(w, "showing")]

    def main_window(self):
        """The main window: the frame with the menu bar."""
        for w in self.windows("frame", MAIN_TITLE):
            if find_all(w, "menu bar"):
                return w
        return None

    def promotion_window(self):
        # Any role: a plain top-level widget is announced as a "filler", not as a frame.
        for w in self.windows(None, MAIN_TITLE):
            if find_all(w, "push button", "Refer A Friend Now"):
                return w
        return None

    def message_boxes(self):
        return self.windows("alert")

    def wait_main_window(self, timeout=DEFAULT_TIMEOUT):
        return wait_for(self.main_window, "the main window of %d" % self.pid, timeout)

    def wait_message_box(self, timeout=DEFAULT_TIMEOUT):
        return wait_for(lambda: (self.message_boxes() or [None])[0], "a message box of %d" % self.pid, timeout)

    @staticmethod
    def box_text(box):
        """The message of a box: its labels, without the icon's empty one."""
        return [t for t in label_texts(box) if t]

    # X windows
    def x_windows(self, title_regex, visible=True):
        args = ["xdotool", "search", "--all", "--pid", str(self.pid), "--name", title_regex]
        if visible:
            args.insert(2, "--onlyvisible")
        out = run_tool(args, self.session.env, check=False)
        return [int(w) for w in out.split()]

    def x_window_of(self, acc):
        """The X window showing an accessible window: same size, nearest place (xdotool's origin is off
        by the frame)."""
        x, y, w, h = extents(acc, self.session.scale)
        slack = 0 if self.session.scale == int(self.session.scale) else 1  # 472.5 is rounded either way
        found = []
        for wid in self.x_windows(".*"):
            out = run_tool(["xdotool", "getwindowgeometry", "--shell", str(wid)], self.session.env, check=False)
            g = dict(line.split("=", 1) for line in out.split() if "=" in line)
            if abs(int(g.get("WIDTH", -1)) - w) <= slack and abs(int(g.get("HEIGHT", -1)) - h) <= slack:
                found.append((abs(int(g["X"]) - x) + abs(int(g["Y"]) - y), wid))
        return min(found)[1] if found else None

    def frame_geometry(self, acc):
        """(x, y, width, height) of what a person sees of a window: the window manager's frame around it, the
        X window just below the root that holds the program's window (or the X window given)."""
        wid = acc if isinstance(acc, int) else self.wait_x_window(acc)
        env = self.session.env
        while True:
            tree = run_tool(["xwininfo", "-tree", "-id", str(wid)], env)
            root = int(re.search(r"Root window id: (0x[0-9a-f]+)", tree).group(1), 16)
            parent = int(re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1), 16)
            if parent == root:
                break
            wid = parent
        info = run_tool(["xwininfo", "-id", str(wid)], env)
        return tuple(int(re.search(label + r":\s+(-?\d+)", info).group(1))
                     for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def title_bar(self, wid):
        """(width, height, bytes): the title bar the window manager draws above X window wid, in grey."""
        x, y, w, _ = self.frame_geometry(wid)
        info = run_tool(["xwininfo", "-id", str(wid)], self.session.env)
        top = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        return self.session.grey_pixels((x, y, w, top - y))

    def wait_placed(self, acc):
        """Waits until the window, frame included, sits in the middle of the screen along each side where it
        fits, and against the top or left edge where it does not (title bar and close box within reach);
        returns the frame."""
        root = run_tool(["xwininfo", "-root"], self.session.env)
        width, height = (int(re.search(label + r":\s+(\d+)", root).group(1)) for label in ("Width", "Height"))
        last = []

        def placed():
            x, y, w, h = last[:] = self.frame_geometry(acc)
            # Within 2 pixels: at 1.5 times a one-pixel border is rounded.
            return all(abs(2 * at + size - room) <= 2 if size <= room else 0 <= at <= 2
                       for at, size, room in ((x, w, width), (y, h, height)))

        try:
            wait_for(placed, "%r to be centred" % acc.name, timeout=5)
        except AssertionError:
            raise AssertionError("frame %r is not centred (or at the edge it overhangs) on a %dx%d screen" %
                                 (last, width, height))
        _, _, cw, ch = extents(acc, self.session.scale)
        if last[3] <= ch or last[2] < cw:
            raise AssertionError("frame %r does not hold the %dx%d window and its title bar" % (last, cw, ch))
        return last

    def wait_x_window(self, acc):
        return wait_for(lambda: self.x_window_of(acc), "the X window of %r" % acc.name)

    def x_properties(self, acc, *names):
        """What the window manager reads of an accessible window: xprop's lines for the named properties."""
        return run_tool(["xprop", "-id", str(self.wait_x_window(acc))] + list(names), self.session.env)

    def x_icon_sizes(self, acc):
        """The sizes of the icon a window gives the window manager and the taskbar (_NET_WM_ICON)."""
        out = self.x_properties(acc, "_NET_WM_ICON")
        return {(int(w), int(h)) for w, h in re.findall(r"Icon \((\d+) x (\d+)\)", out)}

    def wait_program_icon(self, acc):
        """Waits until a window carries the program's icon in the sizes a taskbar asks for."""
        return wait_for(lambda: {(16, 16), (32, 32)} <= self.x_icon_sizes(acc), "the icon of %r" % acc.name)

    def focus(self, acc):
        """Makes an accessible window the active X window, so that key presses reach it."""
        wid = self.wait_x_window(acc)
        if self.session.active_window() != wid:
            self.session.xdo("windowactivate", "--sync", str(wid))
        wait_for(lambda: self.session.active_window() == wid and has_state(acc, "active"),
                 "%r to become active" % acc.name)
        return acc

    def dismiss_box(self, key="Return"):
        """Closes the program's message box with a key press, as a person would; returns its texts."""
        box = self.wait_message_box()
        texts = self.box_text(box)
        self.focus(box)
        self.session.key(key)
        wait_for(lambda: not self.alive() or box not in self.message_boxes(), "the message box to close")
        return texts


class Session:
    """One test case's world: its own HOME and XDG folders, a fake browser, the programs it started."""

    def __init__(self, desktop, root):
        self.desktop = desktop
        self.root = root
        self.home = os.path.join(root, "home")
        self.config = os.path.join(self.home, ".config")
        self.runtime = os.path.join(root, "runtime")
        self.data = os.path.join(self.home, ".local", "share")
        for d in (self.home, self.config, self.runtime, self.data):
            os.makedirs(d, mode=0o700, exist_ok=True)
            os.chmod(d, 0o700)
        self.bin = os.path.join(root, "bin")
        os.makedirs(self.bin)
        self.browser_log = os.path.join(root, "xdg-open.log")
        fake = os.path.join(self.bin, "xdg-open")
        with open(fake, "w") as f:
            f.write('#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a" >> "%s"; done\n' % self.browser_log)
        os.chmod(fake, 0o755)
        self.env = dict(desktop.env)
        self.env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_DATA_HOME": self.data,
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "PATH": self.bin + ":" + desktop.env["PATH"],
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
        })
        if desktop.wayland:
            del self.env["QT_QPA_PLATFORM"]  # as on a person's Wayland session: Qt chooses
        self.programs = []
        self.scale = 1  # QT_SCALE_FACTOR of the program last started
        self._log = open(os.path.join(root, "program.log"), "ab")

    # settings
    @property
    def settings_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "zenor-lyrandel.conf")

    def write_reminder_date(self, date):
        os.makedirs(os.path.dirname(self.settings_file), exist_ok=True)
        with open(self.settings_file, "w") as f:
            f.write("[Settings]\nDuration=%s\n" % (date.isoformat() if hasattr(date, "isoformat") else date))

    def reminder_date(self):
        try:
            with open(self.settings_file, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except FileNotFoundError:
            return None
        m = re.search(r"^\[Settings\]\s*$(.*?)(?=^\[|\Z)", text, re.M | re.S)
        if not m:
            return None
        d = re.search(r"^Duration\s*=\s*\"?([^\"\n]*)\"?\s*$", m.group(1), re.M)
        return d.group(1) if d else None

    # browser
    def opened(self):
        try:
            with open(self.browser_log) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_opened(self, count, timeout=DEFAULT_TIMEOUT):
        return wait_for(lambda: len(self.opened()) >= count and self.opened(),
                        "%d address(es) handed to the browser (have %r)" % (count, self.opened()), timeout)

    # processes
    def start(self, env=None):
        env = env or self.env
        self.scale = float(env.get("QT_SCALE_FACTOR", 1))
        proc = subprocess.Popen([BINARY], env=env, cwd=self.home, start_new_session=True,
                                stdout=subprocess.DEVNULL, stderr=self._log)
        p = Program(self, proc)
        self.programs.append(p)
        return p

    def binary_for_others(self):
        """The program where another user can run it: the build may sit in a folder only its owner can enter."""
        if not getattr(self, "_shared_binary", None):
            folder = tempfile.mkdtemp(prefix="zl-program-")
            self.programs.append(_Folder(folder))
            os.chmod(folder, 0o755)
            self._shared_binary = shutil.copy(BINARY, folder)
        return self._shared_binary

    def start_unprivileged(self, prepare_home=None):
        """The program as a person without root's powers: as itself when the tests do not run as root, else as
        the unprivileged user 65534 with a home, runtime folder and session bus of its own (without one, Qt
        would have dbus-launch start a bus that outlives the test). That user cannot reach the accessibility
        bus, so read its windows through X. prepare_home(home) runs before the start."""
        uid = 65534 if os.geteuid() == 0 else os.geteuid()
        root = tempfile.mkdtemp(prefix="zl-user-")
        self.programs.append(_Folder(root))
        home, runtime = os.path.join(root, "home"), os.path.join(root, "runtime")
        for d in (root, home, os.path.join(home, ".config"), runtime):
            os.makedirs(d, mode=0o700, exist_ok=True)
            os.chown(d, uid, uid)
        if prepare_home:
            prepare_home(home)
        env = {k: v for k, v in self.env.items() if not k.startswith(("DBUS_", "QT_LINUX_ACCESSIBILITY"))}
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=runtime,
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   QT_ACCESSIBILITY="0")
        drop = dict(user=uid, group=uid, extra_groups=[]) if uid != os.geteuid() else {}
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"],
                               env=env, start_new_session=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               text=True, **drop)
        self.programs.append(Program(self, bus))
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        proc = subprocess.Popen([self.binary_for_others()], env=env, cwd=home, start_new_session=True,
                                stdout=subprocess.DEVNULL, stderr=self._log, **drop)
        p = Program(self, proc)
        self.programs.append(p)
        return p, home

    def spawn_helper(self, args, env=None, **kw):
        """Another program, ended with the session."""
        proc = subprocess.Popen(args, env=env or self.env, start_new_session=True, **kw)
        self.programs.append(Program(self, proc))
        return proc

    def xdo(self, *args):
        return run_tool(["xdotool"] + list(args), self.env)

    def move_window(self, wid, x, y):
        """Moves the window, as a person dragging its title bar would. Its frame may end up a little above and
        left of x, y: Qt asks for the client area's place (static gravity)."""
        run_tool(["wmctrl", "-i", "-r", hex(wid), "-e", "0,%d,%d,-1,-1" % (x, y)], self.env)

    def close_window(self, wid):
        """The close box, as the window manager offers it."""
        run_tool(["wmctrl", "-i", "-c", hex(wid)], self.env)

    def active_window(self):
        out = run_tool(["xdotool", "getactivewindow"], self.env, check=False).strip()
        return int(out) if out.isdigit() else None

    def key(self, *keys):
        self.xdo("key", "--clearmodifiers", *keys)

    def keyboard_layout(self, layout):
        run_tool(["setxkbmap", "-layout", layout], self.env)

    def type(self, text):
        self.xdo("type", "--delay", "15", "--", text)

    def click_at(self, x, y):
        # Not --sync: it waits forever when the pointer is already there.
        self.xdo("mousemove", str(x), str(y))
        wait_for(lambda: self.xdo("getmouselocation").split()[:2] == ["x:%d" % x, "y:%d" % y], "the pointer")
        self.xdo("click", "1")

    def click(self, acc):
        x, y, w, h = extents(acc, self.scale)
        self.click_at(x + w // 2, y + h // 2)

    def grey_pixels(self, acc):
        """(width, height, bytes): what acc (or an x, y, width, height on the screen) shows, one grey byte per
        pixel."""
        x, y, w, h = acc if isinstance(acc, tuple) else extents(acc, self.scale)
        raw = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8",
                              "gray:-"], env=self.env, capture_output=True, timeout=20, check=True).stdout
        return w, h, raw

    def screenshot(self, path):
        run_tool(["import", "-window", "root", path], self.env, timeout=20, check=False)

    def stop(self):
        for p in self.programs:
            p.kill()
        self._log.close()


class ScreenReader:
    """Orca in the session, speaking through a private speech-dispatcher whose one voice writes each utterance to
    a file: what a blind user hears, as text, in order. What Orca interrupts before it is spoken is not there."""

    RECORD_END = "\036"

    def __init__(self, session):
        self.session = session
        self.file = os.path.join(session.root, "heard.txt")
        self.seen = 0  # where in the record expect() goes on

    def start(self, timeout=60):
        s = self.session
        general = {"enableSpeech": True, "enableBraille": False, "enableKeyEcho": False}
        prefs = os.path.join(s.data, "orca")
        os.makedirs(prefs, exist_ok=True)
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:  # a user who has set Orca up before
            json.dump({"general": general, "profiles": {"default": dict(general, profile=["Default", "default"])},
                       "pronunciations": {}, "keybindings": {}}, f)
        conf = os.path.join(s.root, "speechd")
        os.makedirs(os.path.join(conf, "modules"), exist_ok=True)
        # The voice plays nothing, but the module needs an audio output that opens without a sound server: libao.
        # The delimiter "|" splits only before a space, so each utterance reaches the command whole.
        with open(os.path.join(conf, "speechd.conf"), "w") as f:
            f.write('AddModule "heard" "sd_generic" "heard.conf"\nDefaultModule heard\nAudioOutputMethod "libao"\n')
        with open(os.path.join(conf, "modules", "heard.conf"), "w") as f:
            f.write("GenericExecuteSynth \"printf '%%s\\\\036' '$DATA' >> '%s'\"\n" % self.file +
                    'GenericMaxChunkLength 100000\nGenericDelimiters "|"\nGenericLanguage "en" "en" "utf-8"\n'
                    'AddVoice "en" "MALE1" "heard"\nDefaultVoice "heard"\n')
        socket = os.path.join(s.runtime, "speechd.sock")
        env = dict(s.env, SPEECHD_ADDRESS="unix_socket:" + socket, GSETTINGS_BACKEND="memory")
        log = open(os.path.join(s.root, "screen-reader.log"), "ab")
        s.spawn_helper(["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", conf,
                        "--socket-path", socket, "--log-dir", s.root], env, stdout=log, stderr=log)
        wait_for(lambda: os.path.exists(socket), "speech-dispatcher's socket")
        orca = s.spawn_helper(["orca"], env, stdout=log, stderr=log)
        # Orca refuses to start while another Orca of the same user runs.
        wait_for(lambda: self.heard() or orca.poll() is not None, "Orca's first words", timeout)
        if orca.poll() is not None:
            raise RuntimeError("Orca ended (%d): another Orca of this user running? See %s" % (orca.returncode,
                                                                                             log.name))
        log.close()

    def text(self):
        try:
            with open(self.file, encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def heard(self, since=0):
        """The utterances heard from the one at character since of the record on."""
        text = self.text()
        return text[text.rfind(self.RECORD_END, 0, since) + 1:].split(self.RECORD_END)[:-1]

    def expect(self, *patterns, since=None, timeout=DEFAULT_TIMEOUT):
        """Waits until each regular expression is matched, in turn, within one utterance, after what the last call
        matched (or from character since of the record); returns the utterances matched."""
        if since is not None:
            self.seen = since
        found = []
        for pattern in patterns:
            def match():
                text, at = self.text(), self.seen
                while self.RECORD_END in text[at:]:
                    end = text.index(self.RECORD_END, at)
                    m = re.compile(pattern, re.S).search(text, at, end)
                    if m:
                        return m.end(), text[text.rfind(self.RECORD_END, 0, at) + 1:end]
                    at = end + 1
            try:
                self.seen, said = wait_for(match, "%r to be heard" % pattern, timeout)
            except Timeout as e:
                raise Timeout("%s; heard since: %r" % (e, self.heard(self.seen))) from None
            found.append(said)
        return found

    def after(self, keys, timeout=DEFAULT_TIMEOUT):
        """Presses keys and waits for what Orca says next; returns what is heard from the press on."""
        start = len(self.text())
        self.session.key(*keys)
        wait_for(lambda: self.heard(start), "Orca to say something after %s" % (keys,), timeout)
        self.seen = len(self.text())
        return self.heard(start)

    def tab_round(self, window, home, limit=12):
        """Presses Tab until the focus is back on home (an accessible), each time waiting until the newly focused
        object's name is heard; returns all that was heard."""
        start = len(self.text())
        now = focused(window)
        for _ in range(limit):
            before, mark = now, len(self.text())
            self.session.key("Tab")

            def moved():
                f = focused(window)
                return f if f is not None and f != before else None
            now = wait_for(moved, "the focus to move from %r" % getattr(before, "name", None))
            self.expect(re.escape(now.name) if now.name else ".", since=mark, timeout=10)
            if now == home:
                return self.heard(start)
        raise AssertionError("Tab did not come back to %r; heard %r" % (home.name, self.heard(start)))


class _Folder:
    """A folder of the session's outside its own tree, removed with the session."""

    def __init__(self, path):
        self.path = path

    def kill(self):
        shutil.rmtree(self.path, ignore_errors=True)


def today():
    return datetime.date.today()


class E2ETestCase(unittest.TestCase):
    """Gives each test a fresh desktop and session; cleans up whatever happens."""

    _desktop_used = False

    def setUp(self):
        if not BINARY:
            self.skipTest("no program given (ZL_E2E_BINARY)")
        if E2ETestCase._desktop_used:
            raise RuntimeError("one test case per process: run the suite through run.py")
        E2ETestCase._desktop_used = True
        self.tmp = tempfile.mkdtemp(prefix="zl-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        options = getattr(getattr(self, self._testMethodName), "desktop_options", {})
        self.desktop = Desktop(os.path.join(self.tmp, "desktop"), **options)
        os.makedirs(self.desktop.root, exist_ok=True)
        self.addCleanup(self.desktop.stop)
        self.desktop.start()
        self.session = Session(self.desktop, os.path.join(self.tmp, "session"))
        self.addCleanup(self.session.stop)
        self.addCleanup(self._screenshot_on_failure)

    def _screenshot_on_failure(self):
        result = getattr(getattr(self, "_outcome", None), "result", None)
        failed = result is not None and any(t is self for t, _ in result.failures + result.errors)
        if failed and ARTIFACTS:
            os.makedirs(ARTIFACTS, exist_ok=True)
            base = os.path.join(ARTIFACTS, self.id())
            self.session.screenshot(base + ".png")
            for name, suffix in (("program.log", ".log"), ("heard.txt", ".heard.txt")):
                log = os.path.join(self.session.root, name)
                if os.path.exists(log):
                    shutil.copy(log, base + suffix)

    # common steps
    def start_to_main_window(self, env=None):
        p = self.session.start(env)
        w = p.wait_main_window()
        self.assertEqual(p.message_boxes(), [], "no message at start-up")
        return p, w


# ---- The main window ------------------------------------------------------------------------

SIGNS = [  # letter name, keyword, first sentence of the interpretation
    ("Alpha", "All", "This sign denotes the successful outcome of any project you begin during this time."),
    ("Beta", "Helper", "You may feel puzzled and confused at this moment of your life."),
    ("Gamma", "The Earth", "This is a good sign for farmers and agriculturists."),
    ("Delta", "Power", "You must realize the value of time, one of the most important determiners of the universe."),
    ("Epsilon", "Aspiration", "There are chances that cupid will favor you this time."),
    ("Zeta", "Tempest", "There can be some kind of obstacle in your path and you would find it difficult to face that."),
    ("Eta", "Sun", "This oracle sign signifies sun, the most important luminary and the center of our solar system."),
    ("Theta", "Gods", "You would be assisted by divine powers in your way."),
    ("Iota", "Worry", "This oracle emphasizes the vitality of hard-work above all other means to attain your desired "
                      "end in life."),
    ("Kappa", "Waves", "The oracle puts forth the might of sea waves in stormy weather."),
    ("Lambda", "Left", "The oracle, in metaphorical language tries to explain the complex and favorable attribute "
                       "of the left side."),
    ("Mu", "Hard Work", "This is a time to be proactive and diligent."),
    ("Nu", "Conflict", "This oracle points toward an imminent strife or dispute."),
    ("Xi", "Wasted", "Do not frustrate yourself by putting unnecessary efforts."),
    ("Omicron", "Endangered", "Are you keeping your fingers crossed for huge gain?"),
    ("Pi", "Numerous", "The oracle signifies the need for struggle and competition to prove someone's true worth."),
    ("Rho", "Simple", "You can be in a fix regarding your future and career."),
    ("Sigma", "Basic", "The oracle suggests inaction for you at this moment."),
    ("Tau", "Deliverance", "Separation and detachment is on the cards for you."),
    ("Upsilon", "Enterprise", "The oracle represents ambitious plans with some intrinsic noble elements in it."),
    ("Phi", "Hasty", "You must shun reckless actions at any cost."),
    ("Khi", "Golden", "The oracle predicts the possibility of a chance coming your way."),
    ("Psi", "Decision", "If you have a question in your mind regarding some proceeding or legal matters, you can "
                        "expect fairness and impartial judgment."),
    ("Omega", "Complex", "The oracle bears some bad news for farmers and agriculturists."),
]


SIGN_PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets", "signs")


def sign_picture(index, scale=1):
    """The grey pixels of sign index's picture, decoded from the program's own asset: the 74 x 74 one, or
    at scale 2 its 148 x 148 twin for high-density screens."""
    suffix = "@%dx.jpg" % scale if scale > 1 else ".jpg"
    name = [f for f in os.listdir(SIGN_PICTURES) if f.startswith("%02d" % (index + 1)) and f.endswith(suffix)
            and (scale > 1 or "@" not in f)][0]
    raw = subprocess.run(["convert", os.path.join(SIGN_PICTURES, name), "-depth", "8", "gray:-"],
                         capture_output=True, timeout=20, check=True).stdout
    return raw


def picture_distance(screen, picture, size=74, at=None):
    """Smallest mean grey difference of picture placed unscaled anywhere inside screen (or only at the
    offset at), and where."""
    w, h, raw = screen
    best = (256.0, None)
    places = [at] if at else [(ox, oy) for oy in range(h - size + 1) for ox in range(w - size + 1)]
    for ox, oy in places:
        total, limit = 0, best[0] * size * size
        for row in range(size):
            a = raw[(oy + row) * w + ox:(oy + row) * w + ox + size]
            b = picture[row * size:(row + 1) * size]
            total += sum(abs(p - q) for p, q in zip(a, b))
            if total >= limit:  # already worse than the best place: the rest of it cannot help
                break
        best = min(best, (total / (size * size), (ox, oy)))
    return best


class MainWindow:
    """Reads and drives frmMain through its accessibility tree."""

    def __init__(self, program, acc):
        self.p = program
        self.acc = acc
        self.s = program.session

    def name_field(self):
        return find_one(self.acc, "text", "Enter First Name")

    def question_field(self):
        return find_one(self.acc, "text", "Ask A Question")

    def result_panel(self):
        return find_one(self.acc, "panel", "Lyrandel Result")

    def front_page(self):
        """'result' or 'input': only the page in front is in the tree."""
        for a in walk(self.acc, limit=1):
            a.clear_cache()  # the window's client area, whose children a page turn changes
        if find_all(self.acc, "panel", "Lyrandel Result"):
            return "result"
        return "input" if find_all(self.acc, "text", "Enter First Name") else None

    def reading(self):
        """(name, keyword, interpretation) as the result page reads them: the name as a word, not in capitals."""
        kids = children(self.result_panel())
        names = [k.name for k in kids]
        name = names.index("Lyrandel Name") + 1
        keyword = names.index("Lyrandel Keyword") + 1
        labels = [k for i, k in enumerate(kids) if role(k) == "label" and i not in (name, keyword) and
                  k.name not in ("Lyrandel Name", "Lyrandel Keyword") and not k.name.endswith(" sign")]
        return kids[name].name, kids[keyword].name, labels[-1].name if labels else ""

    def picture(self):
        return find_one(self.result_panel(), pred=lambda a: a.name.endswith(" sign"))

    def focused(self, role_name, name):
        return has_state(find_one(self.acc, role_name, name), "focused")

    def type_name(self, text):
        self.p.focus(self.acc)
        self.s.click(self.name_field())
        wait_for(lambda: self.focused("text", "Enter First Name"), "the name field to take the focus")
        self.s.type(text)

    def menu(self, *keys):
        """Chooses a menu item by its access keys, e.g. menu('alt+h', 'o')."""
        self.p.focus(self.acc)
        for k in keys:
            self.s.key(k)

    def open_dialog(self):
        """Presses the unseen "Open Previously Saved Reading" by its access key."""
        self.p.focus(self.acc)
        self.s.key("alt+o")
        return wait_for(self.find_open_dialog, "the Open dialog")

    def find_open_dialog(self):
        return (self.p.windows("dialog", "Select the source file") or [None])[0]

    def open_saved(self, path):
        dialog = self.open_dialog()
        self.p.focus(dialog)
        self.s.type(path)
        self.s.key("Return")
        return dialog
