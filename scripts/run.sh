#!/usr/bin/env bash
# Installs what is missing, builds and starts the program. It keeps its files
# in the folder given (created when missing), else in its data folder
# ($XDG_DATA_HOME/TavikRepView, else ~/.local/share/TavikRepView). Further
# arguments are passed on to the program (e.g. /RESET).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" default TavikRepView
if [ $# -eq 0 ]; then
    exec "$top/build/TavikRepView" /DATAFOLDER
fi
mkdir -p "$1"
cd "$1"
exec "$top/build/TavikRepView" "${@:2}"
