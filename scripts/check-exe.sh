#!/usr/bin/env bash
# Checks that a built kwix.exe is what users get: a Windows GUI program (no console)
# with its icon, aware of each monitor's DPI, that imports nothing but Windows' own DLLs.
set -euo pipefail
exe=$1
# The 64-bit binutils read 32-bit programs too.
objdump=x86_64-w64-mingw32-objdump
info=$("$objdump" -p "$exe")
fail() { echo "check-exe: $exe: $*" >&2; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$info" || fail "not a GUI program"
# An icon group (resource type 14) among the resource types: what Explorer shows.
grep -qE '^[0-9a-f]+   Entry: ID: 0x00000e,' <<<"$info" || fail "carries no icon"
dlls=$(grep 'DLL Name:' <<<"$info" | awk '{print toupper($3)}' | sort -u | tr '\n' ' ')
for dll in $dlls; do
  case "$dll" in
    KERNEL32.DLL|USER32.DLL|GDI32.DLL|MSVCRT.DLL|ADVAPI32.DLL) ;;
    *) fail "imports $dll" ;;
  esac
done
# The manifest asks for the DPI of each monitor, not one bitmap-stretched DPI.
grep -qa '>PerMonitorV2, PerMonitor<' "$exe" || fail "has no per-monitor DPI awareness in its manifest"
format=$(grep -m1 'file format' <<<"$("$objdump" -f "$exe")" | awk '{print $NF}')
echo "check-exe: $exe: $format, Windows GUI with an icon, per-monitor DPI aware, imports $dlls, $(stat -c %s "$exe") bytes"
