#!/usr/bin/env bash
# A stand-in for the game's replay verifier in the score server's tests, called
# as the server calls the real one: fake_replay_verifier.sh verify --json FILE.
# FILE is a text "replay": the magic line, then "key value" lines that choose
# what the verifier does.
#   VANTOREL-REPLAY
#   mode ok          ok | refuse | usage | slow | loop | sleep | eat | flood | crash | garbage
#   score 1234       for ok and slow: the game printed back
#   name ABC
#   add hello
#   delay 3          for slow: seconds before answering
# slow also leaves a file started.PID in $VANTOREL_DATA when it starts, so a test
# can tell that a server is in the middle of a job.
if [ "$1" != verify ] || [ "$2" != --json ] || [ ! -r "${3:-}" ]; then
    echo "usage: $0 verify --json FILE" >&2
    exit 1
fi
mode=ok score=0 name='' add='' delay=3
while read -r key value || [ -n "$key" ]; do
    case $key in
    mode) mode=$value ;;
    score) score=$value ;;
    name) name=$value ;;
    add) add=$value ;;
    delay) delay=$value ;;
    esac
done <"$3"
game() {
    printf '{"score":%s,"level":3,"frames":4242,"name":"%s","add_text":"%s"}\n' \
        "$score" "$name" "$add"
}
case $mode in
ok) game ;;
refuse)
    echo "frame 120: the state hash differs from the recorded one" >&2
    exit 2
    ;;
usage)
    echo "no game data in VANTOREL_DATA" >&2
    exit 1
    ;;
slow)
    [ -n "${VANTOREL_DATA:-}" ] && : >"$VANTOREL_DATA/started.$$"
    sleep "$delay"
    game
    ;;
loop) while :; do :; done ;;
sleep) sleep 1000 ;;
eat)
    x=x
    while :; do x=$x$x; done
    ;;
flood)
    line=$(printf '%01000d' 0)
    while :; do echo "$line"; done
    ;;
crash) kill -SEGV $$ ;;
garbage) echo "all good, trust me" ;;
esac
