#!/usr/bin/env bash
# Builds KWIX and runs every test tier:
#   style: clang-format's check of the layout and clang-tidy's bug-finding checks;
#   1. native unit tests (GoogleTest under CTest);
#   fuzz: the settings reader and the number conversions under libFuzzer, built with clang
#      and AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the same unit tests cross-compiled and run under Wine;
#   3. end-to-end tests of the real kwix.exe under Wine in Xvfb, driven with xdotool;
#   release: the release zip built twice, apart, and compared (scripts/release.sh --check).
# Installs what it needs first. Options:
#   --sanitize   also run tier 1 in the sanitized build the fuzz targets come from
#   --tier N     run only tier N (repeatable; N is style, 1, fuzz, 2, 3 or release)
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
[ ${#tiers[@]} -gt 0 ] || tiers=(style 1 fuzz 2 3 release)
want() { local t; for t in "${tiers[@]}"; do [ "$t" = "$1" ] && return 0; done; return 1; }

jobs=$(nproc)
scripts/setup.sh

cleanup() { kwix_stop_prefix; kwix_stop_xvfb; }
trap cleanup EXIT
build() { cmake -S . -B "$1" "${@:2}" >/dev/null && cmake --build "$1" -j "$jobs" -- --no-print-directory >/dev/null; }

if want 1 || want style; then
  build build/native -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
fi

if want style; then
  echo "== style: clang-format and clang-tidy"
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
  # The code the native build compiles (the Windows files need the Windows headers).
  git ls-files '*.cpp' | grep -vE 'Win\.cpp$|^bench/|^tests/(e2e|fuzz)/' |
    xargs -P "$jobs" -n 4 clang-tidy -p build/native --quiet 2>/dev/null
  echo "style: clean"
fi

if want 1; then
  echo "== tier 1: native unit tests"
  ctest --test-dir build/native -j "$jobs" --output-on-failure
fi

if want fuzz || { want 1 && [ "$sanitize" = 1 ]; }; then
  build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DKWIX_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++
fi
if want 1 && [ "$sanitize" = 1 ]; then
  echo "== tier 1 under AddressSanitizer and UndefinedBehaviorSanitizer"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize -j "$jobs" --output-on-failure
fi

if want fuzz; then
  seconds=${KWIX_FUZZ_SECONDS:-20}
  echo "== fuzzing: libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, $seconds s per target"
  # Each target starts from its checked-in corpus, replaying every input there (faults found
  # earlier included); a failing input is kept in build/sanitize/fuzz for tests/fuzz/corpus/.
  pids=()
  for t in SettingsFuzz:settings NumberParseFuzz:parse NumberFormatFuzz:format; do
    mkdir -p "build/sanitize/fuzz/${t#*:}"
    build/sanitize/tests/"${t%:*}" -max_total_time="$seconds" -timeout=10 -max_len=12000 \
      -artifact_prefix=build/sanitize/fuzz/ "build/sanitize/fuzz/${t#*:}" "tests/fuzz/corpus/${t#*:}" \
      >"build/sanitize/fuzz/${t%:*}.log" 2>&1 &
    pids+=($!)
  done
  failed=0
  for p in "${pids[@]}"; do wait "$p" || failed=1; done
  for log in build/sanitize/fuzz/*.log; do echo "$(basename "$log" .log): $(grep -h "^Done" "$log" || echo failed)"; done
  if [ "$failed" = 1 ]; then grep -h -A12 "ERROR\|deadly" build/sanitize/fuzz/*.log; exit 1; fi
fi

arch=$(kwix_win_arch)
win=build/win-$arch
if want 2 || want 3; then
  echo "== Windows build ($arch)"
  build "$win" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake"
  if [ "$arch" != i686 ]; then
    # The shipped program is 32-bit: build it too, even where it cannot run. A folder
    # configured for the other thread model keeps its compiler: start that one afresh.
    grep -qs 'KWIX_MINGW_THREADS:STRING=win32' build/win-i686/CMakeCache.txt || rm -rf build/win-i686
    cmake -S . -B build/win-i686 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DKWIX_MINGW_THREADS=win32 \
      -DBUILD_TESTING=OFF >/dev/null
    cmake --build build/win-i686 -j "$jobs" --target kwix -- --no-print-directory >/dev/null
    echo "note: the Wine tiers run the 64-bit build of the same code (KWIX_WIN_ARCH, or no 32-bit processes here)"
  fi
  scripts/check-exe.sh build/win-i686/app/kwix.exe
fi

if want 2; then
  echo "== tier 2: the unit tests under Wine ($arch)"
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

if want release; then
  echo "== release: two builds of the zip, compared"
  scripts/release.sh --check
fi
