#!/usr/bin/env bash
# Installs the dependencies, builds the sanitizer test build and runs every
# test, runs the engine's tests in the optimised build, then gives each
# file-reader fuzz target a short bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs=$(nproc)

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" --no-tests=error

# The engine's tests again, optimised and without the sanitizers' allocator:
# a library reading a buffer already given back only shows there. The
# windows' tests stay with the sanitizer build, which keeps the whole
# command within the time a two-core machine has for it (the `opt` preset
# builds them too).
cmake --preset opt-engine >/dev/null
cmake --build --preset opt-engine -j "$jobs"
ctest --preset opt-engine -j "$jobs" --no-tests=error

if ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then
  ./scripts/fuzz.sh "${QV_FUZZ_SECONDS:-8}"
fi
