#!/usr/bin/env bash
# Saves pictures of the main window (opening size and maximised) and of every dialog without a
# display, at scale 1 and 2, for each table given (default: every sample table):
#   scripts/screenshot.sh [TABLE...]   ->  build/screenshots/<table>-<scale>x-<window>.png
# Exits with 1 when a caption does not show whole.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
out=${OUT:-$build/screenshots}
if [ $# -eq 0 ]; then set -- samples/*.dbf; fi
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quillet_screenshot >/dev/null
mkdir -p "$out"
# A 2560 x 1600 screen, so that a maximised window at scale 2 still has its 1280 x 800 points.
screen="$out/screen.json"
echo '{"screens": [{"name": "screen", "x": 0, "y": 0, "width": 2560, "height": 1600, "logicalDpi": 96}]}' >"$screen"
status=0
for table in "$@"; do
  for scale in 1 2; do
    prefix="$out/$(basename "$table" .dbf)-${scale}x"
    QT_QPA_PLATFORM="offscreen:configfile=$screen" QT_SCALE_FACTOR=$scale "$build/src/ui/quillet_screenshot" "$table" "$prefix" || status=1
  done
done
ls "$out"/*.png | wc -l | xargs echo "pictures in $out:"
exit $status
