#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each for a bounded time, seeded from the
# sample files and the test data. Any crash, leak or broken round trip fails the run; the input
# that caused it is left in build/fuzz/artifacts/. Belongs in tests/data/fuzz/ once fixed.
#   ZEP_FUZZ_SECONDS  time per target (default 60)
#   ZEP_FUZZ_MAX_LEN  largest input tried, in bytes (default 16384)
#   ZEP_FUZZ_KEEP=1   after a clean run, add to tests/data/fuzz/ the inputs of the working
#                     corpus that reach code the kept ones do not (a small set that covers it,
#                     libFuzzer's -set_cover_merge=1)
#   tools/fuzz.sh [TARGET...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
seconds="${ZEP_FUZZ_SECONDS:-60}"
max_len="${ZEP_FUZZ_MAX_LEN:-16384}"
targets=("$@")
((${#targets[@]})) || targets=(ZepReaderFuzz AppINIFuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Seed folders of each target, in the order given to libFuzzer after its working corpus; the
# last one is where the inputs worth keeping go.
seeds_ZepReaderFuzz=(examples tests/data/bad tests/data/fuzz/zep)
seeds_AppINIFuzz=(tests/data/settings tests/data/fuzz/ini)

# The settings fuzzer rewrites a file through fsync on every run: keep it in memory.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
work="$(mktemp -d "$shm/zepfuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p build/fuzz/artifacts
# Adds to the last seed folder the fewest inputs of the working corpus that reach the edges the
# seeds do not: the seeds are copied (as seed-*) into a scratch folder, the corpus is merged into
# it by set cover over edges, and whatever the merge added is moved to the folder kept in git.
keep_new_inputs() {
    local target="$1" corpus="$2" log="$3" known="$work/$1-known" dir file
    shift 3
    mkdir -p "$known"
    for dir in "$@"; do
        for file in "$dir"/*; do
            if [ -f "$file" ]; then
                cp "$file" "$known/seed-${dir//\//-}-$(basename "$file")"
            fi
        done
    done
    ZEP_FUZZ_DIR="$work/$target" "build/fuzz/fuzz/$target" -set_cover_merge=1 -use_counters=0 \
        -max_len="$max_len" "$known" "$corpus" >>"$log" 2>&1
    local keep="${*: -1}" added=0
    for file in "$known"/*; do
        case "$(basename "$file")" in
        seed-*) ;;
        *) mv "$file" "$keep/" && added=$((added + 1)) ;;
        esac
    done
    echo "$target: $added new inputs kept in $keep"
}

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
        "build/fuzz/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$target-" \
        "$corpus" "${existing[@]}" >"$log" 2>&1 || status=$?
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
    took="$(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' || true)"
    if ((status != 0)); then
        tail -n 60 "$log"
        echo "$target FAILED (exit $status); inputs in build/fuzz/artifacts/"
        exit 1
    fi
    if [ "${ZEP_FUZZ_KEEP:-0}" = 1 ]; then
        keep_new_inputs "$target" "$corpus" "$log" "${existing[@]}"
    fi
    summary+=("$target: ${runs:-?} executions in ${took:-$seconds} s, corpus $(ls "$corpus" | wc -l) inputs")
done
printf '%s\n' "${summary[@]}"
