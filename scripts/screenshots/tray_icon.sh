#!/usr/bin/env bash
# Takes zoomed pictures of the tray icon as tint2 shows it on a black and on a white panel, at icon sizes
# 16, 22, 24 and 32:
#   tray_icon.sh PATH_TO_PELLORA OUTPUT_DIR
# Writes tray-icon-black.png and tray-icon-white.png: each size at 8x, left to right.
set -euo pipefail
pellora=$1
out=$(realpath -m "$2")
here=$(dirname "$(realpath "$0")")/../../tests/e2e
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# One panel, one icon size: the icon's cell in the panel, with 4 pixels of panel around it, zoomed 8x.
shoot() {
    local panel=$1 ink=$2 size=$3 picture=$4
    local config="$scratch/tint2rc"
    # The stock panel, opaque in the chosen colour, tall enough for the icon size.
    sed -E -e "0,/^background_color = .*/s//background_color = $panel 100/" \
        -e "s/^panel_size = .*/panel_size = 100% $((size + 8))/" \
        -e "s/^systray_icon_size = .*/systray_icon_size = $size/" \
        -e "s/^(clock|taskbar_name|taskbar_name_active|task)_font_color = .*/\1_font_color = $ink 100/" \
        /etc/xdg/tint2/tint2rc >"$config"
    (
        export TINT2_CONFIG=$config
        source "$here/xsession.sh"
        start_session 640 480
        mkdir -p "$XDG_CONFIG_HOME/Pellora"
        printf '[General]\ndisplay_mode=menuBarOnly\nhasLaunchedBefore=true\n' >"$XDG_CONFIG_HOME/Pellora/Pellora.conf"
        "$pellora" >"$SESSION_DIR/pellora.log" 2>&1 &
        session_pids+=($!)
        icon=$(wait_for_tray_icon) || { echo "no tray icon" >&2; exit 1; }
        sleep 0.5
        read -r x y w h < <(window_geometry "$icon")
        echo "tray icon $size on $panel: ${w}x$h" >&2
        import -window root -crop "$((w + 8))x$((h + 8))+$((x - 4))+$((y - 4))" +repage -filter point \
            -resize 800% "$picture"
    )
}

for colours in "black #000000 #ffffff" "white #ffffff #000000"; do
    read -r name panel ink <<<"$colours"
    pictures=()
    for size in 16 22 24 32; do
        shoot "$panel" "$ink" "$size" "$scratch/$name-$size.png"
        pictures+=("$scratch/$name-$size.png")
    done
    convert "${pictures[@]}" -background '#808080' -gravity center +smush 16 \
        "$out/tray-icon-$name.png"
    echo "wrote $out/tray-icon-$name.png"
done
