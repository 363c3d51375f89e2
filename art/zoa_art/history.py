"""The field's undo and redo buttons and the gallery's copy button."""
from . import icons
from .canvas import ACCENT, ACCENT_DARK, GREY, MIST, SUN, SUN_DARK, WHITE, Canvas
from .ui import pill_button

HISTORY_BUTTON = 56  # two fit side by side in the player column, below the stop button


def _turn_arrow(c, cx, cy, s, width, color, back):
    """A hook-shaped arrow: over the top and down again, pointing left to undo, right to redo."""
    pts = c.arc_points(cx, cy + 0.1 * s, 0.22 * s, 0.19 * s, 30, -190, 28)
    if not back:
        pts = [(2 * cx - x, y) for x, y in pts]
    c.arrow(pts, width, color, head=width * 2.0)


def _history_button(back, enabled):
    d = HISTORY_BUTTON
    c = Canvas(d, d)
    r = d / 2
    col, dark, glyph = (ACCENT, ACCENT_DARK, WHITE) if enabled else (MIST, GREY, GREY)
    c.circle(r, r + 2, r - 2, fill=dark)
    c.circle(r, r - 1, r - 3, fill=col, outline=WHITE, width=3)
    _turn_arrow(c, r, r - 1, d, 4.5, glyph, back)
    return c.final()


def undo_button(enabled=True):
    return _history_button(True, enabled)


def redo_button(enabled=True):
    return _history_button(False, enabled)


def copy_records_button():
    """Two sheets, one over the other; as high as the delete-mode buttons and 80 wide, so that a
    gap stays on either side in the row of delete, copy, share and cancel."""
    def sheets(c, x, y):
        w, h = 26, 32
        c.rrect(x - w / 2 - 5, y - h / 2 - 5, x + w / 2 - 5, y + h / 2 - 5, 5, fill=WHITE,
                outline=SUN_DARK, width=3)
        c.rrect(x - w / 2 + 5, y - h / 2 + 5, x + w / 2 + 5, y + h / 2 + 5, 5, fill=WHITE,
                outline=SUN_DARK, width=3)
        icons.plus(c, x + 5, y + 5, 14, 4, SUN_DARK)
    return pill_button(80, 90, SUN, SUN_DARK, sheets)

