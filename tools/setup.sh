#!/usr/bin/env bash
# Sets Zandrel up on a fresh Debian 12 machine, as root or as a user with sudo.
#
#   tools/setup.sh run    install the packages, build, and start Zandrel
#   tools/setup.sh test   install the packages, build, and run every test:
#                         a normal build, one under AddressSanitizer and
#                         UndefinedBehaviorSanitizer, and a short fuzz run
set -euo pipefail

mode=${1:-}
case "$mode" in
run | test) ;;
*)
    echo "usage: $0 run|test" >&2
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
    libgl1-mesa-dev fonts-liberation fonts-dejavu-core
)
if [ "$mode" = test ]; then
    packages+=(
        libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
        clang libclang-rt-14-dev
        chromium poppler-utils
    )
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null

jobs=$(nproc)

if [ "$mode" = run ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DZANDREL_BUILD_TESTS=OFF -DZANDREL_BUILD_BENCHMARKS=OFF
    cmake --build "$root/build" -j "$jobs"
    exec "$root/build/app/zandrel"
fi

# Each build gets its own folder so that a developer's own build is untouched.
check() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDREL_BUILD_BENCHMARKS=ON "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

check "$root/build-check"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    check "$root/build-check-sanitize" -DZANDREL_SANITIZE=ON
check "$root/build-check-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DZANDREL_FUZZ=ON -DZANDREL_BUILD_BENCHMARKS=OFF
