"""The three browser engines of Debian, driven through WebDriver.

Chromium and WebKitGTK come with a WebDriver server (chromedriver,
WebKitWebDriver) that speaks the W3C protocol over HTTP; Firefox speaks
WebDriver BiDi itself, over a WebSocket. Both give the same few things the
tests need, with the same actions: open a page, run a function in it,
take a screenshot of what it shows, and move the pointer, touch and type as
a player does.
"""

import base64
import io
import json
import os
import shutil
import socket
import subprocess
import urllib.error
import urllib.request

from PIL import Image

from desktop import BrowserCrashed, Failed, wait_for

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
FIREFOX = "/usr/bin/firefox-esr"
WEBKIT_DRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
ENGINES = ("chromium", "firefox", "webkit")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wrapped(body):
    """A function body as a function of one argument, a JSON text of the
    arguments, that returns its result as JSON text: both protocols carry a
    string as it is."""
    return ("function (encoded) { const args = JSON.parse(encoded); "
            f"return JSON.stringify((function () {{ {body} }}).apply(null, args)); }}")


class Browser:
    """One browser and its WebDriver session; subclasses speak the protocol."""

    engine = None

    def __init__(self, tmp, env, viewport, scale, mobile):
        self.tmp, self.env, self.viewport, self.scale, self.mobile = tmp, env, viewport, scale, mobile
        self.processes = []

    def _spawn(self, name, argv, env):
        log = open(os.path.join(self.tmp, f"{name}.log"), "wb")
        process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        self.processes.append(process)
        return process

    def quit(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, 15)
                    process.wait(10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    try:
                        os.killpg(process.pid, 9)
                    except ProcessLookupError:
                        pass
                    process.wait()
        self.processes = []

    # What every protocol gives, in its own words.
    def navigate(self, url):
        raise NotImplementedError

    def evaluate(self, body, *args):
        """Runs `body`, a function body, in the page with `args`; its result."""
        raise NotImplementedError

    def screenshot(self):
        """What the page's viewport shows, in device pixels, as an RGB image."""
        raise NotImplementedError

    def perform(self, sources):
        """Input action sequences, as both protocols take them."""
        raise NotImplementedError

    # Input, as a player gives it.
    def pointer(self, *steps, kind="mouse"):
        """A pointer's steps: (x, y) to move there, "down", "up", or a pause
        in ms; x and y in CSS pixels of the viewport."""
        actions = []
        for step in steps:
            if step == "down":
                actions.append({"type": "pointerDown", "button": 0})
            elif step == "up":
                actions.append({"type": "pointerUp", "button": 0})
            elif isinstance(step, tuple):
                actions.append({"type": "pointerMove", "x": int(step[0]), "y": int(step[1]), "origin": "viewport",
                                "duration": 0})
            else:
                actions.append({"type": "pause", "duration": int(step)})
        self.perform([{"type": "pointer", "id": kind, "parameters": {"pointerType": kind}, "actions": actions}])

    KEYS = {"Return": "\ue006", "Down": "\ue015", "Right": "\ue014", "Up": "\ue013", "Left": "\ue012",
            "Escape": "\ue00c", "ctrl": "\ue009", "alt": "\ue00a", "shift": "\ue008", "F4": "\ue034"}

    def keys(self, *names):
        """Presses each key in turn: a name of KEYS, a letter, or a chord
        such as "ctrl+c"."""
        actions = []
        for name in names:
            chord = [self.KEYS.get(part, part) for part in name.split("+")] if len(name) > 1 else [name]
            actions += [{"type": "keyDown", "value": k} for k in chord]
            actions += [{"type": "keyUp", "value": k} for k in reversed(chord)]
        self.perform([{"type": "key", "id": "keyboard", "actions": actions}])


class ClassicBrowser(Browser):
    """A browser behind a W3C WebDriver server over HTTP."""

    def _start_driver(self, argv, capabilities):
        port = free_port()
        self._spawn(f"{self.engine}-driver", argv + [f"--port={port}"], self.env)
        self.base = f"http://127.0.0.1:{port}"
        wait_for(lambda: self._ready(), f"the {self.engine} WebDriver server", 30, interval=0.1)
        answer = self._call("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}}, timeout=90)
        self.base += f"/session/{answer['sessionId']}"

    def _ready(self):
        try:
            return self._call("GET", "/status").get("ready")
        except (OSError, Failed):
            return False

    def _call(self, method, path, body=None, timeout=60):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json; charset=utf-8"})
        try:
            with urllib.request.urlopen(request, timeout=timeout) as response:
                return json.loads(response.read() or b"null")["value"]
        except urllib.error.HTTPError as error:
            detail = error.read().decode(errors="replace")
            what = f"{self.engine} WebDriver {method} {path}: {error.code} {detail[:500]}"
            if self.page_crashed(detail):
                raise BrowserCrashed(f"{self.engine}'s page process crashed ({what})") from None
            raise Failed(what) from None

    def page_crashed(self, detail):
        """Whether the browser's process that shows the page has crashed."""
        return "page crash" in detail or "tab crashed" in detail

    def navigate(self, url):
        self._call("POST", "/url", {"url": url})

    def evaluate(self, body, *args):
        return json.loads(self._call("POST", "/execute/sync",
                                     {"script": f"return ({wrapped(body)})(arguments[0]);",
                                      "args": [json.dumps(list(args))]}))

    def screenshot(self):
        data = base64.b64decode(self._call("GET", "/screenshot"))
        return Image.open(io.BytesIO(data)).convert("RGB")

    def perform(self, sources):
        self._call("POST", "/actions", {"actions": sources})

    def quit(self):
        try:
            if "/session/" in getattr(self, "base", ""):
                self._call("DELETE", "", timeout=20)
        except (OSError, Failed):
            pass
        super().quit()


class Chromium(ClassicBrowser):
    engine = "chromium"

    def start(self):
        args = ["--no-sandbox", "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--disable-quic", "--disable-dev-shm-usage",
                "--password-store=basic", "--use-mock-keychain", "--window-position=0,0",
                f"--user-data-dir={os.path.join(self.tmp, 'chromium')}"]
        options = {"binary": CHROMIUM, "args": args}
        if self.mobile:
            # A phone: its viewport in CSS pixels, its density, touch, and a
            # mobile browser's way with the page's viewport width.
            options["mobileEmulation"] = {"deviceMetrics": {"width": self.viewport[0], "height": self.viewport[1],
                                                            "pixelRatio": self.scale, "touch": True, "mobile": True}}
            args.append("--window-size=1280,1024")
        else:
            args += [f"--window-size={self.viewport[0]},{self.viewport[1]}",
                     f"--force-device-scale-factor={self.scale}"]
        self._start_driver([CHROMEDRIVER], {"browserName": "chrome", "goog:chromeOptions": options})
        if not self.mobile:
            self._fit_viewport()

    def _fit_viewport(self):
        """Grows the window until the page's viewport has the size asked for."""
        inner = self.evaluate("return [innerWidth, innerHeight];")
        rect = self._call("GET", "/window/rect")
        self._call("POST", "/window/rect", {"width": rect["width"] + self.viewport[0] - inner[0],
                                            "height": rect["height"] + self.viewport[1] - inner[1]})


class WebKit(ClassicBrowser):
    engine = "webkit"

    def start(self):
        # JavaScriptCore on Linux stops the page's thread with signals, to
        # break into it at a trap and to scan its stack for the collector,
        # and the thread then now and then finds errno changed under it:
        # Skia's shader compiler and GLib check errno and abort, and the
        # web process crashes. Traps that the thread polls for and a
        # collector on the page's own thread send it none.
        env = dict(self.env, GDK_SCALE=str(self.scale), WEBKIT_DISABLE_COMPOSITING_MODE="1",
                   JSC_usePollingTraps="1", JSC_useConcurrentGC="0")
        if os.getuid() == 0:
            # WebKit's own sandbox (bubblewrap) needs user namespaces that a
            # chroot run as root does not give; the page is the project's own.
            env["WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS"] = "1"
        self.env = env
        self._start_driver([WEBKIT_DRIVER], {"browserName": "MiniBrowser", "webkitgtk:browserOptions": {
            "binary": MINIBROWSER, "args": ["--automation"]}})
        inner = self.evaluate("return [innerWidth, innerHeight];")
        rect = self._call("GET", "/window/rect")
        self._call("POST", "/window/rect", {"x": 0, "y": 0, "width": rect["width"] + self.viewport[0] - inner[0],
                                            "height": rect["height"] + self.viewport[1] - inner[1]})


    def page_crashed(self, detail):
        """MiniBrowser says in its log when its web process crashed."""
        with open(os.path.join(self.tmp, "webkit-driver.log"), errors="replace") as log:
            return "WebProcess CRASHED" in log.read() or super().page_crashed(detail)


class Firefox(Browser):
    """Firefox, which speaks WebDriver BiDi itself."""

    engine = "firefox"

    def start(self):
        import websocket  # Debian's python3-websocket
        profile = os.path.join(self.tmp, "firefox-profile")
        os.makedirs(profile)
        prefs = {
            "browser.shell.checkDefaultBrowser": False, "browser.startup.homepage_override.mstone": "ignore",
            "datareporting.policy.dataSubmissionEnabled": False, "toolkit.telemetry.reportingpolicy.firstRun": False,
            "app.update.disabledForTesting": True, "browser.aboutwelcome.enabled": False,
            "remote.prefs.recommended": True, "layout.css.devPixelsPerPx": str(self.scale),
        }
        with open(os.path.join(profile, "user.js"), "w") as f:
            for name, value in prefs.items():
                f.write(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n")
        port = free_port()
        self._spawn("firefox", [FIREFOX, "--no-remote", "--new-instance", "--profile", profile,
                                f"--remote-debugging-port={port}", "--width", str(self.viewport[0]),
                                "--height", str(self.viewport[1]), "about:blank"], self.env)

        def connect():
            try:
                # Firefox refuses a handshake that names a page's origin.
                return websocket.create_connection(f"ws://127.0.0.1:{port}/session", timeout=60,
                                                   suppress_origin=True)
            except (OSError, websocket.WebSocketException):
                return None
        self.socket = wait_for(connect, "Firefox's WebDriver BiDi", 60, interval=0.2)
        self.next_id = 0
        self._call("session.new", {"capabilities": {"alwaysMatch": {"acceptInsecureCerts": False}}})
        contexts = self._call("browsingContext.getTree", {})["contexts"]
        self.context = contexts[0]["context"]
        self._call("browsingContext.setViewport", {"context": self.context, "devicePixelRatio": self.scale,
                                                   "viewport": {"width": self.viewport[0],
                                                                "height": self.viewport[1]}})

    def _call(self, method, params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") != self.next_id:
                continue  # an event, which no test subscribes to
            if message.get("type") == "error":
                raise Failed(f"Firefox WebDriver BiDi {method}: {message.get('error')} {message.get('message')}")
            return message["result"]

    def navigate(self, url):
        self._call("browsingContext.navigate", {"context": self.context, "url": url, "wait": "complete"})

    def evaluate(self, body, *args):
        result = self._call("script.callFunction", {
            "functionDeclaration": wrapped(body), "awaitPromise": False,
            "arguments": [{"type": "string", "value": json.dumps(list(args))}],
            "target": {"context": self.context}})
        if result.get("type") == "exception":
            raise Failed(f"Firefox: the page threw {result['exceptionDetails'].get('text')}")
        return json.loads(result["result"]["value"])

    def screenshot(self):
        data = base64.b64decode(self._call("browsingContext.captureScreenshot", {"context": self.context})["data"])
        return Image.open(io.BytesIO(data)).convert("RGB")

    def perform(self, sources):
        self._call("input.performActions", {"context": self.context, "actions": sources})

    def quit(self):
        try:
            self._call("session.end", {})
            self.socket.close()
        except Exception:  # the browser may be gone already
            pass
        super().quit()


def browser(engine, tmp, env, viewport=(1280, 900), scale=1, mobile=False):
    """A started browser of the engine with a viewport of the size asked for."""
    kind = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[engine]
    instance = kind(tmp, env, viewport, scale, mobile)
    try:
        instance.start()
    except BaseException:
        instance.quit()
        raise
    return instance


def version(engine):
    command = {"chromium": [CHROMIUM, "--version"], "firefox": [FIREFOX, "--version"],
               "webkit": ["dpkg-query", "-W", "-f", "WebKitGTK ${Version}", "libwebkit2gtk-4.1-0"]}[engine]
    if not shutil.which(command[0]):
        return f"{engine}: not installed"
    return subprocess.run(command, capture_output=True, text=True, timeout=30).stdout.strip()

