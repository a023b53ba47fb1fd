#!/usr/bin/env bash
# End to end: the tray icon under tint2, its window and welcome sheet, Pellora's menu, and a second launch
# without a tray.
#   tray_smoke.sh PATH_TO_PELLORA
pellora=$1
source "$(dirname "$0")/xsession.sh"
start_session 1280 800
launch "$pellora"
wait_for_window Pellora 30 >/dev/null || fail "the strip never appeared"
icon=$(wait_for_tray_icon) || fail "no tray icon docked in the panel"

# The welcome sheet: a window titled Pellora that is neither the strip nor the tray window.
welcome() { visible_windows Pellora | grep -qvxF "$(ours_with_width 560 360)"; }

click_middle "$icon"
wait_for_width 360 5 || fail "a click on the tray icon opened no 360-wide window"
poll 5 welcome || fail "no welcome sheet on the first opening"

# Dismiss the sheet; a click on the icon closes the window, the next one opens it afresh.
xdotool key Escape
sleep 0.5
click_middle "$icon"
wait_for_width 360 3 gone || fail "a second click on the tray icon did not close the window"
sleep 0.6 # past the double-click interval
click_middle "$icon"
wait_for_width 360 5 || fail "the tray window did not open a second time"
sleep 1
welcome && fail "the welcome sheet came back"
xprop -id "$(ours_with_width 360)" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "the tray window can be maximised"
xdotool key Escape
wait_for_width 360 3 gone || fail "Escape did not close the tray window"
sleep 0.5 # Qt closes menus as the application turns inactive, a tenth of a second after the focus leaves

# Pellora's menu by keyboard: 打开, 换一个, 角色库, then 显示浮窗, which unticked hides the strip for good.
click_middle "$(ours_with_width 560)" 3
wait_for_menu "$icon" || fail "a right click on the strip opened no menu"
xdotool key Down Down Down Down Return
wait_for_width 560 3 gone || fail "unticking 显示浮窗 left the strip on screen"

# The tray icon offers the same menu; its last entry quits.
click_middle "$icon" 3
wait_for_menu "$icon" || fail "a right click on the tray icon opened no menu"
xdotool key Up Return
poll 10 eval '! kill -0 $app 2>/dev/null' || fail "退出 did not quit"

# No tray and no strip: starting Pellora again shows the strip, for the session only.
launch env PELLORA_ASSUME_TRAY=0 "$pellora"
sleep 2
[[ -z $(ours_with_width 560) ]] || fail "the strip showed in menuBarOnly mode"
PELLORA_ASSUME_TRAY=0 "$pellora" || fail "the second launch failed"
wait_for_width 560 5 || fail "a second launch did not show the strip"
echo "PASS"
