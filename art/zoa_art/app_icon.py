"""The program's icon: two picture cards on a tile of the accent blue, like two lines of a
program. One drawing at every size, laid out on a 128-unit grid and scaled."""
from . import icons
from .canvas import ACCENT, ACCENT_DARK, CORAL, LEAF, RADIUS, WHITE, Canvas

GRID = 128


def app_icon(pixels):
    """A square icon of the given pixel size (the canvas is in design units, two pixels each)."""
    c = Canvas(pixels / 2, pixels / 2)
    f = c.w / GRID

    def box(x0, y0, x1, y1, r, fill, outline=None, width=0):
        c.rrect(x0 * f, y0 * f, x1 * f, y1 * f, r * f, fill=fill, outline=outline,
                width=width * f)

    # The tile with the soft darker lip that every round control of the editor has.
    box(6, 8, 122, 124, RADIUS * 1.5, fill=ACCENT_DARK)
    box(6, 4, 122, 118, RADIUS * 1.5, fill=ACCENT)
    # Two cards, each white with its family colour as border: driving, then the light.
    for y0, edge in ((16, CORAL), (66, LEAF)):
        box(18, y0 + 3, 110, y0 + 47, 9, fill=ACCENT_DARK)
        box(18, y0, 110, y0 + 44, 9, fill=WHITE, outline=edge, width=4)
    icons.car(c, 46 * f, 38 * f, 30 * f)
    icons.direction_sign(c, 82 * f, 38 * f, 13 * f, "up")
    icons.bulb(c, 46 * f, 88 * f, 28 * f, True)
    icons.toggle(c, 82 * f, 88 * f, 30 * f, True)
    return c.final()


# Where the rendered sizes go, relative to Resources/; the install and the window take them.
ICON_FILES = {f"icon/tarnixworks-zoa-{px}.png": px for px in (256, 48)}
