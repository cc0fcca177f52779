"""The Windows program in the same private desktop, under Wine.

A WineSession is a Session whose game is a Windows .exe run by Wine in a
prefix of the session's own. Wine's windows are X windows like any other,
so the window manager, the clicks and the screenshots work as they do for
the Linux program. What a Linux program tells through AT-SPI, a Windows
program tells through UI Automation, which Wine 8 does not carry between
processes; so the driver reads what the player reads, from the screen and
from Windows itself: the probe (tests/windows/probe.cpp), a console
program under the same Wine, asks Windows for the windows' places, titles
and X windows and for the clipboard, onto which a message box copies its
texts at ctrl+C, as every Windows message box does. Menus open at a click
on their title and are gone through with the keys, as Windows lets a
player do.
"""

import os
import shutil
import subprocess
import time

from desktop import (Failed, Session, XWindow, clean_environment, expect, holds, labels_drawn, menu_keys, say,
                     threads, wait_for)

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"


def wine_settings(prefix):
    """Wine in its own prefix, without its offers to download Mono and
    Gecko, without its debugging chatter, and without the menu entries it
    would make in the desktop's menus (of the user running the tests) for
    what is put in the Start menu."""
    return {"WINEPREFIX": prefix, "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d", "WINEDEBUG": "-all"}


def wine_environment(prefix):
    return clean_environment(**wine_settings(prefix))


def make_prefix(path):
    """A new Wine prefix at path, finished once its wineserver has ended."""
    shutil.rmtree(path, ignore_errors=True)
    env = wine_environment(path)
    started = time.monotonic()
    result = subprocess.run([WINE, "wineboot", "--init"], env=env, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=180)
    subprocess.run([WINESERVER, "--wait"], env=env, timeout=60)
    if result.returncode != 0 or not os.path.exists(os.path.join(path, "system.reg")):
        raise Failed(f"wineboot could not make a prefix in {path}: "
                     f"{result.stderr.decode(errors='replace').strip()[-2000:]}")
    # Wine links the profile's Desktop, Documents and the like to the home
    # of whoever made the prefix: folders of the prefix's own instead, so
    # that what a test puts there stays in its prefix.
    users = os.path.join(path, "drive_c", "users")
    for user in os.listdir(users):
        for entry in os.scandir(os.path.join(users, user)):
            if entry.is_symlink():
                os.unlink(entry.path)
                os.mkdir(entry.path)
    say(f"made a Wine prefix in {time.monotonic() - started:.1f}s ({wine_version()})")


def wine_version():
    return subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()


def rest_pointer(env, pid, point):
    """Puts the pointer on the desktop at point and waits until the program
    has stopped waking for it: Wine follows a pointer over a window that
    asked to hear when it leaves (as Qt's windows ask) with a timer of its
    own, 10 to 20 times a second, in any program, until the tick that finds
    it gone."""
    subprocess.run(["xdotool", "mousemove", *map(str, point)], env=env, check=True, timeout=30)
    seen = []

    def settled():
        seen.append(sum(thread.switches for thread in threads(pid).values()))
        return len(seen) > 4 and seen[-1] == seen[-5]
    wait_for(settled, "Wine to stop following the pointer", 10, interval=0.25)


def processes_of(prefix):
    """The processes that run in a prefix: every Wine process has it in
    its environment."""
    marker = f"WINEPREFIX={prefix}".encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as f:
                if marker in f.read().split(b"\0"):
                    with open(f"/proc/{entry}/comm") as c:
                        found.append((int(entry), c.read().strip()))
        except OSError:
            continue
    return found


class Win32Window:
    """A top-level window as Windows sees it: its rectangle, the part of it
    a player sees as its frame, and its client area, each (x, y, width,
    height) on the screen."""

    def __init__(self, line):
        handle, process, owner, outer, visible, client, x_window, self.title = line.split("\t")
        self.handle, self.process, self.owner, self.x_window = int(handle), int(process), int(owner), int(x_window)

        def box(text):
            left, top, right, bottom = map(int, text.split())
            return left, top, right - left, bottom - top
        self.rect, self.frame = box(outer), box(visible)
        self.client = tuple(map(int, client.split()))

    def __repr__(self):
        return f"<Windows' {self.title!r}: rectangle {self.rect}, frame {self.frame}, client {self.client}>"


class WineWindow(XWindow):
    """One of Wine's X windows, placed as Windows says: its outer top-left
    is the corner of the frame Windows shows. The window manager's frame
    around it may be of another size than Windows'."""

    def __init__(self, x_window, win32):
        super().__init__(x_window.id, x_window.name, x_window.x, x_window.y, x_window.width, x_window.height,
                         x_window.mapped, x_window.frame)
        self.win32 = win32
        self.x_outer_top_left = x_window.outer_top_left

    @property
    def outer_top_left(self):
        return self.win32.frame[:2] if self.win32 else self.x_outer_top_left

    def __repr__(self):
        return (f"<{self.name!r} {self.width}x{self.height}, Windows' frame at {self.outer_top_left}, "
                f"the window manager's at {self.x_outer_top_left}, {'mapped' if self.mapped else 'unmapped'}; "
                f"Windows: {self.win32!r}>")


class Probe:
    """The probe program, running under the session's Wine, one command at a time."""

    def __init__(self, path, env):
        self.process = subprocess.Popen([WINE, path], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)

    def ask(self, command):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise Failed(f"the probe ended while answering {command!r}")
            line = line.decode("utf-8", errors="replace").rstrip("\n")
            if line == ".":
                return lines
            lines.append(line)

    def windows(self):
        return [Win32Window(line) for line in self.ask("windows")]

    def clipboard(self):
        return self.ask("clipboard")

    def stop(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write(b"quit\n")
                self.process.stdin.close()
                self.process.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()


# The middle of each menu's title in the menu bar, from the client area's
# top-left.
MENU_TITLES = {"시작": (15, 9), "도움말": (64, 9)}


class WineSession(Session):
    """A Session whose game is a Windows program under Wine, in a copy of a
    prefix made once for the test run (make_prefix), with a window manager;
    at dpi dots per inch (Windows' scaling, 96 being 100 %), on a screen
    that much larger."""

    def __init__(self, game, probe, prefix, menus, window_manager=True, env=None, dpi=96):
        super().__init__(game, window_manager=window_manager, env=env)
        self.probe_path, self.prefix_template, self.menus = probe, prefix, menus
        self.dpi, self.scale = dpi, dpi / 96
        self.screen = tuple(round(v * self.scale) for v in self.screen)
        self.probe = None
        self.prefix = None

    def _prepare(self):
        self.prefix = os.path.join(self.tmp, "wine-prefix")
        shutil.copytree(self.prefix_template, self.prefix, symlinks=True)
        self.env.update(wine_settings(self.prefix))
        if self.dpi != 96:
            self.run_windows_program("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                                     "REG_DWORD", "/d", str(self.dpi), "/f")
        # Wine hands a Windows program no QT_ variable: they go in the user's environment.
        for name, value in self.extra_env.items():
            if name.startswith("QT_"):
                self.run_windows_program("reg", "add", r"HKCU\Environment", "/v", name, "/d", value, "/f")
        # The probe first: its start brings up the prefix's wineserver and
        # Wine's services, so that the game's start is the game's own.
        self._start_probe()

    def _start_probe(self):
        self.probe = Probe(self.probe_path, self.env)
        self.probe.windows()  # up and answering

    def write_out_registry(self):
        """Ends the prefix's programs, the probe among them, so that its
        wineserver writes the registry out to its files; then starts the
        probe again."""
        self.probe.stop()
        subprocess.run([WINESERVER, "--kill"], env=self.env, timeout=30)
        subprocess.run([WINESERVER, "--wait"], env=self.env, timeout=30)
        self._start_probe()

    def run_windows_program(self, *argv, timeout=120):
        """Runs a Windows program of Wine's (msiexec, reg) in the prefix; its
        exit code and output."""
        result = subprocess.run([WINE, *argv], env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", errors="replace")

    def windows_path(self, path):
        """A Linux path as Windows programs under Wine name it (drive Z: is /)."""
        return "Z:" + os.path.abspath(path).replace("/", "\\")

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def user_folder(self, *parts):
        """A folder of the user's profile, C:\\users\\NAME, where Wine keeps it."""
        users = self.drive_c("users")
        names = [n for n in os.listdir(users) if n != "Public"]
        return os.path.join(users, names[0], *parts)

    def game_argv(self):
        return [WINE, self.game_path]

    def stop(self):
        if self.probe:
            self.probe.stop()
            self.probe = None
        if self.prefix:
            # Wine's own processes end with the prefix's wineserver.
            subprocess.run([WINESERVER, "--kill"], env=self.env, timeout=30)
            subprocess.run([WINESERVER, "--wait"], env=self.env, timeout=30)
        super().stop()

    def left_running(self, timeout=30):
        """Once the game has ended: waits for the prefix's wineserver to end,
        which it does a moment after its last program; the processes still
        running in the prefix."""
        self.probe.stop()
        subprocess.run([WINESERVER, "--wait"], env=self.env, timeout=timeout)
        return processes_of(self.prefix)

    # -- windows --------------------------------------------------------------

    def win32_windows(self, title=None):
        return [w for w in self.probe.windows() if title is None or w.title == title]

    def x_windows(self):
        """The game's windows that Windows shows, each in its X window. Found
        through Windows: a search of the X server's windows (xdotool
        search) now and then wakes Wine's programs."""
        found = []
        for win32 in self.win32_windows():
            x_window = self.x_window(win32.x_window) if win32.x_window else None
            if x_window:
                found.append(WineWindow(x_window, win32))
        return found

    def move_window(self, window, left, top):
        """Moves the window so that the frame Windows shows lands at (left,
        top), through the window manager, which moves its own frame."""
        dx, dy = (a - b for a, b in zip(window.x_outer_top_left, window.outer_top_left))
        super().move_window(window, left + dx, top + dy)

    def client_origin(self):
        """The top-left of the board, under the menu bar."""
        main = self.win32_windows("Vorarid  ")
        if len(main) != 1:
            raise Failed(f"expected one main window, found {main}")
        x, y, _, height = main[0].client
        return x, y + height - round(289 * self.scale)

    def raise_main_window(self):
        """Clicks the empty strip left of p0 and waits for the main window
        to have the focus, so that keys typed next go to it."""
        main = self.wait_window("Vorarid  ")
        ox, oy = self.client_origin()
        # Without --sync, which waits for the pointer to move, forever when
        # it is there already: it is after a command chosen from the keyboard.
        self.xdotool("mousemove", ox + round(96 * self.scale), oy + round(264 * self.scale), "click", 1)
        wait_for(lambda: self.active_window() == main.id, "the main window to have the focus", 5)

    def popups(self):
        """The menus open on the screen: windows without a frame."""
        return [w for w in self.win32_windows() if w.client == w.rect]

    def choose(self, *path):
        """Chooses a menu command as a Windows player may: a click on the
        menu's title in the menu bar, then the keys (menu_keys), which
        Windows menus take as well as clicks."""
        self.raise_main_window()
        x, y, _, _ = self.win32_windows("Vorarid  ")[0].client
        title = MENU_TITLES[path[0]]
        self.xdotool("mousemove", x + round(title[0] * self.scale), y + round(title[1] * self.scale), "click", 1)
        wait_for(self.popups, f"the menu {path[0]!r} to open", 5)
        self.xdotool("key", "--delay", 40, *menu_keys(self.menus, path))
        wait_for(lambda: not self.popups(), "the menus to close", 5)

    # -- what the driver reads, presses and measures ------------------------
    # Without an accessibility tree: from the screen, and from Windows.

    screen_reader = False

    def message_box(self, title):
        """The message box's texts and buttons as Qt's copies them at ctrl+C,
        with lines of dashes between title, text and buttons."""
        self.focus(title)
        self.key("ctrl+c")
        parts = []

        def copied():
            text = "\n".join(self.probe.clipboard())
            parts[:] = [p.strip("\n") for p in text.split("---------------------------") if p.strip()]
            return parts and parts[0] == title
        wait_for(copied, f"the message box {title!r} to copy its texts", 5)
        return parts[1:2], [p.strip() for p in parts[2:]]

    def focus(self, title):
        """Gives the window the focus, as a click on its title bar does."""
        window = self.wait_window(title)
        if self.active_window() != window.id:
            self.click(*window.title_bar_point())
        wait_for(lambda: self.active_window() == window.id, f"{title!r} to have the focus", 5)

    def press_ok(self, name, at=None):
        """Clicks 확인 where the window's design puts it, or presses a message
        box's default button with the return key; waits for it to close."""
        if at:
            window = self.wait_window(name)
            self.click(window.x + round(at[0] * self.scale), window.y + round(at[1] * self.scale))
        else:
            self.focus(name)
            self.key("Return")
        self.wait_window_gone(name)

    def failure_shown(self):
        """A message box, read by the probe; closed, the game ends. Where Qt
        finds no platform plugin it shows a box of its own first."""
        if wait_for(lambda: {"vorarid", "Vorarid"} & {w.title for w in self.win32_windows()},
                    "a message box", 10) == {"vorarid"}:
            self.press_ok("vorarid")
        box = wait_for(lambda: self.win32_windows("Vorarid"), "the message box 'Vorarid'", 10)[0]
        texts = self.probe.ask(f"texts {box.handle}")
        self.press_ok("Vorarid")
        return self.exit_code("closing the box"), " ".join(texts)

    def labels_shown(self, name, window, labels):
        labels_drawn(self, name, window, labels)

    def owner(self, title):
        """The title of the window that the window `title` belongs to, as
        Windows has it (GetWindow(GW_OWNER)), or None."""
        windows = wait_for(lambda: self.win32_windows(title) and self.win32_windows(), f"the window {title!r}", 10)
        handle = next(w.owner for w in windows if w.title == title)
        return next((w.title for w in windows if w.handle == handle), None)

    def idle(self, what, seconds, still, still_what):
        """The game's GUI thread (the process's first) uses no CPU time for
        `seconds`, with the pointer on the desktop, once it has slept for
        11 s: Qt's font cache expires what the windows drew 10 and 20 s
        later, and its pixmap cache its first entries after 30 s, once each.
        Wine's own threads are shown, not judged; only /proc is read, since
        asking X about Wine's windows wakes them. `still` holds after."""
        pid = self.game.pid
        rest_pointer(self.env, pid, (1010, 750))
        wakes = []

        def asleep():
            wakes.append((time.monotonic(), threads(pid)[pid].switches))
            return wakes[-1][0] - next(t for t, n in wakes if n == wakes[-1][1]) >= 11
        wait_for(asleep, "the game's GUI thread to sleep for 11 s", 60, interval=0.25)
        before = threads(pid)
        holds(lambda: threads(pid)[pid].ticks == before[pid].ticks, f"{what}: the game's GUI thread uses no CPU time",
              seconds)
        after = threads(pid)
        expect(still(), still_what)
        say("meanwhile, by thread: " + ", ".join(
            f"{t.name}: {t.ticks - before[tid].ticks if tid in before else t.ticks} ticks, "
            f"{t.switches - before[tid].switches if tid in before else t.switches} wake-ups"
            for tid, t in sorted(after.items())))
