#!/usr/bin/env bash
# The batch over many data sets: 200 copies of the sample corporation's books
# in one installation, written with one job and with two, beside the sum of
# the bare sqlite3 queries (one per books file, each summing the journal per
# account and month). Medians of three runs; wall-clock and CPU time. Builds
# in release mode into BUILD_DIR (default build-bench-batch).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench-batch}
count=${COUNT:-200}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
source bench/benchenv.sh
bench_build "$build" batch-build.log "-DRX16_BENCH=OFF -DRX16_QT=OFF" QT10ToRX16_G host_standin
bench_scratch

# The installation's data: the shipped files and COUNT copies of the sample
# corporation, each with its own name and data ID.
mkdir -p "$work/data/books"
cp data/SUPPORT.INF data/MirabellDef.ini data/QT10ToRX16_G_common_init.dat "$work/data/"
for i in $(seq 1 "$count"); do
  dir=$work/data/books/corp$i
  cp -r data/books/midori "$dir"
  python3 - "$dir/company.csv" "$i" <<'PY'
import csv, sys
path, i = sys.argv[1], int(sys.argv[2])
with open(path, encoding="utf-8", newline="") as f:
    rows = list(csv.reader(f))
rows[1][0] += str(i)
rows[1][5] = f"{1000000 + i:08d}"
with open(path, "w", encoding="utf-8", newline="") as f:
    csv.writer(f, lineterminator="\n").writerows(rows)
PY
  echo "corp$i" >>"$work/data/books/regular.list"
done
"$build/tools/host/QT10.EXE" init "$work/inst" --data "$work/data" >/dev/null

RX16_BENCH_DIR=$PWD/bench python3 - "$work" "$count" <<'PY'
import glob, os, shutil, subprocess, sys, time
sys.path.insert(0, os.environ["RX16_BENCH_DIR"])
from benchtiming import bare_query, timed

work, count = sys.argv[1], int(sys.argv[2])
books = sorted(glob.glob(os.path.join(work, "inst", "books", "*", "books.db")))
if len(books) != count:
    sys.exit(f"expected {count} books files, found {len(books)}")
out = os.path.join(work, "out")

def clear():
    shutil.rmtree(out, ignore_errors=True)

def batch(jobs):
    result = timed([os.path.join(work, "inst", "QT10ToRX16_G"), "--batch", out, "--jobs", str(jobs)],
                   before=clear)
    written = len(glob.glob(os.path.join(out, "*.xml")))
    if written != count:
        sys.exit(f"the batch with {jobs} job(s) wrote {written} files, not {count}")
    return result

one, two = batch(1), batch(2)
bare = [bare_query(b) for b in books]
bare_wall, bare_cpu = sum(w for w, _ in bare), sum(c for _, c in bare)
print(f"{count} data sets of the sample corporation's size (medians of three runs)")
print(f"{'':28}{'wall':>9}{'CPU':>9}")
print(f"{'bare sqlite3 queries, sum':28}{bare_wall:>8.3f}s{bare_cpu:>8.3f}s")
print(f"{'batch, 1 job':28}{one[0]:>8.3f}s{one[1]:>8.3f}s")
print(f"{'batch, 2 jobs':28}{two[0]:>8.3f}s{two[1]:>8.3f}s")
print(f"batch (1 job) / bare queries: wall {one[0] / bare_wall:.2f}, CPU {one[1] / bare_cpu:.2f}"
      "  (target at most 3)")
# What two processes can get here at once: two busy loops of one second.
start = time.perf_counter()
loops = [subprocess.Popen(["timeout", "1", "sh", "-c", "while :; do :; done"]) for _ in range(2)]
cpu = 0.0
for proc in loops:
    _, _, usage = os.wait4(proc.pid, 0)
    cpu += usage.ru_utime + usage.ru_stime
free = cpu / (time.perf_counter() - start)
print(f"speed-up from 1 job to 2 (wall): {one[0] / two[0]:.2f}  (target at least 1.7 on 2 cores;"
      f" {os.cpu_count()} cores here, two busy loops got {free:.2f} of them)")
PY
