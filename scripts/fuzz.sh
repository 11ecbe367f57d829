#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target] [target ...]
# Without a time: 15 s per target under CI (CI set), 120 s elsewhere, where
# a run is meant to find something. Targets are named as in fuzz/ (fit,
# media_fuzz); without any, all run.
#
# Undefined behaviour stops a run as a crash, a leak, a hang or running out
# of memory does. Every target runs; the script then fails when any found
# something, naming the input that did it (build/fuzz/findings/<target>/)
# and the run's log (build/fuzz/<target>.log).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${CI:-}" ]; then default=15; else default=120; fi
seconds=${1:-$default}
shift || true

# The fuzz build compiles with -fno-sanitize-recover=undefined; these make
# the report say where the behaviour came from. A caller's options follow
# and win.
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

targets=()
if [ $# -eq 0 ]; then
  targets=(build/fuzz/fuzz/*_fuzz)
else
  for name in "$@"; do targets+=("build/fuzz/fuzz/${name%_fuzz}_fuzz"); done
fi

failed=()
for target in "${targets[@]}"; do
  [ -x "$target" ] || { echo "fuzz: no target $target" >&2; exit 2; }
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  findings="build/fuzz/findings/$name"
  log="build/fuzz/$name.log"
  mkdir -p "$corpus" "$findings"
  seeds=()
  [ -d "fuzz/seeds/${name%_fuzz}" ] && seeds=("fuzz/seeds/${name%_fuzz}")
  echo "fuzz: $name for ${seconds}s"
  if "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=30 \
      -artifact_prefix="$findings/" -print_final_stats=0 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  else
    tail -n 60 "$log"
    input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
    echo "fuzz: $name found a fault; input ${input:-in $findings/}, log $log" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults found by: ${failed[*]}" >&2
  exit 1
fi
