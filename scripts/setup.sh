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
  qt6-translations-l10n  # Qt's own texts (dialog buttons, file and print dialogs) in German and Dutch
  poppler-utils  # pdfinfo, pdftotext, pdffonts, pdftoppm: read back a printed certificate
  desktop-file-utils appstream  # desktop-file-validate, appstreamcli: the menu entry and metainfo
  debhelper dpkg-dev lintian  # make package builds the Debian package, make test checks it
  git  # make mutants changes only files whose every change is committed
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
