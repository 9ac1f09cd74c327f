#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UndefinedBehaviorSanitizer, runs every test
# on that build, then each fuzz target for a short while on its seed corpus (FUZZ_SECONDS, 30 by
# default), so that memory errors, undefined behaviour and crashes on hostile input fail the run.
# Expects the packages of setup.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${MOXALO_SANITIZE_BUILD:-$top/build-sanitize}

# -O1 with line tables only: a fifth faster to build than -O2 -g, and reports still name lines.
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
  -DMOXALO_WERROR=ON -DMOXALO_SANITIZE=ON -DMOXALO_BUILD_FUZZ=ON -DMOXALO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

# Leaks are reported too, except those of the libraries below us, which free at exit what
# they keep for the process's life.
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd "$build" && ctest --output-on-failure -j"$(nproc)")

MOXALO_FUZZ_BUILD=$build "$top/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
