#!/usr/bin/env bash
# Installs the build into a scratch folder as `make install` does, and checks
# what a desktop needs from it: the program folder with everything the game
# reads, a launcher that starts the program, a valid menu entry that names the
# launcher, valid metainfo and the icon in every size.
# Usage: check_install.sh BUILD_DIR SCRATCH_PREFIX SOURCE_DIR
set -euo pipefail
build=$1
prefix=$2
source=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

folder=$prefix/lib/murlen
[ -x "$folder/murlen" ] || fail "no program in $folder"
for page in TRIANGLEHELP.html TRIANGLEHELPDE.html TRIANGLEHELPNL.html; do
  [ -f "$folder/$page" ] || fail "no $page in $folder"
done
shopt -s nullglob
for file in "$source"/resources/figures/*.dat "$source"/resources/help/*.html "$source"/resources/help/*.png; do
  cmp -s "$file" "$folder/$(basename "$file")" || fail "$(basename "$file") not installed in $folder"
done

launcher=$prefix/bin/murlen
[ -x "$launcher" ] || fail "no launcher $launcher"
# The launcher must start the program: one that could not be started ends at
# once, a started game keeps running until the time is up.
set +e
QT_QPA_PLATFORM=offscreen timeout 3 "$launcher" >/dev/null 2>&1
status=$?
set -e
[ "$status" -eq 124 ] || fail "the launcher did not start the game (exit status $status)"

entry=$prefix/share/applications/org.murlen.Murlen.desktop
desktop-file-validate "$entry" || fail "$entry is not valid"
grep -qx "Exec=\"$prefix/bin/murlen\"" "$entry" || fail "$entry does not start $launcher"
appstreamcli validate --no-net "$prefix/share/metainfo/org.murlen.Murlen.metainfo.xml" >/dev/null ||
  fail "the installed metainfo is not valid"
for size in 16 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/org.murlen.Murlen.png" ] || fail "no ${size}x${size} icon"
done
echo "installed and checked in $prefix"
