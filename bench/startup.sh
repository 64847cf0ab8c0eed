#!/usr/bin/env bash
# Time from start to the first shown window, and peak memory, of a program
# under Xvfb; run it for Zandrel and for the bare Qt window to compare.
#
#   bench/startup.sh BUILD_DIR [RUNS]
#
# Needs: xvfb, xdotool and GNU time (Debian packages xvfb xdotool time).
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [RUNS]}
runs=${2:-10}
display=:93
Xvfb $display -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display

measure() {
    local program=$1 title=$2
    local times=() peaks=()
    # A scratch copy so that no players.txt or bracket.html of a build is used.
    local scratch
    scratch=$(mktemp -d)
    cp "$program" "$scratch/"
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        /usr/bin/time -f %M -o "$scratch/rss" "$scratch/$(basename "$program")" >/dev/null 2>&1 &
        local pid=$!
        # A tight poll: xdotool's own --sync waits half a second between looks.
        until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do :; done
        end=$(date +%s%N)
        sleep 0.5  # let it settle before reading its peak
        pkill -TERM -P "$pid" || true
        wait $pid 2>/dev/null || true
        times+=($(((end - start) / 1000000)))
        peaks+=("$(tail -n 1 "$scratch/rss")")
    done
    rm -rf "$scratch"
    printf '%-12s first window (ms): %s\n' "$title" "$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')"
    printf '%-12s peak RSS (KiB):    %s\n' "$title" "$(printf '%s\n' "${peaks[@]}" | sort -n | tr '\n' ' ')"
}

measure "$build/app/zandrel" Zandrel
measure "$build/bench/bare_window" "Bare window"
