#!/usr/bin/env bash
# Configures and builds with a CMake preset (default: "default") into build/;
# further arguments name the targets to build (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
cmake --preset "$preset" >/dev/null
if [ $# -gt 1 ]; then
    cmake --build --preset "$preset" --target "${@:2}"
else
    cmake --build --preset "$preset"
fi
