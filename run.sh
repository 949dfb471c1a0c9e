#!/usr/bin/env bash
# Installs what is missing, builds, fills in the wizard's registry settings
# (ostrel-setup, never overwriting a value), puts the wizard in this user's desktop
# menu, and runs it: in a real window when a display is available ($DISPLAY), else
# headless with the demo script. A script given as the first argument (or
# OSTREL_BACKEND=headless) runs headless and prints where the screenshots are.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build >/dev/null
build/tools/ostrel-setup >/dev/null

# The menu entry and icon where desktop menus look for this user's programs.
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
install -D -m 644 build/data/ostrel.desktop "$data_home/applications/ostrel.desktop"
install -D -m 644 build/data/ostrel.png "$data_home/icons/hicolor/32x32/apps/ostrel.png"
install -D -m 644 build/data/ostrel-128.png "$data_home/icons/hicolor/128x128/apps/ostrel.png"
# File managers offer "Open with Ostrel" once the picture types are indexed.
if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$data_home/applications" 2>/dev/null || true
fi

if [[ $# -eq 0 && -n "${DISPLAY:-}" && "${OSTREL_BACKEND:-x11}" == x11 ]]; then
    export OSTREL_BACKEND=x11
    exec build/src/app/ostrel
fi
export OSTREL_BACKEND=headless
export OSTREL_SCRIPT=${1:-data/demo/walkthrough.txt}
if [[ $# -eq 0 && -z "${OSTREL_REGISTRY:-}" ]]; then
    # The demo browses the pictures drawn at build time, with settings of its own
    # so that the user's remembered folder stays as it is.
    export OSTREL_REGISTRY=$PWD/build/data/demo/registry.reg
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards\\user]\n"BrowseStamp"="%s"\n' \
        "$PWD/build/data/demo/pictures" >"$OSTREL_REGISTRY"
    build/tools/ostrel-setup >/dev/null
fi
exec build/src/app/ostrel
