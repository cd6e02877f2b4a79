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

RX16_BENCH_DIR=$PWD/bench python3 - "$books" $ours <<'PY'
import os, sys
sys.path.insert(0, os.environ["RX16_BENCH_DIR"])
from benchtiming import bare_query
books, ours, ours_cpu = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
bare, bare_cpu = bare_query(books)
print("                                               wall      CPU")
print(f"TukiKanZanCal (1,000,000 lines, 300 accounts): {ours:.3f} s   {ours_cpu:.3f} s")
print(f"sqlite3 GROUP BY on the same file:             {bare:.3f} s   {bare_cpu:.3f} s")
print(f"ratio:                                         {ours / bare:.2f}      {ours_cpu / bare_cpu:.2f}"
      "   (target at most 1.5)")
PY
