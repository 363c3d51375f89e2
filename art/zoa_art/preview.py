"""A mock-up of the field screen assembled from the rendered files by the layout's own rules,
to judge the images together at their real sizes. Review aid only; the editor never reads it."""
import os

from PIL import Image

W, H = 1024, 768
S = 2  # pixels per design unit


def _load(resources, path):
    return Image.open(os.path.join(resources, path)).convert("RGBA")


class Screen:
    def __init__(self):
        self.img = Image.new("RGBA", (W * S, H * S), (255, 255, 255, 255))

    def put(self, im, x, y, anchor=(0.5, 0.5)):
        """Places an image with its anchor at design point (x, y), y measured upwards."""
        px = int(round(x * S - anchor[0] * im.width))
        py = int(round((H - y) * S - (1 - anchor[1]) * im.height))
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        layer.paste(im, (px, py))
        self.img.alpha_composite(layer)

    def fill(self, x, y, w, h, colour):
        self.put(Image.new("RGBA", (int(w * S), int(h * S)), colour + (255,)), x, y, (0, 0))


def atlas_text(atlas, text, cell_w, cell_h, first, scale=1.0):
    cw, ch = cell_w * S, cell_h * S
    out = Image.new("RGBA", (cw * len(text), ch), (0, 0, 0, 0))
    for i, c in enumerate(text):
        k = ord(c) - ord(first)
        out.paste(atlas.crop((k * cw, 0, (k + 1) * cw, ch)), (i * cw, 0))
    if scale != 1.0:
        out = out.resize((int(out.width * scale), int(out.height * scale)), Image.LANCZOS)
    return out


def _loader(resources, res):
    def load(p):
        # English variants where they exist, as the language lookup does.
        localised = p.replace("res/", res, 1)
        exists = os.path.exists(os.path.join(resources, localised))
        return _load(resources, localised if exists else p)
    return load


def field_screen(resources, res, out_path, drawer_open=False):
    accent = (105, 208, 238)
    s = Screen()
    load = _loader(resources, res)

    badge, head = load("res/r_field_no.png"), load("res/r_field.png")
    digits = load("res/r_field_num.png")
    bw, bh = badge.width / S, badge.height / S
    cards = ["res/cards/pap/r_pap_forward.png", "res/cards/full/r_wait_any.png",
             "res/cards/pap/r_pap_left1-2.png", "res/cards/full/r_loop_any_start.png",
             "res/cards/basic/r_led1.png"]
    for i in range(6):
        by = H - 50 - bh * (i + 0.5)
        bx = (W - 275) / 2 + 275 - 142
        s.put(badge, bx, by)
        hx = bx + bw / 2 + head.width / S / 2
        s.put(head, hx, by)
        s.put(atlas_text(digits, str(10 * (i + 1)), 9, 11, "0", 1.5), bx + bw / 2 - 5, by,
              (1, 0.5))
        add, delete = load("res/r_btn_add.png"), load("res/r_btn_delete.png")
        s.put(add, bx - bw / 2 - add.width / S / 2, by + bh / 2)
        s.put(delete, bx - bw / 2 - delete.width / S / 2, by)
        if i < len(cards):
            card = load(cards[i])
            s.put(card, hx - head.width / S / 2 + 5, by, (0, 0.5))
            if "wait" in cards[i]:
                big = atlas_text(load("res/r_input_num_jam_l.png"), "2", 24, 36, ".")
                f = min(50 / (big.width / S), 30 / (big.height / S))
                big = big.resize((int(big.width * f), int(big.height * f)), Image.LANCZOS)
                cx = hx - head.width / S / 2 + 5 + 95
                s.put(big, cx, by - 13)
                small = atlas_text(load("res/r_input_num_jam_s.png"), "2", 12, 18, ".")
                f = min(40 / (small.width / S), 13 / (small.height / S))
                small = small.resize((int(small.width * f), int(small.height * f)),
                                     Image.LANCZOS)
                s.put(small, cx - 30, by - 47)
    # Palette.
    s.fill(0, 0, 275, H, (255, 255, 255))
    view_top = H - 53 - 5
    y = view_top - 40
    num = load("res/r_card_num.png")
    white_digits = load("res/r_field_num_w.png")
    for i, path in enumerate(["res/cards/full/r_wait_any.png", "res/cards/full/r_beep.png",
                              "res/cards/pap/r_pap_forward.png", "res/cards/pap/r_pap_stop.png",
                              "res/cards/pap/r_pap_left1-2.png",
                              "res/cards/pap/r_pap_left1-1.png"]):
        card = load(path)
        ch = card.height / S
        cx, cy = 5 + 265 - 95 - 5, y - ch / 2
        s.put(card, cx, cy)
        bx = cx - 95 - num.width / S / 2
        s.put(num, bx, cy)
        s.put(atlas_text(white_digits, str([1, 0, 2, 0, 1, 0][i]), 9, 11, "0"),
              bx - num.width / S / 4, cy, (0, 0.5))
        y -= ch + 20
    s.fill(0, H - 53, 275, 53, accent)
    s.fill(0, 0, 275, 5, accent)
    s.fill(0, 0, 5, H, accent)
    up, down = load("res/menuup.png"), load("res/menudown.png")
    s.put(up, 137.5, H - up.height / S / 2 - 53 + 5)
    s.put(down, 137.5, down.height / S / 2)
    for t, name in enumerate(("basic", "paprika", "full")):
        tab = load(f"res/cards/r_{name}_{'on' if t == 0 else 'off'}.png")
        tw, th = tab.width / S, tab.height / S
        x = (tw / 2 + 5, 137.5, 275 - tw / 2 - 5)[t]
        s.put(tab, x, H - th / 2 - 5)
    # Drawer: closed, only its top 4 units and the settings tab show.
    dy = 0 if drawer_open else -92
    s.fill(275, dy, W - 275, 96, (255, 255, 255))
    s.fill(275, dy + 30, W - 275, 66, accent)
    port, field, reload = (load("res/r_port.png"), load("res/r_port_input.png"),
                           load("res/r_reload.png"))
    px = 280 + port.width / S / 2
    s.put(port, px, dy + 61)
    fx = px + port.width / S / 2 + 10 + field.width / S / 2
    s.put(field, fx, dy + 61)
    s.put(reload, fx + field.width / S / 2, dy + 61)
    tab = load("res/r_setting_back1.png")
    gear = load("res/r_setting.png")
    s.put(tab, W - tab.width / S / 2, dy + 96 + tab.height / S / 2)
    s.put(gear, W - gear.width / S / 2 - 10, dy + 96 + gear.height / S / 2 + 10)
    # Player column and corner button.
    column = load("res/r_player.png")
    s.put(column, W - column.width / S / 2, H / 2)
    for path, dx, dy in (("res/r_to_jam_on.png", 10, 120), ("res/r_play.png", 30, 0),
                         ("res/r_stop.png", 10, -120)):
        im = load(path)
        s.put(im, W - im.width / S / 2 - dx, H / 2 + dy)
    plate, icon = load("res/r_record_back.png"), load("res/r_record.png")
    s.put(plate, W - plate.width / S / 2, H - plate.height / S / 2)
    s.put(icon, W - icon.width / S / 2 - 10, H - icon.height / S / 2 - 10)
    s.fill(270, 0, 5, H, accent)
    s.fill(275, H - 5, W - 275, 5, accent)
    s.fill(W - 5, 0, 5, H, accent)
    s.fill(275, 0, W - 275, 5, accent)
    s.img.convert("RGB").save(out_path, format="PNG", compress_level=9)


def gallery_screen(resources, res, out_path):
    """The saved programs: the create-new item, a selected item, and the delete question."""
    s = Screen()
    load = _loader(resources, res)
    s.fill(0, 0, W, H, (105, 208, 238))
    beginning, frame = load("res/r_record_beginning.png"), load("res/r_record_selected.png")
    for n in range(3):
        x = W * 0.5 - 150 + 350 * (n - 1)
        if n == 2:
            s.put(frame, x + 150, 384)
        s.put(beginning, x + 150, 384)
    s.put(load("res/r_recode_clean.png"), W * 0.5 - 185, H * 0.5 + 250)
    s.put(load("res/r_recode_copy.png"), W * 0.5 - 50, H * 0.5 + 250)
    s.put(load("res/r_recode_share.png"), W * 0.5 + 50, H * 0.5 + 250)
    s.put(load("res/r_recode_clean_cancel.png"), W * 0.5 + 185, H * 0.5 + 250)
    s.put(load("res/r_save_entry_back.png"), W * 0.5 - 150 - 350 + 150, 107)
    s.put(load("res/alert_window_pink.png"), 512, 384)
    s.put(load("res/alert_window_ok.png"), 362, 284)
    s.put(load("res/alert_window_cancel.png"), 662, 284)
    s.img.convert("RGB").save(out_path, format="PNG", compress_level=9)
