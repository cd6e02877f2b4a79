#!/usr/bin/env bash
# Screenshots of the program's windows in its Qt interface, taken under a
# virtual X server: builds what it needs, makes a demo installation with the
# sample books and plays a user through the data-set selection, the three
# wizard pages (with a tooltip), the save dialog, the mapping dialog, a
# warning, a question and the progress window. Each window is saved as a
# PNG file with a title bar drawn above it (Xvfb runs no window manager).
#
#   bash scripts/screenshots.sh [OUTDIR]      default OUTDIR: out/screenshots
#
#   RX16_BUILD_DIR   build folder to use (default build; configured if new)
# Needs xvfb-run (package xvfb) and a Japanese gothic font (fonts-ipafont-gothic).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-$root/out/screenshots}")
build=${RX16_BUILD_DIR:-$root/build}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j2 --target host_standin uiqt_screens

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/host/QT10.EXE" init "$work/installation" >/dev/null
mkdir -p "$out"

if command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/tests/uiqt/screens/uiqt_screens" "$out" "$work/installation"
else
  echo "xvfb-run is missing: drawing off screen instead" >&2
  QT_QPA_PLATFORM=offscreen "$build/tests/uiqt/screens/uiqt_screens" "$out" "$work/installation"
fi
echo "screenshots in $out"
