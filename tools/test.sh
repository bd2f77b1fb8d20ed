#!/usr/bin/env bash
# Builds and runs every test: the optimised build, then the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
for preset in default asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
