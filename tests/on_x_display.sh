#!/usr/bin/env bash
# Runs a command on a private Xvfb display, for the tests that need a real
# pointer: Xvfb picks a free display number itself and tells it. The screen is
# $MURLEN_SCREEN (1024x768x24 unless set); with MURLEN_WINDOW_MANAGER set, that
# window manager runs on the display too.
set -euo pipefail
numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${MURLEN_SCREEN:-1024x768x24}" -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$numberfile"' EXIT
for _ in $(seq 100); do
  [ -s "$numberfile" ] && break
  sleep 0.1
done
[ -s "$numberfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numberfile")"
export QT_QPA_PLATFORM=xcb
if [ -n "${MURLEN_WINDOW_MANAGER:-}" ]; then
  "$MURLEN_WINDOW_MANAGER" >/dev/null 2>&1 &
  wm=$!
  trap 'kill $wm $xvfb 2>/dev/null; rm -f "$numberfile"' EXIT
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
fi
"$@"
