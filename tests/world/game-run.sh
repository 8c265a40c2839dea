#!/bin/sh
# Runs the game program headless from its built data directory with the scripted drag of the
# run command, then checks that the first shot scored and that the captures show the scene:
# sky above, ground below and pieces drawn between.
# Usage: game-run.sh <game program> <input script> <output directory>
set -u
game=$1 script=$2 out=$3
rm -rf "$out"
mkdir -p "$out/documents" "$out/library" "$out/caches"
log=$(GAME_LOG=1 "$game" --headless --frames 900 --script "$script" --output "$out" \
	--documents "$out/documents" --library "$out/library" --caches "$out/caches" 2>&1)
status=$?
echo "$log" | grep -v '^Loading\|^Removing' | tail -20
[ "$status" -eq 0 ] || { echo "game-run: exit code $status"; exit 1; }
score=$(echo "$log" | sed -n 's/^Shot 1 over: score \([0-9]*\).*/\1/p' | head -n 1)
[ -n "$score" ] || { echo "game-run: the shot never ended"; exit 1; }
[ "$score" -gt 0 ] || { echo "game-run: the shot scored nothing"; exit 1; }
/usr/bin/python3 - "$out/level.png" "$out/rest.png" <<'PY' || { echo "game-run: the captures are wrong"; exit 1; }
import sys
from PIL import Image
for path in sys.argv[1:]:
    image = Image.open(path).convert("RGB")
    width, height = image.size
    sky = image.getpixel((width // 2, 20))
    ground = image.getpixel((width * 7 // 8, height - 10))
    assert sky[2] > sky[0] + 60, (path, "sky", sky)
    assert ground[1] > ground[0] + 30 and ground[1] > ground[2] + 30, (path, "ground", ground)
    # Sky, ground, wood, stone, glass, targets, text: far more than two colours.
    colours = image.getcolors(width * height)
    assert len(colours) > 20, (path, "colours", len(colours))
PY
echo "game-run: ok, score $score"
