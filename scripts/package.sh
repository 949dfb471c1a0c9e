#!/usr/bin/env bash
# Builds the Debian package as a packager would: a Release build installed under
# /usr, warnings not fatal, no tests; prints the package's path.
# OSTREL_PACKAGE_DIR chooses the build folder (default build-package); OSTREL_CMAKE_ARGS
# adds to the configuration (CI makes warnings fatal).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${OSTREL_PACKAGE_DIR:-build-package}
# shellcheck disable=SC2086
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DOSTREL_TESTS=OFF -DOSTREL_WERROR=OFF ${OSTREL_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/ostrel_*.deb
