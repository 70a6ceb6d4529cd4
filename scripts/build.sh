#!/usr/bin/env bash
# Configures and builds one variant into build/<name>: "release" or "sanitize".
set -euo pipefail
cd "$(dirname "$0")/.."
variant=${1:-release}
case "$variant" in
  release)  flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) flags=(-DCMAKE_BUILD_TYPE=Debug -DUMBRIX_SANITIZE=ON -DUMBRIX_BENCHMARKS=OFF) ;;
  *) echo "usage: $0 [release|sanitize]" >&2; exit 2 ;;
esac
cmake -S . -B "build/$variant" -G Ninja "${flags[@]}" >/dev/null
cmake --build "build/$variant" -j "$(nproc)"
