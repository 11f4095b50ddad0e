#!/usr/bin/env bash
# The command-line tool's render command: a PNG of the window's size with the network drawn in
# it, with and without a shape file, and the refusal of bad options.
set -u
shapes="$(realpath "$2")"
# shellcheck source=view_test_setup.sh
source "$(dirname "${BASH_SOURCE[0]}")/view_test_setup.sh"

# Width, height and how many bytes of the image are not white, read from the PNG itself.
measure() {
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
at, idat, width, height = 8, b'', 0, 0
while at < len(data):
    n, = struct.unpack('>I', data[at:at + 4])
    kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + n]
    if kind == b'IHDR':
        width, height = struct.unpack('>II', body[:8])
    elif kind == b'IDAT':
        idat += body
    at += 12 + n
raw = zlib.decompress(idat)
print(width, height, sum(1 for b in raw if b not in (0, 255, 1, 2, 3, 4)) > 1000)
PY
}

"$cli" render grammar.dat word plain.png || fail "render exit $?"
[ "$(measure plain.png)" = "1024 768 True" ] || fail "default render: $(measure plain.png)"
"$cli" render grammar.dat noun small.png --width 300 --height 200 --orientation 0 \
    --line-style 0 --distance-mode 5 --highlight 0 --reveal 1 || fail "options exit $?"
[ "$(measure small.png)" = "300 200 True" ] || fail "small render: $(measure small.png)"
# With the shipped shapes beside it the properties are drawn in theirs: another picture.
cp "$shapes" poly.dat
"$cli" render grammar.dat word shaped.png || fail "shaped render exit $?"
cmp -s plain.png shaped.png && fail "the shape file changed nothing"

# Keys pressed before drawing: a new child of the current node is one more box.
"$cli" render grammar.dat word keys.png --keys Down,S-Right,C-Insert || fail "keys exit $?"
cmp -s shaped.png keys.png && fail "the keys changed nothing"

for bad in "--width 5" "--orientation 4" "--orientation -1" "--distance-mode 6" \
    "--distance-mode -1" "--line-style" "--line-style 2" "--open-at 2" "--open-at -1" \
    "--highlight 2" "--justification 3" "--depth 2" "--sideways 1" "--keys Down,Sideways" "--keys"; do
    # shellcheck disable=SC2086
    "$cli" render grammar.dat word bad.png $bad >/dev/null 2>&1
    [ $? -eq 2 ] || fail "render $bad should be a usage error"
done
message=$("$cli" render grammar.dat word bad.png --open-at 2 2>&1 >/dev/null)
case "$message" in
*"--open-at needs a number from 0 to 1"*) ;;
*) fail "the refusal of --open-at 2 says: $message" ;;
esac
"$cli" render grammar.dat nothing bad.png >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown node should be a usage error"
"$cli" render grammar.dat word /no/such/folder/x.png >/dev/null 2>&1
[ $? -eq 1 ] || fail "an unwritable image should fail"

# --fit-report: one object a drawn node. A row of thirty siblings in a small window opens at the
# readable size with nothing cut; fitted to the window it is cut.
{
    echo "#ENTITIES"
    for k in $(seq 1 30); do echo "\"sibling number $k\" isa root"; done
    echo "#FONTS"
} >row.dat
"$cli" render row.dat "sibling number 15" row.png --width 300 --height 200 --fit-report \
    >readable.txt || fail "fit report exit $?"
"$cli" render row.dat "sibling number 15" fitted.png --width 300 --height 200 --open-at 1 \
    --fit-report >fitted.txt || fail "fitted fit report exit $?"
shape='^\{"name":"[^"]*","points":[0-9]+,"lines":[0-9]+,"cut":(true|false)\}$'
for report in readable.txt fitted.txt; do
    [ "$(grep -c . "$report")" -gt 0 ] || fail "$report is empty"
    bad="$(grep -Ev "$shape" "$report" || true)"
    [ -z "$bad" ] || fail "$report has lines of another form: $bad"
done
grep -q '"cut":true' readable.txt && fail "a label is cut at the readable size: $(cat readable.txt)"
small="$(grep -Eo '"points":[0-9]+' readable.txt | grep -Ev '"points":([1-9][0-9]+)$' || true)"
[ -z "$small" ] || fail "labels below 10 points at the readable size: $small"
grep -q '"cut":true' fitted.txt || fail "nothing is cut when fitted: $(cat fitted.txt)"
# Another readable size, at either end of its range and between: the fit gives smaller labels
# than any, so the cells grow, no label is below the size and none is cut.
for points in 8 14 36; do
    "$cli" render row.dat "sibling number 15" sized.png --width 300 --height 200 \
        --readable-points "$points" --fit-report >sized.txt || fail "--readable-points $points exit $?"
    below="$(grep -Eo '"points":[0-9]+' sized.txt | awk -F: -v p="$points" '$2 < p' || true)"
    [ -z "$below" ] || fail "labels below $points points: $below"
    grep -q '"cut":true' sized.txt && fail "a label is cut at $points points: $(cat sized.txt)"
done
"$cli" render row.dat "sibling number 15" sized.png --width 300 --height 200 \
    --readable-points 14 --fit-report >fourteen.txt
grep -Eq '"points":14,' fourteen.txt || fail "no label at 14 points: $(cat fourteen.txt)"
cmp -s readable.txt fourteen.txt && fail "--readable-points 14 drew as at 10"
for bad in 7 37 ten; do
    "$cli" render row.dat "sibling number 15" bad.png --readable-points "$bad" >/dev/null 2>&1
    [ $? -eq 2 ] || fail "--readable-points $bad should be a usage error"
done
# Where the fit to the window reads, the current node's label fits inside its thicker frame too.
printf '#ENTITIES\nleaf isa root\n#FONTS\n' >pair.dat
"$cli" render pair.dat root pair.png --fit-report >pair.txt
[ "$(grep -c '"cut":false' pair.txt)" -eq 2 ] || fail "a label of two is cut: $(cat pair.txt)"
"$cli" render grammar.dat word quiet.png >quiet.txt
[ -s quiet.txt ] && fail "render without --fit-report printed: $(cat quiet.txt)"

[ "$failures" -eq 0 ] && echo "ok: render"
exit "$failures"
