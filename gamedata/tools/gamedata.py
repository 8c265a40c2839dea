#!/usr/bin/python3
"""Generates the game's images, fonts, texts and sounds from the descriptions in gamedata/.

    gamedata.py sprites NAME.json OUT_DIR   sprite sheet: OUT_DIR/NAME.png and NAME.dat (SPRT chunk)
    gamedata.py font NAME.json OUT_DIR      bitmap font: OUT_DIR/NAME.png and NAME.dat (FONT chunk)
    gamedata.py texts NAME.json OUT_DIR     localised text set: OUT_DIR/NAME.dat (TEXT chunk)
    gamedata.py sounds NAME.json OUT_DIR    one 16-bit mono WAV file per sound of the list

The resource registry knows a file by its base name, so NAME is also the key the scripts use.
Adding a sprite, a glyph range, a text or a sound is an edit of a JSON file; shapes and sound
kinds are the functions registered below."""

import json
import math
import os
import random
import struct
import sys
import wave

from PIL import Image, ImageChops, ImageDraw, ImageFont

import chunkfile

# Empty pixels between packed sprites, so filtering never bleeds a neighbour in.
PADDING = 2


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
    outline = colour(spec.get("outline", "#00000000")) if "outline" in spec else darker(fill)
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


def draw_circle(draw, box, spec):
    fill = colour(spec["fill"])
    draw.ellipse(box, fill=fill, outline=darker(fill), width=2)
    x0, y0, x1, y1 = box
    # A highlight toward the top left.
    r = (x1 - x0) / 6
    cx, cy = x0 + (x1 - x0) * 0.35, y0 + (y1 - y0) * 0.35
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=lighter(fill))


def draw_face(draw, box, spec):
    draw_circle(draw, box, spec)
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    for ex in (0.33, 0.67):
        cx, cy, r = x0 + w * ex, y0 + h * 0.42, w * 0.1
        draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, 255))
        draw.ellipse((cx - r / 2, cy - r / 2, cx + r / 2, cy + r / 2), fill=(0, 0, 0, 255))
    draw.arc((x0 + w * 0.3, y0 + h * 0.45, x1 - w * 0.3, y1 - h * 0.2), 20, 160, fill=(0, 0, 0, 255), width=2)


def draw_post(draw, box, spec):
    """A forked post: the launcher."""
    fill = colour(spec["fill"])
    x0, y0, x1, y1 = box
    w = x1 - x0
    draw.rectangle((x0 + w * 0.4, y0 + (y1 - y0) * 0.35, x1 - w * 0.4, y1), fill=fill, outline=darker(fill))
    draw.line((x0 + w * 0.5, y0 + (y1 - y0) * 0.4, x0 + 2, y0 + 2), fill=fill, width=max(2, w // 6))
    draw.line((x0 + w * 0.5, y0 + (y1 - y0) * 0.4, x1 - 2, y0 + 2), fill=fill, width=max(2, w // 6))


SHAPES = {"box": draw_box, "circle": draw_circle, "face": draw_face, "post": draw_post}


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


def sprites(name, spec, out_dir):
    entries = spec["sprites"]
    positions, size = pack([(s["width"], s["height"]) for s in entries], spec.get("maxWidth", 512))
    sheet = Image.new("RGBA", size, (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    body = chunkfile.Writer().utf(name + ".png").int16(len(entries))
    for s, (x, y) in zip(entries, positions):
        SHAPES[s["shape"]](draw, (x, y, x + s["width"] - 1, y + s["height"] - 1), s)
        pivot_x = s.get("pivotX", s["width"] // 2)
        pivot_y = s.get("pivotY", s["height"] // 2)
        body.utf(s["name"]).int16(x).int16(y).int16(s["width"]).int16(s["height"]).int16(pivot_x).int16(pivot_y)
    premultiplied(sheet).save(os.path.join(out_dir, name + ".png"))
    chunkfile.save(os.path.join(out_dir, name + ".dat"), chunkfile.Writer().chunk("SPRT", chunkfile.versioned(body)))


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
    premultiplied(sheet).save(os.path.join(out_dir, name + ".png"))
    chunkfile.save(os.path.join(out_dir, name + ".dat"), chunkfile.Writer().chunk("FONT", chunkfile.versioned(body)))


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


def tone(t, s):
    """A sine sweeping from "from" to "to" hertz."""
    f = s["from"] + (s["to"] - s["from"]) * t / s["seconds"]
    return math.sin(2 * math.pi * f * t)


def noise(t, s, state=random.Random(7)):
    """White noise; the generator is seeded, so every build makes the same bytes."""
    return state.uniform(-1.0, 1.0)


SOUND_KINDS = {"tone": tone, "noise": noise}


def sounds(name, spec, out_dir):
    rate = spec.get("rate", 22050)
    for s in spec["sounds"]:
        frames = int(rate * s["seconds"])
        attack = max(1, int(rate * s.get("attack", 0.005)))
        samples = bytearray()
        for i in range(frames):
            t = i / rate
            envelope = min(1.0, i / attack) * (1.0 - i / frames) ** s.get("decay", 1.0)
            value = SOUND_KINDS[s["kind"]](t, s) * envelope * s.get("volume", 0.5)
            samples += struct.pack("<h", int(max(-1.0, min(1.0, value)) * 32767))
        with wave.open(os.path.join(out_dir, s["name"] + ".wav"), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(rate)
            w.writeframes(bytes(samples))


COMMANDS = {"sprites": sprites, "font": font, "texts": texts, "sounds": sounds}


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
