#!/usr/bin/env bash
# Pellora on sway with its bar (needs sway, xwayland and jq): through XWayland, the strip's corner, focus and
# hover as on X11, counting faults; with "native", on Wayland: a strip and a second launch handed over.
#   sway_headless.sh PATH_TO_PELLORA [native]
set -euo pipefail
pellora=$(realpath "$1")
mode=${2:-xwayland}
if [[ $(id -u) -eq 0 ]]; then # sway refuses root: run as a throwaway user with a session bus of its own
    user=pellora-sway-$$
    useradd --create-home "$user"
    trap 'userdel --remove "$user" 2>/dev/null || true' EXIT
    # In the user's home: the build may lie in a folder only root can enter.
    home=$(getent passwd "$user" | cut -d: -f6)
    cp "$pellora" "$(dirname "$(realpath "$0")")"/{sway_headless,xsession}.sh "$home/"
    chown "$user:" "$home"/*
    runuser -u "$user" -- dbus-run-session -- bash "$home/sway_headless.sh" "$home/$(basename "$pellora")" "$mode"
    exit
fi

source "$(dirname "$(realpath "$0")")/xsession.sh"
# sway draws into a window on a private X server, which gives it a pointer (its headless backend has none):
# moved there, it is a real pointer, whose motion sway passes on as it would a mouse's.
start_xvfb 1280 800
outer=$DISPLAY
settings hasLaunchedBefore=true # no welcome sheet
cat >"$SESSION_DIR/sway.conf" <<EOF
output X11-1 mode 1280x800
xwayland $([[ $mode == native ]] && echo disable || echo enable)
exec echo "\$DISPLAY" >$SESSION_DIR/xwayland
bar position bottom
EOF
WLR_BACKENDS=x11 WLR_RENDERER=pixman sway -c "$SESSION_DIR/sway.conf" >"$SESSION_DIR/sway.log" 2>&1 &
session_pids+=($!)
poll 20 eval 'SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null) && [[ -s $SESSION_DIR/xwayland ]]' ||
    { cat "$SESSION_DIR/sway.log" >&2; fail "sway did not start"; }
export SWAYSOCK WAYLAND_DISPLAY=wayland-1
if [[ $mode == native ]]; then unset DISPLAY; else export DISPLAY=$(<"$SESSION_DIR/xwayland"); fi

faults=0
fault() {
    echo "FAULT: $*"
    faults=$((faults + 1))
}
# The focused workspace's usable area, and the strip's content (the 560-wide window named Pellora): x y w h,
# then its X11 window (none natively).
usable() { swaymsg -t get_workspaces | jq -r '.[] | select(.focused) | .rect | "\(.x) \(.y) \(.width) \(.height)"'; }
strip() {
    swaymsg -t get_tree | jq -r '.. | select(.name? == "Pellora" and .visible? and .window_rect.width == 560)
        | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height) \(.window)"'
}
pointer_to() { DISPLAY=$outer xdotool mousemove "$1" "$2"; }
focused() { swaymsg -t get_tree | jq -r '.. | select(.focused? == true) | .name'; }

# Within 5 seconds, a strip (natively, anywhere), 20 px in from the usable area's right and bottom ($2 from the
# bottom when given); $1 says when.
check_corner() {
    local x y w h ux uy uw uh bottom=${2:-20}
    poll 5 eval 'read -r x y w h id < <(strip) && read -r ux uy uw uh < <(usable) &&
        [[ $mode == native || $((ux + uw - x - w)) -eq 20 && $((uy + uh - y - h)) -eq $bottom ]]' || {
        [[ -n ${w:-} ]] || fail "$1: no strip on screen"
        fault "$1: the strip at $x,$y ${w}x$h is not in the corner of the usable area $ux,$uy ${uw}x$uh"
        return
    }
    # XWayland places the window's menus and reads the pointer by where the X server has the window.
    [[ $mode == native ]] || poll 2 eval '[[ $(absolute_position "$id") == "$x $y" ]]' ||
        fault "$1: the X server has the strip at $(absolute_position "$id"), sway at $x $y"
}

if [[ $mode != native ]]; then
    xmessage -xrm '*input: true' "typing here" >/dev/null 2>&1 &
    session_pids+=($!)
    poll 5 eval '[[ $(focused) == xmessage ]]' || true
fi
launch "$pellora"
check_corner "started"
[[ $mode == native || $(focused) == xmessage ]] || fault "starting Pellora took the focus: $(focused)"
timeout 20 "$pellora" >"$SESSION_DIR/second.log" 2>&1 || fail "the second launch exited with $?"
kill -0 "$app" || fail "the first instance died"
[[ $(strip | wc -l) -eq 1 ]] || fail "not one strip after the second launch: $(strip)"
check_corner "second launch"
[[ $mode != native ]] || { echo PASS; exit 0; }

# On an empty workspace, where no focused window lies over the strip for the pointer.
swaymsg -q workspace 2
check_corner "on workspace 2"
read -r x y w h _ < <(strip)
pointer_to $((x + w / 2)) $((y + h / 2))
poll 5 eval 'read -r _ _ _ open _ < <(strip) && [[ $open -gt $((h + 100)) ]]' || fail "resting on the strip did not open the card (height $open)"
check_corner "card open" 0
# sway's default focus_follows_mouse gives the focus to whatever window the pointer rests on: said, not counted.
echo "focus with the pointer on the strip: $(focused)"
read -r ux uy uw uh < <(usable)
pointer_to $((ux + uw / 2)) $((uy + uh + 5))
poll 5 eval 'read -r _ _ _ open _ < <(strip) && [[ $open -eq $h ]]' || fault "leaving the strip for the bar did not close the card (height $open)"
check_corner "card closed"

# The bar hosts the tray icon (a StatusNotifier host), at its right end: a click opens the tray window in the
# corner by the bar, Escape closes it; a right click opens the menu in that corner too (XWayland's pointer is
# stale on the bar), and its last entry, 退出, quits.
tray_window() {
    swaymsg -t get_tree | jq -r '.. | select(.name? == "Pellora" and .visible? and .window_rect.width == 360)
        | "\(.rect.x) \(.rect.y) \(.rect.width) \(.rect.height)"'
}
menu() { window_geometry "$(ours 'xwininfo -id $id | grep -q "Override Redirect State: yes"' | head -n1)"; }
pointer_to $((ux + uw - 10)) $(((uy + uh + 800) / 2))
DISPLAY=$outer xdotool click 1
poll 5 eval 'read -r tx ty tw th < <(tray_window) && ((tx + tw == ux + uw && ty + th == uy + uh))' || {
    [[ -n ${tw:-} ]] || fail "clicking the tray icon opened no window"
    fault "the tray window at $tx,$ty ${tw}x$th is not in the corner by the bar"
}
DISPLAY=$outer xdotool key Escape
poll 5 eval '[[ -z $(tray_window) ]]' || fault "Escape left the tray window open"
# A menu opened while sway is still moving the focus after the window closed closes again at once; a hand
# takes longer than this.
sleep 0.5
DISPLAY=$outer xdotool click 3
poll 5 eval 'read -r mx my mw mh < <(menu) && ((mw > 0))' || fail "right-clicking the tray icon opened no menu"
[[ $((mx + mw)) -eq $((ux + uw)) && $((my + mh)) -eq $((uy + uh)) ]] ||
    fault "the menu at $mx,$my ${mw}x$mh is not in the corner by the bar"
# As a hand would, in more than one step: a menu takes no click before the pointer has moved over it.
pointer_to $((mx + mw / 2)) $((my + mh - 20))
sleep 0.2
pointer_to $((mx + mw / 2)) $((my + mh - 12))
sleep 0.2
DISPLAY=$outer xdotool click 1
poll 5 eval '! kill -0 $app 2>/dev/null' || fail "退出 did not quit"
wait "$app" || fail "Pellora quit with status $?"
[[ $faults -eq 0 ]] || fail "$faults faults"
echo PASS
