#!/usr/bin/env bash
# Starts the desktop program from a build folder; without a display, says how to run it anyway.
set -euo pipefail
build=${1:-build}
program="$build/src/ui/quillet"
if [ ! -x "$program" ]; then
  echo "The desktop program was not built ($program is missing)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
There is no display here, so the window cannot be shown.
Run it on a virtual display instead:
    xvfb-run -a $program
or convert a table without a window:
    $build/src/cli/quillet-cli convert samples/customers.dbf --to csv --out /tmp
MSG
  exit 1
fi
exec "$program"
