#!/bin/sh
# Runs every fuzz target in build directory $1 for an equal share of a total
# budget of $2 target-seconds (default 180; at least 1 s each), two targets
# at a time, so the whole takes about half the budget, on a corpus seeded by the library's own
# writers (orvane_fuzz_seeds) and, for bmp_fuzz and gif_fuzz, by the sample
# images below $ORVANE_SAMPLES when it is set. Prints each target's execution
# count. Exits non-zero when any target finds a crash, leak or sanitizer
# report; the log then shows the report and a hex dump of the input that
# reproduces it (run the target on that file to reproduce). Targets named
# in $time_limited must finish every input within 1 s: a slower input is a
# finding too (libFuzzer's timeout), as is any other.
set -eu
time_limited="scene_port_fuzz"
dir=${1:?build directory}
budget=${2:-180}
parallel=2
targets=0
for target in "$dir"/fuzz/*_fuzz; do
  if [ -x "$target" ]; then targets=$((targets + 1)); fi
done
seconds=1
if [ "$targets" -gt 0 ]; then
  [ $((budget / targets)) -gt 1 ] && seconds=$((budget / targets))
fi
echo "fuzzing $targets targets, $parallel at a time, ${seconds}s each (budget ${budget}s)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$dir/fuzz/orvane_fuzz_seeds" "$work/seeds"

# Fuzzes one target; its outcome goes to $work/<name>.result.
fuzz_one() {
  target=$1
  name=$(basename "$target")
  corpus="$work/corpus-$name"
  mkdir -p "$corpus"
  [ -d "$work/seeds/$name" ] && cp "$work/seeds/$name"/* "$corpus"/
  if [ -d "${ORVANE_SAMPLES:-}" ]; then
    format=${name%_fuzz}
    n=0
    for seed in $(find "$ORVANE_SAMPLES" -type f -iname "*.$format" -size -64k | sort); do
      n=$((n + 1))
      cp "$seed" "$corpus/sample-$n"
    done
  fi
  log="$work/$name.log"
  timeout=1200
  case " $time_limited " in *" $name "*) timeout=1 ;; esac
  if "$target" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/$name-" "$corpus" >"$log" 2>&1; then
    echo "$name: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions in ${seconds}s, no finding" \
      >"$work/$name.result"
  else
    {
      echo "$name: FINDING"
      tail -n 60 "$log"
      for artifact in "$work/$name"-*; do
        [ -f "$artifact" ] || continue
        echo "--- reproducing input $(basename "$artifact") ($(wc -c <"$artifact") bytes):"
        od -A x -t x1z -v "$artifact" | head -n 256
      done
    } >"$work/$name.result"
  fi
}

running=0
for target in "$dir"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  fuzz_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait
    running=0
  fi
done
wait

status=0
for result in "$work"/*.result; do
  cat "$result"
  if grep -q ": FINDING$" "$result"; then status=1; fi
done
exit $status
