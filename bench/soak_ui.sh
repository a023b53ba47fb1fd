#!/usr/bin/env bash
# The real app under Xvfb with openbox, tint2 and a compositor: the strip hovered and left HOVERS times
# (default 1000), then the role picker opened and closed PICKS times (default 200). Prints the resident
# memory after a warm-up and at the end of each phase.
#   bench/soak_ui.sh PATH_TO_PELLORA [HOVERS] [PICKS]
pellora=$1
hovers=${2:-1000}
picks=${3:-200}
source "$(dirname "$0")/../tests/e2e/xsession.sh"
start_session 1280 800
xcompmgr -n >"$SESSION_DIR/xcompmgr.log" 2>&1 &
session_pids+=($!)

"$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
app=$!
session_pids+=($app)
strip=$(wait_for_window Pellora 30)
sleep 1
rss() { awk '/VmRSS/ {print $2}' "/proc/$app/status"; }
kib_to_mib() { awk -v k="$1" 'BEGIN {printf "%.2f", k / 1024}'; }

read -r x y w h < <(window_geometry "$strip")
cx=$((x + w / 2))
cy=$((y + h / 2))
warm=$((hovers / 10 > 0 ? hovers / 10 : 1))
for i in $(seq "$hovers"); do
    xdotool mousemove "$cx" "$cy"
    sleep 0.08
    xdotool mousemove 5 5
    sleep 0.08
    [[ $i -eq $warm ]] && hover_warm=$(rss)
done
sleep 1
hover_end=$(rss)
echo "hover/leave x$hovers: RSS after $warm $(kib_to_mib "$hover_warm") MiB, at the end $(kib_to_mib "$hover_end") MiB," \
    "growth $(kib_to_mib $((hover_end - hover_warm))) MiB"

# The library button: 18 px outer padding + 24 px card padding from the right, 30 px wide, mid-card.
# Hovering opens the detail card and the window grows upward, taking the compact card with it: find
# the button again once the window has grown.
read -r x y w h < <(window_geometry "$strip")
bx=$((x + w - 18 - 24 - 15))
compact=$((h - 36))
warm=$((picks / 10 > 0 ? picks / 10 : 1))
for i in $(seq "$picks"); do
    xdotool mousemove "$bx" $((y + h / 2))
    sleep 0.8
    read -r _ gy _ _ < <(window_geometry "$strip")
    xdotool mousemove "$bx" $((gy + 18 + compact / 2)) click 1
    for j in $(seq 50); do [[ -n $(visible_windows '选择角色') ]] && break; sleep 0.05; done
    [[ -n $(visible_windows '选择角色') ]] || { echo "the picker did not open (round $i)" >&2; exit 1; }
    xdotool key Escape
    for j in $(seq 50); do [[ -z $(visible_windows '选择角色') ]] && break; sleep 0.05; done
    xdotool mousemove 5 5
    sleep 0.1
    [[ $i -eq $warm ]] && pick_warm=$(rss)
done
sleep 1
pick_end=$(rss)
echo "picker open/close x$picks: RSS after $warm $(kib_to_mib "$pick_warm") MiB, at the end $(kib_to_mib "$pick_end") MiB," \
    "growth $(kib_to_mib $((pick_end - pick_warm))) MiB"
