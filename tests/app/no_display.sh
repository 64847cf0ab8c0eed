#!/usr/bin/env bash
# Without a display the program says in one line what it needs and exits
# with status 1, instead of Qt's abort and its advice to reinstall: what is
# missing is what Qt was asked for, Wayland although DISPLAY is set.
#   no_display.sh PROGRAM
set -u
program=$1
. "$(dirname "$0")/../support/kit.sh"
free_display=$(unanswered_display)

# check NAME EXPECTED UNEXPECTED [VARIABLE=VALUE...]
check() {
    local name=$1 expected=$2 unexpected=$3
    shift 3
    local err status lines
    err=$(env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u DISPLAY "$@" timeout 30 "$program" 2>&1 >/dev/null)
    status=$?
    lines=$(printf '%s\n' "$err" | grep -c .)
    if [ "$status" -ne 1 ] || [ "$lines" -ne 1 ] || [[ "$err" != *"$expected"* ]] ||
        [[ -n "$unexpected" && "$err" == *"$unexpected"* ]]; then
        fault "$name: status $status, $lines lines on stderr: $err"
    fi
}

check no_variable "neither DISPLAY nor WAYLAND_DISPLAY is set" ""
check unreachable "DISPLAY=$free_display cannot be opened" "" DISPLAY="$free_display"
check wayland_asked "Wayland" "DISPLAY=$free_display" QT_QPA_PLATFORM=wayland DISPLAY="$free_display"
# A Wayland session names no X display: Qt is asked for Wayland, not refused.
check wayland_only "Wayland" "neither DISPLAY nor WAYLAND_DISPLAY" WAYLAND_DISPLAY=wayland-zandrel-test
finish
