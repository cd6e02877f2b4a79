#!/usr/bin/env bash
# Reads the same 1,000,000 match lines ("item,code,side") with the text
# record accessor and with Python's csv module, and prints the times (CPU
# time, median of three runs) and their ratios. Python is timed twice: csv
# rows of strings only, and rows converted to integers, which is the work the
# accessor does. Builds bench_textaccessor in release mode into BUILD_DIR
# (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX16_TESTS=OFF -DRX16_QT=OFF >/dev/null
fi
if ! cmake --build "$build" --target bench_textaccessor -j2 >"$build/compare-build.log" 2>&1; then
  cat "$build/compare-build.log"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/match.txt
python3 - "$file" <<'PY'
import sys
with open(sys.argv[1], "w", newline="") as f:
    for i in range(1_000_000):
        f.write(f"{1 + i % 43},{100 + (i * 7919) % 9000},{i % 2}\n")
PY

RX16_BENCH_MATCH_FILE=$file "$build/bench/textaccessor/bench_textaccessor" \
  --benchmark_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  >"$work/bench.json"

python3 - "$file" "$work/bench.json" <<'PY'
import csv, json, statistics, sys, time

path, report = sys.argv[1], json.load(open(sys.argv[2]))
def median(name):
    for b in report["benchmarks"]:
        if b["name"] == f"{name}/real_time_median":
            return b
    sys.exit(f"{name} missing from the benchmark output")

def rows_only():
    with open(path, newline="") as f:
        return sum(1 for _ in csv.reader(f))

def rows_to_ints():
    n = 0
    with open(path, newline="") as f:
        for item, code, side in csv.reader(f):
            int(item), int(code), int(side)
            n += 1
    return n

def cpu_ms(job):
    times = []
    for _ in range(3):
        start = time.process_time()
        lines = job()
        times.append((time.process_time() - start) * 1000)
    return statistics.median(times), lines

read, write = median("BM_ReadMatch"), median("BM_WriteMatch")
ours = read["cpu_time"]
rows, lines = cpu_ms(rows_only)
ints, _ = cpu_ms(rows_to_ints)
print(f"lines                                  {lines}")
print(f"text accessor, read into records       {ours:8.1f} ms  "
      f"({read['allocs_per_line']:.6f} allocations per line)")
print(f"python csv.reader, rows of strings     {rows:8.1f} ms  ratio {rows / ours:5.1f}x")
print(f"python csv.reader, rows to integers    {ints:8.1f} ms  ratio {ints / ours:5.1f}x")
print(f"text accessor, write (flush per line)  {write['cpu_time']:8.1f} ms  "
      f"({write['allocs_per_line']:.6f} allocations per line)")
PY
