#!/usr/bin/env python3
"""A child's session with the editor's binary, on a real X display with real mouse input and a
virtual board on a pseudo-terminal: create a program, lay cards, enter a number, flip a card,
trash a card and get it back with the undo button and with Ctrl+Z, choose the board, play for
two targets, rename, reopen, copy the program and delete both.

Every step takes a screenshot. A failure names its step and keeps the screenshots; with --docs
the pictures of the user guide are written as well.
"""

import argparse
import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import screen  # noqa: E402
import xsession  # noqa: E402

# What the board must receive for beep on line 10, wait "2" on line 20 and LED on on line 30.
EXPECTED = {
    "jam": b"\x1b" b"\nOUT0\n" b"\n\n\n\n\nNEW\r\n"
           b"10 BEEP\r\n20 WAIT 120\r\n30 LED 1\r\n"
           b"SAVE 0" b"\n" b"RUN\r\n",
    "latte": b" " b"ms\nout(0)\nexit()\n" b"cat uart > .\n" b"var i=0;var o=0;\n"
             b"beep();\nsleep(2000);\nled(1);\n"
             b"while(uart()!=-1);\n" b"\x04\n" b"ms .\n",
}

# The guide's pictures: step name -> file under docs/.
DOC_PICTURES = {
    "cards-laid": "editor.png",
    "card-flipped": "card-flipped.png",
    "port-list": "port-list.png",
    "console-during-transfer": "console.png",
    "renamed": "gallery.png",
    "card-trashed": "undo.png",
    "copied": "copy.png",
    "simulated": "simulator.png",
    "tapped": "tap-to-place.png",
    "sound-switch": "sound-switch.png",
}

RES_EN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../Resources/res_en/")

# The guide shows these in Japanese too, as NAME-ja.png.
DOC_PICTURES_JA = {"port-list", "renamed", "tapped", "sound-switch"}

# What the editor says in each language, and the name a child gives the program: typed in
# English, composed with an input method in Japanese (its reading first, then the name).
SAYS = {
    "en": {"images": "res_en", "new": "Create new code", "marker": "* ", "sim": "Simulator",
           "failed": ("Failed", "Please connect again."),
           "delete": "Delete the code you have chosen?", "sent": "Sent!",
           "title": "Robot dance", "reading": None},
    "ja": {"images": "res", "new": "あたらしくはじめる", "marker": "● ", "sim": "シミュレーター",
           "failed": ("しっぱい", "せつぞくしなおしてください。"),
           "delete": "えらんだソースコードを消しますか？", "sent": "おくったよ！",
           "title": "ロボットダンス", "reading": "ろぼっとだんす"},
}

# The first program a child makes alone: forward, wait 2, beep, stop, for the script board.
FIRST_PROGRAM = {
    "jam": b"\x1b" b"\nOUT0\n" b"\n\n\n\n\nNEW\r\n"
           b"10 OUT 33\r\n20 WAIT 120\r\n30 BEEP\r\n40 OUT 0\r\n"
           b"SAVE 0" b"\n" b"RUN\r\n",
    "latte": b" " b"ms\nout(0)\nexit()\n" b"cat uart > .\n" b"var i=0;var o=0;\n"
             b"out(33);\nsleep(2000);\nbeep();\nout(0);\n"
             b"while(uart()!=-1);\n" b"\x04\n" b"ms .\n",
}


class StepFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise StepFailed(message)


def wait_until(predicate, seconds, message):
    try:
        xsession.wait_for(predicate, seconds, message)
    except TimeoutError as timeout:
        raise StepFailed(str(timeout))


def brightness(raw):
    return sum(raw) / max(len(raw), 1)


class Journey:
    def __init__(self, binary, shots, docs, lang="C.UTF-8", first_only=False):
        self.binary, self.shots, self.docs = binary, shots, docs
        self.lang, self.first_only = lang, first_only
        self.suffix = "-ja" if lang.startswith("ja") else ""
        self.says = SAYS["ja" if self.suffix else "en"]
        self.step_number, self.step_name = 0, "start"
        self.work = tempfile.mkdtemp(prefix="zoa-journey-")
        self.home = os.path.join(self.work, "home")
        os.makedirs(self.home)

    def step(self, name):
        self.step_number += 1
        self.step_name = name

    def shot(self, tag=""):
        """A screenshot named after the step; the untagged one of a step may go into the guide."""
        name = f"{self.step_number:02d}-{self.step_name}{'-' + tag if tag else ''}.png"
        path = os.path.join(self.shots, name)
        self.editor.screenshot(path)
        if self.docs and not tag and self.step_name in DOC_PICTURES and \
                (not self.suffix or self.step_name in DOC_PICTURES_JA):
            picture = DOC_PICTURES[self.step_name].replace(".png", self.suffix + ".png")
            shutil.copyfile(path, os.path.join(self.docs, picture))
        return path

    def shown(self, kind="label"):
        return [item[1:] if kind == "box" else item[1]
                for item in self.editor.visible() if item[0] == kind]

    def expect_shown(self, *texts):
        """Waits until every text shows in a label of the editor."""
        deadline, missing = time.monotonic() + 5, texts
        while missing and time.monotonic() < deadline:
            labels = self.shown()
            missing = [t for t in texts if t not in labels]
        check(not missing, f"the editor does not show {missing}; it shows {labels}")

    def programs(self):
        try:
            return xsession.saved_programs(self.home)
        except FileNotFoundError:
            return None, {"datas": []}

    def cards(self):
        base, listing = self.programs()
        check(len(listing["datas"]) == 1, f"expected one program, the list holds {listing}")
        import plistlib
        with open(os.path.join(base, os.path.basename(listing["datas"][0]["path"])), "rb") as f:
            return plistlib.load(f)

    def laid(self):
        return sorted((screen.line_of(c), c["tab"], c["index"], c["value"]) for c in self.cards())

    def run(self):
        self.display = xsession.Display()
        self.board = xsession.Board(self.work)
        self.trace = os.path.join(self.work, "trace.txt")
        self.editor = xsession.Editor(self.binary, self.display, self.home,
                                      {"ZOA_EXTRA_PORTS": self.board.link_path,
                                       "ZOA_SIM_TRACE": self.trace, "LANG": self.lang},
                                      driven=True)
        try:
            if not self.first_only:
                self.walk()
            self.first_program()
            self.step("closed")
            self.editor.close()
            check(self.editor.proc.returncode == 0,
                  f"the editor ended with status {self.editor.proc.returncode} on SIGTERM")
        finally:
            if self.editor.alive():
                self.editor.kill()
            self.board.close()
            self.display.close()

    def walk(self):
        e = self.editor
        self.step("gallery-empty")
        e.wait_window()
        check(xsession.showing_gallery(self.shot()), "the gallery did not show first")
        check(self.programs()[1]["datas"] == [], "a fresh data directory already lists programs")
        self.expect_shown(self.says["new"])

        self.step("new-program")
        e.tap(*screen.gallery_thumbnail(0))
        wait_until(lambda: not xsession.showing_gallery(self.shot()), 10, "the field did not open")
        time.sleep(1.0)  # the slide into the field

        self.step("cards-laid")
        e.drag(screen.palette_card(1), screen.line_head(1))  # beep
        e.drag(screen.palette_card(0), screen.line_head(2))  # wait
        e.tap(*screen.TABS["paprika"])
        e.tap(*screen.PALETTE_DOWN)
        time.sleep(1.0)
        e.drag(screen.LED_ON_SCROLLED, screen.line_head(3))
        time.sleep(0.5)
        self.shot()
        check(self.laid() == [(1, 0, 1, ""), (2, 0, 0, ""), (3, 1, 6, "")],
              f"the cards did not land on lines 10, 20 and 30: {self.laid()}")
        # Images drawn in both languages come from the language's folder, the play button's too.
        drawn = [p.split("/Resources/")[1].split("/", 1) for p in self.shown("sprite")
                 if "/Resources/" in p]
        variants = {folder for folder, name in drawn if os.path.exists(RES_EN + name)}
        check(variants == {self.says["images"]} and [self.says["images"], "r_play.png"] in drawn,
              f"images in both languages come from {variants}: {drawn}")

        self.step("number-entered")
        e.tap(*screen.number_field(2))
        time.sleep(0.8)
        e.type("2")
        e.key("Return")
        time.sleep(1.0)
        self.shot()
        check((2, 0, 0, "2") in self.laid(), f"the wait card did not keep 2: {self.laid()}")

        self.step("card-flipped")
        before = e.pixels(self.shot("before"), screen.SHEET)
        e.tap(*screen.flip_button(1))
        time.sleep(1.0)
        flipped = e.pixels(self.shot(), screen.SHEET)
        check(xsession.differing_share(before, flipped) > 0.02, "the beep card did not turn")
        e.tap(*screen.flip_button(1))
        time.sleep(1.0)
        check(xsession.differing_share(before, e.pixels(self.shot("back"), screen.SHEET)) < 0.01,
              "the beep card did not turn back")

        self.step("card-trashed")
        laid = self.laid()
        e.drag(screen.line_head(1), screen.TRASH)
        time.sleep(0.8)
        self.shot()
        check(len(self.laid()) == len(laid) - 1, f"the beep card was not trashed: {self.laid()}")

        self.step("undone-by-button")
        e.tap(*screen.UNDO)
        time.sleep(0.8)
        self.shot()
        check(self.laid() == laid, f"the undo button did not bring the card back: {self.laid()}")

        self.step("undone-by-key")
        e.drag(screen.line_head(1), screen.TRASH)
        time.sleep(0.8)
        check(len(self.laid()) == len(laid) - 1, f"the beep card was not trashed: {self.laid()}")
        e.key("ctrl+z")
        time.sleep(0.8)
        self.shot()
        check(self.laid() == laid, f"Ctrl+Z did not bring the card back: {self.laid()}")

        self.step("port-list")
        e.tap(*screen.SETTINGS)
        time.sleep(1.0)
        e.tap(*screen.PORT_FIELD)
        time.sleep(1.0)
        self.shot()
        link = self.board.link_path
        self.expect_shown(f"{self.says['marker']}{link} [ {link} ]", "  Pomelink [ UDP ]",
                          "  " + self.says["sim"])
        e.tap(430, 659)  # the second entry: the virtual board after the wireless module
        time.sleep(0.8)
        self.shot("chosen")

        self.play("jam", docs_step=True)

        self.step("latte-chosen")
        e.tap(*screen.TARGET)
        time.sleep(1.0)
        e.tap(*screen.TARGET_CHOICES["latte"])
        time.sleep(1.0)
        self.shot()
        self.play("latte")
        self.unplugged()
        self.simulate()

        self.step("gallery-with-program")
        sheet = e.pixels(self.shot("sheet"), screen.SHEET)
        e.tap(*screen.TO_GALLERY)
        time.sleep(2.5)
        check(xsession.showing_gallery(self.shot()), "the gallery did not come back")

        self.step("renamed")
        e.tap(*screen.gallery_title(1))
        time.sleep(1.0)
        self.shot("editing")
        e.key("ctrl+a")
        for _ in range(30):
            e.key("BackSpace")
        title, reading = self.says["title"], self.says["reading"]
        if reading:
            empty = e.pixels(self.shot("emptied"), screen.NAME_BOX)
            e.drive(f"compose {len(reading)} {reading}")
            self.expect_shown(reading)
            check(xsession.differing_share(empty, e.pixels(self.shot("composing"),
                                                           screen.NAME_BOX)) > 0.02,
                  "the composition was not drawn in the name box")
            e.drive("commit " + title)
        else:
            e.type(title)
        e.key("Return")
        time.sleep(1.0)
        self.shot()
        wait_until(lambda: self.programs()[1]["datas"][0]["title"] == title, 5,
                   f"the new title was not stored: {self.programs()[1]}")

        self.step("reopened")
        laid = self.laid()
        e.tap(*screen.gallery_thumbnail(1))
        time.sleep(2.5)
        reopened = self.shot()
        check(not xsession.showing_gallery(reopened), "the program did not open again")
        check(xsession.differing_share(sheet, e.pixels(reopened, screen.SHEET)) < 0.01,
              "the reopened sheet does not look as it was left")
        check(self.laid() == laid, f"the cards changed on reopening: {self.laid()}")
        e.tap(*screen.TO_GALLERY)
        time.sleep(2.5)

        self.step("copied")
        e.press(*screen.gallery_thumbnail(1), seconds=2.5)
        time.sleep(0.5)
        self.shot()
        e.tap(*screen.COPY_BUTTON)
        time.sleep(1.0)
        self.shot("done")
        titles = [d["title"] for d in self.programs()[1]["datas"]]
        check(titles == [title + " 2", title], f"the copy is not listed first: {titles}")

        self.step("deleted")
        # The list now shows the copy in the middle and the original beside it.
        e.press(*screen.gallery_thumbnail(0), seconds=2.5)
        time.sleep(0.5)
        e.tap(*screen.gallery_thumbnail(1))
        time.sleep(0.5)
        self.shot("marked")
        e.tap(*screen.DELETE_BUTTON)
        time.sleep(0.8)
        self.shot("asked")
        self.expect_shown(self.says["delete"])
        e.tap(*screen.ALERT_OK)
        time.sleep(1.0)
        self.shot()
        base, listing = self.programs()
        check(listing["datas"] == [], f"the program is still listed: {listing}")
        # The open editor's lock and socket stay beside the list.
        check(sorted(os.listdir(base)) == ["editor.lock", "editor.sock", "list.plist"],
              f"files left behind: {sorted(os.listdir(base))}")

    def play(self, target, docs_step=False):
        e = self.editor
        self.step(f"played-{target}")
        self.board.take()
        e.tap(*screen.PLAY)
        if docs_step:
            time.sleep(2.5)
            self.step("console-during-transfer")
            self.shot()
            self.step(f"played-{target}")
        self.board.wait_quiet(len(EXPECTED[target]), 30)
        self.shot()
        received = self.board.take()
        check(received == EXPECTED[target],
              f"the board received {received!r}, expected {EXPECTED[target]!r}")
        e.tap(*screen.QUIET_SPOT)  # a tap closes the finished run's console
        time.sleep(0.8)

    def unplugged(self):
        """The board comes loose: start says so in a message box."""
        e = self.editor
        self.step("unplugged")
        self.board.close()
        e.tap(*screen.PLAY)
        title, message = self.says["failed"]
        wait_until(lambda: self.shown("box"), 15, "no message when the board was gone")
        box = self.shown("box")[-1]
        check(box[0] == title and box[1].startswith(message + "\n"), f"the message was {box}")
        self.shot()
        self.board = xsession.Board(self.work)  # plugged in again, on the same path
        e.tap(*screen.QUIET_SPOT)  # a tap closes the console
        time.sleep(0.8)

    def first_program(self):
        """Forward, wait 2, beep, stop by taps alone, the 2 on the pad, sent with a tick."""
        e = self.editor
        if self.first_only:
            e.wait_window()
            target = "jam"
        else:
            target = "latte"  # as the walk left the board chooser
        self.step("tapped")
        e.tap(*screen.gallery_thumbnail(0))
        wait_until(lambda: not xsession.showing_gallery(self.shot("opened")), 10,
                   "the field did not open")
        time.sleep(1.0)
        for row in (2, 0, 1, 3):  # forward, wait, beep, stop
            e.tap(*screen.palette_card(row))
            time.sleep(0.8)
        self.shot()
        check(self.laid() == [(1, 0, 2, ""), (2, 0, 0, ""), (3, 0, 1, ""), (4, 0, 3, "")],
              f"the tapped cards did not land on lines 10 to 40: {self.laid()}")

        self.step("number-on-pad")
        e.tap(*screen.number_field(2))
        time.sleep(0.8)
        self.shot()
        e.tap(*screen.PAD["2"])
        e.tap(*screen.PAD["ok"])
        time.sleep(0.8)
        check((2, 0, 0, "2") in self.laid(), f"the pad did not give the wait 2: {self.laid()}")

        self.step("sound-switch")
        e.tap(*screen.SETTINGS)
        time.sleep(1.0)
        self.shot()
        e.tap(*screen.PORT_FIELD)
        time.sleep(1.0)
        e.tap(*screen.BOARD_ROW)
        time.sleep(0.8)

        self.step("sent")
        self.board.take()
        e.tap(*screen.PLAY)
        expected = FIRST_PROGRAM[target]

        def ticked():
            return (len(self.board.received) >= len(expected) and
                    brightness(e.pixels(self.shot("tick"), screen.SENT_MARK)) > 200)
        wait_until(ticked, 30, "no tick after the program was sent")
        self.expect_shown(self.says["sent"])
        time.sleep(2.0)
        check(brightness(e.pixels(self.shot(), screen.SENT_MARK)) < 150,
              "the tick did not go away")
        received = self.board.take()
        check(received == expected, f"the board received {received!r}, expected {expected!r}")
        e.tap(*screen.QUIET_SPOT)
        time.sleep(0.8)

    def traced(self):
        try:
            with open(self.trace) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def simulate(self):
        """Forward on a new first line, then the board on the screen runs the program."""
        e = self.editor
        self.step("simulator-chosen")
        e.tap(*screen.INSERT_FIRST_LINE)
        time.sleep(0.8)
        e.tap(*screen.TABS["basic"])
        time.sleep(0.8)
        e.drag(screen.palette_card(2), screen.line_head(1))
        time.sleep(0.5)
        palette = e.pixels(self.shot("palette"), screen.PALETTE)
        e.tap(*screen.PORT_FIELD)
        time.sleep(1.0)
        e.tap(*screen.SIMULATOR_ROW)
        time.sleep(0.8)
        self.shot()

        self.step("simulated")
        self.board.take()
        e.tap(*screen.PLAY)
        time.sleep(1.5)  # the car is on its way and line 3, the wait, is lit
        running = self.shot()
        check(xsession.differing_share(palette, e.pixels(running, screen.PALETTE)) > 0.2,
              "the stage did not take the palette's place")
        wait_until(lambda: self.traced()[-1:] and self.traced()[-1].endswith(" end"), 10,
                   f"the simulated run did not end as expected: {self.traced()}")
        events = [line.split(" ", 1)[1] for line in self.traced()]
        check(events == ["line 1", "out 33", "pose 0.000 0.000 90.000", "line 2", "beep",
                         "line 3", "line 4", "led 1", "pose 0.000 200.000 90.000", "end"],
              f"the simulated board did something else: {self.traced()}")
        check(self.board.take() == b"", "the simulator's run reached the serial board")
        self.shot("ended")
        e.tap(*screen.QUIET_SPOT)  # back to editing
        time.sleep(0.8)
        check(xsession.differing_share(palette, e.pixels(self.shot("closed"), screen.PALETTE))
              < 0.01, "the palette did not come back after the run")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--shots", required=True, help="where the step screenshots go")
    parser.add_argument("--docs", help="also write the user guide's pictures here")
    parser.add_argument("--lang", default="C.UTF-8", help="the editor's LANG; ja_JP.UTF-8 "
                        "names the guide's pictures NAME-ja.png")
    parser.add_argument("--first-program-only", action="store_true",
                        help="walk only the first program a child makes alone")
    parser.add_argument("--keep", action="store_true",
                        help="keep every screenshot of a pass, not only the simulated run's")
    args = parser.parse_args()
    missing = xsession.tools_missing()
    if missing:
        print("missing tools: " + ", ".join(missing) + " (scripts/deps.sh installs them)")
        return 1
    shutil.rmtree(args.shots, ignore_errors=True)
    os.makedirs(args.shots)
    journey = Journey(os.path.abspath(args.binary), args.shots, args.docs, args.lang,
                      args.first_program_only)
    try:
        journey.run()
    except Exception as failure:  # noqa: BLE001 - every failure names its step
        print(f"journey failed at step {journey.step_number} ({journey.step_name}): {failure}")
        print(f"screenshots kept in {args.shots}; editor log in {journey.home}/editor.log")
        return 1
    shutil.rmtree(journey.work, ignore_errors=True)
    if not args.keep:
        # The board on the screen's picture stays, to look at after a pass.
        for name in os.listdir(args.shots):
            if "-simulated" not in name:
                os.remove(os.path.join(args.shots, name))
    print(f"journey passed: {journey.step_number} steps")
    return 0


if __name__ == "__main__":
    sys.exit(main())
