#!/usr/bin/env bash
# Times `pxtool stamp` on a generated 3000 x 2000 JPEG against ImageMagick's convert
# doing the nearest equivalent (scale to 32 x 32, 256 colours, palette PNG), one
# after the other in one run, and prints the medians and their ratio.
# Usage: bench/compare_stamp.sh [RUNS]   (default 9 runs of each command)
# OSTREL_BUILD_DIR chooses the build that holds tools/pxtool (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
# shellcheck source=bench/side_by_side.sh
source bench/side_by_side.sh

echo "Generating a 3000 x 2000 JPEG in $work ..."
convert -size 3000x2000 -seed 1 plasma:fractal -quality 90 in.jpg

# No picks: the stamp needs no settings.
ours=$(median_us "$pxtool" stamp in.jpg -o ours.png)
theirs=$(median_us convert in.jpg -resize 32x32 -colors 256 PNG8:theirs.png)
echo "Medians of $runs runs each (after one warm-up run); ratio < 1 means pxtool is faster."
awk -v o="$ours" -v p="$theirs" 'BEGIN {
    printf "3000x2000 JPEG to a 32x32 stamp   pxtool stamp %7.1f ms   convert %7.1f ms   ratio pxtool/convert %.2f\n",
           o / 1000, p / 1000, (p > 0 ? o / p : 0) }'
