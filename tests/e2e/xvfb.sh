# Sourced by the end-to-end tests: starts a private virtual X server and exports DISPLAY and
# XAUTHORITY for it; `work` must name the test's scratch folder. Other machines' or jobs'
# servers may share the socket namespace without sharing /tmp (so lock files do not show them),
# and a client can then reach a foreign server under the same number. Each try therefore takes a
# random high number, guards the server with a fresh cookie, and only counts when a client
# holding that cookie reaches a server with this test's own, unusual screen size.
export XAUTHORITY="$work/xauth"
xvfb=""
stop_xvfb() {
    if [ -n "$xvfb" ]; then kill $xvfb 2>/dev/null || true; fi
}
started=""
for attempt in $(seq 1 8); do
    number=$((200 + (RANDOM % 3000)))
    : >"$XAUTHORITY"
    xauth -q add ":$number" . "$(mcookie)"
    # -noreset: without it the server resets when its last client leaves, as the check below
    # does, and a client connecting during the reset is refused.
    Xvfb ":$number" -auth "$XAUTHORITY" -screen 0 1237x1009x24 -nolisten tcp -noreset \
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
