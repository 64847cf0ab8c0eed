#!/usr/bin/env bash
# Lays the Windows program out as a user unzips it, and packs it twice: as a
# zip and as an installer, from the very same files:
#
#   tools/package-windows.sh BUILD QT DIST
#
# BUILD is a Windows build of Zandrel (cmake/mingw-w64.cmake), QT the Qt for
# Windows it was built against (tools/build-qt-windows.sh), DIST the folder
# that gets zandrel-<version>-windows-x64.zip and
# zandrel-<version>-windows-x64-setup.exe. The folder holds zandrel.exe, the
# Qt plugins it loads (the windows platform, the Windows style, the SQLite
# driver the help is read with and the JPEG reader for the help's picture),
# every DLL that these import, found by reading their imports over and over
# in Qt's and MinGW's folders (what is in neither is Windows' own), the
# README for Windows users and the licences of everything shipped.
#
# The same build gives the same bytes: every file is dated
# SOURCE_DATE_EPOCH (by default the last commit's time), and the zip lists
# them in a fixed order, with fixed permissions and no extra fields.
set -euo pipefail

if [ $# -ne 3 ] || [ ! -f "$1/app/zandrel.exe" ] || [ ! -f "$2/build-record.txt" ]; then
    echo "usage: $0 BUILD QT DIST (BUILD/app/zandrel.exe and QT/build-record.txt must exist)" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
qt=$(cd "$2" && pwd)
dist=$(realpath -m "$3")
root=$(cd "$(dirname "$0")/.." && pwd)
objdump=x86_64-w64-mingw32-objdump
compiler=x86_64-w64-mingw32-g++-posix

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=zandrel-$version-windows-x64
zip=$dist/$name.zip
setup=$dist/$name-setup.exe
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder=$stage/$name
mkdir -p "$folder/licenses"

# Where a DLL a file imports may come from; the first folder that has it wins.
search=("$qt/bin")
for dll in libstdc++-6.dll libwinpthread-1.dll; do
    search+=("$(dirname "$(realpath "$($compiler -print-file-name=$dll)")")")
done

find_dll() {
    local dir match
    for dir in "${search[@]}"; do
        match=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit)
        [ -n "$match" ] && echo "$match" && return 0
    done
    return 1
}

cp "$build/app/zandrel.exe" "$folder/"
x86_64-w64-mingw32-strip --strip-unneeded "$folder/zandrel.exe"
queue=("$folder/zandrel.exe")
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll sqldrivers/qsqlite.dll imageformats/qjpeg.dll; do
    mkdir -p "$folder/$(dirname "$plugin")"
    cp "$qt/plugins/$plugin" "$folder/$plugin"
    x86_64-w64-mingw32-strip --strip-unneeded "$folder/$plugin"
    queue+=("$folder/$plugin")
done

declare -A shipped=() windows=()
shipped_from=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${shipped[$key]:-}" ] || [ -n "${windows[$key]:-}" ] && continue
        if source=$(find_dll "$dll"); then
            shipped[$key]=1
            shipped_from+=("$source")
            cp "$source" "$folder/"
            # Symbols only a debugger reads are left out of what users download.
            x86_64-w64-mingw32-strip --strip-unneeded "$folder/$(basename "$source")"
            queue+=("$folder/$(basename "$source")")
        else
            windows[$key]=1
        fi
    done < <($objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done

# The licences: ours, Qt's and those of the libraries it carries (kept with
# the Qt build), and for each MinGW DLL the copyright file of the Debian
# package it came from.
cp "$root/LICENSE" "$folder/licenses/Zandrel.txt"
cp "$qt/licenses/"* "$folder/licenses/"
for source in "${shipped_from[@]}"; do
    case $source in "$qt"/*) continue ;; esac
    package=$(dpkg -S "$(realpath "$source")" | head -n 1 | cut -d: -f1)
    cp -L "/usr/share/doc/$package/copyright" "$folder/licenses/$package.copyright"
done
{
    cat "$qt/build-record.txt"
    echo "Built with tools/build-qt-windows.sh of Zandrel $version."
} >"$folder/licenses/SOURCES.txt"
# Windows users read text with CR LF line ends; the build wrote it so.
cp "$build/app/windows/README.txt" "$folder/README.txt"

find "$folder" -type d -exec chmod 0755 {} +
find "$folder" -type f -exec chmod 0644 {} +
find "$folder" -exec touch -h -d "@$epoch" {} +

mkdir -p "$dist"
rm -f "$zip"
# zip writes each file's time as the local time of day.
(cd "$stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip")
echo "Wrote $zip: zandrel.exe with $(printf '%s\n' "${!shipped[@]}" | wc -l) DLLs and 4 plugins."
TZ=UTC "$root/tools/make-installer.sh" "$folder" "$build/app/windows/product.nsh" "$setup"
echo "Left to Windows: $(printf '%s\n' "${!windows[@]}" | sort | tr '\n' ' ')"
