#!/usr/bin/env bash
# Takes the README's screenshots of the tray window, the welcome dialog and the menu under Xvfb:
#   tray.sh PATH_TO_PELLORA OUTPUT_DIR
# Writes tray-window.png, welcome.png and menu.png (the bottom-right corner of the screen).
pellora=$1
out=$2
source "$(dirname "$0")/../../tests/e2e/xsession.sh"
COMPOSITOR=1 start_session 1280 800
mkdir -p "$out"
xsetroot -solid '#5b6e8c'

# Start with the strip hidden, so the tray window is seen on its own.
mkdir -p "$XDG_CONFIG_HOME/Pellora"
printf '[General]\ndisplay_mode=menuBarOnly\n' >"$XDG_CONFIG_HOME/Pellora/Pellora.conf"
"$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
session_pids+=($!)

icon=$(wait_for_tray_icon) || { echo "no tray icon" >&2; exit 1; }
read -r ix iy iw ih < <(window_geometry "$icon")
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
sleep 1.5
import -window root -crop 560x480+720+320 +repage "$out/welcome.png"
xdotool key Escape
sleep 0.8
import -window root -crop 560x200+720+600 +repage "$out/tray-window.png"
xdotool key Escape
sleep 0.5
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
sleep 1
import -window root -crop 320x220+960+580 +repage "$out/menu.png"
xdotool key Escape
echo "wrote $out/welcome.png, $out/tray-window.png and $out/menu.png"
