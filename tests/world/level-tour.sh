#!/bin/sh
# Every level of the load list in turn, entered from the level select: each must load, settle
# with all its targets standing, and leave no load error or script exception in the log.
# Usage: level-tour.sh <game program> <input script> <load list> <output directory>
set -u
game=$1 script=$2 list=$3 out=$4
rm -rf "$out"
mkdir -p "$out"
log=$(GAME_LOG=1 "$game" --headless --frames 1300 --script "$script" --output "$out" \
	--documents "$out" --library "$out" --caches "$out" 2>&1)
status=$?
echo "$log" | grep '^Level'
[ "$status" -eq 0 ] || { echo "level-tour: exit code $status"; exit 1; }
if echo "$log" | grep 'Unable to load\|EXCEPTION\|not found\|did not load'; then
	echo "level-tour: errors in the log"; exit 1
fi
levels=$(grep -o 'levels/level_[0-9]*' "$list" | sed 's|levels/||')
for level in $levels; do
	targets=$(echo "$log" | sed -n "s/^Level $level loaded: \([0-9]*\) targets.*/\1/p")
	[ -n "$targets" ] || { echo "level-tour: $level did not load"; exit 1; }
	echo "$log" | grep -q "^Level $level settled: $targets targets" ||
		{ echo "level-tour: $level did not settle with its $targets targets"; exit 1; }
	/usr/bin/python3 "$(dirname "$0")/check-captures.py" scene "$out/$level.png" ||
		{ echo "level-tour: the capture of $level is wrong"; exit 1; }
done
echo "level-tour: ok"
