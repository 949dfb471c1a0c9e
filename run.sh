#!/usr/bin/env bash
# Installs what is missing, builds, fills in the wizard's registry settings
# (ostrel-setup, never overwriting a value), and runs the wizard. This build has
# no display back end yet: the wizard runs headless with a demo script (or the
# script given as the first argument) and prints where its screenshots are.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build >/dev/null
build/tools/ostrel-setup >/dev/null
export OSTREL_BACKEND=headless
export OSTREL_SCRIPT=${1:-data/demo/walkthrough.txt}
exec build/src/app/ostrel
