#!/usr/bin/env bash
# Builds the Debian package from a release build (with Debian's hardening
# flags) and leaves the .deb in OUTDIR (default out/package).
#
#   bash scripts/package.sh [OUTDIR]
#   RX16_PACKAGE_FROM=DIR   package the build in DIR as it stands instead
#                           (CI packages the build its tests ran on)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-out/package}
if [ -n "${RX16_PACKAGE_FROM:-}" ]; then
  build=$RX16_PACKAGE_FROM
else
  build=build-release
  bash scripts/install-deps.sh build
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX16_TESTS=OFF -DRX16_BENCH=OFF
fi
cmake --build "$build" -j2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p "$out"
cp "$build"/*.deb "$out/"
ls "$out"/*.deb
