#!/usr/bin/env bash
# Opens a table in the main window without a display and saves a picture of the window and of
# each dialog (OUT-frmSave.png, OUT-frmColumns.png, ... beside OUT.png).
#   scripts/screenshot.sh [TABLE] [OUT.png]   (defaults: samples/customers.dbf, build/quillet.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
table=${1:-samples/customers.dbf}
out=${2:-$build/quillet.png}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quillet_screenshot >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tests/ui/quillet_screenshot" "$table" "$out"
ls "$out" "${out%.png}"-frm*.png
