#!/usr/bin/env bash
# Builds the install log reader's fuzz target with clang in build/fuzz and runs it.
#   scripts/fuzz.sh              long run: 10 million executions (or FUZZ_RUNS)
#   scripts/fuzz.sh --smoke      bounded run for the test command (runs and seconds)
#   FUZZ_SECONDS=N               bounds the long run in time as well
#   FUZZ_JOBS=N                  the long run as N processes sharing the corpus,
#                                each with its share of the executions
# New inputs go to build/fuzz/corpus; the committed seeds in fuzz/corpus stay as they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TESSORA_BUILD:-$root/build}/fuzz

runs=${FUZZ_RUNS:-10000000}
seconds=${FUZZ_SECONDS:-0}   # 0: no time limit
if [ "${1:-}" = "--smoke" ]; then
    runs=${FUZZ_SMOKE_RUNS:-200000}
    seconds=${FUZZ_SMOKE_SECONDS:-40}   # on a busy machine the time bound ends it first
fi

cmake -G Ninja -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build"
mkdir -p "$build/corpus" "$build/findings"
cd "$build"
flags=(-max_len=2048 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/findings/" -print_final_stats=1)
jobs=${FUZZ_JOBS:-1}
if [ "${1:-}" = "--smoke" ] || [ "$jobs" -le 1 ]; then
    exec ./install_log_fuzz -runs="$runs" -max_total_time="$seconds" "${flags[@]}" \
        "$build/corpus" "$root/fuzz/corpus"
fi
# Each job writes its own log (fuzz-N.log here); the totals are summed at the end.
rm -f fuzz-*.log
started=$(date +%s)
./install_log_fuzz -jobs="$jobs" -workers="$jobs" -runs=$(( (runs + jobs - 1) / jobs )) \
    -max_total_time="$seconds" "${flags[@]}" "$build/corpus" "$root/fuzz/corpus" || status=$?
total=$(awk '/stat::number_of_executed_units/ { n += $2 } END { print n + 0 }' fuzz-*.log)
crashes=$(ls "$build/findings" | wc -l)
echo "fuzz: $jobs jobs, $total executions in $(( $(date +%s) - started )) s, $crashes findings"
exit "${status:-0}"
