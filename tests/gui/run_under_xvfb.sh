#!/usr/bin/env bash
# Runs a real-window test on a virtual X server of its own. Skipped (exit 77) when
# the X tools it needs are not installed; scripts/setup.sh installs them.
#
# The server picks a free display number itself and writes it once it accepts
# clients (-displayfd), so two tests started together never race for one number,
# and the test starts only when the server is ready. It never resets when its last
# client leaves (-noreset): a reset refuses the clients that come meanwhile.
set -u
for tool in Xvfb xauth xdotool xwd xprop xwininfo convert mcookie; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-xvfb.XXXXXX")
xvfb_pid=
finish() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 143' TERM INT

# The server takes every cookie in its file whatever display the entry names;
# clients look theirs up by number, so the real number is added once known.
export XAUTHORITY="$scratch/Xauthority"
: >"$XAUTHORITY"
cookie=$(mcookie)
xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
Xvfb -displayfd 3 -auth "$XAUTHORITY" -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!

# Generous: a loaded machine can take many seconds to start a server.
for _ in $(seq 600); do
    if [ -s "$scratch/display" ] && grep -q $'\n' "$scratch/display"; then break; fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
number=$(tr -dc '0-9' <"$scratch/display")
if [ -z "$number" ]; then
    echo "cannot get a display: the virtual X server did not start within 60 s" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi
xauth -q -f "$XAUTHORITY" add ":$number" . "$cookie"
export DISPLAY=":$number"

"$@"
