#!/bin/sh
# Starts an unpacked installation of the program on a picture, as a file manager's
# "Open With" would, and checks from outside through the accessibility bus that it shows
# that picture, then that F1 hands the installed help page to the desktop.
#   tools/check-installed.sh ROOT     (ROOT holds usr/bin/vistrel)
# Run it with a display (xvfb-run) and a session bus (dbus-run-session).
set -eu
root=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'kill "$app" 2>/dev/null || true; kill "$bus" 2>/dev/null || true; rm -rf "$work"' EXIT
app= bus=
mkdir -p "$work/bin" "$work/config"
# The desktop's opener, replaced by one that records what it was given.
printf '#!/bin/sh\necho "$@" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 & bus=$!
sleep 1
picture="$root/usr/share/vistrel/sample-landscape.jpg"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$work/config" PATH="$work/bin:$PATH" \
    "$root/usr/bin/vistrel" "$picture" & app=$!
/usr/bin/python3 "$(dirname "$0")/find-label.py" Vistrel "Image: sample-landscape.jpg - " 30
window=$(xdotool search --sync --onlyvisible --name '^Vistrel 1.00$' | head -1)
xdotool windowfocus --sync "$window" key F1
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.2; done
opened=$(cat "$work/opened" 2>/dev/null || true)
[ "$opened" = "file://$root/usr/share/vistrel/help.html" ] || {
    echo "F1 opened '$opened', not the installed help page"; exit 1; }
[ -f "${opened#file://}" ] || { echo "F1 opened $opened, which does not exist"; exit 1; }
echo "installed program showed $picture and opened its help page"
