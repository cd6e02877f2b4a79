#!/usr/bin/env bash
# Reads the same 1,000,000 match lines ("item,code,side") with the text
# record accessor and with Python's csv module, and prints the CPU times and
# their ratios. Python is timed twice: csv rows of strings only (plain
# csv.reader, the yardstick), and rows converted to integers, which is the
# work the accessor does. The two sides run in turns, ROUNDS times (default
# 3), so that both see the same load; each side's best CPU time counts, the
# median is shown beside it. Writing is timed in the first round only.
# Builds bench_textaccessor in release mode into BUILD_DIR (default
# build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench}
rounds=${ROUNDS:-3}
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

cat >"$work/python.py" <<'PY'
import csv, json, sys, time

path = sys.argv[1]

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
    start = time.process_time()
    lines = job()
    return (time.process_time() - start) * 1000, lines

rows, lines = cpu_ms(rows_only)
ints, _ = cpu_ms(rows_to_ints)
json.dump({"rows": rows, "ints": ints, "lines": lines}, sys.stdout)
PY

for round in $(seq "$rounds"); do
  # Writing, slow with its flush per line, is timed in the first round only.
  filter=.
  [ "$round" = 1 ] || filter=BM_ReadMatch
  RX16_BENCH_MATCH_FILE=$file "$build/bench/textaccessor/bench_textaccessor" \
    --benchmark_filter="$filter" --benchmark_format=json --benchmark_repetitions=5 \
    >"$work/bench$round.json"
  python3 "$work/python.py" "$file" >"$work/python$round.json"
done

python3 - "$work" "$rounds" <<'PY'
import json, statistics, sys

work, rounds = sys.argv[1], int(sys.argv[2])
runs = {"BM_ReadMatch": [], "BM_WriteMatch": []}
allocs = {}
python = {"rows": [], "ints": []}
lines = 0
for r in range(1, rounds + 1):
    for b in json.load(open(f"{work}/bench{r}.json"))["benchmarks"]:
        name = b["name"].split("/")[0]
        if b.get("run_type") == "iteration" and name in runs:
            runs[name].append(b["cpu_time"])
            allocs[name] = b["allocs_per_line"]
    p = json.load(open(f"{work}/python{r}.json"))
    python["rows"].append(p["rows"])
    python["ints"].append(p["ints"])
    lines = p["lines"]
for name, times in runs.items():
    if not times:
        sys.exit(f"{name} missing from the benchmark output")

def show(label, times, extra=""):
    print(f"{label:40s} best {min(times):7.1f} ms   median {statistics.median(times):7.1f} ms{extra}")

read, write = runs["BM_ReadMatch"], runs["BM_WriteMatch"]
print(f"lines {lines}, {rounds} rounds, CPU time")
show("text accessor, read into records", read,
     f"   ({allocs['BM_ReadMatch']:.6f} allocations per line)")
show("python csv.reader, rows of strings", python["rows"])
show("python csv.reader, rows to integers", python["ints"])
show("text accessor, write (flush per line)", write,
     f"   ({allocs['BM_WriteMatch']:.6f} allocations per line)")
print()
print(f"read vs plain csv.reader (best to best): {min(python['rows']) / min(read):5.1f}x"
      f"   (medians: {statistics.median(python['rows']) / statistics.median(read):.1f}x;"
      f" target at least 3x)")
print(f"read vs csv.reader with int() (best to best): "
      f"{min(python['ints']) / min(read):5.1f}x")
PY
