"""Where things are on the editor's 1024 by 768 window, in window pixels (top left origin),
and how to tell the screens apart."""

# Gallery: the create-new item sits in the middle; saved programs follow, 350 apart.
def gallery_thumbnail(n):
    return (512 + 350 * n, 384)


def gallery_title(n):
    return (512 + 350 * n, 571)


DELETE_BUTTON = (327, 132)
COPY_BUTTON = (462, 132)
SHARE_BUTTON = (562, 132)
ALERT_OK = (362, 483)
NAME_BOX = (720, 540, 285, 70)  # the box a program's new name is typed in, right of the middle

# Field: palette tabs, the palette's scroll arrow, palette cards from the top of a tab.
TABS = {"basic": (47, 24), "paprika": (137, 24), "full": (227, 24)}
PALETTE_DOWN = (137, 752)
LED_ON_SCROLLED = (163, 666)  # the paprika tab's "light on" after one press of the arrow


def palette_card(row):
    return (163, 150 + 136 * row)


def line_head(k):
    """The head of program line k (1 based) while the sheet is scrolled to its top."""
    return (637, 115 + 130 * (k - 1))


def number_field(k):
    return (636, 257 + 130 * (k - 2))


def flip_button(k):
    return (715, 155 + 130 * (k - 1))


SETTINGS = (994, 735)
PORT_FIELD = (520, 704)
PLAY = (939, 384)
TARGET = (954, 264)
TARGET_CHOICES = {"latte": (813, 163), "jam": (954, 163)}
TO_GALLERY = (974, 35)
TRASH = (942, 108)
UNDO, REDO = (912, 584), (976, 584)  # below the stop button
INSERT_FIRST_LINE = (459, 49)  # the "+" above line 10
SIMULATOR_ROW = (430, 577)  # the port list's last row, above the wireless one
PALETTE = (5, 60, 265, 650)  # below the tabs: x, y, width, height
BOARD_ROW = (430, 659)  # the port list's first row: the virtual board
PAD = {"2": (605, 476), "ok": (733, 476)}  # the number pad under line 20's wait card
SENT_MARK = (735, 270, 60, 120)  # the blank right of the tick panel over the sheet
QUIET_SPOT = (800, 650)  # beside the sheet's lines: a tap there changes nothing
SHEET = (440, 50, 305, 390)  # lines 10 to 30 with their cards: x, y, width, height

# The sheet's coordinates of line heads as the program file stores them.
FIRST_HEAD_Y = 5514
LINE_STEP = 130


def line_of(card):
    offset = FIRST_HEAD_Y - card["y"]
    return offset // LINE_STEP + 1 if offset % LINE_STEP == 0 else None
