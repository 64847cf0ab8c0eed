#!/usr/bin/env bash
# Installs, replaces and removes Zandrel with its Windows installer under
# Wine, as a user would, and checks what a user would find:
#
#   tools/check-windows-installer.sh SETUP ZIP BUILD
#
# SETUP is zandrel-<version>-windows-x64-setup.exe, ZIP the zip made from the
# same files, BUILD the Windows build both came from (its product facts make
# an older version to replace). In a Wine prefix and a HOME of its own, on an
# X server of its own with a window manager:
# - the installer is at most 12 MB;
# - setup.exe /S installs, without asking, into %LOCALAPPDATA%\Programs\Zandrel
#   exactly the zip's files, byte for byte, and the uninstaller; a Start-menu
#   shortcut "Zandrel" opens the installed zandrel.exe; the entry under Apps
#   (HKCU ...\Uninstall\Zandrel) has its name, version, publisher, icon,
#   folder, quoted uninstall commands, size and no Modify or Repair;
# - the installed program reads players.txt from Documents\Zandrel and writes
#   bracket.html there, never in its own folder;
# - installing again leaves one entry and one shortcut;
# - with Zandrel running, the installer and the uninstaller, silent or not,
#   change nothing and end with a status that says so;
# - the wizard: welcome, licence, folder, progress, and a finish page whose
#   "Start Zandrel" starts it;
# - the uninstall command of the entry removes the folder, the shortcut and
#   the entry, and leaves Documents\Zandrel as it was;
# - an older version installed in a folder with spaces (/D=) is replaced in
#   that folder: nothing is left of the files the new version no longer ships.
#
# Needs: wine, xvfb, openbox, xdotool, xclip, unzip, nsis, imagemagick.
# Screenshots of the wizard are left in the folder named at the end.
set -euo pipefail

if [ $# -ne 3 ] || [ ! -f "$1" ] || [ ! -f "$2" ] || [ ! -f "$3/app/windows/product.nsh" ]; then
    echo "usage: $0 SETUP ZIP BUILD (BUILD/app/windows/product.nsh must exist)" >&2
    exit 2
fi
setup=$(realpath "$1")
zip=$(realpath "$2")
build=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/support/kit.sh"
kit_name=check-windows-installer

on_private_desktop "$@"

scratch=$(mktemp -d)
shots=$scratch/screens
mkdir -p "$shots" "$scratch/bin"
# Wine links the user's Documents to $HOME/Documents: a private one here.
use_private_home "$scratch"
mkdir "$HOME/Documents"
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$kit_window_manager" 2>/dev/null
    if [ "$kit_faults" = 0 ]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT
new_wine_prefix "$scratch/prefix"

# The desktop's opener, as Wine's browser hand-off finds it: it only notes
# what it was given, so no browser starts.
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened.txt"\n' "$scratch" >"$scratch/bin/xdg-open"
chmod +x "$scratch/bin/xdg-open"
export PATH=$scratch/bin:$PATH

# As a user's click would: the window manager makes the window the active
# one, which gives it the keyboard.
focus() {
    local id
    id=$(window_named "$1")
    [ -n "$id" ] || return 1
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" 2>/dev/null ||
        xdotool windowfocus "$id"
    sleep 0.3
}
keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
shot() { import -window root "$shots/$1.png"; }
seconds_since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }
# A Windows path as the shell here reads it, and a Windows variable's value.
unix_path() { winepath -u "$1" 2>/dev/null; }
windows_variable() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }

version=$(sed -n 's/^!define PRODUCT_VERSION "\(.*\)"$/\1/p' "$build/app/windows/product.nsh")
publisher=$(sed -n 's/^!define PRODUCT_PUBLISHER "\(.*\)"$/\1/p' "$build/app/windows/product.nsh")
setup_title="Zandrel $version Setup"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zandrel'
default_folder="$(windows_variable LOCALAPPDATA)\\Programs\\Zandrel"
start_menu=$(unix_path "$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs")
documents=$(unix_path "$(windows_variable USERPROFILE)\\Documents")/Zandrel
case $(realpath -m "$documents") in
"$scratch"/*) ;;
*)
    fail "Documents is $(realpath -m "$documents"), outside this check's own HOME"
    ;;
esac
cp "$setup" "$WINEPREFIX/drive_c/setup.exe"
unzip -q "$zip" -d "$scratch/zip"
shipped=$(dirname "$(find "$scratch/zip" -name zandrel.exe | head -n 1)")

# A value of the entry, as Windows reads it; empty when there is none.
entry() {
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
has_entry() { wine reg query "$key" >/dev/null 2>&1; }
# How many entries under Apps are named Zandrel, and how many Start-menu
# shortcuts lead to a zandrel.exe.
entries() {
    wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
        grep -c '^ *DisplayName *REG_SZ *Zandrel$' || true
}
shortcuts() {
    local link count=0
    while IFS= read -r -d '' link; do
        strings -a -el "$link" | grep -qi 'zandrel\.exe' && count=$((count + 1))
    done < <(find "$(dirname "$start_menu")" -iname '*.lnk' -print0 2>/dev/null)
    echo "$count"
}
# The folder's files with their sizes and times, and the entry: what "changes
# nothing" compares.
snapshot() {
    { [ -d "$1" ] && (cd "$1" && find . -printf '%p %s %T@\n' | LC_ALL=C sort); wine reg query "$key" 2>/dev/null; } |
        md5sum
}

# Checks that the Windows folder $1 holds exactly the zip's files, byte for
# byte, and the uninstaller; and the shortcut and the entry that go with it.
check_installed() {
    local folder=$1 unix
    unix=$(unix_path "$folder")
    if [ ! -d "$unix" ]; then
        fault "nothing was installed in $folder"
        return
    fi
    local extra missing different=""
    extra=$(comm -13 <(cd "$shipped" && find . -type f | LC_ALL=C sort) <(cd "$unix" && find . -type f | LC_ALL=C sort) | tr '\n' ' ')
    missing=$(comm -23 <(cd "$shipped" && find . -type f | LC_ALL=C sort) <(cd "$unix" && find . -type f | LC_ALL=C sort) | tr '\n' ' ')
    while IFS= read -r file; do
        cmp -s "$shipped/$file" "$unix/$file" || different+="$file "
    done < <(cd "$shipped" && find . -type f)
    if [ "$extra" = "./uninstall.exe " ] && [ -z "$missing" ] && [ -z "$different" ]; then
        pass "$folder holds the zip's $(find "$shipped" -type f | wc -l) files, byte for byte, and uninstall.exe"
    else
        fault "$folder: extra [$extra], missing [$missing], different [$different]"
    fi
    if [ "$(shortcuts)" = 1 ] && strings -a -el "$start_menu/Zandrel.lnk" 2>/dev/null | grep -qiF "$folder\\zandrel.exe"; then
        pass "one Start-menu shortcut, Zandrel, opens $folder\\zandrel.exe"
    else
        fault "Start-menu shortcuts to zandrel.exe: $(shortcuts); Zandrel.lnk names: $(strings -a -el "$start_menu/Zandrel.lnk" 2>/dev/null | tr '\n' ' ')"
    fi
    # The entry, value by value: what it must hold.
    local quoted="\"$folder\\uninstall.exe\"" name expected actual wrong=""
    local fields=(
        DisplayName "Zandrel"
        DisplayVersion "$version"
        Publisher "$publisher"
        DisplayIcon "$folder\\zandrel.exe,0"
        InstallLocation "$folder"
        UninstallString "$quoted"
        QuietUninstallString "$quoted /S"
        NoModify 0x1
        NoRepair 0x1
    )
    for ((i = 0; i < ${#fields[@]}; i += 2)); do
        name=${fields[i]}
        expected=${fields[i + 1]}
        actual=$(entry "$name")
        [ "$actual" = "$expected" ] || wrong+="$name is \"$actual\", not \"$expected\"; "
    done
    # Its size in KB, of the files installed.
    local size bytes
    size=$(($(entry EstimatedSize)))
    bytes=$(find "$unix" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
    awk -v kb="$size" -v b="$bytes" 'BEGIN { exit !(kb > 0 && kb * 1024 <= b * 1.01 && kb * 1024 >= b * 0.99) }' ||
        wrong+="EstimatedSize is $size KB for $bytes bytes; "
    if [ "$(entries)" = 1 ] && [ -z "$wrong" ]; then
        pass "one entry under Apps, Zandrel $version by $publisher in $folder, $size KB, uninstalled by $quoted /S"
    else
        fault "entries named Zandrel: $(entries); $wrong"
    fi
}

# The installer's window: a key pressed in it, and its status once it ends
# within $1 seconds ("running" while it goes on), in $status.
press() {
    focus "$setup_title" || true
    keys "$1"
}
await_wizard_end() {
    status=running
    await "$1" ended "$wizard" || return 0
    status=0
    wait "$wizard" || status=$?
}

# Starts the zandrel.exe in the Unix folder $1: $run is the process.
start_zandrel() {
    (cd "$1" && exec wine zandrel.exe) 2>>"$scratch/zandrel-stderr.txt" &
    run=$!
    await 60 has_window Zandrel
}
# File > Exit. Zandrel is clicked first, as a user does when another
# program's box stands in front of it, which Wine keeps in the foreground.
exit_zandrel() {
    local id
    id=$(window_named Zandrel)
    [ -n "$id" ] && xdotool mousemove --window "$id" 20 250 click 1 && sleep 0.3
    focus Zandrel && keys alt+f && keys x
    await 20 ended "$run" && return 0
    shot "exit-failed-$(date +%s)"
    kill -9 "$run" 2>/dev/null
    return 1
}
# Runs the uninstall command of the entry as a command line, as Windows
# does (Wine would quote its quotes if given it as one argument), and waits
# for what it removes to go: it copies itself to %TEMP% and returns at once.
uninstall() {
    local folder=$1 quiet
    quiet=$(entry QuietUninstallString)
    [ -n "$quiet" ] || return 1
    printf '%s\r\n' "$quiet" >"$WINEPREFIX/drive_c/uninstall-zandrel.bat"
    wine cmd /c 'C:\uninstall-zandrel.bat' >/dev/null 2>&1 || return 1
    await 60 eval '[ ! -e "$(unix_path "$folder")" ] && ! has_entry'
}

# --- Its size.
size=$(stat -c %s "$setup")
if [ "$size" -le 12000000 ]; then pass "the installer is $size bytes"; else fault "the installer is $size bytes, over 12 MB"; fi

# --- Installed silently, for this user.
started=$(date +%s.%N)
if wine "$setup" /S; then
    pass "setup.exe /S ended with status 0 in $(seconds_since "$started") s"
else
    fault "setup.exe /S ended with status $?"
fi
check_installed "$default_folder"
if wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -q '|||Zandrel$'; then
    pass "Wine's list of programs to remove shows Zandrel"
else
    fault "Wine's list of programs to remove lacks Zandrel: $(wine uninstaller --list 2>/dev/null | tr '\n' ' ')"
fi

# --- The installed program keeps the page and the list in Documents\Zandrel,
# even with a players.txt beside it.
installed=$(unix_path "$default_folder")
mkdir -p "$documents"
printf 'Ada Lovelace\r\nGrace Hopper\r\nAlan Turing\r\nEdsger Dijkstra\r\nBarbara Liskov\r\n' >"$documents/players.txt"
printf 'Not Me One\r\nNot Me Two\r\nNot Me Three\r\n' >"$installed/players.txt"
if start_zandrel "$installed"; then
    focus Zandrel || true
    shot installed-started
    xdotool type --delay 60 "Club Night"
    keys Tab 5 Tab D Tab S
    shot installed-filled
    keys Return
    if await 20 has_window "Bracket Created"; then
        shot installed-bracket-created
        focus "Bracket Created" || true
        keys Return
    fi
    if [ -f "$documents/bracket.html" ] && [ ! -e "$installed/bracket.html" ] &&
        grep -q "Barbara Liskov" "$documents/bracket.html" && ! grep -q "Not Me" "$documents/bracket.html"; then
        pass "the installed program read players.txt in Documents\\Zandrel and wrote bracket.html there, not beside itself"
    else
        fault "the installed program: Documents\\Zandrel holds [$(ls "$documents" | tr '\n' ' ')], its folder a page: $([ -e "$installed/bracket.html" ] && echo yes || echo no)"
    fi
    exit_zandrel || fault "the installed program did not end by File > Exit"
else
    fault "the installed zandrel.exe shows no window"
fi
rm -f "$installed/players.txt"
cp "$documents/bracket.html" "$scratch/kept-bracket.html" 2>/dev/null || true
cp "$documents/players.txt" "$scratch/kept-players.txt"

# --- Installed again over itself.
if wine "$setup" /S; then pass "setup.exe /S over the installed Zandrel ended with status 0"; else fault "setup.exe /S again ended with status $?"; fi
check_installed "$default_folder"

# --- With Zandrel running nothing changes, and the status says so.
if start_zandrel "$installed"; then
    before=$(snapshot "$installed")
    status=0
    wine "$setup" /S || status=$?
    if [ "$status" != 0 ] && [ "$(snapshot "$installed")" = "$before" ] && running "$run"; then
        pass "with Zandrel running, setup.exe /S changed nothing and ended with status $status"
    else
        fault "with Zandrel running, setup.exe /S ended with status $status; changed: $([ "$(snapshot "$installed")" = "$before" ] && echo no || echo yes)"
    fi
    status=0
    wine "$installed/uninstall.exe" /S "_?=$default_folder" || status=$?
    if [ "$status" != 0 ] && [ "$(snapshot "$installed")" = "$before" ]; then
        pass "with Zandrel running, the silent uninstaller changed nothing and ended with status $status"
    else
        fault "with Zandrel running, the silent uninstaller ended with status $status"
    fi
    # The wizard asks to close it: Retry or Cancel; Cancel leaves all as it was.
    wine "$setup" &
    wizard=$!
    if await 30 has_window "$setup_title"; then
        sleep 1
        shot running-asks
        press Escape
        await_wizard_end 20
        if [ "$status" != 0 ] && [ "$status" != running ] && [ "$(snapshot "$installed")" = "$before" ]; then
            pass "with Zandrel running, the wizard asked to close it, and Cancel ended it with status $status"
        else
            fault "with Zandrel running, the wizard's Cancel: status $status"
        fi
    else
        fault "with Zandrel running, the wizard showed nothing"
    fi
    kill "$wizard" 2>/dev/null || true
else
    fault "the installed zandrel.exe shows no window"
fi

# --- The wizard, by keyboard: asked again while Zandrel runs, the user
# closes it and chooses Retry; then welcome, licence, folder, progress, and
# a finish page whose "Start Zandrel" starts it.
touch "$scratch/wizard-started"
sleep 1
wine "$setup" &
wizard=$!
if await 30 has_window "$setup_title"; then
    exit_zandrel || fault "Zandrel did not end by File > Exit"
    press Return
    pages=(welcome licence folder)
    for page in "${pages[@]}"; do
        sleep 1
        shot "wizard-$page"
        press Return
    done
    # The progress page ends with the uninstaller written anew; then the finish page.
    await 120 eval '[ -n "$(find "$installed/uninstall.exe" -newer "$scratch/wizard-started" 2>/dev/null)" ]' || true
    sleep 2
    shot wizard-finish
    press Return
    await_wizard_end 30
    if [ "$status" = 0 ] && await 60 has_window Zandrel; then
        pass "the wizard, titled \"$setup_title\", went on after Retry: welcome, licence, folder, progress, finish, and \"Start Zandrel\" started it"
        focus Zandrel && keys alt+f && keys x
        await 20 eval '! has_window Zandrel' || fault "the Zandrel the wizard started did not end"
    else
        fault "the wizard ended with status $status, and Zandrel $(has_window Zandrel && echo started || echo "did not start")"
    fi
else
    fault "setup.exe showed no window titled \"$setup_title\""
fi
kill "$wizard" 2>/dev/null || true
check_installed "$default_folder"

# --- Removed by the entry's own command; the user's documents stay.
started=$(date +%s.%N)
if uninstall "$default_folder"; then
    pass "the entry's QuietUninstallString removed the folder and the entry in $(seconds_since "$started") s"
else
    fault "after the uninstall command, the folder is $([ -e "$installed" ] && echo there || echo gone), the entry $(has_entry && echo there || echo gone)"
fi
if [ "$(shortcuts)" = 0 ]; then pass "no shortcut is left"; else fault "$(shortcuts) shortcuts are left"; fi
if cmp -s "$documents/players.txt" "$scratch/kept-players.txt" && cmp -s "$documents/bracket.html" "$scratch/kept-bracket.html"; then
    pass "Documents\\Zandrel kept bracket.html and players.txt"
else
    fault "Documents\\Zandrel now holds [$(ls "$documents" 2>/dev/null | tr '\n' ' ')]"
fi

# --- With the zip's Zandrel running and none installed, the installer alone
# must find it: installed now, the copy would only hand over to that one.
if start_zandrel "$shipped"; then
    status=0
    wine "$setup" /S || status=$?
    if [ "$status" != 0 ] && [ ! -e "$installed" ] && ! has_entry; then
        pass "with the zip's Zandrel running, setup.exe /S installed nothing and ended with status $status"
    else
        fault "with the zip's Zandrel running, setup.exe /S ended with status $status and installed $(ls "$installed" 2>/dev/null | wc -l) files"
    fi
    exit_zandrel || fault "the zip's Zandrel did not end by File > Exit"
else
    fault "the zip's zandrel.exe shows no window"
fi

# --- An older version, in a folder with spaces, replaced where it is. Wine
# quotes an argument that holds a space, which NSIS does not read as /D=, so
# the command goes through cmd as a user would type it.
old=$scratch/old/zandrel
mkdir -p "$scratch/old"
cp -r "$shipped" "$old"
echo "a DLL this version no longer ships" >"$old/retired.dll"
mkdir -p "$old/retired"
echo "a folder this version no longer ships" >"$old/retired/notes.txt"
sed 's/^!define PRODUCT_VERSION .*/!define PRODUCT_VERSION "0.9"/; s/^!define PRODUCT_VERSION_NUMBERS .*/!define PRODUCT_VERSION_NUMBERS "0.9.0.0"/' \
    "$build/app/windows/product.nsh" >"$scratch/old/product.nsh"
"$here/make-installer.sh" "$old" "$scratch/old/product.nsh" "$WINEPREFIX/drive_c/old-setup.exe" >/dev/null
spaced='C:\Some Folder\Zandrel'
wine cmd /c "C:\\old-setup.exe /S /D=$spaced" >/dev/null 2>&1 || fault "the older version's installer failed"
if [ -f "$(unix_path "$spaced")/retired/notes.txt" ] && [ "$(entry DisplayVersion)" = 0.9 ]; then
    if wine "$setup" /S; then
        check_installed "$spaced"
        if [ ! -e "$(unix_path "$default_folder")" ]; then
            pass "Zandrel 0.9 in $spaced was replaced there, and nothing of it is left"
        else
            fault "installing over Zandrel 0.9 in $spaced also installed into $default_folder"
        fi
    else
        fault "setup.exe /S over Zandrel 0.9 ended with status $?"
    fi
else
    fault "Zandrel 0.9 was not installed in $spaced (entry: $(entry DisplayVersion))"
fi
uninstall "$spaced" || fault "Zandrel was not removed from $spaced"

if [ -s "$scratch/zandrel-stderr.txt" ]; then
    echo "check-windows-installer: what zandrel.exe said on standard error:"
    sed 's/^/  /' "$scratch/zandrel-stderr.txt"
fi
if [ "$kit_faults" = 0 ]; then
    kept=$(mktemp -d /tmp/zandrel-installer-screens.XXXXXX)
    cp "$shots"/*.png "$kept/"
    echo "check-windows-installer: screenshots of the wizard are in $kept"
else
    echo "check-windows-installer: screenshots and logs are in $scratch" >&2
fi
finish
