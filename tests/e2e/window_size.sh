#!/usr/bin/env bash
# The game's window under Xvfb, with no window manager (as in a kiosk): the
# picture and the pointer follow the window's real size in a window, after the
# window is resized, and in full screen by Alt+Enter and back. Each step checks
# that the picture is whole (its corners where they belong, the bars black) and
# that hovering a menu item lights that item. Screenshots go to OUT.
#   tests/e2e/window_size.sh GAME_BINARY DATA_DIR [OUT]
set -euo pipefail
game=$(realpath "$1")
data=$(realpath "$2")
out=$(realpath -m "${3:-e2e-shots}")
mkdir -p "$out"

shot_prefix="window-"
. "$(dirname "$0")/desktop.sh"
begin_desktop_run
link_data "$work" "$data"

# Where the picture is now: left top width height on the screen, as the window's
# real geometry and the picture's 4:3 fit in it say.
px=0 py=0 pw=800 ph=600
measure_window() {
    local geometry x y w h
    geometry=$(xdotool getwindowgeometry --shell "$wid")
    x=$(sed -n 's/^X=//p' <<<"$geometry")
    y=$(sed -n 's/^Y=//p' <<<"$geometry")
    w=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
    h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
    if [ $((w * 600)) -le $((h * 800)) ]; then
        pw=$w
        ph=$(((w * 600 + 400) / 800))
    else
        ph=$h
        pw=$(((h * 800 + 300) / 600))
    fi
    px=$((x + (w - pw) / 2))
    py=$((y + (h - ph) / 2))
}

# The screen point over picture point (gx, gy).
screen_x() { echo $((px + (2 * $1 + 1) * pw / 1600)); }
screen_y() { echo $((py + (2 * $1 + 1) * ph / 1200)); }

# brightness X Y W H: the mean brightness (0 to 1) of a screen rectangle in the
# last look.
brightness() {
    convert "$work/look.png" -crop "$3x$4+$1+$2" +repage -colorspace Gray -format '%[fx:mean]' info:
}
look() { import -window root "$work/look.png"; }

# check_picture NAME: the picture fills its place whole. Its four corners show the
# evening sky above and the hills below (never black), the logo's white letters
# are in the top middle, and any bar beside or above the picture is black.
check_picture() {
    local name=$1
    shot "$name"
    cp "$out/$shot_prefix$name.png" "$work/look.png"
    local corner
    for corner in "2 2" "797 2" "2 597" "797 597"; do
        set -- $corner
        local b
        b=$(brightness "$(screen_x "$1")" "$(screen_y "$2")" 1 1)
        awk -v b="$b" 'BEGIN { exit !(b > 0.02) }' ||
            fail "$name: the picture's corner ($1, $2) is black: the picture is cut off or misplaced"
    done
    # The logo: bright letters between x 250 and 550, y 40 and 100 of the picture.
    local lx ly lw lh
    lx=$(screen_x 250) ly=$(screen_y 40)
    lw=$(($(screen_x 550) - lx)) lh=$(($(screen_y 100) - ly))
    local logo
    logo=$(convert "$work/look.png" -crop "${lw}x${lh}+$lx+$ly" +repage -colorspace Gray \
        -threshold 75% -format '%[fx:mean]' info:)
    awk -v m="$logo" 'BEGIN { exit !(m > 0.08) }' || fail "$name: the logo is not where it belongs ($logo)"
    # Bars: a strip just outside the picture, inside the window, is black.
    if [ "$px" -gt "$wx" ]; then
        local bar
        bar=$(brightness "$wx" "$py" $((px - wx)) "$ph")
        awk -v b="$bar" 'BEGIN { exit !(b < 0.01) }' || fail "$name: the bar left of the picture is not black"
    fi
    if [ "$py" -gt "$wy" ]; then
        local bar
        bar=$(brightness "$px" "$wy" "$pw" $((py - wy)))
        awk -v b="$bar" 'BEGIN { exit !(b < 0.01) }' || fail "$name: the bar above the picture is not black"
    fi
}

# Main-menu items by number, their middle on the picture; the lit item has a
# bright frame and text, so its strip is the brightest of the menu's.
item_y() {
    local tops=(0 156 205 260 311 360 407)
    echo $((tops[$1] + 20))
}
brightest_item() {
    local best=0 best_b=-1 k
    for k in 1 2 3 4 5 6; do
        local x0 y0 x1 y1 b
        x0=$(screen_x 215) y0=$(screen_y $(($(item_y "$k") - 16)))
        x1=$(screen_x 585) y1=$(screen_y $(($(item_y "$k") + 16)))
        b=$(brightness "$x0" "$y0" $((x1 - x0)) $((y1 - y0)))
        if awk -v b="$b" -v best="$best_b" 'BEGIN { exit !(b > best) }'; then
            best=$k
            best_b=$b
        fi
    done
    echo "$best"
}

# check_hover NAME ITEM: the pointer over the item's middle lights that item.
check_hover() {
    local name=$1 item=$2
    xdotool mousemove "$(screen_x 400)" "$(screen_y "$(item_y "$item")")"
    sleep 0.6
    look
    cp "$work/look.png" "$out/$shot_prefix$name.png"
    local lit
    lit=$(brightest_item)
    [ "$lit" = "$item" ] || fail "$name: the pointer is over item $item but item $lit is lit"
}

window_place() {
    measure_window
    local geometry
    geometry=$(xdotool getwindowgeometry --shell "$wid")
    wx=$(sed -n 's/^X=//p' <<<"$geometry")
    wy=$(sed -n 's/^Y=//p' <<<"$geometry")
}

start_xvfb
start_game "$work" "$work/game.log" VANTOREL_DEBUG_FPS=1
sleep 3 # the menu's fade-in

window_place
[ "$pw" = 800 ] && [ "$ph" = 600 ] || fail "the window opened at ${pw}x${ph}, not 800x600"
check_picture 1-window
check_hover 2-window-hover-help 4
check_hover 3-window-hover-options 2

# A taller window: bars above and below, the picture scaled down.
xdotool windowsize --sync "$wid" 640 640 || xdotool windowsize "$wid" 640 640
sleep 1
window_place
[ "$pw" = 640 ] || fail "after the resize the picture is ${pw} wide, not 640"
check_picture 4-resized
check_hover 5-resized-hover-help 4

# Full screen: the whole 1024x768 screen, with no window manager to ask.
xdotool key alt+Return
sleep 1.5
window_place
[ "$pw" = 1024 ] && [ "$ph" = 768 ] ||
    fail "in full screen the window is ${pw}x${ph}, not the screen's 1024x768"
check_picture 6-full-screen
check_hover 7-full-screen-hover-help 4
check_hover 8-full-screen-hover-options 2

# Back in a window: the size the player gave it.
xdotool key alt+Return
sleep 1.5
window_place
[ "$pw" = 640 ] || fail "back from full screen the picture is ${pw} wide, not 640"
check_picture 9-back
check_hover 10-back-hover-help 4

grep -m1 '^display:' "$work/game.log" || true
echo "e2e: the picture and the pointer follow the window in a window, resized and in full screen; shots in $out"
