"""Pictograms shared by the cards and the controls. Each draws centred on (cx, cy) at size s."""
import math

from PIL import ImageDraw

from .canvas import (CORAL, CORAL_DARK, COFFEE, GREY, INK, LEAF, LEAF_DARK, RASPBERRY, RED,
                     SUN, SUN_DARK, VIOLET, WHITE, K, Canvas, mix)


def _mx(pts, cx):
    return [(2 * cx - x, y) for x, y in pts]


def car(c, cx, cy, s):
    """The motor car seen from above, nose up, one wheel on each side."""
    for side in (-1, 1):
        x = cx + side * 0.34 * s
        c.rrect(x - 0.09 * s, cy - 0.12 * s, x + 0.09 * s, cy + 0.26 * s, 0.06 * s, fill=INK)
    c.rrect(cx - 0.3 * s, cy - 0.5 * s, cx + 0.3 * s, cy + 0.5 * s, 0.2 * s, fill=CORAL,
            outline=CORAL_DARK, width=0.05 * s)
    c.rrect(cx - 0.2 * s, cy - 0.3 * s, cx + 0.2 * s, cy - 0.06 * s, 0.07 * s,
            fill=(214, 242, 252), outline=CORAL_DARK, width=0.035 * s)
    for side in (-1, 1):
        c.circle(cx + side * 0.15 * s, cy - 0.41 * s, 0.055 * s, fill=SUN)
    c.circle(cx, cy + 0.28 * s, 0.07 * s, fill=CORAL_DARK)


def direction_sign(c, cx, cy, r, kind):
    """A round road sign with a white arrow; 'stop' is a red octagon with a bar."""
    w = 0.2 * r
    if kind == "stop":
        pts = [(cx + r * math.cos(math.radians(22.5 + 45 * i)),
                cy + r * math.sin(math.radians(22.5 + 45 * i))) for i in range(8)]
        c.poly(pts, fill=RED)
        inner = [(cx + (r - 0.1 * r) * math.cos(math.radians(22.5 + 45 * i)),
                  cy + (r - 0.1 * r) * math.sin(math.radians(22.5 + 45 * i))) for i in range(8)]
        c.line(inner + [inner[0]], 0.05 * r, WHITE, caps=False)
        c.rrect(cx - 0.55 * r, cy - 0.14 * r, cx + 0.55 * r, cy + 0.14 * r, 0.05 * r, fill=WHITE)
        return
    c.circle(cx, cy, r, fill=CORAL_DARK)
    mirror = kind.endswith("right")
    base = kind.replace("right", "left")
    if base == "up":
        pts = [(cx, cy + 0.58 * r), (cx, cy - 0.62 * r)]
    elif base == "down":
        pts = [(cx, cy - 0.58 * r), (cx, cy + 0.62 * r)]
    elif base == "turn_left":
        pts = [(cx + 0.3 * r, cy + 0.6 * r)] + c.arc_points(
            cx - 0.06 * r, cy + 0.02 * r, 0.36 * r, 0.36 * r, 0, -90, 16) + [
                (cx - 0.66 * r, cy - 0.34 * r)]
    elif base == "back_left":
        pts = [(cx + 0.3 * r, cy - 0.6 * r)] + c.arc_points(
            cx - 0.06 * r, cy - 0.02 * r, 0.36 * r, 0.36 * r, 0, 90, 16) + [
                (cx - 0.66 * r, cy + 0.34 * r)]
    elif base == "spin_left":
        pts = c.arc_points(cx, cy, 0.5 * r, 0.5 * r, 120, -150, 40)
    else:
        raise ValueError(kind)
    if mirror:
        pts = _mx(pts, cx)
    c.arrow(pts, w, WHITE, head=(0.36 if base == "spin_left" else 0.3) * r)


def alarm_clock(c, cx, cy, r):
    for side in (-1, 1):
        c.circle(cx + side * 0.62 * r, cy - 0.78 * r, 0.32 * r, fill=SUN_DARK)
        c.line([(cx + side * 0.55 * r, cy + 0.7 * r), (cx + side * 0.75 * r, cy + 1.0 * r)],
               0.14 * r, INK)
    c.circle(cx, cy, r, fill=WHITE, outline=INK, width=0.13 * r)
    for i in range(4):
        a = math.radians(90 * i)
        c.circle(cx + 0.7 * r * math.cos(a), cy + 0.7 * r * math.sin(a), 0.07 * r, fill=INK)
    c.line([(cx, cy), (cx, cy - 0.55 * r)], 0.11 * r, INK)
    c.line([(cx, cy), (cx + 0.4 * r, cy + 0.12 * r)], 0.11 * r, INK)
    c.circle(cx, cy, 0.1 * r, fill=SUN_DARK)


def speaker(c, cx, cy, s):
    x0 = cx - 0.45 * s
    c.rrect(x0, cy - 0.17 * s, x0 + 0.22 * s, cy + 0.17 * s, 0.05 * s, fill=INK)
    c.poly([(x0 + 0.18 * s, cy - 0.17 * s), (x0 + 0.48 * s, cy - 0.42 * s),
            (x0 + 0.48 * s, cy + 0.42 * s), (x0 + 0.18 * s, cy + 0.17 * s)], fill=INK)
    for i, rr in enumerate((0.2, 0.36, 0.52)):
        pts = c.arc_points(x0 + 0.5 * s, cy, rr * s, rr * s, -45, 45, 16)
        c.line(pts, 0.08 * s, SUN_DARK if i != 1 else CORAL)


def toggle(c, cx, cy, w, on):
    h = 0.56 * w
    c.rrect(cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2, h / 2,
            fill=LEAF if on else GREY, outline=LEAF_DARK if on else (160, 170, 184),
            width=0.06 * h)
    kx = cx + (w / 2 - h / 2) * (1 if on else -1)
    c.circle(kx, cy, h * 0.36, fill=WHITE)


def port_badge(c, cx, cy, r, digit):
    c.circle(cx, cy, r, fill=INK)
    c.text(cx, cy + 0.05 * r, digit, "en", 1.25 * r, WHITE)


def power_bars(c, x0, y1, w, h, level=0.9, n=5):
    gap = w * 0.06
    bw = (w - gap * (n - 1)) / n
    for i in range(n):
        bh = h * (0.3 + 0.7 * (i + 1) / n)
        x = x0 + i * (bw + gap)
        filled = (i + 1) / n <= level + 1e-6
        c.rrect(x, y1 - bh, x + bw, y1, bw * 0.3, fill=LEAF if filled else (202, 236, 206))


def bulb(c, cx, cy, s, on):
    gy = cy - 0.1 * s
    if on:
        for i in range(8):
            a = math.radians(-90 + 45 * i)
            if 60 < (45 * i) % 360 < 300 and i in (3, 4, 5):
                continue
            c.line([(cx + 0.42 * s * math.cos(a), gy + 0.42 * s * math.sin(a)),
                    (cx + 0.56 * s * math.cos(a), gy + 0.56 * s * math.sin(a))], 0.07 * s,
                   SUN_DARK)
    glass = SUN if on else (226, 230, 236)
    c.poly([(cx - 0.16 * s, gy + 0.18 * s), (cx + 0.16 * s, gy + 0.18 * s),
            (cx + 0.12 * s, gy + 0.36 * s), (cx - 0.12 * s, gy + 0.36 * s)], fill=glass)
    c.circle(cx, gy, 0.3 * s, fill=glass, outline=INK, width=0.05 * s)
    c.poly([(cx - 0.165 * s, gy + 0.2 * s), (cx + 0.165 * s, gy + 0.2 * s),
            (cx + 0.12 * s, gy + 0.33 * s), (cx - 0.12 * s, gy + 0.33 * s)], fill=glass)
    c.line([(cx - 0.17 * s, gy + 0.2 * s), (cx - 0.12 * s, gy + 0.34 * s)], 0.05 * s, INK)
    c.line([(cx + 0.17 * s, gy + 0.2 * s), (cx + 0.12 * s, gy + 0.34 * s)], 0.05 * s, INK)
    for i in range(3):
        y = gy + (0.38 + 0.08 * i) * s
        c.rrect(cx - 0.13 * s, y - 0.03 * s, cx + 0.13 * s, y + 0.03 * s, 0.03 * s, fill=INK)
    if on:
        c.circle(cx - 0.1 * s, gy - 0.1 * s, 0.07 * s, fill=WHITE)


def loop_ring(c, cx, cy, rx, ry, width, color):
    pts = c.arc_points(cx, cy, rx, ry, -58, 250, 64)
    c.arrow(pts, width, color, head=width * 2.4)


def infinity(c, cx, cy, s, width, color):
    a = s * 0.5
    pts = []
    for i in range(81):
        t = 0.25 + (2 * math.pi - 0.75) * i / 80
        d = 1 + math.sin(t) ** 2
        pts.append((cx + a * math.cos(t) / d, cy + a * 1.25 * math.sin(t) * math.cos(t) / d))
    c.arrow(pts, width, color, head=width * 2.3)


def return_arrow(c, cx, cy, s, width, color):
    """Back up to the start: along the bottom, then up."""
    pts = [(cx - 0.45 * s, cy + 0.32 * s)] + c.arc_points(
        cx + 0.08 * s, cy + 0.02 * s, 0.3 * s, 0.3 * s, 90, 0, 16) + [(cx + 0.38 * s,
                                                                       cy - 0.46 * s)]
    c.arrow(pts, width, color, head=width * 2.3)


def jam_jar(c, cx, cy, s, vivid=True):
    red = RASPBERRY if vivid else mix(RASPBERRY, GREY, 0.55)
    dark = mix(red, INK, 0.35)
    c.rrect(cx - 0.3 * s, cy - 0.28 * s, cx + 0.3 * s, cy + 0.48 * s, 0.14 * s, fill=red,
            outline=dark, width=0.04 * s)
    c.rrect(cx - 0.34 * s, cy - 0.48 * s, cx + 0.34 * s, cy - 0.26 * s, 0.06 * s,
            fill=WHITE, outline=dark, width=0.04 * s)
    cell = 0.68 * s / 8
    for i in range(8):
        x = cx - 0.34 * s + i * cell
        y = cy - 0.445 * s if i % 2 == 0 else cy - 0.37 * s
        c.rect(x, y, x + cell, y + 0.075 * s, fill=red)
    c.ellipse(cx, cy + 0.12 * s, 0.21 * s, 0.18 * s, fill=WHITE)
    heart(c, cx, cy + 0.12 * s, 0.24 * s, red)


def latte_cup(c, cx, cy, s, vivid=True):
    brown = COFFEE if vivid else mix(COFFEE, GREY, 0.55)
    foam = (246, 226, 200) if vivid else (236, 234, 232)
    c.ellipse(cx, cy + 0.4 * s, 0.48 * s, 0.1 * s, fill=WHITE, outline=brown, width=0.04 * s)
    c.circle(cx + 0.34 * s, cy + 0.02 * s, 0.15 * s, outline=brown, width=0.07 * s)
    c.poly([(cx - 0.36 * s, cy - 0.2 * s), (cx + 0.36 * s, cy - 0.2 * s),
            (cx + 0.26 * s, cy + 0.36 * s), (cx - 0.26 * s, cy + 0.36 * s)], fill=brown)
    c.poly([(cx - 0.31 * s, cy - 0.17 * s), (cx + 0.31 * s, cy - 0.17 * s),
            (cx + 0.23 * s, cy + 0.32 * s), (cx - 0.23 * s, cy + 0.32 * s)], fill=WHITE)
    c.ellipse(cx, cy - 0.2 * s, 0.36 * s, 0.1 * s, fill=brown)
    c.ellipse(cx, cy - 0.2 * s, 0.31 * s, 0.075 * s, fill=foam)
    heart(c, cx, cy - 0.2 * s, 0.12 * s, brown, squash=0.55)
    for i in (-1, 1):
        pts = [(cx + i * 0.1 * s + 0.04 * s * math.sin(t / 3), cy - 0.36 * s - t * 0.025 * s)
               for t in range(0, 9)]
        c.line(pts, 0.045 * s, mix(brown, WHITE, 0.4))


def board_chip(c, cx, cy, s, vivid=True):
    col = VIOLET if vivid else mix(VIOLET, GREY, 0.55)
    for i in range(4):
        y = cy - 0.27 * s + i * 0.18 * s
        c.line([(cx - 0.46 * s, y), (cx + 0.46 * s, y)], 0.06 * s, INK)
    c.rrect(cx - 0.34 * s, cy - 0.4 * s, cx + 0.34 * s, cy + 0.4 * s, 0.1 * s, fill=col)
    c.circle(cx - 0.18 * s, cy - 0.22 * s, 0.06 * s, fill=WHITE)


def heart(c, cx, cy, s, color, squash=1.0):
    pts = []
    for i in range(60):
        t = 2 * math.pi * i / 60
        x = 16 * math.sin(t) ** 3
        y = -(13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t))
        pts.append((cx + x / 34 * s, cy + (y + 2) / 34 * s * squash))
    c.poly(pts, fill=color)


def plus(c, cx, cy, s, width, color):
    c.line([(cx - s / 2, cy), (cx + s / 2, cy)], width, color)
    c.line([(cx, cy - s / 2), (cx, cy + s / 2)], width, color)


def minus(c, cx, cy, s, width, color):
    c.line([(cx - s / 2, cy), (cx + s / 2, cy)], width, color)


def check(c, cx, cy, s, width, color):
    c.line([(cx - 0.45 * s, cy + 0.02 * s), (cx - 0.12 * s, cy + 0.34 * s),
            (cx + 0.48 * s, cy - 0.32 * s)], width, color)


def cross(c, cx, cy, s, width, color):
    d = s / 2
    c.line([(cx - d, cy - d), (cx + d, cy + d)], width, color)
    c.line([(cx - d, cy + d), (cx + d, cy - d)], width, color)


def chevron(c, cx, cy, s, width, color, up=True):
    d = s / 2
    sign = -1 if up else 1
    c.line([(cx - d, cy - sign * d / 2), (cx, cy + sign * d / 2), (cx + d, cy - sign * d / 2)],
           width, color)


def trash_can(c, cx, cy, s, body, line, lid_open=False):
    top = cy - 0.22 * s
    c.poly([(cx - 0.32 * s, top), (cx + 0.32 * s, top), (cx + 0.25 * s, cy + 0.46 * s),
            (cx - 0.25 * s, cy + 0.46 * s)], fill=line)
    c.poly([(cx - 0.26 * s, top + 0.05 * s), (cx + 0.26 * s, top + 0.05 * s),
            (cx + 0.205 * s, cy + 0.41 * s), (cx - 0.205 * s, cy + 0.41 * s)], fill=body)
    for i in (-1, 0, 1):
        c.line([(cx + i * 0.12 * s, top + 0.15 * s), (cx + i * 0.1 * s, cy + 0.32 * s)],
               0.05 * s, line)
    lid = Canvas(s * 1.2, s * 0.5)
    lc = s * 0.6
    lid.rrect(lc - 0.4 * s, 0.22 * s, lc + 0.4 * s, 0.32 * s, 0.04 * s, fill=line)
    lid.rrect(lc - 0.12 * s, 0.12 * s, lc + 0.12 * s, 0.25 * s, 0.05 * s, outline=line,
              width=0.05 * s)
    img = lid.img
    if lid_open:
        img = img.rotate(24, resample=3, center=((lc + 0.4 * s) * K, 0.32 * K * s))
        c.img.alpha_composite(img, (int((cx - lc - 0.04 * s) * K),
                                    int((top - 0.42 * s) * K)))
    else:
        c.img.alpha_composite(img, (int((cx - lc) * K), int((top - 0.32 * s) * K)))


def gear(c, cx, cy, r, color):
    teeth = 8
    pts = []
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4) - math.pi / (teeth * 4)
        rr = r if (i % 4) in (1, 2) else r * 0.78
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    c.poly(pts, fill=color)
    c.circle(cx, cy, r * 0.8, fill=color)
    erase_circle(c, cx, cy, r * 0.34)


def erase_circle(c, cx, cy, r):
    ImageDraw.Draw(c.img).ellipse(c.box(cx - r, cy - r, cx + r, cy + r), fill=(0, 0, 0, 0))


def plug(c, cx, cy, s, color):
    """A cable with its plug, pointing up."""
    c.line([(cx, cy + 0.12 * s), (cx, cy + 0.28 * s)] +
           c.arc_points(cx + 0.14 * s, cy + 0.28 * s, 0.14 * s, 0.16 * s, 180, 90, 12) +
           [(cx + 0.45 * s, cy + 0.44 * s)], 0.1 * s, color)
    c.rrect(cx - 0.22 * s, cy - 0.2 * s, cx + 0.22 * s, cy + 0.16 * s, 0.08 * s, fill=color)
    for side in (-1, 1):
        c.rrect(cx + side * 0.12 * s - 0.045 * s, cy - 0.44 * s, cx + side * 0.12 * s + 0.045 * s,
                cy - 0.18 * s, 0.02 * s, fill=color)


def reload_arrows(c, cx, cy, r, width, color):
    c.arrow(c.arc_points(cx, cy, r, r, 200, 330, 24), width, color, head=width * 2.2)
    c.arrow(c.arc_points(cx, cy, r, r, 20, 150, 24), width, color, head=width * 2.2)


def gallery(c, cx, cy, s, color):
    """Saved programs: a little wall of pictures."""
    g = 0.1 * s
    t = (s - g) / 2
    for i in range(2):
        for j in range(2):
            x = cx - s / 2 + i * (t + g)
            y = cy - s / 2 + j * (t + g)
            c.rrect(x, y, x + t, y + t, 0.12 * s, fill=color)


def flip_arrows(c, cx, cy, r, width, color):
    c.arrow(c.arc_points(cx, cy, r, r * 0.62, 190, 340, 20), width, color, head=width * 2.1)
    c.arrow(c.arc_points(cx, cy, r, r * 0.62, 10, 160, 20), width, color, head=width * 2.1)
