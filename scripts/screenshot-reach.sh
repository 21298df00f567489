#!/usr/bin/env bash
# Screenshots of the Reach window for the user guide, taken under Xvfb against
# the stand-in service as the demo runs it: docs/view-reach.png (the whole
# window) and docs/view-reach-chart.png (its band by hour chart, cut from the
# first). Needs xvfb-run, xdotool, xwd (x11-apps) and ImageMagick's convert.
#
#   scripts/screenshot-reach.sh            # waits 40 s for the first passes
#   TAVIK_SHOT_WAIT=90 TAVIK_DEMO_LOCATOR=FN31pr scripts/screenshot-reach.sh
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
callsign="${TAVIK_DEMO_CALLSIGN:-N0CALL}"
grid="${TAVIK_DEMO_LOCATOR:-IO91wm}"
wait_seconds="${TAVIK_SHOT_WAIT:-40}"
for tool in xvfb-run xdotool xwd convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshot-reach.sh: $tool is missing (apt-get install xvfb xdotool x11-apps imagemagick)" >&2
        exit 2
    }
done
"$top/scripts/build.sh" default TavikRepView tavik-standin tavik-demo-archive

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tavik-shot.XXXXXX")"
mkdir -p "$scratch/files" "$scratch/config"
# WSJT-X's settings with the station's locator; the program copies them into
# its working folder at start and the Reach window reads "MyGrid=" there.
printf '[Configuration]\r\nMyCall=%s\r\nMyGrid=%s\r\n' "$callsign" "$grid" > "$scratch/config/WSJT-X.ini"
# The day before the first query in the report archive, as if the program
# had been running since yesterday: the Reach window shows a whole day.
"$top/build/tools/tavik-demo-archive" "$scratch/files/TavikArchive.sqlite" "$callsign" "$grid"

standin_pid=""
trap '[ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null; true' EXIT
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/CMakeCache.txt")"
"$top/build/tools/tavik-standin" --callsign "$callsign" --demo-locator "$grid" --echo 203.0.113.7 \
    --version-line "TavikRepView Version: $version, Build: demo" > "$scratch/standin.log" 2>&1 &
standin_pid=$!
source "$top/scripts/standin-env.sh"
standin_env "$scratch/standin.log" "$standin_pid"
export TAVIK_LOCAL_ADDRESS=192.0.2.1 XDG_CONFIG_HOME="$scratch/config"

# Inside Xvfb: start the program with the Reach window, let the first
# queries and passes fill the archive, then take the window.
shoot() {
    cd "$scratch/files"
    "$top/build/TavikRepView" /NOTIFYOFF /REACH &
    local program=$!
    local window
    window="$(xdotool search --sync --name '^Reach')"
    xdotool windowsize "$window" 1100 760
    sleep "$wait_seconds"
    xwd -silent -id "$window" | convert xwd:- "$top/docs/view-reach.png"
    # The chart fills the lower right part of the window.
    convert "$top/docs/view-reach.png" -crop 350x385+745+283 +repage "$top/docs/view-reach-chart.png"
    kill "$program"
    wait "$program" 2>/dev/null || true
}
export top scratch wait_seconds
# xvfb-run is a POSIX sh script, which passes no exported bash function on:
# the function goes along as text.
xvfb-run -a -s "-screen 0 1280x900x24" bash -c "$(declare -f shoot); shoot"
echo "Written: docs/view-reach.png, docs/view-reach-chart.png (the demo's files: $scratch/files)"
