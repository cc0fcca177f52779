"""A private desktop for driving the real game from outside, as a player would.

One Session is one X server (Xvfb), one session bus with the accessibility bus
behind it, optionally a window manager, and one run of the game. The driver
finds windows, menus, labels and buttons through the accessibility tree
(AT-SPI), clicks with XTEST (xdotool), and reads the board from screenshots,
since a picture cell exposes no text.

libatspi binds to the first session bus it meets, for the life of the
process: one Session per driver process.

Runs under /usr/bin/python3, where Debian's python3-gi and python3-pil live.
"""

import collections
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageStat

_T0 = time.monotonic()


def say(message):
    print(f"[{time.monotonic() - _T0:6.1f}s] {message}", flush=True)


class Failed(Exception):
    pass


class TimedOut(Failed):
    """What was waited for did not come in time."""


class BrowserCrashed(Failed):
    """The browser's own process that shows the page crashed: a fault of the
    browser's, not of the game, which gets its checks once more."""


def expect(condition, what, detail=""):
    if not condition:
        raise Failed(what + (f": {detail}" if detail else ""))
    say("ok  " + what)


def wait_for(probe, what, timeout=10.0, interval=0.05):
    """Polls `probe` until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimedOut(f"timed out after {timeout:.0f}s waiting for {what}")
        time.sleep(interval)


def holds(probe, what, duration, interval=0.1):
    """Checks that `probe` stays true for `duration` seconds and fails the
    moment it does not: for something that must not happen, reaching the
    deadline is the pass."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not probe():
            raise Failed(f"{what} stopped holding after {duration - (deadline - time.monotonic()):.1f}s")
        time.sleep(interval)
    say(f"ok  {what} for {duration:.0f}s")


def _read_line_from(fd, timeout, what):
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Failed(f"{what} did not start within {timeout:.0f}s")
        chunk = os.read(fd, 256)
        if not chunk:
            raise Failed(f"{what} exited while starting")
        data += chunk
    os.close(fd)
    return data.decode().strip()


def clean_environment(**extra):
    """The caller's environment without any way to reach its own desktop."""
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
                 "AT_SPI_BUS_ADDRESS", "XAUTHORITY", "SESSION_MANAGER", "XDG_SESSION_TYPE",
                 "QT_ACCESSIBILITY", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "FONTCONFIG_FILE"):
        env.pop(name, None)
    env["LANG"] = "C.UTF-8"
    env.update(extra)
    return env


# ---------------------------------------------------------------------------
# What a process costs, from /proc. A thread: its voluntary context switches
# (each a sleep that ended), CPU time in clock ticks and time on a CPU in ns.
Thread = collections.namedtuple("Thread", "name switches ticks ns")


def threads(pid):
    """Each thread of a process, by its id; one that ends meanwhile is left out."""
    found = {}
    for tid in os.listdir(f"/proc/{pid}/task"):
        task = f"/proc/{pid}/task/{tid}"
        try:
            with open(f"{task}/stat") as f:
                name, fields = f.read().split(" (", 1)[1].rsplit(") ", 1)
            with open(f"{task}/status") as f:
                switches = next(int(line.split()[1]) for line in f if line.startswith("voluntary_ctxt_switches:"))
            with open(f"{task}/schedstat") as f:
                ns = int(f.read().split()[0])
        except (OSError, StopIteration):
            continue
        fields = fields.split()
        found[int(tid)] = Thread(f"{name} {tid}", switches, int(fields[11]) + int(fields[12]), ns)
    return found


def near(got, wanted, within):
    return all(abs(a - b) <= within for a, b in zip(got, wanted))


def cpu_ticks(pid):
    """User and system time the process has used, in clock ticks."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


# ---------------------------------------------------------------------------
# Geometry of the main window's client area (the board under the menu bar).

CELLS = list(range(1, 26)) + [0]
OK = "확인"  # the caption of every OK button, the message boxes' too


def cell_origin(cell):
    """Top-left of a cell in client coordinates."""
    if cell == 0:
        return 192, 240
    row, column = divmod(cell - 1, 5)
    return 48 * column, 48 * row


def cell_centre(cell):
    x, y = cell_origin(cell)
    return x + 24, y + 24


# ---------------------------------------------------------------------------
# The pictures the cells can show, decoded from the game's own assets.

KIND_PREFIX = {0: "s", 1: "ss", 2: "sss", 3: "ssss", 4: "sssss"}
BLANK = (None, 0)


class Pictures:
    def __init__(self, assets):
        self.tiles = {}
        for kind, prefix in KIND_PREFIX.items():
            for n in range(1, 26):
                image = Image.open(os.path.join(assets, "tiles", f"{prefix}{n}.jpg")).convert("RGB")
                if image.size != (47, 47):
                    raise Failed(f"tile {prefix}{n}.jpg is {image.size}, not 47x47")
                self.tiles[(kind, n)] = image
        self.photos = {k: Image.open(os.path.join(assets, "photos", f"Image{k}.jpg")).convert("RGB")
                       for k in range(1, 5)}


def difference(a, b):
    """Mean absolute difference per channel and pixel, 0..255."""
    stat = ImageStat.Stat(ImageChops.difference(a, b))
    return sum(stat.mean) / len(stat.mean)


# A cell matches a picture when its interior differs from it by less than
# this on average; JPEG decoders may differ by a unit here and there.
MATCH = 4.0


class Board:
    """What the 26 cells show: (kind, n) for a tile, BLANK for an empty cell,
    None where no picture matched (the cell was being repainted, say)."""

    def __init__(self, cells, distances):
        self.cells = cells
        self.distances = distances

    def __getitem__(self, cell):
        return self.cells[cell]

    def layout_text(self):
        def show(cell):
            value = self.cells[cell]
            return "?" if value is None else "." if value == BLANK else str(value[1])
        rows = [" ".join(show(5 * r + c + 1) for c in range(5)) for r in range(5)]
        return " / ".join(rows) + " | " + show(0)

    def describe(self):
        kinds = sorted({k for v in self.cells.values() if v and v != BLANK for k in [v[0]]})
        return f"{self.layout_text()} (tile sets {kinds})"


# A label as its window's design has it: its place in client coordinates
# (x, y, width, height), its background and text colours, the least share
# of its pixels that its text covers, and its text where the tests know it.
Label = collections.namedtuple("Label", "place ground ink least text", defaults=[None])


def labels_drawn(session, name, window, labels):
    """Each label of the window is drawn in its colours, with some of it in
    its text's colour: nearly all of it (85 %) is the one colour or the
    other, the rest the edges that smoothed letters have."""
    def near(pixels, colour):
        return sum(1 for p in pixels if max(abs(a - b) for a, b in zip(p, colour)) < 60) / len(pixels)

    def drawn():
        shot = session.screenshot((window.x, window.y, window.x + window.width, window.y + window.height))
        shares = []
        for label in labels:
            x, y, w, h = (round(v * session.scale) for v in label.place)
            pixels = list(shot.crop((x, y, x + w, y + h)).getdata())
            text, ground = near(pixels, label.ink), near(pixels, label.ground)
            if text < label.least or text + ground < 0.85:
                return None
            shares.append(text)
        return shares
    shares = wait_for(drawn, f"{name!r} to show its labels in their colours", 5)
    say(f"ok  {name!r} shows its {len(shares)} labels in their colours, text on "
        + ", ".join(f"{share:.0%}" for share in shares) + " of them")


def menu_keys(menus, path):
    """The keys that choose a command once its menu has opened at a click
    on its title, as Qt's menus take them everywhere: down to move down the
    menu, right to open a submenu (its first item chosen), return to choose.
    menus: [(title, [item or (submenu, [items]) ...]), ...], '-' a separator."""
    keys, entries = [], dict(menus)[path[0]]
    for depth, name in enumerate(path[1:]):
        items = [e for e in entries if e != "-"]
        names = [e if isinstance(e, str) else e[0] for e in items]
        keys += ["Right"] * (depth > 0) + ["Down"] * (names.index(name) + (depth == 0))
        entry = items[names.index(name)]
        entries = [] if isinstance(entry, str) else entry[1]
    return keys + ["Return"]


# ---------------------------------------------------------------------------
# X windows, seen from outside.

class XWindow:
    def __init__(self, wid, name, x, y, width, height, mapped, frame):
        self.id, self.name = wid, name
        self.x, self.y, self.width, self.height = x, y, width, height
        self.mapped = mapped
        self.frame = frame  # left, right, top, bottom of the window manager's frame

    @property
    def outer_top_left(self):
        return self.x - self.frame[0], self.y - self.frame[2]

    def title_bar_point(self):
        """The middle of the title bar, where a player grabs the window."""
        return self.x + self.width // 2, self.y - self.frame[2] // 2

    def __repr__(self):
        return (f"<{self.name!r} {self.width}x{self.height} at client ({self.x},{self.y}), "
                f"outer top-left {self.outer_top_left}, {'mapped' if self.mapped else 'unmapped'}>")


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                ("pad", ctypes.c_long * 12)]  # the rest of an XEvent


class _XConnection:
    """Reads the screen's pixels straight from the X server (a screenshot
    tool run for every look at the board would take a second each time), and
    sends the messages a window manager or a pager sends."""

    def __init__(self, display):
        x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.POINTER(_XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.POINTER(_XClientMessage)]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCreateSimpleWindow.restype = ctypes.c_ulong
        x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        # An error (a window gone before its pixels were read) is reported by
        # the call that caused it, instead of Xlib's default: exit.
        self._on_error = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        x.XSetErrorHandler.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler(ctypes.cast(self._on_error, ctypes.c_void_p))
        self.x = x
        self.display = x.XOpenDisplay(display.encode())
        if not self.display:
            raise Failed(f"cannot open the display {display} to look at it")
        self.root = x.XDefaultRootWindow(self.display)

    def grab(self, box, window=None):
        """The pixels in box, on the screen or in a window of its own."""
        left, top, right, bottom = box
        z_pixmap, all_planes = 2, (1 << 64) - 1
        image = self.x.XGetImage(self.display, window or self.root, left, top, right - left, bottom - top,
                                 all_planes, z_pixmap)
        if not image:
            raise Failed(f"could not read the {f'window {window:#x}' if window else 'screen'} at {box}")
        try:
            info = image.contents
            if info.bits_per_pixel != 32:
                raise Failed(f"unexpected screen format: {info.bits_per_pixel} bits per pixel")
            raw = ctypes.string_at(info.data, info.bytes_per_line * info.height)
            mode = "BGRX" if info.byte_order == 0 else "XRGB"
            return Image.frombuffer("RGB", (info.width, info.height), raw, "raw", mode, info.bytes_per_line, 1)
        finally:
            self.x.XDestroyImage(image)

    def client_message(self, window, message_type, data, to_root):
        """Sends a ClientMessage about `window`: to the root window, where the
        window manager listens, or to the window itself."""
        event = _XClientMessage(type=33, send_event=1, display=self.display, window=window, format=32,
                                message_type=self.x.XInternAtom(self.display, message_type.encode(), 0))
        for i, value in enumerate(data):
            event.data[i] = self.x.XInternAtom(self.display, value.encode(), 0) if isinstance(value, str) else value
        substructure_redirect_and_notify = (1 << 20) | (1 << 19)
        destination, mask = (self.root, substructure_redirect_and_notify) if to_root else (window, 0)
        if not self.x.XSendEvent(self.display, destination, 0, mask, ctypes.byref(event)):
            raise Failed(f"could not send {message_type} about window {window}")
        self.x.XSync(self.display, 0)

    def create_window(self):
        """A small window of this connection's own, not mapped yet."""
        return self.x.XCreateSimpleWindow(self.display, self.root, 0, 0, 10, 10, 0, 0, 0)

    def map_window(self, window):
        self.x.XMapWindow(self.display, window)
        self.x.XSync(self.display, 0)

    def destroy_window(self, window):
        self.x.XDestroyWindow(self.display, window)
        self.x.XSync(self.display, 0)

    def close(self):
        self.x.XCloseDisplay(self.display)


# ---------------------------------------------------------------------------

# Window managers from Debian, as a player's desktop would run them. Each keeps
# its settings in the session's own HOME.
WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    "xfwm4": ["xfwm4", "--compositor=off", "--sm-client-disable"],
    "metacity": ["metacity", "--sm-disable"],
    "fluxbox": ["fluxbox"],
}

# The Wayland compositors of GNOME and KDE, headless, each with its Xwayland,
# which is the X server the game and the driver meet. Each starts the
# session's first program itself once its displays are up, as a desktop
# session does, and ends when that program ends.
SCREEN = (1280, 1024)
COMPOSITORS = {
    "mutter": ["mutter", "--wayland", "--headless", "--virtual-monitor", "%dx%d" % SCREEN, "--"],
    "kwin": ["kwin_wayland", "--virtual", "--xwayland", "--width", str(SCREEN[0]), "--height", str(SCREEN[1]),
             "--socket", "wayland-vorarid", "--exit-with-session"],
}
DESKTOPS = sorted(WINDOW_MANAGERS) + sorted(COMPOSITORS)

# The session's first program: it hands the displays it was given to the
# driver through a pipe and sleeps until the driver ends the session.
SESSION_PROGRAM = """#!/bin/sh
printf '%s %s %s %s\\n' "$$" "$WAYLAND_DISPLAY" "$DISPLAY" "${XAUTHORITY:--}" > "$0.fifo"
exec sleep infinity
"""


class Session:
    screen = (1024, 768)  # the X server's, where it is Xvfb
    scale = 1  # device pixels to a pixel of the windows' design
    windows_have_owners = True  # whether the window system records a window's owner

    @property
    def tolerance(self):
        """How many pixels a place or size may be off the design's: none
        where a pixel is a pixel of the design, else the pixel that rounding
        to whole 96 dpi pixels and scaling them leave."""
        return 0 if self.scale == 1 else 1

    def __init__(self, game, window_manager=None, env=None):
        """game: the program, or None to start one later (start_game);
        window_manager: a name from WINDOW_MANAGERS or COMPOSITORS, True for
        openbox, or none."""
        self.game_path = game
        self.window_manager = "openbox" if window_manager is True else window_manager or None
        self.compositor = self.window_manager in COMPOSITORS
        self._session_program = None
        self.extra_env = env or {}
        self.processes = []  # (name, Popen), started in this order
        self.game = None
        self.tmp = None
        self._atspi = None
        self._app = None
        self._x = None

    # -- lifetime -----------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.show_logs()
            self.stop()
            raise
        return self

    def __exit__(self, kind, value, traceback):
        if kind is not None:
            try:
                self.save_screenshot("at-failure")
            except Exception as error:  # the screen may be what failed
                say(f"no screenshot: {error}")
            self.show_logs()
        self.stop()
        return False

    def show_logs(self):
        """What the session's programs said, for a look at a failure."""
        if not self.tmp:
            return
        for name in sorted(os.listdir(self.tmp)):
            path = os.path.join(self.tmp, name)
            if not name.endswith(".log") or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                text = f.read().decode(errors="replace").strip()
            if text:
                lines = text.splitlines()[-20:]
                say(f"--- {name} (last {len(lines)} lines)")
                for line in lines:
                    print("    " + line, flush=True)

    def _spawn(self, name, argv, env, **kwargs):
        with open(os.path.join(self.tmp, f"{name}.log"), "wb") as log:
            process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                       start_new_session=True, **kwargs)
        self.processes.append((name, process))
        return process

    def _start(self):
        self.tmp = tempfile.mkdtemp(prefix="vorarid-e2e-")
        runtime = os.path.join(self.tmp, "runtime")
        os.mkdir(runtime, 0o700)
        if self.compositor:
            self._start_compositor(runtime)
        else:
            self._start_x_server(runtime)
        say(f"desktop {self.display} up with {self.window_manager or 'no window manager'}")
        self._prepare()
        if self.game_path:
            self._start_game()

    def _prepare(self):
        """What the game needs in the session besides the desktop."""

    def start_game(self, path):
        """Starts the game from path, in a session made without one."""
        self.game_path = path
        self._start_game()

    def _start_session_bus(self):
        """The bus starts the accessibility bus on demand; it hands its own
        environment on, so the displays must be in it."""
        r, w = os.pipe()
        self._spawn("dbus", ["dbus-daemon", "--session", "--nofork", f"--print-address={w}",
                             f"--address=unix:path={self.env['XDG_RUNTIME_DIR']}/bus"], self.env, pass_fds=(w,))
        os.close(w)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = _read_line_from(r, 20, "dbus-daemon")

    def _start_x_server(self, runtime):
        # -displayfd: the server picks a free display itself, so parallel runs never race for a number.
        r, w = os.pipe()
        self._spawn("xvfb", ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % self.screen, "-nolisten", "tcp"],
                    clean_environment(), pass_fds=(w,))
        os.close(w)
        self.display = ":" + _read_line_from(r, 20, "Xvfb")
        self.env = clean_environment(DISPLAY=self.display, XDG_RUNTIME_DIR=runtime)
        self._start_session_bus()
        if self.window_manager:
            home = os.path.join(self.tmp, "home")
            os.mkdir(home)
            self._spawn(self.window_manager, WINDOW_MANAGERS[self.window_manager], dict(self.env, HOME=home))
            self._wait_until_managing()

    def _start_compositor(self, runtime):
        """A Wayland session as GNOME's or KDE's: the compositor with its
        Xwayland, and the game given both displays, as the session gives its
        programs. KWin needs the session bus before it starts."""
        home = os.path.join(self.tmp, "home")
        os.mkdir(home)
        # Settings in memory: no dconf service to start or write.
        self.env = clean_environment(XDG_RUNTIME_DIR=runtime, HOME=home, GSETTINGS_BACKEND="memory")
        self._start_session_bus()
        program = os.path.join(self.tmp, "session")
        with open(program, "w") as f:
            f.write(SESSION_PROGRAM)
        os.chmod(program, 0o755)
        os.mkfifo(program + ".fifo")
        # Opened for writing too, so that reading it waits for the line
        # instead of ending at once while no writer has opened it yet.
        fifo = os.open(program + ".fifo", os.O_RDWR)
        argv = COMPOSITORS[self.window_manager] + [program]
        try:
            self._spawn(self.window_manager, argv, self.env)
        except PermissionError:
            # Debian 12's kwin_wayland carries a file capability
            # (cap_sys_resource, to raise its own limits); where the
            # capability bounding set lacks it, as in a container, the
            # kernel refuses to run it at all. A copy without it runs.
            copy = os.path.join(self.tmp, os.path.basename(argv[0]))
            shutil.copy(shutil.which(argv[0]), copy)
            say(f"{argv[0]} may not run here (a file capability the bounding set lacks); running a copy")
            self._spawn(self.window_manager, [copy] + argv[1:], self.env)
        pid, wayland, display, xauthority = _read_line_from(fifo, 90, f"{self.window_manager}'s session").split()
        self._session_program = int(pid)
        self.display = display
        self.env.update(WAYLAND_DISPLAY=wayland, DISPLAY=display)
        if xauthority != "-":
            self.env["XAUTHORITY"] = xauthority
        self._run(["dbus-update-activation-environment", "WAYLAND_DISPLAY", "DISPLAY"]
                  + (["XAUTHORITY"] if xauthority != "-" else []))
        self._wait_until_managing()

    def _start_game(self):
        # Qt offers its accessibility tree only when asked to, or when a screen reader runs.
        game_env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        game_env.update(self.extra_env)
        self.game_stdout = os.path.join(self.tmp, "game-stdout.log")
        self.game_stderr = os.path.join(self.tmp, "game-stderr.log")
        with open(self.game_stdout, "wb") as out, open(self.game_stderr, "wb") as err:
            self.game = subprocess.Popen(self.game_argv(), env=game_env, stdin=subprocess.DEVNULL, stdout=out,
                                         stderr=err, start_new_session=True)
        self.processes.append(("game", self.game))
        say(f"game started, pid {self.game.pid}")

    def game_argv(self):
        return [self.game_path]

    def _wait_until_managing(self):
        """A window manager names itself (_NET_SUPPORTING_WM_CHECK) before it
        is done starting, and a window mapped meanwhile may never be managed:
        openbox leaves it unmapped. It is up once a window mapped now shows
        in its _NET_CLIENT_LIST; a map it lost is asked for again.

        The first key typed after it starts makes openbox reload the keyboard
        map, dropping and retaking its key grabs: a key arriving in between
        (the F4 of alt+F4) goes to the game instead. So one key goes first,
        and the window manager handles it before it manages the probe."""
        def named():
            try:
                return "window id" in self._xprop("-root", "_NET_SUPPORTING_WM_CHECK")
            except subprocess.TimeoutExpired:  # an Xwayland still starting
                return False
        # A compositor's Xwayland may start only on the first connection to it.
        wait_for(named, "the window manager", timeout=90 if self.compositor else 20)
        self.key("shift")
        x = self.x_connection
        probe = x.create_window()

        def managed():
            x.map_window(probe)  # nothing, once it is mapped
            listed = self._xprop("-root", "_NET_CLIENT_LIST").partition("#")[2]
            return probe in [int(w, 16) for w in listed.replace(",", " ").split()]
        try:
            wait_for(managed, "the window manager to manage a new window", timeout=20, interval=0.2)
        finally:
            x.destroy_window(probe)

    def stop(self):
        if self._x is not None:
            self._x.close()
            self._x = None
        for name, process in reversed(self.processes):
            if self.compositor and name == self.window_manager and self._session_program:
                # A compositor ends with its session's first program and
                # then takes its Xwayland's lock files with it; stopped by a
                # signal, it would leave them behind.
                try:
                    os.kill(self._session_program, signal.SIGTERM)
                    process.wait(10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    pass
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        self.processes = []
        if self.tmp:
            keep = os.environ.get("VORARID_E2E_KEEP")
            if keep:
                say(f"kept the session's files in {self.tmp}")
            else:
                shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = None

    def stderr_text(self):
        with open(self.game_stderr, "rb") as f:
            return f.read().decode(errors="replace")

    def exit_code(self, what, timeout=10):
        """Waits for the game to end after `what`; its exit code."""
        try:
            return self.game.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failed(f"{what} did not end the program; windows still shown: {self.shown_windows()}") from None

    def assert_game_running(self):
        code = self.game.poll()
        if code is not None:
            raise Failed(f"the game exited with code {code}; its stderr:\n{self.stderr_text()}")

    # -- X tools ------------------------------------------------------------

    def _run(self, argv, check=True):
        result = subprocess.run(argv, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        if check and result.returncode != 0:
            raise Failed(f"{' '.join(argv)} failed: {result.stderr.decode(errors='replace').strip()}")
        return result.stdout.decode(errors="replace")

    def _xprop(self, *args):
        return self._run(["xprop", *args], check=False)

    def xdotool(self, *args):
        return self._run(["xdotool", *map(str, args)])

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", x, y, "click", "1")

    def click_many(self, points):
        """Clicks the points in turn in one go, as a quick player would."""
        args = []
        for x, y in points:
            # xdotool waits 100 ms after each click unless told otherwise.
            args += ["mousemove", x, y, "click", "--delay", 20, 1]
        if args:
            self.xdotool(*args)

    def drag(self, start, end):
        self.xdotool("mousemove", "--sync", *start, "mousedown", 1)
        sx, sy = start
        ex, ey = end
        for step in range(1, 11):
            self.xdotool("mousemove", "--sync", sx + (ex - sx) * step // 10, sy + (ey - sy) * step // 10)
            time.sleep(0.02)
        self.xdotool("mouseup", 1)

    def active_window(self):
        """The window the window manager has given the focus, by its id."""
        value = self._xprop("-root", "_NET_ACTIVE_WINDOW").rsplit("#", 1)[-1].strip()
        return int(value, 16) if value.startswith("0x") else None

    def key(self, *keys):
        self.xdotool("key", *keys)

    def x_windows(self):
        """The game's top-level windows, mapped or not."""
        ids = self._run(["xdotool", "search", "--all", "--pid", str(self.game.pid), "--name", ""],
                        check=False).split()
        return [w for w in map(self.x_window, ids) if w]

    def x_window(self, wid):
        """What the X server says of one window, or None once it is gone."""
        info = self._run(["xwininfo", "-id", str(wid)], check=False)
        if not info:
            return None
        fields = {}
        for line in info.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                fields[key.strip()] = value.strip()
        try:
            x = int(fields["Absolute upper-left X"])
            y = int(fields["Absolute upper-left Y"])
            width, height = int(fields["Width"]), int(fields["Height"])
        except (KeyError, ValueError):
            return None
        mapped = fields.get("Map State") == "IsViewable"
        name = self._run(["xdotool", "getwindowname", str(wid)], check=False).rstrip("\n")
        frame = (0, 0, 0, 0)
        extents = self._xprop("-id", str(wid), "_NET_FRAME_EXTENTS")
        if "=" in extents:
            frame = tuple(int(v) for v in extents.split("=", 1)[1].split(","))
        return XWindow(int(wid), name, x, y, width, height, mapped, frame)

    def shown_windows(self, name=None):
        """The game's windows on screen: mapped, and not Qt's 1x1 helpers."""
        return [w for w in self.x_windows()
                if w.mapped and w.width > 3 and w.height > 3 and (name is None or w.name == name)]

    def wait_window(self, name, timeout=10):
        return wait_for(lambda: (self.shown_windows(name) or [None])[0], f"the window {name!r}", timeout)

    def wait_window_gone(self, name, timeout=10):
        wait_for(lambda: not self.shown_windows(name), f"the window {name!r} to close", timeout)

    def wait_placed(self, name, top_left, timeout=10, within=0):
        """Waits for the window's outer top-left to settle where it belongs,
        within `within` pixels each way. The window manager frames a window
        a moment after it maps."""
        last = []

        def probe():
            windows = self.shown_windows(name)
            last[:] = windows
            if len(windows) == 1 and near(windows[0].outer_top_left, top_left, within) and \
                    (not self.window_manager or windows[0].frame != (0, 0, 0, 0)):
                return windows[0]
            return None
        try:
            return wait_for(probe, f"{name!r} at {top_left}", timeout)
        except TimedOut as failure:
            raise Failed(f"{failure}; windows: {last}") from None

    @property
    def x_connection(self):
        if self._x is None:
            if "XAUTHORITY" in self.env:  # Xlib reads it from the environment
                os.environ["XAUTHORITY"] = self.env["XAUTHORITY"]
            self._x = _XConnection(self.display)
        return self._x

    def screenshot(self, box=None):
        """The screen, or the part of it in box (left, top, right, bottom), as an RGB image."""
        if not self.compositor:
            return self.x_connection.grab(box or (0, 0, *self.screen))
        # A rootless Xwayland keeps no picture of the screen, only each
        # window's own: the game's windows, drawn at their places on black.
        screen = Image.new("RGB", SCREEN)
        for window in self.shown_windows():
            try:
                pixels = self.x_connection.grab((0, 0, window.width, window.height), window.id)
            except Failed:  # closed meanwhile
                continue
            screen.paste(pixels, (window.x, window.y))
        return screen.crop(box) if box else screen

    def move_window(self, window, left, top):
        """Moves a window's outer top-left to (left, top) the way the desktop
        does it: the window manager's own move when there is one (as a pager
        or a drag asks for it), else a plain X move."""
        if self.window_manager:
            north_west, x_and_y, from_a_pager = 1, (1 << 8) | (1 << 9), 2 << 12
            self.x_connection.client_message(window.id, "_NET_MOVERESIZE_WINDOW",
                                             [north_west | x_and_y | from_a_pager, left, top, 0, 0], to_root=True)
        else:
            self.xdotool("windowmove", window.id, left, top)

    def close_through_frame(self, name):
        """Closes a window the way a player does on a desktop: focus it by
        its title bar, then the window manager's close key."""
        window = self.wait_window(name)
        self.click(*window.title_bar_point())
        wait_for(lambda: self.active_window() == window.id, f"{name!r} to have the focus", 5)
        self.key("alt+F4")
        self.wait_window_gone(name)

    def leftover_windows(self, names):
        """Which of the windows named the X server still has, shown or not."""
        tree = self._run(["xwininfo", "-root", "-tree"])
        return [name for name in names if f'"{name}"' in tree]

    def close_window(self, window):
        """What the close box does: asks the window to close (WM_DELETE_WINDOW)."""
        self.x_connection.client_message(window.id, "WM_PROTOCOLS", ["WM_DELETE_WINDOW", 0], to_root=False)

    def save_screenshot(self, name, shot=None):
        """Keeps a screenshot (or `shot`) where the test's output says, for a
        look at a failure."""
        directory = os.environ.get("VORARID_E2E_SHOTS") or self.tmp
        os.makedirs(directory, exist_ok=True)
        path = os.path.join(directory, name + ".png")
        (shot or self.screenshot()).save(path)
        say(f"screenshot: {path}")
        return path

    # -- accessibility ------------------------------------------------------

    @property
    def atspi(self):
        if self._atspi is None:
            os.environ.update(DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS=self.env["DBUS_SESSION_BUS_ADDRESS"],
                              XDG_RUNTIME_DIR=self.env["XDG_RUNTIME_DIR"])
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi
            Atspi.init()
            self._atspi = Atspi
        return self._atspi

    def app(self, timeout=20):
        """The game's application object in the accessibility tree."""
        if self._app is None:
            Atspi = self.atspi

            def probe():
                self.assert_game_running()
                desktop = Atspi.get_desktop(0)
                for i in range(desktop.get_child_count()):
                    child = desktop.get_child_at_index(i)
                    try:
                        if child is not None and child.get_process_id() == self.game.pid:
                            return child
                    except Exception:
                        continue
                return None
            self._app = wait_for(probe, "the game in the accessibility tree", timeout, interval=0.2)
            self._app.set_cache_mask(Atspi.Cache.NONE)
        return self._app

    def top_levels(self):
        """(role, name, object) of each of the game's windows the tree shows;
        the role is an Atspi.Role."""
        app = self.app()
        result = []
        for i in range(app.get_child_count()):
            child = app.get_child_at_index(i)
            if child is None:
                continue
            try:
                if self.showing(child):
                    result.append((child.get_role(), child.get_name(), child))
            except Exception:
                continue
        return result

    def showing(self, obj):
        return obj.get_state_set().contains(self.atspi.StateType.SHOWING)

    def find_top_level(self, name, timeout=10):
        def probe():
            self.assert_game_running()
            matches = [obj for _, n, obj in self.top_levels() if n == name]
            return matches[0] if matches else None
        return wait_for(probe, f"the window {name!r} in the accessibility tree", timeout, interval=0.1)

    def children(self, obj):
        return [c for c in (obj.get_child_at_index(i) for i in range(obj.get_child_count())) if c is not None]

    def has_role(self, obj, role):
        """Whether obj has the role named by an Atspi.Role member ("PUSH_BUTTON").
        The role, not its display name, which libatspi changes between
        releases ("push button" became "button")."""
        return obj.get_role() == getattr(self.atspi.Role, role)

    def descendants(self, obj, role=None, name=None):
        found = []

        def walk(node):
            for child in self.children(node):
                if (role is None or self.has_role(child, role)) and (name is None or child.get_name() == name):
                    found.append(child)
                walk(child)
        walk(obj)
        return found

    def press(self, obj):
        """What a screen reader does to press a button or choose a menu item."""
        action = obj.get_action_iface()
        names = [action.get_action_name(i) for i in range(action.get_n_actions())]
        if "Press" not in names:
            raise Failed(f"{obj.get_name()!r} has no press action, only {names}")
        action.do_action(names.index("Press"))

    def extents(self, obj):
        e = obj.get_extents(self.atspi.CoordType.SCREEN)
        return e.x, e.y, e.width, e.height

    def centre(self, obj):
        x, y, w, h = self.extents(obj)
        return x + w // 2, y + h // 2

    def text_of(self, obj):
        """What a label says: its accessible name, or its text."""
        name = obj.get_name()
        if name:
            return name
        try:
            return obj.get_text(0, -1)
        except Exception:
            return ""

    # -- what the driver reads, presses and measures: here through the
    # accessibility tree and X; WineSession from the screen and Windows.

    screen_reader = True  # whether a screen reader reaches the game's tree

    def labels(self, window_object):
        return [self.text_of(label) for label in self.descendants(window_object, role="LABEL")]

    def message_box(self, title):
        """A message box's texts and buttons, as a screen reader reads them."""
        box = self.find_top_level(title)
        if not any(self.has_role(box, role) for role in ("DIALOG", "ALERT", "FRAME")):
            raise Failed(f"message box {title!r} is no dialog but a {box.get_role().value_nick}")
        self.wait_window(title)
        return self.labels(box), [b.get_name() for b in self.descendants(box, role="PUSH_BUTTON")]

    def press_ok(self, name, at=None):
        """Clicks the one 확인 button of a window or a message box and waits
        for it to close; `at` (its place in the design) serves other sessions."""
        window = self.find_top_level(name)
        buttons = self.descendants(window, role="PUSH_BUTTON", name=OK)
        if len(buttons) != 1:
            raise Failed(f"expected one {OK!r} button in {name!r}: "
                         f"{[b.get_name() for b in self.descendants(window, role='PUSH_BUTTON')]}")
        self.wait_window(name)
        self.click(*self.centre(buttons[0]))
        self.wait_window_gone(name)
        wait_for(lambda: name not in [n for _, n, _ in self.top_levels()], f"{name!r} to leave the tree", 5)

    def labels_shown(self, name, window, labels):
        """The window shows its labels (Label), the known texts word for word."""
        tops = [n for _, n, _ in self.top_levels()]
        expect(tops.count(name) == 1, f"{name!r} is one window in the accessibility tree", f"{tops}")
        texts = self.labels(self.find_top_level(name))
        expect(len(texts) == len(labels) and all(texts), f"{name!r} shows its {len(labels)} labels", f"{texts}")
        for label in labels:
            if label.text:
                expect(label.text in texts, f"{name!r} says {label.text!r}", f"its labels: {texts}")

    def owner(self, title):
        """The title of the window that `title` belongs to (WM_TRANSIENT_FOR)."""
        window = self.wait_window(title)
        value = self._xprop("-id", str(window.id), "WM_TRANSIENT_FOR").rsplit("#", 1)[-1].strip()
        if not value.startswith("0x"):
            return None
        owner = self.x_window(int(value, 16))
        return owner.name if owner else value

    def on_top(self):
        """The title of the topmost window, as the window manager stacks them."""
        stacked = self._xprop("-root", "_NET_CLIENT_LIST_STACKING").partition("#")[2]
        ids = [int(w, 16) for w in stacked.replace(",", " ").split()]
        shown = [w for w in map(self.x_window, ids) if w and w.mapped and w.width > 3 and w.height > 3]
        return shown[-1].name if shown else None

    def idle(self, what, seconds, still, still_what):
        """No thread of the game wakes for `seconds`, while `still` holds."""
        before = threads(self.game.pid)
        holds(still, still_what, seconds)
        after = threads(self.game.pid)
        woken = {t.name: t.switches - before[tid].switches if tid in before else t.switches
                 for tid, t in after.items() if tid not in before or t.switches != before[tid].switches}
        expect(not woken, f"{what}: no thread of the game wakes in {seconds} s", f"wake-ups: {woken}")

    def failure_shown(self):
        """A failed start's exit code and its one line on stderr."""
        code = self.exit_code("a failed start")
        lines = self.stderr_text().splitlines()
        if len(lines) != 1:
            raise Failed(f"expected one line on stderr, not {lines}")
        return code, lines[0]

    def left_running(self):
        """What the game left running once it ended."""
        return []

    # -- the main window ----------------------------------------------------

    def main_window(self):
        return self.find_top_level("Vorarid  ")

    def board_widget(self):
        """The client area: the filler under the frame that holds the 26 cells."""
        fillers = [c for c in self.children(self.main_window()) if self.has_role(c, "FILLER")]
        if len(fillers) != 1:
            raise Failed(f"expected one client area under the main window, found {len(fillers)}")
        return fillers[0]

    def client_origin(self):
        x, y, _, _ = self.extents(self.board_widget())
        return x, y

    def menu_bar(self):
        bars = [c for c in self.children(self.main_window()) if self.has_role(c, "MENU_BAR")]
        if len(bars) != 1:
            raise Failed(f"expected one menu bar, found {len(bars)}")
        return bars[0]

    def menu_tree(self):
        """[(title, [item or (submenu, [items]) ...]), ...] with separators as '-'."""
        def items_of(menu_item):
            popups = [c for c in self.children(menu_item) if self.has_role(c, "POPUP_MENU")]
            if not popups:
                return None
            result = []
            for child in self.children(popups[0]):
                if self.has_role(child, "SEPARATOR"):
                    result.append("-")
                else:
                    sub = items_of(child)
                    result.append(child.get_name() if sub is None else (child.get_name(), sub))
            return result
        return [(item.get_name(), items_of(item)) for item in self.children(self.menu_bar())]

    def raise_main_window(self):
        """Clicks the empty strip left of p0 (no cell there), which brings the
        main window to the front under a window manager without touching the
        game. Without one, nothing raises a window but the X request."""
        if not self.window_manager:
            for window in self.shown_windows("Vorarid  "):
                self.xdotool("windowraise", window.id)
        ox, oy = self.client_origin()
        self.click(ox + 96, oy + 264)

    def choose(self, *path):
        """Chooses a menu command by clicking, as a player does: the title in
        the menu bar, then each item down the path."""
        self.raise_main_window()
        items = [c for c in self.children(self.menu_bar()) if c.get_name() == path[0]]
        if not items:
            raise Failed(f"no menu {path[0]!r} in the menu bar")
        item = items[0]
        self.click(*self.centre(item))
        for name in path[1:]:
            popup = wait_for(lambda: next((c for c in self.children(item) if self.has_role(c, "POPUP_MENU")
                                           and self.showing(c)), None), f"the menu under {item.get_name()!r}", 5)
            matches = [c for c in self.children(popup) if c.get_name() == name]
            if not matches:
                raise Failed(f"no item {name!r} under {item.get_name()!r}")
            item = matches[0]
            # A popup reports its place once it is up.
            wait_for(lambda: self.extents(item)[1] > 0 and self.showing(item), f"the item {name!r} to show", 5)
            self.click(*self.centre(item))

    # -- the board ----------------------------------------------------------

    def read_board(self, pictures, shot=None):
        """Which picture each cell shows, by comparing its 47x47 interior with
        every tile and with the window's own empty background."""
        shot = shot or self.screenshot()
        ox, oy = self.client_origin()

        def crop(x, y):  # 47x47 pixels of the design, scaled back to them
            part = shot.crop(tuple(o + round(v * self.scale) for o, v in zip((ox, oy, ox, oy), (x, y, x + 47, y + 47))))
            return part if self.scale == 1 else part.resize((47, 47), Image.BOX)
        # The strip left of p0 belongs to no cell: flat window background.
        background = crop(40, 241)
        cells, distances = {}, {}
        for cell in CELLS:
            x, y = cell_origin(cell)
            inside = crop(x + 1, y + 1)
            best, best_distance = BLANK, difference(inside, background)
            for key, tile in pictures.tiles.items():
                if best_distance < 0.5:
                    break
                d = difference(inside, tile)
                if d < best_distance:
                    best, best_distance = key, d
            # Scaled to the screen and back, a tile is some units further off.
            cells[cell] = best if best_distance < MATCH * (1 if self.scale == 1 else 2) else None
            distances[cell] = best_distance
        return Board(cells, distances)

    def wait_board(self, pictures, wanted, what, timeout=10):
        """Waits until the board shows `wanted` ({cell: (kind, n) or BLANK})."""
        seen = []

        def probe():
            board = self.read_board(pictures)
            seen[:] = [board]
            return board if all(board[c] == wanted[c] for c in CELLS) else None
        try:
            return wait_for(probe, what, timeout, interval=0.1)
        except TimedOut as failure:
            if not seen:
                raise
            raise Failed(f"{failure}: the board shows {seen[0].describe()}") from None

    def click_cells(self, cells):
        ox, oy = self.client_origin()
        self.click_many([(ox + round(cell_centre(c)[0] * self.scale), oy + round(cell_centre(c)[1] * self.scale))
                         for c in cells])


def run_checks(group, checks):
    """Runs one group of checks and exits with its verdict. A group whose
    browser crashed runs once more, from the start, in a new browser: a
    second crash fails it."""
    for attempt in (1, 2):
        try:
            checks()
            break
        except BrowserCrashed as failure:
            if attempt == 2:
                say(f"FAILED {group}: {failure}, twice")
                sys.exit(1)
            say(f"{failure}: the group once more, in a new browser")
        except Failed as failure:
            say(f"FAILED {group}: {failure}")
            sys.exit(1)
    say(f"passed {group}")
