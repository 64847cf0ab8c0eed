#!/usr/bin/env bash
# Builds one commit twice, each time in a fresh clone in a folder of its
# own, and checks that what ships comes out byte for byte the same: the
# Windows zip, the Windows installer and the Debian package.
#
#   tools/check-reproducible.sh [COMMIT]    (the last commit by default)
#
# Each clone runs tools/setup.sh windows-dist and tools/setup.sh package, as
# root or as a user with sudo; both print their sums at the end. About a
# quarter of an hour on two cores. Qt for Windows comes from the one built in the cache
# (tools/build-qt-windows.sh), so its DLLs are the same for both builds by
# construction: this checks Zandrel's own build and packing, not Qt's.
# Uncommitted edits are in neither build. The clones are removed when the
# two agree, and kept for a look when they do not.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
if [ -z "${1:-}" ] && [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "Note: uncommitted edits are not in the builds; they build $commit." >&2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/zandrel-reproducible.XXXXXX")

# The second clone lies deeper, so that no path of the first's fits it.
clones=("$work/first/zandrel" "$work/second/checked/out/elsewhere/zandrel")
for i in 0 1; do
    clone=${clones[i]}
    log=$work/build-$((i + 1)).log
    echo "Build $((i + 1)) of $commit in $clone (log: $log)"
    git clone -q "$root" "$clone"
    git -C "$clone" -c advice.detachedHead=false checkout -q "$commit"
    started=$SECONDS
    if ! (cd "$clone" && tools/setup.sh windows-dist && tools/setup.sh package) >"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "Build $((i + 1)) failed; its clone and log are in $work" >&2
        exit 1
    fi
    echo "  built in $((SECONDS - started)) s"
    (cd "$clone/dist" && sha256sum -- *-windows-x64.zip *-windows-x64-setup.exe *.deb) >"$work/sums-$((i + 1))"
done

same=1
for i in 0 1; do
    echo "Build $((i + 1)):"
    sed 's/^/  /' "$work/sums-$((i + 1))"
done
while read -r _ file; do
    if ! cmp -s "${clones[0]}/dist/$file" "${clones[1]}/dist/$file"; then
        echo "DIFFERENT: $file ($(cmp "${clones[0]}/dist/$file" "${clones[1]}/dist/$file" 2>&1 | head -n 1))" >&2
        same=0
    fi
done <"$work/sums-1"
if [ "$(wc -l <"$work/sums-1")" -ne 3 ] || ! cmp -s <(cut -d' ' -f3- "$work/sums-1") <(cut -d' ' -f3- "$work/sums-2"); then
    echo "DIFFERENT: the two builds made different files" >&2
    same=0
fi
if [ "$same" = 1 ]; then
    echo "The two builds of $commit are byte for byte the same."
    rm -rf "$work"
else
    echo "The builds differ; both clones are kept in $work" >&2
    exit 1
fi
