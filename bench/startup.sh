#!/usr/bin/env bash
# Start time, memory and idle CPU of the app against the bare Qt baseline (bench/baseline), each
# launched as on a fresh account on a private X server with a window manager and a tray host.
#
#   bench/startup.sh BUILD_DIR [ROUNDS]      (ROUNDS defaults to 7)
#
# Each round starts the app and the baseline one after the other (their order swapped every round) and
# measures, per process: the time from spawn to its window being mapped and visible, and its resident
# memory 2 s after spawn. Then both run side by side, idle, for 60 s and the CPU time each used is read.
# Prints the medians and the app ÷ baseline ratios; a busy machine slows both sides alike.
# Needs Xvfb, openbox, tint2 and xdotool (Debian: xvfb openbox tint2 xdotool).

set -euo pipefail

usage() { echo "usage: $0 BUILD_DIR [ROUNDS]" >&2; exit 2; }
[[ $# -ge 1 && $# -le 2 ]] || usage
build_dir=$(cd "$1" && pwd) || usage
rounds=${2:-7}
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage

app_bin=$build_dir/src/pellora
base_bin=$build_dir/bench/baseline/bench_baseline
probe=$build_dir/bench/baseline/window_probe    # when absent, xdotool is polled instead
app_title=Pellora
base_title=Baseline

poll_interval=0.005      # seconds between two looks for the window (window_probe: 5 ms, and on X changes)
window_timeout_us=30000000
rss_after_us=2000000
idle_settle_s=5          # lets start-up work and animations finish before the idle window opens
idle_seconds=60
screen_size=1920x1080x24

for tool in Xvfb openbox tint2 xdotool getconf; do
    command -v "$tool" >/dev/null || { echo "$0: $tool not found (apt-get install xvfb openbox tint2 xdotool)" >&2; exit 1; }
done
for bin in "$app_bin" "$base_bin"; do
    [[ -x $bin ]] || { echo "$0: $bin not built" >&2; exit 1; }
done
clk_tck=$(getconf CLK_TCK)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pellora-startup.XXXXXX")
declare -a started=()    # every process this script spawned, killed on exit

stop_pid() {
    local pid=$1 i
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 500; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    local i
    trap - EXIT INT TERM
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        stop_pid "${started[i]}"
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

now_us() { local t=$EPOCHREALTIME; echo $((10#${t//[.,]/})); }
fmt_ms() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }
sleep_until_us() {
    local left=$(($1 - $(now_us)))
    ((left > 0)) && sleep "$(printf '%d.%06d' $((left / 1000000)) $((left % 1000000)))"
    return 0
}

# --- A private desktop: X server, window manager, tray host. -----------------------------------------
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER DESKTOP_SESSION XDG_CURRENT_DESKTOP
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime
export XDG_CACHE_HOME=$scratch/cache XDG_DATA_HOME=$scratch/data XDG_STATE_HOME=$scratch/state
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" "$scratch/wm-config"
chmod 700 "$XDG_RUNTIME_DIR"
app_config=$scratch/config

mkfifo "$scratch/displayfd"
Xvfb -displayfd 3 -screen 0 "$screen_size" -nolisten tcp -noreset 3>"$scratch/displayfd" \
    >"$scratch/xvfb.log" 2>&1 &
started+=($!)
display_number=
read -r -t 20 display_number <"$scratch/displayfd" || true
[[ $display_number =~ ^[0-9]+$ ]] || { echo "$0: Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
export DISPLAY=:$display_number

XDG_CONFIG_HOME=$scratch/wm-config openbox >"$scratch/openbox.log" 2>&1 &
started+=($!)
XDG_CONFIG_HOME=$scratch/wm-config tint2 >"$scratch/tint2.log" 2>&1 &
started+=($!)
deadline=$(($(now_us) + 20000000))
until xdotool search --onlyvisible --classname tint2 >/dev/null 2>&1; do
    (($(now_us) < deadline)) || { echo "$0: tint2 did not show its panel" >&2; exit 1; }
    sleep 0.05
done
sleep 1    # the tray selection and the work area are set just after the panel maps
xdotool mousemove 40 300    # away from the bottom-right corner, the panel and the tray

# --- One launch. ------------------------------------------------------------------------------------
# Sets: launched_pid, start_us (spawn to window visible), poll_count.
launch() {
    local bin=$1 title=$2 log=$3 t0 deadline
    rm -rf "$app_config" "${XDG_RUNTIME_DIR:?}"/*    # a first launch: no settings, no single-instance leftovers
    mkdir -p "$app_config"
    t0=$(now_us)
    XDG_CONFIG_HOME=$app_config "$bin" >>"$log" 2>&1 &
    launched_pid=$!
    launched_t0=$t0
    started+=("$launched_pid")
    if [[ -x $probe ]]; then
        local seen
        if ! seen=$("$probe" "$launched_pid" "$title" $((window_timeout_us / 1000))); then
            echo "$0: no visible \"$title\" window from $bin; its output:" >&2
            cat "$log" >&2
            exit 1
        fi
        start_us=$((${seen% *} - t0))
        poll_count=${seen#* }
        return
    fi
    deadline=$((t0 + window_timeout_us))
    poll_count=0
    while :; do
        poll_count=$((poll_count + 1))
        xdotool search --onlyvisible --pid "$launched_pid" --name "^${title}\$" >/dev/null 2>&1 && break
        if ! kill -0 "$launched_pid" 2>/dev/null; then
            echo "$0: $bin exited before showing its window; its output:" >&2
            cat "$log" >&2
            exit 1
        fi
        (($(now_us) < deadline)) || { echo "$0: no visible \"$title\" window from $bin" >&2; exit 1; }
        sleep "$poll_interval"
    done
    start_us=$(($(now_us) - t0))
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

cpu_ticks() {
    local stat rest
    stat=$(<"/proc/$1/stat")
    rest=${stat##*) }             # fields after the command name, which may hold spaces
    read -r -a f <<<"$rest"
    echo $((f[11] + f[12]))       # utime + stime
}

forget() {                        # drops a stopped process from the cleanup list
    local pid=$1 i
    for i in "${!started[@]}"; do [[ ${started[i]} == "$pid" ]] && unset 'started[i]'; done
    started=("${started[@]}")
}

declare -a app_start=() app_rss=() base_start=() base_rss=()
poll_total_us=0
poll_total=0

measure() {    # measure WHICH ROUND
    local which=$1 round=$2 bin title rss
    if [[ $which == app ]]; then bin=$app_bin title=$app_title; else bin=$base_bin title=$base_title; fi
    launch "$bin" "$title" "$scratch/$which.log"
    poll_total_us=$((poll_total_us + start_us))
    poll_total=$((poll_total + poll_count))
    sleep_until_us $((launched_t0 + rss_after_us))
    rss=$(rss_kib "$launched_pid")
    stop_pid "$launched_pid"
    forget "$launched_pid"
    if ((round > 0)); then
        if [[ $which == app ]]; then
            app_start+=("$start_us") app_rss+=("$rss")
        else
            base_start+=("$start_us") base_rss+=("$rss")
        fi
    fi
    printf '  round %d  %-8s  start %9s ms  RSS %8.1f MiB%s\n' "$round" "$which" "$(fmt_ms "$start_us")" \
        "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$( ((round > 0)) || echo '  (warm-up, not counted)')"
}

echo "display :$display_number ($screen_size), openbox + tint2; Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?')"
echo "app:      $app_bin"
echo "baseline: $base_bin"
for ((r = 0; r <= rounds; r++)); do
    if ((r % 2)); then measure app "$r"; measure baseline "$r"; else measure baseline "$r"; measure app "$r"; fi
done

# --- Idle, side by side. ----------------------------------------------------------------------------
launch "$app_bin" "$app_title" "$scratch/app.log"
app_pid=$launched_pid
# The baseline must not wipe the app's runtime files: start it by hand.
XDG_CONFIG_HOME=$scratch/baseline-config "$base_bin" >>"$scratch/baseline.log" 2>&1 &
base_pid=$!
started+=("$base_pid")
deadline=$(($(now_us) + window_timeout_us))
until xdotool search --onlyvisible --pid "$base_pid" --name "^${base_title}\$" >/dev/null 2>&1; do
    (($(now_us) < deadline)) || { echo "$0: no visible baseline window" >&2; exit 1; }
    sleep 0.05
done
xdotool mousemove 40 300
sleep "$idle_settle_s"
# perf's task-clock, when perf can count, gives the same CPU time in nanoseconds rather than whole ticks.
declare -a perf_pids=()
if command -v perf >/dev/null; then
    for which in app baseline; do
        [[ $which == app ]] && pid=$app_pid || pid=$base_pid
        perf stat -x, -e task-clock -p "$pid" -o "$scratch/perf-$which.csv" -- sleep "$idle_seconds" >/dev/null 2>&1 &
        perf_pids+=($!)
        started+=($!)
    done
fi
app_ticks0=$(cpu_ticks "$app_pid")
base_ticks0=$(cpu_ticks "$base_pid")
sleep "$idle_seconds"
app_ticks1=$(cpu_ticks "$app_pid")
base_ticks1=$(cpu_ticks "$base_pid")
for pid in "${perf_pids[@]}"; do wait "$pid" 2>/dev/null || true; forget "$pid"; done
kill -0 "$app_pid" 2>/dev/null || { echo "$0: the app exited while idle" >&2; exit 1; }

# --- Report. ----------------------------------------------------------------------------------------
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

app_start_ms=$(awk -v u="$(median "${app_start[@]}")" 'BEGIN { printf "%.1f", u / 1000 }')
base_start_ms=$(awk -v u="$(median "${base_start[@]}")" 'BEGIN { printf "%.1f", u / 1000 }')
app_rss_mib=$(awk -v k="$(median "${app_rss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }')
base_rss_mib=$(awk -v k="$(median "${base_rss[@]}")" 'BEGIN { printf "%.1f", k / 1024 }')
app_cpu=$(awk -v t=$((app_ticks1 - app_ticks0)) -v hz="$clk_tck" -v s="$idle_seconds" 'BEGIN { printf "%.3f", t / hz * 60 / s }')
base_cpu=$(awk -v t=$((base_ticks1 - base_ticks0)) -v hz="$clk_tck" -v s="$idle_seconds" 'BEGIN { printf "%.3f", t / hz * 60 / s }')
start_ratio=$(awk -v a="$app_start_ms" -v b="$base_start_ms" 'BEGIN { printf "%.2f", a / b }')
rss_ratio=$(awk -v a="$app_rss_mib" -v b="$base_rss_mib" 'BEGIN { printf "%.2f", a / b }')
verdict() { awk -v v="$1" -v lim="$2" 'BEGIN { print (v <= lim) ? "ok" : "OVER" }'; }
task_clock() {    # milliseconds per minute from a perf CSV, or "n/a"
    awk -F, -v s="$idle_seconds" '$3 == "task-clock" && $1 ~ /^[0-9.]+$/ { printf "%.2f", $1 * 60 / s; found = 1 }
        END { if (!found) print "n/a" }' "$1" 2>/dev/null || echo n/a
}
poll_ms=$(awk -v u="$poll_total_us" -v n="$poll_total" 'BEGIN { printf "%.1f", u / n / 1000 }')

echo
echo "medians of $rounds interleaved rounds (order swapped every round, after one warm-up round)"
if [[ -x $probe ]]; then
    echo "window seen by window_probe: one X connection looking every 5 ms and on every change under the root; ~$poll_ms ms per look on average"
else
    echo "window polled with xdotool every $(awk -v s="$poll_interval" 'BEGIN { print s * 1000 }') ms + one xdotool run = ~$poll_ms ms per look on average"
fi
echo "idle: both side by side from ${idle_settle_s} s after start, pointer parked away, utime+stime over ${idle_seconds} s (CLK_TCK $clk_tck: 1 tick = $(awk -v h="$clk_tck" 'BEGIN { print 1 / h }') s)"
echo
printf '%-16s %10s %10s %16s\n' "" "start ms" "RSS MiB" "idle CPU s/min"
printf '%-16s %10s %10s %16s\n' "app" "$app_start_ms" "$app_rss_mib" "$app_cpu"
printf '%-16s %10s %10s %16s\n' "baseline" "$base_start_ms" "$base_rss_mib" "$base_cpu"
printf '%-16s %10s %10s %16s\n' "app / baseline" "${start_ratio}x" "${rss_ratio}x" ""
printf '%-16s %10s %10s %16s\n' "aim" "<= 1.30x" "<= 1.25x" "app <= 0.010"
printf '%-16s %10s %10s %16s\n' "" "$(verdict "$start_ratio" 1.30)" "$(verdict "$rss_ratio" 1.25)" "$(verdict "$app_cpu" 0.010)"
if ((${#perf_pids[@]})); then
    echo
    echo "idle on-CPU time by perf task-clock over the same ${idle_seconds} s: app $(task_clock "$scratch/perf-app.csv") ms/min, baseline $(task_clock "$scratch/perf-baseline.csv") ms/min"
fi
