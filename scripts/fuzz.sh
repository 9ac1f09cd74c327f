#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# each for SECONDS seconds (default 600), one after the other, starting from the seed corpus in
# fuzz/corpus/<target>. Usage: fuzz.sh [SECONDS] [TARGET...]; all targets when none is named.
# Inputs the fuzzer finds go to $build/corpus/<target> (not into the repository), crashes to
# $build/findings/<target>. Prints one summary line per target; exits non-zero on any finding.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${MOXALO_FUZZ_BUILD:-$top/build-fuzz}
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
  targets=(fuzz_properties fuzz_catalogue fuzz_regfile fuzz_wine fuzz_hive fuzz_hive_logs fuzz_write
    fuzz_profile fuzz_cmdline)

# The build of scripts/sanitize.sh serves as well, as long as it has the fuzz targets.
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMOXALO_WERROR=ON -DMOXALO_SANITIZE=ON -DMOXALO_BUILD_FUZZ=ON -DMOXALO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" >/dev/null

# A report of either sanitizer ends the run, as a crash would.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

failed=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus" "$findings"
  status=0
  (cd "$findings" && "$build/bin/$target" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 "$corpus" "$top/fuzz/corpus/$target") \
    >"$log" 2>&1 || status=$?
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  # A slow input (slow-unit-*) is no finding: a loaded machine makes those.
  crashes=$(find "$findings" -type f ! -name 'slow-unit-*' | wc -l)
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    echo "$target: FINDING (exit $status) after ${execs:-?} executions; see $log and $findings"
  else
    echo "$target: ${seconds}s, ${execs:-?} executions, ${last#*	}; findings: none"
  fi
done
exit $failed
