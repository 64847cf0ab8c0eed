#!/usr/bin/env bash
# Start-up to the first shown window: Zandrel against a bare Qt window built
# the same way, in turns on one private X server, so that both meet the same
# machine. Prints each one's median time, processor time and peak memory,
# and the medians of the ratios of the runs taken pair by pair.
#
#   bench/startup.sh BUILD_DIR [RUNS]    (RUNS pairs, 21 unless given; at least 11)
#   bench/startup.sh --wine WINDOWS_BUILD_DIR LINUX_BUILD_DIR [RUNS]
#
# The second form times the Windows program and bare window under Wine, each
# with the Qt DLLs and plugins of the zip in dist/ beside it; the Linux build
# lends its timer. Needs Xvfb (the Debian package xvfb), and Wine for the
# second form.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/support/kit.sh"
on_private_x "$@"
wine=()
if [ "${1:-}" = --wine ]; then
    wine=(wine)
    windows=$(cd "${2:?usage: $0 --wine WINDOWS_BUILD_DIR LINUX_BUILD_DIR [RUNS]}" && pwd)
    shift 2
fi
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-21}

# A scratch copy, so that no players.txt beside a build is read, and a home
# and runtime folder of its own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ ${#wine[@]} -eq 0 ] || end_wine_prefix' EXIT
export HOME=$scratch XDG_RUNTIME_DIR=$scratch
if [ ${#wine[@]} -eq 0 ]; then
    cp "$build/app/zandrel" "$build/bench/bare_window" "$scratch/"
    zandrel=$scratch/zandrel bare=$scratch/bare_window
else
    zip=$(ls "$here"/../dist/zandrel-*-windows-x64.zip | head -n 1)
    unzip -q "$zip" -d "$scratch/zip"
    folder=$(dirname "$(find "$scratch/zip" -name zandrel.exe | head -n 1)")
    cp "$windows/bench/bare_window.exe" "$folder/"
    zandrel=$folder/zandrel.exe bare=$folder/bare_window.exe
    new_wine_prefix
fi
timer=$build/bench/first_window
"$timer" Zandrel "${wine[@]}" "$zandrel" >/dev/null  # warm the caches, both
"$timer" "Bare window" "${wine[@]}" "$bare" >/dev/null
for ((i = 0; i < runs; i++)); do
    read -r zandrel_ms zandrel_kib zandrel_cpu < <("$timer" Zandrel "${wine[@]}" "$zandrel")
    read -r bare_ms bare_kib bare_cpu < <("$timer" "Bare window" "${wine[@]}" "$bare")
    echo "$zandrel_ms $bare_ms $zandrel_kib $bare_kib $zandrel_cpu $bare_cpu"
done >"$scratch/runs"
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
column() { cut -d' ' -f"$1" "$scratch/runs" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ printf "%.3f\n", $a / $b }' "$scratch/runs" | median; }
echo "$runs runs of each, in turns${wine:+, under Wine}:"
echo "  Zandrel      $(column 1) ms to its window ($(column 5) ms of processor time), peak $(column 3) KiB"
echo "  bare window  $(column 2) ms to its window ($(column 6) ms of processor time), peak $(column 4) KiB"
echo "  ratio        $(ratio 1 2) to the window, $(ratio 5 6) in processor time (medians of the pairs)"
