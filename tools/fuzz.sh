#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each for a bounded time, seeded from the
# sample files and the test data. Any crash, leak or broken round trip fails the run; the input
# that caused it is left in build/fuzz/artifacts/. Belongs in tests/data/fuzz/ once fixed.
#   ZEP_FUZZ_SECONDS  time per target (default 60)
#   tools/fuzz.sh [TARGET...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
seconds="${ZEP_FUZZ_SECONDS:-60}"
targets=("$@")
((${#targets[@]})) || targets=(ZepReaderFuzz AppINIFuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Seed folders of each target, in the order given to libFuzzer after its working corpus.
seeds_ZepReaderFuzz=(examples tests/data/bad tests/data/fuzz/zep)
seeds_AppINIFuzz=(tests/data/settings tests/data/fuzz/ini)

# The settings fuzzer rewrites a file through fsync on every run: keep it in memory.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
work="$(mktemp -d "$shm/zepfuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
summary=()
for target in "${targets[@]}"; do
    corpus="build/fuzz/corpus/$target"
    mkdir -p "$corpus" "$work/$target"
    declare -n seeds="seeds_$target"
    existing=()
    for dir in "${seeds[@]}"; do
        [ -d "$dir" ] && existing+=("$dir")
    done
    log="build/fuzz/$target.log"
    echo "== $target: ${seconds}s, seeds: ${existing[*]}"
    status=0
    ZEP_FUZZ_DIR="$work/$target" ASAN_OPTIONS=detect_leaks=1 \
        "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "$corpus" "${existing[@]}" >"$log" 2>&1 || status=$?
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
    took="$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' || true)"
    if ((status != 0)); then
        tail -n 60 "$log"
        echo "$target FAILED (exit $status); inputs in build/fuzz/artifacts/"
        exit 1
    fi
    summary+=("$target: ${runs:-?} executions in ${took:-$seconds} s, corpus $(ls "$corpus" | wc -l) inputs")
done
printf '%s\n' "${summary[@]}"
