#!/usr/bin/env bash
# Screenshots of the Compare window for the user guide, taken under Xvfb against
# the stand-in service as the demo runs it (the demo station N0CALL against
# the reference N0CALL/P, with the day before in the archive):
# docs/view-compare.png (the whole window, all bands) and
# docs/view-compare-20m.png (20 m alone, the row clicked). Needs xvfb-run,
# xdotool, xwd (x11-apps) and ImageMagick's convert.
#
#   scripts/screenshot-compare.sh          # waits 15 s for the window to fill
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
callsign="${TAVIK_DEMO_CALLSIGN:-N0CALL}"
grid="${TAVIK_DEMO_LOCATOR:-IO91wm}"
reference="${TAVIK_DEMO_REFERENCE:-N0CALL/P}"
wait_seconds="${TAVIK_SHOT_WAIT:-15}"
for tool in xvfb-run xdotool xwd convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshot-compare.sh: $tool is missing (apt-get install xvfb xdotool x11-apps imagemagick)" >&2
        exit 2
    }
done
"$top/scripts/build.sh" default TavikRepView tavik-standin tavik-demo-archive

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tavik-shot.XXXXXX")"
mkdir -p "$scratch/files" "$scratch/config"
printf '[Configuration]\r\nMyCall=%s\r\nMyGrid=%s\r\n' "$callsign" "$grid" > "$scratch/config/WSJT-X.ini"
# The reference as the demo sets it, and the last 24 hours shown.
printf '[Orlix]\nTavikCompareCalls=%s\nTavikComparePeriod=24h\n' "$reference" > "$scratch/config/Orlix.ini"
"$top/build/tools/tavik-demo-archive" "$scratch/files/TavikArchive.sqlite" "$callsign" "$grid" 24 "$reference"

standin_pid=""
trap '[ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null; true' EXIT
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/CMakeCache.txt")"
"$top/build/tools/tavik-standin" --callsign "$callsign" --demo-locator "$grid" --reference "$reference" \
    --echo 203.0.113.7 --version-line "TavikRepView Version: $version, Build: demo" > "$scratch/standin.log" 2>&1 &
standin_pid=$!
source "$top/scripts/standin-env.sh"
standin_env "$scratch/standin.log" "$standin_pid"
export TAVIK_LOCAL_ADDRESS=192.0.2.1 XDG_CONFIG_HOME="$scratch/config"

# Inside Xvfb: start the program with the Compare window, let it read the
# archive, take the window, then click the 20 m row and take it again.
shoot() {
    cd "$scratch/files"
    "$top/build/TavikRepView" /NOTIFYOFF /COMPARE &
    local program=$!
    local window
    window="$(xdotool search --sync --name '^Compare')"
    xdotool windowmove "$window" 0 0 windowsize "$window" 1180 820
    sleep "$wait_seconds"
    xwd -silent -id "$window" | convert xwd:- "$top/docs/view-compare.png"
    # The table's rows start below its header; 20 m is the sixth band of the demo.
    xdotool mousemove --window "$window" 60 "${TAVIK_SHOT_ROW_Y:-238}" click 1
    sleep 3
    xwd -silent -id "$window" | convert xwd:- "$top/docs/view-compare-20m.png"
    kill "$program"
    wait "$program" 2>/dev/null || true
}
export top scratch wait_seconds
# xvfb-run is a POSIX sh script, which passes no exported bash function on:
# the function goes along as text.
xvfb-run -a -s "-screen 0 1280x900x24" bash -c "$(declare -f shoot); shoot"
echo "Written: docs/view-compare.png, docs/view-compare-20m.png (the demo's files: $scratch/files)"
