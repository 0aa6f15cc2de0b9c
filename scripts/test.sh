#!/usr/bin/env bash
# Installs what is needed, builds Marovin with every test, and runs them all.
#   scripts/test.sh             the normal build (warnings are errors) and every suite
#   scripts/test.sh --sanitize  the same suites built with the address and undefined-behaviour sanitizers
#   scripts/test.sh --fuzz N    builds the fuzz targets with clang and libFuzzer and runs each for N seconds
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

case "${1:-}" in
--sanitize)
    scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVIN_SANITIZE=ON -DMAROVIN_BUILD_BENCH=OFF
    ctest --test-dir build-asan --output-on-failure -j "$jobs"
    ;;
--fuzz)
    seconds=${2:-30}
    CXX=clang++ scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVIN_FUZZ=ON
    status=0
    for target in build-fuzz/bin/fuzz_*; do
        [ -x "$target" ] || continue
        name=${target##*/fuzz_}
        corpus=$(mktemp -d)
        [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
        echo "== fuzzing $name for ${seconds}s"
        if ! "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
                -print_final_stats=1 "$corpus" 2>"build-fuzz/$name.log"; then
            tail -n 60 "build-fuzz/$name.log"
            status=1
        else
            grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" || true
        fi
        rm -rf "$corpus"
    done
    exit $status
    ;;
"")
    scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMAROVIN_WERROR=ON
    ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
*)
    echo "usage: $0 [--sanitize | --fuzz SECONDS]" >&2
    exit 2
    ;;
esac
