"""Loose checks of the game's captured frames: content may change from one build of the game data
to the next, so these catch only a black, blank or broken frame.
    check-captures.py scene|menu FILE...
scene: a level, with sky above and ground below; menu: any screen of the menus."""

import sys

from PIL import Image, ImageStat


def check(kind, path):
    image = Image.open(path).convert("RGB")
    width, height = image.size
    brightness = ImageStat.Stat(image.convert("L")).mean[0]
    assert 40 < brightness < 235, (path, "brightness", brightness)
    colours = image.getcolors(width * height)
    assert len(colours) > 30, (path, "colours", len(colours))
    most = max(count for count, _ in colours)
    assert most < width * height * 0.9, (path, "one colour covers the frame")
    if kind == "scene":
        sky = image.getpixel((width // 2, height // 3))
        ground = image.getpixel((width // 2, height - 10))
        assert sum(abs(a - b) for a, b in zip(sky, ground)) > 60, (path, "sky", sky, "ground", ground)


def main(argv):
    for path in argv[2:]:
        check(argv[1], path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
