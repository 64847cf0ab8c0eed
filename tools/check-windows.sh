#!/usr/bin/env bash
# Drives the Windows program from its zip under Wine, by keyboard, as a user
# would, and checks what a user would see:
#
#   tools/check-windows.sh ZIP LINUX-PROGRAM
#
# - unzipped into a fresh folder of a fresh Wine prefix, zandrel.exe shows its
#   window; a title, the size, the kind and the seeding are picked and five
#   names typed; Make Bracket writes bracket.html beside zandrel.exe, the same
#   bytes as the Linux program writes for the same keys, and "Bracket
#   Created" names that file;
# - the page, and ten seconds later the web link, go through cmd /c start to
#   Wine's browser hand-off, which opens them with the desktop's xdg-open: a
#   stand-in for it records what it is given;
# - Help Topics shows "Zandrel Help" with its first page; a second zandrel.exe
#   hands over to the first and ends; File > Exit leaves nothing in %TEMP%;
# - with its folder read-only, as under Program Files, the page goes to
#   Documents\Zandrel and the message says so;
# - ending the Windows session ends Zandrel as closing it does, help and all.
#
# Needs: wine, xvfb, xdotool, xclip, unzip, imagemagick. Screenshots of each
# step are left in the folder the script names at the end.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 ZIP LINUX-PROGRAM" >&2
    exit 2
fi
zip=$(realpath "$1")
linux_program=$(realpath "$2")

scratch=$(mktemp -d)
shots=$scratch/screens
mkdir -p "$shots" "$scratch/bin" "$scratch/home"
export HOME=$scratch/home
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
# No menu entries made on the host's desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe="
export XDG_RUNTIME_DIR=$scratch/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"

failed=0
fail() {
    echo "check-windows: FAIL: $*" >&2
    failed=1
}
pass() { echo "check-windows: ok: $*"; }

cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    chattr -R -i "$scratch" 2>/dev/null || true
    if [ "$failed" = 0 ]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT

# The prefix is made before there is a display, so that no installer of
# Wine's asks anything; it still registers what a Windows user has, such as
# the program that opens .html pages (Wine's hand-off to the browser).
env -u DISPLAY wineboot --init >/dev/null 2>&1
wineserver -w

# A display of our own.
for display in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$display" ] || break
done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The desktop's opener, as Wine's browser hand-off finds it on PATH.
cat >"$scratch/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s %s\n' "\$(date +%s.%N)" "\$*" >>"$scratch/opened.txt"
EOF
chmod +x "$scratch/bin/xdg-open"
export PATH=$scratch/bin:$PATH
: >"$scratch/opened.txt"

# Runs "$@" until it succeeds, for at most $1 seconds.
await() {
    local seconds=$1 i
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }
focus() {
    local id
    id=$(window_named "$1")
    [ -n "$id" ] || return 1
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.3
}
keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
typed() { xdotool type --delay 60 "$1"; sleep 0.2; }
shot() { import -window root "$shots/$1.png"; }
clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }

# The keys a user presses to make a seeded double-elimination bracket of five.
names=("Ada Lovelace" "Grace Hopper" "Zoë & Co" "<Team> Blue" "Emile")
make_bracket_by_keyboard() {
    focus Zandrel || return 1
    shot "$1-started"
    typed "Club Night"
    keys Tab
    typed 5
    keys Tab
    typed D
    keys Tab
    typed S
    local name
    for name in "${names[@]}"; do
        keys Tab
        typed "$name"
    done
    shot "$1-filled"
    keys Return
}

# The "Bracket Created" box: its text, copied as a user copies a box's text,
# then closed with Enter.
read_bracket_created() {
    await 20 has_window "Bracket Created" || return 1
    focus "Bracket Created"
    shot "$1-created"
    printf '' | xclip -selection clipboard
    keys ctrl+c
    clipboard >"$scratch/$1-message.txt"
    keys Return
}

# --- The Linux program: the page the Windows one must match.
mkdir -p "$scratch/linux"
cp "$linux_program" "$scratch/linux/zandrel"
"$scratch/linux/zandrel" 2>"$scratch/linux-stderr.txt" &
linux=$!
if await 20 has_window Zandrel && make_bracket_by_keyboard linux && read_bracket_created linux; then
    sleep 1
fi
kill "$linux" 2>/dev/null || true
wait "$linux" 2>/dev/null || true
[ -f "$scratch/linux/bracket.html" ] || fail "the Linux program wrote no page to compare with"
# What the Linux program handed to xdg-open is not Wine's doing.
: >"$scratch/opened.txt"

# --- The Windows program, unzipped into a fresh folder.
unzip -q "$zip" -d "$scratch/windows"
program_folder=$(dirname "$(find "$scratch/windows" -name zandrel.exe | head -n 1)")
cd "$program_folder"
temp_folder=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')")
temp_before=$(ls -A "$temp_folder" | sort)

wine zandrel.exe 2>"$scratch/windows-stderr.txt" &
first=$!
if await 60 has_window Zandrel; then pass "zandrel.exe shows its window"; else fail "no window titled Zandrel"; fi
make_bracket_by_keyboard windows || fail "the window could not be driven"
read_bracket_created windows || fail "no \"Bracket Created\" box"
page=$program_folder/bracket.html
cp "$page" "$scratch/windows-bracket.html" 2>/dev/null || true
if [ ! -f "$page" ]; then
    fail "no bracket.html beside zandrel.exe"
elif cmp -s "$page" "$scratch/linux/bracket.html"; then
    pass "bracket.html beside zandrel.exe, the same bytes as the Linux program's ($(wc -c <"$page") bytes)"
else
    fail "bracket.html differs from the Linux program's: $(cmp "$page" "$scratch/linux/bracket.html" || true)"
fi
if grep -q "Bracket Created" "$scratch/windows-message.txt" &&
    grep -qF "$(winepath -w "$page" 2>/dev/null)" "$scratch/windows-message.txt"; then
    pass "\"Bracket Created\" names $(winepath -w "$page" 2>/dev/null)"
else
    fail "\"Bracket Created\" does not name the page: $(cat "$scratch/windows-message.txt")"
fi

# The page at once, the link ten seconds later, both through cmd /c start.
await 5 grep -q bracket.html "$scratch/opened.txt" || fail "the page never reached the browser hand-off"
await 20 grep -q "https://" "$scratch/opened.txt" || fail "the web link never reached the browser hand-off"
read -r page_time page_url < <(sed -n 1p "$scratch/opened.txt")
read -r link_time link_url < <(sed -n 2p "$scratch/opened.txt")
waited=$(awk -v a="${page_time:-0}" -v b="${link_time:-0}" 'BEGIN { printf "%.1f", b - a }')
if [ "$(grep -c . "$scratch/opened.txt")" = 2 ] && [[ $page_url == *bracket.html ]] &&
    awk -v w="$waited" 'BEGIN { exit !(w >= 10) }'; then
    pass "cmd /c start handed the browser $page_url, and $waited s later $link_url"
else
    fail "the browser hand-off was given: $(cat "$scratch/opened.txt")"
fi

# Help Topics: the viewer, titled "Zandrel Help", on its first page.
focus Zandrel
keys alt+h
keys Return
if await 20 has_window "Zandrel Help"; then
    viewer=$(window_named "Zandrel Help")
    shot help
    eval "$(xdotool getwindowgeometry --shell "$viewer")"
    xdotool mousemove --window "$viewer" $((WIDTH * 2 / 3)) $((HEIGHT / 2)) click 1
    sleep 0.3
    keys ctrl+a ctrl+c
    if clipboard | grep -q "About Zandrel"; then
        pass "Help Topics shows \"Zandrel Help\" on its first page"
    else
        fail "the help viewer shows no page"
    fi
    xdotool key --window "$viewer" Escape 2>/dev/null || true
else
    fail "Help Topics opened no \"Zandrel Help\""
fi

# A second start hands over to the first and ends.
if timeout 30 wine zandrel.exe 2>>"$scratch/windows-stderr.txt"; then
    if [ "$(xdotool search --onlyvisible --name '^Zandrel$' | wc -l)" = 1 ]; then
        pass "a second zandrel.exe handed over and ended"
    else
        fail "a second zandrel.exe left a second window"
    fi
else
    fail "a second zandrel.exe did not end by itself"
fi

# File > Exit: the process ends and leaves nothing in %TEMP%.
focus Zandrel
keys alt+f
keys x
if await 20 eval '! kill -0 '"$first"' 2>/dev/null'; then
    wait "$first" || true
    wineserver -w
    left=$(comm -13 <(echo "$temp_before") <(ls -A "$temp_folder" | sort) | tr '\n' ' ')
    if [ -z "$left" ]; then pass "File > Exit ended Zandrel and left nothing in %TEMP%"; else fail "left in %TEMP%: $left"; fi
else
    fail "File > Exit did not end Zandrel"
fi

# A read-only program folder, as under Program Files: the page goes to
# Documents\Zandrel, and the message names it there.
rm -f "$page"
if chattr +i "$program_folder" 2>/dev/null; then
    wine zandrel.exe 2>>"$scratch/windows-stderr.txt" &
    readonly_run=$!
    if await 60 has_window Zandrel && make_bracket_by_keyboard readonly && read_bracket_created readonly; then
        named=$(sed -n 's/.*created in file \(.*bracket\.html\)\..*/\1/p' "$scratch/readonly-message.txt")
        documents=$(winepath -u "$named" 2>/dev/null || true)
        if [ -f "$documents" ] && [[ $documents == */Zandrel/bracket.html ]] && [ ! -f "$page" ]; then
            pass "with its folder read-only, the page went to $named"
        else
            fail "with its folder read-only: $(cat "$scratch/readonly-message.txt")"
        fi
    else
        fail "with its folder read-only, no bracket was made"
    fi
    focus Zandrel && keys alt+f && keys x
    await 20 eval '! kill -0 '"$readonly_run"' 2>/dev/null' || fail "the read-only run did not end"
    chattr -i "$program_folder"
else
    echo "check-windows: skipped: the read-only folder (chattr +i needs CAP_LINUX_IMMUTABLE)"
fi

# The session ends while help is open: Zandrel closes as it does when told,
# and its help file goes with it.
wine zandrel.exe 2>>"$scratch/windows-stderr.txt" &
session_run=$!
disown  # the session's end kills what is left of it, as Windows does: no word from the shell
if await 60 has_window Zandrel; then
    focus Zandrel
    keys alt+h
    keys Return
    await 20 has_window "Zandrel Help" || fail "no help before the session's end"
    wineboot --end-session >/dev/null 2>&1 || true
    if await 20 eval '! kill -0 '"$session_run"' 2>/dev/null'; then
        wineserver -w
        left=$(comm -13 <(echo "$temp_before") <(ls -A "$temp_folder" | sort) | tr '\n' ' ')
        if [ -z "$left" ]; then pass "the session's end closed Zandrel and its help, leaving nothing in %TEMP%"; else fail "the session's end left in %TEMP%: $left"; fi
    else
        fail "the session's end did not end Zandrel"
    fi
fi

if [ -s "$scratch/windows-stderr.txt" ]; then
    echo "check-windows: what zandrel.exe said on standard error:"
    sed 's/^/  /' "$scratch/windows-stderr.txt"
fi
if [ "$failed" != 0 ]; then
    echo "check-windows: screenshots and logs are in $scratch" >&2
    exit 1
fi
