#!/bin/sh
# Installs the Debian 12 packages needed to build, run and test the program.
# Runs apt-get through sudo when not already root.
set -e
packages="build-essential cmake git pkg-config qt6-base-dev qt6-image-formats-plugins \
libgl-dev libcups2-dev desktop-file-utils appstream libgtest-dev libgmock-dev googletest \
libbenchmark-dev qt6-svg-dev libemf2svg-dev libwmf-dev libuemf-dev librsvg2-bin"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
