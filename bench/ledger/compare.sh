#!/usr/bin/env bash
# TukiKanZanCal over books of 300 accounts and 1,000,000 journal lines,
# beside the sqlite3 command-line tool running the same per-account,
# per-month GROUP BY (both sides of every line) on the same file. Prints the
# medians of three runs and their ratio. Builds bench_ledger in release mode
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

python3 - "$books" "$ours" <<'PY'
import statistics, subprocess, sys, time
books, ours = sys.argv[1], float(sys.argv[2])
query = ("SELECT debit, tuki, sum(amount) FROM siwake GROUP BY debit, tuki;"
         "SELECT credit, tuki, sum(amount) FROM siwake GROUP BY credit, tuki;")
times = []
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(["sqlite3", books, query], check=True, stdout=subprocess.DEVNULL)
    times.append(time.perf_counter() - start)
bare = statistics.median(times)
print(f"TukiKanZanCal (1,000,000 lines, 300 accounts): {ours:.3f} s")
print(f"sqlite3 GROUP BY on the same file:             {bare:.3f} s")
print(f"ratio: {ours / bare:.2f} (target at most 1.5)")
PY
