#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite in every variant of
# scripts/build.sh, or in those named: scripts/test.sh [VARIANT ...]. By default: the normal
# build, one under AddressSanitizer and UndefinedBehaviorSanitizer (any report fails its test),
# a Release build as users make it by hand, and a Clang build.
set -euo pipefail
cd "$(dirname "$0")/.."
variants=("$@")
[ ${#variants[@]} -eq 0 ] && variants=(release sanitize optimized clang)
extra=()
[[ " ${variants[*]} " == *" clang "* ]] && extra+=(clang)
scripts/setup.sh "${extra[@]}"

# Windows in tests use Qt's offscreen platform; nothing needs a display.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for variant in "${variants[@]}"; do
  echo "== $variant build =="
  scripts/build.sh "$variant"
  echo "== $variant tests =="
  (cd "${BUILD_ROOT:-build}/$variant" && ctest --output-on-failure -j "$(nproc)") || status=1
done
exit $status
