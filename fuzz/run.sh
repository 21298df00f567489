#!/usr/bin/env bash
# Runs every fuzz target (or those named) for a bounded time each, starting
# from the committed seeds in fuzz/corpus/<target>/. New inputs go to
# build-fuzz/corpus/<target>/, crashes to build-fuzz/findings/. Exits non-zero
# at the first target that finds a fault.
#
#   fuzz/run.sh                 10 seconds each (what CI runs)
#   fuzz/run.sh 600             ten minutes each
#   fuzz/run.sh 60 responsepass one target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(readattribute formatreport responsepass versionpage settingstext callsignfile csvgrid httpbody wsjtxmessage)
fi

build="$PWD/build-fuzz"
mkdir -p "$build/findings"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for t in "${targets[@]}"; do
    exe="$build/fuzz/fuzz_$t"
    [ -x "$exe" ] || { echo "fuzz/run.sh: $exe is missing; build with: cmake --build --preset fuzz" >&2; exit 2; }
    mkdir -p "$build/corpus/$t"
    echo "== $t: ${seconds}s"
    log="$build/findings/$t.log"
    status=0
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "$PWD/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY)|property does not hold|runtime error|Test unit written' \
        "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log" >&2
        echo "fuzz/run.sh: $t found a fault (exit $status); the input is in $build/findings/, the log in $log" >&2
        exit 1
    fi
done
