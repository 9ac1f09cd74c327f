#!/bin/sh
# Runs a command on an X display of its own, with a window manager that frames its windows as
# a user's desktop does: Xvfb and openbox, both from Debian.
set -eu

work=$(mktemp -d)
server="" wm=""
trap 'kill $wm $server 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY

# openbox runs its start-up command once it manages the screen.
openbox --sm-disable --startup "touch $work/managing" >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
  [ -e "$work/managing" ] && break
  sleep 0.1
done
[ -e "$work/managing" ] || { echo "openbox did not start:" >&2; cat "$work/openbox.log" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
