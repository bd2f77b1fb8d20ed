#!/usr/bin/env bash
# Makes docs/screenshot.png: the main window with the sample files of examples/ loaded and
# compared, drawn by the program itself on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target ZEPScreenshot
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/default/app/ZEPScreenshot examples docs/screenshot.png
echo "docs/screenshot.png"
