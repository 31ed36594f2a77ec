#!/usr/bin/env bash
# Fuzzes the RTF load in two targets: rtf_fuzzer, the reader's plain C++ core, and
# rtf_document_fuzzer, the whole load into a QTextDocument on the offscreen
# platform. Builds both with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into their own build folder (incrementally), replays the seed corpus and the real
# RTF files of the shared test data through each, then fuzzes each for its share of
# a bounded time. Exits non-zero on any finding; the input that caused it is left in
# the build folder's artifacts/.
#
#   TAVREL_FUZZ_SECONDS     how long to fuzz both together (default 75)
#   TAVREL_FUZZ_BUILD_DIR   build folder (default build-fuzz-rtf)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${TAVREL_FUZZ_BUILD_DIR:-build-fuzz-rtf}
seconds=${TAVREL_FUZZ_SECONDS:-75}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S fuzz/rtf -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
fi
cmake --build "$build"
mkdir -p "$build/artifacts"

seeds=(fuzz/rtf/corpus)
shared="$root/../shared/testdata/rtf"
[ -d "$shared" ] && seeds+=("$shared")
mapfile -d '' files < <(find "${seeds[@]}" -maxdepth 1 -type f -name '*.rtf' -print0 | sort -z)

options=(
    -dict=fuzz/rtf/rtf.dict
    -artifact_prefix="$build/artifacts/"
    -timeout=10
    -rss_limit_mb=2048
    -max_len=16384
    -print_final_stats=1
)

# fuzz TARGET SECONDS: replays every seed once as it is, then fuzzes; new inputs go
# to the build folder's corpus of that target, never into the tree.
fuzz() {
    local target=$1 time=$2
    local fuzzer="$build/$target" log="$build/$target.log" corpus="$build/corpus-$target"
    mkdir -p "$corpus"
    if ! "$fuzzer" "${options[@]}" "${files[@]}" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$target: replaying the corpus found a fault" >&2
        return 1
    fi
    echo "$target: replayed ${#files[@]} corpus files"
    if ! "$fuzzer" "${options[@]}" -max_total_time="$time" "$corpus" "${seeds[@]}" \
            >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "$target: found a fault; see $build/artifacts/" >&2
        return 1
    fi
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
    echo "$target: ${runs:-?} executions in $time s without a finding"
}

# The document target is the slower one: it gets the larger share of the time.
core_seconds=$((seconds * 2 / 5))
status=0
fuzz rtf_fuzzer "$core_seconds" || status=1
fuzz rtf_document_fuzzer "$((seconds - core_seconds))" || status=1
exit $status
