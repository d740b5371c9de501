#!/usr/bin/env python3
"""Start-up time of the game: from exec to the first presented frame of the main
menu, over several warm runs, under the X display in $DISPLAY.

    bench/startup_time.py BUILD_DIR [RUNS]

Each run starts BUILD_DIR/vantorel in BUILD_DIR with VANTOREL_DEBUG_FPS=1, reads
the monotonic time the game prints at its first shown frame and ends it. The
first run only warms the caches and is not counted.
"""
import os
import re
import signal
import statistics
import subprocess
import sys
import time

PATTERN = re.compile(rb"first frame shown (\d+) ms after the program started \(monotonic (\d+) ms\)")


def one_run(build_dir):
    env = dict(os.environ, VANTOREL_DEBUG_FPS="1")
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    started = time.monotonic_ns() // 1_000_000
    game = subprocess.Popen([os.path.join(build_dir, "vantorel")], cwd=build_dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        for line in game.stderr:
            found = PATTERN.search(line)
            if found:
                return int(found.group(2)) - started, int(found.group(1))
        raise SystemExit("the game ended before its first frame")
    finally:
        # SIGTERM is a logout to the game: it saves and quits.
        game.send_signal(signal.SIGTERM)
        try:
            game.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game.kill()


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    build_dir = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    one_run(build_dir)
    from_exec, from_main = zip(*(one_run(build_dir) for _ in range(runs)))
    for name, values in (("from exec", from_exec), ("from main", from_main)):
        ordered = sorted(values)
        print(f"{name}: median {statistics.median(ordered):.0f} ms, "
              f"min {ordered[0]} ms, max {ordered[-1]} ms over {runs} runs: {list(values)}")


if __name__ == "__main__":
    main()
