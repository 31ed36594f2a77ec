#!/usr/bin/env bash
# Fuzzes the RTF reader's plain C++ core: builds the libFuzzer target with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into its own build folder
# (incrementally), replays the seed corpus and the real RTF files of the shared
# test data, then fuzzes for a bounded time. Exits non-zero on any finding; the
# input that caused it is left in the build folder's artifacts/.
#
#   TAVREL_FUZZ_SECONDS     how long to fuzz (default 75)
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
fuzzer="$build/rtf_fuzzer"
mkdir -p "$build/artifacts" "$build/corpus"
log="$build/fuzz.log"

seeds=(fuzz/rtf/corpus)
shared="$root/../shared/testdata/rtf"
[ -d "$shared" ] && seeds+=("$shared")

options=(
    -dict=fuzz/rtf/rtf.dict
    -artifact_prefix="$build/artifacts/"
    -timeout=10
    -rss_limit_mb=2048
    -max_len=16384
    -print_final_stats=1
)

# Replay: every seed once, as it is.
mapfile -d '' files < <(find "${seeds[@]}" -maxdepth 1 -type f -name '*.rtf' -print0 | sort -z)
if ! "$fuzzer" "${options[@]}" "${files[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "rtf fuzzer: replaying the corpus found a fault" >&2
    exit 1
fi
echo "rtf fuzzer: replayed ${#files[@]} corpus files"

# Fuzz: new inputs go to the build folder's corpus, never into the tree.
if ! "$fuzzer" "${options[@]}" -max_total_time="$seconds" "$build/corpus" "${seeds[@]}" \
        >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "rtf fuzzer: found a fault; see $build/artifacts/" >&2
    exit 1
fi
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
echo "rtf fuzzer: ${runs:-?} executions in ${seconds} s without a finding"
