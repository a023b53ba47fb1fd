#!/usr/bin/env bash
# End to end: the tray icon under tint2. A click opens the 360-wide tray window with the welcome sheet
# the first time only; the flag is stored; a second opening shows no sheet. The window offers no maximising
# and Escape closes it. The strip's right click opens Pellora's menu, whose "显示浮窗" hides the strip and
# stores the mode; the tray icon's menu quits. Without a tray, a second launch shows the hidden strip.
#   tray_smoke.sh PATH_TO_PELLORA [DESKTOP]    (a desktop of xsession.sh; openbox when not given)
pellora=$1
source "$(dirname "$0")/xsession.sh"
start_session 1280 800 "${2:-openbox}"

"$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
first=$!
session_pids+=($first)
wait_for_window Pellora 30 >/dev/null || fail "the strip never appeared"

# The docked tray icon: a small viewable window of ours inside the panel.
icon=$(wait_for_tray_icon) || fail "no tray icon docked in the panel"
read -r ix iy iw ih < <(window_geometry "$icon")
echo "tray icon at $ix,$iy ${iw}x$ih"

welcome_visible() { xdotool search --onlyvisible --name '^Pellora$' 2>/dev/null | while read -r id; do
    read -r _ _ w h < <(window_geometry "$id"); [[ $w -ne 560 && $w -ne 360 ]] && echo "$id"; done; }

xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for_width 360 5 || fail "a click on the tray icon opened no 360-wide window"
for i in $(seq 50); do [[ -n $(welcome_visible) ]] && break; sleep 0.1; done
[[ -n $(welcome_visible) ]] || fail "no welcome sheet on the first opening"
grep -qx 'hasLaunchedBefore=true' "$XDG_CONFIG_HOME/Pellora/Pellora.conf" || fail "hasLaunchedBefore not stored"

# Dismiss the sheet; a click on the icon closes the window, the next one opens it afresh.
xdotool key Escape
sleep 0.5
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for_width 360 3 gone || fail "a second click on the tray icon did not close the window"
sleep 0.6 # past the double-click interval
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for_width 360 5 || fail "the tray window did not open a second time"
sleep 1
[[ -z $(welcome_visible) ]] || fail "the welcome sheet came back"
window=$(ours_with_width 360)
xprop -id "$window" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "the tray window can be maximised"
xdotool key Escape
wait_for_width 360 3 gone || fail "Escape did not close the tray window"
# A tenth of a second after the focus leaves it, Qt marks the application inactive and closes its menus: a
# right click that lands just then (quicker than a hand moves to the strip) would see its menu shut at once.
sleep 0.5

# Pellora's menu; the keyboard walks it.
read -r sx sy sw sh < <(window_geometry "$(ours_with_width 560)")
xdotool mousemove $((sx + 40)) $((sy + sh / 2)) click 3
wait_for_menu "$icon" || fail "a right click on the strip opened no menu"
# 打开, 换一个, 角色库, then 显示浮窗, ticked: unticking it hides the strip and stores the mode.
xdotool key Down Down Down Down Return
wait_for_width 560 3 gone || fail "unticking 显示浮窗 left the strip on screen"
grep -qx 'display_mode=menuBarOnly' "$XDG_CONFIG_HOME/Pellora/Pellora.conf" || fail "menuBarOnly not stored"

# The tray icon offers the same menu; its last entry quits.
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
wait_for_menu "$icon" || fail "a right click on the tray icon opened no menu"
xdotool key Up Return
for i in $(seq 50); do kill -0 "$first" 2>/dev/null || break; sleep 0.1; done
kill -0 "$first" 2>/dev/null && fail "退出 did not quit"

# No tray and no strip: starting Pellora again shows the strip, for the session only.
PELLORA_ASSUME_TRAY=0 "$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
session_pids+=($!)
sleep 2
[[ -z $(ours_with_width 560) ]] || fail "the strip showed in menuBarOnly mode"
PELLORA_ASSUME_TRAY=0 "$pellora" || fail "the second launch failed"
wait_for_width 560 5 || fail "a second launch did not show the strip"
grep -qx 'display_mode=menuBarOnly' "$XDG_CONFIG_HOME/Pellora/Pellora.conf" || fail "the second launch stored a mode"
echo "PASS"
