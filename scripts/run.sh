#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. It keeps its files
# in the folder given, else in its data folder.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" default
folder="${1:-${XDG_DATA_HOME:-$HOME/.local/share}/TavikRepView}"
mkdir -p "$folder"
cd "$folder"
exec "$top/build/TavikRepView" "${@:2}"
