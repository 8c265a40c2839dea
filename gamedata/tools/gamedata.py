#!/usr/bin/python3
"""Generates the game's images, fonts, texts and sounds from the descriptions in gamedata/.

    gamedata.py sprites NAME.json OUT_DIR   sprite sheet: OUT_DIR/NAME.png and NAME.dat (SPRT chunk)
    gamedata.py font NAME.json OUT_DIR      bitmap font: OUT_DIR/NAME.png and NAME.dat (FONT chunk)
    gamedata.py texts NAME.json OUT_DIR     localised text set: OUT_DIR/NAME.dat (TEXT chunk)
    gamedata.py sound NAME.json OUT_DIR     one sound of a sound list: OUT_DIR/NAME.wav, 16-bit mono

The resource registry knows a file by its base name, so NAME is also the key the scripts use.
Adding a sprite, a glyph range, a text or a sound is an edit of a JSON file; shapes and sound
kinds are the functions registered below. The build splits each sound list (audio/*.json: a
"rate" and the "sounds") into one description per sound, with the list's rate in it.

Whatever is random in an asset comes from a generator seeded by the asset's own name, so the
bytes are the same from run to run and an edit of one asset changes no other."""

import json
import math
import os
import random
import struct
import sys
import wave
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFont

import chunkfile

# Empty pixels between packed sprites, so filtering never bleeds a neighbour in.
PADDING = 2


def seeded(name):
    """The random generator of the asset called name: the same numbers on every run."""
    return random.Random(zlib.crc32(name.encode("utf-8")))


def colour(text):
    """"#rrggbb" or "#rrggbbaa" as an RGBA tuple."""
    text = text.lstrip("#")
    values = [int(text[i:i + 2], 16) for i in range(0, len(text), 2)]
    return tuple(values + [255] * (4 - len(values)))


def darker(rgba, factor=0.6):
    return tuple(int(c * factor) for c in rgba[:3]) + (rgba[3],)


def lighter(rgba, amount=0.45):
    return tuple(int(c + (255 - c) * amount) for c in rgba[:3]) + (rgba[3],)


def premultiplied(image):
    """The engine blends with premultiplied alpha: each colour is scaled by its pixel's alpha."""
    alpha = image.getchannel("A")
    rgb = ImageChops.multiply(image.convert("RGB"), Image.merge("RGB", (alpha, alpha, alpha)))
    return Image.merge("RGBA", (*rgb.split(), alpha))


def draw_box(draw, box, spec):
    fill = colour(spec["fill"])
    outline = colour(spec["outline"]) if "outline" in spec else darker(fill)
    draw.rectangle(box, fill=fill, outline=outline, width=2)
    x0, y0, x1, y1 = box
    # Grain lines along the long side.
    for i in range(1, spec.get("grain", 0) + 1):
        if x1 - x0 >= y1 - y0:
            y = y0 + (y1 - y0) * i // (spec["grain"] + 1)
            draw.line((x0 + 3, y, x1 - 3, y), fill=darker(fill, 0.8), width=1)
        else:
            x = x0 + (x1 - x0) * i // (spec["grain"] + 1)
            draw.line((x, y0 + 3, x, y1 - 3), fill=darker(fill, 0.8), width=1)
    if spec.get("bevel"):
        draw.line((x0 + 2, y0 + 2, x1 - 2, y0 + 2), fill=lighter(fill, 0.3), width=2)
        draw.line((x0 + 2, y0 + 2, x0 + 2, y1 - 2), fill=lighter(fill, 0.3), width=2)
        draw.line((x0 + 2, y1 - 3, x1 - 2, y1 - 3), fill=darker(fill, 0.75), width=2)
    if spec.get("cross"):
        draw.line((x0 + 3, y0 + 3, x1 - 3, y1 - 3), fill=darker(fill, 0.7), width=2)
        draw.line((x0 + 3, y1 - 3, x1 - 3, y0 + 3), fill=darker(fill, 0.7), width=2)
    if spec.get("shine"):
        w, h = x1 - x0, y1 - y0
        draw.line((x0 + w * 0.25, y1 - h * 0.15, x0 + w * 0.75, y0 + h * 0.15), fill=(255, 255, 255, 200), width=2)
    if spec.get("bolts"):
        for bx, by in ((x0 + 4, y0 + 4), (x1 - 4, y0 + 4), (x0 + 4, y1 - 4), (x1 - 4, y1 - 4)):
            draw.ellipse((bx - 2, by - 2, bx + 2, by + 2), fill=darker(fill, 0.5))
    # Glowing spots at fixed, seeded places: coal beds.
    spots = spec.get("spots")
    if spots:
        state = seeded(spec["name"])
        for _ in range(spec.get("spotCount", 12)):
            cx, cy = state.uniform(x0 + 3, x1 - 3), state.uniform(y0 + 3, y1 - 3)
            r = state.uniform(1.5, 3.5)
            draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=colour(state.choice(spots)))


def draw_circle(draw, box, spec):
    fill = colour(spec["fill"])
    draw.ellipse(box, fill=fill, outline=darker(fill), width=2)
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    marks = spec.get("marks")
    mark = colour(spec.get("markColour", "#ffffff"))
    if marks == "band":
        draw.rectangle((x0 + w * 0.12, y0 + h * 0.42, x1 - w * 0.12, y0 + h * 0.58), fill=mark)
    elif marks == "dots":
        for fx, fy in ((0.5, 0.3), (0.3, 0.62), (0.7, 0.62)):
            r = w * 0.1
            draw.ellipse((x0 + w * fx - r, y0 + h * fy - r, x0 + w * fx + r, y0 + h * fy + r), fill=mark)
    elif marks == "ring":
        draw.ellipse((x0 + w * 0.25, y0 + h * 0.25, x1 - w * 0.25, y1 - h * 0.25), outline=mark, width=max(2, int(w / 10)))
    elif marks == "belly":
        draw.ellipse((x0 + w * 0.2, y0 + h * 0.45, x1 - w * 0.2, y1 - h * 0.06), fill=mark)
    if spec.get("highlight", True):
        # A highlight toward the top left.
        r = w / 7
        cx, cy = x0 + w * 0.32, y0 + h * 0.3
        draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=lighter(fill))


def draw_ring(draw, box, spec):
    draw.ellipse(box, outline=colour(spec["fill"]), width=spec.get("thickness", 2))


def draw_arc(draw, box, spec):
    """A mouth: the lower half of an ellipse."""
    x0, y0, x1, y1 = box
    draw.arc((x0 + 1, y0 - (y1 - y0), x1 - 1, y1 - 1), 10, 170, fill=colour(spec["fill"]), width=spec.get("thickness", 2))


def draw_line(draw, box, spec):
    x0, y0, x1, y1 = box
    draw.line((x0 + 1, (y0 + y1) / 2, x1 - 1, (y0 + y1) / 2), fill=colour(spec["fill"]), width=spec.get("thickness", 2))


def draw_polygon(draw, box, spec):
    """Points given as fractions of the sprite's box."""
    x0, y0, x1, y1 = box
    points = [(x0 + (x1 - x0) * px, y0 + (y1 - y0) * py) for px, py in spec["points"]]
    fill = colour(spec["fill"])
    draw.polygon(points, fill=fill, outline=colour(spec["outline"]) if "outline" in spec else darker(fill))


def draw_star(draw, box, spec):
    x0, y0, x1, y1 = box
    cx, cy, r = (x0 + x1) / 2, (y0 + y1) / 2 + 1, (x1 - x0) / 2 - 1
    points = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        radius = r if i % 2 == 0 else r * 0.45
        points.append((cx + radius * math.cos(a), cy + radius * math.sin(a)))
    fill = colour(spec["fill"])
    draw.polygon(points, fill=fill, outline=colour(spec.get("outline", "#00000080")))


def draw_launcher(draw, box, spec):
    """A stone pedestal, a coiled spring and a cup on top, where the orb rests."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    stone, metal, cup = colour(spec["fill"]), colour(spec["metal"]), colour(spec["cup"])
    draw.polygon([(x0 + 2, y1), (x1 - 2, y1), (x1 - w * 0.2, y0 + h * 0.62), (x0 + w * 0.2, y0 + h * 0.62)], fill=stone, outline=darker(stone))
    turns = 5
    top, bottom = y0 + h * 0.16, y0 + h * 0.62
    for i in range(turns * 2):
        ya = top + (bottom - top) * i / (turns * 2)
        yb = top + (bottom - top) * (i + 1) / (turns * 2)
        xa, xb = (x0 + w * 0.3, x1 - w * 0.3) if i % 2 == 0 else (x1 - w * 0.3, x0 + w * 0.3)
        draw.line((xa, ya, xb, yb), fill=metal, width=3)
    draw.chord((x0 + 1, y0 - h * 0.05, x1 - 1, y0 + h * 0.2), 0, 180, fill=cup, outline=darker(cup))


def draw_mountains(draw, box, spec):
    """Peaks along the bottom edge, the tiles meeting at the same height on both sides."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    fill = colour(spec["fill"])
    peaks = spec.get("peaks", [(0.0, 0.55), (0.2, 0.1), (0.38, 0.45), (0.55, 0.2), (0.75, 0.5), (0.88, 0.25), (1.0, 0.55)])
    points = [(x0, y1)] + [(x0 + w * px, y0 + h * py) for px, py in peaks] + [(x1, y1)]
    draw.polygon(points, fill=fill)
    if "cap" in spec:
        cap = colour(spec["cap"])
        for (ax, ay), (bx, by), (cx, cy) in zip(peaks, peaks[1:], peaks[2:]):
            if by < ay and by < cy:
                px, py = x0 + w * bx, y0 + h * by
                d = h * 0.12
                draw.polygon([(px, py), (px - d * 0.9, py + d), (px + d * 0.9, py + d)], fill=cap)


def draw_hills(draw, box, spec):
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    fill = colour(spec["fill"])
    for cx, r in ((0.0, 0.3), (0.35, 0.35), (0.7, 0.28), (1.0, 0.3)):
        draw.ellipse((x0 + w * (cx - r), y0 + h * 0.15 * (1 + cx % 0.5), x0 + w * (cx + r), y1 + h), fill=fill)
    draw.rectangle((x0, y1 - h * 0.25, x1, y1), fill=fill)


def draw_tufts(draw, box, spec):
    """A strip of ground edge with blades or bumps standing above it."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    fill = colour(spec["fill"])
    base = y0 + h * spec.get("base", 0.6)
    draw.rectangle((x0, base, x1, y1), fill=fill)
    state = seeded(spec["name"])
    step = spec.get("step", 8)
    for x in range(int(x0), int(x1), step):
        top = y0 + state.uniform(0, h * 0.4)
        draw.polygon([(x, base + 1), (x + step / 2, top), (x + step, base + 1)], fill=fill)
    draw.line((x0, y1 - 1, x1, y1 - 1), fill=darker(fill, 0.85))


def draw_cloud(draw, box, spec):
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    fill = colour(spec["fill"])
    for cx, cy, r in ((0.25, 0.62, 0.22), (0.45, 0.42, 0.3), (0.7, 0.55, 0.25), (0.5, 0.68, 0.28)):
        draw.ellipse((x0 + w * (cx - r), y0 + h * (cy - r * w / h * 0.5), x0 + w * (cx + r), y0 + h * (cy + r * w / h * 0.5)), fill=fill)


def draw_sun(draw, box, spec):
    x0, y0, x1, y1 = box
    cx, cy, r = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2
    fill = colour(spec["fill"])
    for i in range(12):
        a = i * math.pi / 6
        draw.polygon([(cx + r * 0.55 * math.cos(a - 0.15), cy + r * 0.55 * math.sin(a - 0.15)),
                      (cx + r * math.cos(a), cy + r * math.sin(a)),
                      (cx + r * 0.55 * math.cos(a + 0.15), cy + r * 0.55 * math.sin(a + 0.15))], fill=lighter(fill, 0.3))
    draw.ellipse((cx - r * 0.55, cy - r * 0.55, cx + r * 0.55, cy + r * 0.55), fill=fill)


def draw_flower(draw, box, spec):
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    draw.line(((x0 + x1) / 2, y0 + h * 0.4, (x0 + x1) / 2, y1), fill=colour("#3f7d2a"), width=2)
    cx, cy, r = (x0 + x1) / 2, y0 + h * 0.3, w * 0.22
    for i in range(5):
        a = i * 2 * math.pi / 5
        px, py = cx + r * math.cos(a), cy + r * math.sin(a)
        draw.ellipse((px - r, py - r, px + r, py + r), fill=colour(spec["fill"]))
    draw.ellipse((cx - r * 0.7, cy - r * 0.7, cx + r * 0.7, cy + r * 0.7), fill=colour("#f6d04d"))


SHAPES = {"box": draw_box, "circle": draw_circle, "ring": draw_ring, "arc": draw_arc, "line": draw_line,
          "polygon": draw_polygon, "star": draw_star, "launcher": draw_launcher, "mountains": draw_mountains,
          "hills": draw_hills, "tufts": draw_tufts, "cloud": draw_cloud, "sun": draw_sun, "flower": draw_flower}


def pack(sizes, max_width):
    """Shelf packing: positions for the sizes, and the sheet's size."""
    x = y = shelf = width = 0
    positions = []
    for w, h in sizes:
        if x > 0 and x + w + PADDING > max_width:
            x, y, shelf = 0, y + shelf + PADDING, 0
        positions.append((x, y))
        x += w + PADDING
        shelf = max(shelf, h)
        width = max(width, x)
    return positions, (width, y + shelf)


def save_sheet(out_dir, name, sheet, tag, body):
    """The sheet as NAME.png and its description as NAME.dat, one chunk of the tag."""
    premultiplied(sheet).save(os.path.join(out_dir, name + ".png"))
    chunkfile.save(os.path.join(out_dir, name + ".dat"), chunkfile.Writer().chunk(tag, chunkfile.versioned(body)))


def sprites(name, spec, out_dir):
    entries = spec["sprites"]
    positions, size = pack([(s["width"], s["height"]) for s in entries], spec.get("maxWidth", 512))
    sheet = Image.new("RGBA", size, (0, 0, 0, 0))
    body = chunkfile.Writer().utf(name + ".png").int16(len(entries))
    for s, (x, y) in zip(entries, positions):
        # Each sprite is drawn on its own canvas, so a shape that reaches past its box is cut there.
        canvas = Image.new("RGBA", (s["width"], s["height"]), (0, 0, 0, 0))
        SHAPES[s["shape"]](ImageDraw.Draw(canvas), (0, 0, s["width"] - 1, s["height"] - 1), s)
        sheet.paste(canvas, (x, y))
        pivot_x = s.get("pivotX", s["width"] // 2)
        pivot_y = s.get("pivotY", s["height"] // 2)
        body.utf(s["name"]).int16(x).int16(y).int16(s["width"]).int16(s["height"]).int16(pivot_x).int16(pivot_y)
    save_sheet(out_dir, name, sheet, "SPRT", body)


def font(name, spec, out_dir):
    face = ImageFont.truetype(spec["file"], spec["size"])
    ascent, descent = face.getmetrics()
    codes = [c for first, last in spec["ranges"] for c in range(first, last + 1)]
    cells = []
    for code in codes:
        advance = max(1, int(math.ceil(face.getlength(chr(code)))))
        cells.append((advance, ascent + descent))
    positions, size = pack(cells, spec.get("maxWidth", 512))
    coverage = Image.new("L", size, 0)
    draw = ImageDraw.Draw(coverage)
    body = chunkfile.Writer().utf(name + ".png").int16(spec.get("leading", 0)).int16(spec.get("tracking", 0)).int16(len(codes))
    for code, (w, h), (x, y) in zip(codes, cells, positions):
        draw.text((x, y), chr(code), font=face, fill=255)
        body.int16(code).int16(x).int16(y).int16(w).int16(h).int16(ascent)
    sheet = Image.new("RGBA", size, colour(spec.get("colour", "#ffffff")))
    sheet.putalpha(coverage)
    save_sheet(out_dir, name, sheet, "FONT", body)


def texts(name, spec, out_dir):
    languages = spec["languages"]
    keys = list(spec["texts"])
    inner = chunkfile.Writer()
    inner.chunk("LDAT", chunkfile.Writer().strings(languages))
    inner.chunk("LIDS", chunkfile.Writer().strings(keys))
    for language in languages:
        group = chunkfile.Writer()
        for key in keys:
            group.utf(spec["texts"][key].get(language, key))
        inner.chunk("TXGP", group)
    chunkfile.save(os.path.join(out_dir, name + ".dat"), chunkfile.Writer().chunk("TEXT", chunkfile.versioned(inner)))


def tone(t, s, state):
    """A sine sweeping from "from" to "to" hertz."""
    f = s["from"] + (s["to"] - s["from"]) * t / s["seconds"]
    return math.sin(2 * math.pi * f * t)


def noise(t, s, state):
    """White noise."""
    return state.uniform(-1.0, 1.0)


def notes(t, s, state):
    """A short tune: the "notes" in hertz one after another, each struck and fading, with a soft
    octave above it."""
    length = s["seconds"] / len(s["notes"])
    index = min(int(t / length), len(s["notes"]) - 1)
    local = t - index * length
    f = s["notes"][index]
    fade = (1.0 - local / length) ** 2
    return (math.sin(2 * math.pi * f * t) + 0.3 * math.sin(4 * math.pi * f * t)) / 1.3 * fade


def thud(t, s, state):
    """Noise under a falling low tone: a heavy knock."""
    return 0.7 * tone(t, s, state) + 0.3 * state.uniform(-1.0, 1.0)


SOUND_KINDS = {"tone": tone, "noise": noise, "notes": notes, "thud": thud}


def sound(name, s, out_dir):
    rate = s.get("rate", 22050)
    frames = int(rate * s["seconds"])
    attack = max(1, int(rate * s.get("attack", 0.005)))
    state = seeded(name)
    samples = bytearray()
    for i in range(frames):
        t = i / rate
        envelope = min(1.0, i / attack) * (1.0 - i / frames) ** s.get("decay", 1.0)
        value = SOUND_KINDS[s["kind"]](t, s, state) * envelope * s.get("volume", 0.5)
        samples += struct.pack("<h", int(max(-1.0, min(1.0, value)) * 32767))
    with wave.open(os.path.join(out_dir, name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(samples))


COMMANDS = {"sprites": sprites, "font": font, "texts": texts, "sound": sound}


def main(argv):
    if len(argv) != 4 or argv[1] not in COMMANDS:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[2], encoding="utf-8") as f:
        spec = json.load(f)
    os.makedirs(argv[3], exist_ok=True)
    name = os.path.splitext(os.path.basename(argv[2]))[0]
    COMMANDS[argv[1]](name, spec, argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
