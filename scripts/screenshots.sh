#!/usr/bin/env bash
# Takes the README's screenshots of the real program under Wine in Xvfb and writes them to
# docs/: the pad in keypad mode, in calculator mode, and with docs/colour-scheme.ini.
# KWIX_BUILD_ROOT, when set, takes the place of build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/lib/winenv.sh
scripts/setup.sh

arch=$(kwix_win_arch)
root=${KWIX_BUILD_ROOT:-$top/build}
b=$root/win-$arch
cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" >/dev/null
cmake --build "$b" -j "$(nproc)" --target kwix kwix_e2e -- --no-print-directory >/dev/null

cleanup() { kwix_stop_prefix; kwix_stop_xvfb; }
trap cleanup EXIT
# Always a display of its own: the screenshots must not show a desktop of someone else's.
unset DISPLAY
kwix_start_xvfb
kwix_prepare_prefix "$b/screenshot-prefix" "$arch"
run=$b/screenshot-run
mkdir -p "$run"
cp "$b/app/kwix.exe" "$run/kwix.exe"
rm -f "$run/kwix.ini"
python3 scripts/screenshots.py --loader "$(kwix_wine_loader "$arch")" --kwix "$run/kwix.exe" \
  --helper "$b/tests/e2e/kwix_e2e.exe" --artifacts "$root/artifacts/screenshots" --out docs \
  --scheme docs/colour-scheme.ini
