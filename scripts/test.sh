#!/usr/bin/env bash
# Builds Moxalo and runs every test, then the same tests and the fuzz targets under the
# sanitizers (scripts/sanitize.sh); exits non-zero when any test fails or any fuzz target finds
# something.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
build=${MOXALO_BUILD:-$top/build}
(cd "$build" && ctest --output-on-failure -j"$(nproc)")
"$top/scripts/sanitize.sh"
