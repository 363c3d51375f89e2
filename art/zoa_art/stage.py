"""The board on the screen: the simulator's port icon, the mat, the car, the board's lamps and
the stage's buttons, drawn in the language of the cards and controls."""
from . import icons
from .canvas import (ACCENT, ACCENT_DARK, ACCENT_PALE, CORAL_DARK, GREY, INK,
                     INK_SOFT, LEAF, LEAF_DARK, MIST, RED, SUN, SUN_DARK, WHITE, Canvas, mix,
                     with_alpha)

# The mat: 1200 mm a side shown on 255 units, so the car (100 mm between its wheels) is drawn
# at the same scale as the trail it leaves.
MAT = 255
MM = MAT / 1200.0
CAR = 38
SPEED_WORDS = ("0.25×", "1×", "4×")


def port_icon():
    """The simulator in the port list: a little screen with the car on it."""
    c = Canvas(30, 30)
    c.rrect(1, 2, 29, 24, 6, fill=ACCENT_DARK)
    c.rrect(3.5, 4.5, 26.5, 21.5, 4, fill=ACCENT_PALE)
    c.rrect(10, 24, 20, 28, 2, fill=ACCENT_DARK)
    icons.car(c, 15, 13, 14)
    return c.final()


def mat():
    """The mat seen from above: a pale board with a grid every 100 mm and the start mark."""
    c = Canvas(MAT, MAT)
    c.rrect(0, 0, MAT, MAT, 10, fill=(250, 252, 246), outline=mix(ACCENT, INK, 0.15), width=3)
    step = 100 * MM
    for i in range(1, 12):
        v = i * step
        col = with_alpha(ACCENT, 120 if i == 6 else 55)
        w = 1.4 if i == 6 else 0.9
        c.line([(v, 4), (v, MAT - 4)], w, col, caps=False)
        c.line([(4, v), (MAT - 4, v)], w, col, caps=False)
    c.circle(MAT / 2, MAT / 2, 14, outline=with_alpha(SUN_DARK, 160), width=2)
    return c.final()


def car():
    """The motor car as the driving cards draw it, its axle at the image's centre so that the
    sprite turns about the point the simulator moves."""
    c = Canvas(CAR, CAR)
    s = 100 * MM / 0.68  # the wheels stand 0.68 s apart in the card pictogram
    icons.car(c, CAR / 2, CAR / 2 - 0.07 * s, s)
    return c.final()


def trail_dot():
    c = Canvas(4, 4)
    c.circle(2, 2, 1.9, fill=with_alpha(CORAL_DARK, 230))
    return c.final()


def running_line():
    """The glow around the line whose cards run: the badge and the card's place, hollow."""
    w, h = 272, 138
    c = Canvas(w, h)
    c.rrect(1, 1, w - 1, h - 1, 16, outline=with_alpha(SUN, 110), width=7)
    c.rrect(4, 4, w - 4, h - 4, 13, outline=SUN_DARK, width=3.5)
    c.rrect(1, 1, 34, 34, 10, fill=SUN_DARK, corners=(True, False, True, False))
    c.poly([(11, 10), (25, 17.5), (11, 25)], fill=WHITE)
    return c.final()


def led(on):
    c = Canvas(30, 30)
    if on:
        c.circle(15, 15, 14.5, fill=with_alpha(RED, 70))
    c.circle(15, 16, 10, fill=mix(RED, INK, 0.45) if on else (150, 158, 172))
    c.circle(15, 15, 9, fill=RED if on else (214, 218, 226))
    c.circle(12, 12, 3, fill=with_alpha(WHITE, 210 if on else 160))
    return c.final()


def lamp(on):
    c = Canvas(40, 40)
    if on:
        c.circle(20, 17, 17, fill=with_alpha(SUN, 90))
    icons.bulb(c, 20, 22, 34, on)
    return c.final()


def speaker():
    c = Canvas(40, 40)
    c.circle(20, 20, 19, fill=WHITE, outline=mix(SUN, WHITE, 0.3), width=2)
    icons.speaker(c, 21, 20, 28)
    return c.final()


def sound_button(on):
    c = Canvas(40, 40)
    c.circle(20, 21.5, 17.5, fill=ACCENT_DARK)
    c.circle(20, 19.5, 17.5, fill=WHITE)
    if on:
        icons.speaker(c, 21, 19.5, 24)
    else:
        x0 = 20 - 0.45 * 24
        c.rrect(x0, 19.5 - 4, x0 + 5.3, 19.5 + 4, 1.2, fill=INK_SOFT)
        c.poly([(x0 + 4.3, 15.5), (x0 + 11.5, 9.5), (x0 + 11.5, 29.5), (x0 + 4.3, 23.5)],
               fill=INK_SOFT)
        icons.cross(c, 27, 19.5, 8, 2.6, CORAL_DARK)
    return c.final()


def reset_button():
    """Back to the middle: the start mark with the car's way home."""
    c = Canvas(44, 44)
    c.circle(22, 24, 20, fill=ACCENT_DARK)
    c.circle(22, 21.5, 20, fill=ACCENT, outline=WHITE, width=2.5)
    c.circle(22, 21.5, 9, outline=WHITE, width=2.6)
    c.circle(22, 21.5, 3.2, fill=WHITE)
    for dx, dy in ((0, -1), (0, 1), (-1, 0), (1, 0)):
        c.line([(22 + dx * 11, 21.5 + dy * 11), (22 + dx * 15, 21.5 + dy * 15)], 2.6, WHITE)
    return c.final()


def speed_button(index, selected):
    w, h = 62, 34
    c = Canvas(w, h)
    if selected:
        c.rrect(0, 2, w, h, 12, fill=LEAF_DARK)
        c.rrect(0, 0, w, h - 2, 12, fill=LEAF)
        ink = WHITE
    else:
        c.rrect(0, 0, w, h, 12, fill=MIST, outline=GREY, width=2)
        ink = INK
    words = SPEED_WORDS[index]
    size = c.fit_size(words, "en", w - 14, h - 12, 17)
    c.text(w / 2, h / 2 - (1 if selected else 0), words, "en", size, ink)
    return c.final()


def images():
    """Path -> function(lang) for the stage's images; none of them carries words."""
    same = lambda make: (lambda lang: make())  # noqa: E731
    out = {
        "res/r_sim_port.png": same(port_icon),
        "res/r_sim_mat.png": same(mat),
        "res/r_sim_car.png": same(car),
        "res/r_sim_trail.png": same(trail_dot),
        "res/r_sim_line.png": same(running_line),
        "res/r_sim_led.png": same(lambda: led(False)),
        "res/r_sim_led_on.png": same(lambda: led(True)),
        "res/r_sim_lamp.png": same(lambda: lamp(False)),
        "res/r_sim_lamp_on.png": same(lambda: lamp(True)),
        "res/r_sim_speaker.png": same(speaker),
        "res/r_sim_sound.png": same(lambda: sound_button(True)),
        "res/r_sim_mute.png": same(lambda: sound_button(False)),
        "res/r_sim_reset.png": same(reset_button),
    }
    for i in range(len(SPEED_WORDS)):
        out[f"res/r_sim_speed{i}.png"] = same(lambda i=i: speed_button(i, False))
        out[f"res/r_sim_speed{i}_on.png"] = same(lambda i=i: speed_button(i, True))
    return out
