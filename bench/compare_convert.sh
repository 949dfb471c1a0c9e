#!/usr/bin/env bash
# Times whole pxtool processes against ImageMagick's convert on the same jobs, one
# after the other in one run, and prints the medians and their ratio:
#   1. shrinking a generated 6000 x 4000 24 bpp BMP to 182 x 121
#      (pxtool --resample 182x121 = area averaging; convert -scale = box filter);
#   2. reducing a generated 1000 x 1000 picture to 8 bpp with error diffusion onto
#      the standard 256-colour palette (pxtool --bpp 8:diffuse; convert -dither
#      FloydSteinberg -map with the same 256 colours).
# Usage: bench/compare_convert.sh [RUNS]   (default 5 runs of each command)
# OSTREL_BUILD_DIR chooses the build that holds tools/pxtool (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
command -v perl >/dev/null || { echo "perl is missing"; exit 1; }
# shellcheck source=bench/side_by_side.sh
source bench/side_by_side.sh

compare() {
    local title=$1 ours theirs
    shift
    local -a ours_cmd theirs_cmd
    while [[ $1 != -- ]]; do ours_cmd+=("$1"); shift; done
    shift
    theirs_cmd=("$@")
    ours=$(median_us "${ours_cmd[@]}")
    theirs=$(median_us "${theirs_cmd[@]}")
    awk -v t="$title" -v o="$ours" -v p="$theirs" 'BEGIN {
        printf "%-44s pxtool %7.0f ms   convert %7.0f ms   ratio pxtool/convert %.2f\n",
               t, o / 1000, p / 1000, (p > 0 ? o / p : 0) }'
}

echo "Generating pictures in $work ..."
convert -size 6000x4000 -seed 1 plasma:fractal -type TrueColor -define bmp:format=bmp3 big.bmp
convert -size 1000x1000 -seed 2 plasma:fractal -type TrueColor -define bmp:format=bmp3 mid.bmp

# The standard palette as a 16 x 16 picture of its 256 colours, read from the
# palette pxtool writes into an 8 bpp BMP (after the 14 + 40 header bytes).
"$pxtool" convert mid.bmp bmp std8.bmp bmp --bpp 8
perl -e 'binmode STDIN; binmode STDOUT; read(STDIN, $h, 54); read(STDIN, $p, 1024) == 1024 or die;
         print "P6\n16 16\n255\n";
         for $i (0 .. 255) { ($b, $g, $r) = unpack("C3", substr($p, 4 * $i, 3)); print pack("C3", $r, $g, $b) }' \
    <std8.bmp >palette.ppm

echo "Medians of $runs runs each (after one warm-up run); ratio < 1 means pxtool is faster."
compare "shrink 6000x4000 BMP to 182x121" \
    "$pxtool" convert big.bmp bmp out.bmp bmp --resample 182x121 -- \
    convert big.bmp -scale 182x121 out_im.bmp
compare "1000x1000 to 8 bpp, error diffusion" \
    "$pxtool" convert mid.bmp bmp out8.bmp bmp --bpp 8:diffuse -- \
    convert mid.bmp -dither FloydSteinberg -map palette.ppm out8_im.bmp
