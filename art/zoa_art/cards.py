"""Card faces: the front (palette picture, words through the language lookup) and the back that
shows the code the card sends to one target board, drawn mirrored left to right."""
from PIL import Image

from . import icons
from .canvas import (K, CONSOLE, CORAL, CORAL_DARK, GRAPE, GRAPE_DARK, INK, LEAF, LEAF_DARK, RASPBERRY,
                     COFFEE, SUN, SUN_DARK, WHITE, Canvas, mix)

CARD_W, CARD_H = 190, 116
BORDER = 4
FLIP_SPOT = (173, 99)  # the flip button sits in the card's lower right corner

FAMILY = {
    "time": (SUN, SUN_DARK),
    "motion": (CORAL, CORAL_DARK),
    "output": (LEAF, LEAF_DARK),
    "loop": (GRAPE, GRAPE_DARK),
}

# Palette picture name -> (family, pictogram, Japanese words, English words).
KINDS = {
    "r_wait_any": ("time", "wait", "びょう まつ", "wait"),
    "r_beep": ("time", "beep", "ブザー", "beep"),
    "r_pap_forward": ("motion", "up", "まえへ", "forward"),
    "r_pap_stop": ("motion", "stop", "とまる", "stop"),
    "r_pap_left1-2": ("motion", "turn_left", "ひだりへ", "turn left"),
    "r_pap_left1-1": ("motion", "spin_left", "ひだり まわり", "spin left"),
    "r_pap_right1-2": ("motion", "turn_right", "みぎへ", "turn right"),
    "r_pap_right1-1": ("motion", "spin_right", "みぎ まわり", "spin right"),
    "r_pap_back": ("motion", "down", "うしろへ", "back"),
    "r_pap_left1-3": ("motion", "back_left", "うしろ ひだり", "back left"),
    "r_pap_right1-3": ("motion", "back_right", "うしろ みぎ", "back right"),
    "r_out3_on": ("output", "on3", "3ばん オン", "3 on"),
    "r_out3_off": ("output", "off3", "3ばん オフ", "3 off"),
    "r_pap_left2-3": ("output", "pwm3", "3ばん パワー", "3 power"),
    "r_out4_on": ("output", "on4", "4ばん オン", "4 on"),
    "r_out4_off": ("output", "off4", "4ばん オフ", "4 off"),
    "r_pap_right2-1": ("output", "pwm4", "4ばん パワー", "4 power"),
    "r_led1": ("output", "led_on", "ライト つける", "light on"),
    "r_led0": ("output", "led_off", "ライト けす", "light off"),
    "r_loop_any_start": ("loop", "count", "かい くりかえす", "times"),
    "r_loop_any_end": ("loop", "count_end", "ここまで", "end repeat"),
    "r_loop_inf_start": ("loop", "forever", "ずっと くりかえす", "forever"),
    "r_loop_inf_end": ("loop", "forever_end", "ここまで", "end forever"),
}

TARGET_LOOK = {  # console text colour and board colour of each target's backs
    "jam": ((255, 214, 228), RASPBERRY),
    "latte": ((255, 232, 206), COFFEE),
}


def kind_name(palette_path):
    return palette_path.rsplit("/", 1)[1][:-4]


def number_box(c, cx, cy, w, h, edge):
    c.rrect(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, min(6, h / 2), fill=WHITE,
            outline=edge, width=1.5)


def _body(c, col, inner):
    c.rrect(0, 0, CARD_W, CARD_H, fill=col)
    c.rrect(BORDER, BORDER, CARD_W - BORDER, CARD_H - BORDER, 12 - BORDER, fill=inner)


def _flip_spot(c, col):
    x, y = FLIP_SPOT
    c.circle(x, y, 9.5, fill=mix(col, WHITE, 0.55))
    icons.flip_arrows(c, x, y, 5.6, 1.6, mix(col, INK, 0.25))


def _caption(c, words, lang, y=97, cx=88, max_w=144):
    size = c.fit_size(words, lang, max_w, 20, 17)
    c.text(cx, y, words, lang, size, INK)


def _rect_centre(rect):
    """A catalog rectangle (x, y from the card's centre, y up) as image centre and size."""
    x, y, w, h = rect
    return CARD_W / 2 + x, CARD_H / 2 - y, w, h


def _pictogram(c, pic, col, dark):
    cy = 46
    if pic in ("up", "down", "stop", "turn_left", "spin_left", "turn_right", "spin_right",
               "back_left", "back_right"):
        icons.car(c, 62, cy, 58)
        icons.direction_sign(c, 128, cy, 28, pic)
    elif pic == "beep":
        icons.speaker(c, 95, cy, 72)
    elif pic.startswith("on") or pic.startswith("off"):
        icons.port_badge(c, 58, cy, 22, pic[-1])
        icons.toggle(c, 128, cy, 62, pic.startswith("on"))
    elif pic.startswith("pwm"):
        icons.port_badge(c, 58, cy, 22, pic[-1])
        icons.power_bars(c, 98, cy + 26, 62, 52)
    elif pic in ("led_on", "led_off"):
        icons.bulb(c, 95, cy + 2, 78, pic == "led_on")
    elif pic == "forever":
        icons.infinity(c, 95, cy + 2, 100, 7, dark)
    elif pic == "count_end":
        icons.loop_ring(c, 62, cy, 26, 18, 4, mix(col, WHITE, 0.3))
        icons.return_arrow(c, 128, cy, 60, 7, dark)
    elif pic == "forever_end":
        icons.infinity(c, 62, cy, 56, 4, mix(col, WHITE, 0.3))
        icons.return_arrow(c, 128, cy, 60, 7, dark)
    else:
        raise ValueError(pic)


def front(name, lang, layout):
    """The palette picture. layout: the kind's number rectangles (the first two are shown here)."""
    family, pic, ja, en = KINDS[name]
    col, dark = FAMILY[family]
    words = ja if lang == "ja" else en
    c = Canvas(CARD_W, CARD_H)
    _body(c, col, WHITE)
    _flip_spot(c, col)
    if pic == "wait":
        _wait_front(c, col, dark, lang, layout)
    elif pic == "count":
        _count_front(c, col, dark, lang, layout)
    else:
        _pictogram(c, pic, col, dark)
        _caption(c, words, lang)
    return c.final()


def _wait_front(c, col, dark, lang, layout):
    big, small = _rect_centre(layout[0]), _rect_centre(layout[1])
    icons.alarm_clock(c, 38, 50, 20)
    c.text(126, 28, "まつ" if lang == "ja" else "wait", lang, 21, INK)
    number_box(c, *big, dark)
    unit = "びょう" if lang == "ja" else "sec"
    ux = big[0] + big[2] / 2 + 4
    c.text(ux, big[1], unit, lang, c.fit_size(unit, lang, 48, 18, 16), INK, anchor="lm")
    number_box(c, *small, dark)
    sx0, sx1 = small[0] - small[2] / 2, small[0] + small[2] / 2
    if lang == "ja":
        c.text(sx1 + 4, small[1], "びょう まつ", lang, 13, INK, anchor="lm")
    else:
        c.text(sx0 - 4, small[1], "wait", lang, 12, INK, anchor="rm")
        c.text(sx1 + 4, small[1], "sec", lang, 12, INK, anchor="lm")


def _count_front(c, col, dark, lang, layout):
    big, small = _rect_centre(layout[0]), _rect_centre(layout[1])
    icons.loop_ring(c, big[0], big[1], big[2] / 2 + 22, big[3] / 2 + 15, 6, dark)
    number_box(c, *big, dark)
    unit = "かい" if lang == "ja" else "times"
    c.text(163, big[1], unit, lang, c.fit_size(unit, lang, 32, 18, 16), INK)
    number_box(c, *small, dark)
    words = "かい くりかえす" if lang == "ja" else "times"
    x = small[0] + small[2] / 2 + 4
    c.text(x, small[1], words, lang, c.fit_size(words, lang, 160 - x, 14, 13), INK, anchor="lm")


def back(name, target, code, placeholder, layout):
    """The back as seen once the card has turned over, then mirrored for the file."""
    family = KINDS[name][0]
    col, dark = FAMILY[family]
    ink, board = TARGET_LOOK[target]
    c = Canvas(CARD_W, CARD_H)
    _body(c, col, CONSOLE)
    c.circle(19, 19, 10, fill=WHITE)
    if target == "jam":
        icons.jam_jar(c, 19, 19.5, 15)
    else:
        icons.latte_cup(c, 19, 20, 15)
    _flip_spot(c, col)
    _front_reminder(c, KINDS[name][1], col, dark)
    if placeholder and placeholder in code and len(layout) >= 3:
        _code_with_field(c, code, placeholder, layout[2], ink, board)
    else:
        _code_block(c, code, ink)
    return c.mirrored().final()


def _front_reminder(c, pic, col, dark):
    """A small copy of the front's pictogram, so both sides read as one card."""
    x0, y0, x1, y1 = 136, 8, 180, 32
    c.rrect(x0, y0, x1, y1, 8, fill=WHITE)
    big = Canvas(CARD_W, CARD_H)
    if pic == "wait":
        icons.alarm_clock(big, 95, 46, 30)
    elif pic == "count":
        icons.loop_ring(big, 95, 46, 50, 30, 8, dark)
    else:
        _pictogram(big, pic, col, dark)
    art = big.img.crop((22 * K, 4 * K, 168 * K, 88 * K))
    w = int((x1 - x0 - 4) * K)
    h = int(w * art.height / art.width)
    small = art.convert("RGBa").resize((w, h), Image.Resampling.BOX).convert("RGBA")
    c.img.alpha_composite(small, (int((x0 + 2) * K), int(((y0 + y1) / 2) * K - h / 2)))


def _code_block(c, code, ink):
    lines = code.split("\n")
    longest = max(lines, key=len)
    size = 26
    while size > 8:
        w, _ = c.text_size(longest, "code", size)
        if w <= 160 and len(lines) * size * 1.3 <= 70:
            break
        size -= 0.5
    lh = size * 1.3
    w, _ = c.text_size(longest, "code", size)
    x = CARD_W / 2 - w / 2
    y0 = 62 - lh * (len(lines) - 1) / 2
    for i, line in enumerate(lines):
        c.text(x, y0 + i * lh, line, "code", size, ink, anchor="lm")


def _code_with_field(c, code, placeholder, rect, ink, board):
    bx, by, bw, bh = _rect_centre((-rect[0], rect[1], rect[2], rect[3]))
    lines = code.split("\n")
    li = next(i for i, line in enumerate(lines) if placeholder in line)
    prefix, suffix = lines[li].split(placeholder, 1)
    left_room = bx - bw / 2 - 3 - 11
    right_x = bx + bw / 2 + 3
    size = 24
    while size > 8:
        pw, _ = c.text_size(prefix.rstrip(), "code", size)
        others = [line for i, line in enumerate(lines) if i != li]
        ow = max([c.text_size(o, "code", size)[0] for o in others] or [0])
        if pw <= left_room and ow <= 164:
            break
        size -= 0.5
    lh = size * 1.3
    pw, _ = c.text_size(prefix.rstrip(), "code", size)
    x0 = max(13, bx - bw / 2 - 3 - pw)
    number_box(c, bx, by, bw, bh, board)
    c.text(bx - bw / 2 - 3, by, prefix.rstrip(), "code", size, ink, anchor="rm")
    if suffix:
        sw, _ = c.text_size(suffix, "code", size)
        if right_x + sw <= CARD_W - 8:
            c.text(right_x, by, suffix, "code", size, ink, anchor="lm")
        else:
            # No room beside the field: the rest of the line continues on the next one.
            c.text(x0, by + lh, suffix, "code", size, ink, anchor="lm")
    for i, line in enumerate(lines):
        if i != li:
            c.text(x0, by + (i - li) * lh, line, "code", size, ink, anchor="lm")


def tab_image(label, lang, selected):
    w, h = 85, 42
    c = Canvas(w, h)
    if selected:
        c.rrect(0, 0, w, h, fill=WHITE, corners=(True, True, False, False))
        c.rrect(10, h - 8, w - 10, h - 4, 2, fill=mix((105, 208, 238), WHITE, 0.2))
        fill = INK
    else:
        c.rrect(0, 0, w, h, fill=(70, 172, 212), corners=(True, True, False, False))
        fill = WHITE
    size = c.fit_size(label, lang, w - 14, h - 16, 17)
    c.text(w / 2, h / 2 - 2, label, lang, size, fill)
    return c.final()
