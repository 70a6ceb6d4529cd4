#!/usr/bin/env bash
# Installs what is missing, builds, and starts ectimer (arguments are passed on).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/release/timing/ectimer "$@"
