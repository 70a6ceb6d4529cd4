#!/usr/bin/env bash
# A season of nights through the command line, as an observer's script runs it: NIGHTS light
# curves of 1000 points (the shape of bench/methods/bench_curve.h: a 0.6 mag dip, 0.005 mag of
# noise, the minimum moved a little from night to night), timed with all six methods on the
# ranges the batch mode picks itself (--ranges auto), each night's text output kept.
#
#   bench/many_nights.sh [ECTIMER] [NIGHTS]   (defaults: build/release/timing/ectimer, 365)
#
# Prints hyperfine's figures for the whole season three ways: one `ectimer --batch` process per
# night, one after another; the same spread over every core (xargs -P); and one process given
# every night (its own workers, one per core) writing one minima table.
set -euo pipefail
cd "$(dirname "$0")/.."
ectimer=$(realpath "${1:-build/release/timing/ectimer}")
nights=${2:-365}
scripts/setup.sh hyperfine

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v nights="$nights" -v dir="$work" 'BEGIN {
  for (n = 0; n < nights; n++) {
    srand(n + 1)
    day = 2454123 + n
    tmin = 0.51234 + ((n * 37) % 101 - 50) * 0.0002
    file = sprintf("%s/night%03d.csv", dir, n)
    for (k = 0; k < 1000; k++) {
      t = 0.41234 + 0.2 * k / 999
      x = (t - tmin) / 0.04
      printf "%.8f,%.5f\n", day + t, 12 + 0.6 * exp(-x * x) + 0.005 * sqrt(12) * (rand() - 0.5) > file
    }
    close(file)
  }
}'

# The last two points are deleted, as in the batch benchmark, so that sliding integrations
# fits its grid and every method gives a row.
options="--ranges auto --delete 999,1000"
cat > "$work/one_after_another.sh" <<SCRIPT
for file in "$work"/night*.csv; do
  "$ectimer" --batch "\$file" $options > "\${file%.csv}.txt"
done
SCRIPT
cat > "$work/all_cores.sh" <<SCRIPT
ls "$work"/night*.csv |
  xargs -P "$(nproc)" -n 1 sh -c '"$ectimer" --batch "\$0" $options > "\${0%.csv}.txt"'
SCRIPT
cat > "$work/one_process.sh" <<SCRIPT
"$ectimer" --batch "$work"/night*.csv $options --table "$work/season.csv" > "$work/season.txt"
SCRIPT

hyperfine --warmup 1 --runs 5 \
  -n "$nights nights, one process after another" "bash $work/one_after_another.sh" \
  -n "$nights nights, $(nproc) processes at a time" "bash $work/all_cores.sh" \
  -n "$nights nights, one process" "bash $work/one_process.sh"

# The figures mean nothing unless every night was timed: six rows each, both ways.
status=0
for outputs in "night*.txt" season.txt; do
  timed=$(cd "$work" && cat $outputs | grep -c '^[1-6]\. .*: 2454' || true)
  echo "$outputs: rows timed: $timed of $((6 * nights))"
  [ "$timed" -eq $((6 * nights)) ] || status=1
done
exit $status
