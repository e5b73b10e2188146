#!/bin/sh
# Runs every fuzz target in build directory $1 for $2 seconds each (default 20).
# Exits non-zero when any target finds a crash. Seeds come from
# $ORVANE_SAMPLES when it is set.
set -eu
dir=${1:?build directory}
seconds=${2:-20}
status=0
for target in "$dir"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  corpus=$(mktemp -d)
  # Seeds: sample files of the target's format (bmp_fuzz: *.bmp) below
  # $ORVANE_SAMPLES, when it is set (.ci/run fetches them).
  if [ -d "${ORVANE_SAMPLES:-}" ]; then
    format=$(basename "$target" _fuzz)
    find "$ORVANE_SAMPLES" -type f -iname "*.$format" -size -64k | {
      n=0
      while read -r seed; do n=$((n + 1)); cp "$seed" "$corpus/seed-$n"; done
    }
  fi
  echo "fuzzing $(basename "$target") for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" >"$corpus.log" 2>&1; then
    tail -n 40 "$corpus.log"
    status=1
  fi
  rm -rf "$corpus" "$corpus.log"
done
exit $status
