#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target]
# Without a time: 15 s per target under CI (CI set), 120 s elsewhere, where
# a run is meant to find something.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${CI:-}" ]; then default=15; else default=120; fi
seconds=${1:-$default}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
for target in build/fuzz/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/${name%_fuzz}" ] && seeds=("fuzz/seeds/${name%_fuzz}")
  echo "fuzz: $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
    -print_final_stats=0 "$corpus" "${seeds[@]}" >"build/fuzz/$name.log" 2>&1 || {
      tail -n 40 "build/fuzz/$name.log"; exit 1; }
done
