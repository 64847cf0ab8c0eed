#!/usr/bin/env bash
# Start-up to the first shown window: Zandrel against a bare Qt window built
# the same way, in turns on one private X server, so that both meet the same
# machine. Prints each one's median time, processor time and peak memory,
# and the medians of the ratios of the runs taken pair by pair.
#
#   bench/startup.sh BUILD_DIR [RUNS]    (RUNS pairs, 21 unless given; at least 11)
#
# Needs Xvfb (the Debian package xvfb). Set ZANDREL_STARTUP_MARKS=1 to have
# Zandrel itself say on standard error where its start-up time goes.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-21}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/support/kit.sh"
on_private_x "$@"

# A scratch copy, so that no players.txt beside a build is read, and a home
# and runtime folder of its own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$build/app/zandrel" "$build/bench/bare_window" "$scratch/"
export HOME=$scratch XDG_RUNTIME_DIR=$scratch
timer=$build/bench/first_window
"$timer" Zandrel "$scratch/zandrel" >/dev/null  # warm the caches, both
"$timer" "Bare window" "$scratch/bare_window" >/dev/null
for ((i = 0; i < runs; i++)); do
    read -r zandrel_ms zandrel_kib zandrel_cpu < <("$timer" Zandrel "$scratch/zandrel")
    read -r bare_ms bare_kib bare_cpu < <("$timer" "Bare window" "$scratch/bare_window")
    echo "$zandrel_ms $bare_ms $zandrel_kib $bare_kib $zandrel_cpu $bare_cpu"
done >"$scratch/runs"
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "$runs runs of each, in turns:"
column() { cut -d' ' -f"$1" "$scratch/runs" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ printf "%.3f\n", $a / $b }' "$scratch/runs" | median; }
echo "  Zandrel      $(column 1) ms to its window ($(column 5) ms of processor time), peak $(column 3) KiB"
echo "  bare window  $(column 2) ms to its window ($(column 6) ms of processor time), peak $(column 4) KiB"
echo "  ratio        $(ratio 1 2) to the window, $(ratio 5 6) in processor time (medians of the pairs)"
