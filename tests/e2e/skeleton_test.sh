#!/usr/bin/env bash
# Starts the real program in a virtual X server, in a fresh working folder: the frame must appear
# and the debugging log must be started; a termination request must close it in order. Nothing
# was changed, so no settings file is left behind.
set -euo pipefail
program="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
# The user's settings stay out of the test, and the test's out of the user's.
export XDG_CONFIG_HOME="$work/config"

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

# shellcheck source=xvfb.sh
source "$here/xvfb.sh"
trap 'stop_xvfb; rm -rf "$work"' EXIT
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
if [ -e "$XDG_CONFIG_HOME" ]; then
    echo "FAIL: a run that changed no setting left $(find "$XDG_CONFIG_HOME" -type f)"
    exit 1
fi
echo "ok: window appeared, list.out started, program closed in order, no settings file left"
