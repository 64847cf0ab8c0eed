# The shell scripts' kit: each test script and the Windows check source it.
#
#   . "$(dirname "$0")/../support/kit.sh"
#
# It gives them the same environment whatever the caller's, one way to fail
# and report, waits with a time-out, windows found by their titles, the
# private X server and a Wine prefix of their own.

kit=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# What the caller's shell may hold that would send the program, or the
# tools that drive it, somewhere else: the scripts name their own display,
# folders and language, and the program finds its platform by the display.
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    WAYLAND_DISPLAY XDG_SESSION_TYPE XDG_DOCUMENTS_DIR XDG_CONFIG_HOME XDG_CACHE_HOME LANGUAGE
export LC_ALL=C.UTF-8

# The name failures are told under: the script's, and its case if it has one.
kit_name=${kit_name:-$(basename "$0" .sh)}
# A file whose lines a failure shows too, such as the program's standard error.
kit_log=${kit_log:-}
kit_faults=0

# Stops the script: what went wrong, with what the program said.
fail() {
    echo "FAIL ($kit_name): $*"
    [ -n "$kit_log" ] && [ -s "$kit_log" ] && sed 's/^/  said: /' "$kit_log"
    exit 1
}

# A check that went wrong, told at once; the script goes on with the next
# and `finish` ends it with the count.
fault() {
    echo "$kit_name: FAIL: $*" >&2
    kit_faults=$((kit_faults + 1))
}
pass() { echo "$kit_name: ok: $*"; }
finish() {
    if [ "$kit_faults" -ne 0 ]; then
        echo "$kit_name: $kit_faults checks failed" >&2
        exit 1
    fi
    echo "$kit_name: passed"
}

# await SECONDS COMMAND...: runs COMMAND until it succeeds, for at most SECONDS.
await() {
    local tenths=$(($1 * 10)) i
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

running() { kill -0 "$1" 2>/dev/null; }
ended() { ! running "$1"; }

# Windows by their exact titles, on the display the script runs on.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }
windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -c .; }

# Runs the script again on an X server of its own (see on_private_x.sh),
# unless it already runs on one: call it as `on_private_x "$@"` first thing.
on_private_x() {
    [ -n "${ZANDREL_ON_PRIVATE_X:-}" ] && return 0
    command -v xdotool >/dev/null || { echo "needs xdotool, skipping"; exit 77; }
    ZANDREL_ON_PRIVATE_X=1 exec "$kit/on_private_x.sh" "$0" "$@"
}

# The same, with a window manager as every Wine user's desktop has: without
# one Wine waits two seconds for each window it hides to be withdrawn. Its
# process is $kit_window_manager, for the script's clean-up to end.
on_private_desktop() {
    on_private_x "$@"
    openbox --sm-disable >/dev/null 2>&1 &
    kit_window_manager=$!
}

# A home and a runtime folder of the script's own, in the folder $1.
use_private_home() {
    mkdir -p "$1/home" && mkdir -m 0700 "$1/runtime"
    export HOME=$1/home XDG_RUNTIME_DIR=$1/runtime
}

# A display that nobody serves, such as a session left with no X server:
# no socket and no lock of one. Nothing is started on it.
unanswered_display() {
    local number=97
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
    echo ":$number"
}

# A Wine prefix of the script's own (in the folder $1, or a new temporary
# one), which end_wine_prefix takes away with every Wine process in it:
# made before there is a display, so that no installer of Wine's asks
# anything, and with no menu entries made on the host's desktop. It still
# registers what a Windows user has, such as the program that opens .html
# pages (Wine's hand-off to the browser).
new_wine_prefix() {
    WINEPREFIX=${1:-$(mktemp -d)}
    export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe="
    env -u DISPLAY wineboot --init >/dev/null 2>&1
    wineserver -w
}
end_wine_prefix() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
