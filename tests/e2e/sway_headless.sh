#!/usr/bin/env bash
# Pellora on sway with its bar, run by hand (needs sway, xwayland and jq):
#   sway_headless.sh PATH_TO_PELLORA [native]
# Through XWayland: the strip lands 20 px from the corner of the workspace's usable area, starting it leaves
# the focus where it was, and it keeps its corner after a second launch, on the next workspace, and while the
# pointer rests on it (the card opens upward) and leaves it. Faults are counted and the run goes on. With
# "native", Pellora runs on Wayland itself: it shows its strip and hands a second launch over.
set -euo pipefail
pellora=$(realpath "$1")
mode=${2:-xwayland}
if [[ $(id -u) -eq 0 ]]; then # sway refuses root: run as a throwaway user with a session bus of its own
    user=pellora-sway-$$
    useradd --create-home "$user"
    trap 'userdel --remove "$user" 2>/dev/null || true' EXIT
    runuser -u "$user" -- dbus-run-session -- bash "$(realpath "$0")" "$pellora" "$mode"
    exit
fi

source "$(dirname "$(realpath "$0")")/xsession.sh"
# sway draws into a window on a private X server, which gives it a pointer that reaches windows (its headless
# backend has none).
start_xvfb 1280 800
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
# The focused workspace's usable area, and the strip's content (the 560-wide window named Pellora): x y w h.
usable() { swaymsg -t get_workspaces | jq -r '.[] | select(.focused) | .rect | "\(.x) \(.y) \(.width) \(.height)"'; }
strip() {
    swaymsg -t get_tree | jq -r '.. | select(.name? == "Pellora" and .visible? and .window_rect.width == 560)
        | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
}
focused() { swaymsg -t get_tree | jq -r '.. | select(.focused? == true) | .name'; }

# The strip, 20 px in from the usable area's right and bottom ($2 from the bottom when given), within 5
# seconds; $1 says when. Natively, only that there is one.
check_corner() {
    local x y w h ux uy uw uh bottom=${2:-20}
    poll 5 eval 'read -r x y w h < <(strip); read -r ux uy uw uh < <(usable);
        [[ -n ${w:-} && $((ux + uw - x - w)) -eq 20 && $((uy + uh - y - h)) -eq $bottom ]]' || true
    echo "$1: strip at ${x:-?},${y:-?} ${w:-?}x${h:-?}; usable area $ux,$uy ${uw}x$uh"
    [[ -n ${w:-} ]] || fail "$1: no strip on screen"
    [[ $mode == native || $((ux + uw - x - w)) -eq 20 && $((uy + uh - y - h)) -eq $bottom ]] ||
        fault "$1: the strip is not in the corner"
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

# On an empty workspace, where the strip lies under no focused window for the pointer.
swaymsg -q workspace 2
check_corner "on workspace 2"
read -r x y w h < <(strip)
swaymsg -q seat - cursor set $((x + w / 2)) $((y + h / 2))
poll 5 eval 'read -r _ _ _ open < <(strip) && [[ $open -gt $((h + 100)) ]]' || fail "resting on the strip did not open the card (height $open)"
check_corner "card open" 0
read -r ux uy uw uh < <(usable)
swaymsg -q seat - cursor set $((ux + uw / 2)) $((uy + uh + 5))
poll 5 eval 'read -r _ _ _ open < <(strip) && [[ $open -eq $h ]]' || fault "leaving the strip for the bar did not close the card (height $open)"
check_corner "card closed"
[[ $faults -eq 0 ]] || fail "$faults faults"
echo PASS
