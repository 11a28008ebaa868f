#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan into build-fuzz/
# (or $FUZZ_BUILD_DIR) and runs each for a while, several at once.
#
#   fuzz/run.sh [--time SECONDS] [--jobs N] [--no-build] [TARGET...]
#
# TARGET is a name without "fuzz_" (rtf, chm_archive, ...); none means all. Each
# starts from its seeds: fuzz/corpus/<target>/ and the beginnings of the shipped
# files of data/ (gathered here at each run). What a run learns stays in
# build-fuzz/corpus/<target>/. A crash, undefined behaviour or a run out of
# memory or time fails the script; the input is copied into
# fuzz/corpus/<target>/ so that it joins the seeds (commit it with the fix).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH=25
JOBS=$(( $(nproc) > 8 ? 8 : $(nproc) ))
BUILD_FIRST=1
TARGETS=()
while [ $# -gt 0 ]; do
    case "$1" in
        --time) SECONDS_EACH="$2"; shift 2 ;;
        --jobs) JOBS="$2"; shift 2 ;;
        --no-build) BUILD_FIRST=0; shift ;;
        -*) echo "unknown option: $1" >&2; exit 2 ;;
        *) TARGETS+=("$1"); shift ;;
    esac
done

if [ "$BUILD_FIRST" = 1 ]; then
    mkdir -p "$BUILD"
    CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVX_FUZZ=ON -DVX_BUILD_TESTS=OFF > "$BUILD/configure.log" || { cat "$BUILD/configure.log"; exit 1; }
    cmake --build "$BUILD" --target vxfuzz --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
fi
if [ ${#TARGETS[@]} -eq 0 ]; then
    for binary in "$BUILD"/fuzz/fuzz_*; do
        [ -f "$binary" ] && [ -x "$binary" ] && TARGETS+=("$(basename "$binary" | sed 's/^fuzz_//')")
    done
fi

# The first lines (about 4 KB) of a shipped file, as one seed.
seed_from() {
    local out="$1"; shift
    mkdir -p "$out"
    for file in "$@"; do
        head -c 4096 "$file" > "$out/data-$(basename "$file")"
    done
}

# Shipped files a target reads; two files of one input are joined with two form feeds.
gather_seeds() {
    local target="$1" out="$BUILD/seeds/$1" d="$ROOT/data"
    rm -rf "$out"
    mkdir -p "$out"
    case "$target" in
        module) seed_from "$out" "$d"/Modules/Bible/*.txt ;;
        commentary) seed_from "$out" "$d"/Modules/Commentary/*.txt ;;
        dictionary) seed_from "$out" "$d"/Modules/Dictionary/*.txt ;;
        names) seed_from "$out" "$d"/Modules/Name/*.txt ;;
        tlnotes) seed_from "$out" "$d"/Modules/TLNotes.txt ;;
        records) seed_from "$out" "$d"/SysDefs/Translations.txt ;;
        booknames | language) seed_from "$out" "$d"/SysDefs/Books.txt "$d"/SysDefs/books_*.txt ;;
        catalog) seed_from "$out" "$d"/msg/*.mes ;;
        rtf) seed_from "$out" "$ROOT"/tests/platform/rtf/*.rtf ;;
        chm_contents) seed_from "$out" "$ROOT"/help/*.hhc ;;
        chm_archive)
            cp "$ROOT"/tests/study/chm/*.chm "$out/"
            # The program's help pages compiled as the build compiles them: a sound archive.
            rm -rf "$BUILD/seeds/help" && cp -r "$ROOT/help" "$BUILD/seeds/help"
            (cd "$BUILD/seeds/help" && chmcmd --no-html-scan Help.hhp > /dev/null 2>&1) && cp "$BUILD/seeds/help/Help.chm" "$out/" ;;
        categories)
            for names in "$d"/SysDefs/Categories_*.txt; do
                { cat "$d/SysDefs/Categories.txt"; printf '\f\f'; cat "$names"; } | head -c 8192 \
                    > "$out/data-$(basename "$names")"
            done ;;
    esac
}

run_one() {
    local target="$1" binary="$BUILD/fuzz/fuzz_$1" log="$BUILD/logs/$1.log"
    local seeds="$ROOT/fuzz/corpus/$1" corpus="$BUILD/corpus/$1" crashes="$BUILD/crashes/$1"
    mkdir -p "$seeds" "$corpus" "$crashes" "$BUILD/logs"
    gather_seeds "$target"
    # Leaks are looked for by the sanitizer build of the tests: checking after
    # every input that leaves a Qt cache behind would slow a run thirtyfold, and
    # fontconfig keeps its first allocations to the end.
    if (cd "$crashes" && ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 \
        "$binary" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
        -detect_leaks=0 \
        -max_len=16384 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "$seeds" "$BUILD/seeds/$target" > "$log" 2>&1); then
        echo "fuzz_$target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs, no crash"
        return 0
    fi
    echo "fuzz_$target FAILED; the end of its log ($log):"
    tail -n 40 "$log"
    for found in "$crashes"/*; do
        [ -f "$found" ] || continue
        cp "$found" "$seeds/"
        echo "  input kept as a seed: fuzz/corpus/$target/$(basename "$found")"
    done
    return 1
}

# The targets' program folders live in memory: the checked writer's syncs to
# disk would otherwise take most of each run.
SCRATCH="$(mktemp -d "${FUZZ_SCRATCH:-/dev/shm}/vxfuzz.XXXXXX" 2>/dev/null || mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT
export TMPDIR="$SCRATCH"

export -f run_one gather_seeds seed_from
export ROOT BUILD SECONDS_EACH
printf '%s\n' "${TARGETS[@]}" | xargs -P "$JOBS" -I{} bash -c 'run_one "$@"' _ {}
