#!/usr/bin/env bash
# Start-up to the first shown window, Zandrel against a bare Qt window built
# the same way, under Xvfb, with hyperfine; peak memory with GNU time.
#
#   bench/startup.sh BUILD_DIR [RUNS]
#
# Needs: xvfb, xdotool, hyperfine and time (Debian packages).
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
Xvfb :93 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=:93
# A scratch copy, so that no players.txt beside a build is read.
scratch=$(mktemp -d)
cp "$build/app/zandrel" "$build/bench/bare_window" "$scratch/"
hyperfine --warmup 2 --runs "$runs" \
    "$here/first-window.sh $scratch/zandrel Zandrel" \
    "$here/first-window.sh $scratch/bare_window 'Bare window'"
for pair in "zandrel Zandrel" "bare_window Bare window"; do
    set -- $pair
    program=$1
    shift
    /usr/bin/time -f "$program peak RSS: %M KiB" "$here/first-window.sh" "$scratch/$program" "$*" 2>&1 | tail -n 1
done
rm -rf "$scratch"
