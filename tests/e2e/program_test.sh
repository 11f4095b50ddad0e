#!/usr/bin/env bash
# The real program in a virtual X server, in a working folder made from data/: after the splash
# the user opens a partition by typing a node's name, moves with the arrow keys, inserts a child,
# undoes, inserts again, relabels the current node in place, gives it another parent by dragging
# its stub, opens and closes the inheritance report (F4), saves under a new name, sets views to
# open fitted to the window and the readable label size to 12 points, and exits answering the
# save question. The saved file must hold exactly one node more than the shipped network (a
# child of another node), the label typed in place, and the new parent; the settings file must
# hold the two choices.
# Arguments: the program, the command-line tool, the data folder, the screenshot to write.
set -euo pipefail
program="$(realpath "$1")"
cli="$(realpath "$2")"
data="$(realpath "$3")"
shot="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$(dirname "$shot")"
shot="$(realpath "$shot")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$data/." "$work/"
cd "$work"
# The user's settings stay out of the test (the view must open at readable size), and the
# test's out of the user's.
export XDG_CONFIG_HOME="$work/config"

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
trap 'stop_xvfb; if [ -n "${pid:-}" ]; then kill -9 $pid 2>/dev/null || true; fi; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*"
    import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "$shot" || true
    echo "--- the program's error output:" >&2
    cat "$work/stderr" >&2 || true
    exit 1
}

# The id of the first window whose name matches, once it shows (up to 15 s).
window_named() {
    local id=""
    for _ in $(seq 1 150); do
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)"
        [ -n "$id" ] && break
        sleep 0.1
    done
    printf '%s' "$id"
}

# Keys to the window, with time for the program to act on each.
keys_to() {
    local window="$1"
    shift
    xdotool windowfocus --sync "$window"
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.3
    done
}

# Types the text into the dialog named as given once it shows, and presses Enter; fails with the
# message when no such dialog comes.
type_into() {
    local dialog
    dialog="$(window_named "$1")"
    [ -n "$dialog" ] || fail "$3"
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 40 "$2"
    keys_to "$dialog" Return
}

"$program" 2>"$work/stderr" &
pid=$!

# The splash goes after 2 s, and the partition dialog asks for the first node.
partition="$(window_named '^Open Partition$')"
[ -n "$partition" ] || fail "the partition dialog did not open after the splash"
xdotool windowfocus --sync "$partition"
xdotool type --delay 40 "noun"
sleep 0.3
keys_to "$partition" alt+v
xdotool type --delay 40 "1"
keys_to "$partition" Return

frame="$(window_named '^Tarvo\+\+ - script\.dat$')"
[ -n "$frame" ] || fail "no document opened: the frame's caption did not name script.dat"
sleep 1
keys_to "$frame" Down Right
keys_to "$frame" ctrl+Insert ctrl+z ctrl+Insert
# The current node's label, typed in place: Enter opens the editor, Ctrl+A takes the whole
# text, the typing replaces it, Enter commits.
keys_to "$frame" Return ctrl+a
xdotool type --delay 40 "tense"
sleep 0.5
# The picture kept: the view with the label editor open.
import -window root "$shot" || fail "no screenshot could be taken"
keys_to "$frame" Return

# Relinking with the mouse: the current node ("tense") is the one box framed in the highlight
# colour once links are no longer highlighted (Ctrl+L). Its parents' stub, just above the box,
# is dragged to the left onto the node before it in its row, which becomes another parent (the
# view opens at a readable size around its current node, and the row goes on beyond the
# window's right edge).
keys_to "$frame" ctrl+l
sleep 0.5
import -window root "$work/view.png" || fail "no screenshot could be taken"
read -r w h x y < <(convert "$work/view.png" -crop +0+60 +repage \
    -fill black +opaque "srgb(151,197,226)" -fill white -opaque "srgb(151,197,226)" \
    -morphology Erode Square:1 -trim -format '%w %h %X %Y\n' info: 2>/dev/null) \
    || fail "the current node could not be found in the picture"
x=${x#+}
y=$((${y#+} + 60))
[ "$w" -gt 8 ] && [ "$h" -gt 8 ] || fail "the current node's frame is $w x $h"
cx=$((x + w / 2))
cy=$((y + h / 2))
xdotool mousemove "$cx" $((y - 2)) mousedown 1
for step in 1 2 3 4 5 6; do
    xdotool mousemove $((cx - step * w / 4)) $((y - 2 + step * (h / 2 + 2) / 6))
    sleep 0.1
done
xdotool mouseup 1
sleep 0.5

# F4: the inheritance report of the current node opens beside the view; its OK closes it.
keys_to "$frame" F4
report="$(window_named '^Inheritance Dialog$')"
[ -n "$report" ] || fail "F4 did not open the inheritance report"
keys_to "$report" Return
for _ in $(seq 1 30); do
    [ -z "$(xdotool search --onlyvisible --name '^Inheritance Dialog$' 2>/dev/null || true)" ] && break
    sleep 0.1
done
[ -z "$(xdotool search --onlyvisible --name '^Inheritance Dialog$' 2>/dev/null || true)" ] \
    || fail "the inheritance report did not close on OK"

# Save as: the Net menu's item, then the file's name in the save dialog.
keys_to "$frame" alt+n a
type_into '^Save As$' "grown.dat" "the save dialog did not open"
for _ in $(seq 1 50); do
    [ -f Databases/grown.dat ] && break
    sleep 0.1
done
[ -f Databases/grown.dat ] || fail "Databases/grown.dat was not written"

# The View menu: new views open fitted to the window, and the readable size becomes 12 points.
keys_to "$frame" alt+v a f
keys_to "$frame" alt+v z
type_into '^Input$' "12" "Readable label size... asked for nothing"

# Exit: the history holds the edits, so the save question comes; No leaves the file as saved.
keys_to "$frame" alt+n x
question="$(window_named '^Tarvo\+\+$')"
[ -n "$question" ] || fail "no save question on exit"
keys_to "$question" n
for _ in $(seq 1 100); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
done
kill -0 $pid 2>/dev/null && fail "the program did not end after the save question"
wait $pid || fail "the program ended with status $?"
pid=""

conf="$XDG_CONFIG_HOME/Tarvo++/Tarvo++.conf"
[ -f "$conf" ] || fail "no settings file at $conf: $(find "$XDG_CONFIG_HOME" -type f 2>/dev/null)"
grep -qx 'openAt=1' "$conf" || fail "the settings do not open views fitted: $(cat "$conf")"
grep -qx 'readablePoints=12' "$conf" || fail "the settings do not hold 12 points: $(cat "$conf")"

# Each line of a dump is one node; its name stands between "name": and ,"parent":.
names() {
    sed 's/^.*"name":\(.*\),"parent":.*$/\1/' "$1" | sort
}
"$cli" dump Databases/script.dat >"$work/shipped.json" || fail "tarvo-cli could not read script.dat"
"$cli" dump Databases/grown.dat >"$work/grown.json" || fail "tarvo-cli could not read the saved file"
names "$work/shipped.json" >"$work/before"
names "$work/grown.json" >"$work/after"
before=$(wc -l <"$work/shipped.json")
after=$(wc -l <"$work/grown.json")
[ "$after" -eq $((before + 1)) ] || fail "the saved network has $after nodes, expected $((before + 1))"
# The new node (anonymous, under another node) and the relabelled one are the new names.
new="$(comm -13 "$work/before" "$work/after")"
grep -qx '"tense"' <<<"$new" || fail "no node was relabelled tense: $new"
anonymous="$(grep -v -x '"tense"' <<<"$new" || true)"
[ "$(printf '%s\n' "$anonymous" | grep -c .)" -eq 1 ] || fail "expected one new node, found: $anonymous"
line="$(grep -F "\"name\":$anonymous," "$work/grown.json")"
grep -q '"parent":\["' <<<"$line" || fail "the new node has no parent: $line"
tense="$(grep -F '"name":"tense",' "$work/grown.json")"
parents="$(sed 's/^.*"parent":\[\([^]]*\)\].*$/\1/' <<<"$tense")"
[ "$(tr ',' '\n' <<<"$parents" | grep -c .)" -ge 2 ] \
    || fail "the drag gave the relabelled node no new parent: $tense"
echo "ok: partition opened, edits made and undone, a label edited in place, a parent added by dragging, the inheritance report opened and closed, saved as grown.dat with the new node $anonymous, the view settings kept"
