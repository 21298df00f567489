#!/usr/bin/env bash
# The program's cost while it idles: it runs under Xvfb against the stand-in
# service (at start one echo request, the version page and one query; then
# only the one-second tick and the address watcher), and /usr/bin/time
# measures its CPU time and peak resident memory. An empty Qt Widgets window
# (bench/emptywindow.cpp) is measured the same way.
#
# Each runs twice, for S and for S + 60 M seconds (S = 15, or TAVIK_IDLE_SHORT;
# M = 1, or TAVIK_IDLE_MINUTES), so that the difference is the cost of idling
# alone, start-up left out; /usr/bin/time counts CPU in hundredths of a
# second, so a longer M tells smaller costs apart. Run it on a machine that is
# otherwise quiet.
#
# With TAVIK_IDLE_DESKTOP=1 the display has what a desktop has for the
# alerts: a system tray (trayer) and a notification service (dunst) on a
# session bus of its own (dbus-run-session), so the program runs with its
# tray icon and tells its first alerts.
#
# With TAVIK_IDLE_WSJTX=1 the program listens for WSJT-X on loopback and the
# stand-in plays WSJT-X to it (tavik-standin --wsjtx), sending a status every
# second besides its heartbeats and the changes of its transmit cycles.
#
#   bench/idle-cost.sh
#   TAVIK_IDLE_WSJTX=1 bench/idle-cost.sh
set -euo pipefail
cd "$(dirname "$0")/.."
short="${TAVIK_IDLE_SHORT:-15}"
minutes="${TAVIK_IDLE_MINUTES:-1}"
long=$((short + 60 * minutes))
tools=(xvfb-run /usr/bin/time timeout)
[ "${TAVIK_IDLE_DESKTOP:-0}" = 1 ] && tools+=(trayer dunst dbus-run-session)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "idle-cost.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
cmake --preset default >/dev/null
cmake --build build --target TavikRepView tavik-standin tavik_emptywindow >/dev/null
top="$PWD"

work="$(mktemp -d)"
standin_pid=""
cleanup()
{
    if [ -n "$standin_pid" ]; then kill "$standin_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

play=()
[ "${TAVIK_IDLE_WSJTX:-0}" = 1 ] && play=(--callsign G4XYZ --wsjtx 127.0.0.1:0 --wsjtx-status-every 1)
build/tools/tavik-standin --echo 198.51.100.7 "${play[@]}" >"$work/standin.txt" 2>&1 &
standin_pid=$!
source scripts/standin-env.sh
standin_env "$work/standin.txt" "$standin_pid"

# The desktop's tray and notification service, then the command on its session bus.
cat >"$work/desktop.sh" <<'SH'
#!/bin/sh
trayer --edge top --align right >/dev/null 2>&1 &
tray=$!
# The tray and the notification service need a moment to take their names.
dbus-run-session -- sh -c 'dunst >/dev/null 2>&1 & sleep 2; "$@"; status=$?; kill $! 2>/dev/null; exit $status' sh "$@"
status=$?
kill $tray 2>/dev/null
exit $status
SH
chmod +x "$work/desktop.sh"

# measure NAME SECONDS COMMAND...: prints NAME SECONDS CPU-SECONDS PEAK-KB
measure()
{
    local name="$1" seconds="$2"
    shift 2
    local dir="$work/$name-$seconds"
    mkdir -p "$dir/config"
    printf 'MyCall=G4XYZ\r\n' >"$dir/TavikRepView.ini"
    if [ -n "${TAVIK_WSJTX_PORT:-}" ]; then
        printf '[Orlix]\nTavikWsjtxListen=1\nTavikWsjtxAddress=127.0.0.1\nTavikWsjtxPort=%s\n' \
            "$TAVIK_WSJTX_PORT" >"$dir/config/Orlix.ini"
    fi
    : >"$dir/logflag.txt"
    local run=(/usr/bin/time -v -o "$dir/time.txt" timeout -s INT "$seconds" "$@")
    if [ "${TAVIK_IDLE_DESKTOP:-0}" = 1 ]; then
        run=("$work/desktop.sh" "${run[@]}")
    fi
    (cd "$dir" && XDG_CONFIG_HOME="$dir/config" xvfb-run -a -s "-screen 0 1024x768x24" \
        "${run[@]}" >"$dir/out.txt" 2>&1 || true)
    awk -F': ' -v name="$name" -v seconds="$seconds" '
        /User time/ { user = $2 }
        /System time/ { sys = $2 }
        /Maximum resident/ { rss = $2 }
        END { printf "%s %s %.2f %d\n", name, seconds, user + sys, rss }' "$dir/time.txt"
}

{
    # "/NOTIFYOFF": the stand-in's version page names the same version, so no
    # update notice holds up the start.
    measure program "$short" "$top/build/TavikRepView" /NOTIFYOFF
    measure program "$long" "$top/build/TavikRepView" /NOTIFYOFF
    measure empty "$short" "$top/build/bench/tavik_emptywindow"
    measure empty "$long" "$top/build/bench/tavik_emptywindow"
} >"$work/figures.txt"

queries=$(grep -c ' /query?' "$work/standin.txt" || true)
logged=$(cat "$work"/program-*/Taviklog.txt 2>/dev/null | grep -c '/query?' || true)
awk -v short="$short" -v long="$long" -v minutes="$minutes" -v queries="$queries" -v logged="$logged" '
    { cpu[$1 "," $2] = $3; rss[$1 "," $2] = $4 }
    END {
        printf "%-14s %12s %12s %14s %14s\n", "", "CPU " short " s", "CPU " long " s", "idle CPU", "peak resident"
        for (i = 1; i <= 2; ++i) {
            n = i == 1 ? "program" : "empty";
            label = i == 1 ? "TavikRepView" : "empty window";
            idle = (cpu[n "," long] - cpu[n "," short]) / (60 * minutes) * 100;
            printf "%-14s %10.2f s %10.2f s %12.3f %% %11.1f MB\n", label, cpu[n "," short], cpu[n "," long], idle, rss[n "," long] / 1024
        }
        printf "(queries served by the stand-in: %d; logged by the program: %d)\n", queries, logged
    }' "$work/figures.txt"
