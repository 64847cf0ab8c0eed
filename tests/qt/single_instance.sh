#!/bin/bash
# The one-copy rule on the real program, started as a user starts it: ten
# starts at once leave one copy running, twenty times over; a copy killed
# outright does not block the next start; another user's process where the
# socket belongs is never handed over to, nor removed; a folder there is
# named in one line and the rule still holds. Every copy that runs is then
# ended by SIGTERM, SIGHUP or SIGINT, and must exit with status 0, leaving
# neither its socket nor its lock behind.
#
#   single_instance.sh PROGRAM race|killed|foreign|squatter
#
# Each run has its own runtime, temporary and home folders, so it meets
# neither a copy the user runs nor another test. "foreign" needs root to run
# a process as another user, and exits 77 (skipped) without it.
set -u

program=${1:?program}
case=${2:?case}
export QT_QPA_PLATFORM=offscreen
root=$(mktemp -d)
export XDG_RUNTIME_DIR=$root TMPDIR=$root HOME=$root/home
socket=$root/zandrel.socket
lock=$root/zandrel.lock
log=$root/stderr.txt
mkdir -p "$HOME/Documents/Zandrel"

started=()
cleanup() {
    local pid
    exec 2>/dev/null  # no word from the shell about copies it kills
    for pid in "${started[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$root"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case): $*"
    sed 's/^/  stderr: /' "$log" 2>/dev/null
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

runs() { jobs -rp | grep -qx "$1"; }
ended() { ! runs "$1"; }

# A background job ignores SIGINT unless it is given back.
copies=()
start() {
    env --default-signal=INT "$program" 2>>"$log" &
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
    await at_most_one_runs || fail "$running copies still run"
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
    await ended "$last" || fail "a later start keeps running beside the first"
    wait "$last"
    status=$?
    [ "$status" -eq 0 ] || fail "a later start ended with status $status"
    runs "$winner" || fail "the copy that ran has ended"
    copies=()
}

# Ends the copy that runs with signal $1, as a session or a terminal would.
stop() {
    local status
    kill -s "$1" "$winner"
    await ended "$winner" || fail "SIG$1 did not end the program"
    wait "$winner"
    status=$?
    [ "$status" -eq 0 ] || fail "SIG$1 ended the program with status $status"
    [ ! -e "$lock" ] || fail "SIG$1 left the lock behind"
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
    await test -S "$socket" || fail "the first copy does not listen"
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
    await grep -qs ready "$root/ready" || fail "the other user's process does not listen"
    start
    first=$last
    # The first start takes the lock and says why later ones cannot reach it.
    await grep -q "$socket.*uid 65534" "$log" || fail "the first copy did not say whose socket is in the way"
    runs "$first" || fail "the first copy handed over to another user's process"
    settle
    hands_over
    [ "$(grep -c "$socket.*uid 65534" "$log")" -eq 2 ] || fail "each copy should say so in one line"
    [ ! -s "$root/heard" ] || fail "another user's process was sent: $(cat "$root/heard")"
    stop TERM
    [ -S "$socket" ] || fail "the other user's socket was removed"
    ;;
squatter)
    mkdir "$socket"
    start
    first=$last
    await grep -q "$socket" "$log" || fail "the first copy did not say what is in the way"
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
