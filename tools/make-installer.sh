#!/usr/bin/env bash
# Makes the Windows installer from the program's folder as the zip holds it:
#
#   tools/make-installer.sh FOLDER PRODUCT SETUP
#
# FOLDER holds zandrel.exe and everything beside it, PRODUCT is the product
# facts CMake configured (BUILD/app/windows/product.nsh), SETUP the installer
# to write. Every file of FOLDER is installed as it is, byte for byte, and the
# uninstaller takes away exactly those files. The lists are in a fixed order
# and the files keep their times, so the same folder gives the same installer.
# Needs: nsis (makensis 3.08 or later).
set -euo pipefail

if [ $# -ne 3 ] || [ ! -f "$1/zandrel.exe" ] || [ ! -f "$2" ]; then
    echo "usage: $0 FOLDER PRODUCT SETUP (FOLDER/zandrel.exe and PRODUCT must exist)" >&2
    exit 2
fi
folder=$(cd "$1" && pwd)
product=$(realpath "$2")
setup=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/.." && pwd)
lists=$(mktemp -d)
trap 'rm -rf "$lists"' EXIT

# NSIS reads "$" as the start of a variable. makensis reads the files here
# by their Unix paths; where they go is said with Windows' separators.
literal() { printf '%s' "${1//\$/\$\$}"; }
windows_path() { local text; text=$(literal "$1"); printf '%s' "${text//\//\\}"; }

# What goes where: a SetOutPath for each folder, then its files.
(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$lists/files"
if grep -q '"' "$lists/files"; then
    echo "$0: a file name in $folder holds a double quote, which no Windows file name may" >&2
    exit 1
fi
current=none
while IFS= read -r file; do
    dir=$(dirname "$file")
    if [ "$dir" != "$current" ]; then
        if [ "$dir" = . ]; then
            echo 'SetOutPath "$INSTDIR"'
        else
            echo "SetOutPath \"\$INSTDIR\\$(windows_path "$dir")\""
        fi
        current=$dir
    fi
    echo "File \"$(literal "$folder/$file")\""
done <"$lists/files" >"$lists/install.nsh"

# Taking them away: every file, then the folders below INSTDIR, deepest first.
{
    while IFS= read -r file; do
        echo "Delete \"\$INSTDIR\\$(windows_path "$file")\""
    done <"$lists/files"
    (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | awk -F/ '{ print NF "\t" $0 }' |
        LC_ALL=C sort -k1,1nr -k2 | cut -f2-) | while IFS= read -r dir; do
        echo "RMDir \"\$INSTDIR\\$(windows_path "$dir")\""
    done
} >"$lists/uninstall.nsh"

mkdir -p "$(dirname "$setup")"
rm -f "$setup"
makensis -V2 -INPUTCHARSET UTF8 \
    "-DPRODUCT=$product" "-DFILES=$lists/install.nsh" "-DUNFILES=$lists/uninstall.nsh" \
    "-DLICENCE=$folder/licenses/Zandrel.txt" "-DOUTFILE=$setup" \
    "$root/app/windows/zandrel.nsi" >"$lists/makensis.log" 2>&1 || {
    cat "$lists/makensis.log" >&2
    exit 1
}
echo "Wrote $setup ($(stat -c %s "$setup") bytes): $(wc -l <"$lists/files") files."
