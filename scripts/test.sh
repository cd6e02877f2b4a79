#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
# Result lines shortened to 80 columns; the exit status is ctest's.
ctest --test-dir build --output-on-failure -j2 2>&1 | python3 scripts/ctest-lines.py
