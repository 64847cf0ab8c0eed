#!/bin/bash
# Prints bracket pages with headless Chromium on Letter paper and checks the
# sheet count of each, once as drawn and once with every name 40 characters
# long: long names must be shrunk into their lines, never move the drawing
# or push it onto another sheet.
#
#   print_pages.sh PAGES-FOLDER ITEM...
#
# Exits 77 when Chromium or poppler-utils are missing: CTest counts that as
# skipped, or as failed where the build requires the check
# (ZANDREL_REQUIRE_PRINT_CHECK). Set ZANDREL_PRINT_KEEP to a folder to keep
# the PDFs and 60 dpi pictures.
set -u

pages=${1:?pages folder}
shift
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$chromium" ] || ! command -v pdfinfo >/dev/null || ! command -v pdftotext >/dev/null; then
    echo "print_pages: chromium or poppler-utils not installed, so no page can be printed"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keep=${ZANDREL_PRINT_KEEP:-}
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

print() {  # page.htm out.pdf
    local profile
    profile=$(mktemp -d "$work/profile.XXXXXX")
    timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --print-to-pdf="$2" --no-pdf-header-footer \
        "file://$1" >/dev/null 2>&1
    rm -rf "$profile"
    [ -s "$2" ]
}

sheets() {
    pdfinfo "$1" | awk '/^Pages:/ {print $2}'
}

# Positions of every word that is not a name, to compare two prints.
fixed_words() {
    pdftotext -bbox "$1" - | grep '<word' | grep -v -E '>(PLAYER|[0-9]+|Zz[0-9]+[^<]*)</word>' |
        sed -E 's/xMax="[^"]*"//; s/yMax="[^"]*"//'
}

for item in "$@"; do
    page="$pages/$item.htm"
    [ -f "$page" ] || { fail "$item: no page $page"; continue; }
    expected=1
    if [ "$item" -ge 147 ]; then expected=2; fi

    long="$work/long$item.htm"
    # Forty characters each, as a long double-barrelled name would be.
    perl -pe 's/PLAYER (\d+)</sprintf("Zz%02d-Featherstonehaugh-Bartholomew-Wynne<", $1)/ge' \
        "$page" >"$long"

    for kind in short long; do
        source=$page
        [ $kind = long ] && source=$long
        pdf="$work/$item-$kind.pdf"
        if ! print "$(realpath "$source")" "$pdf"; then
            fail "$item ($kind names): Chromium printed nothing"
            continue
        fi
        count=$(sheets "$pdf")
        if [ "$count" != "$expected" ]; then
            fail "$item ($kind names): $count sheets, expected $expected"
        fi
        if ! pdfinfo "$pdf" | grep -q 'Page size: *612 x 792 pts'; then
            fail "$item ($kind names): not printed on Letter"
        fi
        if [ "$expected" = 2 ]; then
            first=$(pdftotext -f 1 -l 1 "$pdf" -)
            second=$(pdftotext -f 2 -l 2 "$pdf" -)
            if ! grep -q Winners <<<"$first" || grep -q Losers <<<"$first"; then
                fail "$item ($kind names): sheet 1 is not the winners bracket alone"
            fi
            if ! grep -q Losers <<<"$second"; then
                fail "$item ($kind names): sheet 2 does not hold the losers bracket"
            fi
        fi
        if [ -n "$keep" ]; then
            mkdir -p "$keep"
            cp "$pdf" "$keep/"
            command -v pdftoppm >/dev/null && pdftoppm -png -r 60 "$pdf" "$keep/$item-$kind"
        fi
    done
    if [ -s "$work/$item-short.pdf" ] && [ -s "$work/$item-long.pdf" ]; then
        if ! diff -q <(fixed_words "$work/$item-short.pdf") <(fixed_words "$work/$item-long.pdf") >/dev/null; then
            fail "$item: long names move the drawing"
        fi
    fi
    echo "$item: checked"
done

if [ "$failures" -gt 0 ]; then
    echo "print_pages: $failures failure(s)"
    exit 1
fi
echo "print_pages: all pages print as expected"
