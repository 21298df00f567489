#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# headless; then, unless TAVIK_SKIP_WINDOWS=1, checks that the Windows code
# compiles (scripts/check-windows.sh); then, unless TAVIK_SKIP_SANITIZERS=1,
# builds and runs the whole suite once more under AddressSanitizer (leak
# detection on) and UndefinedBehaviorSanitizer; then, unless TAVIK_SKIP_FUZZ=1,
# builds the fuzz targets with clang and runs each for TAVIK_FUZZ_SECONDS (10)
# seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

scripts/build.sh ci
ctest --preset ci -j2

if [ "${TAVIK_SKIP_WINDOWS:-0}" != "1" ]; then
    scripts/check-windows.sh
fi

if [ "${TAVIK_SKIP_SANITIZERS:-0}" != "1" ]; then
    scripts/build.sh asan
    ctest --preset asan -j2
fi

if [ "${TAVIK_SKIP_FUZZ:-0}" != "1" ]; then
    scripts/build.sh fuzz
    fuzz/run.sh "${TAVIK_FUZZ_SECONDS:-10}"
fi
