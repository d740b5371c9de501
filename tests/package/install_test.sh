#!/usr/bin/env bash
# The Debian packages as a player and an operator meet them: ./dev package (which
# fails on any lintian error or warning), the desktop entry and the AppStream
# metainfo through their validators, then the three packages installed with apt-get;
# the game run from / by a fresh user under Xvfb (the main menu shows, Esc and "y"
# end it, the saves land in that user's ~/.local/share/vantorel/Save and nothing is
# written under /usr); the score server started from its installed unit's command
# line as systemd would start it, taking a report; last, a purge that must leave no
# file of the packages behind. Installing needs root (or sudo without a password):
# without either it says SKIPPED and ends.
#   tests/package/install_test.sh BUILD_DIR   (for BUILD_DIR/tests/vantorel_load_client;
#                                              screenshots go to BUILD_DIR/package-shots)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath "${1:-$root/build}")
client="$build/tests/vantorel_load_client"
out="$build/package-shots"
packages=(vantorel vantorel-data vantorel-scored)

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
else
    echo "install_test: SKIPPED: installing the packages needs root or sudo without a password"
    exit 0
fi

work=$(mktemp -d)
chmod 755 "$work"
player="vtplayer$$"
operator="vtscored$$"
server_pid=""
fail() {
    echo "install_test: FAIL: $*"
    [ -s "$work/game.log" ] && cat "$work/game.log"
    exit 1
}
shot_prefix=""
. "$root/tests/e2e/desktop.sh"
cleanup() {
    end_desktop
    [ -n "$server_pid" ] && "${as_root[@]}" kill "$server_pid" 2>/dev/null || true
    for u in "$player" "$operator"; do
        id "$u" >/dev/null 2>&1 && "${as_root[@]}" userdel -r "$u" >/dev/null 2>&1 || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
step() { echo "install_test: $*"; }

# 1. The packages, checked by lintian inside ./dev package.
started=$(date +%s)
"$root/dev" package
step "./dev package took $(($(date +%s) - started)) s"
debs=()
for p in "${packages[@]}"; do
    deb=$(ls "$root"/dist/"${p}"_*.deb)
    debs+=("$deb")
    step "$(basename "$deb"): $(stat -c %s "$deb") bytes"
done

# 2. The desktop entry and the metainfo as packaged.
dpkg-deb -x "${debs[0]}" "$work/game-deb"
desktop-file-validate "$work"/game-deb/usr/share/applications/*.desktop ||
    fail "desktop-file-validate found faults"
appstreamcli validate --no-net --explain "$work"/game-deb/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli found faults"
if appstreamcli validate --no-net "$work"/game-deb/usr/share/metainfo/*.metainfo.xml |
    grep -E '^(E|W):'; then
    fail "appstreamcli reports errors or warnings"
fi

# 3. Installed from a clean state (a run that failed earlier may have left them).
"${as_root[@]}" dpkg --purge "${packages[@]}" >/dev/null 2>&1 || true
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${debs[@]}" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install failed"; }
dpkg-query -L "${packages[@]}" >"$work/files"
[ "$(/usr/games/vantorel --version)" = "vantorel 2.0" ] || fail "vantorel --version"
/usr/sbin/vantorel-scored --help >/dev/null || fail "vantorel-scored --help did not exit with 0"
for size in 16 22 24 32 48 64 128 256; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/io.github.vantorel.Vantorel.png
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size}x${size}"
done
[ -d /usr/share/games/vantorel/Data/Res ] && [ ! -e /usr/share/games/vantorel/Data/Save ] ||
    fail "the installed data folder is not Res/Music/Fonts alone"

# 4. The game as a fresh player, started from /, under Xvfb.
"${as_root[@]}" useradd --create-home --shell /bin/sh "$player"
home=$(getent passwd "$player" | cut -d: -f6)
mkdir -p "$out"
touch "$work/stamp"
sleep 1
start_xvfb
# The player's own session: sudo would drop DISPLAY, so it is passed on by name.
printf '#!/bin/sh\nexec %s runuser -u %s -- env -u XDG_DATA_HOME -u XDG_RUNTIME_DIR DISPLAY=%s SDL_AUDIODRIVER=dummy /usr/games/vantorel\n' \
    "${as_root[*]}" "$player" "$DISPLAY" >"$work/run-game"
chmod 755 "$work/run-game"
game="$work/run-game"
start_game / "$work/game.log"
sleep 3 # the menu's fade-in
shot main-menu
lit=$(convert "$out/main-menu.png" -crop 800x600+112+84 -format '%[fx:mean]' info:)
awk -v m="$lit" 'BEGIN { exit !(m > 0.03) }' || fail "the main menu is black (mean $lit)"
for _ in 1 2 3; do
    kill -0 "$game_pid" 2>/dev/null || break
    key Escape
    sleep 0.3
    key y
    sleep 0.5
done
wait_for_game_end || fail "the game did not end through the exit question"
for f in hs options; do
    "${as_root[@]}" test -s "$home/.local/share/vantorel/Save/$f" ||
        fail "$home/.local/share/vantorel/Save/$f was not written"
done
written=$(find /usr -newer "$work/stamp" 2>/dev/null | head -20)
[ -z "$written" ] || fail "the game wrote under /usr: $written"
step "the installed game showed its menu, saved to ~/.local/share/vantorel/Save, left /usr alone"

# 5. The score server as its unit starts it: the unit's ExecStart, a user of its
# own, the state folder made as StateDirectory= makes it, the operator's one-line
# edit of the listen address (a free port here).
unit=/lib/systemd/system/vantorel-scored.service
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
[ -n "$exec_start" ] || fail "no ExecStart in $unit"
for setting in DynamicUser=yes StateDirectory=vantorel-scored ProtectSystem=strict \
    NoNewPrivileges=yes PrivateTmp=yes ProtectHome=yes PrivateDevices=yes \
    SystemCallFilter=@system-service CapabilityBoundingSet= MemoryDenyWriteExecute=yes; do
    grep -qx "$setting" "$unit" || fail "$unit lacks $setting"
done
if systemd-analyze verify "$unit" >"$work/verify.log" 2>&1; then
    step "systemd-analyze verify: no complaint"
elif grep -q 'vantorel-scored' "$work/verify.log"; then
    cat "$work/verify.log"
    fail "systemd-analyze verify finds fault with the unit"
else
    step "systemd-analyze verify could not run here: $(head -1 "$work/verify.log")"
fi
"${as_root[@]}" sed -i 's/^listen = .*/listen = 127.0.0.1:0/' /etc/vantorel-scored.conf
"${as_root[@]}" useradd --system --no-create-home --shell /usr/sbin/nologin "$operator"
"${as_root[@]}" install -d -m 0750 -o "$operator" -g "$operator" /var/lib/vantorel-scored
# setpriv execs the server in its own place, so that the pid waited for is its own.
"${as_root[@]}" setpriv --reuid "$operator" --regid "$operator" --clear-groups \
    sh -c "cd /var/lib/vantorel-scored && umask 0077 && exec $exec_start" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 200); do
    port=$(sed -n '1s/^listening on 127\.0\.0\.1:\([0-9][0-9]*\)$/\1/p' "$work/server.log")
    [ -n "$port" ] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$port" ] || { cat "$work/server.log"; fail "the installed server did not start"; }
[ -x "$client" ] || fail "no report client at $client (build the tests first)"
answer=$("$client" report --server "127.0.0.1:$port" --name "Deb Pilot" --score 4242 --add packaged)
[ "$answer" = 200 ] || fail "the report was answered $answer"
"$client" get --server "127.0.0.1:$port" --path "/cgi/version.pl?prg=Vantorel&show&type=0" \
    >"$work/table.html"
grep -q "Deb Pilot" "$work/table.html" || fail "the report is not in the world table"
"${as_root[@]}" kill "$server_pid"
wait "$server_pid" || { cat "$work/server.log"; fail "the server did not end cleanly on SIGTERM"; }
server_pid=""
"${as_root[@]}" test -s /var/lib/vantorel-scored/scores.sqlite ||
    fail "the database is not in the state folder"
step "the installed server took a report into /var/lib/vantorel-scored/scores.sqlite"

# 6. Purge: nothing of the packages stays, nor the state folder or the unit's links.
"${as_root[@]}" userdel -r "$player" >/dev/null 2>&1 || true
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq "${packages[@]}" \
    >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge failed"; }
left=()
# Every file the packages held, and their own folders (shared ones like /usr stay).
while read -r f; do
    if [[ "$f" == *vantorel* ]]; then
        if [ -e "$f" ] || [ -L "$f" ]; then left+=("$f"); fi
    elif [ -e "$f" ] && [ ! -d "$f" ]; then
        left+=("$f")
    fi
done <"$work/files"
for f in /var/lib/vantorel-scored /var/lib/private/vantorel-scored /etc/vantorel \
    /etc/vantorel-scored.conf /etc/systemd/system/multi-user.target.wants/vantorel-scored.service; do
    if [ -e "$f" ] || [ -L "$f" ]; then left+=("$f"); fi
done
[ ${#left[@]} -eq 0 ] || fail "left behind after purge: ${left[*]}"
step "installed, played, served and purged without a trace; shots in $out"
