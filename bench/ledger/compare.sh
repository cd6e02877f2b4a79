#!/usr/bin/env bash
# TukiKanZanCal over books of 300 accounts and 1,000,000 journal lines,
# beside the sqlite3 command-line tool running the same per-account,
# per-month GROUP BY (both sides of every line) on the same file. Prints the
# medians of three runs, wall-clock and CPU time (user + system; the steadier
# measure on a shared machine), and their ratios. Builds bench_ledger in release mode
# into BUILD_DIR (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX16_TESTS=OFF -DRX16_QT=OFF >/dev/null
fi
if ! cmake --build "$build" --target bench_ledger -j2 >"$build/ledger-build.log" 2>&1; then
  cat "$build/ledger-build.log"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/books"
"$build/bench/ledger/bench_ledger" generate "$work"
books=$work/books/big/books.db

ours=$("$build/bench/ledger/bench_ledger" run "$work" 3)

python3 - "$books" $ours <<'PY'
import os, statistics, subprocess, sys, time
books, ours, ours_cpu = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
query = ("SELECT debit, tuki, sum(amount) FROM siwake GROUP BY debit, tuki;"
         "SELECT credit, tuki, sum(amount) FROM siwake GROUP BY credit, tuki;")
times, cpu_times = [], []
for _ in range(3):
    start = time.perf_counter()
    proc = subprocess.Popen(["sqlite3", books, query], stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    times.append(time.perf_counter() - start)
    cpu_times.append(usage.ru_utime + usage.ru_stime)
    if status != 0:
        sys.exit("sqlite3 failed")
bare, bare_cpu = statistics.median(times), statistics.median(cpu_times)
print("                                               wall      CPU")
print(f"TukiKanZanCal (1,000,000 lines, 300 accounts): {ours:.3f} s   {ours_cpu:.3f} s")
print(f"sqlite3 GROUP BY on the same file:             {bare:.3f} s   {bare_cpu:.3f} s")
print(f"ratio:                                         {ours / bare:.2f}      {ours_cpu / bare_cpu:.2f}"
      "   (target at most 1.5)")
PY
