#!/usr/bin/env bash
# Screenshots of the program's windows in its Qt interface, taken under a
# virtual X server: builds what it needs, makes a demo installation with the
# sample books and plays a user through the data-set selection, the three
# wizard pages (with a tooltip), the save dialog, the mapping dialog, a
# warning, a question and the progress window. Each window is saved as a
# PNG file with a title bar drawn above it (Xvfb runs no window manager).
# Then the report window of the sample corporation, shown by the real
# program and grabbed once it has drawn, whole screens with the wizard at
# twice the scale and the report at 1024x768, and the first page of the PDF.
#
#   bash scripts/screenshots.sh [OUTDIR]      default OUTDIR: out/screenshots
#
#   RX16_BUILD_DIR   build folder to use (default build; configured if new)
# Needs xvfb-run (package xvfb), a Japanese gothic font (fonts-ipafont-gothic),
# and for the report xdotool, openbox, ImageMagick's import and poppler-utils.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-$root/out/screenshots}")
build=${RX16_BUILD_DIR:-$root/build}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" -j2 --target host_standin uiqt_screens QT10ToRX16_G

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

# The report: its window, then the first page of its PDF.
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset RX16_UI QT_QPA_PLATFORM QT10_PROGRAM_DIR

if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  "$1/installation/QT10ToRX16_G" --report 00000001 &
  pid=$!
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name "事業概況書 集計結果" 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the report window did not show" >&2; kill "$pid"; exit 1; }
  sleep 1
  import -window "$window" "$2/report-window.png"
  kill "$pid"
' _ "$work" "$out"
fi

# Whole screens with a window manager: the wizard at twice the scale on a
# 1280x1024 screen, the report window on a plain 1024x768 one. Each window
# must lie inside its screen with its buttons in reach.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null &&
  command -v openbox >/dev/null; then
  screen() { # SIZE SCALE OUTFILE TITLE ARGS...
    local size=$1 scale=$2 file=$3 title=$4
    shift 4
    xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
    set -euo pipefail
    openbox --sm-disable >/dev/null 2>&1 &
    sleep 1
    QT_SCALE_FACTOR=$1 "$2/installation/QT10ToRX16_G" "${@:5}" &
    pid=$!
    for _ in $(seq 100); do
      if xdotool search --onlyvisible --name "$4" >/dev/null 2>&1; then break; fi
      # A standalone run asks for the data set first: take the first.
      if xdotool search --onlyvisible --name "データ選択" >/dev/null 2>&1; then
        xdotool key Return
      fi
      sleep 0.2
    done
    sleep 1
    import -window root "$3"
    kill "$pid"
  ' _ "$scale" "$work" "$file" "$title" "$@"
  }
  screen 1280x1024 2 "$out/fit-scale2-1280x1024.png" "事業概況書 - 集計条件"
  screen 1024x768 1 "$out/fit-1024x768.png" "事業概況書 集計結果" --report 00000001
fi

status=0
"$work/installation/QT10ToRX16_G" --report 00000001 --pdf "$work/report.pdf" || status=$?
[ "$status" -le 1 ] || exit 1
pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$work/report.pdf" "$out/report-pdf-page1"
echo "screenshots in $out"
