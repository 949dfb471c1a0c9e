#!/usr/bin/env bash
# Installs what is missing, builds from the sources and runs every test.
# OSTREL_BUILD_DIR and OSTREL_CMAKE_ARGS choose another build (the sanitizer run uses them).
# A developer's build: a compiler warning fails it (OSTREL_WERROR).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build=${OSTREL_BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$build" -G Ninja -DOSTREL_WERROR=ON ${OSTREL_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
