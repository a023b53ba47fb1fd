# Sourced by the end-to-end scripts: a private X display with a window manager and a tray, torn down on exit.
# Sets DISPLAY and SESSION_DIR (a scratch folder used as the user's config and runtime folders).
# TINT2_CONFIG, when set, is the panel's configuration file.

set -euo pipefail

# Under the sanitizers: libxkbcommon-x11 hands strndup() a keymap atom name that is not NUL-terminated
# (a read inside its own buffer, not ours), which ASan's strndup interceptor reports while Qt connects to
# the X server. Leave strndup alone there; every other check stays on.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_strndup=0"

SESSION_DIR=$(mktemp -d)
session_pids=()

session_cleanup() {
    local pid
    for pid in "${session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$SESSION_DIR"
}
trap session_cleanup EXIT

start_session() {
    local width=${1:-1280} height=${2:-800}
    # Xvfb picks a free display itself and writes its number to the fifo once it accepts clients.
    local fifo="$SESSION_DIR/display" number=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$fifo" >"$SESSION_DIR/xvfb.log" 2>&1 &
    session_pids+=($!)
    read -r -t 10 number <"$fifo" || { echo "Xvfb did not start" >&2; cat "$SESSION_DIR/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    # The number is announced as the server starts listening; make sure it answers before using it.
    local i
    for i in $(seq 100); do
        xprop -root >/dev/null 2>&1 && break
        sleep 0.1
    done
    export XDG_CONFIG_HOME="$SESSION_DIR/config" XDG_RUNTIME_DIR="$SESSION_DIR/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"

    # The panel's strut only counts once the window manager manages it: start the panel after. A window
    # manager that could not start (a busy machine) is started once more.
    local attempt
    for attempt in 1 2; do
        openbox --sm-disable >>"$SESSION_DIR/openbox.log" 2>&1 &
        session_pids+=($!)
        for i in $(seq 150); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break 2
            sleep 0.1
        done
    done
    tint2 ${TINT2_CONFIG:+-c "$TINT2_CONFIG"} >"$SESSION_DIR/tint2.log" 2>&1 &
    session_pids+=($!)
    # The panel reserves its strut: wait until the work area no longer covers the whole screen.
    for i in $(seq 300); do
        if xprop -root _NET_WORKAREA 2>/dev/null | grep -q '='; then
            read -r _ _ wa_w wa_h < <(workarea)
            [[ $wa_h -lt $height || $wa_w -lt $width ]] && return 0
        fi
        sleep 0.1
    done
    echo "the window manager and panel did not come up" >&2
    xprop -root >&2 || true
    cat "$SESSION_DIR/openbox.log" "$SESSION_DIR/tint2.log" >&2 || true
    exit 1
}

# x y width height of the desktop's work area (the screen less the panel).
workarea() {
    xprop -root _NET_WORKAREA | sed -E 's/.*= *//; s/,//g' | awk '{print $1, $2, $3, $4}'
}

# Window ids of visible windows titled exactly "$1".
visible_windows() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true
}

# Waits up to $2 seconds for exactly one visible window titled "$1", and prints its id.
wait_for_window() {
    local name=$1 timeout=${2:-20} i ids
    for i in $(seq $((timeout * 10))); do
        ids=$(visible_windows "$name")
        if [[ -n $ids ]]; then
            echo "$ids" | head -n1
            return 0
        fi
        sleep 0.1
    done
    echo "no window titled $name appeared" >&2
    return 1
}

# x y width height of a window, in root coordinates.
# A window that is gone by the time it is asked about reads as 0 0 0 0.
window_geometry() {
    local id=$1 X=0 Y=0 WIDTH=0 HEIGHT=0 SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || true
    echo "$X $Y $WIDTH $HEIGHT"
}

# Waits up to 10 seconds for Pellora's icon to dock in the panel's tray, and prints its window id.
wait_for_tray_icon() {
    local i id x y w h
    for i in $(seq 100); do
        for id in $(xdotool search --classname pellora 2>/dev/null); do
            read -r x y w h < <(window_geometry "$id")
            if [[ $w -le 64 && $h -le 64 ]] && xwininfo -id "$id" | grep -q IsViewable; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}
