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
configure() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# The normal build: every test, the print check of the pages included.
configure "$root/build-check"
cmake --build "$root/build-check" -j "$jobs"
ctest --test-dir "$root/build-check" --output-on-failure -j "$jobs"

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
