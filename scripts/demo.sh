#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs what the program
# can do so far end to end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
host=build/tools/host/QT10.EXE
if [ -x "$host" ]; then
  demo=${RX16_DEMO_DIR:-$PWD/out/demo}
  rm -rf "$demo"
  "$host" init "$demo"
  echo "Demo installation: $demo"
else
  echo "The host stand-in is not built yet; ran the build only."
fi
