"""What answers a child's action: the drawer's sound switch, the number pad's keys and the
large tick shown when a program has reached the board."""
from . import icons
from .canvas import (ACCENT_DARK, CORAL_DARK, INK, INK_SOFT, LEAF, LEAF_DARK, MIST, GREY, WHITE,
                     Canvas)

SWITCH = 48  # a target for small hands on the drawer's band
KEY = 56  # the pad's keys: a finger tip, not a mouse pointer
TICK = 150


def sound_switch(on):
    """The speaker with its waves when sounds are on, crossed out when they are off."""
    d = SWITCH
    c = Canvas(d, d)
    r = d / 2
    c.circle(r, r + 2, r - 2, fill=ACCENT_DARK)
    c.circle(r, r - 1, r - 2.5, fill=WHITE)
    if on:
        icons.speaker(c, r + 1, r - 1, 30)
    else:
        x0 = r - 0.45 * 30
        c.rrect(x0, r - 1 - 5, x0 + 6.6, r - 1 + 5, 1.5, fill=INK_SOFT)
        c.poly([(x0 + 5.4, r - 6), (x0 + 14.4, r - 13.6), (x0 + 14.4, r + 11.6),
                (x0 + 5.4, r + 4)], fill=INK_SOFT)
        icons.cross(c, r + 9, r - 1, 10, 3.2, CORAL_DARK)
    return c.final()


def _key_face(fill, lip):
    c = Canvas(KEY, KEY)
    c.rrect(0, 3, KEY, KEY, fill=lip)
    c.rrect(0, 0, KEY, KEY - 3, fill=fill, outline=WHITE, width=2)
    return c


def pad_key():
    """A blank key: the editor writes the digit on it, so one image serves all eleven."""
    return _key_face(MIST, GREY).final()


def pad_delete():
    """Take the last character back: a key-shaped arrow pointing left with a cross in it."""
    c = _key_face(MIST, GREY)
    cy = (KEY - 3) / 2
    x0, x1 = 11, 45
    c.poly([(x0, cy), (x0 + 10, cy - 11), (x1, cy - 11), (x1, cy + 11), (x0 + 10, cy + 11)],
           fill=INK)
    icons.cross(c, 31, cy, 9, 2.8, WHITE)
    return c.final()


def pad_ok():
    c = _key_face(LEAF, LEAF_DARK)
    icons.check(c, KEY / 2, (KEY - 3) / 2, 30, 6, WHITE)
    return c.final()


def sent_tick():
    """The large tick over the sheet once a program has gone to the board."""
    c = Canvas(TICK, TICK)
    r = TICK / 2
    c.circle(r, r + 4, r - 4, fill=LEAF_DARK)
    c.circle(r, r, r - 4, fill=LEAF, outline=WHITE, width=5)
    icons.check(c, r, r, 80, 14, WHITE)
    return c.final()


def images():
    same = lambda make: (lambda lang: make())  # noqa: E731  no words on any of them
    return {
        "res/r_sound_on.png": same(lambda: sound_switch(True)),
        "res/r_sound_off.png": same(lambda: sound_switch(False)),
        "res/r_pad_key.png": same(pad_key),
        "res/r_pad_delete.png": same(pad_delete),
        "res/r_pad_ok.png": same(pad_ok),
        "res/r_sent.png": same(sent_tick),
    }
