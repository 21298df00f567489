#!/usr/bin/env bash
# The whole week under faults of tests/stress/weekunderfaults_test.cpp, a
# second a tick (604,800 ticks, a query every five minutes: about 2,000
# queries against the stand-in), on a small disk of its own. The test command
# runs the same week ten seconds a tick. Prints the test's own line (how long
# it took, the queries, the reports served) and its verdict.
#
#   bench/soak-week.sh            # the week, a second a tick
#   TAVIK_SOAK_DAYS=2 bench/soak-week.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset ci >/dev/null
cmake --build --preset ci --target tavik_week_test >/dev/null
export QT_QPA_PLATFORM=offscreen TAVIK_SOAK_STEP="${TAVIK_SOAK_STEP:-1}"
/usr/bin/time -f "%e s wall, %U s user, %S s system, %M kB peak resident" \
    tests/stress/on-small-disk.sh build/tests/tavik_week_test 2>&1 | grep -E "days a|OK|FAILED|Failure|peak|Expected|Which" 
