#!/usr/bin/env bash
# Peak resident memory of the program under Xvfb against the stand-in
# service, for S seconds (TAVIK_MEMORY_SECONDS, 20): started plainly, with
# "/REACH", so that the Reach window is open, reads the archive of its
# working folder (TAVIK_ARCHIVE: a copy of it is put there first) and draws
# its map, and with "/COMPARE", the Compare window the same way against the
# reference station TAVIK_COMPARE_CALLS (G4ABC, as compare_bench adds it).
# TAVIK_PROGRAM measures another build of the program the same way;
# TAVIK_REACH_PERIOD (24h, 7d, 30d, ...) is the period both windows show.
# Besides the peak it reports the resident memory a second before the end,
# once the window has been filled.
#
#   bench/reach-memory.sh
#   TAVIK_PROGRAM=/path/to/older/TavikRepView bench/reach-memory.sh
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${TAVIK_MEMORY_SECONDS:-20}"
for tool in xvfb-run /usr/bin/time timeout; do
    command -v "$tool" >/dev/null || { echo "reach-memory.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
cmake --preset default >/dev/null
cmake --build build --target TavikRepView tavik-standin >/dev/null
program="${TAVIK_PROGRAM:-$PWD/build/TavikRepView}"

work="$(mktemp -d)"
standin_pid=""
cleanup()
{
    if [ -n "$standin_pid" ]; then kill "$standin_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
build/tools/tavik-standin --echo 198.51.100.7 >"$work/standin.txt" 2>&1 &
standin_pid=$!
source scripts/standin-env.sh
standin_env "$work/standin.txt" "$standin_pid"

# The resident memory (VmRSS) of the program running under PID's tree, in kB.
program_resident()
{
    local pid child
    for pid in $(pgrep -P "$1"); do
        if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$(readlink -f "$program")" ]; then
            awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"
            return
        fi
        child="$(program_resident "$pid")"
        if [ -n "$child" ]; then echo "$child"; return; fi
    done
}

# measure NAME ARGUMENTS...: prints NAME, the peak resident memory and the
# resident memory a second before the end, in MB
measure()
{
    local name="$1"
    shift
    local dir="$work/$name"
    mkdir -p "$dir/config"
    printf 'MyCall=G4XYZ\r\n' >"$dir/TavikRepView.ini"
    printf '[Configuration]\r\nMyCall=G4XYZ\r\nMyGrid=IO91wm\r\n' >"$dir/config/WSJT-X.ini"
    if [ -n "${TAVIK_ARCHIVE:-}" ]; then cp "$TAVIK_ARCHIVE" "$dir/TavikArchive.sqlite"; fi
    printf '[Orlix]\nTavikCompareCalls=%s\n' "${TAVIK_COMPARE_CALLS:-G4ABC}" >"$dir/config/Orlix.ini"
    if [ -n "${TAVIK_REACH_PERIOD:-}" ]; then
        printf 'TavikReachPeriod=%s\nTavikComparePeriod=%s\n' "$TAVIK_REACH_PERIOD" "$TAVIK_REACH_PERIOD" \
            >>"$dir/config/Orlix.ini"
    fi
    (cd "$dir" && XDG_CONFIG_HOME="$dir/config" exec xvfb-run -a -s "-screen 0 1280x900x24" \
        /usr/bin/time -v -o "$dir/time.txt" timeout -s INT "$seconds" "$program" /NOTIFYOFF "$@" >"$dir/out.txt" 2>&1) &
    local run=$!
    sleep $((seconds - 1))
    local resident
    resident="$(program_resident "$run")"
    wait "$run" || true
    awk -F': ' -v name="$name" -v rss="${resident:-0}" \
        '/Maximum resident/ { printf "%-22s peak %6.1f MB, resident at the end %6.1f MB\n", name, $2 / 1024, rss / 1024 }' \
        "$dir/time.txt"
}
measure "plain"
measure "with /REACH" /REACH
measure "with /COMPARE" /COMPARE
