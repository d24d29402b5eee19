#!/usr/bin/env bash
# Builds the fuzz targets with clang++ (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time, starting from its checked-in corpus, which it replays
# first: every input there, crash inputs found earlier included, must pass again.
#   tests/fuzz/run.sh <build dir>
# KWIX_FUZZ_SECONDS: seconds per target (default 20). Targets run side by side, as many
# at a time as there are processors. New inputs go to <build dir>/corpus/<target>; a
# failing input is kept as <build dir>/crashes/<target>-crash-*: once the fault is fixed,
# check it in under tests/fuzz/corpus/<target>/ as a regression case.
# Prints one line per target with its executions, then "N passed, M failed".
set -euo pipefail
if [ $# -ne 1 ]; then echo "usage: $0 <build dir>" >&2; exit 2; fi
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$1"
build=$(cd "$1" && pwd)
seconds=${KWIX_FUZZ_SECONDS:-20}
jobs=$(nproc)

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$jobs" -- --no-print-directory >/dev/null

# target, corpus folder, longest input: settings files cross the reader's 4096-byte buffer.
targets=("SettingsFuzz settings 12000" "NumberParseFuzz parse 4096" "NumberFormatFuzz format 16")

run_one() {
  local name=$1 corpus=$2 maxlen=$3
  mkdir -p "$build/corpus/$corpus" "$build/crashes"
  "$build/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$maxlen" \
    -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
    "$build/corpus/$corpus" "$here/corpus/$corpus" >"$build/$name.log" 2>&1
}

declare -A pid_of=()
for t in "${targets[@]}"; do
  read -r name corpus maxlen <<<"$t"
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do sleep 0.2; done
  run_one "$name" "$corpus" "$maxlen" &
  pid_of[$name]=$!
done

passed=0 failed=0
for t in "${targets[@]}"; do
  read -r name corpus maxlen <<<"$t"
  status=0
  wait "${pid_of[$name]}" || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$name.log" | tail -1)
  seeds=$(find "$here/corpus/$corpus" -type f | wc -l)
  if [ "$status" = 0 ]; then
    passed=$((passed + 1))
    echo "fuzz $name: ${runs:-?} executions in $seconds s from $seeds checked-in inputs, no fault"
  else
    failed=$((failed + 1))
    echo "fuzz $name: FAILED (exit $status) after ${runs:-?} executions; log $build/$name.log"
    grep -E "fuzz:|ERROR|runtime error|SUMMARY|Test unit written" "$build/$name.log" | head -20 | sed 's/^/  /'
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" = 0 ]
