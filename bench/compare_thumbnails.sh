#!/usr/bin/env bash
# Times the picture browser's thumbnails of a folder of twenty 4000 x 3000 JPEGs
# with photographic noise (quality 90), whole process, side by side in one run:
# `pxtool thumbnail` over the folder, then vipsthumbnail -s 64 and ImageMagick's
# convert -thumbnail 64x64 file by file. Prints the medians and the ratios. Then
# three cases, each against `vipsthumbnail -s 64` given the whole folder in one
# process and `djpeg -scale 1/8` file by file: the photos decoded (cold, with the
# one-core floor `pxtool thumbnail -j 1` beside), the same photos carrying a
# 160 x 120 EXIF thumbnail (put in by a small Python helper below), and a warm
# desktop thumbnail cache (`pxtool thumbnail --cache`, XDG_CACHE_HOME in the
# scratch folder).
# Usage: bench/compare_thumbnails.sh [RUNS]   (default 3 runs of each command)
# The peers (libvips-tools, imagemagick, libjpeg-turbo-progs) are installed when
# missing.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
missing=()
command -v vipsthumbnail >/dev/null || missing+=(libvips-tools)
command -v convert >/dev/null || missing+=(imagemagick)
command -v djpeg >/dev/null || missing+=(libjpeg-turbo-progs)
if ((${#missing[@]})); then
    sudo=$([[ $(id -u) -eq 0 ]] || echo sudo)
    $sudo apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi
# shellcheck source=bench/side_by_side.sh
source bench/side_by_side.sh

echo "Generating twenty 4000 x 3000 JPEGs in $work ..."
mkdir photos vips magick
convert -size 4000x3000 -seed 1 plasma:fractal -attenuate 0.3 +noise Gaussian -depth 8 \
    -quality 90 photos/photo00.jpg
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

# An APP1 right after SOI: IFD0 with orientation 1, IFD1 naming the thumbnail
# (Compression 6, JPEGInterchangeFormat and its length) that follows it.
add_exif_thumbnail() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
photo, thumb = (open(p, 'rb').read() for p in sys.argv[1:3])
ifd1 = 8 + 2 + 12 + 4
data = ifd1 + 2 + 3 * 12 + 4
tiff = b'MM\x00\x2a' + struct.pack('>I', 8)
tiff += struct.pack('>H', 1) + struct.pack('>HHIHH', 0x0112, 3, 1, 1, 0) + struct.pack('>I', ifd1)
tiff += struct.pack('>H', 3) + struct.pack('>HHIHH', 0x0103, 3, 1, 6, 0)
tiff += struct.pack('>HHII', 0x0201, 4, 1, data) + struct.pack('>HHII', 0x0202, 4, 1, len(thumb))
tiff += struct.pack('>I', 0) + thumb
app1 = b'Exif\x00\x00' + tiff
open(sys.argv[1], 'wb').write(photo[:2] + b'\xff\xe1' + struct.pack('>H', len(app1) + 2) + app1 + photo[2:])
PY
}

# Prints one case's three medians side by side.
side_by_side() {
    awk -v t="$1" -v o="$2" -v v="$3" -v d="$4" 'BEGIN {
        printf "%s:\n", t
        printf "  pxtool thumbnail %8.1f ms (%6.1f ms a file)\n", o / 1000, o / 20000
        printf "  vipsthumbnail    %8.1f ms (%6.1f ms a file)   vips/pxtool %.2f\n", v / 1000, v / 20000, v / o
        printf "  djpeg 1/8        %8.1f ms (%6.1f ms a file)   djpeg/pxtool %.2f\n", d / 1000, d / 20000, d / o }'
}

mkdir ours_one vips_folder
ours=$(median_us "$pxtool" thumbnail photos/*.jpg -o ours)
one=$(median_us "$pxtool" thumbnail -j 1 photos/*.jpg -o ours_one)
vips=$(median_us bash -c 'vipsthumbnail -s 64 -o "$PWD/vips_folder/%s.png" photos/*.jpg')
djpeg=$(median_us bash -c 'for f in photos/*.jpg; do djpeg -scale 1/8 "$f" >/dev/null; done')
side_by_side "Photos decoded, no EXIF thumbnail, cold cache (every core)" "$ours" "$vips" "$djpeg"
awk -v o="$one" -v v="$vips" 'BEGIN {
    printf "  pxtool -j 1      %8.1f ms (%6.1f ms a file)   vips/pxtool %.2f\n", o / 1000, o / 20000, v / o }'

echo "Putting a 160 x 120 EXIF thumbnail into a copy of each ..."
mkdir exif vips_exif ours_exif
for f in photos/*.jpg; do
    convert "$f" -thumbnail '160x120!' -quality 80 thumb.jpg
    cp "$f" "exif/${f##*/}"
    add_exif_thumbnail "exif/${f##*/}" thumb.jpg
done
ours=$(median_us "$pxtool" thumbnail exif/*.jpg -o ours_exif)
vips=$(median_us bash -c 'vipsthumbnail -s 64 -o "$PWD/vips_exif/%s.png" exif/*.jpg')
djpeg=$(median_us bash -c 'for f in exif/*.jpg; do djpeg -scale 1/8 "$f" >/dev/null; done')
side_by_side "Photos with an EXIF thumbnail" "$ours" "$vips" "$djpeg"

# The warm-up run of median_us fills the cache; the timed runs find it.
mkdir cache ours_cached
ours=$(XDG_CACHE_HOME=$PWD/cache median_us "$pxtool" thumbnail --cache photos/*.jpg -o ours_cached)
vips=$(median_us bash -c 'vipsthumbnail -s 64 -o "$PWD/vips/%s.png" photos/*.jpg')
djpeg=$(median_us bash -c 'for f in photos/*.jpg; do djpeg -scale 1/8 "$f" >/dev/null; done')
side_by_side "A warm desktop thumbnail cache (peers decode the photos)" "$ours" "$vips" "$djpeg"
