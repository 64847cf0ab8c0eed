#!/bin/bash
# The real program on a private X server, driven by keys as a user drives it:
#
# - held_enter: Enter held down for three seconds makes one bracket;
# - held_key_on_link: Space or Enter held down on the Privacy Policy link
#   opens its window once, and the window stays open;
# - signal_in_box: SIGTERM, SIGHUP or SIGINT while "Bracket Created" shows
#   ends the program with status 0 and opens nothing;
# - signal_in_wait: so does a signal while the box of a second bracket, made
#   during the first one's wait for the web link, shows;
# - signal_in_startup_box: a signal while start-up's box about a player list
#   that cannot be read shows ends the program, whose window never shows;
# - folder_not_text: a program in a folder whose name is not UTF-8 text
#   takes it for no folder at all: the page goes to Documents/Zandrel, and
#   nothing is written beside the program or in the current folder.
#
#   desktop.sh PROGRAM CASE
#
# Needs Xvfb and xdotool; exits 77 (skipped) without them. The program runs
# as a copy in a folder of the run's own, so the page it writes beside itself
# meets no other run, and "opening" a page or a link only writes it down.
set -u

program=${1:?program}
case=${2:?case}
. "$(dirname "$0")/../support/kit.sh"
on_private_x "$@"
kit_name="desktop $case"

root=$(mktemp -d)
export XDG_RUNTIME_DIR=$root TMPDIR=$root HOME=$root/home PATH=$root/bin:$PATH
kit_log=$root/stderr
folder=$root/program
mkdir -p "$root/bin" "$HOME/Documents/Zandrel"
printf '#!/bin/sh\necho "$1" >>"%s/opened"\n' "$root" >"$root/bin/xdg-open"
chmod +x "$root/bin/xdg-open"
# Four names pick the size; the type and the seeding are left to the keys.
printf 'Ann\nBob\nCy\nDee\n' >"$HOME/Documents/Zandrel/players.txt"
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$root"' EXIT

box_shows() { has_window "Bracket Created"; }
opened() { cat "$root/opened" 2>/dev/null | grep -c "$1"; }

# Starts the copy of the program in $folder, from the run's own folder.
launch() {
    mkdir -p "$folder"
    cp "$program" "$folder/zandrel"
    (cd "$root" && exec env --default-signal=INT "$folder/zandrel") 2>>"$kit_log" &
    pid=$!
}

# Starts the program and picks the type and the seeding from the title box.
start() {
    launch
    await 30 has_window Zandrel || fail "no window"
    xdotool windowfocus --sync "$(window_named Zandrel)"
    xdotool key --delay 50 Tab Tab Down Tab Down
}

# The program, ended by signal $1, must exit with status 0 and have opened
# no more than $2 pages and $3 links.
ends_having_opened() {
    local status
    kill -s "$1" "$pid"
    await 30 ended "$pid" || fail "SIG$1 did not end the program"
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
    await 30 test -s "$root/opened" || fail "no page was opened"
    sleep 1
    [ "$(opened bracket.html)" -eq 1 ] || fail "one press opened $(opened bracket.html) pages"
    ends_having_opened TERM 1 0
    ;;
held_key_on_link)
    # Each repeat that reached the window would close it, and the next one
    # on the link open it again.
    for key in space Return; do
        start
        xdotool key --delay 50 Tab Tab Tab Tab Tab Tab
        xdotool keydown "$key"
        await 10 has_window "Privacy Policy" || fail "$key held on the link opened no privacy window"
        seen=0
        for _ in $(seq 30); do
            has_window "Privacy Policy" && seen=$((seen + 1))
            sleep 0.1
        done
        xdotool keyup "$key"
        [ "$seen" -eq 30 ] || fail "$key held on the link: the privacy window showed in $seen of 30 looks"
        sleep 0.5
        has_window "Privacy Policy" || fail "$key held on the link: its release closed the privacy window"
        ends_having_opened TERM 0 0
    done
    ;;
signal_in_box)
    for signal in TERM HUP INT; do
        rm -f "$root/opened"
        start
        xdotool key Return
        await 30 box_shows || fail "no box after Make Bracket"
        ends_having_opened "$signal" 0 0
    done
    ;;
signal_in_wait)
    start
    xdotool key Return
    await 30 box_shows || fail "no box after Make Bracket"
    xdotool key Return
    await 30 test -s "$root/opened" || fail "closing the box opened no page"
    await 30 eval '! box_shows'
    xdotool key Return
    await 30 box_shows || fail "no box for a second bracket during the wait"
    ends_having_opened HUP 1 0
    ;;
signal_in_startup_box)
    rm "$HOME/Documents/Zandrel/players.txt"
    mkdir "$HOME/Documents/Zandrel/players.txt"
    launch
    await 30 has_window "Error 75 Program Error" || fail "no box about the list that cannot be read"
    ends_having_opened TERM 0 0
    ! has_window Zandrel || fail "the window showed after the signal"
    : >"$kit_log"  # the box's reason is the point of this case, not a complaint
    ;;
folder_not_text)
    folder=$root/$'\xff\xfe club'
    start
    xdotool key Return
    await 30 box_shows || fail "no box after Make Bracket"
    xdotool key Return
    await 30 test -s "$root/opened" || fail "closing the box opened no page"
    [ "$(cat "$root/opened")" = "$HOME/Documents/Zandrel/bracket.html" ] ||
        fail "the page opened was $(cat "$root/opened")"
    [ -f "$HOME/Documents/Zandrel/bracket.html" ] || fail "no page in Documents/Zandrel"
    leftover=$(find "$root" -maxdepth 2 -name 'bracket.*' -not -path "$HOME/*")
    [ -z "$leftover" ] || fail "a page was written outside Documents/Zandrel: $leftover"
    ends_having_opened TERM 1 0
    ;;
*)
    fail "no such case"
    ;;
esac
[ ! -s "$kit_log" ] || fail "said on standard error"
echo "desktop $case: passed"
