"""The contact sheet: every rendered image on a checkerboard, labelled with its path."""
from PIL import Image, ImageDraw, ImageFont

LABEL_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def _checker(w, h, step=12):
    img = Image.new("RGBA", (w, h), (214, 218, 224, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, h, step):
        for x in range((y // step) % 2 * step, w, 2 * step):
            d.rectangle([x, y, x + step - 1, y + step - 1], fill=(236, 238, 242, 255))
    return img


def contact_sheet(images, out_path, cell=(400, 300), columns=8):
    """Cards and controls at their pixel size (shrunk only when larger than a cell); backs are
    shown as they are stored, mirrored, with the flipped view beside the label."""
    font = ImageFont.truetype(LABEL_FONT, 13)
    items = sorted(images.items(), key=lambda kv: (kv[0].startswith("res_en"), kv[0]))
    rows = (len(items) + columns - 1) // columns
    cw, ch = cell
    sheet = Image.new("RGBA", (cw * columns, ch * rows), (255, 255, 255, 255))
    d = ImageDraw.Draw(sheet)
    for i, (path, img) in enumerate(items):
        x0, y0 = (i % columns) * cw, (i // columns) * ch
        area = (cw - 12, ch - 36)
        shown = img
        turned = "/jam/" in path or "/latte/" in path
        if turned:
            shown = img.transpose(Image.Transpose.FLIP_LEFT_RIGHT)
        if shown.width > area[0] or shown.height > area[1]:
            f = min(area[0] / shown.width, area[1] / shown.height)
            shown = shown.resize((max(1, int(shown.width * f)), max(1, int(shown.height * f))),
                                 Image.Resampling.LANCZOS)
        bg = _checker(shown.width, shown.height)
        bg.alpha_composite(shown)
        sheet.paste(bg, (x0 + (cw - shown.width) // 2, y0 + 6 + (area[1] - shown.height) // 2))
        label = path + ("  (turned over)" if turned else "")
        d.text((x0 + 6, y0 + ch - 26), label.replace("res/cards/", "cards/"), font=font,
               fill=(30, 40, 60, 255))
        d.text((x0 + 6, y0 + ch - 12), f"{img.width}x{img.height}px", font=font,
               fill=(120, 130, 150, 255))
    sheet.convert("RGB").save(out_path, format="PNG", compress_level=9)
