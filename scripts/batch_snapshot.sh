#!/usr/bin/env bash
# Writes everything the command line says about every light curve in tests/data and about 60
# synthetic nights (text, JSON, minima table, O-C table) into OUTDIR, one file per run, so that
# a change meant to leave every number alone can be checked with `diff -r BEFORE AFTER`.
#
#   scripts/batch_snapshot.sh ECTIMER OUTDIR
set -euo pipefail
cd "$(dirname "$0")/.."
ectimer=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The nights of bench/many_nights.sh, 60 of them, some with a second, shallower dip.
awk -v dir="$work" 'BEGIN {
  for (n = 0; n < 60; n++) {
    srand(n + 7)
    tmin = 0.51234 + ((n * 37) % 101 - 50) * 0.0002
    points = 40 + (n * 53) % 960
    file = sprintf("%s/night%02d.csv", dir, n)
    for (k = 0; k < points; k++) {
      t = 0.41234 + 0.2 * k / (points - 1)
      x = (t - tmin) / 0.04
      m = 12 + 0.6 * exp(-x * x) + 0.005 * sqrt(12) * (rand() - 0.5)
      if (n % 5 == 4) { y = (t - 0.59) / 0.01; m += 0.2 * exp(-y * y) }
      printf "%.8f,%.5f\n", 2454123 + n + t, m > file
    }
    close(file)
  }
}'

run() {  # name, then ectimer's arguments; stdout, stderr and status into one file
  local name=$1; shift
  { "$ectimer" "$@" 2>&1; echo "status $?"; } | sed "s|$work|WORK|g" > "$out/$name" || true
}

inputs=(tests/data/*.csv tests/data/nights/night_*.csv "$work"/night*.csv)
for file in "${inputs[@]}"; do
  base=$(basename "${file%.csv}")
  run "$base.text" --batch "$file"
  run "$base.auto" --batch "$file" --ranges auto
  run "$base.json" --batch "$file" --ranges auto --format json
  run "$base.inverted" --batch "$file" --inverted --delete 1,3
done
run season.text --batch "$work"/night*.csv --ranges auto --table "$work/season.csv"
sed "s|$work|WORK|g" "$work/season.csv" > "$out/season.csv"
run nights.table --batch tests/data/nights/night_*.csv --ranges auto --table "$work/nights.csv"
cp "$work/nights.csv" "$out/nights.csv"
for method in mean kvw parabola; do
  run "oc.$method" --oc tests/data/nights/minima.csv --ephemeris 2459000.3456,0.4567891 \
    --method "$method" --quadratic
  run "oc.$method.secondary" --oc tests/data/nights/minima.csv \
    --ephemeris 2459000.3456,0.4567891 --method "$method" --secondary
done
run oc.plot --oc tests/data/nights/minima.csv --ephemeris 2459000.3456,0.4567891 --plot "$work/oc.png"
run help --help
run version --version
run unknown --colour
