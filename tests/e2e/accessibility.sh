#!/usr/bin/env bash
# End to end with a real assistive-technology client: the accessible tree walked over AT-SPI
# (accessibility_walk.py). Run under dbus-run-session, for a session bus of its own:
#   accessibility.sh PATH_TO_PELLORA
pellora=$1
walk=(timeout 120 /usr/bin/python3 "$(dirname "$0")/accessibility_walk.py")
source "$(dirname "$0")/xsession.sh"
start_session 1280 800
# Launch at login is refused: a file stands where the autostart folder would be made.
touch "$XDG_CONFIG_HOME/autostart"
# Qt exposes its tree only when a screen reader is running, unless told to always.
launch env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$pellora"
wait_for_window Pellora 30 >/dev/null || fail "the strip never appeared"

icon=$(wait_for_tray_icon) || fail "no tray icon docked in the panel"
click_middle "$icon"
"${walk[@]}" || fail "the tray window and its dialogs as a screen reader meets them"
echo "PASS"
