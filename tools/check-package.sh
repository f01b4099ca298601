#!/bin/sh
# Builds the Debian package from the build folder, unpacks it into a throw-away root and
# checks that everything a desktop needs is in place and that the program there runs.
set -eu
build=${1:-build}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
(cd "$build" && rm -f vistrel_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vistrel_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "no library dependencies in $deb"; exit 1; }
dpkg -x "$deb" "$root"
for f in bin/vistrel libexec/vistrel/vistrel-metafile share/vistrel/help.html share/vistrel/sample-landscape.jpg \
    share/applications/example.quorvane.Vistrel.desktop \
    share/metainfo/example.quorvane.Vistrel.metainfo.xml \
    share/icons/hicolor/scalable/apps/vistrel.svg; do
    [ -e "$root/usr/$f" ] || { echo "missing in the package: /usr/$f"; exit 1; }
done
for size in 16 32 48 64 128 256; do
    [ -e "$root/usr/share/icons/hicolor/${size}x$size/apps/vistrel.png" ] || {
        echo "missing icon ${size}x$size"; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/example.quorvane.Vistrel.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.quorvane.Vistrel.metainfo.xml"
version=$("$root/usr/bin/vistrel" --version)
[ "$version" = "Vistrel 1.0.3" ] || { echo "unexpected version: $version"; exit 1; }
xvfb-run -a dbus-run-session -- sh "$(dirname "$0")/check-installed.sh" "$root" 2>/dev/null
echo "package $(basename "$deb") checked"
