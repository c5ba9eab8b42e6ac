#!/usr/bin/env bash
# Installs the Debian packages the workbench needs, only those missing.
#   install-deps.sh build   what building and running need
#   install-deps.sh test    that, plus the independent programs the tests
#                           compare our files with (image, dBase and
#                           ephemeris readers and writers, a virtual X server)
set -euo pipefail
what=${1:-build}

build_pkgs=(g++ cmake make pkg-config libsdl2-dev zlib1g-dev libgtest-dev libbenchmark-dev libswe-dev swe-basic-data
            libhowardhinnant-date-dev tzdata)
test_pkgs=(xvfb xauth xdotool openbox x11-apps imagemagick pngcheck python3 python3-pil
           python3-dbfread python3-dbf gdal-bin clang netpbm)

pkgs=("${build_pkgs[@]}")
[ "$what" = test ] && pkgs+=("${test_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
