#!/bin/bash
# The one-copy rule on the real program, started as a user starts it: ten
# starts at once leave one copy running, twenty times over; a copy killed
# outright does not block the next start, nor does the lock file one left
# empty, unreadable or full of anything; another user's process where the
# socket belongs is never handed over to, nor removed; a folder there is
# named in one line and the rule still holds. Whatever stands where the lock
# belongs (a folder, a link, another user's file, a runtime folder that is
# full, open to others, someone else's or too long a path for a socket's
# name) is named by every start in one
# line, left as it is, and one copy still runs. Every copy that runs is then
# ended by SIGTERM, SIGHUP or SIGINT, and must exit with status 0, leaving
# neither its socket nor its lock behind.
#
#   single_instance.sh PROGRAM CASE    (the cases are listed at the end)
#
# Each run has its own runtime, temporary and home folders, so it meets
# neither a copy the user runs nor another test. The cases that need another
# user, or a file system of their own, need root, and exit 77 (skipped)
# without it.
set -u

program=${1:?program}
case=${2:?case}
. "$(dirname "$0")/../support/kit.sh"
kit_name="single_instance $case"
export QT_QPA_PLATFORM=offscreen
root=$(mktemp -d)
export XDG_RUNTIME_DIR=$root TMPDIR=$root HOME=$root/home
socket=$root/zandrel.socket
lock=$root/zandrel.lock
log=$root/stderr.txt
kit_log=$log
mkdir -p "$HOME/Documents/Zandrel"

started=()
mounted=
cleanup() {
    local pid
    exec 2>/dev/null  # no word from the shell about copies it kills
    for pid in "${started[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    [ -z "$mounted" ] || umount "$mounted"
    rm -rf "$root"
}
trap cleanup EXIT

# Whether the copy started as job $1 runs; the shell's own job list, so a
# number the system gave to a later process never counts.
runs() { jobs -rp | grep -qx "$1"; }
ended() { ! runs "$1"; }

needs_root() {
    [ "$(id -u)" -eq 0 ] || { echo "needs root, skipping"; exit 77; }
}

# A background job ignores SIGINT unless it is given back. The copies run
# as the user `runner` names, this one when it is empty.
copies=()
runner=()
start() {
    "${runner[@]}" env --default-signal=INT "$program" 2>>"$log" &
    last=$!
    started+=("$last")
    copies+=("$last")
}

at_most_one_runs() {
    local pid
    running=0
    for pid in "${copies[@]}"; do runs "$pid" && running=$((running + 1)); done
    [ "$running" -le 1 ]
}

# Waits for the copies started since the last call to settle: exactly one
# must run, and every other must have ended with status 0. Sets $winner.
settle() {
    local pid status
    await 30 at_most_one_runs || fail "$running copies still run"
    winner=
    for pid in "${copies[@]}"; do
        if runs "$pid"; then
            winner=$pid
        else
            wait "$pid"
            status=$?
            [ "$status" -eq 0 ] || fail "a copy that did not run ended with status $status"
        fi
    done
    [ -n "$winner" ] || fail "no copy runs"
    copies=()
}

# A later start hands over to the copy that runs and ends with status 0.
hands_over() {
    local status
    start
    await 30 ended "$last" || fail "a later start keeps running beside the first"
    wait "$last"
    status=$?
    [ "$status" -eq 0 ] || fail "a later start ended with status $status"
    runs "$winner" || fail "the copy that ran has ended"
    copies=()
}

# Ends the copy that runs with signal $1, as a session or a terminal would;
# its lock, $2 if it is not in the runtime folder, must go with it.
stop() {
    local status
    kill -s "$1" "$winner"
    await 30 ended "$winner" || fail "SIG$1 did not end the program"
    wait "$winner"
    status=$?
    [ "$status" -eq 0 ] || fail "SIG$1 ended the program with status $status"
    [ ! -e "${2:-$lock}" ] || fail "SIG$1 left the lock behind"
}

# With $1 in the way, five starts at once and one later leave one copy
# running, and each start names $1 in one line that says $2. Then the copy
# is stopped: its lock was in the folder $3, and $1 must be as it was.
in_the_way() {
    local was
    was=$(stat -c '%F %U %a' "$1")
    for ((i = 0; i < 5; i++)); do start; done
    settle
    hands_over
    # The offscreen platform's own lines are no concern of users.
    grep -v '^This plugin does not support' "$log" >"$root/said.txt"
    [ "$(grep -c . "$root/said.txt")" -eq 6 ] || fail "six starts said $(grep -c . "$root/said.txt") lines"
    [ "$(grep -c -F "$1" "$root/said.txt")" -eq 6 ] || fail "not every line names $1"
    grep -q -F "$2" "$log" || fail "no line says $1 $2"
    [ -z "${3:-}" ] && return
    stop TERM "$3/zandrel.lock"
    [ "$(stat -c '%F %U %a' "$1")" = "$was" ] || fail "$1 was changed"
}

case $case in
race)
    signals=(TERM HUP INT)
    for ((round = 1; round <= 20; round++)); do
        # Every other round, start-up shows a box first (a player list that
        # cannot be read) and the signal comes while it is open.
        if ((round % 2)); then
            mkdir -p "$HOME/Documents/Zandrel/players.txt"
        else
            rm -rf "$HOME/Documents/Zandrel/players.txt"
        fi
        for ((i = 0; i < 10; i++)); do start; done
        settle
        hands_over
        stop "${signals[round % 3]}"
        [ ! -e "$socket" ] || fail "round $round: the socket was left behind"
    done
    ;;
killed)
    start
    settle
    await 30 test -S "$socket" || fail "the first copy does not listen"
    kill -9 "$winner"
    wait "$winner" 2>/dev/null
    [ -S "$socket" ] && [ -e "$lock" ] || fail "kill -9 should have left the socket and the lock behind"
    start
    start
    settle
    hands_over
    stop TERM
    [ ! -e "$socket" ] || fail "the socket was left behind"
    ;;
page_beside_a_window)
    # A page made from a script keeps out of the rule: it neither hands over
    # to the window that runs nor stops a later start from doing so.
    start
    settle
    await 30 test -S "$socket" || fail "the window does not listen"
    made=$("$program" --make --size 4 --output "$root/page.html" 2>>"$log") || fail "--make failed beside a window"
    [ "$made" = "$root/page.html" ] && [ -s "$root/page.html" ] || fail "--make printed \"$made\""
    hands_over
    stop TERM
    ;;
foreign)
    [ "$(id -u)" -eq 0 ] || { echo "needs root to run a process as another user, skipping"; exit 77; }
    # A process of nobody's listens where the socket belongs and writes down
    # whatever it is sent; it says when it is ready.
    perl -MSocket -MPOSIX -e '
        my ($path, $heard, $ready) = @ARGV;
        open(my $out, ">>", $heard) or die "$heard: $!";
        open(my $said, ">", $ready) or die "$ready: $!";
        socket(my $server, PF_UNIX, SOCK_STREAM, 0) or die "socket: $!";
        bind($server, pack_sockaddr_un($path)) or die "bind: $!";
        chown(65534, 65534, $path);
        POSIX::setgid(65534);
        POSIX::setuid(65534);
        die "still root" if $< == 0 || $> == 0;
        listen($server, 5) or die "listen: $!";
        syswrite($said, "ready\n");
        while (accept(my $client, $server)) {
            while (my $line = <$client>) { syswrite($out, $line); }
        }' "$socket" "$root/heard" "$root/ready" 2>>"$log" &
    started+=("$!")
    await 30 grep -qs ready "$root/ready" || fail "the other user's process does not listen"
    start
    first=$last
    # The first start takes the lock and says why later ones cannot reach it.
    await 30 grep -q "$socket.*uid 65534" "$log" || fail "the first copy did not say whose socket is in the way"
    runs "$first" || fail "the first copy handed over to another user's process"
    settle
    hands_over
    [ "$(grep -c "$socket.*uid 65534" "$log")" -eq 2 ] || fail "each copy should say so in one line"
    [ ! -s "$root/heard" ] || fail "another user's process was sent: $(cat "$root/heard")"
    stop TERM
    [ -S "$socket" ] || fail "the other user's socket was removed"
    ;;
stale)
    # What a copy killed while making its lock leaves, or anything else; as
    # root nothing is unreadable, so then the copies run as nobody.
    if [ "$(id -u)" -eq 0 ]; then
        runner=(setpriv --reuid=65534 --regid=65534 --clear-groups)
        chown -R 65534:65534 "$root"
        "${runner[@]}" test -x "$program" || { echo "nobody cannot run $program, skipping"; exit 77; }
        # Under a caller's temporary folder that only root may enter, as the
        # test command's misleading shell gives, nobody cannot reach it.
        "${runner[@]}" test -w "$root" || { echo "nobody cannot reach $root, skipping"; exit 77; }
    fi
    for content in empty garbage unreadable; do
        : >"$lock"
        [ "$content" = garbage ] && head -c 300 /dev/urandom >"$lock"
        [ "$content" = unreadable ] && chmod 000 "$lock"
        [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$lock"
        start
        start
        settle
        hands_over
        ! grep -v '^This plugin does not support' "$log" || fail "a $content lock was named on standard error"
        stop TERM
    done
    ;;
lock_is_folder)
    mkdir "$lock"
    in_the_way "$lock" "is a folder" "$root/runtime-$(id -un)"
    ;;
lock_is_link)
    ln -s "$root/elsewhere" "$lock"
    in_the_way "$lock" "is a symbolic link"
    [ "$(readlink "$lock")" = "$root/elsewhere" ] && [ ! -e "$root/elsewhere" ] || fail "the link was followed"
    # Gone again, it leaves the lock's first place free, but the copy that
    # runs holds its lock in the next: a start looks there too.
    rm "$lock"
    hands_over
    stop TERM "$root/runtime-$(id -un)/zandrel.lock"
    ;;
lock_of_another_user)
    needs_root
    install -o 65534 -m 600 /dev/null "$lock"
    in_the_way "$lock" "is a file of another user" "$root/runtime-$(id -un)"
    ;;
runtime_open_to_others)
    chmod 755 "$root"
    in_the_way "$root" "is open to other users" "$root/runtime-$(id -un)"
    ;;
runtime_of_another_user)
    needs_root
    export XDG_RUNTIME_DIR=$root/theirs
    install -d -o 65534 -m 700 "$XDG_RUNTIME_DIR"
    in_the_way "$XDG_RUNTIME_DIR" "belongs to another user" "$root/runtime-$(id -un)"
    ;;
no_runtime_and_tmp_runtime_of_another_user)
    # Without XDG_RUNTIME_DIR, Qt and the desktop's libraries use
    # runtime-<user> in the temporary folder, which anyone may make first.
    needs_root
    unset XDG_RUNTIME_DIR
    install -d -o 65534 -m 700 "$root/runtime-$(id -un)"
    in_the_way "$root/runtime-$(id -un)" "belongs to another user" "$HOME/.cache/zandrel-runtime"
    ;;
runtime_full)
    needs_root
    export XDG_RUNTIME_DIR=$root/full
    install -d -m 700 "$XDG_RUNTIME_DIR"
    mount -t tmpfs -o size=64k,nr_inodes=16,mode=700 zandrel-full "$XDG_RUNTIME_DIR" 2>/dev/null ||
        { echo "cannot mount a file system here, skipping"; exit 77; }
    mounted=$XDG_RUNTIME_DIR
    head -c 1M /dev/zero >"$XDG_RUNTIME_DIR/filler" 2>/dev/null
    for ((i = 0; i < 16; i++)); do : 2>/dev/null >"$XDG_RUNTIME_DIR/$i"; done
    in_the_way "$XDG_RUNTIME_DIR" "No space left on device" "$root/runtime-$(id -un)"
    ;;
runtime_long)
    # A socket's name holds about a hundred bytes: a runtime folder whose
    # path is longer cannot take it, and the next place does.
    export XDG_RUNTIME_DIR=$root/$(printf 'a-long-runtime-folder-%.0s' 1 2 3 4 5)
    install -d -m 700 "$XDG_RUNTIME_DIR"
    in_the_way "$XDG_RUNTIME_DIR" "is too long a name for a socket" "$root/runtime-$(id -un)"
    ;;
squatter)
    mkdir "$socket"
    start
    first=$last
    await 30 grep -q "$socket" "$log" || fail "the first copy did not say what is in the way"
    settle
    hands_over
    [ "$(grep -c "$socket is a folder" "$log")" -eq 2 ] || fail "each copy should name the folder in one line"
    stop TERM
    [ -d "$socket" ] || fail "the folder in the way was removed"
    ;;
*)
    fail "no such case"
    ;;
esac
echo "single_instance $case: passed"
