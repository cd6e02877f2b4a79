#!/usr/bin/env bash
# The whole component, end to end:
#  1. a headless standalone run (select the data set, finish the wizard with
#     the defaults, aggregate, write the XML) on the sample corporation and
#     on books of 300 accounts and 1,000,000 journal lines, beside the bare
#     sqlite3 query that sums the same journal per account and month;
#  2. the Qt start-up to the first dialog (offscreen), beside a minimal Qt
#     dialog program (bench_qt_dialog).
# Medians of several runs; wall-clock and CPU (user + system) time. Builds in
# release mode into BUILD_DIR (default build-bench-e2e).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench-e2e}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
# Configured every time: whether the Qt backend is linked is decided there.
source bench/benchenv.sh
bench_build "$build" e2e-build.log "" QT10ToRX16_G host_standin bench_ledger bench_qt_dialog
bench_scratch
bench_installations "$build"

printf 'choose 0\nkey F8\n' >"$work/script"

RX16_BENCH_DIR=$PWD/bench python3 - "$work" "$build/bench/e2e/bench_qt_dialog" <<'PY'
import glob, os, statistics, subprocess, sys, time
sys.path.insert(0, os.environ["RX16_BENCH_DIR"])
from benchtiming import BARE_QUERY as query, timed

work, minimal = sys.argv[1], sys.argv[2]
docs = os.environ["XDG_DOCUMENTS_DIR"]

def clear_output():
    for f in glob.glob(os.path.join(docs, "*.xml")):
        os.remove(f)
    if os.path.exists(transcript):
        os.remove(transcript)

transcript = os.path.join(work, "transcript")
completed = "\u4e8b\u696d\u6982\u6cc1\u66f8\u30c7\u30fc\u30bf\u306e\u96c6\u8a08\u7d50\u679c"

def headless(folder):
    env = dict(os.environ, RX16_UI="headless", RX16_UI_SCRIPT=os.path.join(work, "script"),
               RX16_UI_TRANSCRIPT=transcript)
    result = timed([os.path.join(work, folder, "QT10ToRX16_G")], env, before=clear_output)
    with open(transcript, encoding="utf-8") as f:
        if completed not in f.read():
            sys.exit(f"the headless run on {folder} did not complete; see {transcript}")
    return result

def books_of(folder):
    found = [p for p in glob.glob(os.path.join(work, folder, "books", "*", "books.db"))]
    return sorted(found)[0]

rows = []
for name, folder in [("sample corporation", "sample"), ("1,000,000 journal lines", "big")]:
    ours = headless(folder)
    bare = timed(["sqlite3", books_of(folder), query])
    rows.append((name, ours, bare))

print("headless standalone run (whole process) beside the bare sqlite3 GROUP BY")
print(f"{'':26}{'run wall':>10}{'run CPU':>10}{'sqlite3 wall':>14}{'sqlite3 CPU':>13}"
      f"{'ratio wall':>12}{'ratio CPU':>11}")
for name, (w, c), (bw, bc) in rows:
    print(f"{name:26}{w:>9.3f}s{c:>9.3f}s{bw:>13.3f}s{bc:>12.3f}s{w / bw:>12.2f}{c / bc:>11.2f}")

# Start-up to the first dialog: the moment the process stops using the CPU
# and sleeps in its event loop, the dialog is on screen.
def cpu_ticks(pid):
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except (FileNotFoundError, ProcessLookupError, IndexError):
            pass
    return total

def ready(argv, env, quiet=0.3):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    last, changed = -1, start
    try:
        while proc.poll() is None:
            now = time.perf_counter()
            ticks = cpu_ticks(proc.pid)
            if ticks != last:
                last, changed = ticks, now
            elif now - changed > quiet:
                return changed - start
            time.sleep(0.002)
    finally:
        proc.kill()
        proc.wait()
    return None  # it ended by itself: no dialog waited for the user

qt_env = dict(os.environ, RX16_UI="qt", QT_QPA_PLATFORM="offscreen")
qt_env.pop("RX16_UI_SCRIPT", None)
times = {"component": [], "minimal": []}
for _ in range(5):
    times["component"].append(ready([os.path.join(work, "sample", "QT10ToRX16_G")], qt_env))
    times["minimal"].append(ready([minimal], qt_env))
print()
if None in times["component"]:
    print("Qt start-up: the component ended without waiting at a dialog "
          "(built without the Qt backend?)")
else:
    ours = statistics.median(times["component"])
    bare = statistics.median(times["minimal"])
    print("Qt start-up to the first dialog (offscreen platform, median of 5)")
    print(f"  component, data-set selection:  {ours:.3f} s")
    print(f"  minimal Qt dialog program:      {bare:.3f} s")
    print(f"  ratio:                          {ours / bare:.2f}")
PY
