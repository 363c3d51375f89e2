"""The share button of the gallery's delete mode: the chosen programs leave as pictures."""
from .canvas import LEAF, LEAF_DARK, WHITE
from .ui import pill_button

# Narrow enough for the delete-mode row, where the buttons stand 120 units apart: the 150-unit
# cancel button beside it leaves a gap of 5.
SHARE_SIZE = (80, 90)


def _picture_leaving(c, cx, cy):
    """A small picture (a hill under a sun) with an arrow rising out of it."""
    x0, y0, x1, y1 = cx - 24, cy - 4, cx + 24, cy + 26
    c.rrect(x0, y0, x1, y1, 6, fill=WHITE)
    c.rrect(x0 + 5, y0 + 5, x1 - 5, y1 - 5, 3, fill=LEAF_DARK)
    c.poly([(x0 + 5, y1 - 5), (cx - 6, cy + 8), (cx + 4, y1 - 5)], fill=WHITE)
    c.poly([(cx - 2, y1 - 5), (cx + 9, cy + 11), (x1 - 5, y1 - 5)], fill=WHITE)
    c.circle(x1 - 11, y0 + 11, 3.5, fill=WHITE)
    c.arrow([(cx - 8, cy - 3), (cx - 8, cy - 16), (cx - 2, cy - 28)], 5, WHITE, head=9)


def share_button():
    w, h = SHARE_SIZE
    return pill_button(w, h, LEAF, LEAF_DARK, _picture_leaving)
