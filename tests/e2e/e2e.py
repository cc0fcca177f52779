#!/usr/bin/python3
"""The real game, played from outside: through the screen, the pointer and the
accessibility tree, the way a player or a screen reader meets it.

    e2e.py --game PATH --solver PATH --assets DIR GROUP [--wm [DESKTOP]]
           [--wine PROBE --wine-prefix DIR] [--browser ENGINE]

DESKTOP is an X11 window manager (openbox unless named) or a Wayland
compositor with Xwayland (mutter, kwin). With --wine the game is the
Windows program, run under Wine in a copy of the prefix DIR (made by the
group wine-prefix) with openbox, and PROBE the probe program (see wine.py).
With --browser the game is the web build's site, PATH its folder, played
in a browser engine of Debian's (chromium, firefox, webkit; see browser.py).

Each GROUP is one CTest test, so a failure names what broke. Screenshots go
to $VORARID_E2E_SHOTS (one is taken at a failure); VORARID_E2E_KEEP=1 keeps
the session's logs.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import (BLANK, CELLS, DESKTOPS, OK, Failed, Label, Pictures, Session, TimedOut,  # noqa: E402
                     cell_origin, clean_environment, difference, expect, holds, near, run_checks, say, wait_for)
import browser  # noqa: E402
import wine  # noqa: E402

MAIN = "Vorarid  "
HELP = "도움말"
CREDITS = "만든이...."
PICTURE = "  완성사진임다......^^"
CONGRATULATIONS = "축하합니다여.....  ^^"

# Where each window's outer top-left belongs, and its client size.
PLACES = {MAIN: (267, 133), HELP: (267, 167), CREDITS: (200, 133), PICTURE: (267, 133), CONGRATULATIONS: (267, 200)}
CLIENT_SIZES = {HELP: (178, 212), CREDITS: (261, 134), PICTURE: (234, 234), CONGRATULATIONS: (283, 152)}

NEW_GAME = {"Deveder": 3, "Rezovo": 4, "Dozud": 1, "Zede": 2, "숫자퍼즐": 0}

MENUS = [("시작", [("새게임", ["Deveder", "Rezovo", "Dozud", "Zede", "숫자퍼즐"]), "완성사진보기", "포기", "-", "끝내기"]),
         ("도움말", ["도움말", "만든이"])]

GIVE_UP_TITLE = "음...."
GIVE_UP_TEXT = ("음...... 어려운가여????....그래도 축하메세지를 보고싶으면 지금 마지막칸을 클릭해 보셔여.. "
                "근대 아무래도 성취감이 없게져? ....")
NO_PHOTO_TITLE = "죄송함다..^^;"
NO_PHOTO_TEXT = "숫자퍼즐은 완성사진이 없음다...^^;  그냥 1~25까지 순서대로 맞추면 됨다...."


def parse_layout(text):
    grid, p0 = text.split("|")
    tiles = [0 if t == "." else int(t) for t in grid.replace("/", " ").split()] + [int(p0)]
    return dict(zip(CELLS, tiles))


# The four scrambled layouts a new game deals: tile number per cell, 0 = blank.
LAYOUTS = {
    1: parse_layout("5 6 17 7 13 / 8 2 4 10 15 / 16 23 24 19 14 / 3 . 1 21 12 / 22 11 18 20 9 | 25"),
    2: parse_layout("23 . 24 5 8 / 14 3 9 10 4 / 17 22 16 13 2 / 18 11 12 1 15 / 7 6 21 20 19 | 25"),
    3: parse_layout("18 22 4 1 9 / 7 24 3 17 5 / 10 11 14 23 21 / 16 2 . 19 12 / 13 8 6 15 20 | 25"),
    4: parse_layout("14 13 6 16 19 / 17 18 23 2 24 / 11 7 5 8 . / 22 1 20 12 4 / 3 21 15 10 9 | 25"),
}
SOLVED = {cell: (cell if cell else 0) for cell in CELLS}  # tiles 1..25 in p1..p25, p0 empty


def pictures_of(kind, numbers):
    """{cell: tile number} as the pictures kind `kind` shows them."""
    return {cell: BLANK if n == 0 else (kind, n) for cell, n in numbers.items()}


def neighbours(cell):
    if cell == 0:
        return [25]
    row, column = divmod(cell - 1, 5)
    result = []
    if row > 0:
        result.append(cell - 5)
    if column > 0:
        result.append(cell - 1)
    if column < 4:
        result.append(cell + 1)
    if row < 4:
        result.append(cell + 5)
    if cell == 25:
        result.append(0)
    return result


def play(numbers, clicks):
    """The move rule, to know what the board must show after some clicks."""
    numbers = dict(numbers)
    for cell in clicks:
        for n in neighbours(cell):
            if numbers[n] == 0:
                numbers[n], numbers[cell] = numbers[cell], 0
    return numbers


def open_session(args, window_manager=None, env=None):
    """The private desktop with the game: the Linux program, or the Windows
    program under Wine (which always has a window manager)."""
    if args.wine:
        return wine.WineSession(args.game, args.wine, args.wine_prefix, MENUS, env=env, dpi=args.dpi)
    if args.browser:
        return browser.BrowserSession(args.game, args.browser, MENUS, env=env)
    return Session(args.game, window_manager=window_manager, env=env)


# The windows' designs, in client coordinates, for a session without an
# accessibility tree: the middle of each 확인 button, and each label.
OK_BUTTONS = {HELP: (84, 188), CREDITS: (124, 116)}
WINDOW_GREY = (240, 240, 240)
LABELS = {
    HELP: [Label((0, 0, 177, 169), WINDOW_GREY, (0, 0, 0), 0.03)],
    CREDITS: [Label((64, 8, 121, 33), WINDOW_GREY, (0, 0, 0), 0.05, "Vorarid"),
              Label((8, 46, 245, 54), WINDOW_GREY, (0, 0, 0), 0.01)],
    CONGRATULATIONS: [Label((16, 8, 249, 49), (0, 0, 0), (255, 255, 0), 0.05, "축하합니다..!!"),
                      Label((8, 72, 265, 73), (192, 0, 192), (0, 255, 255), 0.02)],
}


class Driver:
    def __init__(self, args, session):
        self.args = args
        self.s = session
        self.pictures = Pictures(args.assets)

    # -- windows --------------------------------------------------------------

    def check_window(self, name, what):
        """The window is up once, at its place, with its client size, at the
        session's scale within the pixel that Qt's scaling of 96-dpi pixels leaves."""
        within = self.s.tolerance
        place = tuple(v * self.s.scale for v in PLACES[name])
        window = self.s.wait_placed(name, place, within=within)
        expect(len(self.s.shown_windows(name)) == 1, f"{what}: one window {name!r}")
        expect(near(window.outer_top_left, place, within),
               f"{what}: outer top-left at {PLACES[name]} × {self.s.scale:g}, frame (left, right, top, bottom) "
               f"{window.frame}", f"it is at {window.outer_top_left}")
        if name in CLIENT_SIZES:
            size = tuple(v * self.s.scale for v in CLIENT_SIZES[name])
            expect(near((window.width, window.height), size, within),
                   f"{what}: client area {CLIENT_SIZES[name][0]}x{CLIENT_SIZES[name][1]} × {self.s.scale:g}",
                   f"it is {window.width}x{window.height}")
        say(f"    {window!r}")
        return window

    def close_with_window_manager(self, name):
        self.s.close_through_frame(name)
        say(f"closed {name!r} through its frame")

    def message_box(self, title, text):
        """The message box's texts, its one button and its owner, the main
        window; then it is closed with the button."""
        texts, buttons = self.s.message_box(title)
        expect(text in texts, f"message box {title!r} says {text[:24]!r}...", f"its texts: {texts}")
        expect(buttons == [OK], f"message box {title!r} has one button {OK!r}", f"its buttons: {buttons}")
        if self.s.windows_have_owners:
            owner = self.s.owner(title)
            expect(owner == MAIN, f"message box {title!r} belongs to the main window", f"its owner: {owner!r}")
        self.s.press_ok(title)
        say(f"closed message box {title!r} with {OK!r}")

    def box_stays_on_top(self, title):
        """A click on the main window, which the box blocks, leaves the box on
        top; the click is on p25, beside the blank in p0 after 포기, and the
        board checked once the box is closed shows that no tile moved."""
        self.s.wait_window(title)
        self.s.click_cells([25])
        holds(lambda: self.s.on_top() == title and self.s.shown_windows(title),
              f"after a click on p25 in the main window, {title!r} is on top", 1)

    def screen_reader_held_off(self):
        """With the 포기 box open, a screen reader's press on the tile next to
        the blank or on 포기 does what a click does then: nothing."""
        self.s.find_top_level(GIVE_UP_TITLE)
        cells = {c.get_name().split(":")[0]: c for c in self.s.children(self.s.board_widget())}
        start = [c for c in self.s.children(self.s.menu_bar()) if c.get_name() == "시작"][0]
        give_up = self.s.descendants(start, role="MENU_ITEM", name="포기")
        expect(len(give_up) == 1, "the screen reader finds 포기 in the menu")
        before = sorted(c.get_name() for c in cells.values())
        self.s.press(cells["5줄 5칸"])
        after = sorted(c.get_name() for c in self.s.children(self.s.board_widget()))
        expect(after == before, "a press on p25 behind the 포기 box moves no tile", f"{set(after) ^ set(before)}")
        try:
            self.s.press(give_up[0])
        except Exception as error:  # the reply waits for a box that nobody closes
            raise Failed(f"a press on 포기 behind the 포기 box did not return: {error}") from None
        tops = [n for _, n, _ in self.s.top_levels()]
        expect(tops.count(GIVE_UP_TITLE) == 1, "and open no second 포기 box", f"{tops}")

    # -- the board ------------------------------------------------------------

    def read_layout(self, kind):
        """Waits for a dealt board of `kind` and says which layout it is."""
        found = []

        def probe():
            board = self.s.read_board(self.pictures)
            found[:] = [board]
            for number, layout in LAYOUTS.items():
                if all(board[c] == pictures_of(kind, layout)[c] for c in CELLS):
                    return number
            return None
        try:
            return wait_for(probe, f"a dealt board of kind {kind}", 10, interval=0.1)
        except TimedOut:
            if not found:
                raise
            raise Failed(f"the board is none of the four layouts in kind {kind}'s tiles: "
                         f"{found[0].describe()}") from None

    def deal(self, item):
        kind = NEW_GAME[item]
        self.s.choose("시작", "새게임", item)
        layout = self.read_layout(kind)
        say(f"ok  {item} (kind {kind}) dealt layout {layout}: {self.s.read_board(self.pictures).layout_text()}")
        return kind, layout

    def solve(self, kind, layout):
        """Plays the solver's clicks on the real cells, checking the board as it goes."""
        numbers = dict(LAYOUTS[layout])
        solver = subprocess.run([self.args.solver], input=" ".join(str(numbers[c]) for c in range(26)),
                                capture_output=True, text=True, timeout=60)
        if solver.returncode != 0:
            raise Failed(f"the solver failed on layout {layout}: {solver.stderr.strip()}")
        clicks = [int(c) for c in solver.stdout.split()]
        expect(clicks and clicks[-1] == 0, f"layout {layout}: the solver finishes with p0 ({len(clicks)} clicks)")
        moves, done, batch = clicks[:-1], 0, 40
        while done < len(moves):
            part = moves[done:done + batch]
            t0 = time.monotonic()
            self.s.click_cells(part)
            t1 = time.monotonic()
            numbers = play(numbers, part)
            done += len(part)
            self.s.wait_board(self.pictures, pictures_of(kind, numbers), f"the board after {done} clicks")
            say(f"     {done} clicks: board as expected (clicking {t1 - t0:.1f}s, looking {time.monotonic() - t1:.1f}s)")
        home = {c: (c if c else 0) for c in CELLS}
        home[0], home[25] = 25, 0
        expect(numbers == home, f"kind {kind}, layout {layout}: tiles 1..24 home after {done} clicks, "
               "25 waiting in p0")
        self.s.click_cells([0])
        self.congratulations(f"solved layout {layout} of kind {kind}")
        self.s.wait_board(self.pictures, pictures_of(kind, SOLVED), "the finished board")
        say(f"ok  kind {kind}, layout {layout}: p0 slid tile 25 home; the screen shows the finished picture")

    def illegal_then_legal(self, kind, layout):
        """A click on a tile far from the blank moves nothing; one on a tile
        beside it slides that tile in."""
        numbers = LAYOUTS[layout]
        blank = next(c for c in CELLS if numbers[c] == 0)
        legal = neighbours(blank)[0]
        illegal = next(c for c in CELLS if c != blank and c not in neighbours(blank) and numbers[c])
        self.s.click_cells([illegal, legal])
        after = play(numbers, [legal])
        self.s.wait_board(self.pictures, pictures_of(kind, after), "the board after an illegal and a legal click")
        say(f"ok  a click on p{illegal}, away from the blank in p{blank}, moved nothing; "
            f"one on p{legal} slid tile {numbers[legal]} into p{blank}")

    def congratulations(self, why):
        window = self.check_window(CONGRATULATIONS, f"congratulations after {why}")
        self.s.labels_shown(CONGRATULATIONS, window, LABELS[CONGRATULATIONS])
        self.close_with_window_manager(CONGRATULATIONS)


# ---------------------------------------------------------------------------
# The groups.

def group_start(args):
    with open_session(args, window_manager=args.wm) as s:
        d = Driver(args, s)
        desktop = "with a window manager" if args.wm else "without a window manager"
        frame = s.main_window()
        expect(frame.get_name() == MAIN, f"the main window's caption is {MAIN!r}", repr(frame.get_name()))
        window = d.check_window(MAIN, f"start {desktop}")
        expect(window.name == MAIN, f"the X window's title is {MAIN!r}", repr(window.name))
        shown = s.shown_windows()
        expect(len(shown) == 1, "only the main window is open at the start", f"{shown}")

        bar, client = s.extents(s.menu_bar()), s.extents(s.board_widget())
        expect(client[2:] == (242, 289), "the client area is 242x289", f"it is {client[2]}x{client[3]}")
        expect(client[1] == bar[1] + bar[3] and client[0] == bar[0] and (window.x, window.y) == bar[:2],
               "the client area sits right under the menu bar", f"menu bar {bar}, client {client}")
        expect(window.height == bar[3] + 289 and window.width == 242,
               "the window is the menu bar and the client area and nothing else",
               f"{window.width}x{window.height}")

        cells = [c for c in s.children(s.board_widget())]
        expect(len(cells) == 26, "the client area holds 26 cells", str(len(cells)))
        ox, oy = client[:2]
        places = sorted((x - ox, y - oy, w, h) for x, y, w, h in map(s.extents, cells))
        wanted = sorted((*cell_origin(c), 49, 49) for c in CELLS)
        expect(places == wanted, "the cells are 49x49 at a 48 px pitch, p0 under p25", f"{places}")

        shot = s.screenshot()
        board = s.read_board(d.pictures, shot)
        expect(all(board[c] == BLANK for c in CELLS), "the board starts with 26 empty cells", board.describe())
        # Empty cells are still drawn: a frame around each, on the window's background.
        background = shot.getpixel((ox + 60, oy + 264))
        faint = [c for c in CELLS
                 if max(abs(a - b) for a, b in zip(shot.getpixel((ox + cell_origin(c)[0] + 24, oy + cell_origin(c)[1])),
                                                   background)) < 64]
        expect(not faint, "each empty cell shows its frame", f"no frame on {faint}")
        if not args.wm:
            s.save_screenshot("start")

        tree = s.menu_tree()
        expect(tree == MENUS, "the menus' titles and items, in order", f"{tree}")
        s.assert_game_running()


def group_deal(args):
    with open_session(args, window_manager=True) as s:
        d = Driver(args, s)
        s.wait_window(MAIN)
        solved = []
        # Every puzzle kind deals one of the four layouts in its own tiles.
        for item in ["Deveder", "Rezovo", "Dozud", "Zede", "숫자퍼즐"]:
            kind, layout = d.deal(item)
            if item == "Deveder":
                s.save_screenshot("deal-deveder")
                d.solve(kind, layout)
                solved.append(f"Deveder (kind 3) layout {layout}")
            if item == "Rezovo":
                d.illegal_then_legal(kind, layout)
        # The dealing sequence repeats every run: keep dealing the number
        # puzzle until every layout has come up, and solve each one once.
        seen = set()
        for deal in range(60):
            kind, layout = d.deal("숫자퍼즐") if deal else (kind, layout)
            if layout not in seen:
                seen.add(layout)
                d.solve(kind, layout)
                solved.append(f"숫자퍼즐 (kind 0) layout {layout}")
            if len(seen) == 4:
                break
        expect(len(seen) == 4, "the number puzzle dealt all four layouts", f"seen {sorted(seen)}")
        say("solved through real clicks: " + "; ".join(solved))
        s.assert_game_running()


def group_windows(args):
    with open_session(args, window_manager=True) as s:
        d = Driver(args, s)
        s.wait_window(MAIN)

        # 포기, then p0: the finished board and the congratulations.
        for item in ["Dozud", "숫자퍼즐"]:
            kind, _ = d.deal(item)
            s.choose("시작", "포기")
            if item == "Dozud":
                if s.screen_reader:
                    d.screen_reader_held_off()
                d.box_stays_on_top(GIVE_UP_TITLE)
            d.message_box(GIVE_UP_TITLE, GIVE_UP_TEXT)
            s.wait_board(d.pictures, pictures_of(kind, SOLVED), f"{item}: the board in order after 포기")
            say(f"ok  {item}: after 포기 the board shows tiles 1..25 in order, p0 empty")
            expect(not s.shown_windows(CONGRATULATIONS), f"{item}: no congratulations before p0 is clicked")
            s.click_cells([0])
            d.congratulations(f"포기 and p0 in {item}")

        # 완성사진보기: the photograph of a photo puzzle; an apology for the numbers.
        kind, _ = d.deal("Zede")
        s.choose("시작", "완성사진보기")
        window = d.check_window(PICTURE, "the completed picture of Zede")
        photo = d.pictures.photos[kind]

        def shows_photo():
            shot = s.screenshot((window.x, window.y, window.x + 234, window.y + 234))
            return difference(shot, photo.crop((0, 0, 234, 234))) < 2.0
        wait_for(shows_photo, "the viewer to show Image2", 5)
        shot = s.screenshot((window.x, window.y, window.x + 234, window.y + 234))
        points = [(x, y) for x in (5, 60, 117, 180, 230) for y in (5, 60, 117, 180, 230)]
        mismatched = [(p, shot.getpixel(p), photo.getpixel(p)) for p in points
                      if max(abs(a - b) for a, b in zip(shot.getpixel(p), photo.getpixel(p))) > 6]
        expect(not mismatched, "the viewer shows Zede's photograph (Image2), pixel for pixel", f"{mismatched}")
        for other in (1, 3, 4):
            expect(difference(shot, d.pictures.photos[other].crop((0, 0, 234, 234))) > 10,
                   f"and not Image{other}")
        s.save_screenshot("picture-viewer")
        d.close_with_window_manager(PICTURE)

        d.deal("숫자퍼즐")
        s.choose("시작", "완성사진보기")
        d.message_box(NO_PHOTO_TITLE, NO_PHOTO_TEXT)
        expect(not s.shown_windows(PICTURE), "the number puzzle shows no photograph")

        # Help and credits: one window each however often asked for, closed
        # with 확인, and back at their own place when opened again.
        for name, path in [(HELP, ("도움말", "도움말")), (CREDITS, ("도움말", "만든이"))]:
            s.choose(*path)
            d.check_window(name, f"{name!r} opened")
            s.choose(*path)
            window = d.check_window(name, f"{name!r} asked for twice")
            s.labels_shown(name, window, LABELS[name])
            # The player drags it away, closes it, and opens it again.
            grip = s.wait_window(name).title_bar_point()
            s.drag(grip, (grip[0] + 300, grip[1] + 250))
            wait_for(lambda: s.shown_windows(name) and s.shown_windows(name)[0].outer_top_left != PLACES[name],
                     f"{name!r} to move away", 5)
            say(f"moved {name!r} to {s.shown_windows(name)[0].outer_top_left}")
            s.press_ok(name, at=OK_BUTTONS[name])
            say(f"closed {name!r} with {OK!r}")
            s.choose(*path)
            d.check_window(name, f"{name!r} reopened")
            s.press_ok(name, at=OK_BUTTONS[name])
        s.assert_game_running()


def group_quit(args):
    with open_session(args, window_manager=True) as s:
        d = Driver(args, s)
        s.wait_window(MAIN)
        d.deal("Rezovo")
        s.choose("시작", "포기")
        d.message_box(GIVE_UP_TITLE, GIVE_UP_TEXT)
        s.click_cells([0])
        d.check_window(CONGRATULATIONS, "congratulations")
        s.choose("시작", "완성사진보기")
        d.check_window(PICTURE, "the completed picture")
        s.choose("도움말", "도움말")
        d.check_window(HELP, "help")
        s.choose("도움말", "만든이")
        d.check_window(CREDITS, "credits")
        names = sorted(w.name for w in s.shown_windows())
        expect(names == sorted([MAIN, HELP, CREDITS, PICTURE, CONGRATULATIONS]),
               "the main window and all four secondary windows are open", f"{names}")
        s.save_screenshot("before-quit")
        s.choose("시작", "끝내기")
        code = s.exit_code("끝내기")
        expect(code == 0, "끝내기 ends the program with exit code 0", f"exit code {code}")
        leftovers = s.leftover_windows([MAIN, HELP, CREDITS, PICTURE, CONGRATULATIONS])
        expect(not leftovers and not s.shown_windows(), "no window is left on the screen", f"{leftovers}")
        errors = s.stderr_text().strip()
        say(f"the game's stderr: {errors!r}")
        left = s.left_running()
        expect(not left, "nothing the game started is left running", f"still running: {left}")


# Where the player puts each window in the places check: clear of one another,
# and the main window clear of where the small windows open.
AWAY = {MAIN: (700, 380), HELP: (20, 20), CREDITS: (20, 560), PICTURE: (330, 480), CONGRATULATIONS: (640, 20)}


def platform_plugins(pid):
    """The Qt platform plugins a process has loaded, by file name."""
    with open(f"/proc/{pid}/maps") as f:
        return sorted({os.path.basename(line.split()[-1]) for line in f if "/platforms/" in line})


def group_places(args):
    """Every window opens with its frame's corner at its place, whatever the
    window manager; a window the player moves stays there; a closed one comes
    back at its place; a dealt board's tiles fill their cells; and with all
    of them open the game sleeps. Under Wine at another dpi, every place and
    size scaled as the windows' twips scale."""
    with open_session(args, window_manager=args.wm) as s:
        d = Driver(args, s)
        desktop = (args.wm or "no window manager") + (f" at {args.dpi} dpi" if args.dpi != 96 else "")
        away = {name: tuple(round(v * s.scale) for v in place) for name, place in AWAY.items()}

        def open_window(name):
            if name == HELP:
                s.choose("도움말", "도움말")
            elif name == CREDITS:
                s.choose("도움말", "만든이")
            elif name == PICTURE:
                s.choose("시작", "완성사진보기")
            else:
                s.click_cells([0])  # the board is finished: p0 congratulates
            return d.check_window(name, f"{desktop}: {name!r} opened")

        def outer_top_left(name):
            shown = s.shown_windows(name)
            return shown[0].outer_top_left if len(shown) == 1 else None

        def move_away(name, window):
            # At once: the window manager may still be busy framing it.
            s.move_window(window, *away[name])
            wait_for(lambda: outer_top_left(name) == away[name], f"{name!r} to move to {away[name]}", 10)
            say(f"moved {name!r} to {away[name]}")

        move_away(MAIN, d.check_window(MAIN, f"{desktop}: the main window at the start"))
        if "WAYLAND_DISPLAY" in s.env:
            plugins = platform_plugins(s.game.pid)
            expect(plugins == ["libqxcb.so"], f"{desktop}: given both displays, the game chose Xwayland (xcb)",
                   f"platform plugins loaded: {plugins}")
        kind, _ = d.deal("Dozud")
        s.choose("시작", "포기")
        d.message_box(GIVE_UP_TITLE, GIVE_UP_TEXT)
        s.wait_board(d.pictures, pictures_of(kind, SOLVED), f"{desktop}: the board in order, each tile filling its cell")
        small = [HELP, CREDITS, PICTURE, CONGRATULATIONS]
        for name in small:
            move_away(name, open_window(name))
        holds(lambda: all(outer_top_left(name) == away[name] for name in [MAIN] + small),
              f"{desktop}: all five windows stay where they were moved", 3)

        for name in small:
            s.close_window(s.wait_window(name))
            s.wait_window_gone(name)
        for name in small:
            open_window(name)
        # Five seconds of idling, at once.
        s.idle(desktop, 5, lambda: outer_top_left(MAIN) == away[MAIN], "the main window stays where it was moved")

        s.choose("시작", "끝내기")
        code = s.exit_code("끝내기")
        expect(code == 0, "끝내기 ends the program with exit code 0", f"exit code {code}")


def group_close_box(args):
    """Closing the main window through the window manager ends the whole
    program, the open help window with it."""
    with open_session(args, window_manager=True) as s:
        d = Driver(args, s)
        d.check_window(MAIN, "start")
        s.choose("도움말", "도움말")
        d.check_window(HELP, "help")
        d.close_with_window_manager(MAIN)
        code = s.exit_code("closing the main window")
        expect(code == 0, "closing the main window ends the program with exit code 0", f"exit code {code}")


# -- a broken environment ------------------------------------------------------

def failed_start(args, env, mention):
    """A start that fails tells the player why and ends with exit code 1."""
    with open_session(args, env=env) as s:
        code, shown = s.failure_shown()
        say(f"exit code {code}; the game said: {shown!r}")
        expect(code == 1, "a failed start ends with exit code 1", f"exit code {code}")
        expect(mention in shown, f"and says {mention!r}", shown)


def group_display_nowhere(args):
    number = next(n for n in range(999, 900, -1)
                  if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
    failed_start(args, {"DISPLAY": f":{number}"}, "display")


def group_no_hangul_font(args):
    with tempfile.TemporaryDirectory(prefix="vorarid-e2e-fonts-") as fonts:
        config = os.path.join(fonts, "fonts.conf")
        with open(config, "w") as f:
            f.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">\n'
                    "<fontconfig>\n  <dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                    f"  <cachedir>{fonts}/cache</cachedir>\n</fontconfig>\n")
        env = dict(clean_environment(), FONTCONFIG_FILE=config)
        hangul = subprocess.run(["fc-list", ":lang=ko", "family"], env=env, capture_output=True, text=True).stdout
        latin = subprocess.run(["fc-list", ":", "family"], env=env, capture_output=True, text=True).stdout
        expect(not hangul.strip() and latin.strip(), "the font configuration shows fonts, none of them Hangul",
               f"Hangul: {hangul.strip()!r}")
        with Session(args.game, env={"FONTCONFIG_FILE": config}) as s:
            d = Driver(args, s)
            d.check_window(MAIN, "start without a Hangul font")
            s.save_screenshot("no-hangul-font")
            s.choose("시작", "끝내기")
            code = s.exit_code("끝내기")
            err = s.stderr_text()
            say(f"exit code {code}; stderr: {err!r}")
            expect(code == 0, "without a Hangul font the game still runs and quits with 0", f"exit code {code}")
            warnings = [line for line in err.splitlines() if "fonts-nanum" in line]
            expect(len(warnings) == 1, "it warns once, naming the package fonts-nanum", f"{err.splitlines()}")
            expect(len(err.splitlines()) == 1, "and says nothing else on stderr", f"{err.splitlines()}")


# -- the Windows download --------------------------------------------------------

def group_wine_prefix(args):
    """The Wine prefix every Windows test copies, made once per run."""
    wine.make_prefix(args.wine_prefix)


def start_and_quit(s, d, path, what):
    """Starts the game from path: its main window at its place, then 끝내기."""
    s.start_game(path)
    d.check_window(MAIN, f"the main window of {what}")
    s.choose("시작", "끝내기")
    code = s.exit_code("끝내기")
    expect(code == 0, f"{what} quits with exit code 0", f"exit code {code}")


# Where Windows lists the installed apps: the user's own, and the machine's.
UNINSTALL_KEYS = [root + r"\Software\Microsoft\Windows\CurrentVersion\Uninstall" for root in ("HKCU", "HKLM")]


def group_install(args):
    """The installer, run silently as a script or an administrator runs it:
    the game, its Start menu shortcut and its entry among the installed apps
    where Windows keeps them; the installed game starts; and the silent
    uninstall takes every trace of the game away."""
    with wine.WineSession(None, args.wine, args.wine_prefix, MENUS) as s:
        d = Driver(args, s)
        before = traces_of_the_game(s)
        code, out = s.run_windows_program("msiexec", "/i", s.windows_path(args.msi), "/qn")
        expect(code == 0, "msiexec /i … /qn installs the game", f"exit code {code}: {out}")
        game = s.user_folder("AppData", "Local", "Programs", "Vorarid", "vorarid.exe")
        shortcut = s.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", "Vorarid.lnk")
        expect(os.path.isfile(game), r"the game is in %LOCALAPPDATA%\Programs\Vorarid", game)
        for licence in ("MIT.txt", "CC-BY-4.0.txt", "GCC.txt", "MinGW-w64.txt", os.path.join("Qt", "LGPL-3.0-only.txt")):
            expect(os.path.isfile(os.path.join(os.path.dirname(game), "LICENSES", licence)),
                   f"with LICENSES\\{licence} beside it")
        with open(os.path.join(os.path.dirname(game), "README.txt"), encoding="utf-8") as f:
            expect("Settings › Apps" in f.read(), "and the read-me that says Settings › Apps removes it")
        expect(os.path.isfile(shortcut), "a shortcut 'Vorarid' is in the user's Start menu", shortcut)
        with open(shortcut, "rb") as f:
            target = f.read()
        expect("vorarid.exe".encode("utf-16-le") in target or b"vorarid.exe" in target,
               "the shortcut starts vorarid.exe")
        entry = uninstall_entry(s)
        say(f"uninstall entry: {entry}")
        for name, value in [("DisplayName", "Vorarid"), ("Publisher", "The Vorarid developers")]:
            expect(entry.get(name) == value, f"the installed apps show {name} {value!r}", f"{entry}")
        expect(entry.get("DisplayVersion", "").startswith("1."), "and the version", f"{entry}")
        size = max(int(entry.get("Size", "0")), int(entry.get("EstimatedSize", "0"), 0))
        expect(size > 10000, "and the size, in KiB", f"{entry}")
        icon = registered_icon(s)
        expect(icon and os.path.isfile(icon), "and the icon Windows Installer keeps for it", f"{icon}")

        start_and_quit(s, d, game, "the installed game")

        code, out = s.run_windows_program("msiexec", "/x", s.windows_path(args.msi), "/qn")
        expect(code == 0, "msiexec /x … /qn uninstalls the game", f"exit code {code}: {out}")
        expect(not os.path.exists(os.path.dirname(game)), "the game's folder is gone")
        expect(not os.path.exists(shortcut), "the shortcut is gone")
        expect(not uninstall_entry(s), "the entry among the installed apps is gone")
        after = traces_of_the_game(s)
        expect(after == before, "nothing of the game is left in the prefix's files or registry",
               f"new: {sorted(set(after) - set(before))}")


def registry_keys(s, key):
    """The values of each key under key, by name, as reg query lists them."""
    keys = []
    for line in s.run_windows_program("reg", "query", key, "/s")[1].splitlines():
        if line.startswith("HKEY_"):
            keys.append({})
            continue
        fields = line.split(None, 2)
        if keys and len(fields) == 3 and fields[1].startswith("REG_"):
            keys[-1][fields[0]] = fields[2].strip()
    return keys


def uninstall_entry(s):
    """The values of the game's entry under the installed apps, by name;
    empty when there is none."""
    return next((values for key in UNINSTALL_KEYS for values in registry_keys(s, key)
                 if values.get("DisplayName") == "Vorarid"), {})


def registered_icon(s):
    """Where Windows Installer keeps the icon the installed apps show for
    the game (the product's ProductIcon), as a Linux path."""
    for values in registry_keys(s, r"HKCU\Software\Microsoft\Installer\Products"):
        if values.get("ProductName") == "Vorarid" and values.get("ProductIcon", "").startswith("C:\\"):
            return s.drive_c(*values["ProductIcon"][3:].split("\\"))
    return None


def traces_of_the_game(s):
    """Every file of the prefix, and every line of its registry, that names
    the game."""
    s.write_out_registry()
    found = []
    for top, _, files in os.walk(s.prefix):
        for name in files:
            path = os.path.join(top, name)
            if "vorarid" in name.lower():
                found.append(os.path.relpath(path, s.prefix))
            elif name.endswith(".reg"):
                with open(path, encoding="utf-8", errors="replace") as f:
                    found += [f"{name}: {line.strip()}" for line in f if "vorarid" in line.lower()
                              and not line.startswith("#")]
    return found


def group_unzipped(args):
    """The zip, unpacked into a folder whose path has Korean letters and
    blanks, runs the game from there: a GUI program (no console window) with
    its icon at every size, and a CR LF read-me that says how to remove it."""
    with wine.WineSession(None, args.wine, args.wine_prefix, MENUS) as s:
        d = Driver(args, s)
        folder = s.user_folder("Desktop", "보라리드 게임 모음", "Vorarid 1.0")
        os.makedirs(folder)
        with zipfile.ZipFile(args.zip) as archive:
            archive.extractall(folder)
        game = os.path.join(folder, "vorarid.exe")
        header = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", game], capture_output=True, text=True).stdout
        expect("Subsystem\t\t00000002\t(Windows GUI)" in header, "vorarid.exe is a Windows GUI program")
        subprocess.run(["wrestool", "-x", "-t", "14", "-o", os.path.join(s.tmp, "icon.ico"), game], check=True)
        icons = subprocess.run(["icotool", "-l", os.path.join(s.tmp, "icon.ico")], capture_output=True, text=True).stdout
        sizes = sorted(int(line.split("--width=")[1].split()[0]) for line in icons.splitlines() if "depth=32" in line)
        expect(sizes == [16, 20, 24, 32, 40, 48, 64, 96, 128, 256], "with its icon in 32 bits at every size",
               f"{sizes}: {icons}")
        readme = open(os.path.join(folder, "README.txt"), "rb").read()
        expect(b"\r\n" in readme and b"delete this folder" in readme.replace(b"\r\n", b"\n"),
               "the read-me ends its lines with CR LF and says that deleting the folder removes the game")
        start_and_quit(s, d, game, f"the game unpacked into {folder!r}")


# -- the web page -----------------------------------------------------------------

def group_phone(args):
    """On a phone's screen, 390 by 844 CSS pixels at 3 device pixels each,
    the page shows the whole desktop, scaled to the screen's width: every
    window wholly visible, at its place in the desktop; and the game plays
    by touch, a tap acting as a click, its menus, its cells and its boxes."""
    with browser.BrowserSession(args.game, args.browser, MENUS, viewport=(390, 844), dpr=3, mobile=True) as s:
        d = Driver(args, s)
        view = s.visible_area()
        say(f"the phone shows the desktop at {view['scale']:.2f}: {view['width']:.0f}x{view['height']:.0f} CSS "
            f"pixels of it")

        def wholly_visible(name, what):
            window = d.check_window(name, what)
            left, top, width, height = window.info["frame"]
            area = s.visible_area()
            expect(left >= area["left"] and top >= area["top"] and left + width <= area["left"] + area["width"]
                   and top + height <= area["top"] + area["height"],
                   f"{what}: {name!r} is wholly on the phone's screen", f"frame {window.info['frame']}, screen {area}")
            return window

        wholly_visible(MAIN, "at the start")
        kind, layout = d.deal("Rezovo")
        d.illegal_then_legal(kind, layout)
        s.choose("시작", "포기")
        d.message_box(GIVE_UP_TITLE, GIVE_UP_TEXT)
        s.wait_board(d.pictures, pictures_of(kind, SOLVED), "the board in order after 포기")
        s.click_cells([0])
        wholly_visible(CONGRATULATIONS, "after 포기 and a tap on p0")
        s.choose("시작", "완성사진보기")
        wholly_visible(PICTURE, "the finished photograph")
        for name, path in [(HELP, ("도움말", "도움말")), (CREDITS, ("도움말", "만든이"))]:
            s.choose(*path)
            wholly_visible(name, f"{name!r} opened by touch")
            s.press_ok(name, at=OK_BUTTONS[name])
            say(f"closed {name!r} with a tap on {OK!r}")
        s.save_screenshot("phone", device=True)
        s.choose("시작", "끝내기")
        expect(s.exit_code("끝내기") == 0, "끝내기 by touch ends the game")


def group_sharp(args):
    """At 1, 2 and 3 device pixels to the CSS pixel, the page draws the game
    at the screen's own resolution, as the desktop builds draw it on a
    scaled screen: every window's picture has a pixel for each of the
    screen's, cell borders one device pixel wide, and the tiles drawn into
    their cells as the desktop builds draw them."""
    for dpr in (1, 2, 3):
        with browser.BrowserSession(args.game, args.browser, MENUS, dpr=dpr) as s:
            d = Driver(args, s)
            s.wait_window(MAIN)
            ox, oy = s.client_origin()
            width = s.border_width(s.device_screenshot(), ox, oy, dpr)
            expect(width == 1, f"at {dpr}x the cells' borders are one device pixel wide", f"{width} pixels")
            kind, layout = d.deal("Zede")
            canvases = s.canvas_resolutions()
            expect(canvases and all(c["device"] == [round(c["css"][0] * dpr), round(c["css"][1] * dpr)]
                                    for c in canvases),
                   f"at {dpr}x every window's picture has {dpr}x{dpr} pixels for each CSS pixel", f"{canvases}")
            shot = s.device_screenshot()
            numbers = LAYOUTS[layout]
            worst = max(s.tile_difference(shot, ox, oy, dpr, cell, d.pictures.tiles[(kind, numbers[cell])])
                        for cell in CELLS if numbers[cell])
            expect(worst < 6, f"at {dpr}x each tile fills its cell as the desktop draws it, scaled smoothly",
                   f"mean difference up to {worst:.1f}")
            s.save_screenshot(f"sharp-{dpr}x", device=True)


GROUPS = {
    "start": group_start,
    "deal": group_deal,
    "windows": group_windows,
    "places": group_places,
    "close-box": group_close_box,
    "quit": group_quit,
    "no-display": lambda args: failed_start(args, {"DISPLAY": "", "WAYLAND_DISPLAY": ""}, "graphical session"),
    "display-nowhere": group_display_nowhere,
    "no-hangul-font": group_no_hangul_font,
    "failed-start": lambda args: failed_start(args, {"QT_QPA_PLATFORM": "nonesuch"}, "platform plugin"),
    "wine-prefix": group_wine_prefix,
    "install": group_install,
    "unzipped": group_unzipped,
    "phone": group_phone,
    "sharp": group_sharp,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--game", required=True)
    parser.add_argument("--solver")
    parser.add_argument("--assets", required=True)
    parser.add_argument("--wm", nargs="?", const="openbox", choices=DESKTOPS,
                        help="run a window manager in the session (openbox unless named), or a Wayland "
                             "compositor with Xwayland")
    parser.add_argument("--wine", metavar="PROBE", help="the game is a Windows program: run it under Wine")
    parser.add_argument("--wine-prefix", metavar="DIR", help="the Wine prefix each Windows test copies")
    parser.add_argument("--dpi", type=int, default=96, help="under Wine: Windows' dots per inch (96 is 100 %%)")
    parser.add_argument("--browser", choices=browser.ENGINES,
                        help="the game is the web build's site (--game is its folder): play it in this engine")
    parser.add_argument("--msi", help="the installer, for the group install")
    parser.add_argument("--zip", help="the zip, for the group unzipped")
    parser.add_argument("group", choices=sorted(GROUPS))
    args = parser.parse_args()
    run_checks(args.group + (f" with {args.wm}" if args.wm else ""), lambda: GROUPS[args.group](args))


if __name__ == "__main__":
    main()
