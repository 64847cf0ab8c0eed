#!/usr/bin/env bash
# Makes the README's pictures again from a build: the main window with a grid
# of names, and the first printed sheet of a double-elimination bracket that
# the program itself made from those names.
#
#   tools/make-pictures.sh BUILD_DIR
#
# Writes docs/main-window.png and docs/double-elimination.png. Needs the
# Debian packages xvfb, xdotool, imagemagick, chromium and poppler-utils; run
# as root it installs the missing ones. The program runs on a private X
# server, with its own temporary folder, so a copy already running on this
# machine is neither disturbed nor handed over to.
set -euo pipefail

me=$(basename "$0")
[ $# -eq 1 ] || {
    echo "usage: $me BUILD_DIR" >&2
    exit 2
}
root=$(cd "$(dirname "$0")/.." && pwd)
kit_name=$me
. "$root/tests/support/kit.sh"
[ -d "$1" ] || fail "no build folder $1"
build=$(cd "$1" && pwd)
program=$build/app/zandrel
[ -x "$program" ] || fail "no program at $program; build it first (cmake --build $1)"
# Such a build reads players.txt from, and writes the page to, the user's
# folder rather than its own, which the steps below do not prepare.
if grep -qx 'ZANDREL_USER_FOLDER_ONLY:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    fail "$1 keeps its files in the user's folder only; use a build without ZANDREL_USER_FOLDER_ONLY"
fi

# Each tool and the Debian package it comes in.
tools=(Xvfb:xvfb xdotool:xdotool import:imagemagick convert:imagemagick chromium:chromium
    pdftoppm:poppler-utils pdfinfo:poppler-utils timeout:coreutils)
missing=()
for pair in "${tools[@]}"; do
    command -v "${pair%%:*}" >/dev/null || missing+=("${pair#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
    [ "$(id -u)" -eq 0 ] || fail "missing Debian packages: ${missing[*]} (apt-get install ${missing[*]}, or run as root)"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    for pair in "${tools[@]}"; do
        command -v "${pair%%:*}" >/dev/null || fail "${pair%%:*} is still missing after installing ${pair#*:}"
    done
fi

on_private_x "$@"

scratch=$(mktemp -d)
kit_log=$scratch/program.log
program_pid=""
printer_pid=""
cleanup() {
    for pid in $program_pid $printer_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The program reads players.txt from its own folder and writes bracket.html
# there; opening the page is recorded instead of done.
mkdir -p "$scratch/app" "$scratch/bin" "$scratch/home" "$scratch/tmp" "$scratch/run"
chmod 700 "$scratch/run"
cp "$program" "$scratch/app/zandrel"
cat >"$scratch/app/players.txt" <<'EOF'
Riverside Rovers
Kingfisher Arms
Oakridge Rangers
Westfield Miners
Northgate Legion
Elmwood Athletic
Copper Kettle
Old Station Club
St. Anne's Social
Harbour Darts
Millbrook FC
The Crown Inn
Café Royal
Blackthorn CC
Lakeside Pool
Red Lion Tigers
EOF
cat >"$scratch/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$scratch/opened"
EOF
chmod +x "$scratch/bin/xdg-open"

(
    cd "$scratch/app"
    exec env HOME="$scratch/home" TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/run" \
        PATH="$scratch/bin:$PATH" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb ./zandrel
) >"$scratch/program.log" 2>&1 &
program_pid=$!

window_shown() {
    has_window "$1" && return 0
    running "$program_pid" || fail "the program ended early"
    return 1
}
await 15 window_shown Zandrel || fail "no Zandrel window within 15 s"
main=$(window_named Zandrel)
# The window centres itself once shown; let that and the grid settle.
sleep 1
xdotool windowfocus --sync "$main"

# The title box has the focus at start; the size comes from players.txt.
# A closed list picks the entry whose first letter is typed.
xdotool type --delay 30 "Thursday Club Open"
xdotool key --delay 100 Tab Tab d Tab s
sleep 0.5
import -window "$main" "$scratch/window.png"

xdotool key Return
await 10 window_shown "Bracket Created" || fail "no 'Bracket Created' message within 10 s; the program made no bracket"
box=$(window_named "Bracket Created")
xdotool windowfocus --sync "$box"
xdotool key Return
page_opened() { [ -s "$scratch/opened" ]; }
await 5 page_opened || fail "the program did not open the page it made"
page=$(head -n 1 "$scratch/opened")
[ -f "$page" ] || fail "the program opened $page, which is not there"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""

# The page sets Letter paper itself; headers and footers would add the
# scratch path and today's date.
mkdir -p "$scratch/chromium"
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$scratch/chromium" \
    --print-to-pdf="$scratch/bracket.pdf" --no-pdf-header-footer "file://$page" >"$scratch/chromium.log" 2>&1 &
printer_pid=$!
wait "$printer_pid" || fail "chromium could not print the page: $(tail -n 1 "$scratch/chromium.log")"
printer_pid=""
[ -s "$scratch/bracket.pdf" ] || fail "chromium printed nothing"
sheets=$(pdfinfo "$scratch/bracket.pdf" | awk '/^Pages:/ { print $2 }')
[ "$sheets" = 1 ] || echo "$me: the bracket took $sheets sheets; the picture shows the first" >&2
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$scratch/bracket.pdf" "$scratch/sheet"

# A thin grey edge: the window has no frame without a window manager, and
# the sheet is white on a white page. Without dates in them, pictures of an
# unchanged window or page stay byte-for-byte the same.
mkdir -p "$root/docs"
for pair in window:main-window sheet:double-elimination; do
    convert "$scratch/${pair%%:*}.png" -bordercolor '#9a9a9a' -border 1 -strip "$scratch/${pair#*:}.png"
done
mv "$scratch/main-window.png" "$scratch/double-elimination.png" "$root/docs/"
echo "$me: wrote docs/main-window.png and docs/double-elimination.png"
