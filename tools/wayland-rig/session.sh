#!/usr/bin/env bash
# A headless KDE Plasma Wayland session to run the app in as a Wayland
# session starts it: kwin_wayland --virtual --xwayland (software OpenGL, so
# that KWin can take screenshots), kded5 (the StatusNotifierWatcher) and
# plasmashell with its default bottom panel, on a private session bus.
#
#   eval "$(tools/wayland-rig/session.sh start)"   # exports DISPLAY, WAYLAND_DISPLAY, the bus, …
#   tools/wayland-rig/session.sh stop              # ends only what start started
#
# State, logs and the session's home live in $PENDRA_RIG_STATE (a fresh
# private folder by default; start prints it as PENDRA_RIG_STATE).
# Packages: kwin-wayland plasma-workspace plasma-desktop xwayland qtwayland5
# python3-dbus x11-utils, and for fake_input libwayland-dev
# plasma-wayland-protocols gcc.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
screen=${PENDRA_RIG_SCREEN:-1280x800}

log() { echo "[wayland-rig] $*" >&2; }

# Runs a program in a session of its own, so that stop can end it together
# with whatever it started; records the session id and the start time.
launch() {
    local name=$1; shift
    setsid "$@" >>"$state/log/$name.log" 2>&1 </dev/null &
    echo "$! $(awk '{print $22}' /proc/$!/stat 2>/dev/null || echo 0) $name" >>"$state/sessions"
}

wait_until() {
    local what=$1 seconds=$2; shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || { log "no $what after ${seconds}s (logs: $state/log)"; false; }
        sleep 0.2
    done
}

has_name() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" | grep -q 'boolean true'
}
tray_hosted() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:IsStatusNotifierHostRegistered | grep -q 'boolean true'
}
xwayland_display() { ps -o args= --ppid "$1" | awk '$1 ~ /Xwayland$/ { print $2; exit }'; }
has_xwayland() { [ -n "$(xwayland_display "$1")" ]; }

start() {
    state=${PENDRA_RIG_STATE:-$(mktemp -d /tmp/pendra-wayland-rig.XXXXXX)}
    mkdir -p "$state"/{log,home,config,runtime,bin}
    chmod 700 "$state" "$state/runtime"
    : >"$state/sessions"
    trap 'log "start failed"; stop; exit 1' ERR
    export HOME=$state/home XDG_CONFIG_HOME=$state/config XDG_RUNTIME_DIR=$state/runtime \
        XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 KDE_FULL_SESSION=true
    unset DISPLAY WAYLAND_DISPLAY SESSION_MANAGER
    printf '[Daemon]\nAutolock=false\n' >"$XDG_CONFIG_HOME/kscreenlockerrc"
    printf '[Basic Settings]\nIndexing-Enabled=false\n' >"$XDG_CONFIG_HOME/baloofilerc"

    launch bus dbus-daemon --session --nofork --nopidfile --address="unix:path=$state/runtime/bus"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$state/runtime/bus
    wait_until "session bus" 10 has_name org.freedesktop.DBus

    # The installed kwin_wayland carries a file capability that containers
    # refuse to exec; a copy without it only loses realtime scheduling.
    cp /usr/bin/kwin_wayland "$state/bin/kwin_wayland"
    launch kwin env KWIN_COMPOSE=O2 LIBGL_ALWAYS_SOFTWARE=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 "$state/bin/kwin_wayland" --virtual --xwayland \
        --width "${screen%x*}" --height "${screen#*x}" --socket wayland-rig --no-lockscreen
    local kwin
    kwin=$(awk '$3 == "kwin" { print $1 }' "$state/sessions")
    wait_until "KWin" 30 has_name org.kde.KWin
    wait_until "XWayland" 30 has_xwayland "$kwin"
    export DISPLAY WAYLAND_DISPLAY=wayland-rig
    DISPLAY=$(xwayland_display "$kwin")
    wait_until "an answering XWayland" 30 xwininfo -root
    dbus-update-activation-environment DISPLAY WAYLAND_DISPLAY HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR \
        XDG_SESSION_TYPE XDG_CURRENT_DESKTOP

    launch kded env QT_QPA_PLATFORM=wayland kded5
    wait_until "StatusNotifierWatcher" 60 has_name org.kde.StatusNotifierWatcher
    launch shell env QT_QPA_PLATFORM=wayland QT_QUICK_BACKEND=software plasmashell -n -p org.kde.plasma.desktop
    wait_until "system tray" 90 tray_hosted
    # The panel lays itself out after the tray registers.
    sleep 3

    if [ ! -x "$state/bin/fake_input" ]; then
        local protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
        wayland-scanner client-header "$protocol" "$state/bin/fake-input-client-protocol.h"
        wayland-scanner private-code "$protocol" "$state/bin/fake-input-protocol.c"
        gcc -O2 -I"$state/bin" -o "$state/bin/fake_input" "$here/fake_input.c" "$state/bin/fake-input-protocol.c" \
            $(pkg-config --cflags --libs wayland-client)
    fi
    trap - ERR
    for name in PENDRA_RIG_STATE=$state DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS \
        XDG_SESSION_TYPE XDG_CURRENT_DESKTOP; do
        case $name in *=*) echo "export $name" ;; *) echo "export $name=${!name}" ;; esac
    done | tee "$state/env"
}

# Ends every process in the recorded sessions whose leader is still the
# process that was started (a reused id is left alone).
stop() {
    state=${PENDRA_RIG_STATE:?"load the session's env first"}
    local leader started name sessions="" round members
    while read -r leader started name; do
        [ "$(awk '{print $22}' /proc/"$leader"/stat 2>/dev/null)" = "$started" ] && sessions="$sessions $leader"
    done <"$state/sessions"
    for round in TERM TERM TERM TERM TERM TERM KILL; do
        members=$(for s in $sessions; do ps -e -o pid=,sid= | awk -v s="$s" '$2 == s { print $1 }'; done)
        [ -n "$members" ] || break
        kill -s "$round" $members 2>/dev/null || true
        sleep 0.5
    done
    : >"$state/sessions"
    log "stopped"
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
