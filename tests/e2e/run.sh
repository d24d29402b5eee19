#!/usr/bin/env bash
# End-to-end tier: the real kwix.exe under Wine in Xvfb, driven through X like a user,
# beside kwix_e2e.exe, the application it types into.
#   tests/e2e/run.sh <windows build dir> <artifacts dir>
# Prints one PASS/FAIL line per scenario and the count; exits non-zero when one fails.
# Screenshots and the Wine log go to <artifacts dir>/e2e.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 <windows build dir> <artifacts dir>" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
win=$(cd "$1" && pwd)
art=$(mkdir -p "$2/e2e" && cd "$2/e2e" && pwd)
source "$here/../../scripts/lib/winenv.sh"
[ -f "$win/tests/e2e/kwix_e2e.exe" ] || { echo "build the Windows tree $win first" >&2; exit 2; }
# A private copy of the program: the settings file written beside it stays out of the build tree.
install -D "$win/app/kwix.exe" "$win/e2e-run/kwix.exe"
loader=$(kwix_wine_loader "$(kwix_win_arch)")
# Only what this script started is stopped: the caller's display stays.
trap 'kwix_stop_prefix; kwix_stop_xvfb' EXIT
kwix_start_xvfb
# Whatever an interrupted earlier run left in the prefix goes first.
WINEPREFIX="$win/e2e-prefix" "$(dirname "$loader")/wineserver" -k 2>/dev/null || true
kwix_prepare_prefix "$win/e2e-prefix" "$(kwix_win_arch)"
timeout 900 python3 "$here/e2e.py" "$loader" "$win/e2e-run/kwix.exe" "$win/tests/e2e/kwix_e2e.exe" "$art"
