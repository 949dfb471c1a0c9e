# Shared by the side-by-side scripts (sourced, not run): finds or builds pxtool,
# moves into a scratch folder removed on exit, and times whole commands.
# The sourcing script sets `runs` first.

build=${OSTREL_BUILD_DIR:-build}
command -v convert >/dev/null || { echo "ImageMagick's convert is missing (scripts/setup.sh)"; exit 1; }
if [[ ! -x "$build/tools/pxtool" ]]; then
    cmake -S . -B "$build" -G Ninja >/dev/null
    cmake --build "$build" --target pxtool >/dev/null
fi
pxtool=$(cd "$build/tools" && pwd)/pxtool

work=$(mktemp -d "${TMPDIR:-/tmp}/ostrel-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# Wall-clock microseconds of one run of the command.
time_once() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

# Median in microseconds of RUNS timed runs, after one untimed warm-up run.
median_us() {
    local times=()
    "$@" >/dev/null
    for ((i = 0; i < runs; i++)); do times+=("$(time_once "$@")"); done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {
        print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'
}
