#!/usr/bin/env bash
# The demonstration: installs what is missing, builds, starts the stand-in
# service (tools/standin) with made-up reception reports that follow a
# plausible day of a demo station, and starts the program against it in a
# scratch folder.
# Needs no radio and no network; nothing of the operator's own settings or
# files is touched. Closing the window or Ctrl+C ends the demo and the
# stand-in with it. Arguments are passed on to the program (e.g. /DEBUG).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
callsign="${TAVIK_DEMO_CALLSIGN:-N0CALL}"
# The demo station stands in central London unless told otherwise.
locator="${TAVIK_DEMO_LOCATOR:-IO91wm}"
# A second station 30 km away, for the Compare window (Ctrl+M).
reference="${TAVIK_DEMO_REFERENCE:-N0CALL/P}"

"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" default TavikRepView tavik-standin tavik-demo-archive

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tavik-demo.XXXXXX")"
mkdir -p "$scratch/files" "$scratch/config"
# WSJT-X's settings, where the program takes them over from (the scratch
# config folder is the demo's XDG_CONFIG_HOME): the callsign, so that no
# prompt asks for one, and the station's locator.
printf '[Configuration]\nMyCall=%s\nMyGrid=%s\n' "$callsign" "$locator" > "$scratch/config/WSJT-X.ini"
# The program's own settings: the reference station to compare with.
printf '[Orlix]\nTavikCompareCalls=%s\n' "$reference" > "$scratch/config/Orlix.ini"
# The day before the first query in the report archive, the demo station's
# and the reference's, as if the program had been running since yesterday:
# the Reach and Compare windows show a whole day.
"$top/build/tools/tavik-demo-archive" "$scratch/files/TavikArchive.sqlite" "$callsign" "$locator" 24 "$reference"

# Whatever ends the demo (the window closed, Ctrl+C, a kill) ends both.
standin_pid=""
program_pid=""
stop_both() {
    for pid in $program_pid $standin_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_both EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The stand-in echoes a public-looking address (a documentation address: the
# program takes 127.0.0.1 as "lost"), generates reports for the demo callsign
# as heard around the station's locator through the day (the last 90 minutes
# at the first query) and publishes a version page naming this very version,
# so no update notice interrupts the demo. It answers for the reference
# station as for a second station beside the demo's, heard by the same
# receivers. A minute after it starts, a DXpedition to the Chatham Islands
# begins to hear the station (20 m, then 17 m too): alerts for a new entity
# and distance records in the first minutes. It plays WSJT-X too, sending its
# UDP messages to a free port on loopback: FT8 every other cycle, 6 minutes on
# 20 m (heard), 6 on 40 m (heard by nobody), 3 minutes paused, again and
# again; the reports on those bands follow it.
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/CMakeCache.txt")"
"$top/build/tools/tavik-standin" --callsign "$callsign" --demo-locator "$locator" --demo-expedition 60 \
    --reference "$reference" --echo 203.0.113.7 --wsjtx 127.0.0.1:0 \
    --version-line "TavikRepView Version: $version, Build: demo" > "$scratch/standin.log" 2>&1 &
standin_pid=$!
source "$top/scripts/standin-env.sh"
standin_env "$scratch/standin.log" "$standin_pid"
# The program listens on the port the stand-in plays WSJT-X to.
printf 'TavikWsjtxListen=1\nTavikWsjtxAddress=127.0.0.1\nTavikWsjtxPort=%s\n' "$TAVIK_WSJTX_PORT" >> "$scratch/config/Orlix.ini"

# The program goes online only while the machine has a local address other
# than loopback; the demo gives it one, so that it runs on a machine without
# any network as well.
export TAVIK_LOCAL_ADDRESS="${TAVIK_LOCAL_ADDRESS:-192.0.2.1}"
# A settings folder of its own: the last query time starts at yesterday, so
# the first tick queries at once, and the operator's settings stay untouched.
export XDG_CONFIG_HOME="$scratch/config"

echo "Demo callsign $callsign at $locator; the stand-in service answers on ${TAVIK_REPORT_URL}."
echo "The stand-in plays WSJT-X to 127.0.0.1:$TAVIK_WSJTX_PORT, where the program listens."
echo "The demo's files are kept in $scratch/files; its stand-in log is $scratch/standin.log."
echo "Close the window or press Ctrl+C to stop."
cd "$scratch/files"
# "/NOTIFYOFF": the version page names this version, so no notice is due.
"$top/build/TavikRepView" /NOTIFYOFF "$@" &
program_pid=$!
wait "$program_pid"
