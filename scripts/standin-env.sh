# Sourced by the scripts that run the program against the stand-in service.
# standin_env LOG PID: waits until the stand-in started as PID has written its
# TAVIK_ lines to LOG, then exports them, so that the program started next
# talks to it; fails when the stand-in ends or stays silent for 10 s.
standin_env()
{
    local log="$1" pid="$2" line
    for _ in $(seq 100); do
        grep -qs '^TAVIK_CA_FILE=' "$log" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q '^TAVIK_CA_FILE=' "$log"; then
        cat "$log" >&2
        echo "The stand-in service did not start." >&2
        return 1
    fi
    while IFS= read -r line; do
        export "${line?}"
    done < <(grep '^TAVIK_' "$log")
}
