#!/usr/bin/env bash
# Runs a command on a private Xvfb display, for the tests that need a real
# pointer: Xvfb picks a free display number itself and tells it.
set -euo pipefail
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$numberfile"' EXIT
for _ in $(seq 100); do
  [ -s "$numberfile" ] && break
  sleep 0.1
done
[ -s "$numberfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numberfile")"
export QT_QPA_PLATFORM=xcb
"$@"
