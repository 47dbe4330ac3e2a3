#!/usr/bin/env bash
# The game in progress, with the real program on the display of
# tests/on_x_display.sh: killed with SIGKILL two moves and a paused clock in,
# it is offered at the next start, and Yes brings back both pieces on their
# cells and the seconds counted (read from a game saved through the file
# dialog), and the save question guards it; after an exit the player chose,
# nothing is offered. The window's place and size, and the figure chosen in
# the figure chooser, come back at the next start. The program runs from a copy of its folder, with a home
# of its own.
set -euo pipefail
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$1" "$work/bin"
export HOME=$work/home LC_ALL=C.UTF-8 LANGUAGE=en
mkdir -p "$HOME"
fail() { echo "FAIL: $*" >&2; exit 1; }
# A search that meets a window closing meanwhile fails with BadWindow: asked again.
window() {
  local found
  for _ in $(seq 100); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}
start() {
  "$work/bin/murlen" 2>>"$work/log" &
  pid=$!
  game=$(window "^Game: ${1:-Triangle}\$") || fail "the game window did not show"
  xdotool windowfocus --sync "$game"
}
games_kept() { find "$HOME" -name '*.kyp' | wc -l; }

start
xdotool key --delay 100 Right Right Right space Tab Right Tab Right space  # pieces 2 and 3 on cells 1 and 2
sleep 2.5
xdotool key ctrl+z  # a pause keeps the seconds at once
sleep 1
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
[ "$(find "$HOME/.local/state/Murlen" -name '*.kyp' | wc -l)" = 1 ] || fail "no game was kept in the state folder"

start
box=$(window '^Interrupted game$') || fail "the game was not offered"
xdotool windowfocus --sync "$box" key Return  # Yes
sleep 1
xdotool windowfocus --sync "$game" key ctrl+a
dialog=$(window '^Save As$') || fail "no save dialog"
xdotool windowfocus --sync "$dialog" type --delay 20 "$work/restored.kyp"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/restored.kyp" ] && break; sleep 0.1; done
[ "$(od -An -t d2 -j 256 -N 4 "$work/restored.kyp" | xargs)" = "2 3" ] || fail "the pieces did not come back"
[ "$(dd if="$work/restored.kyp" bs=1 skip=130 count=8 2>/dev/null)" = Triangle ] || fail "the figure did not come back"
[ "$(od -An -t d4 -N 4 "$work/restored.kyp" | xargs)" -ge 2 ] || fail "the seconds did not come back"

# Exit asks the save question; No, and the game kept against a crash goes.
xdotool windowfocus --sync "$game" key ctrl+x
question=$(window '^ $') || fail "no save question"
xdotool windowfocus --sync "$question" key alt+n
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
[ "$(games_kept)" = 0 ] || fail "the game was kept after an exit"
start
sleep 2
[ -z "$(xdotool search --onlyvisible --name '^Interrupted game$' || true)" ] || fail "a game was offered after an exit"

# Moved, resized, and another figure chosen in the chooser; after an exit,
# the next start comes back there.
xdotool windowsize "$game" 700 640 windowmove "$game" 150 90
sleep 0.5
xdotool windowfocus --sync "$game" key alt+g f
chooser=$(window '^Figures$') || fail "no figure chooser"
xdotool windowfocus --sync "$chooser" key Right Return
window '^Game: Rectangle$' >/dev/null || fail "the chooser did not play the figure"
place=$(xdotool getwindowgeometry "$game" | tail -n 2)
xdotool windowfocus --sync "$game" key ctrl+x
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
start Rectangle
[ "$(xdotool getwindowgeometry "$game" | tail -n 2)" = "$place" ] || fail "the window did not come back where it was"
echo "PASS: a killed game comes back, an ended one does not; the window and the figure come back where they were"
