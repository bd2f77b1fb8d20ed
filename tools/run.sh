#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/app/ZEPConverter ]; then
    exec build/default/app/ZEPConverter "$@"
fi
build/default/cli/zepconv --help
