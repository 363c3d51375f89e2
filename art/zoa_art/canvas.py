"""Drawing surface in design units, supersampled, with the product's palette and fonts.

An image of w x h design units is written as 2w x 2h pixels (the editor's content scale is 2).
Shapes are drawn at SS times that and reduced with a box filter on premultiplied alpha, which
gives clean anti-aliased edges and the same bytes on every run.
"""
import math

from PIL import Image, ImageDraw, ImageFont

CONTENT_SCALE = 2
SS = 4
K = CONTENT_SCALE * SS  # working pixels per design unit

RADIUS = 12  # the one corner radius of every panel, card and button

# The palette: the accent blue and its family, one ink, and one colour per card family.
ACCENT = (105, 208, 238)
ACCENT_DARK = (40, 150, 196)
ACCENT_PALE = (226, 245, 251)
INK = (36, 52, 84)
INK_SOFT = (120, 134, 158)
WHITE = (255, 255, 255)
MIST = (238, 243, 247)
CORAL = (255, 138, 101)  # motion
CORAL_DARK = (222, 96, 64)
SUN = (255, 198, 64)  # time and sound
SUN_DARK = (222, 152, 20)
LEAF = (108, 204, 120)  # outputs
LEAF_DARK = (62, 156, 84)
GRAPE = (168, 140, 240)  # loops
GRAPE_DARK = (120, 92, 204)
PINK = (255, 182, 200)  # the alert window
PINK_DARK = (236, 118, 150)
RED = (234, 76, 76)
GREY = (204, 212, 222)
CONSOLE = (30, 40, 62)
RASPBERRY = (226, 74, 116)  # the jam board
COFFEE = (170, 116, 78)  # the latte board
VIOLET = (140, 110, 220)  # the que board

FONT_FILES = {
    "ja": "/usr/share/fonts/truetype/motoya-l-maruberi/MTLmr3m.ttf",
    "en": "/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf",
    "code": "/usr/share/fonts/truetype/dotgothic16/DotGothic16-Regular.ttf",
}
# Motoya Maruberi has one weight: a thin stroke of its own colour makes it read as bold.
FONT_EMBOLDEN = {"ja": 0.045, "en": 0.0, "code": 0.0}

_font_cache = {}


def font(kind, size_units):
    px = max(1, int(round(size_units * K)))
    key = (kind, px)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(FONT_FILES[kind], px)
    return _font_cache[key]


def with_alpha(color, alpha):
    return (color[0], color[1], color[2], alpha)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (int(round(w * K)), int(round(h * K))), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.img, "RGBA")

    # --- coordinates -------------------------------------------------------------------------
    @staticmethod
    def p(x, y):
        return (x * K, y * K)

    @staticmethod
    def box(x0, y0, x1, y1):
        return [x0 * K, y0 * K, x1 * K - 1, y1 * K - 1]

    # --- shapes ------------------------------------------------------------------------------
    def rrect(self, x0, y0, x1, y1, r=RADIUS, fill=None, outline=None, width=0, corners=None):
        """corners: which of (top left, top right, bottom right, bottom left) are rounded."""
        r = max(0.0, min(r, (x1 - x0) / 2, (y1 - y0) / 2))
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=r * K, fill=fill,
                                    outline=outline, width=int(round(width * K)))
        if corners and fill is not None:
            squares = [(x0, y0, x0 + r, y0 + r), (x1 - r, y0, x1, y0 + r),
                       (x1 - r, y1 - r, x1, y1), (x0, y1 - r, x0 + r, y1)]
            for rounded, sq in zip(corners, squares):
                if not rounded:
                    self.rect(*sq, fill=fill)

    def rect(self, x0, y0, x1, y1, fill):
        self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill)

    def circle(self, cx, cy, r, fill=None, outline=None, width=0):
        self.draw.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill, outline=outline,
                          width=int(round(width * K)))

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=0):
        self.draw.ellipse(self.box(cx - rx, cy - ry, cx + rx, cy + ry), fill=fill,
                          outline=outline, width=int(round(width * K)))

    def poly(self, pts, fill):
        self.draw.polygon([self.p(x, y) for x, y in pts], fill=fill)

    def line(self, pts, width, fill, caps=True):
        self.draw.line([self.p(x, y) for x, y in pts], fill=fill, width=int(round(width * K)),
                       joint="curve")
        if caps:
            for x, y in (pts[0], pts[-1]):
                self.circle(x, y, width / 2, fill=fill)
        # Round the inner joints too: wide polylines otherwise show notches at sharp turns.
        for x, y in pts[1:-1]:
            self.circle(x, y, width / 2, fill=fill)

    def arrow(self, pts, width, fill, head=None):
        """A thick polyline ending in a triangular head at its last point. The shaft is cut
        back along the path, so curved arrows keep a clean head aimed along the curve."""
        head = head or width * 2.2
        tip = pts[-1]
        reach, walked, i = head * 0.8, 0.0, len(pts) - 1
        base = pts[0]
        while i > 0:
            (ax, ay), (bx, by) = pts[i - 1], pts[i]
            seg = math.hypot(bx - ax, by - ay)
            if walked + seg >= reach:
                t = (reach - walked) / seg if seg else 0
                base = (bx + (ax - bx) * t, by + (ay - by) * t)
                break
            walked += seg
            i -= 1
        self.line(pts[:i] + [base], width, fill)
        d = math.hypot(tip[0] - base[0], tip[1] - base[1])
        ux, uy = (tip[0] - base[0]) / d, (tip[1] - base[1]) / d
        back = (tip[0] - ux * head * 0.9, tip[1] - uy * head * 0.9)
        point = (tip[0] + ux * head * 0.1, tip[1] + uy * head * 0.1)
        half = head * 0.95
        self.poly([point, (back[0] - uy * half, back[1] + ux * half),
                   (back[0] + uy * half, back[1] - ux * half)], fill)

    @staticmethod
    def arc_points(cx, cy, rx, ry, a0, a1, steps=48):
        """Points on an ellipse from angle a0 to a1 (degrees, clockwise on screen)."""
        pts = []
        for i in range(steps + 1):
            a = math.radians(a0 + (a1 - a0) * i / steps)
            pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
        return pts

    def erase_rrect(self, x0, y0, x1, y1, r=RADIUS):
        """Cuts a transparent hole."""
        ImageDraw.Draw(self.img).rounded_rectangle(self.box(x0, y0, x1, y1), radius=r * K,
                                                   fill=(0, 0, 0, 0))

    # --- text --------------------------------------------------------------------------------
    def text_size(self, s, kind, size):
        f = font(kind, size)
        sw = int(round(size * K * FONT_EMBOLDEN[kind]))
        l, t, r, b = self.draw.textbbox((0, 0), s, font=f, anchor="ls", stroke_width=sw)
        return (r - l) / K, (b - t) / K

    def text(self, x, y, s, kind, size, fill, anchor="mm"):
        f = font(kind, size)
        sw = int(round(size * K * FONT_EMBOLDEN[kind]))
        self.draw.text(self.p(x, y), s, font=f, fill=fill, anchor=anchor, stroke_width=sw,
                       stroke_fill=fill)

    def fit_size(self, s, kind, max_w, max_h, largest):
        """The largest size up to `largest` at which s fits in max_w by max_h."""
        size = largest
        while size > 4:
            w, h = self.text_size(s, kind, size)
            if w <= max_w and h <= max_h:
                return size
            size -= 0.5
        return size

    # --- composition -------------------------------------------------------------------------
    def paste(self, other, x, y):
        self.img.alpha_composite(other.img, (int(round(x * K)), int(round(y * K))))

    def mirrored(self):
        self.img = self.img.transpose(Image.Transpose.FLIP_LEFT_RIGHT)
        self.draw = ImageDraw.Draw(self.img, "RGBA")
        return self

    def final(self):
        size = (int(round(self.w * CONTENT_SCALE)), int(round(self.h * CONTENT_SCALE)))
        return self.img.convert("RGBa").resize(size, Image.Resampling.BOX).convert("RGBA")
