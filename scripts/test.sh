#!/usr/bin/env bash
# Builds KWIX and runs every test tier:
#   1. native unit tests (GoogleTest under CTest);
#   2. the same tests plus Win32 integration tests, cross-compiled and run under Wine;
#   3. end-to-end tests of the real kwix.exe under Wine in Xvfb, driven with xdotool;
#   fuzz: the settings reader and the number conversions under libFuzzer (clang), after tier 1.
# Installs what it needs first. Options:
#   --sanitize   also run tier 1 under AddressSanitizer and UndefinedBehaviorSanitizer
#   --tier N     run only tier N (repeatable; N is 1, 2, 3 or fuzz)
# KWIX_FUZZ_SECONDS sets the fuzzing time per target (default 20).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/lib/winenv.sh

sanitize=0
tiers=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize=1 ;;
    --tier) tiers+=("$2"); shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#tiers[@]} -gt 0 ] || tiers=(1 fuzz 2 3)
want() { local t; for t in "${tiers[@]}"; do [ "$t" = "$1" ] && return 0; done; return 1; }

jobs=$(nproc)
scripts/setup.sh

cleanup() { kwix_stop_prefix; kwix_stop_xvfb; }
trap cleanup EXIT

if want 1; then
  echo "== tier 1: native unit tests"
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/native -j "$jobs" -- --no-print-directory >/dev/null
  ctest --test-dir build/native -j "$jobs" --output-on-failure
  if [ "$sanitize" = 1 ]; then
    echo "== tier 1 under AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKWIX_SANITIZE=ON >/dev/null
    cmake --build build/sanitize -j "$jobs" -- --no-print-directory >/dev/null
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build/sanitize -j "$jobs" --output-on-failure
  fi
fi

if want fuzz; then
  echo "== fuzzing: libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, ${KWIX_FUZZ_SECONDS:-20} s per target"
  tests/fuzz/run.sh build/fuzz
fi

arch=$(kwix_win_arch)
win=build/win-$arch
if want 2 || want 3; then
  echo "== Windows build ($arch)"
  cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" >/dev/null
  cmake --build "$win" -j "$jobs" -- --no-print-directory >/dev/null
  if [ "$arch" != i686 ]; then
    # The shipped program is 32-bit: build it too, even where it cannot run. A folder
    # configured for the other thread model keeps its compiler: start that one afresh.
    grep -qs 'KWIX_MINGW_THREADS:STRING=win32' build/win-i686/CMakeCache.txt || rm -rf build/win-i686
    cmake -S . -B build/win-i686 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DKWIX_MINGW_THREADS=win32 \
      -DBUILD_TESTING=OFF >/dev/null
    cmake --build build/win-i686 -j "$jobs" --target kwix -- --no-print-directory >/dev/null
    echo "note: this machine runs no 32-bit processes; the Wine tiers run the 64-bit build of the same code"
  fi
  scripts/check-exe.sh build/win-i686/app/kwix.exe
fi

if want 2; then
  echo "== tier 2: Windows tests under Wine ($arch)"
  kwix_start_xvfb
  kwix_prepare_prefix "$top/$win/wineprefix" "$arch"
  # Now and then Wine fails to start a process at all (no output, at once); such a test is
  # run again, up to three times in all. A test that fails on its own merits fails each time.
  ctest --test-dir "$win" -j "$jobs" --output-on-failure --repeat until-pass:3
fi

if want 3; then
  echo "== tier 3: end-to-end under Wine in Xvfb ($arch)"
  tests/e2e/run.sh "$win" build/artifacts
fi
