#!/usr/bin/env bash
# Times the picture browser's thumbnails of a folder of twenty 4000 x 3000 JPEGs
# (quality 90), whole process, side by side in one run: `pxtool thumbnail` over
# the folder, then vipsthumbnail -s 64 and ImageMagick's convert -thumbnail 64x64
# file by file. Prints the medians and the ratios.
# Usage: bench/compare_thumbnails.sh [RUNS]   (default 3 runs of each command)
# The peers (libvips-tools, imagemagick) are installed when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
missing=()
command -v vipsthumbnail >/dev/null || missing+=(libvips-tools)
command -v convert >/dev/null || missing+=(imagemagick)
if ((${#missing[@]})); then
    sudo=$([[ $(id -u) -eq 0 ]] || echo sudo)
    $sudo apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi
# shellcheck source=bench/side_by_side.sh
source bench/side_by_side.sh

echo "Generating twenty 4000 x 3000 JPEGs in $work ..."
mkdir photos vips magick
convert -size 4000x3000 -seed 1 plasma:fractal -quality 90 photos/photo00.jpg
for i in $(seq -w 1 19); do
    convert photos/photo00.jpg -roll "+${i}0+0" -quality 90 "photos/photo$i.jpg"
done

ours=$(median_us "$pxtool" thumbnail photos/*.jpg -o ours)
vips=$(median_us bash -c 'for f in photos/*.jpg; do vipsthumbnail -s 64 -o "$PWD/vips/%s.png" "$f"; done')
magick=$(median_us bash -c 'for f in photos/*.jpg; do convert "$f" -thumbnail 64x64 "magick/${f##*/}.png"; done')
echo "Medians of $runs runs each (after one warm-up run), the whole folder of 20 files:"
awk -v o="$ours" -v v="$vips" -v m="$magick" 'BEGIN {
    printf "pxtool thumbnail %8.1f ms (%6.1f ms a file)\n", o / 1000, o / 20000
    printf "vipsthumbnail    %8.1f ms (%6.1f ms a file)   vips/pxtool %.2f\n", v / 1000, v / 20000, v / o
    printf "convert          %8.1f ms (%6.1f ms a file)   convert/pxtool %.2f\n", m / 1000, m / 20000, m / o }'
