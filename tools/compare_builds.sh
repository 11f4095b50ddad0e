#!/usr/bin/env bash
# Runs two tarvo-cli builds over the same networks and compares everything they produce.
#   tools/compare_builds.sh OLD_CLI NEW_CLI [DIR...]
# Every *.dat network file under the DIRs (tests/ and data/ of this tree unless given), and
# networks made by tarvo-gen (beside NEW_CLI, or named by TARVO_GEN) in a few sizes and shapes,
# go through roundtrip (the written files), dump, report and layout on a few node names taken
# from the dump, and render with a few option sets (the PNG bytes; where they differ, the pixels
# by ImageMagick's `compare -metric AE`). Each command's exit status, standard output and
# error, and the list.out it leaves, are compared too. Prints a summary; exits 1 on any
# difference, 2 on a usage error. A command that runs longer than COMPARE_TIMEOUT seconds (60)
# with both builds is left uncompared and named in the summary.
set -uo pipefail

usage() {
    echo "usage: $0 OLD_CLI NEW_CLI [DIR...]" >&2
    exit 2
}
[ $# -ge 2 ] || usage
old_cli="$(realpath "$1")" || usage
new_cli="$(realpath "$2")" || usage
shift 2
for cli in "$old_cli" "$new_cli"; do
    [ -x "$cli" ] || {
        echo "$0: $cli is not an executable" >&2
        exit 2
    }
done

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dirs=("$@")
[ ${#dirs[@]} -gt 0 ] || dirs=("$root/tests" "$root/data")
generator="${TARVO_GEN:-$(dirname "$new_cli")/tarvo-gen}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
limit="${COMPARE_TIMEOUT:-60}"
timed_out=0

compared=0
differences=0
differ() {
    differences=$((differences + 1))
    echo "DIFFERS: $*"
}

# Runs one command line with each build, each in a fresh folder holding the network as net.dat
# (and the shapes as poly.dat when given), so that relative paths, list.out and the shape file
# are the same for both. Leaves the two folders as $work/old and $work/new.
run_both() {
    local network="$1" shapes="$2"
    shift 2
    local side cli
    for side in old new; do
        cli="$old_cli"
        [ "$side" = new ] && cli="$new_cli"
        rm -rf "${work:?}/$side"
        mkdir -p "$work/$side"
        cp "$network" "$work/$side/net.dat"
        [ -n "$shapes" ] && cp "$shapes" "$work/$side/poly.dat"
        (cd "$work/$side" && timeout "$limit" "$cli" "$@" >stdout 2>stderr
            echo $? >status)
    done
}

# Compares what the two runs left: the named files byte for byte, PNG files by pixels when
# their bytes differ.
compare_runs() {
    local what="$1"
    shift
    if [ "$(cat "$work/old/status")" = 124 ] && [ "$(cat "$work/new/status")" = 124 ]; then
        timed_out=$((timed_out + 1))
        echo "note: $what: over ${limit} s with both builds, not compared"
        return 0
    fi
    compared=$((compared + 1))
    local file same=1
    for file in status stdout stderr list.out "$@"; do
        local a="$work/old/$file" b="$work/new/$file"
        if [ ! -e "$a" ] && [ ! -e "$b" ]; then
            continue
        fi
        if [ ! -e "$a" ] || [ ! -e "$b" ]; then
            differ "$what: $file written by only one build"
            same=0
            continue
        fi
        cmp -s "$a" "$b" && continue
        if [[ "$file" == *.png ]]; then
            local sizes pixels
            sizes="$(identify -format '%wx%h ' "$a" "$b" 2>&1)"
            if [ "${sizes%% *}" != "$(echo "$sizes" | cut -d' ' -f2)" ]; then
                differ "$what: $file sizes differ ($sizes)"
                same=0
                continue
            fi
            pixels="$(compare -metric AE "$a" "$b" null: 2>&1)"
            if [ "$pixels" = "0" ]; then
                echo "note: $what: $file bytes differ, pixels are the same"
                continue
            fi
            differ "$what: $file differs in $pixels pixels"
        else
            differ "$what: $file"
            diff "$a" "$b" | head -n 6 | cut -c 1-200 | sed 's/^/    /'
        fi
        same=0
    done
    return $((1 - same))
}

# A few node names from the dump of the network, each with --relation for relations: the
# entity and the relation with the most children, one with the most parents, the first and the
# last line. The names are unquoted as the command line takes them.
pick_names() {
    python3 - "$1" <<'PY'
import json, sys
nodes = []
for line in open(sys.argv[1], encoding='utf-8', errors='surrogateescape'):
    try:
        nodes.append(json.loads(line))
    except ValueError:
        pass
def unquoted(name):
    return name[1:-1] if len(name) >= 2 and name[0] == name[-1] == '"' else name
picked = []
def pick(node):
    if node and node not in picked:
        picked.append(node)
entities = [n for n in nodes if n.get('kind') == 'entity']
relations = [n for n in nodes if n.get('kind') == 'relation']
by_children = lambda n: (len(n.get('child', [])), n['name'])
by_parents = lambda n: (len(n.get('parent', [])), n['name'])
if entities:
    pick(max(entities, key=by_children))
    pick(max(entities, key=by_parents))
if relations:
    pick(max(relations, key=by_children))
if nodes:
    pick(nodes[0])
    pick(nodes[-1])
for n in picked[:5]:
    flag = ' --relation' if n['kind'] == 'relation' else ''
    sys.stdout.buffer.write((unquoted(n['name']) + '\t' + flag + '\n').encode('utf-8', 'surrogateescape'))
PY
}

layout_options=("" "--reveal 2 --justification 1 --depth 1" "--justification 2 --improve --steps 3")
render_options=(""
    "--width 640 --height 480 --orientation 1 --line-style 1 --distance-mode 3 --open-at 1"
    "--reveal 1 --highlight 0 --distance-mode 5 --readable-points 14 --fit-report"
    "--keys Down,S-Right,C-Insert --orientation 2")

compare_network() {
    local network="$1" label="$2"
    echo "== $label"
    run_both "$network" "" roundtrip net.dat out.dat
    compare_runs "$label roundtrip" out.dat
    run_both "$network" "" dump net.dat
    compare_runs "$label dump"
    local names
    names="$(pick_names "$work/old/stdout")"
    [ -n "$names" ] || return 0
    local name flag options
    while IFS=$'\t' read -r name flag; do
        # shellcheck disable=SC2086
        run_both "$network" "" report net.dat "$name" $flag
        compare_runs "$label report '$name'$flag"
        for options in "${layout_options[@]}"; do
            # shellcheck disable=SC2086
            run_both "$network" "" layout net.dat "$name" $flag $options
            compare_runs "$label layout '$name'$flag $options"
        done
    done <<<"$names"
    # Pictures of the first two names, with and without the shipped shapes.
    while IFS=$'\t' read -r name flag; do
        for options in "${render_options[@]}"; do
            # shellcheck disable=SC2086
            run_both "$network" "" render net.dat "$name" out.png $flag $options
            compare_runs "$label render '$name'$flag $options" out.png
        done
        # shellcheck disable=SC2086
        run_both "$network" "$root/data/poly.dat" render net.dat "$name" out.png $flag
        compare_runs "$label render '$name'$flag with poly.dat" out.png
    done < <(head -n 2 <<<"$names")
}

networks=()
for dir in "${dirs[@]}"; do
    while IFS= read -r -d '' file; do
        networks+=("$file")
    done < <(find "$dir" -type f -name '*.dat' -print0 | sort -z)
done
for network in "${networks[@]}"; do
    compare_network "$network" "${network#"$root"/}"
done

# Generated networks: small and large, plain names and names with markup, few and many parents.
generated=("--seed 1 --entities 200"
    "--seed 2 --entities 2000 --relations 40 --properties 1500"
    "--seed 3 --entities 600 --relations 60 --properties 300 --max-parents 4 --plain"
    "--seed 4 --entities 300 --relations 5 --properties 0 --max-parents 1"
    "--seed 5 --wordnet --entities 1500 --relations 4 --properties 1200")
if [ -x "$generator" ]; then
    for options in "${generated[@]}"; do
        # shellcheck disable=SC2086
        "$generator" $options >"$work/generated.dat" || {
            differ "tarvo-gen $options failed"
            continue
        }
        compare_network "$work/generated.dat" "tarvo-gen $options"
    done
else
    echo "note: no tarvo-gen at $generator (set TARVO_GEN): generated networks skipped"
fi

echo "compared $compared outputs of ${#networks[@]} network files and the generated networks:" \
    "$differences differences, $timed_out commands over the time limit"
[ "$differences" -eq 0 ]
