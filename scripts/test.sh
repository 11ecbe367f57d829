#!/usr/bin/env bash
# Installs the dependencies, builds the sanitizer test build and runs every
# test, does the same in the optimised test build, then gives each
# file-reader fuzz target a short bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
jobs=$(nproc)

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" --no-tests=error

# The same tests optimised and without the sanitizers' allocator: a library
# reading a buffer already given back only shows here.
cmake --preset opt >/dev/null
cmake --build --preset opt -j "$jobs"
ctest --preset opt -j "$jobs" --no-tests=error

if ls fuzz/*_fuzz.cpp >/dev/null 2>&1; then
  ./scripts/fuzz.sh "${QV_FUZZ_SECONDS:-8}"
fi
