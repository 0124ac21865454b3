#!/usr/bin/env bash
# Redraws the desktop program's icon and list images into src/ui/resources.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target make_ui_images
QT_QPA_PLATFORM=offscreen "$build/src/ui/make_ui_images" src/ui/resources
