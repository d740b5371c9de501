#!/usr/bin/env bash
# CPU the game process uses in play under Xvfb, where the only GL is a software
# rasteriser: once on the path the game picks by itself and once forced through
# SDL's OpenGL renderer. Reads utime+stime from /proc/PID/stat over SECONDS of
# play (default 10) and prints the share of one core for each path.
#   bench/present_cpu.sh GAME_BINARY DATA_DIR [SECONDS]
set -euo pipefail
game=$(realpath "$1")
data=$(realpath "$2")
seconds=${3:-10}

fail() {
    echo "present_cpu: $*" >&2
    [ -s "$work/game.log" ] && cat "$work/game.log" >&2
    exit 1
}
shot_prefix=""
. "$(dirname "$(realpath "$0")")/../tests/e2e/desktop.sh"
begin_desktop_run
out=$work
link_data "$work" "$data"
ticks=$(getconf CLK_TCK)

# cpu_ticks PID: the process's user plus system time so far, in clock ticks. The
# command name in field 2 may hold spaces, so fields are counted after its ')'.
cpu_ticks() {
    local rest
    rest=$(sed 's/^.*) //' "/proc/$1/stat")
    awk '{ print $12 + $13 }' <<<"$rest"
}

# measure LABEL [VAR=VALUE ...]: starts the game, goes from the main menu into a
# game and prints the CPU share over the next $seconds seconds of play.
measure() {
    local label=$1
    shift
    start_game "$work" "$work/game.log" VANTOREL_DEBUG_FPS=1 "$@"
    sleep 3     # the menu's fade-in
    key Return  # "New game" is highlighted at start
    sleep 3     # the level starts
    local t0 t1 s0 s1
    t0=$(cpu_ticks "$game_pid")
    s0=$(date +%s.%N)
    sleep "$seconds"
    t1=$(cpu_ticks "$game_pid")
    s1=$(date +%s.%N)
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended during the measurement"
    local display
    display=$(grep -m1 '^display:' "$work/game.log" || echo "display: ?")
    awk -v l="$label" -v d="$display" -v dt=$((t1 - t0)) -v hz="$ticks" -v a="$s0" -v b="$s1" \
        'BEGIN { printf "%-22s %5.1f%% of one core over %.1f s  (%s)\n", l, 100 * dt / hz / (b - a), b - a, d }'
    kill "$game_pid"
    wait_for_game_end || kill -9 "$game_pid" 2>/dev/null || true
    game_pid=""
}

start_xvfb
measure "chosen by the game"
measure "forced OpenGL" SDL_RENDER_DRIVER=opengl
