"""A private X display, a virtual board on a pseudo-terminal and the editor, for journey tests.

Everything runs as children of the test: Xvfb on a display it picks itself, socat for the
pseudo-terminal pair, and the editor inside a network namespace of its own (unshare -n), so no
datagram can leave the machine. Only these children are ever ended, by their PID.
"""

import ctypes
import os
import plistlib
import re
import select
import shutil
import signal
import socket
import subprocess
import threading
import time

WIDTH, HEIGHT = 1024, 768


def _die_with_us():
    """Run in each child before it starts: the child is killed when the test ends, whatever way
    it ends (a time limit of ctest included), so no display or editor outlives it."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def wait_for(predicate, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if predicate():
            return
        time.sleep(0.05)
    raise TimeoutError(what)


class Display:
    """Xvfb on a free display number, 1024 by 768, 24 bits."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{WIDTH}x{HEIGHT}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_us)
        os.close(write_end)
        # Read up to the line feed: Xvfb ends itself when it cannot write the whole line.
        told = b""
        deadline = time.monotonic() + 20
        while not told.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 1)
            chunk = os.read(read_end, 32) if ready else b""
            if ready and not chunk:
                break
            told += chunk
        os.close(read_end)
        number = told.decode().strip()
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        # The number is told before every listener is ready: wait until the socket answers.
        wait_for(lambda: _connects(f"/tmp/.X11-unix/X{number}"), 20, "Xvfb does not answer")

    def env(self):
        return {"DISPLAY": self.name}

    def close(self):
        _end(self.proc)


class Board:
    """A virtual board: socat links a pseudo-terminal for the editor to one the board reads.

    Like a real interpreter the board echoes every byte and answers each line feed with a
    prompt, so the editor's side of the wire is never quiet.
    """

    def __init__(self, directory):
        self.board_path = os.path.join(directory, "board")
        self.link_path = os.path.join(directory, "link")
        self.proc = subprocess.Popen(
            ["socat", f"pty,raw,echo=0,link={self.board_path}",
             f"pty,raw,echo=0,link={self.link_path}"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_die_with_us)
        wait_for(lambda: os.path.exists(self.board_path) and os.path.exists(self.link_path),
                  10, "socat made no pseudo-terminals")
        self.fd = os.open(self.board_path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        self.received = bytearray()
        self.lock = threading.Lock()
        self.stopping = False
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while not self.stopping:
            ready, _, _ = select.select([self.fd], [], [], 0.1)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 4096)
            except BlockingIOError:
                continue
            except OSError:
                return
            with self.lock:
                self.received += data
            reply = data.replace(b"\n", b"\r\nOK\r\n")
            try:
                os.write(self.fd, reply)
            except OSError:
                pass

    def take(self):
        with self.lock:
            data = bytes(self.received)
            self.received.clear()
        return data

    def wait_quiet(self, expected_length, seconds):
        """Waits until at least expected_length bytes came and then 1.5 s passed without more."""
        deadline = time.monotonic() + seconds
        last_length, last_change = -1, time.monotonic()
        while time.monotonic() < deadline:
            with self.lock:
                length = len(self.received)
            if length != last_length:
                last_length, last_change = length, time.monotonic()
            elif length >= expected_length and time.monotonic() - last_change > 1.5:
                return
            time.sleep(0.05)

    def close(self):
        if self.stopping:
            return  # unplugged before
        self.stopping = True
        self.thread.join(2)
        os.close(self.fd)
        _end(self.proc)


class Editor:
    """The editor's binary on the display, with its own home directory."""

    def __init__(self, binary, display, home, extra_env=None, driven=False):
        self.display = display
        self.home = home
        self.pipe = os.path.join(home, "driver") if driven else None
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": home,
               "XDG_DATA_HOME": os.path.join(home, "data"), "ZOA_SYSTEM_PORTS": "none",
               "LANG": "C.UTF-8"}
        env.update(display.env())
        env.update(extra_env or {})
        if self.pipe:
            os.mkfifo(self.pipe)
            env["ZOA_DRIVER_PIPE"] = self.pipe
        self.log = open(os.path.join(home, "editor.log"), "ab")
        self.proc = subprocess.Popen(["unshare", "-n", binary], env=env, stdout=self.log,
                                     stderr=self.log, start_new_session=True,
                                     preexec_fn=_die_with_us)

    def wait_window(self, seconds=20):
        def shown():
            if self.proc.poll() is not None:
                raise RuntimeError(f"the editor ended with status {self.proc.returncode}")
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                    str(self.proc.pid), "--name", "."],
                                   env=self._xenv(), capture_output=True, text=True)
            return found.returncode == 0 and found.stdout.strip()
        wait_for(shown, seconds, "the editor's window did not appear")
        # The window may still be mapping and drawing its first frame.
        time.sleep(1.0)

    def _xenv(self):
        env = dict(os.environ)
        env.update(self.display.env())
        return env

    def alive(self):
        return self.proc.poll() is None

    def kill(self):
        if self.alive():
            os.kill(self.proc.pid, signal.SIGKILL)
        self.proc.wait(10)
        self.log.close()

    def close(self, seconds=10):
        if self.alive():
            os.kill(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(seconds)
            except subprocess.TimeoutExpired:
                os.kill(self.proc.pid, signal.SIGKILL)
                self.proc.wait(10)
        self.log.close()

    # Input, in window coordinates: (0, 0) is the top left corner.
    def _xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], env=self._xenv(), check=True)

    def move(self, x, y):
        # Not --sync: it waits for a motion that never comes when the pointer is already there.
        self._xdotool("mousemove", str(round(x)), str(round(y)))
        time.sleep(0.01)

    def tap(self, x, y, hold=0.08):
        self.move(x, y)
        self._xdotool("mousedown", "1")
        time.sleep(hold)
        self._xdotool("mouseup", "1")
        time.sleep(0.15)

    def press(self, x, y, seconds):
        self.tap(x, y, hold=seconds)

    def drag(self, start, end, steps=24, step_pause=0.02, settle=0.1):
        self.move(*start)
        self._xdotool("mousedown", "1")
        time.sleep(0.1)
        for k in range(1, steps + 1):
            t = k / steps
            self.move(start[0] + (end[0] - start[0]) * t, start[1] + (end[1] - start[1]) * t)
            time.sleep(step_pause)
        time.sleep(settle)
        self._xdotool("mouseup", "1")
        time.sleep(0.2)

    def type(self, text):
        self._xdotool("type", "--delay", "60", text)

    def key(self, *names):
        self._xdotool("key", *names)

    def drive(self, line):
        """One line to the editor's driver pipe: compose, commit or dump."""
        fd = os.open(self.pipe, os.O_WRONLY | os.O_NONBLOCK)
        try:
            os.write(fd, (line + "\n").encode())
        finally:
            os.close(fd)

    def visible(self, seconds=5):
        """What the editor shows, as (kind, text, ...) tuples: "label" and its text, "sprite"
        and its image file, "box", title and message of each message box it asked for."""
        reply = os.path.join(self.home, "visible.txt")
        self.drive("dump " + reply)
        wait_for(lambda: os.path.exists(reply), seconds, "the editor did not say what it shows")
        with open(reply, encoding="utf-8") as f:
            lines = f.read().splitlines()
        os.remove(reply)
        unescape = {"n": "\n", "t": "\t"}
        return [tuple(re.sub(r"\\(.)", lambda m: unescape.get(m.group(1), m.group(1)), field)
                      for field in line.split("\t")) for line in lines]

    def screenshot(self, path):
        """The whole screen as a PNG (ImageMagick reads the X server's root window)."""
        subprocess.run(["import", "-display", self.display.name, "-window", "root", path],
                       check=True, capture_output=True)
        return path

    def pixels(self, path, box):
        """The RGB bytes of box = (x, y, w, h) of the screen, read through ImageMagick."""
        x, y, w, h = box
        raw = subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                              "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        return raw


def saved_programs(home):
    """The list file and every program file, read back with plistlib."""
    base = os.path.join(home, "data", "Tarnixworks", "TarnixworksZOA", "savedatas")
    with open(os.path.join(base, "list.plist"), "rb") as f:
        listing = plistlib.load(f)
    return base, listing


def _connects(path):
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(path)
        return True
    except OSError:
        return False
    finally:
        probe.close()


def _end(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(5)


def tools_missing():
    return [t for t in ("Xvfb", "xdotool", "socat", "unshare", "import", "convert")
            if shutil.which(t) is None]


def pixel(path, x, y):
    """The (r, g, b) of one screen pixel of a screenshot."""
    raw = subprocess.run(["convert", path, "-crop", f"1x1+{x}+{y}", "+repage", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return tuple(raw[:3])


def differing_share(a, b):
    """The share of positions at which two equally long RGB byte strings differ by more than 24
    in any channel."""
    if len(a) != len(b) or not a:
        return 1.0
    differing = sum(1 for i in range(0, len(a), 3)
                    if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]),
                           abs(a[i + 2] - b[i + 2])) > 24)
    return differing / (len(a) // 3)


GALLERY_BLUE = (104, 208, 238)


def showing_gallery(path):
    """The gallery's sky blue fills the left edge of the window; the field shows its palette."""
    r, g, b = pixel(path, 150, 650)
    return abs(r - GALLERY_BLUE[0]) < 12 and abs(g - GALLERY_BLUE[1]) < 12 and \
        abs(b - GALLERY_BLUE[2]) < 12
