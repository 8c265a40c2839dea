#!/bin/sh
# Runs the test application in a window on a virtual X server with a script of injected input,
# then checks what it reported and the frame it captured.
# Usage: sdl-smoke.sh <application> <png probe> <script> <output directory>
set -u
app=$1 probe=$2 script=$3 out=$4
mkdir -p "$out/documents" "$out/library" "$out/caches"
rm -f "$out/sdl-smoke.png"
log=$(xvfb-run -a -s "-screen 0 1024x768x24" "$app" --script "$script" --output "$out" \
	--documents "$out/documents" --library "$out/library" --caches "$out/caches" --frames 600 2>&1)
status=$?
echo "$log"
[ "$status" -eq 0 ] || { echo "sdl-smoke: exit code $status"; exit 1; }
echo "$log" | grep -q "TestGame: [0-9]* frames, touches 2, keys 1" || { echo "sdl-smoke: input did not arrive"; exit 1; }
# The mouse let go at (220, 110): the white marker stays there on the background, upright.
"$probe" "$out/sdl-smoke.png" 220 110 ffffff 202 92 ffffff 237 127 ffffff 197 110 204080 220 132 204080 \
	600 500 204080 1023 767 204080 0 0 204080 || { echo "sdl-smoke: the picture is wrong"; exit 1; }
echo "sdl-smoke: ok"
