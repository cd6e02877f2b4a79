#!/usr/bin/env bash
# CFinGaiSum::Run (aggregation and XML file) on the sample corporation and on
# the 1,000,000-line books of the ledger benchmark, beside the sqlite3
# command-line tool running that benchmark's bare per-account, per-month
# GROUP BY on the same books file. Prints the medians of three repetitions
# and the ratio of the large run to the bare query. Builds bench_engine and
# bench_ledger in release mode into BUILD_DIR (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build-bench}
command -v sqlite3 >/dev/null || { echo "sqlite3 command-line tool missing" >&2; exit 1; }
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX16_TESTS=OFF -DRX16_QT=OFF >/dev/null
fi
if ! cmake --build "$build" --target bench_engine bench_ledger -j2 >"$build/engine-build.log" 2>&1; then
  cat "$build/engine-build.log"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/books"
"$build/bench/ledger/bench_ledger" generate "$work"
books=$work/books/big/books.db

RX16_BENCH_BIG_DIR=$work "$build/bench/engine/bench_engine" \
  --benchmark_format=json --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  >"$work/bench.json"

RX16_BENCH_DIR=$PWD/bench python3 - "$books" "$work/bench.json" <<'PY'
import json, os, sys
sys.path.insert(0, os.environ["RX16_BENCH_DIR"])
from benchtiming import bare_query
books, report = sys.argv[1], json.load(open(sys.argv[2]))
def median(name):
    for b in report["benchmarks"]:
        if b["name"] == f"{name}_median":
            scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
            return b["real_time"] * scale, b["cpu_time"] * scale
    sys.exit(f"{name} missing from the benchmark output")
bare, bare_cpu = bare_query(books)
sample, sample_cpu = median("BM_RunSample")
big, big_cpu = median("BM_RunBig")
print("                                                 wall      CPU")
print(f"Run, sample corporation (90 accounts, 272 lines): {sample:.3f} s   {sample_cpu:.3f} s")
print(f"Run, 1,000,000 lines, 300 accounts:              {big:.3f} s   {big_cpu:.3f} s")
print(f"sqlite3 GROUP BY on the same books file:         {bare:.3f} s   {bare_cpu:.3f} s")
print(f"ratio Run / bare query:                          {big / bare:.2f}      {big_cpu / bare_cpu:.2f}")
PY
