#!/usr/bin/env bash
# Installs the project from BUILD (default build) into a temporary DESTDIR and
# builds tests/consumer against the installed library twice, with
# `pkg-config --cflags --libs pximage` and with find_package(PxImage), outside the
# project's tree; each build makes a stamp-sized PNG of the installed 128-pixel icon
# and checks it with the installed pxtool.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
prefix=$dest/usr
pc=$(find "$prefix/lib" -name pximage.pc)
libdir=$(dirname "$(dirname "$pc")")
picture=$prefix/share/icons/hicolor/128x128/apps/ostrel.png

check() {
    LD_LIBRARY_PATH=$libdir "$1" "$picture" "$work/stamp.png"
    "$prefix/bin/pxtool" info "$work/stamp.png" | grep -q '^width=32 height=32 bpp=8 ' ||
        { echo "consumer: $1 wrote no 32 x 32 palette PNG" >&2; exit 1; }
    rm -f "$work/stamp.png"
}

# shellcheck disable=SC2046
c++ -std=c++20 -Wall -Wextra -Werror -o "$work/by-pkg-config" "$here/stamp_consumer.cpp" \
    $(PKG_CONFIG_PATH=$(dirname "$pc") pkg-config --cflags --libs pximage)
check "$work/by-pkg-config"

cmake -S "$here" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
check "$work/cmake/stamp_consumer"
echo "consumer: built with pkg-config and with find_package(PxImage); both wrote 32 x 32 stamps"
