#!/usr/bin/env bash
# Builds Moxalo and runs it: with no arguments, lists the registered file types of the
# registry found as the program looks for one (--registry, MOXALO_REGISTRY, $WINEPREFIX,
# ~/.wine, else the bundled sample). Arguments go to moxalo-cli, e.g. `query .txt`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Set-up chatter goes to stderr, so that `run.sh list > file` leaves only the list in the file.
"$top/scripts/setup.sh" >&2
build=${MOXALO_BUILD:-$top/build}
if [ $# -eq 0 ]; then
  set -- list
fi
exec "$build/bin/moxalo-cli" "$@"
