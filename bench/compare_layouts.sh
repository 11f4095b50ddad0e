#!/usr/bin/env bash
# Lays out generated DAGs and trees with two tarvo-cli builds and compares the JSON they print
# (cells, hidden list, energy), for the layout work that must not change any result.
#
#   bench/compare_layouts.sh OLD_CLI NEW_CLI [SIZES...]
#
# SIZES default to 1000 5000 20000 entities. The networks come from tarvo-gen beside NEW_CLI
# (or TARVO_GEN): trees (one parent each) and DAGs (up to three parents). Each is laid out from
# its first root, revealed in full, with the improvement and with each justification; the
# untangling pass is run on the smaller ones too. Prints each comparison with both times and
# exits 1 on any difference.
set -uo pipefail

[ $# -ge 2 ] || { echo "usage: $0 OLD_CLI NEW_CLI [SIZES...]" >&2; exit 2; }
old_cli=$(realpath "$1") && new_cli=$(realpath "$2") || exit 2
shift 2
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 5000 20000)
generator=${TARVO_GEN:-$(dirname "$new_cli")/tarvo-gen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

differences=0
compared=0
run() { # run CLI OUT ARGS...: prints the seconds it took
    local cli=$1 out=$2
    shift 2
    local start end
    start=$(date +%s.%N)
    "$cli" "$@" >"$out" 2>&1
    echo "exit=$?" >>"$out"
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

for size in "${sizes[@]}"; do
    for family in tree dag; do
        parents=1
        [ "$family" = dag ] && parents=3
        net="$work/${family}_$size.dat"
        "$generator" --seed 7 --entities "$size" --relations 0 --properties 0 \
            --max-parents "$parents" --plain >"$net"
        # The parentless entity with the most children, its name without the file's quotes.
        root=$("$new_cli" dump "$net" | python3 -c '
import json, sys
nodes = [json.loads(line) for line in sys.stdin]
roots = [n for n in nodes if n["kind"] == "entity" and not n["parent"]]
name = max(roots, key=lambda n: len(n["child"]))["name"] if roots else ""
print(name[1:-1] if name.startswith("\"") else name)')
        [ -n "$root" ] || { echo "no root in $net" >&2; exit 2; }
        option_sets=("--improve" "--improve --justification 0" "--improve --justification 2"
            "--improve --depth 1")
        [ "$size" -le 5000 ] && option_sets+=("--improve --untangle" "--steps 3")
        for options in "${option_sets[@]}"; do
            # shellcheck disable=SC2086
            old_s=$(run "$old_cli" "$work/old.json" layout "$net" "$root" --reveal 127 $options)
            # shellcheck disable=SC2086
            new_s=$(run "$new_cli" "$work/new.json" layout "$net" "$root" --reveal 127 $options)
            compared=$((compared + 1))
            if cmp -s "$work/old.json" "$work/new.json"; then
                verdict=same
            else
                verdict=DIFFERENT
                differences=$((differences + 1))
            fi
            printf '%-10s %-34s old %6ss new %6ss %s\n' "${family}_$size" "$options" \
                "$old_s" "$new_s" "$verdict"
        done
    done
done
echo "$compared compared, $differences different"
[ "$differences" -eq 0 ]
