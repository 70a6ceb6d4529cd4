#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite twice: a normal build and
# one under AddressSanitizer and UndefinedBehaviorSanitizer (any report fails its test).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

# Windows in tests use Qt's offscreen platform; nothing needs a display.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for variant in release sanitize; do
  echo "== $variant build =="
  scripts/build.sh "$variant"
  echo "== $variant tests =="
  (cd "build/$variant" && ctest --output-on-failure -j "$(nproc)") || status=1
done
exit $status
