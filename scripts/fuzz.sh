#!/usr/bin/env bash
# Builds the libFuzzer programs (Clang, AddressSanitizer and UndefinedBehaviorSanitizer) into
# build/fuzz and runs every target, one after the other:
#   scripts/fuzz.sh            each target for 1,000,000 executions
#   scripts/fuzz.sh SECONDS    each target for SECONDS seconds
# New interesting inputs collect in build/fuzz/corpus/<target>/ (seeded from fuzz/corpus/);
# an input that breaks an invariant or trips a sanitizer is saved as
# build/fuzz/findings/<target>-crash-*: copy it into fuzz/corpus/<target>/ with the fix, so
# that the corpus replay test keeps it fixed. Exit status 1 when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-}
if [ -n "$seconds" ] && ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [seconds]" >&2
  exit 2
fi
scripts/setup.sh clang libfuzzer-14-dev libclang-rt-14-dev

build=build/fuzz
# Coverage instrumentation for every library the targets link; -fsanitize=fuzzer for the
# targets themselves comes from fuzz/CMakeLists.txt.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DUMBRIX_SANITIZE=ON -DUMBRIX_FUZZ=ON \
  -DUMBRIX_BENCHMARKS=OFF -DUMBRIX_WERROR=ON >/dev/null

targets=(light_curve log_line star_dat alias_txt hjdprep_ini zzzumb_ini number_text batch_options)
cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

if [ -n "$seconds" ]; then limit=(-max_total_time="$seconds"); else limit=(-runs=1000000); fi
mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work"
  options=("${limit[@]}" -print_final_stats=1 -artifact_prefix="$build/findings/$t-")
  [ -f "fuzz/$t.dict" ] && options+=(-dict="fuzz/$t.dict")
  echo "== $t"
  if "$build/fuzz/fuzz_$t" "${options[@]}" "$work" "fuzz/corpus/$t" >"$build/$t.log" 2>&1; then
    status=ok
  else
    status=FOUND
    failed+=("$t")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$t.log" | tail -1)
  echo "   $status, ${runs:-?} executions (log: $build/$t.log)"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "findings in: ${failed[*]} (see $build/findings/)" >&2
  exit 1
fi
