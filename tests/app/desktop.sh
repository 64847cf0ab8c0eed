#!/bin/bash
# The real program on a private X server, driven by keys as a user drives it:
# Enter held down for three seconds makes one bracket; SIGTERM, SIGHUP or
# SIGINT while "Bracket Created" shows, after Make Bracket or after a second
# one during the first one's wait for the web link, ends the program with
# status 0 and opens nothing more.
#
#   desktop.sh PROGRAM held_enter|signal_in_box|signal_in_wait
#
# Needs Xvfb and xdotool; exits 77 (skipped) without them. The program
# runs as a copy in a folder of the run's own, so the page it writes beside
# itself meets no other run, and "opening" a page or a link only writes it
# down.
set -u

program=${1:?program}
case=${2:?case}
if [ -z "${ZANDREL_ON_X:-}" ]; then
    command -v xdotool >/dev/null || { echo "needs xdotool, skipping"; exit 77; }
    ZANDREL_ON_X=1 exec "$(dirname "$0")/../support/on_private_x.sh" "$0" "$@"
fi

root=$(mktemp -d)
export XDG_RUNTIME_DIR=$root TMPDIR=$root HOME=$root/home PATH=$root/bin:$PATH
mkdir -p "$root/bin" "$root/program" "$HOME/Documents/Zandrel"
cp "$program" "$root/program/zandrel"
printf '#!/bin/sh\necho "$1" >>"%s/opened"\n' "$root" >"$root/bin/xdg-open"
chmod +x "$root/bin/xdg-open"
# Four names pick the size; the type and the seeding are left to the keys.
printf 'Ann\nBob\nCy\nDee\n' >"$HOME/Documents/Zandrel/players.txt"
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$root"' EXIT

fail() {
    echo "FAIL ($case): $*"
    exit 1
}

# Runs "$@" until it succeeds, for at most 30 seconds.
await() {
    local i
    for ((i = 0; i < 300; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

box_shows() { xdotool search --name '^Bracket Created$' >/dev/null 2>&1; }
opened() { cat "$root/opened" 2>/dev/null | grep -c "$1"; }
ended() { ! kill -0 "$pid" 2>/dev/null; }

# Starts the program and picks the type and the seeding from the title box.
start() {
    env --default-signal=INT "$root/program/zandrel" 2>>"$root/stderr" &
    pid=$!
    await xdotool search --name '^Zandrel$' >/dev/null 2>&1 || fail "no window"
    window=$(xdotool search --name '^Zandrel$' | head -1)
    xdotool windowfocus --sync "$window"
    xdotool key --delay 50 Tab Tab Down Tab Down
}

# The program, ended by signal $1, must exit with status 0 and have opened
# no more than $2 pages and $3 links.
ends_having_opened() {
    local status
    kill -s "$1" "$pid"
    await ended || fail "SIG$1 did not end the program"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "SIG$1 ended the program with status $status"
    [ "$(opened bracket.html)" -le "$2" ] || fail "after SIG$1 the page was opened: $(cat "$root/opened")"
    [ "$(opened http)" -le "$3" ] || fail "after SIG$1 the web link was opened"
    pid=
}

case $case in
held_enter)
    start
    xdotool keydown Return
    sleep 3
    xdotool keyup Return
    await test -s "$root/opened" || fail "no page was opened"
    sleep 1
    [ "$(opened bracket.html)" -eq 1 ] || fail "one press opened $(opened bracket.html) pages"
    ends_having_opened TERM 1 0
    ;;
signal_in_box)
    for signal in TERM HUP INT; do
        rm -f "$root/opened"
        start
        xdotool key Return
        await box_shows || fail "no box after Make Bracket"
        ends_having_opened "$signal" 0 0
    done
    ;;
signal_in_wait)
    # The signal comes while the box of a second bracket, made during the
    # first one's wait, shows.
    start
    xdotool key Return
    await box_shows || fail "no box after Make Bracket"
    xdotool key Return
    await test -s "$root/opened" || fail "closing the box opened no page"
    await eval '! box_shows'
    xdotool key Return
    await box_shows || fail "no box for a second bracket during the wait"
    ends_having_opened HUP 1 0
    ;;
*)
    fail "no such case"
    ;;
esac
[ ! -s "$root/stderr" ] || fail "said on standard error: $(cat "$root/stderr")"
echo "desktop $case: passed"
