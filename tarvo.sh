#!/usr/bin/env bash
# Set-up, start and test of Tarvo++ on Debian 12.
#   ./tarvo.sh setup   install the Debian packages the project needs (only those missing)
#   ./tarvo.sh run     setup, release build, start the program in the working folder
#   ./tarvo.sh test    setup, build, all tests, the unit tests shuffled in one process, then all
#                      tests again under ASan + UBSan
#   ./tarvo.sh fuzz [seconds]
#                      setup, build the libFuzzer targets with clang, run each for the given
#                      seconds (60) on its corpus in build/fuzz/corpus/; fails on a crash, whose
#                      input is kept in build/fuzz/crashes/<target>/
#   ./tarvo.sh lint    setup, dev build, clang-tidy (.clang-tidy) over src/, tests/, tools/ and
#                      bench/ on two jobs; fails on any finding
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libx11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev clang-tidy-14
    xvfb xauth x11-utils xdotool imagemagick
    fonts-dejavu-core fonts-liberation
    fonts-sil-doulos fonts-sil-charis fonts-sil-andika
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

# Every test binary once more with all its tests in one process, in a shuffled order, three
# times over: a test that leans on what another left behind fails here.
shuffled_tests() {
    local preset="$1" binary
    for binary in build/"$preset"/tests/core_tests build/"$preset"/tests/qt_tests; do
        echo "tarvo.sh: $binary shuffled in one process"
        QT_QPA_PLATFORM=offscreen "$binary" --gtest_shuffle --gtest_repeat=3 --gtest_brief=1
    done
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

fuzz_build=build/fuzz

# Every libFuzzer target of the build: the targets named fuzz_*.
fuzz_targets() {
    cmake --build "$fuzz_build" --target help | grep -oE '^fuzz_[a-z_]+' | sort -u
}

# The corpus of a target, topped up on every run with the seeds it does not hold yet: its own
# from fuzz/seeds/<target>/ and, for readers of network files, every network file of the tree.
seed_corpus() {
    local target="$1" corpus="$2"
    mkdir -p "$corpus"
    if [ -d "fuzz/seeds/$target" ]; then
        find "fuzz/seeds/$target" -type f -exec cp -n -t "$corpus" {} +
    fi
    if [[ "$target" == *network* ]]; then
        local file
        while IFS= read -r -d '' file; do
            cp -n "$file" "$corpus/${file//\//_}"
        done < <(find tests data -type f -name '*.dat' -print0)
    fi
}

# Runs one target for the given seconds; prints libFuzzer's closing "Done" line, or the end of
# its log when it found a crash.
run_fuzz_target() {
    local target="$1" seconds="$2"
    local binary corpus="$fuzz_build/corpus/$target" crashes="$fuzz_build/crashes/$target"
    local log="$fuzz_build/logs/$target.log"
    binary="$(find "$fuzz_build" -type f -name "$target" -perm -u+x | head -n 1)"
    seed_corpus "$target" "$corpus"
    mkdir -p "$crashes" "$fuzz_build/logs"
    if UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}" \
        "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$crashes/" "$corpus" >"$log" 2>&1; then
        echo "$target: $(grep -oE 'Done [0-9]+ runs in [0-9]+ second\(s\)' "$log" | tail -n 1)"
        return 0
    fi
    tail -n 40 "$log" >&2
    echo "$target: FAILED (log $log, inputs in $crashes/)" >&2
    return 1
}

fuzz() {
    local seconds="$1"
    cmake -S . -B "$fuzz_build" -G Ninja -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF \
        -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    local targets
    mapfile -t targets < <(fuzz_targets)
    if [ ${#targets[@]} -eq 0 ]; then
        echo "tarvo.sh: no fuzz_* target in $fuzz_build" >&2
        return 1
    fi
    cmake --build "$fuzz_build" -j "$(nproc)" --target "${targets[@]}"
    local target failed=0
    for target in "${targets[@]}"; do
        run_fuzz_target "$target" "$seconds" || failed=1
    done
    return "$failed"
}

# clang-tidy over every source file of the dev build (its compile_commands.json), two at a time;
# run-clang-tidy fails when any file has a finding, as .clang-tidy makes every finding an error.
lint() {
    build dev
    run-clang-tidy-14 -p build/dev -j 2 -quiet "^$here/(src|tests|tools|bench)/"
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
    shuffled_tests dev
    build asan
    run_tests asan
    ;;
fuzz)
    seconds="${2:-60}"
    if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
        echo "usage: $0 fuzz [seconds]" >&2
        exit 2
    fi
    setup
    fuzz "$seconds"
    ;;
lint)
    setup
    lint
    ;;
*)
    echo "usage: $0 setup|run|test|fuzz [seconds]|lint" >&2
    exit 2
    ;;
esac
