#!/usr/bin/env bash
# Set-up, start and test of Tarvo++ on Debian 12.
#   ./tarvo.sh setup   install the Debian packages the project needs (only those missing)
#   ./tarvo.sh run     setup, release build, start the program in the working folder
#   ./tarvo.sh test    setup, build, all tests, then all tests again under ASan + UBSan
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev
    xvfb xauth x11-utils
    fonts-dejavu-core fonts-liberation
)

setup() {
    local missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "tarvo.sh: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

build() {
    local preset="$1"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
}

run_tests() {
    local preset="$1"
    ctest --preset "$preset" --output-on-failure -j "$(nproc)"
}

# The user's working folder: made once from data/, never overwritten afterwards.
working_folder() {
    local home="${TARVO_HOME:-$HOME/Tarvo}"
    if [ ! -d "$home" ]; then
        mkdir -p "$home"
        cp -r "$here/data/." "$home/"
    fi
    printf '%s\n' "$home"
}

case "${1:-}" in
setup)
    setup
    ;;
run)
    setup
    build release
    home="$(working_folder)"
    cd "$home"
    exec "$here/build/release/tarvo"
    ;;
test)
    setup
    build dev
    run_tests dev
    build asan
    run_tests asan
    ;;
*)
    echo "usage: $0 setup|run|test" >&2
    exit 2
    ;;
esac
