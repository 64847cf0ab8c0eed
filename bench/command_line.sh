#!/usr/bin/env bash
# One page from a script against the same page from the window: the time
# `zandrel --make` takes from its start to its end, and the time from the
# window program's start to its "Bracket Created" box, with the names and the
# size read from players.txt and the kind and seeding picked by keys sent the
# moment the window shows (32 entrants, double elimination, drawn). Prints
# the medians of RUNS runs of each.
#
#   bench/command_line.sh BUILD_DIR [RUNS]    (11 unless given)
#
# Needs Xvfb and xdotool (the Debian packages xvfb and xdotool).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/support/kit.sh"
on_private_x "$@"
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-11}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch
cp "$build/app/zandrel" "$scratch/"
for ((i = 1; i <= 32; i++)); do printf 'Entrant %d\r\n' "$i"; done >"$scratch/players.txt"
timer=$build/bench/first_window

now() { date +%s%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The keys a quick user presses once the window shows: past the title and
# the size, Double, Unseeded, then Enter for Make Bracket.
press_keys() {
    local window=""
    until window=$(xdotool search --onlyvisible --name '^Zandrel$' 2>/dev/null | head -n 1) && [ -n "$window" ]; do
        sleep 0.005
    done
    xdotool windowfocus --sync "$window" key --delay 0 Tab Tab d Tab u Return
}

script_ms=() window_ms=()
for ((i = 0; i <= runs; i++)); do  # the first of each warms the caches
    start=$(now)
    "$scratch/zandrel" --make --names "$scratch/players.txt" --double --unseeded --output "$scratch/page.html" >/dev/null
    script_ms+=($((($(now) - start) / 1000)))
    export XDG_RUNTIME_DIR=$scratch/run$i && mkdir -m 700 "$XDG_RUNTIME_DIR"
    press_keys &
    read -r ms _ < <("$timer" "Bracket Created" "$scratch/zandrel")
    wait
    window_ms+=("$ms")
done
script=$(printf '%s\n' "${script_ms[@]:1}" | median)
window=$(printf '%s\n' "${window_ms[@]:1}" | median)
echo "$runs runs of each:"
echo "  zandrel --make           $(awk -v u="$script" 'BEGIN { printf "%.1f", u / 1000 }') ms from start to exit"
echo "  the window, by keyboard  $window ms from start to \"Bracket Created\""
