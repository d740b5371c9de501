#!/usr/bin/env bash
# The real game under Xvfb, driven with xdotool as a person would: the main menu,
# the options, a new game, Esc and "Exit to menu?", then "Exit the game?" and a
# look at the saved files. Screenshots go to OUT (default: e2e-shots/ here).
#   tests/e2e/play_as_a_person.sh GAME_BINARY DATA_DIR [OUT]
set -euo pipefail
game=$(realpath "$1")
data=$(realpath "$2")
out=$(realpath -m "${3:-e2e-shots}")
mkdir -p "$out"

work=$(mktemp -d)
display=:$((90 + RANDOM % 9))
cleanup() {
    [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/Data"
for part in Res Music Fonts; do ln -s "$data/$part" "$work/Data/$part"; done

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# The pointer rests off the game's window, so that it highlights no menu item.
xdotool mousemove 1010 10

(cd "$work" && exec env -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy "$game") &
game_pid=$!
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --name "Vantorel v.2.0" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || { echo "e2e: the game's window never showed"; exit 1; }
xdotool windowfocus --sync "$wid" 2>/dev/null || true

shot() { import -window root "$out/$1.png"; }
key() { xdotool key --delay 60 "$@"; sleep 0.4; }
fail() { echo "e2e: $*"; exit 1; }

# The window sits in the middle of the 1024x768 screen: game (x, y) is screen
# (x + 112, y + 84).
pointer() { xdotool mousemove $(($1 + 112)) $(($2 + 84)); sleep 0.3; }
sleep 3            # the menu's fade-in
pointer 400 176    # over "New Game": it lights up
pointer 760 300    # off the buttons: the highlight stays
shot 1-main-menu
key Down            # options
key Return
sleep 0.5
shot 2-options
key Escape          # back to the main menu, "Options" highlighted
key Up              # "New game"
key Return
sleep 2.5
shot 3-game-starts
xdotool keydown space; sleep 2; xdotool keyup space
shot 4-in-play
key Escape          # "Exit to menu?"
shot 5-exit-to-menu
key y
sleep 1
shot 6-back-on-a-menu
# Whatever screen the game returned to, Esc leads back to the main menu and
# then to "Exit the game?".
for _ in 1 2 3; do
    kill -0 "$game_pid" 2>/dev/null || break
    key Escape
    sleep 0.3
    shot 7-exit-question
    key y
    sleep 0.5
done
for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && fail "the game did not end through the exit question"
game_pid=""

for f in hs options; do
    [ -f "$work/Data/Save/$f" ] || fail "Data/Save/$f was not written"
done
[ "$(grep -c $'\r$' "$work/Data/Save/hs")" -eq 20 ] || fail "hs does not hold 20 CR LF lines"
[ "$(grep -c $'\r$' "$work/Data/Save/options")" -eq 5 ] || fail "options does not hold 5 CR LF lines"
echo "e2e: played through the menus and a game; saved files are in place; shots in $out"
