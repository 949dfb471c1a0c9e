#!/usr/bin/env bash
# Installs what is missing, builds, and runs pxtool, the command-line tool over the
# image library, with the arguments given (its help when there are none).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build >/dev/null
exec build/tools/pxtool "${@:---help}"
