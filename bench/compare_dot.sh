#!/usr/bin/env bash
# Our layout beside Graphviz's dot on the layout benchmark's graphs: the time of our creation
# layout plus improvement (best of three) against dot -Tplain, and the link crossings between
# adjacent ranks of both drawings; then our crossings and time with the untangling pass after
# the improvement (the view option that is off by default).
#
#   bench/compare_dot.sh [MAX_NODES]
#
# MAX_NODES (argument or environment) leaves out graphs above that many nodes; dot takes about
# a minute on the 20,000-node tree. DOT_TIMEOUT gives dot at most that many seconds per graph
# (default 900; the 20,000-node DAG does not finish within that). DOT_DIR keeps the .dot and
# .plain files there instead of in a temporary directory.
#
# dot's crossings follow edges spanning several ranks along their splines through the ranks
# between (see bench/dot_crossings.py), as our count follows the filler chains of such links.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
max_nodes=${1:-${MAX_NODES:-20000}}
dot_timeout=${DOT_TIMEOUT:-900}

if ! command -v dot >/dev/null 2>&1; then
    echo "compare_dot.sh: graphviz is not installed; install it with" >&2
    echo "    sudo apt-get install graphviz" >&2
    exit 1
fi
if ! command -v python3 >/dev/null 2>&1; then
    echo "compare_dot.sh: python3 is needed to count dot's crossings" >&2
    exit 1
fi

cd "$root"
if [ ! -d build/release ]; then
    cmake --preset release >/dev/null
fi
cmake --build --preset release --target bench_layout >/dev/null

if [ -n "${DOT_DIR:-}" ]; then
    work=$DOT_DIR
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi

echo "Our layouts (creation + improvement, best of 3) ..." >&2
(cd "$work" && "$root/build/release/bench/bench_layout" --dot-dir "$work" \
    --max-nodes "$max_nodes") >"$work/ours.txt"

field() { # field NAME LINE: the value of NAME=value in LINE
    local pair
    for pair in $2; do
        if [ "${pair%%=*}" = "$1" ]; then
            echo "${pair#*=}"
            return
        fi
    done
}

row() {
    printf '%-11s %10s %14s %9s %15s %14s %12s %10s %12s %11s %13s %15s\n' "$@"
}
row graph ours_ms dot_ms dot/ours ours_crossings dot_crossings ours_layers dot_ranks \
    ours_fillers dot_virtual untangled_ms untangled_cross
while read -r name rest; do
    ours_ms=$(field ours_ms "$rest")
    ours_crossings=$(field crossings "$rest")
    ours_layers=$(field layers "$rest")
    ours_fillers=$(field dummies "$rest")
    untangled_ms=$(field untangled_ms "$rest")
    untangled_crossings=$(field untangled_crossings "$rest")
    start=$(date +%s.%N)
    if timeout "$dot_timeout" dot -Tplain "$work/$name.dot" -o "$work/$name.plain"; then
        end=$(date +%s.%N)
        dot_ms=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.0f", (e - s) * 1000 }')
        ratio=$(awk -v d="$dot_ms" -v o="$ours_ms" 'BEGIN { printf "%.1f", (o > 0 ? d / o : 0) }')
        counted=$(python3 "$here/dot_crossings.py" "$work/$name.plain")
        dot_crossings=$(field crossings "$counted")
        dot_ranks=$(field ranks "$counted")
        dot_virtual=$(field virtual "$counted")
    else
        dot_ms="timeout>${dot_timeout}s"
        ratio=- dot_crossings=- dot_ranks=- dot_virtual=-
    fi
    row "$name" "$ours_ms" "$dot_ms" "$ratio" "$ours_crossings" "$dot_crossings" \
        "$ours_layers" "$dot_ranks" "$ours_fillers" "$dot_virtual" "$untangled_ms" \
        "$untangled_crossings"
done <"$work/ours.txt"
