#!/usr/bin/env bash
# Screenshots of the alerts for the user guide, taken under Xvfb against the
# stand-in service as the demo runs it, with a tray (trayer) and a
# notification service (dunst) on a session bus of their own:
# docs/alert-notification.png (the notifications of the demo's second pass,
# as dunst shows them), docs/view-alerts.png (the Alerts window) and
# docs/view-alert-settings.png (the settings dialog). The second pass comes
# five minutes after the start, so this takes about six minutes. Needs
# xvfb-run, dbus-run-session, dunst, trayer, xdotool, xwd (x11-apps) and
# ImageMagick's convert.
#
#   scripts/screenshot-alerts.sh
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
callsign="${TAVIK_DEMO_CALLSIGN:-N0CALL}"
grid="${TAVIK_DEMO_LOCATOR:-IO91wm}"
for tool in xvfb-run dbus-run-session dunst dunstctl trayer xdotool xwd convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshot-alerts.sh: $tool is missing (apt-get install xvfb dbus-daemon dunst trayer xdotool x11-apps imagemagick)" >&2
        exit 2
    }
done
"$top/scripts/build.sh" default TavikRepView tavik-standin tavik-demo-archive

scratch="$(mktemp -d "${TMPDIR:-/tmp}/tavik-shot.XXXXXX")"
mkdir -p "$scratch/files" "$scratch/config"
printf '[Configuration]\r\nMyCall=%s\r\nMyGrid=%s\r\n' "$callsign" "$grid" > "$scratch/config/WSJT-X.ini"
"$top/build/tools/tavik-demo-archive" "$scratch/files/TavikArchive.sqlite" "$callsign" "$grid"
# Notifications that stay until the screenshot, in a plain light frame.
cat > "$scratch/dunstrc" <<'RC'
[global]
markup = full
format = "<b>%s</b>\n%b"
width = 460
origin = top-right
offset = 10x10
font = Liberation Sans 10
frame_width = 1
frame_color = "#5a7db5"
padding = 10
horizontal_padding = 10
history_length = 100
idle_threshold = 0
show_age_threshold = -1
show_indicators = no
[urgency_normal]
background = "#f7f7f2"
foreground = "#202020"
timeout = 0
RC

standin_pid=""
trap '[ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null; true' EXIT
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/CMakeCache.txt")"
"$top/build/tools/tavik-standin" --callsign "$callsign" --demo-locator "$grid" --demo-expedition 60 \
    --echo 203.0.113.7 --version-line "TavikRepView Version: $version, Build: demo" > "$scratch/standin.log" 2>&1 &
standin_pid=$!
source "$top/scripts/standin-env.sh"
standin_env "$scratch/standin.log" "$standin_pid"
export TAVIK_LOCAL_ADDRESS=192.0.2.1 XDG_CONFIG_HOME="$scratch/config"

# Inside Xvfb and the session bus: the desktop, the program, the shots.
shoot() {
    trayer --edge bottom --align right --widthtype request --height 24 >/dev/null 2>&1 &
    dunst -config "$scratch/dunstrc" >/dev/null 2>&1 &
    sleep 2
    cd "$scratch/files"
    "$top/build/TavikRepView" /NOTIFYOFF &
    local program=$!
    local main
    main="$(xdotool search --sync --name '^TavikRepView')"
    # The first pass catches up on the last 90 minutes (whatever it told is
    # put away); the second, five minutes later, brings the expedition.
    sleep 60
    dunstctl close-all
    for _ in $(seq 360); do
        [ "$(dunstctl count displayed)" -gt 0 ] && break
        sleep 1
    done
    sleep 3
    xwd -silent -id "$(xdotool search --class Dunst | head -1)" | convert xwd:- "$top/docs/alert-notification.png"

    dunstctl close-all

    # The list view's menu ends with "Alerts...", "Settings...", a line and "Quit".
    from_menu() {
        xdotool mousemove --window "$main" 200 200 click 3
        sleep 1
        xdotool key --repeat "$1" Up key Return
        xdotool search --sync --name "$2" | head -1
    }
    local alerts settings
    alerts="$(from_menu 3 '^Alerts - TavikRepView')"
    xdotool windowmove "$alerts" 0 560 windowsize "$alerts" 1000 330
    settings="$(from_menu 2 '^Settings - TavikRepView')"
    xdotool windowmove "$settings" 620 0
    sleep 2
    xwd -silent -id "$alerts" | convert xwd:- "$top/docs/view-alerts.png"
    xwd -silent -id "$settings" | convert xwd:- "$top/docs/view-alert-settings.png"
    kill "$program"
    wait "$program" 2>/dev/null || true
}
export top scratch
xvfb-run -a -s "-screen 0 1280x900x24" dbus-run-session -- bash -c "$(declare -f shoot); shoot"
echo "Written: docs/alert-notification.png, docs/view-alerts.png, docs/view-alert-settings.png" \
    "(the demo's files: $scratch/files)"
