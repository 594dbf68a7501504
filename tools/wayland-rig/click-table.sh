#!/usr/bin/env bash
# Runs the app in the session that session.sh started (its env loaded) as a
# Wayland session would start it, clicks its tray item through KWin's fake
# input and photographs each step into OUTDIR:
#   1-item  2-click  3-escape  4-right-click-while-open  5-double-click
# plus windows.txt: where the app's windows and the usable area were.
#
#   tools/wayland-rig/click-table.sh OUTDIR [bottom|top]
#
# The item's place in Plasma's default tray, left of the expander arrow,
# with this app the only StatusNotifierItem; ITEM_X / ITEM_Y override it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:?usage: $0 OUTDIR [bottom|top]}
edge=${2:-bottom}
state=${PENDRA_RIG_STATE:?"load the session's env: eval \"\$(tools/wayland-rig/session.sh start)\""}
app=${PENDRA_APP:-$root/build/src/pendrapro}
x=${ITEM_X:-1102}
if [ "$edge" = top ]; then y=${ITEM_Y:-22}; else y=${ITEM_Y:-777}; fi
mkdir -p "$out"

input() { "$state/bin/fake_input" "$@"; }
shot() { sleep 1.5; /usr/bin/python3 "$here/shot.py" "$out/$1.png"; }
windows() {
    { echo "== $1"; xprop -root _NET_WORKAREA
      xwininfo -root -tree | grep -E '"(Pendra Pro|Plasma)".*[0-9]+x[0-9]+' | grep -v ' 1x1+' || true
    } >>"$out/windows.txt"
}

qdbus org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript \
    "panels()[0].location = \"$edge\"" >/dev/null
: >"$out/windows.txt"

# The app's own settings live in a fresh home; the session's display, bus
# and runtime folder are the ones a login would give it.
home=$(mktemp -d /tmp/pendra-rig-app.XXXXXX)
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache \
    setsid "$app" >"$out/app.log" 2>&1 </dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -q "StatusNotifierItem-$pid-" && break
    sleep 0.2
done
sleep 2

shot 1-item
input move "$x" "$y" click 1; shot 2-click; windows "click"
input key 1; shot 3-escape; windows "escape"
input move "$x" "$y" click 1 pause 1.5 click 3; shot 4-right-click-while-open; windows "right click while open"
input key 1 pause 1 move "$x" "$y" click 1 pause 0.12 click 1; shot 5-double-click; windows "double click"
echo "screenshots and windows.txt in $out" >&2
