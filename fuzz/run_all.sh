#!/bin/sh
# Runs every fuzz target in build directory $1 for $2 seconds each (default 20).
# Exits non-zero when any target finds a crash.
set -eu
dir=${1:?build directory}
seconds=${2:-20}
status=0
for target in "$dir"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  corpus=$(mktemp -d)
  echo "fuzzing $(basename "$target") for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" >"$corpus.log" 2>&1; then
    tail -n 40 "$corpus.log"
    status=1
  fi
  rm -rf "$corpus" "$corpus.log"
done
exit $status
