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
# - zandrel.exe --make writes that same page from the same choices and names
#   without its window; a batch file reads --version, a bad value and a
#   missing names file on its console, with statuses 0, 2 and 1;
# - the page, and ten seconds later the web link, go through the shell's open
#   call to Wine's browser hand-off, which opens them with the desktop's
#   xdg-open: a stand-in for it records what it is given;
# - Help Topics shows "Zandrel Help" with its first page; a second zandrel.exe
#   hands over to the first and ends; File > Exit takes the window off the
#   screen within half a second and leaves nothing in %TEMP%;
# - a bracket.html marked read-only is kept, and a box says so;
# - started from folders whose names a command interpreter would act on
#   ("Club %PATH% 100%", quotes, carets, ampersands, a variable holding a
#   quote followed by "& mkdir INJECTED &"), the page is written there and the
#   browser hand-off is given that very path; nothing named INJECTED appears;
# - a page whose path is too long for the browser hand-off is told in a box
#   that names it;
# - with %TEMP% and %TMP% missing, a file or read-only, two starts still give
#   one window, and Make Bracket says "Unable to get temp file name!";
# - with its folder read-only, as under Program Files, the page goes to
#   Documents\Zandrel and the message says so;
# - ending the Windows session ends Zandrel as closing it does, help and all.
#
# Needs: wine, xvfb, openbox, xdotool, xclip, unzip, imagemagick. Screenshots of each
# step are left in the folder the script names at the end.
set -euo pipefail

if [ $# -ne 2 ] || [ ! -f "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 ZIP LINUX-PROGRAM" >&2
    exit 2
fi
zip=$(realpath "$1")
linux_program=$(realpath "$2")
. "$(dirname "$0")/../tests/support/kit.sh"
kit_name=check-windows

on_private_desktop "$@"

scratch=$(mktemp -d)
shots=$scratch/screens
mkdir -p "$shots" "$scratch/bin"
use_private_home "$scratch"

cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$kit_window_manager" 2>/dev/null
    chattr -R -i "$scratch" 2>/dev/null || true
    if [ "$kit_faults" = 0 ]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT
new_wine_prefix "$scratch/prefix"

# The desktop's opener, as Wine's browser hand-off finds it on PATH.
cat >"$scratch/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s %s\n' "\$(date +%s.%N)" "\$*" >>"$scratch/opened.txt"
EOF
chmod +x "$scratch/bin/xdg-open"
export PATH=$scratch/bin:$PATH
: >"$scratch/opened.txt"

# As a user's click would: the window manager is asked to make the window
# the active one, which gives it the keyboard.
activate() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null ||
        xdotool windowfocus "$1"
}
focus() {
    local id
    id=$(window_named "$1")
    [ -n "$id" ] || return 1
    activate "$id"
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

# A shown box titled $1: not the main window $main, which may bear the same title.
box_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${main:-none}" | head -n 1; }
has_box() { [ -n "$(box_named "$1")" ]; }

# The box titled $1: its text, copied as a user copies a box's text, into
# $scratch/$2-message.txt, then closed with Enter.
read_box() {
    local id
    await 20 has_box "$1" || return 1
    id=$(box_named "$1")
    activate "$id"
    sleep 0.3
    shot "$2-box"
    printf '' | xclip -selection clipboard
    keys ctrl+c
    clipboard >"$scratch/$2-message.txt"
    closed_at=$(date +%s.%N)
    keys Return
}
read_bracket_created() { read_box "Bracket Created" "$1"; }

# Starts zandrel.exe in the folder $1 (a Unix path): $run is the process and
# $main its window once it shows.
start_in() {
    main=
    (cd "$1" && exec wine zandrel.exe) 2>>"$scratch/windows-stderr.txt" &
    run=$!
    await 60 has_window Zandrel || return 1
    main=$(window_named Zandrel)
}
# File > Exit, and the process ends; one that does not is ended, so that the
# next check starts alone.
exit_by_menu() {
    focus Zandrel && keys alt+f && keys x
    await 20 eval '! kill -0 '"$run"' 2>/dev/null' && return 0
    kill -9 "$run" 2>/dev/null
    wineserver -k 2>/dev/null
    return 1
}
# What the browser hand-off was given, as a Unix path: Wine hands xdg-open a
# percent-encoded file URL of the path through dosdevices.
decoded() {
    local url=${1#file://}
    printf '%b' "${url//%/\\x}"
}
# The Windows environment: the user's, then the system's, which Windows
# falls back to for what the user's does not set.
environments=('HKCU\Environment' 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment')
# Sets TEMP and TMP to $1 in both, or with no value removes them; programs
# started from then on see it.
set_temp() {
    local key variable
    for key in "${environments[@]}"; do
        for variable in TEMP TMP; do
            if [ $# -eq 1 ]; then
                wine reg add "$key" /v "$variable" /d "$1" /f >/dev/null 2>&1
            else
                wine reg delete "$key" /v "$variable" /f >/dev/null 2>&1 || true
            fi
        done
    done
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
[ -f "$scratch/linux/bracket.html" ] || fault "the Linux program wrote no page to compare with"
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
if await 60 has_window Zandrel; then pass "zandrel.exe shows its window"; else fault "no window titled Zandrel"; fi
make_bracket_by_keyboard windows || fault "the window could not be driven"
read_bracket_created windows || fault "no \"Bracket Created\" box"
page=$program_folder/bracket.html
cp "$page" "$scratch/windows-bracket.html" 2>/dev/null || true
if [ ! -f "$page" ]; then
    fault "no bracket.html beside zandrel.exe"
elif cmp -s "$page" "$scratch/linux/bracket.html"; then
    pass "bracket.html beside zandrel.exe, the same bytes as the Linux program's ($(wc -c <"$page") bytes)"
else
    fault "bracket.html differs from the Linux program's: $(cmp "$page" "$scratch/linux/bracket.html" || true)"
fi
if grep -q "Bracket Created" "$scratch/windows-message.txt" &&
    grep -qF "$(winepath -w "$page" 2>/dev/null)" "$scratch/windows-message.txt"; then
    pass "\"Bracket Created\" names $(winepath -w "$page" 2>/dev/null)"
else
    fault "\"Bracket Created\" does not name the page: $(cat "$scratch/windows-message.txt")"
fi

# The page at once, the link ten seconds later, both through the shell's open
# call. The program opens the page only once Enter has closed the box, and
# the link is heard of only after the program has asked for it: from that
# Enter to the link's arrival is at least the program's wait, whatever the
# hand-off's own delay on either end.
await 5 grep -q bracket.html "$scratch/opened.txt" || fault "the page never reached the browser hand-off"
await 20 grep -q "https://" "$scratch/opened.txt" || fault "the web link never reached the browser hand-off"
read -r _ page_url < <(sed -n 1p "$scratch/opened.txt") || true
read -r link_time link_url < <(sed -n 2p "$scratch/opened.txt") || true
waited=$(awk -v a="$closed_at" -v b="${link_time:-0}" 'BEGIN { printf "%.2f", b - a }')
if [ "$(grep -c . "$scratch/opened.txt")" = 2 ] && [[ $page_url == *bracket.html ]] &&
    awk -v a="$closed_at" -v b="${link_time:-0}" 'BEGIN { exit !(b - a >= 10) }'; then
    pass "the shell handed the browser $page_url, and $link_url $waited s after Enter closed the box"
else
    fault "the browser hand-off was given: $(cat "$scratch/opened.txt") ($waited s after the box closed)"
fi

# From a script: the page the Linux window made, made by zandrel.exe from the
# same choices and names without its window; then the options, a bad value
# and a missing file, each told on the console of the batch file that
# started it, with the status the batch file reads.
printf '%s\r\n' "${names[@]}" >"$program_folder/names.txt"
if wine zandrel.exe --make --title "Club Night" --size 5 --double --names names.txt --output script.html \
    >"$scratch/script-out.txt" 2>"$scratch/script-err.txt" &&
    cmp -s "$program_folder/script.html" "$scratch/linux/bracket.html" &&
    [ "$(tr -d '\r' <"$scratch/script-out.txt")" = "$(winepath -w "$program_folder/script.html" 2>/dev/null)" ]; then
    pass "zandrel.exe --make wrote the Linux window's page and printed its path"
else
    fault "zandrel.exe --make: $(cat "$scratch/script-out.txt" "$scratch/script-err.txt")"
fi
printf '%s\r\n' '@echo off' 'zandrel.exe --version' 'echo status %ERRORLEVEL%' \
    'zandrel.exe --make --size 40' 'echo status %ERRORLEVEL%' \
    'zandrel.exe --make --size 4 --names missing.txt' 'echo status %ERRORLEVEL%' >"$program_folder/script.bat"
wine cmd /c script.bat 2>&1 | tr -d '\r' >"$scratch/script-console.txt" || true
version=$(basename "$zip" | sed -n 's/^zandrel-\([0-9.]*\)-windows.*/\1/p')
expected="Zandrel $version
status 0
zandrel: --size must be a whole number from 3 to 32, not '40'. Try 'zandrel --help'.
status 2
zandrel: cannot read the names: $(winepath -w "$program_folder" 2>/dev/null)\\missing.txt: File not found.
status 1"
if [ "$(cat "$scratch/script-console.txt")" = "$expected" ]; then
    pass "a batch file reads zandrel.exe's answers and statuses 0, 2 and 1 on its console"
else
    fault "the batch file's console: $(cat "$scratch/script-console.txt")"
fi
rm -f "$program_folder/names.txt" "$program_folder/script.html" "$program_folder/script.bat"

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
        fault "the help viewer shows no page"
    fi
    # A real key, as a user presses it: one sent to the window alone leaves
    # Wine holding Escape down once the window it closed has gone.
    activate "$viewer"
    keys Escape
else
    fault "Help Topics opened no \"Zandrel Help\""
fi

# A second start hands over to the first and ends.
if timeout 30 wine zandrel.exe 2>>"$scratch/windows-stderr.txt"; then
    if [ "$(xdotool search --onlyvisible --name '^Zandrel$' | wc -l)" = 1 ]; then
        pass "a second zandrel.exe handed over and ended"
    else
        fault "a second zandrel.exe left a second window"
    fi
else
    fault "a second zandrel.exe did not end by itself"
fi

# File > Exit: the window is off the screen at once, then the process ends
# and leaves nothing in %TEMP%.
focus Zandrel
keys alt+f
asked=$(date +%s.%N)
xdotool key x
await 20 eval '! has_window Zandrel' || true
gone=$(awk -v a="$asked" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')
if awk -v g="$gone" 'BEGIN { exit !(g < 0.5) }'; then
    pass "File > Exit took the window off the screen in $gone s"
else
    fault "File > Exit left the window on the screen for $gone s"
fi
if await 20 eval '! kill -0 '"$first"' 2>/dev/null'; then
    wait "$first" || true
    wineserver -w
    left=$(comm -13 <(echo "$temp_before") <(ls -A "$temp_folder" | sort) | tr '\n' ' ')
    if [ -z "$left" ]; then pass "File > Exit ended Zandrel and left nothing in %TEMP%"; else fault "left in %TEMP%: $left"; fi
else
    fault "File > Exit did not end Zandrel"
    kill -9 "$first" 2>/dev/null
    wineserver -k 2>/dev/null
fi

# A page the user marked read-only is kept, and a box says so.
cp "$page" "$scratch/kept.html"
wine cmd /c attrib +r "$(winepath -w "$page")" >/dev/null 2>&1
: >"$scratch/opened.txt"
if start_in "$program_folder" && make_bracket_by_keyboard read-only-page && read_box Zandrel read-only-page; then
    if grep -qF "$(winepath -w "$page") is read-only" "$scratch/read-only-page-message.txt" &&
        cmp -s "$page" "$scratch/kept.html" && [ ! -s "$scratch/opened.txt" ]; then
        pass "a read-only bracket.html was kept and the box said so"
    else
        fault "a read-only bracket.html: $(cat "$scratch/read-only-page-message.txt"); kept: $(cmp "$page" "$scratch/kept.html" && echo yes)"
    fi
else
    fault "no box about the read-only bracket.html"
fi
exit_by_menu || fault "the read-only page's run did not end"
wine cmd /c attrib -r "$(winepath -w "$page")" >/dev/null 2>&1

# Folders whose names a command interpreter would act on: the page is
# written there and the hand-off gets that very path. ZQ holds a double
# quote, as %CMDCMDLINE% does while cmd runs; Wine's cmd would split at the
# "&" before expanding it, so there the old way only showed as a page never
# opened, while Windows' cmd would have run "mkdir INJECTED".
export ZQ='"'
for odd in "Club %PATH% 100%" "A^B!C (1) ;,= 'x' & y" "Q %ZQ% & mkdir INJECTED &"; do
    folder=$WINEPREFIX/drive_c/$odd
    cp -r "$program_folder" "$folder"
    : >"$scratch/opened.txt"
    if start_in "$folder" && make_bracket_by_keyboard odd && read_bracket_created odd &&
        await 10 grep -q bracket.html "$scratch/opened.txt"; then
        read -r _ url <"$scratch/opened.txt" || true
        given=$(decoded "$url")
        if [ -f "$folder/bracket.html" ] && [ "$(realpath -m "$given")" = "$(realpath "$folder/bracket.html")" ]; then
            pass "from C:\\$odd the page was written there and the hand-off given $given"
        else
            fault "from C:\\$odd the hand-off was given $url"
        fi
    else
        fault "from C:\\$odd no page was made and opened"
    fi
    exit_by_menu || fault "the run from C:\\$odd did not end"
    rm -rf "$folder"
done
unset ZQ
injected=$(find "$WINEPREFIX" "$scratch" "$program_folder" -name INJECTED 2>/dev/null)
[ -z "$injected" ] || fault "a folder's name ran a command: $injected"

# A page whose path is too long for the hand-off: a box names it.
folder=$WINEPREFIX/drive_c/$(printf 'a-folder-whose-name-is-forty-characters-%d/' 1 2 3 4 5 6)
mkdir -p "$folder"
cp -r "$program_folder"/. "$folder"
if start_in "$folder" && make_bracket_by_keyboard long && read_bracket_created long &&
    read_box "Bracket Not Opened" long-not-opened; then
    if grep -qF "$(winepath -w "$folder/bracket.html")" "$scratch/long-not-opened-message.txt" &&
        grep -q "could not be opened" "$scratch/long-not-opened-message.txt"; then
        pass "a page $(winepath -w "$folder/bracket.html" | wc -c) characters long was named in \"Bracket Not Opened\""
    else
        fault "the long path's box: $(cat "$scratch/long-not-opened-message.txt")"
    fi
else
    fault "a page whose path is too long to open: no box said so"
fi
exit_by_menu || fault "the long path's run did not end"
rm -rf "$WINEPREFIX/drive_c/a-folder-whose-name-is-forty-characters-1"

# The temporary folder missing, then a file: two starts still give one
# window, and Make Bracket says there is no temporary file to be had.
for i in 0 1; do
    wine reg export "${environments[i]}" "$scratch/environment-$i.reg" /y >/dev/null 2>&1 ||
        fault "the Windows environment could not be saved"
done
echo x >"$WINEPREFIX/drive_c/temp-is-a-file"
mkdir "$WINEPREFIX/drive_c/temp-read-only"
states=(missing file)
# Root writes anywhere but where a file system is told no.
chattr +i "$WINEPREFIX/drive_c/temp-read-only" 2>/dev/null && states+=(read-only)
for state in "${states[@]}"; do
    case $state in
    missing) set_temp ;;
    file) set_temp 'C:\temp-is-a-file' ;;
    read-only) set_temp 'C:\temp-read-only' ;;
    esac
    echo "check-windows: %TEMP% is now $(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r'), %TMP% $(wine cmd /c echo %TMP% 2>/dev/null | tr -d '\r')"
    if start_in "$program_folder"; then
        if timeout 30 wine zandrel.exe 2>>"$scratch/windows-stderr.txt" &&
            [ "$(xdotool search --onlyvisible --name '^Zandrel$' | wc -l)" = 1 ]; then
            pass "with %TEMP% $state, a second start handed over and ended with status 0"
        else
            fault "with %TEMP% $state, a second start did not hand over and end"
        fi
        if make_bracket_by_keyboard "temp-$state" && read_box Zandrel "temp-$state" &&
            grep -q "Unable to get temp file name!" "$scratch/temp-$state-message.txt"; then
            pass "with %TEMP% $state, Make Bracket said \"Unable to get temp file name!\""
        else
            fault "with %TEMP% $state, Make Bracket said: $(cat "$scratch/temp-$state-message.txt" 2>/dev/null)"
        fi
        exit_by_menu || fault "the run with %TEMP% $state did not end"
    else
        fault "with %TEMP% $state, zandrel.exe shows no window"
    fi
done
# Put back for the checks after; once more if the registry is busy.
for i in 0 1; do
    wine reg import "$scratch/environment-$i.reg" >/dev/null 2>&1 ||
        wine reg import "$scratch/environment-$i.reg" >/dev/null 2>&1 ||
        fault "the Windows environment could not be put back"
done
chattr -i "$WINEPREFIX/drive_c/temp-read-only" 2>/dev/null || true

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
            fault "with its folder read-only: $(cat "$scratch/readonly-message.txt")"
        fi
    else
        fault "with its folder read-only, no bracket was made"
    fi
    focus Zandrel && keys alt+f && keys x
    await 20 eval '! kill -0 '"$readonly_run"' 2>/dev/null' || fault "the read-only run did not end"
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
    await 20 has_window "Zandrel Help" || fault "no help before the session's end"
    wineboot --end-session >/dev/null 2>&1 || true
    if await 20 eval '! kill -0 '"$session_run"' 2>/dev/null'; then
        wineserver -w
        left=$(comm -13 <(echo "$temp_before") <(ls -A "$temp_folder" | sort) | tr '\n' ' ')
        if [ -z "$left" ]; then pass "the session's end closed Zandrel and its help, leaving nothing in %TEMP%"; else fault "the session's end left in %TEMP%: $left"; fi
    else
        fault "the session's end did not end Zandrel"
    fi
fi

if [ -s "$scratch/windows-stderr.txt" ]; then
    echo "check-windows: what zandrel.exe said on standard error:"
    sed 's/^/  /' "$scratch/windows-stderr.txt"
fi
[ "$kit_faults" = 0 ] || echo "check-windows: screenshots and logs are in $scratch" >&2
finish
