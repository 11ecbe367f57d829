#!/usr/bin/env bash
# Installs the dependencies, builds the optimised application and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec ./build/release/quelvatron "$@"
