#!/usr/bin/env bash
# Checks the Debian package as a user gets it: lintian finds no error and no
# warning; it holds exactly the files an installation needs, the shipped ones
# as in the source; its menu entry and metainfo pass the desktop's validators;
# and, unpacked into a scratch folder, the program answers its command line
# without a display, opens "Game: Triangle" on a display of its own, and saves
# a game typed as a bare name into the user's folder, writing nothing into the
# unpacked tree.
# Usage: check_package.sh PACKAGE.deb SOURCE_DIR
set -euo pipefail
deb=$(realpath "$1")
source=$(realpath "$2")
here=$(dirname "$(realpath "$0")")

fail() { echo "FAIL: $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT

lintian --fail-on error,warning --display-info "$deb" || fail "lintian: errors or warnings"

# The files, and nothing else.
{
  echo usr/games/murlen
  for file in "$source"/resources/figures/*.dat "$source"/resources/help/*.html "$source"/resources/help/*.png; do
    echo "usr/share/games/murlen/$(basename "$file")"
  done
  for icon in "$source"/resources/desktop/icons/murlen-*.png; do
    size=${icon##*-}; size=${size%.png}
    echo "usr/share/icons/hicolor/${size}x${size}/apps/org.murlen.Murlen.png"
  done
  echo usr/share/applications/org.murlen.Murlen.desktop
  echo usr/share/metainfo/org.murlen.Murlen.metainfo.xml
  echo usr/share/man/man6/murlen.6.gz
  echo usr/share/doc/murlen/copyright
  echo usr/share/doc/murlen/changelog.gz
} | sort > "$scratch/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | sort > "$scratch/packed"
diff -u "$scratch/expected" "$scratch/packed" || fail "the package's files differ from the expected ones (- expected, + packed)"
# No maintainer scripts: removing the package removes exactly its files.
[ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -vE '^\./$|^\./(control|md5sums)$')" ] ||
  fail "the package has maintainer scripts"

tree=$scratch/tree
dpkg-deb -x "$deb" "$tree"
data=$tree/usr/share/games/murlen
for file in "$source"/resources/figures/*.dat "$source"/resources/help/*.html "$source"/resources/help/*.png; do
  cmp -s "$file" "$data/$(basename "$file")" || fail "$(basename "$file") differs from the source"
done
desktop-file-validate "$tree/usr/share/applications/org.murlen.Murlen.desktop" || fail "the menu entry is not valid"
appstreamcli validate --no-net --explain "$tree/usr/share/metainfo/org.murlen.Murlen.metainfo.xml" >/dev/null ||
  fail "the metainfo is not valid"
grep -qx 'License: GPL-3.0-or-later' "$tree/usr/share/doc/murlen/copyright" || fail "copyright names no GPL-3.0-or-later"

# The command line, without any display.
version=$(dpkg-deb -f "$deb" Version)
murlen=$tree/usr/games/murlen
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$murlen" "$@" >"$scratch/out" 2>"$scratch/err"; }
run --version || fail "murlen --version ended with $?"
[ "$(cat "$scratch/out")" = "murlen $version" ] || fail "murlen --version printed: $(cat "$scratch/out")"
run --help || fail "murlen --help ended with $?"
grep -q -- '--version' "$scratch/out" || fail "murlen --help does not name --version"
for wrong in --fullscreen Star.dat; do
  status=0; run "$wrong" || status=$?
  [ "$status" -eq 2 ] || fail "murlen $wrong ended with $status, not 2"
  [ ! -s "$scratch/out" ] && [ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "murlen $wrong did not print one line on stderr"
done

# The game from the unpacked files, with a HOME of its own; the tree cannot be
# written (unless this runs as root) and must stay as it was.
export HOME=$scratch/home
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_STATE_HOME
mkdir -p "$HOME"
find "$tree" -printf '%p %s %T@\n' | sort > "$scratch/before"
chmod -R a-w "$tree"
export murlen
"$here/on_x_display.sh" bash -c '
  "$murlen" & game=$!
  disown
  trap "kill $game 2>/dev/null" EXIT
  visible() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
  window=$(visible "^Game: Triangle\$")
  [ -n "$window" ] || { echo "FAIL: no window \"Game: Triangle\"" >&2; exit 1; }
  xdotool windowfocus --sync "$window" key ctrl+a
  dialog=$(visible "^Save As\$")
  [ -n "$dialog" ] || { echo "FAIL: Save As did not open" >&2; exit 1; }
  xdotool windowfocus --sync "$dialog" type --delay 30 saved.kyp
  xdotool key Return
  for _ in $(seq 100); do [ -s "$HOME/.local/share/Murlen/saved.kyp" ] && exit 0; sleep 0.2; done
  echo "FAIL: the game saved as saved.kyp did not reach the user'"'"'s folder" >&2; exit 1'
find "$tree" -printf '%p %s %T@\n' | sort > "$scratch/after"
diff -u "$scratch/before" "$scratch/after" || fail "the game changed its unpacked files"
echo "package $(basename "$deb") checked"
