#!/usr/bin/python3
"""Renders every image of the editor into Resources/ and writes the contact sheet.

Usage: render.py CATALOG_JSON RESOURCES_DIR SHEET_PNG
CATALOG_JSON is what zoa_catalog_export prints: the card kinds with their image paths and the
code each sends per target, so the card backs always show the real code.
"""
import json
import os
import sys

from zoa_art import app_icon, cards, feedback, history, preview, share, sheet, stage, ui

JA, EN = "ja", "en"

# Images that go through the language lookup carry words and get an English variant.
TAB_WORDS = {
    "basic": ("きほん", "basic"),
    "paprika": ("パプリカ", "paprika"),
    "full": ("フル", "full"),
}


def fixed_images():
    """Path -> function(lang) for every image the code names outside the catalog."""
    same = lambda make: (lambda lang: make())  # noqa: E731  one picture for both languages
    dark_digits = lambda: ui.digit_atlas("0123456789", 9, 11, ui.INK, 13)  # noqa: E731
    white_digits = lambda: ui.digit_atlas("0123456789", 9, 11, ui.WHITE, 13)  # noqa: E731
    return {
        "res/r_field_no.png": same(ui.field_badge),
        "res/r_field.png": same(ui.field_head),
        "res/r_field_num.png": same(dark_digits),
        "res/r_field_num_w.png": same(white_digits),
        "res/r_btn_add.png": same(lambda: ui.line_button(True)),
        "res/r_btn_delete.png": same(lambda: ui.line_button(False)),
        "res/r_card_num.png": same(ui.count_badge),
        "res/r_card_clean.png": same(lambda: ui.trash(False)),
        "res/r_card_clean_on.png": same(lambda: ui.trash(True)),
        "res/r_card_flick.png": same(ui.flip_button),
        "res/r_empty.png": same(ui.entry_field),
        "res/menuup.png": same(lambda: ui.palette_arrow(True)),
        "res/menudown.png": same(lambda: ui.palette_arrow(False)),
        "res/r_input_num_jam_s.png": same(
            lambda: ui.digit_atlas("./0123456789", 12, 18, ui.INK, 17)),
        "res/r_player.png": same(ui.player_column),
        "res/r_play.png": ui.play_button,
        "res/r_stop.png": ui.stop_button,
        "res/r_record_back.png": same(ui.corner_plate),
        "res/r_record.png": same(ui.corner_icon),
        "res/r_setting_back1.png": same(ui.settings_tab),
        "res/r_setting.png": same(ui.settings_button),
        "res/r_port.png": same(ui.port_icon),
        "res/r_port_input.png": same(ui.port_field),
        "res/r_reload.png": same(ui.reload_icon),
        "res/r_loading.png": same(ui.loading_spinner),
        "res/r_record_selected.png": same(ui.record_frame),
        "res/r_record_beginning.png": same(ui.new_record),
        "res/r_save_entry_back.png": same(ui.title_entry),
        "res/r_recode_clean.png": same(ui.delete_records_button),
        "res/r_recode_clean_cancel.png": same(ui.cancel_delete_button),
        "res/r_recode_copy.png": same(history.copy_records_button),
        "res/r_undo.png": same(history.undo_button),
        "res/r_undo_off.png": same(lambda: history.undo_button(False)),
        "res/r_redo.png": same(history.redo_button),
        "res/r_redo_off.png": same(lambda: history.redo_button(False)),
        "res/r_recode_share.png": same(share.share_button),
        "res/alert_window_pink.png": same(ui.alert_window),
        "res/alert_window_ok.png": same(ui.alert_ok),
        "res/alert_window_cancel.png": same(ui.alert_cancel),
        **stage.images(),
        **feedback.images(),
    }


LANGUAGE_IMAGES = {"res/r_play.png", "res/r_stop.png"}

NUMBER_COLOURS = {"jam": ui.INK, "latte": (118, 72, 40)}


def catalog_images(catalog):
    """(path, lang or None, image) for every image the catalog names."""
    out = []
    for kind in catalog["kinds"]:
        name = cards.kind_name(kind["palette"])
        jam, latte = kind["targets"][0], kind["targets"][1]
        for lang in (JA, EN):
            out.append((kind["palette"], lang, cards.front(name, lang, jam["layout"])))
        for target, entry in (("jam", jam), ("latte", latte)):
            out.append((entry["image"], None,
                        cards.back(name, target, entry["code"], entry["placeholder"],
                                   entry["layout"])))
    for selected, not_selected in catalog["tabImages"]:
        ja, en = TAB_WORDS[selected.rsplit("/r_", 1)[1].split("_")[0]]
        for lang, word in ((JA, ja), (EN, en)):
            out.append((selected, lang, cards.tab_image(word, lang, True)))
            out.append((not_selected, lang, cards.tab_image(word, lang, False)))
    for i, (on, off) in enumerate(catalog["targetImages"]):
        board = ("jam", "latte", "que")[i]
        out.append((on, None, ui.target_button(board, True)))
        out.append((off, None, ui.target_button(board, False)))
    seen = set()
    for kind in catalog["kinds"]:
        for i, entry in enumerate(kind["targets"]):
            path = entry["numberImage"]
            if path not in seen:
                seen.add(path)
                board = "jam" if path.endswith("_jam_l.png") else "latte"
                out.append((path, None, ui.digit_atlas("./0123456789", 24, 36,
                                                       NUMBER_COLOURS[board], 34)))
    return out


def render(catalog, resources):
    images = {}  # output path (relative to resources) -> image
    english = []
    for path, lang, img in catalog_images(catalog):
        if lang is None:
            images[path] = img
        elif lang == JA:
            images[path] = img
        else:
            images["res_en/" + path[4:]] = img
            if path not in english:
                english.append(path)
    for path, make in fixed_images().items():
        if path in images:
            continue
        images[path] = make(JA)
        if path in LANGUAGE_IMAGES:
            images["res_en/" + path[4:]] = make(EN)
            english.append(path)
    for path, pixels in app_icon.ICON_FILES.items():
        images[path] = app_icon.app_icon(pixels)

    for sub in ("res", "res_en", "icon"):
        for root, _, files in os.walk(os.path.join(resources, sub)):
            for f in files:
                rel = os.path.relpath(os.path.join(root, f), resources)
                if f.endswith(".png") and rel not in images:
                    os.remove(os.path.join(root, f))
    for path, img in sorted(images.items()):
        full = os.path.join(resources, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        img.save(full, format="PNG", compress_level=9)
    with open(os.path.join(resources, "file.csv"), "w", newline="\n") as f:
        f.write("".join(p + "\n" for p in english))
    return images


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as f:
        catalog = json.load(f)
    images = render(catalog, sys.argv[2])
    sheet.contact_sheet(images, sys.argv[3])
    # Mock-ups of the field screen in both languages, beside the sheet, for review.
    stem = os.path.splitext(sys.argv[3])[0]
    preview.field_screen(sys.argv[2], "res/", f"{stem}_field_{JA}.png")
    preview.field_screen(sys.argv[2], "res_en/", f"{stem}_field_{EN}.png", drawer_open=True)
    preview.gallery_screen(sys.argv[2], "res/", f"{stem}_gallery.png")
    print(f"{len(images)} images in {sys.argv[2]}, contact sheet {sys.argv[3]}, "
          f"mock-ups {stem}_field_{JA}.png, {stem}_field_{EN}.png, {stem}_gallery.png")


if __name__ == "__main__":
    main()
