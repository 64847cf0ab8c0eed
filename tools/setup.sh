#!/usr/bin/env bash
# Sets Zandrel up on a fresh Debian 12 machine, as root or as a user with sudo.
#
#   tools/setup.sh run    install the packages, build, and start Zandrel
#   tools/setup.sh test   install the packages, build, and run every test:
#                         a normal build (run twice: as it comes, and from
#                         a shell set to mislead it), one under AddressSanitizer and
#                         UndefinedBehaviorSanitizer, a short fuzz run, the
#                         Debian package built and checked, and the pure
#                         logic built for Windows and tested under Wine
#   tools/setup.sh package  install the packages and build the Debian package
#                         from the committed sources into dist/
#   tools/setup.sh windows  install the packages, build Qt for Windows once
#                         (about an hour; kept in ~/.cache/zandrel), build
#                         Zandrel for Windows against it, run its tests under
#                         Wine, pack dist/zandrel-<version>-windows-x64.zip
#                         and the installer ...-windows-x64-setup.exe from the
#                         same files, list their sums in dist/SHA256SUMS, and
#                         drive both under Wine as a user would
#   tools/setup.sh windows-dist  the same build and the same three files in
#                         dist/, without the tests and the Wine checks: what
#                         tools/check-reproducible.sh builds twice
#
# What ships (the .deb, the zip, the installer) is dated by the last commit,
# or by SOURCE_DATE_EPOCH when it is set, so that one commit gives the same
# bytes whenever it is built (tools/check-reproducible.sh checks it).
set -euo pipefail

mode=${1:-}
case "$mode" in
run | test | package | windows | windows-dist) ;;
*)
    echo "usage: $0 run|test|package|windows|windows-dist" >&2
    exit 2
    ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-documentation-tools libqt6sql6-sqlite
    libgl-dev fonts-liberation fonts-dejavu-core
)
if [ "$mode" = test ]; then
    packages+=(
        libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
        clang libclang-rt-14-dev
        chromium poppler-utils xvfb xdotool
        dbus at-spi2-core python3-pyatspi gir1.2-atspi-2.0 locales
    )
fi
if [ "$mode" = test ]; then
    packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest)
fi
if [ "$mode" = test ] || [ "$mode" = package ]; then
    packages+=(git dpkg-dev debhelper lintian desktop-file-utils appstream)
fi
if [ "$mode" = windows ] || [ "$mode" = windows-dist ]; then
    packages+=(
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
        dpkg-dev tcl xz-utils zip unzip nsis
        xvfb xauth x11-utils xdotool xclip imagemagick fonts-wine openbox
    )
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null

jobs=$(nproc)
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
        echo "$root is no git checkout: set SOURCE_DATE_EPOCH to the time the build is to carry." >&2
        exit 2
    }
fi
export SOURCE_DATE_EPOCH

build_program() {
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DZANDREL_BUILD_TESTS=OFF -DZANDREL_BUILD_BENCHMARKS=OFF
    cmake --build "$root/build" -j "$jobs"
}

if [ "$mode" = run ]; then
    build_program
    exec "$root/build/app/zandrel"
fi

# From here on the tests' own kit: the environment they rely on, and Wine
# prefixes of their own.
. "$root/tests/support/kit.sh"

# Windows: Qt built once from Debian's own Qt sources, kept outside the tree
# and reused; Zandrel built against it, its tests run under Wine in a Wine
# prefix of their own, the zip packed, and the program in it driven under
# Wine and compared with the Linux program.
if [ "$mode" = windows ] || [ "$mode" = windows-dist ]; then
    qt_version=$(dpkg-query -W -f '${Version}' qt6-base-dev | sed 's/[+~-].*//')
    qt=${ZANDREL_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/zandrel/qt-$qt_version-mingw-w64}
    "$root/tools/build-qt-windows.sh" "$qt"
    dir=$root/build-windows
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release --toolchain "$root/cmake/mingw-w64.cmake" \
        -DCMAKE_PREFIX_PATH="$qt" -DZANDREL_BUILD_BENCHMARKS=OFF
    new_wine_prefix
    trap end_wine_prefix EXIT
    cmake --build "$dir" -j "$jobs"
    # Every test, the window's on the windows platform and so on a display
    # of their own; but the print check, which prints with the host's
    # Chromium the pages the test stage has already found to be the same.
    if [ "$mode" = windows ]; then
        "$root/tests/support/on_private_x.sh" ctest --test-dir "$dir" --output-on-failure -j "$jobs" -E '_print_'
    fi
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
    name=zandrel-$version-windows-x64
    "$root/tools/package-windows.sh" "$dir" "$qt" "$root/dist"
    (cd "$root/dist" && sha256sum "$name.zip" "$name-setup.exe" >SHA256SUMS)
    cat "$root/dist/SHA256SUMS"
    [ "$mode" = windows ] || exit 0
    build_program
    "$root/tools/check-windows.sh" "$root/dist/$name.zip" "$root/build/app/zandrel"
    "$root/tools/check-windows-installer.sh" "$root/dist/$name-setup.exe" "$root/dist/$name.zip" "$dir"
    exit 0
fi

# The package is built from the committed sources (git archive HEAD), so that
# a .deb in dist/ is always the one a commit gives; uncommitted edits are left
# out, and said so. dpkg-buildpackage writes beside the source folder and
# leaves its litter in debian/, so it works on a copy in build-package/, and
# only the .deb comes out to dist/. The tests are off in that build.
build_package() {
    local scratch=$root/build-package
    if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
        echo "Note: the package is built from the last commit; uncommitted edits are not in it." >&2
    fi
    rm -rf "$scratch"
    mkdir -p "$scratch/zandrel"
    git -C "$root" archive --format=tar HEAD | tar -x -C "$scratch/zandrel"
    local started=$SECONDS
    (cd "$scratch/zandrel" &&
        DEB_BUILD_OPTIONS="noautodbgsym parallel=$jobs" dpkg-buildpackage -b -us -uc >"$scratch/build.log" 2>&1) || {
        tail -n 50 "$scratch/build.log" >&2
        echo "The package build failed; the whole log is $scratch/build.log" >&2
        return 1
    }
    echo "Built the package in $((SECONDS - started)) s."
    mkdir -p "$root/dist"
    rm -f "$root"/dist/zandrel_*.deb
    mv "$scratch"/zandrel_*.deb "$root/dist/"
    ls "$root"/dist/zandrel_*.deb
}

if [ "$mode" = package ]; then
    build_package
    exit 0
fi

# Each build gets its own folder so that a developer's own build is untouched.
configure() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# The normal build: every test, the print check of the pages included, which
# fails here rather than being skipped if Chromium is missing.
configure "$root/build-check" -DZANDREL_REQUIRE_PRINT_CHECK=ON
cmake --build "$root/build-check" -j "$jobs"
ctest --test-dir "$root/build-check" --output-on-failure -j "$jobs"

# The same tests again from a shell that would mislead them, as build
# machines and other projects' CI set one: Qt told to use another platform,
# a Wayland display, an X display nobody serves, no runtime folder, a
# Turkish locale and a temporary folder of its own. Each test sets what it
# relies on and clears the rest.
if ! locale -a | grep -qi '^tr_TR\.utf-\?8$'; then
    $sudo sed -i 's/^# *\(tr_TR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $sudo locale-gen >/dev/null
fi
misleading_tmp=$(mktemp -d)
env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen WAYLAND_DISPLAY=wayland-0 DISPLAY="$(unanswered_display)" \
    LANG=C LC_ALL=tr_TR.UTF-8 TMPDIR="$misleading_tmp" \
    ctest --test-dir "$root/build-check" --output-on-failure -j "$jobs"
rm -rf "$misleading_tmp"

# Under the sanitizers: every test but the print check, whose pages are the
# same bytes as above.
configure "$root/build-check-sanitize" -DZANDREL_SANITIZE=ON -DZANDREL_BUILD_BENCHMARKS=OFF
cmake --build "$root/build-check-sanitize" -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$root/build-check-sanitize" --output-on-failure -j "$jobs" -E '_print_'

# A short fuzz run of the decoder and the compressor, with clang's libFuzzer.
configure "$root/build-check-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DZANDREL_FUZZ=ON -DZANDREL_BUILD_BENCHMARKS=OFF
cmake --build "$root/build-check-fuzz" -j "$jobs" --target fuzz_decompress fuzz_round_trip
ctest --test-dir "$root/build-check-fuzz" --output-on-failure -R '^fuzz_'

# The Debian package: built as tools/setup.sh package builds it, then checked.
build_package
"$root/tools/check-package.sh" "$root"/dist/zandrel_*.deb

# Windows: the pure logic, the build-time tools and their tests built with
# MinGW-w64 and run under Wine, in a Wine prefix of the stage's own that goes
# with it. The build draws the pages with the Windows generator and
# compresses them with the Windows compressor; the tests decode every item
# again and compare it with its page, and read the version record back.
windows_stage() {
    local dir=$root/build-check-windows
    new_wine_prefix
    trap end_wine_prefix EXIT
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        --toolchain "$root/cmake/mingw-w64.cmake" -DZANDREL_CORE_ONLY=ON
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" -E '_print_'
    # The same generator, built for another system, must draw the same bytes.
    local page different=0
    for page in "$root"/build-check/pages/drawn/*.htm; do
        cmp -s "$page" "$dir/pages/drawn/${page##*/}" || {
            echo "The Windows build drew ${page##*/} differently" >&2
            different=1
        }
    done
    [ "$different" = 0 ] && echo "The Windows build drew the same 62 pages."
    return "$different"
}
windows_stage
