#!/usr/bin/env bash
# Runs the real-window smoke test on a virtual X server of its own. Skipped (exit
# 77) when the X tools it needs are not installed; scripts/setup.sh installs them.
set -u
for tool in xvfb-run xauth xdotool xwd xprop xwininfo convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
