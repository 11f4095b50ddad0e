#!/usr/bin/env bash
# The command-line tool's label commands, with a fixed font list so that results are the same on
# every machine.
set -u
cli="$(realpath "$1")"
fonts="Times New Roman;Arial;Courier New"
failures=0

expect() { # expected-output expected-status args...
    local want="$1" status="$2"
    shift 2
    local got rc
    got="$("$cli" "$@" 2>/dev/null)"
    rc=$?
    if [ "$got" != "$want" ] || [ "$rc" -ne "$status" ]; then
        echo "FAIL: tarvo-cli $*"
        echo "  want [$want] (exit $status)"
        echo "  got  [$got] (exit $rc)"
        failures=$((failures + 1))
    fi
}

expect 'bold \x7fbword\x7fb here' 0 --fonts "$fonts" markup-to-label 'bold <b>word<\b> here'
expect '"bold <b>word<\b> here"' 0 --fonts "$fonts" label-to-markup 'bold \x7fbword\x7fb here'
expect 'x\x7fu2' 0 --fonts "$fonts" markup-to-label 'x<super>2'
expect '"x<super>2<\super>"' 0 --fonts "$fonts" label-to-markup 'x\x7fu2'
expect '\x7f2fabc' 0 --fonts "$fonts" markup-to-label '<f=2>abc'
expect '"<f=2>abc<\f>"' 0 --fonts "$fonts" label-to-markup '\x7f2fabc'
expect 'a;b' 0 --fonts "$fonts" markup-to-label 'a&semi;b'
expect '"a&semi;b"' 0 --fonts "$fonts" label-to-markup 'a;b'
expect 'caf\xe9 \\ \x80' 0 --fonts "$fonts" markup-to-label 'café \ €'
expect '"café"' 0 --fonts "$fonts" label-to-markup 'caf\xe9'
expect 'abc' 0 --fonts "$fonts" markup-to-label 'abc<b>'
# The default font is Times New Roman's index, wherever it stands in the list.
expect '\x7f0fx' 0 --fonts ";Arial;;Times New Roman" markup-to-label '<f=0>x'
expect '"<f=0>x<\f>"' 0 --fonts ";Arial;;Times New Roman" label-to-markup '\x7f0fx'
expect 'x' 0 --fonts ";Arial;;Times New Roman" markup-to-label '<f=1>x'
# The plain Unicode text, phonetic runs as the IPA their bytes stand for.
expect 'ðɛ kʰɑtʰ' 0 --fonts "$fonts" markup-plain '<phon>DE kHAtH<\phon>'
expect 'pronunciation dɒɡ, tʃaɪld, wɔːk; café' 0 --fonts "$fonts" markup-plain \
    $'<sml>pronunciation<\\sml> <phon>d\u0081g<\\phon>, <>tSaIld<>, <phon>w\u008d\u00f9k<\\phon>&semi; <b>caf\u00e9'
expect $'e\u0301' 0 --fonts "$fonts" markup-plain '<phon>e@'
expect '' 0 --fonts "$fonts" markup-plain '<id=1f>'

# Usage errors.
expect '' 2
expect '' 2 --fonts
expect '' 2 --fonts "$fonts" no-such-command x
expect '' 2 --fonts "$fonts" markup-to-label
expect '' 2 --fonts "$fonts" markup-plain
expect '' 2 --fonts "$fonts" label-to-markup 'bad \q escape'
expect '' 2 --fonts "$fonts" label-to-markup 'cut \x4'
err="$("$cli" --fonts "$fonts" label-to-markup 'bad \q' 2>&1 >/dev/null)"
case "$err" in
error:*) ;;
*) echo "FAIL: usage error message is [$err]"; failures=$((failures + 1)) ;;
esac

[ "$failures" -eq 0 ] && echo "ok: label commands"
exit $((failures > 0))
