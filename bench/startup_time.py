#!/usr/bin/env python3
"""Start-up time of the game: from exec to the first presented frame of the main
menu, over several warm runs, under the X display in $DISPLAY.

    bench/startup_time.py BUILD_DIR [RUNS] [OTHER_BUILD_DIR ...]

Each run starts BUILD_DIR/vantorel in BUILD_DIR with VANTOREL_DEBUG_FPS=1, reads
the monotonic time the game prints at its first shown frame and ends it. The
first run only warms the caches and is not counted. Besides the wall time it
prints the processor time the game had used by then (all its threads), which a
busy machine disturbs less. With more than one build folder the runs take turns,
so that each sees the same load, and each folder gets its own lines.
"""
import os
import re
import signal
import statistics
import subprocess
import sys
import time

PATTERN = re.compile(rb"first frame shown (\d+) ms after the program started \(monotonic (\d+) ms\)")
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_ms(pid):
    """User and system time of the process so far, in milliseconds."""
    with open(f"/proc/{pid}/stat", "rb") as stat:
        fields = stat.read().rsplit(b")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 // TICKS


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
                return int(found.group(2)) - started, int(found.group(1)), cpu_ms(game.pid)
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
    build_dirs = [os.path.abspath(sys.argv[1])] + [os.path.abspath(d) for d in sys.argv[3:]]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    for build_dir in build_dirs:
        one_run(build_dir)
    results = {build_dir: [] for build_dir in build_dirs}
    for _ in range(runs):
        for build_dir in build_dirs:
            results[build_dir].append(one_run(build_dir))
    for build_dir in build_dirs:
        if len(build_dirs) > 1:
            print(build_dir)
        columns = zip(*results[build_dir])
        for name, values in zip(("from exec", "from main", "processor"), columns):
            ordered = sorted(values)
            print(f"{name}: median {statistics.median(ordered):.0f} ms, "
                  f"min {ordered[0]} ms, max {ordered[-1]} ms over {runs} runs: {list(values)}")


if __name__ == "__main__":
    main()
