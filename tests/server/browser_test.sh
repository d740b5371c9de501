#!/usr/bin/env bash
# The world table in a real browser: a few reports (two the server must refuse),
# then headless Chromium loads the page; its DOM must hold one score row per
# accepted report, in rank order, and nothing of the refused ones; a name
# search finds its pilot with the world rank. Screenshots of the page at a
# desktop's and a phone's width go to OUT/world-table.png and
# OUT/world-table-phone.png: the background must be the game's dark navy and
# the logo must show.
#   tests/server/browser_test.sh SERVER LOAD_CLIENT OUT
set -euo pipefail
server=$(realpath "$1")
client=$(realpath "$2")
out=$(realpath -m "$3")
mkdir -p "$out"
. "$(dirname "$0")/common.sh"

chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || fail "chromium is not installed"
browse() {
    # Root (as in CI) needs --no-sandbox; the profile stays in the work folder.
    timeout 90 "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
        --user-data-dir="$work/profile" --hide-scrollbars "$@" 2>>"$work/chromium.log"
}

start_server "$work/scores.sqlite" "$work/server.log"
url="http://127.0.0.1:$server_port/cgi/version.pl?prg=Vantorel&show&type=0"

# name | score | add | status the server must answer
reports=(
    "Grace Hopper|5200|compilers|200"
    "Ada Lovelace|9100|engines|200"
    "Zed 7|-40||200"
    "<b>X|7000|markup|400"
    "Bob!|6000||400"
    "Kate Johnson|5200|orbits|200"
)
for row in "${reports[@]}"; do
    IFS='|' read -r name score add want <<<"$row"
    got=$("$client" report --server "127.0.0.1:$server_port" --name "$name" --score "$score" --add "$add")
    [ "$got" = "$want" ] || fail "report '$name' answered $got, expected $want"
done

browse --dump-dom "$url" >"$work/dom.html" || fail "chromium could not load $url"
# A score row is a tr whose classes include "score" (it may carry others, such
# as a mark for the top ranks).
rows=$(grep -oE '<tr class="([^"]* )?score( [^"]*)?"' "$work/dom.html" | wc -l)
[ "$rows" -eq 4 ] || fail "the page holds $rows score rows, expected 4"
# The names in page order: best score first, the earlier of two equal scores first.
order=$(grep -oE 'Ada Lovelace|Grace Hopper|Kate Johnson|Zed 7' "$work/dom.html" | tr '\n' ',')
[ "$order" = "Ada Lovelace,Grace Hopper,Kate Johnson,Zed 7," ] ||
    fail "the rows are not in rank order: $order"
if grep -qE '<b>X|&lt;b&gt;X|Bob!' "$work/dom.html"; then
    fail "a refused report shows on the page"
fi

# Finding yourself: the search form's request, as the browser sends it.
browse --dump-dom "$url&name=ADA" >"$work/search.html" || fail "chromium could not search"
found=$(grep -oE '<tr class="score[^"]*"><td class="rank">[0-9]+</td><td class="name">[^<]*' \
    "$work/search.html" | sed 's/.*rank">//; s/<\/td><td class="name">/ /' | tr '\n' ',')
[ "$found" = "1 Ada Lovelace," ] || fail "the search for ADA found: $found"

# The page on a desktop and on a phone. The logo (served by the server) must
# show: its band is much brighter than the bare navy of the page.
for shot in "world-table 1280,800 250 780" "world-table-phone 390,844 10 370"; do
    read -r name size left width <<<"$shot"
    browse --screenshot="$out/$name.png" --window-size="$size" "$url" >/dev/null ||
        fail "chromium took no screenshot at $size"
    [ -s "$out/$name.png" ] || fail "the screenshot at $size is empty"
    # A corner of the page, away from any text: dark, and more blue than red or green.
    read -r red green blue < <(convert "$out/$name.png" -format '%[fx:int(255*p{3,3}.r)] %[fx:int(255*p{3,3}.g)] %[fx:int(255*p{3,3}.b)]\n' info:)
    [ "$blue" -gt "$red" ] && [ "$blue" -gt "$green" ] && [ "$((red + green + blue))" -lt 240 ] ||
        fail "the page's background at $size is rgb($red,$green,$blue), not a dark navy"
    bright=$(convert "$out/$name.png" -crop "${width}x50+$left+40" -format '%[fx:int(1000*mean)]' info:)
    [ "$bright" -gt 200 ] || fail "no logo at the top of the page at $size (brightness $bright/1000)"
done
stop_server
echo "browser: $rows rows in rank order, search found them; screenshots in $out/world-table.png and $out/world-table-phone.png"
