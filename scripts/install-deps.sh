#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n libsqlite3-dev sqlite3 libicu-dev libxml2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-charts-dev libqt6opengl6-dev poppler-utils nlohmann-json3-dev
  fonts-ipafont-gothic xvfb xauth x11-apps x11-utils xdotool openbox imagemagick python3
  strace python3-jsonschema
)
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
