#!/usr/bin/env bash
# Times reading a 12-megapixel picture of each newer format, whole process, side
# by side in one run: `pxtool info` (a full decode, turned upright and converted
# to sRGB as the wizard reads it) against each format's own tool decoding the
# same file: dwebp (decode only), heif-convert (to the cheapest output it has),
# tiffinfo -D (reads every strip) and ImageMagick's convert to nothing.
# Prints the medians and the ratios; the goal is pxtool at most 1.3 x each peer.
# Usage: bench/compare_formats.sh [RUNS]   (default 5 runs of each command)
# The peers (webp, libheif-examples, libtiff-tools, imagemagick) come with
# scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
for tool in dwebp cwebp heif-convert heif-enc tiffinfo; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh)"; exit 1; }
done
# shellcheck source=bench/side_by_side.sh
source bench/side_by_side.sh

echo "Generating a 4000 x 3000 photo-like picture in $work ..."
convert -size 4000x3000 -seed 1 plasma:fractal -attenuate 0.3 +noise Gaussian -depth 8 photo.png
cwebp -quiet -q 90 photo.png -o photo.webp
heif-enc -q 90 photo.png -o photo.heic >/dev/null
convert photo.png -compress lzw photo.tiff
ls -l photo.webp photo.heic photo.tiff | awk '{printf "  %-11s %6.1f MB\n", $9, $5 / 1048576}'

report() {
    awk -v n="$1" -v o="$2" -v p="$3" -v peer="$4" 'BEGIN {
        printf "%-5s pxtool info %8.1f ms   %-16s %8.1f ms   pxtool/peer %.2f\n",
            n, o / 1000, peer, p / 1000, o / p }'
}

echo "Medians of $runs runs each (after one warm-up run):"
report WebP "$(median_us "$pxtool" info photo.webp)" "$(median_us dwebp -quiet photo.webp)" dwebp
report HEIC "$(median_us "$pxtool" info photo.heic)" \
    "$(median_us heif-convert photo.heic heif.y4m)" heif-convert
tiff_ours=$(median_us "$pxtool" info photo.tiff)
report TIFF "$tiff_ours" "$(median_us tiffinfo -D photo.tiff)" "tiffinfo -D"
report TIFF "$tiff_ours" "$(median_us convert photo.tiff null:)" "convert"
