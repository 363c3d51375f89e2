"""Every image of the editor that is not a card face: controls, panels, atlases, windows."""
import math

from . import icons
from .canvas import (ACCENT, ACCENT_DARK, ACCENT_PALE, CORAL, CORAL_DARK, GREY, INK, INK_SOFT,
                     LEAF, LEAF_DARK, MIST, PINK, PINK_DARK, RASPBERRY, COFFEE, VIOLET, WHITE,
                     Canvas, mix, with_alpha)

FIELD_NO = (60, 130)
FIELD = (204, 130)


def field_badge():
    w, h = FIELD_NO
    c = Canvas(w, h)
    c.rrect(4, 5, w + 12, h - 5, fill=ACCENT_PALE)
    c.rrect(4, 5, 14, h - 5, 5, fill=ACCENT, corners=(True, False, False, True))
    return c.final()


def field_head():
    w, h = FIELD
    c = Canvas(w, h)
    c.rrect(0, 5, w, h - 5, fill=ACCENT_PALE, corners=(False, True, True, False))
    # The dashed outline of the card that belongs here; its left edge is the joint.
    x0, y0, x1, y1 = 5, 7, 195, 123
    dash, gap = 8, 6
    for y in (y0, y1):
        x = x0 + 12
        while x < x1 - 12:
            c.line([(x, y), (min(x + dash, x1 - 12), y)], 2, with_alpha(ACCENT_DARK, 150))
            x += dash + gap
    for x in (x0, x1):
        y = y0 + 12
        while y < y1 - 12:
            c.line([(x, y), (x, min(y + dash, y1 - 12))], 2, with_alpha(ACCENT_DARK, 150))
            y += dash + gap
    for cx, cy, a0 in ((x0 + 12, y0 + 12, 180), (x1 - 12, y0 + 12, 270),
                       (x1 - 12, y1 - 12, 0), (x0 + 12, y1 - 12, 90)):
        c.line(c.arc_points(cx, cy, 12, 12, a0, a0 + 90, 10), 2, with_alpha(ACCENT_DARK, 150))
    icons.chevron(c, 100, 65, 22, 5, with_alpha(ACCENT, 150), up=False)
    return c.final()


def line_button(add):
    c = Canvas(36, 36)
    col, dark = (ACCENT, ACCENT_DARK) if add else (CORAL, CORAL_DARK)
    c.circle(18, 18, 16, fill=col, outline=WHITE, width=2.5)
    (icons.plus if add else icons.minus)(c, 18, 18, 15, 4.5, WHITE)
    return c.final()


def digit_atlas(chars, cell_w, cell_h, color, size, kind="en"):
    c = Canvas(cell_w * len(chars), cell_h)
    for i, ch in enumerate(chars):
        c.text(cell_w * (i + 0.5), cell_h * 0.54, ch, kind, size, color)
    return c.final()


def count_badge():
    c = Canvas(40, 28)
    c.rrect(1, 1, 39, 27, 12, fill=INK)
    return c.final()


def trash(lid_open):
    c = Canvas(64, 76)
    if lid_open:
        c.circle(32, 40, 31, fill=with_alpha(CORAL, 80))
        icons.trash_can(c, 32, 42, 58, WHITE, CORAL_DARK, lid_open=True)
    else:
        icons.trash_can(c, 32, 42, 58, ACCENT_PALE, INK_SOFT)
    return c.final()


def flip_button():
    c = Canvas(34, 34)
    c.circle(17, 17, 15, fill=with_alpha(WHITE, 230), outline=ACCENT_DARK, width=2)
    icons.flip_arrows(c, 17, 17, 9, 2.4, ACCENT_DARK)
    return c.final()


def entry_field():
    c = Canvas(50, 30)
    c.rrect(0.5, 0.5, 49.5, 29.5, 6, fill=WHITE, outline=ACCENT, width=2)
    return c.final()


def palette_arrow(up):
    w, h = 130, 30
    c = Canvas(w, h)
    if up:
        c.rrect(0, 0, w, h, fill=ACCENT, corners=(False, False, True, True))
        icons.chevron(c, w / 2, 17, 22, 4.5, WHITE, up=True)
    else:
        c.rrect(0, 0, w, h, fill=ACCENT, corners=(True, True, False, False))
        icons.chevron(c, w / 2, 14, 22, 4.5, WHITE, up=False)
    return c.final()


PLAYER = (150, 768)
PLAYER_PANEL = (192, 578)  # the panel's top and bottom, from the top of the column


def player_column():
    w, h = PLAYER
    c = Canvas(w, h)
    top, bottom = PLAYER_PANEL
    c.rrect(0, top, w, bottom, fill=ACCENT, corners=(True, False, False, True))
    c.rrect(8, top + 8, w, bottom - 8, fill=mix(ACCENT, WHITE, 0.28),
            corners=(True, False, False, True))
    return c.final()


def round_button(d, col, dark, glyph, words, lang):
    c = Canvas(d, d)
    r = d / 2
    c.circle(r, r + 2, r - 2, fill=dark)
    c.circle(r, r - 1, r - 3, fill=col, outline=WHITE, width=3)
    glyph(c, r, r - 0.18 * d)
    size = c.fit_size(words, lang, d * 0.72, d * 0.2, 0.17 * d)
    c.text(r, r + 0.24 * d, words, lang, size, WHITE)
    return c.final()


def play_button(lang):
    def triangle(c, x, y):
        s = 28
        c.poly([(x - 0.36 * s, y - 0.5 * s), (x + 0.52 * s, y), (x - 0.36 * s, y + 0.5 * s)],
               fill=WHITE)
    return round_button(110, LEAF, LEAF_DARK, triangle, "スタート" if lang == "ja" else "start",
                        lang)


def stop_button(lang):
    def square(c, x, y):
        c.rrect(x - 12, y - 12, x + 12, y + 12, 5, fill=WHITE)
    return round_button(100, CORAL, CORAL_DARK, square, "ストップ" if lang == "ja" else "stop",
                        lang)


def target_button(board, selected):
    w, h = 120, 90
    c = Canvas(w, h)
    draw = {"jam": icons.jam_jar, "latte": icons.latte_cup, "que": icons.board_chip}[board]
    colour = {"jam": RASPBERRY, "latte": COFFEE, "que": VIOLET}[board]
    if selected:
        c.rrect(0, 2, w, h, fill=mix(colour, INK, 0.3))
        c.rrect(0, 0, w, h - 3, fill=WHITE, outline=colour, width=5)
    else:
        c.rrect(0, 0, w, h, fill=MIST, outline=GREY, width=3)
    draw(c, w / 2, h / 2 - 1, 66, vivid=selected)
    return c.final()


def corner_plate():
    c = Canvas(110, 70)
    c.rrect(0, 0, 110, 70, fill=ACCENT, corners=(False, False, False, True))
    return c.final()


def corner_icon():
    c = Canvas(80, 50)
    c.rrect(2, 2, 78, 48, fill=WHITE)
    icons.gallery(c, 40, 25, 32, ACCENT)
    return c.final()


def settings_tab():
    c = Canvas(80, 56)
    c.rrect(0, 0, 80, 56, fill=ACCENT, corners=(True, False, False, False))
    return c.final()


def settings_button():
    c = Canvas(40, 40)
    icons.gear(c, 20, 20, 17, WHITE)
    return c.final()


def port_icon():
    c = Canvas(50, 50)
    c.circle(25, 25, 23, fill=WHITE)
    icons.plug(c, 25, 25, 34, ACCENT_DARK)
    return c.final()


def port_field():
    c = Canvas(380, 40)
    c.rrect(0, 1, 380, 40, fill=ACCENT_DARK)
    c.rrect(0, 0, 380, 38, fill=WHITE)
    return c.final()


def reload_icon():
    c = Canvas(40, 40)
    c.circle(20, 20, 18.5, fill=WHITE, outline=ACCENT_DARK, width=2.5)
    icons.reload_arrows(c, 20, 20, 10, 3, INK)
    return c.final()


def loading_spinner():
    """Eight dots 45 degrees apart, so each 45-degree turn lands every dot on another."""
    c = Canvas(80, 80)
    for i in range(8):
        a = math.radians(-90 + 45 * i)
        t = i / 7
        r = 5 + 4 * t
        c.circle(40 + 28 * math.cos(a), 40 + 28 * math.sin(a), r + 1.5,
                 fill=with_alpha(WHITE, int(90 + 165 * t)))
        c.circle(40 + 28 * math.cos(a), 40 + 28 * math.sin(a), r,
                 fill=with_alpha(ACCENT, int(110 + 145 * t)))
    return c.final()


def record_frame():
    """Frames the 300 by 300 thumbnail, which is drawn over the frame's open middle."""
    c = Canvas(332, 332)
    c.rrect(0, 4, 332, 332, 22, fill=CORAL_DARK)
    c.rrect(0, 0, 332, 328, 22, fill=CORAL)
    c.rrect(12, 12, 320, 320, 14, fill=WHITE)
    c.erase_rrect(16, 16, 316, 316)
    return c.final()


def new_record():
    c = Canvas(300, 300)
    c.rrect(0, 0, 300, 300, fill=WHITE)
    c.circle(150, 140, 62, fill=ACCENT)
    icons.plus(c, 150, 140, 60, 14, WHITE)
    for i in range(3):
        x = 96 + i * 40
        c.rrect(x, 226, x + 28, 244, 5, fill=[mix(x2, WHITE, 0.25) for x2 in
                                               ((255, 198, 64), CORAL, (168, 140, 240))][i])
    return c.final()


def title_entry():
    c = Canvas(300, 214)
    c.rrect(0, 0, 300, 214, fill=ACCENT_DARK)
    c.rrect(5, 5, 295, 209, 7, fill=WHITE)
    for y in (150, 180):
        c.line([(30, y), (270, y)], 1.5, ACCENT_PALE, caps=False)
    return c.final()


def pill_button(w, h, col, dark, glyph):
    c = Canvas(w, h)
    c.rrect(0, 4, w, h, fill=dark)
    c.rrect(0, 0, w, h - 4, fill=col, outline=WHITE, width=3)
    glyph(c, w / 2, (h - 4) / 2)
    return c.final()


def delete_records_button():
    return pill_button(150, 90, CORAL, CORAL_DARK,
                       lambda c, x, y: icons.trash_can(c, x, y + 2, 56, WHITE, CORAL_DARK))


def cancel_delete_button():
    return pill_button(150, 90, WHITE, GREY,
                       lambda c, x, y: icons.cross(c, x, y, 30, 8, INK_SOFT))


def alert_window():
    c = Canvas(620, 380)
    c.rrect(0, 6, 620, 380, 20, fill=PINK_DARK)
    c.rrect(0, 0, 620, 374, 20, fill=PINK)
    c.rrect(40, 24, 580, 236, fill=WHITE)
    return c.final()


def alert_ok():
    return pill_button(140, 84, LEAF, LEAF_DARK, lambda c, x, y: icons.check(c, x, y, 38, 9, WHITE))


def alert_cancel():
    return pill_button(140, 84, WHITE, GREY, lambda c, x, y: icons.cross(c, x, y, 28, 8, INK_SOFT))
