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

shot_prefix=""
. "$(dirname "$0")/desktop.sh"
begin_desktop_run
link_data "$work" "$data"

start_xvfb
start_game "$work" "$work/game.log"

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
wait_for_game_end || fail "the game did not end through the exit question"

for f in hs options; do
    [ -f "$work/Data/Save/$f" ] || fail "Data/Save/$f was not written"
done
[ "$(grep -c $'\r$' "$work/Data/Save/hs")" -eq 20 ] || fail "hs does not hold 20 CR LF lines"
[ "$(grep -c $'\r$' "$work/Data/Save/options")" -eq 5 ] || fail "options does not hold 5 CR LF lines"
echo "e2e: played through the menus and a game; saved files are in place; shots in $out"
