# Sourced by the comparison scripts, from the project's root.

# bench_build BUILD_DIR LOG_NAME "CMAKE_OPTIONS" TARGET...
# A release build of the targets; its log is shown only when it fails.
bench_build() {
  local build=$1 log=$1/$2 options=$3
  shift 3
  # shellcheck disable=SC2086  # the options are words of their own
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRX16_TESTS=OFF $options >/dev/null
  if ! cmake --build "$build" --target "$@" -j2 >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
}

# bench_scratch: a scratch folder in $work, removed at exit, holding the
# per-user folders, guards and sockets of this run only.
bench_scratch() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export XDG_RUNTIME_DIR=$work/run HOME=$work/home XDG_CONFIG_HOME=$work/config
  export XDG_DOCUMENTS_DIR=$work/documents
  mkdir -p "$XDG_RUNTIME_DIR" "$HOME" "$XDG_CONFIG_HOME" "$XDG_DOCUMENTS_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset QT10_PROGRAM_DIR
}

# bench_installations BUILD_DIR: $work/sample, an installation with the
# sample books, and $work/big, the 1,000,000-line books of bench_ledger made
# an installation of their own with the sample's program and files.
bench_installations() {
  local build=$1
  "$build/tools/host/QT10.EXE" init "$work/sample" >/dev/null
  mkdir -p "$work/big/books"
  "$build/bench/ledger/bench_ledger" generate "$work/big"
  for f in QT10ToRX16_G QT10.EXE KP10.EXE SUPPORT.INF MirabellDef.ini QT10ToRX16_G_common_init.dat; do
    cp "$work/sample/$f" "$work/big/"
  done
}
