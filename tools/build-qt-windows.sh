#!/usr/bin/env bash
# Builds the Qt that Zandrel's Windows program is linked against: Debian's own
# Qt sources, the same version as the Qt the Linux program uses (whose tools,
# moc, rcc and uic, the build borrows), cross-compiled with MinGW-w64 as
# shared release libraries, with what Zandrel uses: Core, Gui, Widgets, Sql
# with SQLite, Test, the windows platform plugin and the JPEG reader (the
# help's picture); and Network, which Zandrel no longer links, left in so that
# every Qt built so far is still this one.
#
#   tools/build-qt-windows.sh PREFIX
#
# The first build takes about an hour of two cores; a PREFIX that holds a
# finished build (its build-record.txt) is left as it is. The sources come
# through apt-get source from the archive the machine's own apt already uses,
# named in a private list, so the machine's apt set-up is not touched.
# Needs: g++-mingw-w64-x86-64-posix, qt6-base-dev, cmake, ninja-build, tcl,
# dpkg-dev (for dpkg-source), xz-utils.
set -euo pipefail

prefix=${1:?usage: $0 PREFIX}
record=$prefix/build-record.txt
if [ -f "$record" ]; then
    echo "Qt for Windows is already built in $prefix."
    exit 0
fi

work=$prefix.work
rm -rf "$work"
mkdir -p "$work/src" "$work/lists/partial"

# The archive and the release the machine installs its own packages from.
archive_uri() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" && $2 !~ /^\[/ && $2 !~ /security/ { print $2; exit }
             $1 == "deb" && $2 ~ /^\[/ && $3 !~ /security/ { print $3; exit }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' "$file"
    done
}
archive=$(archive_uri | head -n 1)
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
if [ -z "$archive" ] || [ -z "$release" ]; then
    echo "Cannot tell which Debian archive this machine uses (no deb entry in /etc/apt)." >&2
    exit 1
fi

apt_private=(-o "Dir::Etc::sourcelist=$work/sources.list" -o Dir::Etc::sourceparts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o APT::Sandbox::User=root)
printf 'deb-src %s %s main\n' "$archive" "$release" >"$work/sources.list"
apt-get "${apt_private[@]}" update -qq

# The source version of the host Qt: its tools must be the same version.
qt_version=$(dpkg-query -W -f '${source:Version}' qt6-base-dev)
sqlite_version=$(dpkg-query -W -f '${source:Version}' libsqlite3-0 2>/dev/null || true)
sqlite_request=sqlite3${sqlite_version:+=$sqlite_version}
(cd "$work/src" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$qt_version" "$sqlite_request") ||
    (cd "$work/src" && apt-get "${apt_private[@]}" source --download-only "qt6-base=$qt_version" sqlite3)

(cd "$work/src" && dpkg-source --no-check -x qt6-base_*.dsc qtbase >/dev/null &&
    dpkg-source --no-check -x sqlite3_*.dsc sqlite >/dev/null)

# Debian's Qt tarball leaves out the SQLite that Qt's SQLite driver compiles
# in; SQLite's own source package makes it (its one-file amalgamation).
mkdir -p "$work/sqlite-build"
(cd "$work/sqlite-build" && "$work/src/sqlite/configure" --disable-tcl >configure.log 2>&1 &&
    make sqlite3.c >make.log 2>&1)
mkdir -p "$work/src/qtbase/src/3rdparty/sqlite"
cp "$work/sqlite-build/sqlite3.c" "$work/sqlite-build/sqlite3.h" "$work/src/qtbase/src/3rdparty/sqlite/"

# Nor has it Wacom's Wintab header (src/3rdparty/wintab). The windows platform
# plugin is built without Wintab tablets, as Qt builds it without tablet
# events; pens and touch still come in as the system's pointer messages.
plugin=$work/src/qtbase/src/plugins/platforms/windows
sed -i 's|QT_CONFIG(tabletevent)|0 /* no Wintab: Debian leaves wintab.h out */|' \
    "$plugin/qwindowscontext.cpp" "$plugin/qwindowspointerhandler.h" "$plugin/qwindowspointerhandler.cpp"
sed -i 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/' "$plugin/CMakeLists.txt" "$plugin/../direct2d/CMakeLists.txt"

cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "$prefix")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

features=(
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_network=ON -DFEATURE_sql=ON -DFEATURE_testlib=ON
    -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF
    -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_oci=OFF
    -DFEATURE_sql_db2=OFF -DFEATURE_sql_ibase=OFF
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF
    -DFEATURE_schannel=OFF -DFEATURE_gif=OFF -DFEATURE_brotli=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_icu=OFF
)
cmake -S "$work/src/qtbase" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF "${features[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    exit 1
}
started=$SECONDS
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
}
cmake --install "$work/build" >"$work/install.log" 2>&1

# The licences the program's zip carries for what it ships of this build:
# Qt's LGPL with the GPL it builds on, and Debian's copyright files, which
# name the licence of every library Qt bundles, SQLite's included.
mkdir -p "$prefix/licenses"
cp "$work/src/qtbase/LICENSES/LGPL-3.0-only.txt" "$work/src/qtbase/LICENSES/GPL-3.0-only.txt" "$prefix/licenses/"
cp "$work/src/qtbase/debian/copyright" "$prefix/licenses/qt6-base.copyright"
cp "$work/src/sqlite/debian/copyright" "$prefix/licenses/sqlite3.copyright"
{
    echo "Qt $(sed -n 's/^set(QT_REPO_MODULE_VERSION "\(.*\)")/\1/p' "$work/src/qtbase/.cmake.conf")"
    echo "Sources: the Debian source packages qt6-base $(cd "$work/src" && ls qt6-base_*.dsc | sed 's/^qt6-base_//; s/\.dsc$//')" \
        "and sqlite3 $(cd "$work/src" && ls sqlite3_*.dsc | sed 's/^sqlite3_//; s/\.dsc$//') (for SQLite)"
    echo "Compiler: $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"
    echo "Built in $((SECONDS - started)) s on $(date -u +%Y-%m-%d)"
} >"$record.partial"
mv "$record.partial" "$record"
rm -rf "$work"
cat "$record"
