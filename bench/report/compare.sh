#!/usr/bin/env bash
# The report of a data set, --report DATA_ID --json (books and settings read,
# aggregation in memory, the checks, JSON on standard output), on the sample
# corporation and on books of 300 accounts and 1,000,000 journal lines,
# beside the bare sqlite3 query that sums the same journal per account and
# month. Medians of three runs; wall-clock and CPU (user + system) time.
# Builds in release mode into BUILD_DIR (default build-bench-e2e).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench-e2e}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
source bench/benchenv.sh
bench_build "$build" report-build.log "" QT10ToRX16_G host_standin bench_ledger

bench_scratch
bench_installations "$build"

RX16_BENCH_DIR=$PWD/bench python3 - "$work" <<'PY'
import glob, os, subprocess, sys
sys.path.insert(0, os.environ["RX16_BENCH_DIR"])
from benchtiming import BARE_QUERY as query, timed

work = sys.argv[1]
env = dict(os.environ, RX16_UI="headless")

def report(folder, data_id):
    argv = [os.path.join(work, folder, "QT10ToRX16_G"), "--report", data_id, "--json"]
    # Exit 1 (warnings found) is a finished report too.
    check = subprocess.run(argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if check.returncode not in (0, 1) or not check.stdout.startswith(b'{"items":'):
        sys.exit(f"--report on {folder} failed: {check.stderr.decode(errors='replace')}")
    wrapped = ["/bin/sh", "-c", '"$0" "$@"; test $? -le 1'] + argv
    return timed(wrapped, env)

def books_of(folder):
    return sorted(glob.glob(os.path.join(work, folder, "books", "*", "books.db")))[0]

rows = []
for name, folder, data_id in [("sample corporation", "sample", "00000001"),
                              ("1,000,000 journal lines", "big", "BENCH")]:
    rows.append((name, report(folder, data_id), timed(["sqlite3", books_of(folder), query])))

print("--report DATA_ID --json (whole process) beside the bare sqlite3 GROUP BY")
print(f"{'':26}{'report wall':>12}{'report CPU':>12}{'sqlite3 wall':>14}{'sqlite3 CPU':>13}"
      f"{'ratio wall':>12}{'ratio CPU':>11}")
for name, (w, c), (bw, bc) in rows:
    print(f"{name:26}{w:>11.3f}s{c:>11.3f}s{bw:>13.3f}s{bc:>12.3f}s{w / bw:>12.2f}{c / bc:>11.2f}")
PY
