#!/bin/sh
# Installs the Debian 12 packages needed to build, run and test the program.
# Runs apt-get through sudo when not already root.
set -e
packages="build-essential cmake git pkg-config qt6-base-dev qt6-image-formats-plugins \
libgl-dev libcups2-dev desktop-file-utils appstream libgtest-dev libgmock-dev googletest \
libbenchmark-dev librsvg2-bin libjpeg-dev libexif-dev"
# Picture formats: qt6-image-formats-plugins reads WebP and TIFF, qt6-svg-dev brings Qt's SVG
# reader, libheif-dev reads HEIC and AVIF (its decoders come with it); libheif-examples writes
# the HEIC pictures of the thumbnail benchmark. WMF and EMF: libemf2svg-dev and libwmf-dev
# read them, libuemf-dev writes the sample metafiles.
packages="$packages qt6-svg-dev libheif-dev libheif-examples libemf2svg-dev libwmf-dev libuemf-dev"
# The package check starts the installed program on a virtual screen and reads its window
# through the accessibility bus.
packages="$packages xvfb xauth xdotool dbus at-spi2-core gir1.2-atspi-2.0 python3-gi"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
$SUDO apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
