#!/usr/bin/env bash
# Builds Moxalo and runs it. Without a command it opens the window, on the registry found as
# the program looks for one (--registry, MOXALO_REGISTRY, $WINEPREFIX, ~/.wine, else the bundled
# sample); with a moxalo-cli command (list, query, details, save-list, sources) it runs that,
# for example `run.sh --registry ~/.wine query .txt`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# Set-up chatter goes to stderr, so that `run.sh list > file` leaves only the list in the file.
# Only the programs and what they read are built here; the tests are built by test.sh.
"$top/scripts/setup.sh" moxalo moxalo-cli moxalo-regedit moxalo-notepad moxalo_data moxalo_help >&2
build=${MOXALO_BUILD:-$top/build}
for arg in "$@"; do
  case $arg in
  sources | query | list | details | save-list | --help | -h | --version)
    exec "$build/bin/moxalo-cli" "$@"
    ;;
  esac
done
exec "$build/bin/moxalo" "$@"
