#!/bin/sh
# The run command's headless play-through: from the menu into level 1, two shots that clear it,
# and the level-end screen. Checks the win, its score and stars, the captures, and that a second
# run on the same documents reads the saved high score back.
# Usage: game-run.sh <game program> <input script> <output directory>
set -u
game=$1 script=$2 out=$3
here=$(dirname "$0")
rm -rf "$out"
mkdir -p "$out/documents" "$out/library" "$out/caches"
run() {
	GAME_LOG=1 "$game" --headless --frames "$1" --script "$2" --output "$out" \
		--documents "$out/documents" --library "$out/library" --caches "$out/caches" 2>&1
}
log=$(run 1500 "$script")
status=$?
echo "$log" | grep '^Level\|^Shot\|EXCEPTION\|Unable'
[ "$status" -eq 0 ] || { echo "game-run: exit code $status"; exit 1; }
won=$(echo "$log" | sed -n 's/^Level complete: level_1 score \([0-9]*\), \([0-9]\) stars.*/\1 \2/p')
[ -n "$won" ] || { echo "game-run: level 1 was not won"; exit 1; }
score=${won% *} stars=${won#* }
[ "$score" -gt 0 ] && [ "$stars" -ge 1 ] || { echo "game-run: score $score with $stars stars"; exit 1; }
/usr/bin/python3 "$here/check-captures.py" menu "$out/menu.png" "$out/levels.png" "$out/end.png" &&
	/usr/bin/python3 "$here/check-captures.py" scene "$out/level.png" "$out/flight.png" ||
	{ echo "game-run: the captures are wrong"; exit 1; }

printf '20 capture again.png\n' > "$out/again.script"
log=$(run 30 "$out/again.script")
echo "$log" | grep -q "^High score level_1: $score, $stars stars" ||
	{ echo "game-run: the high score $score was not read back"; echo "$log" | grep '^High'; exit 1; }
echo "game-run: ok, score $score, $stars stars"
