"""bench/run --web: the game's page against the floor's, in Chromium.

Both sites are made by the web build the same way (packaging/web), the
floor's around bench/floor, and served on 127.0.0.1 as a static host serves
them, compressed (tools/serve-site). Each round opens each page once in a
new Chromium profile, nothing cached, the warm-up round discarded, and takes
the time from the navigation's start to the program's first drawing of its
main window (the board, for the game), as the page's own clock tells it
(tests/e2e/page_probe.js). The bytes are those of the files each page
loaded, as they lie in the site: raw, gzip -9 and brotli -q 11.
"""

import json
import os
import statistics
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import desktop  # noqa: E402
import webdriver  # noqa: E402
from desktop import wait_for  # noqa: E402

PROBE = ROOT / "tests" / "e2e" / "page_probe.js"
SERVE = ROOT / "tools" / "serve-site"

FIRST_DRAW = "return window.vorarid_probe && vorarid_probe.firstDraw;"
LOADED = """return [performance.getEntriesByType("navigation")[0], ...performance.getEntriesByType("resource")]
    .map(e => ({url: e.name, encoded: e.encodedBodySize, decoded: e.decodedBodySize}));"""


def build(web):
    """The game's and the floor's sites, as make web builds them, with the benchmark's programs."""
    subprocess.run(["make", "-C", str(ROOT), "web", f"WEB={web}"], check=True)
    env = dict(os.environ, EMSDK=str(web / "qt" / "emsdk"))  # where make web shows Qt emscripten
    subprocess.run(["cmake", "-B", str(web), "-DBUILD_TESTING=ON"], check=True, stdout=subprocess.DEVNULL, env=env)
    subprocess.run(["cmake", "--build", str(web), "--target", "vorarid_site", "vorarid_floor_site"], check=True,
                   stdout=subprocess.DEVNULL, env=env)


class Server:
    """A site served as a static host serves it, with the probe in its pages."""

    def __init__(self, site, log):
        self.process = subprocess.Popen([sys.executable, str(SERVE), str(site), "--port", "0", "--inject", str(PROBE)],
                                        stdout=subprocess.PIPE, stderr=log, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url:
            sys.exit(f"bench/run: the server of {site} did not start")
        self.site = site

    def stop(self):
        self.process.terminate()
        self.process.wait()


def open_once(session, server, number):
    """Opens the page in a new browser; ms to the first drawing, and the files it loaded."""
    tmp = os.path.join(session.tmp, f"round-{number}-{Path(server.site).name}")
    os.makedirs(tmp)
    browser = webdriver.browser("chromium", tmp, session.env, viewport=(1024, 768))
    try:
        browser.navigate(server.url)
        drawn = wait_for(lambda: browser.evaluate(FIRST_DRAW), "the page's first drawing", 60, interval=0.02)
        loaded = browser.evaluate(LOADED)
    finally:
        browser.quit()
    return drawn, loaded


def site_bytes(server, loaded):
    """Raw, gzip and brotli bytes of the files the page loaded, from the site."""
    sizes = {"raw": 0, "gzip": 0, "brotli": 0}
    for entry in loaded:
        path = entry["url"].removeprefix(server.url).split("?")[0] or "index.html"
        file = Path(server.site) / path
        if not file.is_file():
            continue
        raw = file.stat().st_size
        sizes["raw"] += raw
        for kind, suffix in (("gzip", ".gz"), ("brotli", ".br")):
            packed = file.with_name(file.name + suffix)
            sizes[kind] += packed.stat().st_size if packed.is_file() else raw
    return sizes


def main(arguments):
    web = Path(os.environ.get("WEB", ROOT / "build-web"))
    if not arguments.skip_build:
        build(web)
    sites = {"game": web / "site", "floor": web / "bench" / "floor-site"}
    for name, site in sites.items():
        if not (site / "index.html").is_file():
            sys.exit(f"bench/run: {site} is missing; build it first (make web, then the target {name}'s site)")
    times = {"game": [], "floor": []}
    with desktop.Session(None) as session:
        session.screen = (1280, 1024)
        log = open(os.path.join(session.tmp, "servers.log"), "w")
        servers = {name: Server(site, log) for name, site in sites.items()}
        try:
            for number in range(arguments.rounds + 1):
                drawn = {}
                for name in ("game", "floor"):
                    drawn[name], loaded = open_once(session, servers[name], number)
                    if number == 0:
                        servers[name].bytes = site_bytes(servers[name], loaded)
                    else:
                        times[name].append(drawn[name])
                label = "warm-up" if number == 0 else f"round {number}/{arguments.rounds}"
                print(f"{label}: first drawing {drawn['game']:.0f} / {drawn['floor']:.0f} ms", file=sys.stderr,
                      flush=True)
        finally:
            for server in servers.values():
                server.stop()
    ratios = [g / f for g, f in zip(times["game"], times["floor"])]
    lines = [f"Chromium ({webdriver.version('chromium')}), {arguments.rounds} rounds, a new profile each time, "
             f"served from 127.0.0.1",
             f"{'':24}{'game':>12}{'floor':>12}{'game/floor':>12}",
             f"{'first drawing, ms':24}{statistics.median(times['game']):12.0f}"
             f"{statistics.median(times['floor']):12.0f}{statistics.median(ratios):12.2f}",
             f"{'  range':24}{min(times['game']):6.0f}-{max(times['game']):<5.0f}"
             f"{min(times['floor']):6.0f}-{max(times['floor']):<5.0f}"]
    for kind in ("raw", "gzip", "brotli"):
        game, floor = servers["game"].bytes[kind], servers["floor"].bytes[kind]
        lines.append(f"{'bytes, ' + kind:24}{game:12,}{floor:12,}{game / floor:12.3f}")
    report = "\n".join(lines)
    print(report)
    if arguments.out:
        arguments.out.write_text(report + "\n")
    print(json.dumps({"game": servers["game"].bytes, "floor": servers["floor"].bytes}), file=sys.stderr)
