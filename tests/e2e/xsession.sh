# Sourced by the end-to-end scripts: a private X display with a window manager and a tray, torn down on exit,
# and the checks they share. SESSION_DIR is a scratch folder; TINT2_CONFIG, when set, tint2's configuration.

set -euo pipefail

# libxkbcommon-x11 hands strndup() an atom name that is not NUL-terminated (inside its own buffer), which
# ASan's interceptor reports while Qt connects to the X server.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_strndup=0"

SESSION_DIR=$(mktemp -d)
session_pids=()
trap 'kill "${session_pids[@]}" 2>/dev/null || true; wait; rm -rf "$SESSION_DIR"' EXIT

# Runs the command after $1 every tenth of a second until it succeeds, for up to $1 seconds. A command given
# to eval sees the caller's variables, not its arguments.
poll() {
    local poll_tenths=$(($1 * 10)) poll_i
    shift
    for ((poll_i = 0; poll_i < poll_tenths; poll_i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Fails the run: says why, then what Pellora printed.
fail() {
    echo "FAIL: $*" >&2
    cat "$SESSION_DIR/pellora.log" >&2 2>/dev/null || true
    exit 1
}

# A desktop on a fresh X server: openbox with tint2 (the default), xfce (xfwm4 and its panel), kwin (with
# tint2) or i3 (with its own bar and tray), on a screen of the given size. With COMPOSITOR set,
# xcompmgr runs too, started before the panel: tint2 restarts when a compositor appears, its room on the
# screen gone for a moment.
start_session() {
    local width=${1:-1280} height=${2:-800} desktop=${3:-openbox} panel=(tint2 ${TINT2_CONFIG:+-c "$TINT2_CONFIG"})
    start_xvfb "$width" "$height"
    # Xfce's and KDE's settings daemons are started on demand by the session bus: with this session's folders.
    [[ $desktop != @(xfce|kwin) ]] || dbus-update-activation-environment DISPLAY XDG_CONFIG_HOME XDG_RUNTIME_DIR
    case $desktop in
    openbox) start_window_manager openbox --sm-disable ;;
    xfce)
        # A short panel mid-bottom with the status tray (StatusNotifier and XEmbed alike), away from the corners,
        # where a window opened in the corner would pass for one opened beside the icon. Seeded: no questions.
        mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
        cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0"><property name="configver" type="int" value="2"/>
  <property name="panels" type="array"><value type="int" value="1"/>
    <property name="panel-1" type="empty"><property name="position" type="string" value="p=10;x=0;y=0"/>
      <property name="length" type="uint" value="20"/><property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property></property></property>
  <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray">
    <property name="menu-is-primary" type="bool" value="false"/></property></property></channel>
XML
        start_window_manager xfwm4
        panel=(xfce4-panel)
        ;;
    kwin)
        # Two virtual desktops; no compositing, which Xvfb cannot accelerate.
        printf '[Desktops]\nNumber=2\nRows=1\n' >"$XDG_CONFIG_HOME/kwinrc"
        start_window_manager env KWIN_COMPOSE=N kwin_x11
        ;;
    i3)
        # With i3's own bar at the bottom, which holds a tray (XEmbed).
        printf '# i3 config file (v4)\nfont pango:DejaVu Sans 9\nfocus_follows_mouse no\nbar {\n position bottom\n}\n' \
            >"$SESSION_DIR/i3.conf"
        start_window_manager i3 -c "$SESSION_DIR/i3.conf"
        export I3SOCK=$(xprop -root I3_SOCKET_PATH | sed -nE 's/.*= "(.*)"/\1/p')
        panel=()
        ;;
    *) fail "unknown desktop $desktop" ;;
    esac
    if [[ -n ${COMPOSITOR:-} ]]; then
        xcompmgr -n >"$SESSION_DIR/xcompmgr.log" 2>&1 &
        session_pids+=($!)
        # Its window owns the compositing selection.
        poll 10 eval 'xwininfo -root -children | grep -q "\"xcompmgr\""' || fail "xcompmgr did not start"
    fi
    # A panel's strut only counts once the window manager manages it, hence after it.
    if [[ ${#panel[@]} -gt 0 ]]; then
        "${panel[@]}" >"$SESSION_DIR/panel.log" 2>&1 &
        session_pids+=($!)
    fi
    poll 30 eval 'read -r _ _ wa_w wa_h < <(workarea) && [[ $wa_h -lt $height || $wa_w -lt $width ]]' ||
        { cat "$SESSION_DIR/panel.log" >&2 2>/dev/null || true; fail "the panel ${panel:-of i3} took no room"; }
}

# A fresh X server with nothing on it (Xvfb picks a free display and writes its number to the fifo): sets
# DISPLAY, and the user's config and runtime folders.
start_xvfb() {
    local fifo="$SESSION_DIR/display" number=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp 3>"$fifo" >"$SESSION_DIR/xvfb.log" 2>&1 &
    session_pids+=($!)
    read -r -t 10 number <"$fifo" || { cat "$SESSION_DIR/xvfb.log" >&2; fail "Xvfb did not start"; }
    export DISPLAY=":$number"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM I3SOCK SWAYSOCK
    # The number is announced as the server starts listening; make sure it answers before using it.
    poll 10 xprop -root >/dev/null 2>&1 || true
    export XDG_CONFIG_HOME="$SESSION_DIR/config" XDG_RUNTIME_DIR="$SESSION_DIR/runtime"
    mkdir -p "$XDG_CONFIG_HOME/Pellora" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# Writes Pellora's settings file with these lines.
settings() { printf '[General]\n%s\n' "$(printf '%s\n' "$@")" >"$XDG_CONFIG_HOME/Pellora/Pellora.conf"; }

# Starts a window manager and waits until it announces itself; once more if it could not (a busy machine).
start_window_manager() {
    local attempt
    for attempt in 1 2; do
        "$@" >>"$SESSION_DIR/wm.log" 2>&1 &
        session_pids+=($!)
        poll 30 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' && return 0
    done
    cat "$SESSION_DIR/wm.log" >&2
    fail "the window manager $* did not come up"
}

# x y width height of the work area (the screen less the panel); the screen where none is published.
workarea() {
    # i3 publishes none: the focused workspace's rectangle, its bars left out.
    if [[ -n ${I3SOCK:-} ]]; then
        i3-msg -t get_workspaces | jq -r '.[] | select(.focused) | .rect | "\(.x) \(.y) \(.width) \(.height)"'
        return
    fi
    xprop -root _NET_WORKAREA | sed -nE 's/.*= ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+).*/\1 \2 \3 \4/p' | grep . ||
        echo 0 0 "$(xdotool getdisplaygeometry)"
}

# Runs Pellora (the command given) in the background; sets app to its pid.
launch() {
    "$@" >"$SESSION_DIR/pellora.log" 2>&1 &
    app=$!
    session_pids+=($app)
}

# Ids of visible windows titled exactly "$1"; waits up to $2 seconds for one.
visible_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
wait_for_window() { poll "${2:-20}" eval "visible_windows '$1' | head -n1 | grep ."; }

# x y width height of a window, in root coordinates; 0 0 0 0 for one that is gone.
window_geometry() {
    local X=0 Y=0 WIDTH=0 HEIGHT=0 SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)" || true
    echo "$X $Y $WIDTH $HEIGHT"
}

# x y of a window as the X server has it (xdotool counts a panel's tray twice for a window docked in it).
absolute_position() { xwininfo -id "$1" | sed -nE 's/.*Absolute upper-left [XY]: +//p' | xargs; }

# Clicks the middle of the window $1 with the button $2 (1 when not given).
click_middle() {
    local x y w h
    read -r x y w h < <(window_geometry "$1")
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "${2:-1}"
}

# Ids of visible windows of ours for which the command $1 succeeds; it sees id, x, y, w and h (geometry).
ours() {
    local id x y w h
    for id in $(xdotool search --onlyvisible --classname pellora 2>/dev/null); do
        read -r x y w h < <(window_geometry "$id")
        if eval "$1" 2>/dev/null; then echo "$id"; fi
    done
}
# Pellora's icon docked in the panel's tray: a small window of ours.
wait_for_tray_icon() { poll 10 eval "ours '((w <= 64 && h <= 64))' | grep -m1 ."; }
# Ids of windows of ours $1 (or $2) px wide: 560 the strip, 360 the tray window.
ours_with_width() { ours "((w == $1 || w == ${2:-$1}))"; }
# Waits up to $2 seconds until a window of ours $1 px wide is visible (with "gone" after: no longer visible).
wait_for_width() { poll "$2" eval "[[ ${3:+!} -n \$(ours_with_width $1) ]]"; }

# xfwm4 appends a second id: the first is the active window.
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -E 's/.*# //; s/,.*//'; }
focus_kept() { [[ $(active_window) == "$focused" ]] || fail "$1 took the focus: $(active_window)"; }

# Starts Pellora while another application has the keyboard focus, as if the user were typing in it: the
# strip is placed, above other windows and off the taskbar, and the focus stays. Sets focused and strip.
launch_strip_while_typing() {
    xmessage -xrm '*input: true' -center "typing here" >/dev/null 2>&1 &
    session_pids+=($!)
    focused=$(wait_for_window xmessage 10) || fail "the other application never appeared"
    focused=$(printf '0x%x' "$focused")
    poll 5 eval '[[ $(active_window) == "$focused" ]]' || fail "the other application did not get the focus"
    launch "$1"
    strip=$(wait_for_window Pellora 30) || fail "the strip never appeared"
    check_strip_placed
    state=$(xprop -id "$strip" _NET_WM_STATE)
    [[ $state == *_NET_WM_STATE_ABOVE* && $state == *_NET_WM_STATE_SKIP_TASKBAR* ]] ||
        fail "the strip is not above others and off the taskbar: $state"
    focus_kept "showing the strip"
}

# Within 5 seconds (the window manager may move it after mapping it), the strip is 560 wide, 20 px from the
# work area's right and bottom edges, in device pixels (times QT_SCALE_FACTOR). Sets x y w h to its geometry.
check_strip_placed() {
    local s=${QT_SCALE_FACTOR:-1}
    # An edge between two logical pixels (an odd-sized panel at twice the scale) is rounded inwards.
    local placed='read -r x y w h < <(window_geometry "$strip") && read -r wa_x wa_y wa_w wa_h < <(workarea) &&
        [[ $w -eq $((560 * s)) ]] && ((wa_x + wa_w - x - w - 20 * s >= 0 && wa_x + wa_w - x - w - 20 * s < s &&
        wa_y + wa_h - y - h - 20 * s >= 0 && wa_y + wa_h - y - h - 20 * s < s))'
    poll 5 eval "$placed" && return 0
    fail "strip at $x,$y size ${w}x$h, not $((560 * s)) wide $((20 * s)) px inside work area $wa_x,$wa_y ${wa_w}x$wa_h"
}

# Waits for Pellora's menu: a window of ours the window manager does not manage (the docked tray icon $1 and
# tooltips excepted).
wait_for_menu() {
    local menu='xwininfo -id $id | grep -q "Override Redirect State: yes" && ! xprop -id $id _NET_WM_WINDOW_TYPE | grep -q TOOLTIP'
    poll 5 eval "ours '$menu' | grep -vx '${1:-none}' | grep -q ."
}
