#!/usr/bin/env bash
# The main job: installs what is missing, builds, creates a demo installation
# with the sample books and runs the component once by hand: in its Qt GUI
# when a display is there (RX16_UI unset, DISPLAY or WAYLAND_DISPLAY set),
# else headless, played by data/demo.script. Then says where the XML file is
# and prints its main figures, writes the report of the run as a PDF and
# prints its findings.
#
#   RX16_DEMO_DIR   the demo installation (default out/demo; made afresh)
#   RX16_UI         qt or headless to choose the interface yourself
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

demo=${RX16_DEMO_DIR:-$root/out/demo}
rm -rf "$demo"
build/tools/host/QT10.EXE init "$demo"

# The demo keeps everything inside its own folder: the proposed output
# folder (documents), the per-user settings and the transcript.
export XDG_DOCUMENTS_DIR=$demo/Documents
export XDG_CONFIG_HOME=$demo/config
mkdir -p "$XDG_DOCUMENTS_DIR" "$XDG_CONFIG_HOME"
unset QT10_PROGRAM_DIR

ui=${RX16_UI:-}
if [ -z "$ui" ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then ui=qt; else ui=headless; fi
fi
# The script also serves a GUI start that falls back to headless.
export RX16_UI_SCRIPT=$root/data/demo.script
export RX16_UI_TRANSCRIPT=$demo/transcript.txt
if [ "$ui" = qt ]; then
  echo "Starting the component with its GUI: pick a data set and finish the wizard (F8)."
else
  echo "No display: a headless run played by data/demo.script"
fi
RX16_UI=$ui "$demo/QT10ToRX16_G"
if [ -s "$RX16_UI_TRANSCRIPT" ]; then
  echo "What the user would have seen ($RX16_UI_TRANSCRIPT):"
  sed 's/^/  /' "$RX16_UI_TRANSCRIPT"
fi

# The data set's settings name the file the run wrote.
python3 - "$demo" <<'PY'
import csv, glob, os, sys, unicodedata
import xml.etree.ElementTree as ET

demo = sys.argv[1]
envs = sorted(glob.glob(os.path.join(demo, "books", "*", "QT10ToRX16_G.env")),
              key=os.path.getmtime)
if not envs:
    sys.exit("No run was completed: no data set has settings yet.")
with open(envs[-1], encoding="cp932", newline="") as f:
    path = next(csv.reader(f))[-1]
if not path or not os.path.isfile(path):
    sys.exit(f"The run did not write its XML file ({path or 'no path'}).")
with open(path, "rb") as f:
    text = f.read().decode("cp932")
# Decoded already: the declaration's encoding no longer applies.
root = ET.fromstring(text.split("?>", 1)[1])

def value(tag):
    node = root.find(".//" + tag)
    return (node.text or "") if node is not None else ""

def figure(tag):
    return f"{int(value(tag) or 0):>12,}"

def padded(label, width):
    # Full-width characters take two columns on a terminal.
    used = sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in label)
    return label + " " * max(width - used, 0)

print()
print(f"XML file: {path}")
print(f"  {padded('事業所名', 16)}{value('KOMONSAKINAME')}")
print(f"  {padded('事業年度', 16)}{value('JIGYOUNENDOFROM')} - {value('JIGYOUNENDOTO')}")
print("  main figures (thousand yen)")
for tag, label in [("URIAGE", "売上高"), ("GENKA", "売上原価"), ("SORIEKI", "売上総利益"),
                   ("EIGYO_SONEKI", "営業損益"), ("ZEIBIKIMAE", "税引前当期損益"),
                   ("SHISAN", "資産の部合計"), ("FUSAI", "負債の部合計"),
                   ("JUNSHISAN", "純資産の部合計")]:
    print(f"  {padded(label, 16)}{figure(tag)}  {tag}")
sales = [value(f"TUKI_URIAGE{m:02d}") for m in range(1, 13)]
months = [value(f"TUKIBETU_{m:02d}") for m in range(1, 13)]
print("  monthly sales (yen)")
for month, amount in zip(months, sales):
    print(f"  {padded(month + '月', 16)}{int(amount or 0):>12,}")
PY

# The report of the data set the run used: its PDF beside the XML file, and
# the findings of the mapping checks (exit status 1 means there are warnings).
env_file=$(ls -t "$demo"/books/*/QT10ToRX16_G.env | head -1)
data_id=$(head -1 "$env_file" | cut -d'"' -f2)
status=0
"$demo/QT10ToRX16_G" --report "$data_id" --pdf "$demo/report.pdf" || status=$?
if [ "$status" -gt 1 ]; then
  echo "The report of $data_id could not be made." >&2
  exit 1
fi
echo
echo "Report PDF: $demo/report.pdf"
RX16_UI=headless "$demo/QT10ToRX16_G" --report "$data_id" | sed -n '/^指摘事項/,$p' || true
