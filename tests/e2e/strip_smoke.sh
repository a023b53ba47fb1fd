#!/usr/bin/env bash
# End to end: the real binary under Xvfb with openbox and tint2. The strip is mapped in the work area's
# bottom-right corner, above other windows, without a frame or a taskbar entry; the first launch stores
# its defaults; a second launch hands over and leaves one strip; hovering opens the detail card upward.
#   strip_smoke.sh PATH_TO_PELLORA [compositor]
# With "compositor", xcompmgr runs and the strip is translucent; without, the window is cut to its cards.
pellora=$1
source "$(dirname "$0")/xsession.sh"
start_session 1280 800
if [[ ${2:-} == compositor ]]; then
    xcompmgr -n >"$SESSION_DIR/xcompmgr.log" 2>&1 &
    session_pids+=($!)
fi

fail() { echo "FAIL: $*" >&2; cat "$SESSION_DIR/pellora.log" >&2 || true; exit 1; }

"$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
app=$!
session_pids+=($app)

strip=$(wait_for_window Pellora 30) || fail "the strip never appeared"
sleep 0.5 # let the window manager settle the placement
read -r x y w h < <(window_geometry "$strip")
read -r wa_x wa_y wa_w wa_h < <(workarea)
echo "strip at $x,$y size ${w}x$h; work area $wa_x,$wa_y ${wa_w}x$wa_h"

[[ $w -eq 560 ]] || fail "strip width $w, expected 560"
[[ $((wa_x + wa_w - (x + w))) -eq 20 ]] || fail "right gap $((wa_x + wa_w - (x + w))), expected 20"
[[ $((wa_y + wa_h - (y + h))) -eq 20 ]] || fail "bottom gap $((wa_y + wa_h - (y + h))), expected 20"

state=$(xprop -id "$strip" _NET_WM_STATE)
[[ $state == *_NET_WM_STATE_ABOVE* ]] || fail "not above other windows: $state"
[[ $state == *_NET_WM_STATE_SKIP_TASKBAR* ]] || fail "listed in the taskbar: $state"
extents=$(xprop -id "$strip" _NET_FRAME_EXTENTS)
[[ $extents == *"= 0, 0, 0, 0"* ]] || fail "has a frame: $extents"

settings="$XDG_CONFIG_HOME/Pellora/Pellora.conf"
first_id=$("$pellora" roles --json | sed -E 's/^\[\{"id":"([^"]*)".*/\1/')
grep -qx 'display_mode=floatingStrip' "$settings" || fail "display_mode not stored: $(cat "$settings")"
grep -qx "selected_role_id=$first_id" "$settings" || fail "selected_role_id not $first_id: $(cat "$settings")"

# A second launch asks the running one to come forward, and exits.
timeout 20 "$pellora" >"$SESSION_DIR/second.log" 2>&1 || fail "second launch exited with $?: $(cat "$SESSION_DIR/second.log")"
kill -0 "$app" || fail "the first instance died"
[[ $(visible_windows Pellora | wc -l) -eq 1 ]] || fail "more than one strip after the second launch"

# Hover: the detail card opens, the window grows upward and stays inside the work area.
xdotool mousemove $((x + w / 2)) $((y + h / 2))
for i in $(seq 50); do
    read -r hx hy hw hh < <(window_geometry "$strip")
    [[ $hh -gt $((h + 100)) ]] && break
    sleep 0.1
done
echo "hovered: $hx,$hy size ${hw}x$hh"
[[ $hh -gt $((h + 100)) ]] || fail "hovering did not open the detail card (height $hh)"
[[ $((hy + hh)) -eq $((y + h)) ]] || fail "the bottom edge moved from $((y + h)) to $((hy + hh))"
[[ $hy -ge $wa_y ]] || fail "the detail card goes above the work area"

xdotool mousemove 5 5
for i in $(seq 50); do
    read -r _ _ _ lh < <(window_geometry "$strip")
    [[ $lh -eq $h ]] && break
    sleep 0.1
done
[[ $lh -eq $h ]] || fail "leaving did not close the detail card (height $lh)"
echo "PASS"
