#!/usr/bin/env bash
# Installs the Debian packages that building and testing Murlen need, and
# nothing when all of them are there already. Xvfb and xdotool serve the one
# test that drags a piece with a real pointer on a real X display.
set -euo pipefail

packages=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libglpk-dev  # the solver's linear relaxation
  fonts-dejavu-core
  libbenchmark-dev  # the drawing benchmarks in bench/
  cadical  # the solver benchmark in bench/ compares against this SAT solver
  glpk-utils  # glpsol: the solver benchmark's integer program, where CaDiCaL runs out of time
  xvfb xdotool
  openbox x11-utils  # a real window manager for the tests that resize and maximise, and xprop to wait for it
  qt6-translations-l10n  # Qt's own texts (dialog buttons, file and print dialogs) in German and Dutch
  poppler-utils  # pdfinfo, pdftotext, pdffonts, pdftoppm: read back a printed certificate
  desktop-file-utils appstream  # desktop-file-validate, appstreamcli: the menu entry and metainfo
  debhelper dpkg-dev lintian  # make package builds the Debian package, make test checks it
  git  # make mutants changes only files whose every change is committed
)

# dpkg-query only reads dpkg's database and takes no lock, so another install
# running does not disturb it; a package that install has only half done counts
# as missing. No pipe: grep -q leaving early would fail the query under pipefail.
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null || true)
  [[ $status == *"install ok installed"* ]] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# While another program installs, apt-get waits for dpkg's lock (up to an hour)
# instead of failing. Its messages in English are read below.
apt=($sudo env DEBIAN_FRONTEND=noninteractive LC_ALL=C apt-get -qq -o DPkg::Lock::Timeout=3600)

# apt-get update does not wait for the lock on the package lists that another
# update holds (apt 2.6): it is tried again for as long, and any other failure
# ends the set-up at once.
for attempt in $(seq 720); do
  if output=$("${apt[@]}" update 2>&1); then break; fi
  if ! grep -q 'Could not get lock' <<<"$output" || [ "$attempt" -eq 720 ]; then
    printf '%s\n' "$output" >&2
    exit 1
  fi
  [ "$attempt" -eq 1 ] && echo "Waiting for another program's apt-get update to end"
  sleep 5
done
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
