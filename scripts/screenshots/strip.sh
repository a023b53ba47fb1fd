#!/usr/bin/env bash
# Takes the README's screenshots of the real app under Xvfb, with openbox, tint2 and a compositor:
#   strip.sh PATH_TO_PELLORA OUTPUT_DIR [HH:MM]
# Writes strip-compact.png and strip-detail.png (the bottom-right corner of the screen).
pellora=$1
out=$2
source "$(dirname "$0")/../../tests/e2e/xsession.sh"
COMPOSITOR=1 start_session 1280 800
mkdir -p "$out"

# A desktop-like backdrop, so translucency shows.
xsetroot -solid '#5b6e8c' 2>/dev/null || true
sleep 0.5

"$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
session_pids+=($!)
strip=$(wait_for_window Pellora 30)
sleep 1
read -r x y w h < <(window_geometry "$strip")
crop="700x480+580+320"
import -window root -crop "$crop" +repage "$out/strip-compact.png"

xdotool mousemove $((x + w / 2)) $((y + h / 2))
sleep 1.5
import -window root -crop "$crop" +repage "$out/strip-detail.png"
echo "wrote $out/strip-compact.png and $out/strip-detail.png"
