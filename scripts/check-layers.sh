#!/usr/bin/env bash
# The layout of src/ made executable. Floors, top to bottom; a file may
# include headers of its own folder and of the floors below its own, never
# of a floor above, and never of another folder of its own floor:
#
#   entry      src/TavikRepView.cpp
#   window     window/ (the main window, its handlers, the tray, the tick)
#   features   reach/ compare/ alerts/ views/ wsjtx/ (one never includes another;
#              what connects them is wired in window/)
#   archive    archive/
#   retrieval  retrieval/
#   processing processing/
#   shell      shell/
#   parts      parts/ (shared window parts) and geo/ (locators, distances, land)
#   base       base/ (core helpers)
#   platform   platform/ (every platform call)
#   error      base/tavikerror.h, the one error type, which every floor throws
#
# Besides, no nested event loop in src/: no QEventLoop, no exec() of a
# dialog or box, no static QMessageBox call.
#
# Folders not yet moved to their place are named in scripts/layers-pending.txt:
# each line there is a known breach, "file -> included file"; the list only
# shrinks. A breach not in it fails the check, and so does a line of it that
# no longer happens (remove it).
set -euo pipefail
cd "$(dirname "$0")/.."
src=src/tavikcode
pending=scripts/layers-pending.txt

floor_of() {
    case "$1" in
    src/TavikRepView.cpp) echo 9 ;;
    $src/window/*) echo 8 ;;
    $src/reach/* | $src/compare/* | $src/alerts/* | $src/views/* | $src/wsjtx/*) echo 7 ;;
    $src/archive/*) echo 6 ;;
    $src/retrieval/*) echo 5 ;;
    $src/processing/*) echo 4 ;;
    $src/shell/*) echo 3 ;;
    $src/parts/* | $src/geo/*) echo 2 ;;
    $src/base/tavikerror.h) echo -1 ;;
    $src/platform/*) echo 0 ;;
    $src/base/*) echo 1 ;;
    *) echo unknown ;;
    esac
}

folder_of() {
    local rel=${1#"$src"/}
    if [[ $1 == src/TavikRepView.cpp ]]; then echo entry
    elif [[ $rel == */* ]]; then echo "${rel%%/*}"
    else echo base
    fi
}

breaches=$(mktemp)
trap 'rm -f "$breaches"' EXIT

while IFS= read -r file; do
    from_floor=$(floor_of "$file")
    from_folder=$(folder_of "$file")
    while IFS= read -r included; do
        target=""
        for candidate in "$src/$included" "$(dirname "$file")/$included"; do
            [[ -f $candidate ]] && { target=$(realpath --relative-to=. "$candidate"); break; }
        done
        [[ -n $target ]] || continue
        to_floor=$(floor_of "$target")
        to_folder=$(folder_of "$target")
        [[ $to_folder == "$from_folder" ]] && continue
        if [[ $from_floor == unknown || $to_floor == unknown ]] || ((to_floor > from_floor)) ||
            ((to_floor == from_floor && from_floor == 7)); then
            echo "$file -> $target" >>"$breaches"
        elif [[ $target == $src/window/* || $target == $src/tform1.h ]] && ((from_floor < 8)); then
            echo "$file -> $target" >>"$breaches"
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    grep -n -E 'QEventLoop|(QDialog|QMessageBox|QFileDialog|QInputDialog)[^;]*::exec\(|(box|dialog)->exec\(|QMessageBox::(information|warning|critical|question|about)\(' "$file" |
        sed "s|^\([0-9]*\):.*|$file -> nested event loop|" | sort -u >>"$breaches" || true
done < <(git ls-files 'src/*.cpp' 'src/*.h')

sort -u -o "$breaches" "$breaches"
known=$(grep -v -E '^(#|$)' "$pending" 2>/dev/null | sort -u || true)
new=$(comm -23 "$breaches" <(printf '%s\n' "$known" | sed '/^$/d'))
gone=$(comm -13 "$breaches" <(printf '%s\n' "$known" | sed '/^$/d'))
status=0
if [[ -n $new ]]; then
    echo "Includes against the layout (see the floors at the top of $0):"
    sed 's/^/  /' <<<"$new"
    status=1
fi
if [[ -n $gone ]]; then
    echo "Mended, so remove from $pending:"
    sed 's/^/  /' <<<"$gone"
    status=1
fi
[[ $status == 0 ]] && echo "Layers hold: $(wc -l <"$breaches") known breaches left in $pending."
exit $status
