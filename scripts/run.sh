#!/usr/bin/env bash
# Builds kwix.exe and runs it under Wine, with Wine's Notepad beside it as a place to type
# into (synthetic keystrokes from a Wine program reach Wine programs), both in one Wine
# virtual desktop: there Wine turns pointer motion into the raw mouse input that wakes the
# resting pad at once. Draw a circle with the mouse inside that window to summon the pad;
# Ctrl+C here ends both.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/lib/winenv.sh

scripts/setup.sh
arch=$(kwix_win_arch)
build=build/win-$arch
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target kwix -- --no-print-directory >/dev/null
echo "built $build/app/kwix.exe ($arch)"

if [ -z "${DISPLAY:-}" ]; then
  kwix_start_xvfb
  echo "no display: running on the virtual X display $DISPLAY"
fi
loader=$(kwix_wine_loader "$arch")
# Older versions of this command made their prefixes beside the build folders; each goes,
# its wineserver ended first (found through that prefix alone, never by name).
for old in build/run-prefix-* build/run-desktop-prefix-*; do
  [ -d "$old" ] || continue
  WINEPREFIX="$top/$old" "$(dirname "$loader")/wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$old"
done
kwix_prepare_prefix "$top/$build/run-prefix" "$arch"

"$loader" notepad.exe >/dev/null 2>&1 &
notepad=$!
"$loader" "$build/app/kwix.exe" &
kwix=$!
stop() {
  kill "$kwix" "$notepad" 2>/dev/null || true
  kwix_stop_prefix
  kwix_stop_xvfb
}
trap stop EXIT INT TERM
echo "kwix.exe is running: draw a circle with the mouse in Wine's desktop window to show the pad (Ctrl+C to stop)"
wait "$kwix" || true
