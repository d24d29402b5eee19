#!/usr/bin/env bash
# Measures KWIX; BENCHMARKS.md says what each figure means and what it is compared with.
#   scripts/bench.sh [native] [size] [wine]      (all three when none is named)
#   native  Google Benchmark of the hot paths beside their floors (median of 9 repetitions)
#   size    the shipped 32-bit kwix.exe beside a do-nothing program with the same timer and
#           loop; a map file and the largest symbols of an unstripped link
#   wine    the running program under Wine in Xvfb beside the do-nothing program, started
#           together: CPU time idle and while the mouse moves, resident memory, and the time
#           from the circle to the end of the pad's first paint. BENCH_SECONDS (60),
#           BENCH_ROUNDS (3) and BENCH_SHOWS (15) set its length.
# Results go to build/bench/ (builds and results under $KWIX_BUILD_ROOT instead of build/
# when it is set). The test command builds none of this.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source scripts/lib/winenv.sh

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(native size wine)
scripts/setup.sh
root=${KWIX_BUILD_ROOT:-$top/build}
out=$root/bench
mkdir -p "$out"
jobs=$(nproc)

for part in "${parts[@]}"; do
  case "$part" in
  native)
    echo "== native: Google Benchmark"
    cmake -S . -B "$root/bench-native" -DKWIX_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$root/bench-native" -j "$jobs" --target kwix_bench -- --no-print-directory >/dev/null
    # The settings benchmark writes its file in the working folder.
    (cd "$out" && "$root/bench-native/bench/kwix_bench" --benchmark_repetitions=9 \
      --benchmark_report_aggregates_only=true --benchmark_out=native.json --benchmark_out_format=json)
    python3 - "$out/native.json" <<'PY'
import json, sys
runs = {b["run_name"]: b["cpu_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]
        if b.get("aggregate_name") == "median"}
def ratio(a, b):
    print("%-28s %10.1f ns  floor %-20s %10.1f ns  ratio %.2f" % (a, runs[a], b, runs[b], runs[a] / runs[b]))
ratio("BM_IsCircleGesture_Full256", "BM_Floor_256Atan2")
ratio("BM_LoadSettings_All24", "BM_Floor_ReadFile")
print("moving tick: %.1f us = %.3f %% of the 10 ms tick period" % (runs["BM_Tick_Moving"] / 1000, runs["BM_Tick_Moving"] / 1e5))
PY
    ;;
  size)
    echo "== size: the shipped kwix.exe (i686) and the do-nothing floor"
    b=$root/bench-i686
    cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" -DKWIX_MINGW_THREADS=win32 \
      -DBUILD_TESTING=OFF -DKWIX_BENCH=ON >/dev/null
    cmake --build "$b" -j "$jobs" --target kwix kwix_floor -- --no-print-directory >/dev/null
    # The same link without stripping, with a map: what takes the space.
    link=$(sed -e 's/ -s / /' -e "s#-o kwix.exe#-o $out/kwix-unstripped.exe -Wl,-Map,$out/kwix.map#" \
      "$b/app/CMakeFiles/kwix.dir/link.txt" | grep -- "-o $out")
    (cd "$b/app" && eval "$link")
    # Named code and data only, largest first.
    i686-w64-mingw32-nm --size-sort -r -S -C "$out/kwix-unstripped.exe" |
      awk '$3 ~ /^[TtDdRrBb]$/ && $4 !~ /^\./' >"$out/kwix-symbols.txt"
    python3 bench/map_sizes.py "$out/kwix.map" >"$out/kwix-map-summary.txt"
    head -25 "$out/kwix-map-summary.txt"
    echo "largest symbols (all in $out/kwix-symbols.txt):"
    sed -n 1,12p "$out/kwix-symbols.txt"
    echo "kwix.exe $(stat -c %s "$b/app/kwix.exe") bytes; floor $(stat -c %s "$b/bench/kwix_floor.exe") bytes"
    ;;
  wine)
    arch=$(kwix_win_arch)
    b=$root/bench-$arch
    echo "== wine: the running program ($arch) beside the do-nothing floor"
    cmake -S . -B "$b" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" -DKWIX_BENCH=ON >/dev/null
    cmake --build "$b" -j "$jobs" --target kwix kwix_floor kwix_latency kwix_e2e \
      -- --no-print-directory >/dev/null
    cleanup() { kwix_stop_prefix; kwix_stop_xvfb; }
    trap cleanup EXIT
    kwix_start_xvfb
    kwix_prepare_prefix "$b/wineprefix" "$arch"
    python3 bench/wine_measure.py --loader "$(kwix_wine_loader "$arch")" --kwix "$b/app/kwix.exe" \
      --floor "$b/bench/kwix_floor.exe" --latency "$b/bench/kwix_latency.exe" \
      --helper "$b/tests/e2e/kwix_e2e.exe" --out "$out" \
      --seconds "${BENCH_SECONDS:-60}" --rounds "${BENCH_ROUNDS:-3}" --shows "${BENCH_SHOWS:-15}"
    cleanup
    trap - EXIT
    ;;
  *) echo "unknown part $part (native, size, wine)" >&2; exit 2 ;;
  esac
done
