#!/bin/sh
# Runs a command on an X display of its own, with a window manager that frames its windows as
# a user's desktop does: Xvfb and openbox, both from Debian.
set -eu

work=$(mktemp -d)
server="" wm=""
trap 'kill $wm $server 2>/dev/null || true; rm -rf "$work"' EXIT

# await FILE WHAT: waits up to 10 s for FILE to hold something, else says WHAT did not start.
await() {
  for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done
  echo "$2 did not start:" >&2; cat "$work/$2.log" >&2; exit 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/Xvfb.log" &
server=$!
await "$work/display" Xvfb
DISPLAY=:$(cat "$work/display")
export DISPLAY

# openbox runs its start-up command once it manages the screen.
openbox --sm-disable --startup "sh -c 'echo yes >$work/managing'" >"$work/openbox.log" 2>&1 &
wm=$!
await "$work/managing" openbox

QT_QPA_PLATFORM=xcb "$@"
