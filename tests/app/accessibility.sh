#!/bin/bash
# Zandrel as a screen reader meets it: the real program, with a list of five
# names beside it, on a private X server and a private session bus with the
# accessibility bus on, read through AT-SPI by accessibility.py.
#
#   accessibility.sh PROGRAM
#
# Needs Xvfb, xdotool, dbus-run-session, at-spi2-core and python3-pyatspi;
# exits 77 (skipped) without them.
set -u

program=${1:?program}
. "$(dirname "$0")/../support/kit.sh"
launcher=/usr/libexec/at-spi-bus-launcher
if [ -z "${ZANDREL_ON_BUS:-}" ]; then
    for tool in xdotool dbus-run-session; do
        command -v "$tool" >/dev/null || { echo "needs $tool, skipping"; exit 77; }
    done
    [ -x "$launcher" ] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "needs at-spi2-core and python3-pyatspi, skipping"; exit 77; }
    # The buses' daemons chatter on standard error; only the check's own lines are kept.
    output=$(ZANDREL_ON_BUS=1 "$kit/on_private_x.sh" dbus-run-session -- "$0" "$@" 2>&1)
    status=$?
    grep -v '^dbus-daemon\|^SpiRegistry' <<<"$output"
    exit "$status"
fi

root=$(mktemp -d)
export XDG_RUNTIME_DIR=$root TMPDIR=$root HOME=$root/home PATH=$root/bin:$PATH
mkdir -p "$root/bin" "$root/program" "$HOME"
cp "$program" "$root/program/zandrel"
printf '#!/bin/sh\n' >"$root/bin/xdg-open"
chmod +x "$root/bin/xdg-open"
printf 'Ann\nBob\nCy\nDee\nEve\n' >"$root/program/players.txt"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$root"' EXIT

"$launcher" --launch-immediately &
pids+=($!)
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$root/program/zandrel" 2>"$root/stderr" &
pids+=($!)
# A build with the sanitizers, among other tests, may take long to show it.
kit_log=$root/stderr
shows_or_ends() { has_window Zandrel || ended "${pids[1]}"; }
await 60 shows_or_ends && has_window Zandrel || fail "no window"
window=$(window_named Zandrel)
xdotool windowfocus --sync "$window"
export ZANDREL_WINDOW=$window

names=("Tournament Title" "Tournament Size" "Tournament Type" "Seeding")
for box in 1 2 3 4 5; do names+=("Player/Team $box"); done
names+=("Make Bracket" "Privacy Policy")
/usr/bin/python3 "$(dirname "$0")/accessibility.py" "${names[@]}"
