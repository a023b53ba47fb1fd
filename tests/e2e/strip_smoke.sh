#!/usr/bin/env bash
# End to end: the strip under openbox and tint2, never taking the focus: placement, a second launch, the
# detail card, a drag, and the picker, which does take the focus.
#   strip_smoke.sh PATH_TO_PELLORA [compositor]
# With "compositor", xcompmgr runs and the strip is translucent; without, the window is cut to its cards.
pellora=$1
source "$(dirname "$0")/xsession.sh"
[[ ${2:-} != compositor ]] || COMPOSITOR=1
start_session 1280 800

# Waits up to 5 seconds for the detail card to be open or closed ($1), then sets card to the strip's geometry.
wait_for_card() {
    local want=$1
    poll 5 eval 'card=$(window_geometry "$strip") && read -r _ _ _ gh <<<"$card" &&
        [[ $want == open && $gh -gt $((h + 100)) || $want == closed && $gh -eq $h ]]' ||
        fail "the detail card did not $want ($card)"
}

launch_strip_while_typing "$pellora"
read -r wa_x wa_y wa_w wa_h < <(workarea)
extents=$(xprop -id "$strip" _NET_FRAME_EXTENTS)
[[ $extents == *"= 0, 0, 0, 0"* ]] || fail "has a frame: $extents"

# A second launch asks the running one to come forward, and exits.
timeout 20 "$pellora" >"$SESSION_DIR/second.log" 2>&1 || fail "second launch exited with $?: $(cat "$SESSION_DIR/second.log")"
kill -0 "$app" || fail "the first instance died"
[[ $(visible_windows Pellora | wc -l) -eq 1 ]] || fail "more than one strip after the second launch"
sleep 0.3
focus_kept "the second launch"

# In the home corner the card opens upward, by just enough to end at the work area's bottom.
xdotool mousemove $((x + w / 2)) $((y + h / 2))
wait_for_card open
read -r hx hy _ hh <<<"$card"
[[ $hx -eq $x && $((hy + hh)) -eq $((wa_y + wa_h)) ]] || fail "the card opened at $card, not up to the work area's bottom"
focus_kept "hovering"

# Dragged with the card open, then left: the compact card stays where it was dropped. Elsewhere the card
# opens downward: resting on it and leaving it never move the compact card.
xdotool mousedown 1 sleep 0.2 mousemove_relative --sync -- -300 -100 mousemove_relative --sync -- -300 -150 \
    sleep 0.2 mouseup 1 sleep 0.5
read -r cx cy _ _ < <(window_geometry "$strip")
[[ $cx -lt $((x - 400)) ]] || fail "dragging did not move the strip: $cx,$cy"
focus_kept "dragging the strip"
for step in "closed 5 5" "open $((cx + 100)) $((cy + h / 2))" "closed 5 5"; do
    read -r want px py <<<"$step"
    xdotool mousemove "$px" "$py"
    wait_for_card "$want"
    [[ $card == "$cx $cy "* ]] || fail "the compact card moved from $cx,$cy: $card"
done

# The picker is opened on purpose: it takes the focus.
xdotool mousemove $((cx + w - 57)) $((cy + h / 2)) click 1
picker=$(wait_for_window 选择角色 10) || fail "the library button opened no picker"
sleep 0.3
[[ $(active_window) == $(printf '0x%x' "$picker") ]] || fail "the picker did not take the focus: $(active_window)"
echo "PASS"
