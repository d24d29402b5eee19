#!/usr/bin/env bash
# End-to-end tier: the real kwix.exe under Wine in Xvfb, driven with xdotool beside the
# test's own target application.
#   tests/e2e/run.sh <windows build dir> <artifacts dir>
# Prints one PASS/FAIL line per scenario and finally "N passed, M failed"; exits non-zero
# when a scenario fails. Screenshots and the Wine log go to <artifacts dir>/e2e.
# E2E_ONLY="name ..." runs only those scenarios (the harness check always runs).
set -euo pipefail
if [ $# -ne 2 ]; then echo "usage: $0 <windows build dir> <artifacts dir>" >&2; exit 2; fi
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
win=$(cd "$1" && pwd)
mkdir -p "$2/e2e"
art=$(cd "$2/e2e" && pwd)
source "$top/scripts/lib/winenv.sh"

arch=$(kwix_win_arch)
loader=$(kwix_wine_loader "$arch")
for exe in tests/e2e/kwix_target.exe tests/e2e/kwix_probe.exe; do
  if [ ! -f "$win/$exe" ]; then echo "missing $win/$exe: build the Windows tree first" >&2; exit 2; fi
done

# Only what this script started is stopped: the caller's prefix and display stay.
prepared=0
cleanup() { if [ "$prepared" = 1 ]; then kwix_stop_prefix; fi; kwix_stop_xvfb; }
trap cleanup EXIT
kwix_start_xvfb

kwix_prepare_prefix "$win/e2e-prefix" "$arch"
prepared=1
# Whatever an interrupted earlier run left in this prefix goes first.
wineserver_bin="$(dirname "$loader")/wineserver"
"$wineserver_bin" -k >/dev/null 2>&1 || true
"$wineserver_bin" -w >/dev/null 2>&1 || true
"$wineserver_bin" -p 60 >/dev/null 2>&1 || true

# A private copy of the program, so that the settings file the tests write beside it
# stays out of the build tree.
run="$win/e2e-run"
mkdir -p "$run"
rm -f "$run/kwix.exe" "$run/kwix.ini"
if [ -f "$win/app/kwix.exe" ]; then cp "$win/app/kwix.exe" "$run/kwix.exe"; fi

only=()
for s in ${E2E_ONLY:-}; do only+=(--only "$s"); done
echo "setup took ${SECONDS} s (display $DISPLAY, prefix $WINEPREFIX); screenshots go to $art"
python3 "$here/e2e.py" --loader "$loader" --kwix "$run/kwix.exe" \
  --target "$win/tests/e2e/kwix_target.exe" --probe "$win/tests/e2e/kwix_probe.exe" \
  --artifacts "$art" "${only[@]}"
