#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60).
# Usage: fuzz/run.sh [SECONDS] [TARGET...]
# Corpora: fuzz/corpus/<target>/ (seeded from tests/data), findings go to build-fuzz/findings/.
# A target may ask for more: fuzz/<target>.seconds holds its shortest run, fuzz/<target>.timeout
# the seconds one input may take (20 otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
build=build-fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(find "$build" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
fi
mkdir -p "$build/findings"
status=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    # Seeds: the committed corpus and regressions of this target, plus matching test fixtures.
    for seed in fuzz/corpus/"$t" fuzz/regressions/"$t"; do
        [ -d "$seed" ] && cp -n "$seed"/* "$corpus"/ 2>/dev/null || true
    done
    if [ -f "fuzz/$t.seeds" ]; then
        while read -r pattern; do
            for f in $pattern; do [ -f "$f" ] && cp -n "$f" "$corpus"/ || true; done
        done < "fuzz/$t.seeds"
    fi
    run_seconds=$seconds
    if [ -f "fuzz/$t.seconds" ] && [ "$(cat "fuzz/$t.seconds")" -gt "$run_seconds" ]; then
        run_seconds=$(cat "fuzz/$t.seconds")
    fi
    timeout=20
    [ -f "fuzz/$t.timeout" ] && timeout=$(cat "fuzz/$t.timeout")
    echo "== $t: ${run_seconds}s"
    if ! "$build/$t" -max_total_time="$run_seconds" -max_len=65536 -timeout="$timeout" -rss_limit_mb=2048 \
            -artifact_prefix="$build/findings/$t-" -print_final_stats=0 "$corpus" \
            > "$build/$t.log" 2>&1; then
        echo "!! $t found a problem; see $build/$t.log and $build/findings/"
        tail -30 "$build/$t.log"
        status=1
    fi
done
exit $status
