#!/usr/bin/env bash
# Zandrel from a script, with no display at all: the options every program
# answers, a page made without the window, and bad input told in one line on
# standard error with nothing already there changed.
#   command_line.sh PROGRAM VERSION
set -u
. "$(dirname "$0")/../support/kit.sh"
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
# A copy of the program in a folder of its own, where it writes by default.
mkdir "$work/program" "$work/home"
cp "$1" "$work/program/zandrel"
program=$work/program/zandrel
version=$2
cd "$work" || exit 1

# run ARGUMENT...: the program without a display; sets status, out and err.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR HOME="$work/home" \
        timeout 30 "$program" "$@" >"$work/out" 2>"$work/err" <"${input:-/dev/null}"
    status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

# expect NAME STATUS WORDS: the status, and one line on standard error
# holding WORDS (none when WORDS is empty).
expect() {
    local lines
    lines=$(grep -c . "$work/err")
    if [ "$status" -ne "$2" ]; then
        fault "$1: status $status, not $2: $err"
    elif [ -n "$3" ] && { [ "$lines" -ne 1 ] || [[ "$err" != *"$3"* ]]; }; then
        fault "$1: standard error should be one line with \"$3\": $err"
    elif [ -z "$3" ] && [ "$lines" -ne 0 ]; then
        fault "$1: said $err"
    else
        pass "$1"
    fi
}

names() { printf '%s\r\n' "$@"; }
# Every entry of the case's folder: its kind, its link target and its bytes.
snapshot() { (cd "$work/case" && find . -printf '%p %y %l\n' | sort && find . -type f -exec md5sum {} + | sort); }

run --version
expect version 0 ""
[ "$out" = "Zandrel $version" ] || fault "version printed \"$out\""
run --help
expect help 0 ""
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version >/dev/full 2>"$work/err"
status=$? err=$(cat "$work/err")
expect output_lost 1 "cannot write to standard output"
for option in --make --title --size --double --unseeded --names --random-seed --output --open; do
    [[ "$out" == *"$option"* ]] || fault "help does not list $option"
done

# Usage: status 2, and the option or value at fault named.
while IFS='|' read -r name words arguments; do
    eval "set -- $arguments"
    run "$@"
    expect "usage_$name" 2 "$words"
    [ -z "$out" ] || fault "usage_$name printed $out"
done <<'CASES'
unknown|'frobnicate'|--make --size 4 --frobnicate
size_too_small|'2'|--make --size 2
size_not_a_number|'sixteen'|--make --size sixteen
no_size_nor_names|--size|--make
page_option_alone|--title needs --make|--title Cup
seed_not_a_number|'-1'|--make --size 4 --unseeded --random-seed -1
stray_argument|'names.txt'|--make --size 4 names.txt
no_value|--output|--make --size 4 --output
CASES

# Made: the path, nothing else, and the names in the page.
names Ann Bob 'Zoë & Co' Dee > names.txt
run --make --title 'Club Cup' --names names.txt --output page.html
expect made 0 ""
[ "$out" = "$work/page.html" ] || fault "made: printed \"$out\""
grep -q "Zo$(printf '\xeb') &amp; Co<" page.html && grep -q '<title>Club Cup</title>' page.html ||
    fault "made: the page lacks the title or a name"
run --make --size 6 --double --unseeded
expect beside_the_program 0 ""
[ "$out" = "$work/program/bracket.html" ] && grep -q 'Player 6<' "$out" || fault "beside_the_program: $out"
input=names.txt run --make --names - --size 3 --output piped.html
expect too_many_names 0 "holds 4 names: the 1 after the first 3"
grep -q 'Dee<' piped.html && fault "too_many_names: the fourth name is in the page"

# Bad input: status 1, the path named, and the folder as it was.
while IFS='|' read -r name plant words arguments; do
    rm -rf "$work/case" && mkdir "$work/case" && cd "$work/case" || exit 1
    names One Two Three > names.txt && echo old > page.html && eval "$plant"
    before=$(snapshot)
    eval "set -- $arguments" && eval "words=\"$words\""
    run "$@"
    expect "bad_$name" 1 "$words"
    [ -z "$out" ] || fault "bad_$name printed $out"
    [ "$before" = "$(snapshot)" ] || fault "bad_$name changed the folder"
    cd "$work" || exit 1
done <<'CASES'
names_missing|:|$work/case/gone.txt|--make --size 4 --names gone.txt --output page.html
names_a_folder|mkdir list|$work/case/list|--make --size 4 --names list --output page.html
names_a_fifo|mkfifo list|$work/case/list|--make --size 4 --names list --output page.html
too_few_names|names A B > two.txt|holds 2 names|--make --names two.txt --output page.html
output_a_folder|mkdir out|$work/case/out|--make --size 4 --output out
output_a_link|ln -s page.html link.html|$work/case/link.html|--make --size 4 --output link.html
output_folder_missing|:|$work/case/none does not exist|--make --size 4 --output none/page.html
scratch_in_the_way|echo mine > page.tmp|$work/case/page.tmp|--make --size 4 --output page.html
CASES
rm -rf "$work/case" && mkdir "$work/case"
TMPDIR=$work/case/none run --make --size 4 --output "$work/case/page.html"
expect temp_folder_missing 1 "Unable to get temp file name! $work/case/none"
[ -z "$(ls -A "$work/case")" ] || fault "temp_folder_missing left $(ls -A "$work/case")"
if [ "$(id -u)" -ne 0 ]; then  # root reads and writes whatever the modes say
    mkdir -p "$work/case" && chmod 500 "$work/case"
    run --make --size 4 --output "$work/case/page.html"
    expect output_folder_read_only 1 "$work/case cannot be written to"
    chmod 700 "$work/case" && names A B C > "$work/case/names.txt" && chmod 000 "$work/case/names.txt"
    run --make --size 4 --names "$work/case/names.txt" --output "$work/page.html"
    expect names_unreadable 1 "$work/case/names.txt"
fi
finish
