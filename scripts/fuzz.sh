#!/usr/bin/env bash
# The libFuzzer targets, built with clang into build-fuzz.
#
#   scripts/fuzz.sh [SECONDS]          fuzz every target over its corpus; the
#                                      SECONDS (default 60) are shared out
#                                      among the targets (at least 5 each)
#   scripts/fuzz.sh campaign NAME RUNS DIR [SECONDS]
#                                      a long run of fuzz_NAME at low priority:
#                                      RUNS executions (or SECONDS, whichever
#                                      ends first), growing corpus DIR (seeded
#                                      from fuzz/NAME/corpus), log in DIR.log,
#                                      a failing input as DIR-crash-*;
#                                      ASAN_OPTIONS defaults to a 16 MB
#                                      quarantine
#   scripts/fuzz.sh merge NAME DIR     minimise fuzz/NAME/corpus and DIR into
#                                      a fresh fuzz/NAME/corpus: one input per
#                                      edge reached, hit counts aside, so the
#                                      corpus stays at a few hundred files
#
# Scratch files go to $TMPDIR, /dev/shm when it is writable.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

build() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRX16_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j2 --target fuzzers
}

# The options every run of target NAME takes.
options() {
  # The INI files the program reads are a few lines; a profile lookup parses
  # the whole file again, so long inputs only slow the profile target.
  local max_len=4096
  [ "$1" = booksfolder ] && max_len=16384
  [ "$1" = profile ] && max_len=1024
  echo "-max_len=$max_len -timeout=10 -rss_limit_mb=2048 -print_final_stats=1"
}

targets() {
  for target in build-fuzz/fuzz/*/fuzz_*; do
    [ -x "$target" ] || continue
    target=$(basename "$target")
    echo "${target#fuzz_}"
  done
}

case "${1:-}" in
  campaign)
    name=$2 runs=$3 dir=$4 limit=${5:-0}
    build
    mkdir -p "$dir"
    # Recycling AddressSanitizer's default 256 MB quarantine of freed memory
    # halves the rate of a target whose inputs run in microseconds; 16 MB
    # still keeps the frees of many executions out of use.
    export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
    # shellcheck disable=SC2046
    nice -n 10 "build-fuzz/fuzz/$name/fuzz_$name" $(options "$name") -runs="$runs" \
      -max_total_time="$limit" -artifact_prefix="$dir-" "$dir" "fuzz/$name/corpus" >"$dir.log" 2>&1
    ;;
  merge)
    name=$2 dir=$3
    build
    fresh=$(mktemp -d)
    # shellcheck disable=SC2046
    "build-fuzz/fuzz/$name/fuzz_$name" $(options "$name") -merge=1 -use_counters=0 "$fresh" \
      "fuzz/$name/corpus" "$dir"
    rm -rf "fuzz/$name/corpus"
    mkdir -p "fuzz/$name/corpus"
    cp "$fresh"/* "fuzz/$name/corpus/"
    rm -rf "$fresh"
    ls "fuzz/$name/corpus" | wc -l
    ;;
  *)
    total=${1:-60}
    build
    mapfile -t names < <(targets)
    seconds=$((total / ${#names[@]}))
    [ "$seconds" -ge 5 ] || seconds=5
    for name in "${names[@]}"; do
      work=$(mktemp -d)
      echo "fuzzing $name for ${seconds}s"
      # shellcheck disable=SC2046
      "build-fuzz/fuzz/$name/fuzz_$name" $(options "$name") -max_total_time="$seconds" \
        "$work" "fuzz/$name/corpus"
      rm -rf "$work"
    done
    ;;
esac
