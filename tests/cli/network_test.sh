#!/usr/bin/env bash
# The command-line tool's network commands on the example network: a round trip gives the same
# file, and the dump lists every node with its links.
set -u
cli="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat >"$work/example.dat" <<'NET'
#RELATIONS
subject isa dependent


#ENTITIES
noun isa word
verb isa word


#PROPERTIES
verb subject noun


#FONTS
NET

"$cli" --fonts "Arial" roundtrip "$work/example.dat" "$work/out.dat" || fail "roundtrip exit $?"
cmp -s "$work/example.dat" "$work/out.dat" || fail "roundtrip changed the file"

cat >"$work/want.json" <<'JSON'
{"kind":"entity","name":"noun","parent":["word"],"child":[],"from":["\"verb subject noun\""],"to":[]}
{"kind":"property","name":"\"verb subject noun\"","parent":["subject"],"child":[],"from":["verb"],"to":["noun"]}
{"kind":"entity","name":"word","parent":[],"child":["noun","verb"],"from":[],"to":[]}
{"kind":"relation","name":"dependent","parent":[],"child":["subject"],"from":[],"to":[]}
{"kind":"entity","name":"verb","parent":["word"],"child":[],"from":[],"to":["\"verb subject noun\""]}
{"kind":"relation","name":"subject","parent":["dependent"],"child":["\"verb subject noun\""],"from":[],"to":[]}
JSON
"$cli" --fonts "Arial" dump "$work/example.dat" >"$work/got.json" || fail "dump exit $?"
diff "$work/want.json" "$work/got.json" >/dev/null || fail "dump output: $(diff "$work/want.json" "$work/got.json")"

mkdir "$work/adir"
"$cli" --fonts "Arial" roundtrip "$work/example.dat" "$work/adir" 2>/dev/null
[ $? -eq 1 ] || fail "roundtrip onto a folder must exit 1"
err="$("$cli" --fonts "Arial" dump "$work/missing.dat" 2>&1 >/dev/null)"
case "$err" in
"error: Error opening net file: $work/missing.dat.") ;;
*) fail "missing file reported as [$err]" ;;
esac
"$cli" --fonts "Arial" dump "$work/missing.dat" >/dev/null 2>&1
[ $? -eq 1 ] || fail "dump of a missing file must exit 1"
cp "$work/example.dat" "$work/kept.dat"
"$cli" --fonts "Arial" roundtrip "$work/missing.dat" "$work/kept.dat" 2>/dev/null
[ $? -eq 1 ] || fail "roundtrip of a missing file must exit 1"
cmp -s "$work/example.dat" "$work/kept.dat" || fail "a missing network replaced the output file"
"$cli" --fonts "Arial" roundtrip "$work/example.dat" 2>/dev/null
[ $? -eq 2 ] || fail "roundtrip without OUT is a usage error"

cat >"$work/grammar.dat" <<'NET'
#RELATIONS
subject isa dependent
#ENTITIES
verb isa word
auxiliary isa verb
#PROPERTIES
verb subject noun
auxiliary subject pronoun
NET
want='{"node":"auxiliary","related":["pronoun"],"stipulated":["\"auxiliary subject pronoun\""],"inherited_relations":["\"verb subject noun\""],"ancestors":["verb","word"],"inherited_properties":["noun"],"overridden_targets":["noun"],"overridden_relations":["subject"]}'
got="$(cd "$work" && "$cli" --fonts "Arial" report grammar.dat auxiliary)" || fail "report exit $?"
[ "$got" = "$want" ] || fail "report output [$got]"
grep -q "Ancestor nodes:" "$work/list.out" || fail "the report is not in list.out"
"$cli" --fonts "Arial" report "$work/grammar.dat" subject --relation >/dev/null || fail "report --relation"
err="$("$cli" --fonts "Arial" report "$work/grammar.dat" nobody 2>&1 >/dev/null)"
rc=$?
[ "$err" = "error: no node nobody" ] && [ $rc -eq 2 ] || fail "missing node: [$err] exit $rc"

# Windows-1252 letters in bare words of a hand-written file are part of the name: they are read
# whole, written back in quotes as always, and the written file reads back to itself.
printf '#ENTITIES\ncaf\351 isa word\n\351l\350ve isa word\n' >"$work/accents.dat"
"$cli" --fonts "Arial" roundtrip "$work/accents.dat" "$work/accents-out.dat" || fail "accents roundtrip exit $?"
grep -q "$(printf '^"caf\351" isa word$')" "$work/accents-out.dat" || fail "café lost: $(cat -v "$work/accents-out.dat")"
grep -q "$(printf '^"\351l\350ve" isa word$')" "$work/accents-out.dat" || fail "élève lost: $(cat -v "$work/accents-out.dat")"
"$cli" --fonts "Arial" roundtrip "$work/accents-out.dat" "$work/accents-again.dat" || fail "second roundtrip exit $?"
cmp -s "$work/accents-out.dat" "$work/accents-again.dat" || fail "a written file changed on its round trip"
# The dump gives each name in its file markup, in quotes where the file has them.
"$cli" --fonts "Arial" dump "$work/accents.dat" >"$work/accents.json" || fail "accents dump exit $?"
grep -qF '{"kind":"entity","name":"\"café\"","parent":["word"]' "$work/accents.json" ||
    fail "café dump: $(cat "$work/accents.json")"
grep -qF '"child":["\"café\"","\"élève\""]' "$work/accents.json" || fail "word's children: $(cat "$work/accents.json")"

[ "$failures" -eq 0 ] && echo "ok: network commands"
exit $((failures > 0))
