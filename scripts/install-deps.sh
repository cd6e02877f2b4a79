#!/usr/bin/env bash
# Installs the Debian packages the project needs, by what for:
#   bash scripts/install-deps.sh run     what the programs need at run time
#   bash scripts/install-deps.sh build   that, and what building them takes
#   bash scripts/install-deps.sh         all that, and what the tests take
set -euo pipefail
what=${1:-test}
# Run time: the libraries the programs link, the Qt platform plugins, the
# Japanese gothic font the dialogs name and Qt's Japanese translations. The
# Debian package depends on these itself.
run=(
  libqt6widgets6 libqt6charts6 libqt6printsupport6 libqt6openglwidgets6 libsqlite3-0 libicu72
  qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic
)
build=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libsqlite3-dev libicu-dev
)
test=(
  clang libclang-rt-14-dev sqlite3 libxml2-dev libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils nlohmann-json3-dev xvfb xauth x11-apps x11-utils xdotool openbox imagemagick
  python3 python3-jsonschema strace lintian desktop-file-utils appstream
)
case $what in
  run) packages=("${run[@]}") ;;
  build) packages=("${run[@]}" "${build[@]}") ;;
  test) packages=("${run[@]}" "${build[@]}" "${test[@]}") ;;
  *) echo "usage: bash scripts/install-deps.sh [run|build|test]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
