#!/usr/bin/env bash
# The command-line tool's layout command: the JSON of a view's layout, the reveal distance and
# the refusal of bad options.
set -u
# shellcheck source=view_test_setup.sh
source "$(dirname "${BASH_SOURCE[0]}")/view_test_setup.sh"

got="$("$cli" --fonts Arial layout grammar.dat word)" || fail "layout exit $?"
want='{"clusters":2,"energy":2.8862,"slots":4,"layers":5,"cells":[{"name":"dependent","slot":0,"layer":0,"dummy":false,"distance":4},{"name":"subject","slot":0,"layer":1,"dummy":false,"distance":3},{"name":"\"verb subject noun\"","slot":0,"layer":2,"dummy":false,"distance":2},{"name":"word","slot":1,"layer":0,"dummy":false,"distance":0},{"name":"","slot":1,"layer":1,"dummy":true,"distance":-1},{"name":"noun","slot":1,"layer":2,"dummy":false,"distance":1},{"name":"verb","slot":2,"layer":1,"dummy":false,"distance":1},{"name":"auxiliary","slot":2,"layer":2,"dummy":false,"distance":2},{"name":"modal","slot":2,"layer":3,"dummy":false,"distance":1},{"name":"","slot":3,"layer":1,"dummy":true,"distance":-1},{"name":"","slot":3,"layer":2,"dummy":true,"distance":-1}],"hidden":[]}'
[ "$got" = "$want" ] || fail "layout of word: $got"
[ "$(cat list.out)" = "In recalc_grid" ] || fail "list.out holds [$(cat list.out)]"

# A reveal of 1 keeps the neighbours of noun only.
got="$("$cli" --fonts Arial layout grammar.dat noun --reveal 1 --improve --steps 3)" || fail "reveal exit $?"
case "$got" in
*'"hidden":["modal","dependent","verb","auxiliary","subject"]}') ;;
*) fail "reveal 1 hides: $got" ;;
esac
"$cli" --fonts Arial layout grammar.dat subject --relation --justification 2 --depth 1 >/dev/null ||
    fail "relation view exit $?"

# Untangling reorders layers: the same nodes are laid out and hidden as without it.
names() { grep -o '"name":"[^"]*","slot":[0-9]*,"layer":[0-9]*' | sed 's/"slot":[0-9]*,//' | sort; }
plain="$("$cli" --fonts Arial layout grammar.dat word --improve)" || fail "improve exit $?"
untangled="$("$cli" --fonts Arial layout grammar.dat word --improve --untangle)" ||
    fail "untangle exit $?"
[ "$(names <<<"$plain")" = "$(names <<<"$untangled")" ] || fail "untangle changed layers: $untangled"
[ "${plain##*\"hidden\"}" = "${untangled##*\"hidden\"}" ] || fail "untangle changed hiding"

for bad in "--reveal 128" "--justification 3" "--justification -1" "--depth" "--depth 2" \
    "--steps x" "--sideways"; do
    # shellcheck disable=SC2086
    "$cli" --fonts Arial layout grammar.dat word $bad >/dev/null 2>&1
    [ $? -eq 2 ] || fail "layout $bad must be a usage error"
done
"$cli" --fonts Arial layout grammar.dat nothing >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown node must be a usage error"

[ "$failures" -eq 0 ] && echo "all layout checks passed"
exit "$failures"
