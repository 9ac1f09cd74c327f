#!/usr/bin/env bash
# Builds Moxalo and runs every test; exits non-zero when any test fails.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
build=${MOXALO_BUILD:-$top/build}
cd "$build"
ctest --output-on-failure -j"$(nproc)"
