#!/usr/bin/env bash
# Starts the real program in a virtual X server, in a fresh working folder: the frame must appear
# and the debugging log must be started; a termination request must close it in order.
set -euo pipefail
program="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

cat >"$work/inside.sh" <<INNER
set -u
"$program" 2>"$work/stderr" &
pid=\$!
for _ in \$(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Tarvo++"'; then
        break
    fi
    sleep 0.1
done
if ! xwininfo -root -tree | grep -q '"Tarvo++"'; then
    echo "FAIL: no window titled Tarvo++ appeared"; kill -9 \$pid; exit 1
fi
kill -TERM \$pid
for _ in \$(seq 1 100); do
    kill -0 \$pid 2>/dev/null || break
    sleep 0.1
done
if kill -0 \$pid 2>/dev/null; then
    echo "FAIL: the program did not close on request"; kill -9 \$pid; exit 1
fi
wait \$pid
INNER

# Start a private virtual X server. Other machines' or jobs' servers may share the socket
# namespace without sharing /tmp (so lock files do not show them), and a client can then reach
# a foreign server under the same number. Each try therefore takes a random high number, guards
# the server with a fresh cookie, and only counts when a client holding that cookie reaches a
# server with this test's own, unusual screen size.
export XAUTHORITY="$work/xauth"
xvfb=""
trap 'if [ -n "$xvfb" ]; then kill $xvfb 2>/dev/null || true; fi; rm -rf "$work"' EXIT
started=""
for attempt in $(seq 1 8); do
    number=$((200 + (RANDOM % 3000)))
    : >"$XAUTHORITY"
    xauth -q add ":$number" . "$(mcookie)"
    Xvfb ":$number" -auth "$XAUTHORITY" -screen 0 1237x1009x24 -nolisten tcp \
        2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 1 100); do
        # Read whole before matching: grep -q would close the pipe early, and pipefail would
        # count xdpyinfo's broken pipe as a failure.
        info="$(xdpyinfo -display ":$number" 2>/dev/null || true)"
        if grep -q 'dimensions: *1237x1009 pixels' <<<"$info"; then
            started=yes
            break
        fi
        kill -0 $xvfb 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$started" ] && break
    echo "note: the virtual X server on :$number could not be used (try $attempt)" >&2
    cat "$work/xvfb.log" >&2
    kill $xvfb 2>/dev/null || true
    wait $xvfb 2>/dev/null || true
    xvfb=""
done
if [ -z "$started" ]; then
    echo "FAIL: no virtual X server could be started"; cat "$work/xvfb.log" >&2; exit 1
fi
export DISPLAY=":$number"
if ! bash "$work/inside.sh"; then
    cat "$work/stderr" >&2 || true
    echo "--- the virtual X server's log:" >&2
    cat "$work/xvfb.log" >&2 || true
    exit 1
fi
first="$(head -c 19 list.out)"
if [ "$first" != "Debugging log file " ]; then
    echo "FAIL: list.out begins with '$first'"
    exit 1
fi
echo "ok: window appeared, list.out started, program closed in order"
