"""The game as a web page, in a browser, in the same private desktop.

A BrowserSession is a Session whose game is the site of the web build,
served on 127.0.0.1 as a static host serves it (tools/serve-site) and shown
by one of Debian's browser engines in the session's X server, driven
through WebDriver (webdriver.py): the pointer, touch and keys as a player
gives them, and screenshots of what the page shows.

The game's windows are not X windows but parts of the page, each framed by
Qt in the page itself: the session finds them, their titles and places in
the page (an element .qt-window each, in Qt's shadow root). What a screen
reader reads of them is in the page too, once a screen reader user asks
for it: Qt then shadows each widget with an HTML element of its role and
text (a label with a read-only text area, a button with a button), which
the session reads a message box's texts and buttons from.

A script the server puts first into the page (page_probe.js) counts the
work the page schedules, for the idle check.
"""

import math
import os
import re
import sys

from PIL import Image

from desktop import (BLANK, CELLS, OK, Board, Failed, Session, TimedOut, XWindow, cell_origin, difference, expect,
                     holds, labels_drawn, menu_keys, say, wait_for)
import webdriver

ENGINES = webdriver.ENGINES
HERE = os.path.dirname(os.path.abspath(__file__))
SERVE = os.path.join(HERE, "..", "..", "tools", "serve-site")
PROBE = os.path.join(HERE, "page_probe.js")
MAIN = "Vorarid  "

# The game's windows as the page shows them: .qt-window elements, each with
# its title, its place in the desktop as Qt sets it, its frame and its
# client area (the canvas) in CSS pixels of the viewport.
WINDOWS = """
const host = document.getElementById("qt-shadow-container");
if (!host || !host.shadowRoot) return null;
const desktop = document.getElementById("desktop").getBoundingClientRect();
return [...host.shadowRoot.querySelectorAll(".qt-window")].map(w => {
  const frame = w.getBoundingClientRect();
  const canvas = w.querySelector("canvas.qt-window-content");
  const client = canvas ? canvas.getBoundingClientRect() : frame;
  const name = w.querySelector(":scope > .title-bar .window-name");
  const close = [...w.querySelectorAll(":scope > .title-bar .image-button")].pop();
  const closeRect = close ? close.getBoundingClientRect() : null;
  return {id: w.id, shown: w.style.display !== "none", title: name ? name.textContent : "",
          place: [parseFloat(w.style.left) || 0, parseFloat(w.style.top) || 0],
          size: [client.width, client.height],
          frame: [frame.left, frame.top, frame.width, frame.height],
          client: [client.left, client.top, client.width, client.height],
          desktop: [desktop.left, desktop.top], classes: [...w.classList], z: Number(w.style.zIndex || 0),
          close: closeRect && closeRect.width ? [closeRect.left + closeRect.width / 2,
                                                 closeRect.top + closeRect.height / 2] : null};
});
"""

# What a screen reader user does first on the page: asks Qt for the
# elements that stand for its widgets (a button of Qt's, for screen
# readers only).
ENABLE_READER = """
const root = document.getElementById("qt-shadow-container").shadowRoot;
const enable = [...root.querySelectorAll("button")].find(b => b.innerText === "Enable Screen Reader");
if (enable) enable.click();
return Boolean(enable);
"""

# What a screen reader then finds in a window: Qt's elements, each with its
# tag, text and size (their places are not kept up to date).
READER = """
const w = document.getElementById("qt-shadow-container").shadowRoot.getElementById(arguments[0]);
if (!w) return null;
return [...w.querySelectorAll(".qt-window-a11y-container *")].map(e =>
  ({tag: e.tagName.toLowerCase(), role: e.getAttribute("role"), text: e.textContent,
    size: [e.offsetWidth, e.offsetHeight]}));
"""

PROBE_STATE = "return window.vorarid_probe ? {scheduled: vorarid_probe.scheduled, ran: vorarid_probe.ran, " \
              "console: vorarid_probe.console, firstDraw: vorarid_probe.firstDraw, recent: vorarid_probe.recent} : null;"
ENDED = """
const status = document.getElementById("status"), message = document.getElementById("message");
return {shown: !status.hidden, text: message.textContent, code: status.dataset.exitCode ?? null,
        again: !document.getElementById("again").hidden,
        left: document.getElementById("qt-shadow-container") !== null};
"""

# What a screen reader hears of a cell: "2줄 3칸: 숫자 17", "마지막칸: 빈칸",
# "1줄 1칸: Zede 사진 3줄 5칸 조각".
PHOTO_KINDS = {"Dozud": 1, "Zede": 2, "Deveder": 3, "Rezovo": 4}
CELL_NAME = re.compile(r"^(?:(\d)줄 (\d)칸|마지막칸): (?:(빈칸)|숫자 (\d+)|(\w+) 사진 (\d)줄 (\d)칸 조각)$")


def heard_cell(text):
    """(cell, what it shows) from a cell's spoken name; None for another text."""
    match = CELL_NAME.match(text)
    if not match:
        return None
    row, column, blank, number, photo, tile_row, tile_column = match.groups()
    cell = 0 if row is None else 5 * (int(row) - 1) + int(column)
    if blank:
        return cell, BLANK
    if number:
        return cell, (0, int(number))
    return cell, (PHOTO_KINDS[photo], 5 * (int(tile_row) - 1) + int(tile_column))


# The middle of each menu's title in the menu bar, from the client area's
# top-left, and the height of a separator in a menu, as Qt's Fusion style
# draws them in the page's 9-point font.
MENU_TITLES = {"시작": (19, 11), "도움말": (71, 11)}
MENU_SEPARATOR = 2


class PageWindow(XWindow):
    """One of the game's windows in the page. Its place is its frame's
    outer top-left in the desktop; x, y, width and height are its client
    area in the viewport, where the pointer and the screenshots are."""

    def __init__(self, info):
        fx, fy, fw, fh = info["frame"]
        cx, cy, cw, ch = info["client"]
        frame = (round(cx - fx), round(fx + fw - cx - cw), round(cy - fy), round(fy + fh - cy - ch))
        width, height = (round(v) for v in info["size"])
        super().__init__(int(info["id"].rsplit("-", 1)[-1]), info["title"], round(cx), round(cy), width, height,
                         info["shown"], frame)
        self.info = info

    @property
    def outer_top_left(self):
        """Where Qt put the frame in the desktop, its screen."""
        return tuple(round(v) for v in self.info["place"])

    @property
    def framed(self):
        return "has-title" in self.info["classes"]

    def title_bar_point(self):
        """A point of the title bar away from its buttons."""
        return self.x + self.width // 3, self.y - self.frame[2] // 2


class BrowserSession(Session):
    """A Session whose game is the web build's site, in a browser engine of
    Debian's (webdriver.ENGINES), with a viewport of the given size in CSS
    pixels at the given device pixel ratio; `mobile` makes it a phone's,
    played by touch."""

    screen_reader = False
    windows_have_owners = False
    screen = (1280, 1024)

    @property
    def tolerance(self):
        """A phone's page, scaled to its screen, puts frames on its own
        device pixels: a CSS pixel either way."""
        return 1 if self.mobile else 0

    def __init__(self, site, engine, menus, viewport=(1024, 768), dpr=1, mobile=False, env=None):
        super().__init__(site, window_manager=None, env=env)
        self.engine, self.menus, self.viewport, self.dpr, self.mobile = engine, menus, viewport, dpr, mobile
        self.browser = None
        self.server = None
        self.url = None
        self.pointer_kind = "touch" if mobile else "mouse"

    # -- lifetime ---------------------------------------------------------------

    def _prepare(self):
        self.server = self._spawn("server", [sys.executable, SERVE, self.game_path, "--port", "0",
                                             "--inject", PROBE], self.env)
        self.url = wait_for(self._served_address, "the site's server", 20, interval=0.05)
        self.browser = webdriver.browser(self.engine, self.tmp, self.env, self.viewport, self.dpr, self.mobile)
        say(f"{webdriver.version(self.engine)} with a {self.viewport[0]}x{self.viewport[1]} viewport at "
            f"{self.dpr}x{', a phone' if self.mobile else ''}; the site at {self.url}")

    def _served_address(self):
        with open(os.path.join(self.tmp, "server.log")) as f:
            line = f.readline()
        return line.strip() if line.endswith("\n") else None

    def _start_game(self):
        self.browser.navigate(self.url)
        self.game = None
        say(f"page opened: {self.url}")
        # As a screen reader user would, at once, so that every window
        # opened later is read too.
        self.wait_window(MAIN, timeout=60)
        expect(self.browser.evaluate(ENABLE_READER), "the page offers a screen reader the game's widgets")

    def stop(self):
        if self.browser:
            try:
                self.save_console()
            except Exception:  # the browser may be what failed
                pass
            self.browser.quit()
            self.browser = None
        super().stop()

    def save_console(self):
        state = self.probe_state()
        if state and state["console"]:
            with open(os.path.join(self.tmp, "console.log"), "w") as f:
                f.write("\n".join(state["console"]) + "\n")

    def probe_state(self):
        return self.browser.evaluate(PROBE_STATE)

    def settle(self, what):
        """Waits until the page has run what it asked to run next (page_probe.js):
        then the screen shows what the last input brought about."""
        wait_for(lambda: self.browser.evaluate("return vorarid_probe.next.size;") == 0,
                 f"the page to settle after {what}", 5, interval=0.02)

    def stderr_text(self):
        """What the program said on the console."""
        state = self.probe_state()
        return "\n".join(state["console"]) if state else ""

    def ended(self):
        return self.browser.evaluate(ENDED)

    def assert_game_running(self):
        state = self.ended()
        if state["shown"]:
            raise Failed(f"the page shows {state['text']!r} instead of the game; the console:\n{self.stderr_text()}")

    def exit_code(self, what, timeout=10):
        """Waits for the page to say the game has ended; its exit code."""
        try:
            state = wait_for(lambda: (lambda s: s if s["shown"] else None)(self.ended()), f"the end after {what}",
                             timeout)
        except TimedOut:
            raise Failed(f"{what} did not end the program; windows still shown: {self.shown_windows()}") from None
        say(f"the page says {state['text']!r}" + (", with a button to start again" if state["again"] else ""))
        expect(state["again"] and not state["left"], "the page offers to start again, the game's windows gone",
               f"{state}")
        return None if state["code"] is None else int(state["code"])

    def left_running(self):
        """What the page still runs, a second after the game ended."""
        before = self.probe_state()["ran"]
        holds(lambda: True, "the ended page waits", 1)
        after = self.probe_state()["ran"]
        return {name: count - before.get(name, 0) for name, count in after.items() if count != before.get(name, 0)}

    # -- windows ------------------------------------------------------------------

    def page_windows(self):
        return [PageWindow(info) for info in self.browser.evaluate(WINDOWS) or []]

    def x_windows(self):
        return [w for w in self.page_windows() if w.framed]

    def x_window(self, wid):
        return next((w for w in self.page_windows() if w.id == wid), None)

    def popups(self):
        """The menus open in the page: windows without a frame."""
        return [w for w in self.page_windows() if w.mapped and not w.framed]

    def active_window(self):
        active = [w for w in self.shown_windows() if "inactive" not in w.info["classes"]]
        return active[0].id if active else None

    def on_top(self):
        shown = sorted(self.shown_windows(), key=lambda w: w.info["z"])
        return shown[-1].name if shown else None

    def owner(self, title):
        return None

    def move_window(self, window, left, top):
        """Drags the window by its title bar so that its frame lands at
        (left, top) in the desktop, as the player moves it."""
        grip = window.title_bar_point()
        dx, dy = left - window.outer_top_left[0], top - window.outer_top_left[1]
        self.drag(grip, (grip[0] + dx, grip[1] + dy))

    def close_window(self, window):
        """The close box in the window's title bar."""
        current = self.x_window(window.id)
        if not current or not current.info["close"]:
            raise Failed(f"{window!r} shows no close box")
        self.click(*current.info["close"])

    def close_through_frame(self, name):
        self.close_window(self.wait_window(name))
        self.wait_window_gone(name)

    def client_origin(self):
        """The top-left of the board, under the menu bar."""
        main = self.wait_window(MAIN)
        return main.x, main.y + main.height - 289

    def raise_main_window(self):
        ox, oy = self.client_origin()
        self.click(ox + 96, oy + 264)
        main = self.wait_window(MAIN)
        wait_for(lambda: self.active_window() == main.id, "the main window to be active", 5)

    def focus(self, title):
        """Gives the window the keyboard, as a click into it does: the keys
        go where the page last took a click. The click is in the corner of
        the client area, where no window of the game has a control."""
        window = self.wait_window(title)
        self.click(window.x + 3, window.y + 3)
        wait_for(lambda: self.active_window() == window.id, f"{title!r} to be active", 5)

    # -- input and the screen -------------------------------------------------------

    def screenshot(self, box=None):
        """What the page shows, in CSS pixels of the page."""
        shot = self.browser.screenshot()
        factor = self.dpr * (self.visible_area()["scale"] if self.mobile else 1)
        if factor != 1:
            shot = shot.resize((round(shot.width / factor), round(shot.height / factor)), Image.BOX)
        return shot.crop(box) if box else shot

    def device_screenshot(self):
        """What the page shows, in device pixels."""
        return self.browser.screenshot()

    def save_screenshot(self, name, device=False):
        """Keeps a screenshot, in CSS pixels or as the screen shows it."""
        return super().save_screenshot(name, self.device_screenshot() if device else None)

    def visible_area(self):
        """The part of the page on the screen, in CSS pixels of the page,
        and how far the browser scaled the page to show it."""
        return self.browser.evaluate("const v = visualViewport; return {left: v.pageLeft, top: v.pageTop, "
                                     "width: v.width, height: v.height, scale: v.scale};")

    def canvas_resolutions(self):
        """Each shown window's picture: its size on the page in CSS pixels,
        and in pixels of its own."""
        return self.browser.evaluate("""
            const root = document.getElementById("qt-shadow-container").shadowRoot;
            return [...root.querySelectorAll(".qt-window")].filter(w => w.style.display !== "none").map(w => {
              const c = w.querySelector("canvas.qt-window-content"), r = c.getBoundingClientRect();
              return {css: [r.width, r.height], device: [c.width, c.height]};
            });""")

    @staticmethod
    def border_width(shot, ox, oy, dpr):
        """How many device pixels wide the empty p0's left border is, on a
        line through its middle: dark pixels between the flat strip left of
        it and its empty inside."""
        y = round((oy + 240 + 24) * dpr)
        row = [shot.getpixel((x, y)) for x in range(round((ox + 186) * dpr), round((ox + 198) * dpr))]
        return sum(1 for p in row if sum(p) < 3 * 96)

    @staticmethod
    def tile_difference(shot, ox, oy, dpr, cell, tile):
        """How far the cell's inside, in device pixels, is from the tile as
        the desktop build draws it at this scale: the cell's pitch less its
        border, filled by the tile scaled smoothly."""
        cx, cy = cell_origin(cell)
        left, top = math.ceil((ox + cx) * dpr) + 1, math.ceil((oy + cy) * dpr) + 1
        side = 48 * dpr - 1
        inside = shot.crop((left, top, left + side, top + side))
        wanted = tile if side == 47 else tile.resize((side, side), Image.BILINEAR)
        return difference(inside, wanted)

    def click(self, x, y):
        self.browser.pointer((x, y), "down", "up", kind=self.pointer_kind)

    def click_many(self, points):
        steps = []
        for point in points:
            steps += [point, "down", "up"]
        if steps:
            self.browser.pointer(*steps, kind=self.pointer_kind)

    def drag(self, start, end):
        sx, sy = start
        ex, ey = end
        steps = [start, "down"] + [(sx + (ex - sx) * i // 10, sy + (ey - sy) * i // 10) for i in range(1, 11)] + ["up"]
        self.browser.pointer(*steps, kind=self.pointer_kind)

    def key(self, *keys):
        self.browser.keys(*keys)

    # -- what the driver reads, presses and measures -------------------------------

    def reader(self, name):
        """What a screen reader finds in the window: the shadow elements."""
        window = self.wait_window(name)
        return wait_for(lambda: self.browser.evaluate(READER, f"qt-window-{window.id}") or None,
                        f"{name!r} to show a screen reader its widgets", 5)

    def message_box(self, title):
        """The message box as a screen reader reads it in the page: its
        texts and its buttons' names."""
        found = []

        def read():
            elements = self.reader(title)
            texts = [e["text"] for e in elements if e["tag"] == "textarea" and e["text"]]
            buttons = [e["text"] for e in elements if e["tag"] == "button"]
            found[:] = [texts, buttons]
            return texts and buttons
        wait_for(read, f"the message box {title!r} to show its text and button", 5)
        return found[0], found[1]

    def press_ok(self, name, at=None):
        """Clicks the 확인 button where the window's design puts it, or for a
        message box, where Qt lays out its one button: in the bottom right
        corner, inside the box's margins (12 and 11 pixels); and waits for
        the window to close. (A click on a window that a box blocks leaves
        the page's keyboard with no window, so no key would do.)"""
        window = self.wait_window(name)
        if not at:
            buttons = [e for e in self.reader(name) if e["tag"] == "button" and e["text"] == OK]
            if len(buttons) != 1:
                raise Failed(f"expected one {OK!r} button in {name!r}: {self.reader(name)}")
            width, height = buttons[0]["size"]
            at = (window.width - 12 - width // 2, window.height - 11 - height // 2)
        self.click(window.x + at[0], window.y + at[1])
        self.wait_window_gone(name)

    def labels_shown(self, name, window, labels):
        """Each label drawn in its colours. (Qt's shadow elements in the page
        miss a label now and then: a screen reader is not yet a reliable
        witness of a window's labels there.)"""
        labels_drawn(self, name, window, labels)

    def read_board(self, pictures, shot=None):
        """Which picture each cell shows: from the screen where the page is
        drawn a CSS pixel to a pixel, else (a phone's screen, a denser one)
        as a screen reader hears the cells, whose pictures the screen shows
        scaled."""
        if self.dpr == 1 and not self.mobile:
            return super().read_board(pictures, shot)
        cells = {}
        for element in self.reader(MAIN):
            heard = heard_cell(element["text"]) if element["tag"] == "button" else None
            if heard:
                cells[heard[0]] = heard[1]
        return Board({cell: cells.get(cell) for cell in CELLS}, {})

    def idle(self, what, seconds, still, still_what):
        """The page schedules and runs nothing for `seconds`, while `still`
        holds: no timer, no animation frame, no message, no drawing."""
        self.settle("what came before")
        before = self.probe_state()
        holds(still, still_what, seconds)
        after = self.probe_state()
        changed = {f"{kind} {name}": count - before[kind].get(name, 0)
                   for kind in ("scheduled", "ran") for name, count in after[kind].items()
                   if count != before[kind].get(name, 0)}
        expect(not changed, f"{what}: the page does no work in {seconds} s",
               f"meanwhile: {changed}; the last asked for by: {after['recent'][-len(changed):]}")

    def choose(self, *path):
        """Chooses a menu command: a click on the menu's title, then the keys
        (menu_keys); on a phone, which has no keys, a tap on each item."""
        self.raise_main_window()
        main = self.wait_window(MAIN)
        title = MENU_TITLES[path[0]]
        self.click(main.x + title[0], main.y + title[1])
        wait_for(self.popups, f"the menu {path[0]!r} to open", 5)
        if not self.mobile:
            self.key(*menu_keys(self.menus, path))
        else:
            entries = dict(self.menus)[path[0]]
            for depth, name in enumerate(path[1:]):
                popup = wait_for(lambda: len(self.popups()) > depth and self.popups()[depth],
                                 f"the menu holding {name!r} to open", 5)
                # The items share the menu's height, less its separators'.
                item = (popup.height - MENU_SEPARATOR * entries.count("-")) / (len(entries) - entries.count("-"))
                y = popup.y
                for entry in entries:
                    if entry == "-":
                        y += MENU_SEPARATOR
                        continue
                    if (entry if isinstance(entry, str) else entry[0]) == name:
                        break
                    y += item
                self.click(popup.x + popup.width // 2, y + item / 2)
                entry = next(e for e in entries if e != "-" and (e if isinstance(e, str) else e[0]) == name)
                entries = [] if isinstance(entry, str) else entry[1]
        wait_for(lambda: not self.popups(), "the menus to close", 5)
        self.settle(" › ".join(path))

    def leftover_windows(self, names):
        """Which of the windows named are still in the page, shown or not."""
        return [w.name for w in self.page_windows() if w.name in names]
