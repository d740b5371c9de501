# Shared by the end-to-end scripts: a private X server, the real game in it, and
# the keys, pointer and screenshots a person would use. Source it after setting
# out (the screenshot folder) and shot_prefix. A script either calls
# begin_desktop_run, or sets work (a scratch folder) itself and calls end_desktop
# from its own exit trap. A fail MESSAGE defined before sourcing is kept.

xvfb_pid=""
game_pid=""

if ! declare -F fail >/dev/null; then
    # fail MESSAGE: says what went wrong, with the game's output, and stops.
    fail() {
        echo "e2e: $*"
        [ -s "$work/game.log" ] && cat "$work/game.log"
        exit 1
    }
fi

# begin_desktop_run: a scratch folder in work, removed with the desktop on exit.
begin_desktop_run() {
    work=$(mktemp -d)
    trap 'end_desktop; rm -rf "$work"' EXIT
}

# link_data FOLDER DATA: FOLDER/Data holds the game's data parts from DATA, as a
# player's copy of the game would, with no saves yet.
link_data() {
    local part
    mkdir -p "$1/Data"
    for part in Res Music Fonts; do ln -s "$2/$part" "$1/Data/$part"; done
}

# start_xvfb: a 1024x768 Xvfb on a display number it picks itself; returns once
# the server takes connections, with DISPLAY exported. -noreset keeps it the same
# server between clients, so the game never meets one that is resetting.
start_xvfb() {
    : >"$work/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
        3>"$work/xvfb.display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        # The number is written, with its newline, once the server is ready.
        if [ "$(wc -l <"$work/xvfb.display")" -ge 1 ]; then
            export DISPLAY=":$(head -1 "$work/xvfb.display")"
            xdotool getdisplaygeometry >/dev/null || fail "Xvfb on $DISPLAY takes no clients"
            # The pointer rests off the game's window, so that it highlights no menu item.
            xdotool mousemove 1010 10
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/xvfb.log"
    fail "Xvfb did not start within 20 s"
}

# start_game FOLDER LOG [VAR=VALUE ...]: runs the game in FOLDER with the given
# environment, its output in LOG, and waits (at most 60 s on a busy machine)
# for its window; sets game_pid and wid.
start_game() {
    local folder=$1 log=$2
    shift 2
    (cd "$folder" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$@" "$game") >"$log" 2>&1 &
    game_pid=$!
    wid=""
    for _ in $(seq 600); do
        wid=$(xdotool search --name "Vantorel v.2.0" 2>/dev/null | head -1 || true)
        [ -n "$wid" ] && break
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$wid" ]; then
        cat "$log"
        fail "the game's window never showed"
    fi
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
}

# wait_for_game_end: true once the game has ended by itself (within 5 s).
wait_for_game_end() {
    for _ in $(seq 50); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && return 1
    wait "$game_pid" 2>/dev/null || true
    game_pid=""
}

# end_desktop: a game still running is asked to end and waited for, so that its
# last save finishes before the scratch folder goes; then the X server stops.
end_desktop() {
    if [ -n "$game_pid" ]; then
        kill "$game_pid" 2>/dev/null || true
        wait_for_game_end || kill -9 "$game_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}

# panel_shown: the game's instrument panel is across the top of the window, as
# in play and in the name entry after a game; the menus show dark sky there.
panel_shown() {
    import -window root "$work/look.png"
    [ "$(convert "$work/look.png" -crop 560x10+170+90 -format '%[fx:mean>0.5]' info:)" = 1 ]
}

shot() { import -window root "$out/$shot_prefix$1.png"; }
key() {
    xdotool key --delay 60 "$@"
    sleep 0.4
}
# The window sits in the middle of the 1024x768 screen: game (x, y) is screen
# (x + 112, y + 84).
pointer() {
    xdotool mousemove $(($1 + 112)) $(($2 + 84))
    sleep 0.3
}
