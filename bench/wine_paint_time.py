#!/usr/bin/env python3
"""How long kentermeer.exe takes under wine, in a 197 x 70 tmux pane, from a key to the screen.

Three cases, each run five times with the median printed:
  placement  main menu -> Enter -> the 17 x 8 placement screen, until the board's last grid
             line (line 55) is on the pane
  mark move  main menu -> Down -> the selection mark on "Optionen" (column 81, line 42)
  turn       the fourth ship placed -> the first turn screen, until its heading is on the
             pane, less the pause of 3 s the placement ends with

The pane is read with capture-pane in a tight loop, so the figures include tmux's own time.

  bench/wine_paint_time.py build-windows/kentermeer.exe [case]

WINEPREFIX names a prefix that wineboot has set up (.ci/windows.sh makes one in
build-windows/wineprefix).
"""

import os
import statistics
import subprocess
import sys
import time

RUNS = 5


def tmux(socket, *args):
    return subprocess.run(["tmux", "-L", socket, *args], capture_output=True, text=True).stdout


def line(socket, y):
    return tmux(socket, "capture-pane", "-p", "-t", "game", "-S", str(y), "-E", str(y))


def wait_for(socket, test, limit=30.0):
    start = time.perf_counter()
    while not test():
        if time.perf_counter() - start > limit:
            raise SystemExit("waited in vain; the pane shows:\n" + tmux(socket, "capture-pane", "-p", "-t", "game"))
    return time.perf_counter()


def one_run(program, key, done, run, setup=(), pause_ms=0):
    # A server of its own for every run: a server just told to end may still hold its socket.
    socket = f"kentermeer-time-{os.getpid()}-{run}"
    tmux(socket, "-f", "/dev/null", "new-session", "-d", "-s", "game", "-x", "197", "-y", "70",
         f"env WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine '{program}'; sleep 30")
    try:
        wait_for(socket, lambda: "[ ] Beenden" in tmux(socket, "capture-pane", "-p", "-t", "game"))
        time.sleep(1.0)  # let wine settle
        # Text typed, then Enter unless it is the last; each step waits for what it shows.
        for step, (keys, shown) in enumerate(setup):
            if keys:
                tmux(socket, "send-keys", "-t", "game", "-l", keys)
            if step < len(setup) - 1:
                tmux(socket, "send-keys", "-t", "game", "Enter")
            wait_for(socket, lambda: shown in tmux(socket, "capture-pane", "-p", "-t", "game"))
        time.sleep(1.0)
        start = time.perf_counter()
        tmux(socket, "send-keys", "-t", "game", key)
        end = wait_for(socket, lambda: done(socket))
        return (end - start) * 1000 - pause_ms
    finally:
        tmux(socket, "kill-server")


def main():
    program = os.path.realpath(sys.argv[1])
    cases = {
        "placement": ("Enter", lambda s: line(s, 55).strip().startswith("#" * 100), (), 0),
        "mark move": ("Down", lambda s: line(s, 42)[81:82] == "x", (), 0),
        "turn": ("Enter", lambda s: "GEGNERISCHES FELD" in line(s, 0),
                 (("", "1. Schiffes"), ("a1", "2. Schiffes"), ("b1", "3. Schiffes"),
                  ("c1", "4. Schiffes"), ("d1", "d1")), 3000),
    }
    for name, (key, done, setup, pause_ms) in cases.items():
        if len(sys.argv) > 2 and name != sys.argv[2]:
            continue
        times = [one_run(program, key, done, f"{name[0]}{run}", setup, pause_ms)
                 for run in range(RUNS)]
        print(f"{name}: median {statistics.median(times):.0f} ms of "
              + ", ".join(f"{t:.0f}" for t in times))


if __name__ == "__main__":
    main()
