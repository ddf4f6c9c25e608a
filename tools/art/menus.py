"""Menu, loading and placeholder screens (assets/sprites/): backgrounds in
4:3 (the menus stretch them to the window's shape, so nothing round sits
where stretching would show), option words and small pictures with
transparent backgrounds, legible at 800 x 600 and 1920 x 1080."""
import math
import os
import sys

import cairo

# The catalogs' reader is the translation tools' own.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "translations"))
import po  # noqa: E402
from cartoon import cloud, draw_plane, hills, outlined_text, sky  # noqa: E402
from imaging import canvas, rounded_rect, save_surface  # noqa: E402
from mascot_drawing import draw_mascot  # noqa: E402

BG = (1024, 768)
WORD = (560, 160)  # the options' drawn size is 0.35 x 0.1


def scenery(ctx, w, h):
    sky(ctx, w, h)
    for x, y, s in ((140, 250, 60), (870, 200, 70), (520, 120, 45), (300, 610, 50), (760, 560, 55)):
        cloud(ctx, x, y, s, alpha=0.9)
    hills(ctx, w, h, h - 120, 40, (0.5, 0.8, 0.4), phase=1.0)
    hills(ctx, w, h, h - 60, 25, (0.32, 0.66, 0.26), phase=2.5, waves=(0.01, 0.025))


def menu_background(path):
    w, h = BG
    surface, ctx = canvas(w, h)
    scenery(ctx, w, h)
    # The title across the top.
    g = cairo.LinearGradient(0, 40, 0, 150)
    g.add_color_stop_rgb(0, 1.0, 0.92, 0.3)
    g.add_color_stop_rgb(1, 1.0, 0.55, 0.1)
    outlined_text(ctx, "SKYSCUFFLE", w / 2, 95, 760, 120, fill=g, weight=0.14, family="DejaVu Sans")
    # Planes chasing around the panel.
    draw_plane(ctx, 150, 430, 190, "Blue", angle=-0.25)
    draw_plane(ctx, 880, 330, 170, "Red", angle=0.2)
    ctx.save()
    ctx.translate(900, 640)
    ctx.scale(-1, 1)
    draw_plane(ctx, 0, 0, 150, "Yellow", angle=0.15)
    ctx.restore()
    # A calm panel behind the options (x -0.42 .. 0.42, y -0.48 .. 0.5 at 4:3).
    rounded_rect(ctx, 345, 190, 334, 385, 28)
    ctx.set_source_rgba(0.06, 0.1, 0.25, 0.55)
    ctx.fill_preserve()
    ctx.set_source_rgba(1, 1, 1, 0.8)
    ctx.set_line_width(4)
    ctx.stroke()
    save_surface(surface, path)


OPTION_WORDS = (("optionQuickPlay", "QUICK PLAY"), ("optionOnline", "ONLINE"), ("optionSound", "SOUND"),
                ("optionReplays", "REPLAYS"), ("optionOptions", "OPTIONS"),
                ("optionCredits", "CREDITS"), ("optionExit", "EXIT"))
OPTION_FONT = "DejaVu Sans Condensed"


def option_size(words):
    """One glyph size for every option of a language, the largest at which
    its longest word (and its tallest, accents and tails included) fits: a
    menu whose words grow as they get shorter looks unkempt."""
    _, ctx = canvas(*WORD)
    ctx.select_font_face(OPTION_FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(100)
    widest = max(ctx.text_extents(w).width for w in words)
    tallest = max(ctx.text_extents(w).height for w in words)
    return min((WORD[0] - 36) / widest, (WORD[1] - 30) / tallest) * 100


def option(path, words, size):
    surface, ctx = canvas(*WORD)
    ctx.select_font_face(OPTION_FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(size)
    ext = ctx.text_extents(words)
    outlined_text(ctx, words, WORD[0] / 2, WORD[1] / 2, ext.width * 1.001 * size / size, ext.height * 1.001,
                  fill=(1, 1, 1), family=OPTION_FONT, weight=0.13)
    save_surface(surface, path)


def sound_picture(path, on, word=None):
    """A speaker and ON (green) or OFF (red, crossed speaker), 2:1. The word
    (ON or OFF unless given) fills the room right of the speaker, smaller
    the longer it is."""
    w, h = 256, 128
    surface, ctx = canvas(w, h)
    rounded_rect(ctx, 6, 10, w - 12, h - 20, 30)
    ctx.set_source_rgb(*((0.15, 0.65, 0.25) if on else (0.75, 0.15, 0.15)))
    ctx.fill_preserve()
    ctx.set_source_rgb(1, 1, 1)
    ctx.set_line_width(6)
    ctx.stroke()
    # Speaker.
    ctx.move_to(28, 50)
    ctx.line_to(46, 50)
    ctx.line_to(70, 30)
    ctx.line_to(70, 98)
    ctx.line_to(46, 78)
    ctx.line_to(28, 78)
    ctx.close_path()
    ctx.set_source_rgb(1, 1, 1)
    ctx.fill()
    ctx.set_line_width(7)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    if on:
        for r in (18, 32):
            ctx.arc(72, 64, r, -0.7, 0.7)
            ctx.stroke()
    else:
        ctx.move_to(82, 46)
        ctx.line_to(104, 82)
        ctx.move_to(104, 46)
        ctx.line_to(82, 82)
        ctx.stroke()
    outlined_text(ctx, word or ("ON" if on else "OFF"), 176, 64, 120, 62, fill=(1, 1, 1), family="DejaVu Sans",
                  weight=0.12, shadow=False)
    save_surface(surface, path)


def cursor(path):
    """A small yellow plane pointing at the selected option."""
    surface, ctx = canvas(128, 128)
    draw_plane(ctx, 62, 66, 112, "Yellow", colours=dict(base=(1.0, 0.85, 0.1), second=(1, 1, 1), pattern="stripes"),
               spin=True)
    save_surface(surface, path)


def powerup_cursor(path, on):
    surface, ctx = canvas(128, 128)
    rounded_rect(ctx, 8, 8, 112, 112, 24)
    ctx.set_source_rgb(*((0.2, 0.75, 0.3) if on else (0.55, 0.55, 0.6)))
    ctx.fill_preserve()
    ctx.set_source_rgb(0.1, 0.1, 0.16)
    ctx.set_line_width(6)
    ctx.stroke()
    ctx.set_source_rgb(1, 1, 1)
    ctx.set_line_width(14)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    if on:
        ctx.move_to(34, 66)
        ctx.line_to(56, 88)
        ctx.line_to(96, 40)
    else:
        ctx.move_to(40, 40)
        ctx.line_to(88, 88)
        ctx.move_to(88, 40)
        ctx.line_to(40, 88)
    ctx.stroke()
    save_surface(surface, path)


def loading_screen(path):
    w, h = BG
    surface, ctx = canvas(w, h)
    scenery(ctx, w, h)
    outlined_text(ctx, "GET READY!", w / 2, 110, 640, 110, fill=(1.0, 0.85, 0.2), family="DejaVu Sans")
    # A plane looping on a dotted trail.
    ctx.set_source_rgba(1, 1, 1, 0.9)
    for k in range(22):
        a = math.pi * 0.9 + k * 0.2
        ctx.arc(560 + math.cos(a) * 170, 360 + math.sin(a) * 110, 7 - k * 0.2, 0, 2 * math.pi)
        ctx.fill()
    draw_plane(ctx, 760, 330, 220, "Orange", angle=-0.5)
    # Dark plate behind the percentage and "Press Anything" (x -0.72 .. 0 at 4:3 and 16:9).
    rounded_rect(ctx, 196, 520, 368, 190, 26)
    ctx.set_source_rgba(0.06, 0.1, 0.25, 0.7)
    ctx.fill_preserve()
    ctx.set_source_rgba(1, 1, 1, 0.85)
    ctx.set_line_width(4)
    ctx.stroke()
    save_surface(surface, path)


def coming_soon(path):
    w, h = BG
    surface, ctx = canvas(w, h)
    scenery(ctx, w, h)
    for y0 in (250, 470):
        ctx.save()
        ctx.rectangle(0, y0, w, 46)
        ctx.clip()
        ctx.set_source_rgb(1.0, 0.85, 0.1)
        ctx.paint()
        ctx.set_source_rgb(0.1, 0.1, 0.12)
        for k in range(-2, 40):
            ctx.move_to(k * 60, y0 + 46)
            ctx.line_to(k * 60 + 46, y0)
            ctx.line_to(k * 60 + 76, y0)
            ctx.line_to(k * 60 + 30, y0 + 46)
            ctx.close_path()
        ctx.fill()
        ctx.restore()
    outlined_text(ctx, "COMING SOON", w / 2, 385, 820, 130, fill=(1, 1, 1), family="DejaVu Sans")
    outlined_text(ctx, "Press Enter to go back", w / 2, 600, 520, 50, fill=(1.0, 0.9, 0.4), family="DejaVu Sans",
                  weight=0.1)
    save_surface(surface, path)


def mascot_concept(path):
    """A concept sheet: the mascot on paper, front and side, with notes."""
    w, h = BG
    surface, ctx = canvas(w, h)
    ctx.set_source_rgb(0.97, 0.95, 0.88)
    ctx.paint()
    ctx.set_source_rgba(0.55, 0.7, 0.85, 0.35)
    ctx.set_line_width(1.5)
    for y in range(60, h, 32):
        ctx.move_to(0, y)
        ctx.line_to(w, y)
    ctx.stroke()
    draw_mascot(ctx, 300, 430, 1.0)
    draw_mascot(ctx, 760, 520, 0.68, waving=True)
    ctx.select_font_face("Comic Neue", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_source_rgb(0.15, 0.15, 0.3)
    ctx.set_font_size(46)
    ctx.move_to(40, 70)
    ctx.show_text("\"Scuff\" - mascot concept")
    ctx.set_font_size(26)
    for k, line in enumerate(["round and friendly", "flight goggles + red scarf", "flaps when idle!"]):
        ctx.move_to(620, 150 + k * 36)
        ctx.show_text(line)
    for k, colour in enumerate([(1.0, 0.7, 0.15), (1.0, 0.95, 0.8), (0.85, 0.15, 0.15), (0.45, 0.3, 0.2),
                                (0.45, 0.75, 0.95)]):
        rounded_rect(ctx, 620 + k * 64, 250, 52, 52, 10)
        ctx.set_source_rgb(*colour)
        ctx.fill_preserve()
        ctx.set_source_rgb(0.15, 0.15, 0.3)
        ctx.set_line_width(3)
        ctx.stroke()
    save_surface(surface, path)


def main_menu_words(folder, tr=lambda word: word):
    """The options' and the Sound pictures of one language into `folder`,
    with the words `tr` gives for the English ones."""
    words = [tr(english) for _, english in OPTION_WORDS]
    size = option_size(words)
    for (name, _), word in zip(OPTION_WORDS, words):
        option("%s/%s.png" % (folder, name), word, size)
    # The second word is what the picture shows: the sound state in force.
    for name, on in (("onon", True), ("offon", True), ("onoff", False), ("offoff", False)):
        sound_picture("%s/%s.png" % (folder, name), on, tr("ON" if on else "OFF"))


def build(sprites):
    main = sprites + "/menu/main"
    menu_background(main + "/menuBackground.png")
    main_menu_words(main)
    # Every language's own copies, main/<code>/<the same name>: the menu
    # takes them in that language and the English ones where there are none.
    for code in po.languages():
        os.makedirs("%s/%s" % (main, code), exist_ok=True)
        main_menu_words("%s/%s" % (main, code), po.translator(code))
    cursor(sprites + "/menu/Cursor.png")
    powerup_cursor(sprites + "/menu/gameplay/powerupCursorOn.png", True)
    powerup_cursor(sprites + "/menu/gameplay/powerupCursorOff.png", False)
    loading_screen(sprites + "/loadingScreen.png")
    coming_soon(sprites + "/ComingSoon.png")
    mascot_concept(sprites + "/mascot_concept.png")
