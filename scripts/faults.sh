#!/usr/bin/env bash
# The whole fault sweep (every occurrence of every call of every write path,
# each error and SIGKILL), then the power-loss check, over the programs of a
# build. Takes a while; runs at low priority.
#   scripts/faults.sh [BUILD_DIR] [faults.py options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
args=(--host "$build/tools/host/QT10.EXE" --component "$build/app/QT10ToRX16_G"
      --books data/books/yamada "$@")
nice -n 10 python3 tests/faults/faults.py "${args[@]}"
nice -n 10 python3 tests/faults/faults.py "${args[@]}" --crash
