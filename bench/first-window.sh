#!/usr/bin/env bash
# Starts PROGRAM, returns as soon as its window titled TITLE is shown, and ends
# the program: one start-up, to be timed as a whole by a timing tool
# (hyperfine, or /usr/bin/time -v for the peak memory). Needs a display
# (Xvfb) and xdotool.
#
#   bench/first-window.sh PROGRAM TITLE
set -euo pipefail
program=${1:?usage: $0 PROGRAM TITLE}
title=${2:?usage: $0 PROGRAM TITLE}
"$program" >/dev/null 2>&1 &
pid=$!
# A tight poll: xdotool's own --sync waits half a second between looks.
until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || exit 1
done
# Killed outright: a polite end would add the program's orderly shutdown,
# which is no part of its start-up. The next start takes over the lock and
# the socket that this one leaves behind.
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
