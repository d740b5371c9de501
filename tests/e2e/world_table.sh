#!/usr/bin/env bash
# The real game sends a real score to a local world table, driven under Xvfb
# with xdotool as a person would: a new game, a short flight with the gun held
# while sweeping up and down, Esc and "Yes" to "Exit to menu?", a name typed into
# the name entry, "Yes" to "Send the result to the World's Highscores page?".
# The server must then hold the report with the name and the score the game saved
# in its own table, and its world-table page must show the name in a score row.
# The game sends the game's replay after the report; the server plays it back with
# the game's replay tool and marks the row verified: the JSON says so, the page
# shows the row as verified, and the replay it offers for download plays back.
#
# The run folder starts with a table a person can write by hand: ten rows with
# no name and a score of 0 (and no options file, so its empty signature matches
# the nameless table). Any shot-down enemy then qualifies; on the default table a
# score must beat 300 points, minutes of play on the first level.
#   tests/e2e/world_table.sh GAME SERVER LOAD_CLIENT DATA_DIR VERIFIER [OUT]
set -euo pipefail
game=$(realpath "$1")
server=$(realpath "$2")
client=$(realpath "$3")
data=$(realpath "$4")
verifier=$(realpath "$5")
out=$(realpath -m "${6:-e2e-shots}")
mkdir -p "$out"
. "$(dirname "$0")/../server/common.sh"

shot_prefix="world-table-"
. "$(dirname "$0")/desktop.sh"
extra_cleanup=end_desktop

start_server "$work/scores.sqlite" "$work/server.log" \
    --replay-verifier "$verifier" --replay-data "$data"
run=$work/run
link_data "$run" "$data"
mkdir -p "$run/Data/Save"
for _ in $(seq 10); do printf '\r\n0\r\n'; done >"$run/Data/Save/hs"

start_xvfb
start_game "$run" "$work/game.log" VANTOREL_SCORE_SERVER="127.0.0.1:$server_port"

sleep 3            # the menu's fade-in
# A game can end with nothing shot down: three lives lost with 0 points lead
# back to the main menu, and 0 points do not open the name entry. A person
# would play again; so does this script, up to three games.
for game_no in 1 2 3; do
    pointer 400 176    # over "New Game"
    pointer 760 300    # off the buttons: the highlight stays
    key Return
    sleep 2.5          # the level banner
    panel_shown || fail "\"New Game\" started no game"
    # Fly for 28 s with the gun held, sweeping the whole height of the field:
    # most games shoot two or more enemies down.
    xdotool keydown space
    for _ in 1 2 3 4 5 6 7; do
        xdotool keydown Up; sleep 2; xdotool keyup Up
        xdotool keydown Down; sleep 2; xdotool keyup Down
    done
    xdotool keyup space
    shot "1-in-play-$game_no"
    if panel_shown; then
        key Escape     # "Exit to menu?"
        key y          # a qualifying score opens the name entry
        sleep 4
        panel_shown && break
    fi
    [ "$game_no" -lt 3 ] || fail "three games in a row shot nothing down"
    echo "world table e2e: game $game_no ended with nothing shot down; playing another"
    sleep 1
done
# Had the last life gone in flight, "Game Over" came first and then the name
# entry, which took the "y" as a letter: after the three seconds of "Game Over"
# the name is cleared either way.
xdotool key --delay 40 $(printf 'BackSpace %.0s' $(seq 14))
name="Xvfb Pilot 7"
xdotool type --delay 80 "$name"
sleep 0.3
shot 2-name-entry
key Return          # commits the name: the table is saved at once
shot 3-send-question
for _ in $(seq 30); do grep -q "^$name"$'\r$' "$run/Data/Save/hs" && break; sleep 0.1; done
grep -q "^$name"$'\r$' "$run/Data/Save/hs" ||
    fail "the name never reached the table: no enemy shot down, or the name entry did not open"
score=$(grep -A1 "^$name"$'\r$' "$run/Data/Save/hs" | sed -n '2s/\r$//p')
echo "world table e2e: the game saved $name with $score points"
key y               # "Yes" to sending
sleep 1
shot 4-after-sending

report=""
for _ in $(seq 100); do
    report=$("$client" get --server "127.0.0.1:$server_port" --path "/api/v1/scores?limit=20")
    grep -q "\"name\":\"$name\"" <<<"$report" && break
    sleep 0.2
done
# Without an options file the add text is the game's default, "_______".
grep -q "\"name\":\"$name\",\"score\":$score,\"add\":\"_______\"," <<<"$report" || {
    cat "$work/server.log"
    fail "the server does not hold $name with $score points and the default add text: $report"
}
# The replay follows the report and is played back by the server's verifier.
row=""
for _ in $(seq 150); do
    report=$("$client" get --server "127.0.0.1:$server_port" --path "/api/v1/scores?limit=20&verified=1")
    row=$(grep -o "{[^{}]*\"name\":\"$name\",\"score\":$score,[^{}]*}" <<<"$report" || true)
    grep -q '"verified":true' <<<"$row" && break
    sleep 0.2
done
grep -q '"verified":true' <<<"$row" || {
    cat "$work/server.log" "$work/server.log.err"
    fail "the server did not verify the game's replay: $report"
}
replay_path=$(sed -n 's/.*"replay":"\([^"]*\)".*/\1/p' <<<"$row")
curl -sf -o "$work/downloaded.vrp" "http://127.0.0.1:$server_port$replay_path" ||
    fail "the verified replay $replay_path could not be downloaded"
VANTOREL_DATA="$data" "$verifier" verify "$work/downloaded.vrp" | grep -q "^score $score " ||
    fail "the downloaded replay does not play back to $score points"
page=$("$client" get --server "127.0.0.1:$server_port" --path "/cgi/version.pl?prg=Vantorel&show&type=0")
[ "$(head -1 <<<"$page")" = 200 ] || fail "the world-table page did not answer 200"
tr -d '\n' <<<"$page" | sed 's/<tr/\n<tr/g' | grep -E '^<tr class="([^"]* )?score( [^"]*)?"' | grep -q ">$name</td>" ||
    fail "the world-table page has no score row with $name"
tr -d '\n' <<<"$page" | sed 's/<tr/\n<tr/g' | grep -E '^<tr class="([^"]* )?verified( [^"]*)?"' | grep -q ">$name</td>" ||
    fail "the world-table page does not show $name's row as verified"

# Back to the main menu and out through "Exit the game?".
for _ in 1 2 3; do
    alive "$game_pid" || break
    key Escape
    key y
    sleep 0.5
done
wait_for_game_end || fail "the game did not end through the exit question"
stop_server
echo "world table e2e: $name with $score points sent by the game, verified by its replay and shown on the page; shots in $out"
