#!/bin/bash
# Runs a command on an X server of its own and ends the server after it:
#
#   on_private_x.sh COMMAND [ARGUMENT...]
#
# Xvfb picks a free display itself and names it once it takes clients, so
# tests that start at the same moment never meet on one display, as they may
# when each guesses a free number (xvfb-run -a). Exits 77 (skipped) without
# Xvfb, and with the command's status otherwise.
set -u

command -v Xvfb >/dev/null || { echo "needs Xvfb, skipping"; exit 77; }
scratch=$(mktemp -d)
: >"$scratch/display"
# No reset when the last client goes: a helper that looks at the server and
# leaves would otherwise cut off the program connecting just then.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" >"$scratch/log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 300); do
    grep -q . "$scratch/display" && break
    kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start: $(tail -n 1 "$scratch/log")"; exit 1; }
    sleep 0.1
done
grep -q . "$scratch/display" || { echo "Xvfb named no display within 30 s"; exit 1; }
DISPLAY=:$(head -n 1 "$scratch/display") "$@"
