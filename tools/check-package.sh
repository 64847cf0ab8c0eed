#!/usr/bin/env bash
# Checks a built zandrel .deb: lintian (an error fails, warnings and notes are
# shown), the desktop entry and the AppStream metainfo as the package installs
# them, and the package's file list: every file it promises at its path, with
# the icons at their sizes, and nothing under /usr/local or /tmp.
#
#   tools/check-package.sh dist/zandrel_<version>_amd64.deb
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 PACKAGE.deb" >&2
    exit 2
fi
deb=$1
id=org.zandrel.Zandrel
failed=0
fail() {
    echo "check-package: $*" >&2
    failed=1
}

echo "== lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian found errors"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"

echo "== desktop-file-validate"
# It fails only on errors; a warning counts here too.
entry=$scratch/usr/share/applications/$id.desktop
if [ -f "$entry" ]; then
    report=$(desktop-file-validate "$entry" 2>&1) || fail "the desktop entry is not valid"
    if [ -n "$report" ]; then
        echo "$report"
        fail "desktop-file-validate has remarks"
    fi
fi

echo "== appstreamcli validate"
metainfo=$scratch/usr/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net --strict "$metainfo" || fail "the metainfo is not valid"
    # The whole tree too: the launchable names a desktop entry the package has.
    appstreamcli validate-tree --no-net --strict "$scratch" || fail "the installed tree is not valid for AppStream"
fi

echo "== file list"
# dpkg-deb -c lists ./usr/bin/zandrel and so on; keep the paths, without the dot.
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\.||')
icon_paths=()
for size in 32 48 64 128; do
    icon_paths+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for path in /usr/bin/zandrel "/usr/share/applications/$id.desktop" "${icon_paths[@]}" \
    "/usr/share/metainfo/$id.metainfo.xml" /usr/share/man/man1/zandrel.1.gz /usr/share/doc/zandrel/copyright; do
    grep -qxF "$path" <<<"$listing" || fail "$path is missing from the package"
done
if grep -E '^/(usr/local|tmp)(/|$)' <<<"$listing"; then
    fail "the package puts files under /usr/local or /tmp"
fi
[ -x "$scratch/usr/bin/zandrel" ] || fail "/usr/bin/zandrel is not executable"

# A PNG's width and height are the big-endian numbers at bytes 16 to 23.
for size in 32 48 64 128; do
    icon=$scratch/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$icon" ] || continue
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$icon")
    width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
    height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
    if [ "$width" != "$size" ] || [ "$height" != "$size" ]; then
        fail "the ${size}x${size} icon is ${width}x${height}"
    fi
done

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "The package passed its checks."
