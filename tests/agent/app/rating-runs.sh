#!/bin/sh
# Runs the headless game twice on one documents directory; the rating prompt must have counted
# one use per run in the user defaults.
set -e
game="$1"
documents="$2"
tab=$(printf '\t')
rm -rf "$documents"
mkdir -p "$documents"
for run in 1 2; do
	"$game" --headless --frames 3 --documents "$documents" --library "$documents/library" --caches "$documents/caches" --output "$documents"
	grep -q "^kRatingPromptUseCount$tab$run\$" "$documents/user-defaults.txt" || {
		echo "run $run: use count not $run"; cat "$documents/user-defaults.txt"; exit 1; }
done
grep -q "^kRatingPromptCurrentVersion$tab" "$documents/user-defaults.txt"
