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

import os
import subprocess
import sys

from desktop import OK, Failed, Session, XWindow, expect, holds, labels_drawn, say, wait_for
import webdriver

HERE = os.path.dirname(os.path.abspath(__file__))
SERVE = os.path.join(HERE, "..", "..", "tools", "serve-site")
PROBE = os.path.join(HERE, "page_probe.js")
MAIN = "Vorarid  "

# The game's windows as the page shows them: visible .qt-window elements,
# each with its title, its frame and its client area (the canvas) in CSS
# pixels of the viewport, and the desktop's corner.
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
          frame: [frame.left, frame.top, frame.width, frame.height],
          client: [client.left, client.top, client.width, client.height],
          desktop: [desktop.left, desktop.top], classes: [...w.classList], z: Number(w.style.zIndex || 0),
          close: closeRect && closeRect.width ? [closeRect.left + closeRect.width / 2,
                                                 closeRect.top + closeRect.height / 2] : null};
});
"""

# What a screen reader finds in a window: Qt's shadow elements, each with
# its tag, text and place in the viewport.
READER = """
const host = document.getElementById("qt-shadow-container");
const root = host.shadowRoot;
const enable = [...root.querySelectorAll("button")].find(b => b.innerText === "Enable Screen Reader");
if (enable) enable.click();
const w = root.getElementById(arguments[0]);
if (!w) return null;
return [...w.querySelectorAll(".qt-window-a11y-container *")].map(e => {
  const r = e.getBoundingClientRect();
  return {tag: e.tagName.toLowerCase(), role: e.getAttribute("role"), text: e.tagName === "TEXTAREA" ? e.value || e.textContent : e.textContent,
          place: [r.left, r.top, r.width, r.height]};
});
"""

PROBE_STATE = "return window.vorarid_probe ? {scheduled: vorarid_probe.scheduled, ran: vorarid_probe.ran, " \
              "console: vorarid_probe.console, firstDraw: vorarid_probe.firstDraw} : null;"
ENDED = """
const status = document.getElementById("status"), message = document.getElementById("message");
return {shown: !status.hidden, text: message.textContent, code: status.dataset.exitCode ?? null,
        again: !document.getElementById("again").hidden,
        left: document.getElementById("qt-shadow-container") !== null};
"""

# The middle of each menu's title in the menu bar, from the client area's
# top-left, as Qt draws them in the page's font.
MENU_TITLES = {"시작": (19, 11), "도움말": (71, 11)}


class PageWindow(XWindow):
    """One of the game's windows in the page. Its place is its frame's
    outer top-left in the desktop; x, y, width and height are its client
    area in the viewport, where the pointer and the screenshots are."""

    def __init__(self, info):
        fx, fy, fw, fh = info["frame"]
        cx, cy, cw, ch = (round(v) for v in info["client"])
        frame = (round(cx - fx), round(fx + fw - cx - cw), round(cy - fy), round(fy + fh - cy - ch))
        super().__init__(int(info["id"].rsplit("-", 1)[-1]), info["title"], cx, cy, cw, ch, info["shown"], frame)
        self.info = info
        self.desktop = info["desktop"]

    @property
    def outer_top_left(self):
        return round(self.info["frame"][0] - self.desktop[0]), round(self.info["frame"][1] - self.desktop[1])

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
    screen_size = (1280, 1024)

    def __init__(self, site, engine, viewport=(1024, 768), scale=1, mobile=False, env=None):
        super().__init__(site, window_manager=None, env=env)
        self.engine, self.viewport, self.scale, self.mobile = engine, viewport, scale, mobile
        self.browser = None
        self.server = None
        self.url = None
        self.pointer_kind = "touch" if mobile else "mouse"

    # -- lifetime ---------------------------------------------------------------

    def _prepare(self):
        self.server = self._spawn("server", [sys.executable, SERVE, self.game_path, "--port", "0",
                                             "--inject", PROBE], self.env)
        self.url = wait_for(self._served_address, "the site's server", 20, interval=0.05)
        self.browser = webdriver.browser(self.engine, self.tmp, self.env, self.viewport, self.scale, self.mobile)
        say(f"{webdriver.version(self.engine)} with a {self.viewport[0]}x{self.viewport[1]} viewport at "
            f"{self.scale}x{', a phone' if self.mobile else ''}; the site at {self.url}")

    def _served_address(self):
        with open(os.path.join(self.tmp, "server.log")) as f:
            line = f.readline()
        return line.strip() if line.endswith("\n") else None

    def _start_game(self):
        self.browser.navigate(self.url)
        self.game = None
        say(f"page opened: {self.url}")

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
        except Failed:
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
        window = self.wait_window(title)
        if self.active_window() != window.id:
            self.click(*window.title_bar_point())
        wait_for(lambda: self.active_window() == window.id, f"{title!r} to be active", 5)

    # -- input and the screen -------------------------------------------------------

    def screenshot(self, box=None):
        shot = self.browser.screenshot()
        if self.scale != 1:
            shot = shot.resize((round(shot.width / self.scale), round(shot.height / self.scale)))
        return shot.crop(box) if box else shot

    def device_screenshot(self):
        """What the page shows, in device pixels."""
        return self.browser.screenshot()

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
        """Clicks the window's 확인 button, where a screen reader finds it (or
        for a window of the game, where its design puts it), and waits for
        the window to close."""
        window = self.wait_window(name)
        if at:
            point = (window.x + at[0], window.y + at[1])
        else:
            buttons = [e for e in self.reader(name) if e["tag"] == "button" and e["text"] == OK]
            if len(buttons) != 1:
                raise Failed(f"expected one {OK!r} button in {name!r}: {self.reader(name)}")
            x, y, w, h = buttons[0]["place"]
            point = (x + w / 2, y + h / 2)
        self.click(*point)
        self.wait_window_gone(name)

    def labels_shown(self, name, window, labels):
        labels_drawn(self, name, window, labels)

    def idle(self, what, seconds, still, still_what):
        """The page schedules and runs nothing for `seconds`, while `still`
        holds: no timer, no animation frame, no message, no drawing."""
        before = self.probe_state()
        holds(still, still_what, seconds)
        after = self.probe_state()
        changed = {f"{kind} {name}": count - before[kind].get(name, 0)
                   for kind in ("scheduled", "ran") for name, count in after[kind].items()
                   if count != before[kind].get(name, 0)}
        expect(not changed, f"{what}: the page does no work in {seconds} s", f"meanwhile: {changed}")

    def menu_title(self, name):
        ox, oy = self.wait_window(MAIN).x, self.wait_window(MAIN).y
        return ox + MENU_TITLES[name][0], oy + MENU_TITLES[name][1]


def engines_available():
    return [engine for engine in webdriver.ENGINES if "not installed" not in webdriver.version(engine)]


_ = subprocess
