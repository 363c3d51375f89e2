#!/usr/bin/env python3
"""Power cuts at the worst moment: the editor's binary is driven through changes (each one
stores the program, leaving the field stores its thumbnail and the list) and killed with
SIGKILL at random moments, many times over.

After every kill the list and every program file must read back with plistlib and every
program listed before must still be listed with a readable program; the editor must start
again on the gallery. At the end every program is opened once more.
"""

import argparse
import os
import plistlib
import random
import shutil
import signal
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import screen  # noqa: E402
import xsession  # noqa: E402

CARD_KEYS = {"tab", "index", "value", "x", "y", "zorder"}


class Broken(Exception):
    pass


def read_store(home):
    """The listed records as {identifier: cards}, reading every file as another program would."""
    base = os.path.join(home, "data", "Tarnixworks", "TarnixworksZOA", "savedatas")
    list_path = os.path.join(base, "list.plist")
    if not os.path.exists(list_path):
        return {}
    try:
        with open(list_path, "rb") as f:
            listing = plistlib.load(f)
    except Exception as error:  # noqa: BLE001
        raise Broken(f"list.plist does not read back: {error}")
    programs = {}
    for record in listing["datas"]:
        path = os.path.join(base, os.path.basename(record["path"]))
        try:
            with open(path, "rb") as f:
                cards = plistlib.load(f)
        except Exception as error:  # noqa: BLE001
            raise Broken(f"{record['path']} of record {record['identifer']} does not read: {error}")
        if not isinstance(cards, list) or any(set(c) != CARD_KEYS for c in cards):
            raise Broken(f"{record['path']} holds no card list: {cards!r}")
        programs[record["identifer"]] = cards
    return programs


def leftovers(home):
    base = os.path.join(home, "data", "Tarnixworks", "TarnixworksZOA", "savedatas")
    return sorted(n for n in os.listdir(base) if ".tmp-" in n or "damaged" in n)


class Changes:
    """Random changes a child makes, until the editor is gone."""

    def __init__(self, editor, rng):
        self.e, self.rng = editor, rng

    def run(self):
        e, rng = self.e, self.rng
        try:
            # Into the field: a new program, or the newest one when there is one.
            e.tap(*screen.gallery_thumbnail(rng.choice([0, 1])))
            time.sleep(1.0)
            while e.alive():
                choice = rng.random()
                if choice < 0.55:
                    e.drag(screen.palette_card(rng.randrange(4)),
                           screen.line_head(rng.randrange(1, 4)), steps=8, step_pause=0.01)
                elif choice < 0.65:
                    e.drag(screen.line_head(rng.randrange(1, 4)), screen.TRASH, steps=8,
                           step_pause=0.01)
                elif choice < 0.7:
                    e.tap(*rng.choice([screen.UNDO, screen.REDO]))  # a program stored again
                elif choice < 0.85:
                    e.tap(*screen.TO_GALLERY)  # capture and list
                    time.sleep(rng.uniform(0.6, 1.2))
                    if rng.random() < 0.3:
                        e.tap(*screen.gallery_title(1))
                        time.sleep(0.4)
                        e.type(rng.choice(["a", "bc", "1"]))
                        e.key("Return")
                        time.sleep(0.3)
                    e.tap(*screen.gallery_thumbnail(rng.choice([0, 1])))
                    time.sleep(1.0)
                else:
                    e.tap(*screen.TABS[rng.choice(list(screen.TABS))])
        except Exception:  # noqa: BLE001 - the editor vanished under the input, as intended
            pass


def start(binary, display, home):
    editor = xsession.Editor(binary, display, home)
    editor.wait_window()
    return editor


def open_every_program(binary, display, home, shots):
    """Opens each program as the newest of a copy of the store, so that it is the first item of
    the gallery: the program files are opened as the kills left them."""
    base = os.path.join(home, "data", "Tarnixworks", "TarnixworksZOA", "savedatas")
    with open(os.path.join(base, "list.plist"), "rb") as f:
        listing = plistlib.load(f)
    for n, record in enumerate(listing["datas"]):
        copy = os.path.join(os.path.dirname(home), f"open-{n}")
        copied = os.path.join(copy, "data", "Tarnixworks", "TarnixworksZOA", "savedatas")
        # The killed editor's socket is no file to copy.
        shutil.copytree(base, copied, ignore=shutil.ignore_patterns("editor.sock"))
        reordered = dict(listing, datas=[record] + [r for r in listing["datas"] if r is not record])
        with open(os.path.join(copied, "list.plist"), "wb") as f:
            plistlib.dump(reordered, f, fmt=plistlib.FMT_XML)
        editor = start(binary, display, copy)
        try:
            editor.tap(*screen.gallery_thumbnail(1))
            time.sleep(2.0)
            if xsession.showing_gallery(editor.screenshot(os.path.join(shots, "opened.png"))):
                raise Broken(f"program {record['identifer']} did not open")
        finally:
            editor.close()
        if editor.proc.returncode != 0:
            raise Broken(f"the editor ended with {editor.proc.returncode} after opening "
                         f"program {record['identifer']}")
        shutil.rmtree(copy)
    return len(listing["datas"])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", required=True)
    parser.add_argument("--kills", type=int, default=10)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--shots", required=True)
    args = parser.parse_args()
    if xsession.tools_missing():
        print("missing tools: " + ", ".join(xsession.tools_missing()))
        return 1
    print(f"seed {args.seed} (again with --seed {args.seed})")
    rng = random.Random(args.seed)
    shutil.rmtree(args.shots, ignore_errors=True)
    os.makedirs(args.shots)
    work = tempfile.mkdtemp(prefix="zoa-crash-")
    home = os.path.join(work, "home")
    os.makedirs(home)
    binary = os.path.abspath(args.binary)
    display = xsession.Display()
    survived = 0
    try:
        known = {}
        for kill in range(1, args.kills + 1):
            editor = start(binary, display, home)
            if not xsession.showing_gallery(editor.screenshot(os.path.join(args.shots,
                                                                           "start.png"))):
                raise Broken(f"after kill {kill - 1} the editor did not start on the gallery")
            changes = threading.Thread(target=Changes(editor, random.Random(rng.random())).run)
            changes.start()
            time.sleep(rng.uniform(0.2, 6.0))
            os.kill(editor.proc.pid, signal.SIGKILL)
            editor.kill()
            changes.join(30)
            now = read_store(home)
            lost = [i for i in known if i not in now]
            if lost:
                raise Broken(f"kill {kill} lost the programs {lost}")
            known = now
            survived += 1
        count = open_every_program(binary, display, home, args.shots)
        left = leftovers(home)
    except (Broken, TimeoutError, RuntimeError) as failure:
        print(f"crash test failed after {survived} kills: {failure}")
        print(f"data kept in {home}, screenshots in {args.shots}")
        return 1
    finally:
        display.close()
    print(f"{survived} kills survived; {count} programs, each opened again; "
          f"files left by the kills: {left if left else 'none'}")
    shutil.rmtree(work, ignore_errors=True)
    shutil.rmtree(args.shots, ignore_errors=True)
    return 1 if left else 0


if __name__ == "__main__":
    sys.exit(main())
