#!/usr/bin/env bash
# Checks the Debian package as a user meets it: lintian (no errors), the
# desktop entry and AppStream validators, apt-get install, then from outside
# the source tree an installation made by the installed QT10.EXE, a headless
# run of the sample corporation, a batch and a report as PDF, all from the
# installed files. The package is removed again afterwards.
#
#   bash scripts/check-package.sh PKG.deb
set -euo pipefail
deb=$(realpath "$1")
package=qt10torx16-g
app_id=jp.harumoa.qt10torx16_g
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

lintian --fail-on error --allow-root "$deb"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
work=$(mktemp -d /tmp/rx16-package-XXXXXX)
trap '"${sudo_cmd[@]}" apt-get remove -y -qq "$package" >/dev/null; rm -rf "$work"' EXIT
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"

cd "$work"
mkdir -p home documents config run
chmod 700 run
export HOME=$work/home XDG_DOCUMENTS_DIR=$work/documents XDG_CONFIG_HOME=$work/config
export XDG_RUNTIME_DIR=$work/run RX16_UI=headless
unset QT10_PROGRAM_DIR
version=$(dpkg-query -W -f='${Version}' "$package")
[ "$(QT10ToRX16_G --version)" = "QT10ToRX16_G $version" ]
[ "$(QT10.EXE --version)" = "QT10.EXE $version" ]

QT10.EXE init "$work/x"
ls -l "$work/x"
# The programs are links to the installed ones, never copies.
for name in QT10.EXE KP10.EXE QT10ToRX16_G; do
  [ -L "$work/x/$name" ] || { echo "$work/x/$name is not a link" >&2; exit 1; }
done
if find "$work/x" -maxdepth 1 -type f -perm -u+x | grep -q .; then
  echo "the installation holds a copy of a program" >&2
  exit 1
fi

RX16_UI_SCRIPT=/usr/share/$package/demo.script RX16_UI_TRANSCRIPT=$work/transcript.txt \
  "$work/x/QT10ToRX16_G"
grep -q '正常に出力しました' "$work/transcript.txt"
ls "$work/documents/"*.xml

# The sample books hold one individual business, which the batch skips
# without failing; the summary keeps the data ID as text.
"$work/x/QT10ToRX16_G" --batch "$work/batch"
grep -q '^"=""00000001""",.*,written' "$work/batch/summary.csv"

"$work/x/QT10ToRX16_G" --report 00000001 --pdf "$work/report.pdf"
[ "$(head -c 4 "$work/report.pdf")" = "%PDF" ]
echo "package checked: $(basename "$deb")"
