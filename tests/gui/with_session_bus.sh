#!/usr/bin/env bash
# Runs the command with a session bus of its own (dbus-run-session). Skipped (exit
# 77) when the bus is not installed; scripts/setup.sh installs it.
set -u
if ! command -v dbus-run-session >/dev/null 2>&1; then
    echo "skipped: dbus-run-session is not installed (scripts/setup.sh installs it)"
    exit 77
fi
exec dbus-run-session -- "$@"
