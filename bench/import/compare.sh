#!/usr/bin/env bash
# The import of a journal export: QT10.EXE import-journal of a 1,000,000-line
# journal (CP932, vouchers of one to four lines, tax-excluded lines, sub-
# accounts), beside the sqlite3 tool's .import of the same CSV into a plain
# table of 25 columns. Medians of three runs, wall-clock and CPU time, and
# the peak resident memory of the import for 100,000 and 1,000,000 lines (it
# reads the journal record by record, so memory must not grow with it).
# Builds in release mode into BUILD_DIR (default build-bench-import).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench-import}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
# GNU time measures the peak memory of the program alone (a child of this
# script's Python would count the interpreter it was forked from).
[ -x /usr/bin/time ] || { echo "/usr/bin/time missing (apt-get install time)" >&2; exit 1; }
source bench/benchenv.sh
bench_build "$build" import-build.log "-DRX16_BENCH=OFF -DRX16_QT=OFF" host_standin
bench_scratch

RX16_EXE=$PWD/$build/tools/host/QT10.EXE python3 - "$work" <<'PY'
import os, shutil, statistics, subprocess, sys, time

work = sys.argv[1]
exe = os.environ["RX16_EXE"]

def journal(path, lines):
    """A farm year's journal: sales with tax, costs, payroll vouchers, transfers."""
    tail = ",,,0,,,0,0,no\r\n"
    rows, n, month = [], 0, 0
    with open(path, "w", encoding="cp932", newline="") as f:
        while n < lines:
            date = f"2024/{month % 12 + 1}/{month % 28 + 1}"
            month += 1
            k = n % 10
            if k < 4:
                rows.append(f"2000,{n},,{date},売掛金,JA出荷,,対象外,10800,0,農産物売上高,,水稲,課税売上8%税抜,10800,800,出荷 {n}{tail}")
                n += 1
            elif k < 7:
                rows.append(f"2000,{n},,{date},肥料費,,水稲,課対仕入10%税抜,1100,100,普通預金,JA口座,,対象外,1100,0,肥料 {n}{tail}")
                n += 1
            else:
                rows.append(f"2110,{n},,{date},賃金手当,,,対象外,3000,0,,,,,,,賃金{tail}")
                rows.append(f"2100,{n},,{date},,,,,,,預り金,,,対象外,150,0,源泉{tail}")
                rows.append(f"2101,{n},,{date},,,,,,,普通預金,JA口座,,対象外,2850,0,支給{tail}")
                n += 3
            if len(rows) > 10000:
                f.write("".join(rows))
                rows = []
        f.write("".join(rows))

def peak_rss(argv, before):
    """Peak resident memory of one run, in MB."""
    before()
    out = os.path.join(work, "rss.txt")
    subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out] + argv, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(out) as f:
        return int(f.read().split()[-1]) / 1024

def run(argv, before=None, runs=3):
    walls, cpus = [], []
    for _ in range(runs):
        if before:
            before()
        start = time.perf_counter()
        proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(proc.pid, 0)
        walls.append(time.perf_counter() - start)
        cpus.append(usage.ru_utime + usage.ru_stime)
        if status != 0:
            sys.exit(f"{argv[:3]} failed: {proc.stderr.read().decode()}")
    return statistics.median(walls), statistics.median(cpus), peak_rss(argv, before or (lambda: None))

inst = os.path.join(work, "inst")
def fresh():
    shutil.rmtree(inst, ignore_errors=True)
    subprocess.run([exe, "init", inst], check=True, stdout=subprocess.DEVNULL)

def importing(path):
    return [exe, "import-journal", inst, path, "--name", "bench", "--fiscal-start",
            "2024-01-01", "--fiscal-end", "2024-12-31", "--data-id", "BENCH"]

db = os.path.join(work, "plain.db")
columns = ", ".join(f"c{i} TEXT" for i in range(25))
def empty_table():
    if os.path.exists(db):
        os.remove(db)
    subprocess.run(["sqlite3", db, f"CREATE TABLE journal({columns})"], check=True)

small, big = os.path.join(work, "small.csv"), os.path.join(work, "big.csv")
journal(small, 100_000)
journal(big, 1_000_000)
size = os.path.getsize(big) / 1e6
imp = run(importing(big), before=fresh)
sql = run(["sqlite3", db, ".import --csv " + big + " journal"], before=empty_table)
small_rss = peak_rss(importing(small), fresh)
print(f"1,000,000 journal lines ({size:.0f} MB, CP932), medians of three runs")
print(f"{'':30}{'wall':>9}{'CPU':>9}{'peak RSS':>12}")
print(f"{'sqlite3 .import, plain table':30}{sql[0]:>8.2f}s{sql[1]:>8.2f}s{sql[2]:>10.1f}MB")
print(f"{'QT10.EXE import-journal':30}{imp[0]:>8.2f}s{imp[1]:>8.2f}s{imp[2]:>10.1f}MB")
print(f"import / sqlite3: wall {imp[0] / sql[0]:.2f}, CPU {imp[1] / sql[1]:.2f}  (target at most 2)")
print(f"peak RSS of the import: {small_rss:.1f} MB for 100,000 lines, {imp[2]:.1f} MB for "
      "1,000,000 (target: flat)")
PY
