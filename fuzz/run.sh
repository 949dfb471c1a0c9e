#!/usr/bin/env bash
# Builds the fuzzers with clang, ASan and UBSan, seeds a corpus from the committed
# seeds (fuzz/corpus/TARGET), the inputs that once failed (fuzz/regressions/TARGET)
# and, for the picture decoders, the public picture suites, and runs one target.
# usage: fuzz/run.sh fuzz_bmp|fuzz_gif|fuzz_png|fuzz_jpeg|fuzz_webp|fuzz_tiff|fuzz_heif|
#                    fuzz_dispatch|fuzz_movie|fuzz_registry|fuzz_script|fuzz_shell_names [SECONDS]
# A finding goes into fuzz/regressions/TARGET once fixed, so CI replays it for good.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: fuzz/run.sh TARGET [SECONDS]}
seconds=${2:-600}
for pkg in clang libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
        { apt-get update -qq && apt-get install -y -qq "$pkg"; }
done
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DOSTREL_FUZZ=ON -DOSTREL_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "$target"

corpus=build-fuzz/corpus/$target
extra=()
mkdir -p "$corpus"
for seeds in "fuzz/corpus/$target" "fuzz/regressions/$target"; do
    [[ -d $seeds ]] && find "$seeds" -type f -exec cp -n {} "$corpus/" \;
done
# Seeds made by imaging_tests' FuzzSeeds tests (ctest -R FuzzSeeds in build/).
made=build/fuzz-seeds/$target
[[ -d $made ]] && find "$made" -type f -exec cp -n {} "$corpus/" \;
data=../shared/testdata
if [[ $target == fuzz_movie ]]; then
    # Movies are our own format: the wizard's movies in every language and the
    # test movie seed it, with the dictionary of its words.
    cmake --build build-fuzz --target ostrel_movies >/dev/null
    for movie in build-fuzz/src/app/*/Pennon.swf; do
        cp -n "$movie" "$corpus/$(basename "$(dirname "$movie")").swf"
    done
    find tests/player/data -name '*.swf' -exec cp -n {} "$corpus/" \; 2>/dev/null || true
    extra=(-dict=fuzz/movie.dict)
elif [[ $target == fuzz_registry || $target == fuzz_script || $target == fuzz_shell_names ]]; then
    : # our own formats: the committed seeds are the whole corpus
elif [[ -d $data ]]; then
    case $target in
        fuzz_bmp) find "$data/bmpsuite" "$data/bmp" -name '*.bmp' -exec cp -n {} "$corpus/" \; ;;
        fuzz_gif)
            # The first byte of a seed picks the frame: 0 for frame 0, 1 for frame 1.
            i=0
            while IFS= read -r -d '' f; do
                for frame in 0 1; do
                    { printf "\\x0$frame"; cat "$f"; } >"$corpus/seed$((i++))"
                done
            done < <(find "$data/gif" -name '*.gif' -size -200k -print0)
            ;;
        fuzz_png) find "$data" -name '*.png' -size -200k -exec cp -n {} "$corpus/" \; ;;
        fuzz_jpeg) find "$data/jpeg" \( -name '*.jpg' -o -name '*.jpeg' \) -size -200k \
            -exec cp -n {} "$corpus/" \; ;;
        fuzz_webp) find "$data" -name '*.webp' -size -200k -exec cp -n {} "$corpus/" \; ;;
        fuzz_tiff) find "$data" \( -name '*.tif' -o -name '*.tiff' \) -size -200k \
            -exec cp -n {} "$corpus/" \; ;;
        fuzz_heif) ;; # no HEIF files among the suites: the made seeds above
        fuzz_dispatch)
            # The first byte of a seed selects the codec: 1 BMP, 2 GIF, 3 JPEG, 4 PNG,
            # 5 WebP, 6 HEIF, 7 TIFF.
            i=0
            while IFS= read -r -d '' f; do
                case $f in *.bmp) t=1 ;; *.gif) t=2 ;; *.jpg | *.jpeg) t=3 ;; *.png) t=4 ;; *.webp) t=5 ;; *.heic | *.avif) t=6 ;; *.tif | *.tiff) t=7 ;; *) continue ;; esac
                { printf "\\x0$t"; cat "$f"; } >"$corpus/seed$((i++))"
            done < <(find "$data" -type f -size -200k -print0)
            ;;
    esac
else
    echo "no test data at $data: starting from an empty corpus"
fi
# The decoders' allocation limits, as the replays of every build use them.
limit=$(awk -v t="$target" '$1 == t { print "-malloc_limit_mb=" $2 }' fuzz/malloc_limits.txt)
[[ -n $limit ]] && extra+=("$limit")
ASAN_OPTIONS=detect_leaks=1 "build-fuzz/fuzz/$target" "$corpus" -max_total_time="$seconds" \
    -rss_limit_mb=2560 -timeout=20 -print_final_stats=1 "${extra[@]}"
