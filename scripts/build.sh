#!/usr/bin/env bash
# Configures and builds one variant into $BUILD_ROOT/<name> (BUILD_ROOT defaults to build):
#   release    GCC, RelWithDebInfo: the programs the other scripts start, and the benchmarks
#   sanitize   GCC, Debug, AddressSanitizer and UndefinedBehaviorSanitizer
#   optimized  GCC, Release (-O3), as a user who runs cmake by hand builds it
#   clang      Clang, Release (needs the clang package: scripts/setup.sh clang)
# Every variant treats warnings as errors, so none gets in unnoticed.
set -euo pipefail
cd "$(dirname "$0")/.."
variant=${1:-release}
root=${BUILD_ROOT:-build}
case "$variant" in
  release)   flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize)  flags=(-DCMAKE_BUILD_TYPE=Debug -DUMBRIX_SANITIZE=ON -DUMBRIX_BENCHMARKS=OFF) ;;
  optimized) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
  clang)     flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "usage: $0 [release|sanitize|optimized|clang]" >&2; exit 2 ;;
esac
cmake -S . -B "$root/$variant" -G Ninja -DUMBRIX_WERROR=ON "${flags[@]}" >/dev/null
cmake --build "$root/$variant" -j "$(nproc)"
