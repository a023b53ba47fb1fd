#!/usr/bin/env bash
# End to end on other desktops, each with its own session bus (run under dbus-run-session):
#   desktop_smoke.sh PATH_TO_PELLORA openbox|xfce|kwin|i3
# The strip as on openbox, and on screen on the next desktop; on i3, the icon in its bar; on Xfce, the tray icon
# as a StatusNotifier item.
pellora=$1
desktop=$2
source "$(dirname "$0")/xsession.sh"
start_session 1280 800 "$desktop"
settings hasLaunchedBefore=true # no welcome sheet
launch_strip_while_typing "$pellora"

if [[ $desktop == i3 ]]; then i3-msg -q workspace 2; else xdotool set_desktop 1; fi
sleep 0.5
xwininfo -id "$strip" | grep -q IsViewable || fail "the strip is not shown on the second desktop"
check_strip_placed
[[ $(xprop -id "$strip" _NET_WM_STATE) != *DEMANDS_ATTENTION* ]] || fail "the strip calls for attention"

# The tray window ($tray_width device pixels wide) opens just beside the icon in the bottom panel: across the
# icon's middle, ending above the icon and at most a small gap above the work area's bottom.
scale=${QT_SCALE_FACTOR:-1}
tray_width=$((360 * scale))
beside_icon() {
    read -r wx wy ww wh < <(window_geometry "$(ours_with_width $tray_width)")
    read -r _ wa_y _ wa_h < <(workarea)
    ((wy + wh <= ty && wy + wh >= wa_y + wa_h - 8 * scale && wx <= tx + tw / 2 && tx + tw / 2 <= wx + ww)) ||
        fail "the tray window at $wx,$wy ${ww}x$wh is not just above the icon at $tx,$ty"
}

if [[ $desktop == i3 ]]; then
    # i3's bar docks the icon (XEmbed): a click opens the tray window beside it, its menu's last entry quits.
    icon=$(wait_for_tray_icon) || fail "no tray icon docked in i3's bar"
    read -r tx ty < <(absolute_position "$icon")
    read -r _ _ tw th < <(window_geometry "$icon")
    xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
    wait_for_width $tray_width 10 || fail "a click on the icon opened no tray window"
    beside_icon
    xdotool key Escape
    wait_for_width $tray_width 3 gone || fail "Escape did not close the tray window"
    sleep 0.5 # Qt closes menus as the application turns inactive, a tenth of a second after the focus leaves
    xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 3
    wait_for_menu "$icon" || fail "a right click on the icon opened no menu"
    xdotool key Up Return
    poll 10 eval '! kill -0 $app 2>/dev/null' || fail "退出 did not quit"
    wait "$app" || fail "Pellora quit with status $?"
fi
[[ $desktop == xfce ]] || { echo PASS; exit 0; }

# The item, registered with the panel's watcher as "bus name/object path", and its exported menu.
sni() { gdbus call --session --dest "$1" --object-path "$2" --method "$3" -- "${@:4}"; }
registered() {
    sni org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | grep -oE "'[^']+'" | tr -d "'" | head -n1 | grep .
}
item=$(poll 10 registered) || fail "no item registered with the StatusNotifier watcher"
service=${item%%/*}
path=/${item#*/}
menu=$(sni "$service" "$path" org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Menu |
    sed -nE "s/.*objectpath '([^']+)'.*/\1/p")
layout=$(sni "$service" "$menu" com.canonical.dbusmenu.GetLayout 0 -1 '[]')
for entry in 打开 换一个 角色库 显示浮窗 登录时启动 退出; do
    [[ $layout == *"'label': <'$entry'>"* ]] || fail "the exported menu lacks $entry"
done
quit_id=$(grep -oE "\(([0-9]+), \{[^}]*'label': <'退出'>" <<<"$layout" | sed -E 's/^\(([0-9]+).*/\1/')

# A real click on the icon (the status tray holds our one item) opens the tray window just above it.
tray=$(xdotool search --onlyvisible --classname wrapper-2.0 | head -n1)
read -r tx ty tw th < <(window_geometry "$tray")
click_middle "$tray"
wait_for_width 360 10 || fail "a click on the icon opened no tray window"
beside_icon
xdotool key Escape
wait_for_width 360 3 gone || fail "Escape did not close the tray window"
sleep 0.5 # Qt closes menus as the application turns inactive, a tenth of a second after the focus leaves

# A host that asks the item for its menu (ContextMenu) gets it at the pointer.
sni "$service" "$path" org.kde.StatusNotifierItem.ContextMenu $((tx + tw / 2)) $((ty + th / 2)) >/dev/null
wait_for_menu || fail "ContextMenu popped no menu up"
xdotool key Escape

# "退出" chosen in the host's rendering of the exported menu.
sni "$service" "$menu" com.canonical.dbusmenu.Event "$quit_id" clicked '<0>' 0 >/dev/null
poll 10 eval '! kill -0 $app 2>/dev/null' || fail "退出 in the exported menu did not quit"
wait "$app" || fail "Pellora quit with status $?"
echo PASS
