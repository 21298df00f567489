#!/usr/bin/env bash
# Checks that the Windows code compiles, without Windows: the MinGW cross
# compiler parses and type-checks every C++ source of the program as Windows
# code against Debian's Qt headers and MinGW's Windows API headers (nothing is
# linked or run), and windres compiles the version resource.
#
#   scripts/check-windows.sh              the self-test, every src/**/*.cpp, the resource
#   scripts/check-windows.sh FILE...      these C++ files only
#   scripts/check-windows.sh --self-test  only the self-test: broken Windows-only
#                                         files must fail, a sound one must pass
#
# Prints each failing file with its errors and exits 1 when any fails.
# TAVIK_WINDOWS_JOBS sets how many files are compiled at once (2).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
qt=/usr/include/x86_64-linux-gnu/qt6
# The posix flavour of Debian's MinGW compiler, as in Qt's own MinGW kits: the
# default (win32) flavour of GCC 12 lacks std::thread, std::mutex and
# std::condition_variable, which the program may use like any C++20 code.
cxx=x86_64-w64-mingw32-g++-posix
windres=x86_64-w64-mingw32-windres
jobs="${TAVIK_WINDOWS_JOBS:-2}"

for tool in "$cxx" "$windres"; do
    if ! command -v "$tool" >/dev/null; then
        echo "check-windows: $tool is missing; scripts/install-deps.sh installs it" >&2
        exit 2
    fi
done
if [ ! -f "$qt/QtCore/qglobal.h" ]; then
    echo "check-windows: no Qt headers in $qt; scripts/install-deps.sh installs them" >&2
    exit 2
fi

mode=all
files=()
if [ "${1:-}" = "--self-test" ]; then
    mode=selftest
elif [ $# -gt 0 ]; then
    mode=files
    for f in "$@"; do
        [ -f "$f" ] || { echo "check-windows: no file $f" >&2; exit 2; }
        files+=("$(realpath "$f")")
    done
fi

cd "$root"
started=$SECONDS
work="$(mktemp -d "${TMPDIR:-/tmp}/tavik-wincheck.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/generated" "$work/include" "$work/logs" "$work/selftest"

# --- Generated headers, as CMake's configure_file(... @ONLY) makes them ---

version="$(sed -nE 's/^project\(TavikRepView VERSION ([0-9][0-9.]*).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "check-windows: no project version in CMakeLists.txt" >&2; exit 2; }
IFS=. read -r v_major v_minor v_patch v_tweak <<<"$version"

# The built-in addresses: the defaults of their cache variables in src/CMakeLists.txt.
default_of() { # variable
    sed -nE "s|^set\($1 \"([^\"]*)\" CACHE.*|\1|p" src/CMakeLists.txt
}
configure() { # template output
    sed -e "s/@PROJECT_VERSION@/$version/g" \
        -e "s/@PROJECT_VERSION_MAJOR@/$v_major/g" -e "s/@PROJECT_VERSION_MINOR@/${v_minor:-}/g" \
        -e "s/@PROJECT_VERSION_PATCH@/${v_patch:-}/g" -e "s/@PROJECT_VERSION_TWEAK@/${v_tweak:-}/g" \
        -e "s|@TAVIK_DEFAULT_REPORT_URL@|$(default_of TAVIK_DEFAULT_REPORT_URL)|g" \
        -e "s|@TAVIK_DEFAULT_ECHO_URL@|$(default_of TAVIK_DEFAULT_ECHO_URL)|g" \
        -e "s|@TAVIK_DEFAULT_SITE_URL@|$(default_of TAVIK_DEFAULT_SITE_URL)|g" \
        -e "s|@TAVIK_DEFAULT_SITE_NAME@|$(default_of TAVIK_DEFAULT_SITE_NAME)|g" \
        "$1" >"$2"
    if grep -nE '@[A-Za-z_][A-Za-z0-9_]*@|#cmakedefine' "$2" >&2; then
        echo "check-windows: $1 uses a variable this script does not fill in" >&2
        exit 2
    fi
}
configure src/tavikcode/platform/tavikversion.h.in "$work/generated/tavikversion.h"
configure src/tavikcode/retrieval/tavikendpoints.h.in "$work/generated/tavikendpoints.h"
configure src/tavikcode/platform/TavikRepView.rc.in "$work/generated/TavikRepView.rc"

# --- Headers of other libraries ---
# /usr/include itself never goes on the path: its glibc headers would shadow
# MinGW's. The libraries the program uses besides Qt are offered one by one.
for h in /usr/include/sqlite3.h /usr/include/sqlite3ext.h /usr/include/GeographicLib; do
    if [ -e "$h" ]; then ln -s "$h" "$work/include/"; fi
done

# --- Flags ---

# The project-wide definitions (the strict Qt defines), read from the top-level
# add_compile_definitions so that they follow CMakeLists.txt.
mapfile -t project_defines < <(sed -n '/^add_compile_definitions(/,/)/p' CMakeLists.txt |
    sed -e 's/add_compile_definitions(//' -e 's/)//' | tr -s ' \t' '\n' | sed '/^$/d')
# The Qt modules the program uses: the components of every find_package(Qt6)
# of the program's CMake files (the tests' own are left out).
mapfile -t qt_modules < <(find CMakeLists.txt src -name CMakeLists.txt -exec \
    sed -nE 's/^[[:space:]]*find_package\(Qt6 .*COMPONENTS ([^)]*)\).*/\1/p' {} + |
    tr -s ' \t' '\n' | grep -E '^[A-Z][A-Za-z0-9]*[a-z][A-Za-z0-9]*$' | sort -u)
if [ ${#project_defines[@]} -eq 0 ] || [ ${#qt_modules[@]} -eq 0 ]; then
    echo "check-windows: cannot read the definitions or Qt modules of the CMake files" >&2
    exit 2
fi

defines=(
    # What Qt's CMake package puts on every target that links Qt on 64-bit
    # Windows: the API's wide-character (W) forms and the plain WIN32/WIN64.
    # The rest it adds are MinGW's default (MINGW_HAS_SECURE_API) or for MSVC's
    # library only (_ENABLE_EXTENDED_ALIGNED_STORAGE); _WIN32 and _WIN64 come
    # from the compiler, and Qt's headers derive Q_OS_WIN from _WIN32.
    UNICODE _UNICODE WIN32 WIN64
    "${project_defines[@]}"
)
includes=(-I src/tavikcode -I "$work/generated")
for m in "${qt_modules[@]}"; do
    defines+=("QT_${m^^}_LIB")
    includes+=(-isystem "$qt/Qt$m")
done
includes+=(-isystem "$qt" -isystem "$work/include")

# No flag overrides Debian's Qt configuration (qconfig.h and the modules'
# *-config.h, made for Linux), because none is needed to parse honestly as
# Windows code: the system and compiler come from qsystemdetection.h and
# qcompilerdetection.h, which read the compiler's own macros (so Q_OS_WIN,
# Q_CC_MINGW and the dllimport form of Q_CORE_EXPORT are as on Windows); the
# Linux-only features (glib, inotify, eventfd, dbus) are read only by private
# headers and modules the program does not include; QT_REDUCE_RELOCATIONS
# applies to ELF objects only; and cpp_winrt, the one Windows-only feature a
# public header asks about, is configured off as in Qt's desktop kits.
flags=(
    -std=c++20
    -Wall -Wextra -Werror # as the CI build
    "${defines[@]/#/-D}"
    "${includes[@]}"
)

# --- One file ---

# Compiles one file; its errors go to a log beside a failure marker. A file
# named *_win.cpp must leave code of its own when compiled as Windows code,
# and a *_unix.cpp none: CMake builds both on every platform, so a Windows
# file whose Q_OS_WIN is tested before a Qt header defines it compiles to
# nothing on Windows, and the Unix one takes its place unnoticed.
# shellcheck disable=SC2317 # run by xargs in child shells
check_one() {
    local file="$1" log
    log="$work/logs/$(printf '%s' "$file" | tr '/' '%').log"
    if ! "$cxx" "${flags[@]}" -fsyntax-only "$file" >"$log" 2>&1; then
        touch "$log.failed"
    elif [[ "$file" == *_win.cpp || "$file" == *_unix.cpp ]]; then
        # Lines of the file itself left after preprocessing.
        local own
        own="$("$cxx" "${flags[@]}" -E "$file" 2>>"$log" | awk -v src="$file" '
            /^# [0-9]+ "/ { cur = $3; gsub(/^"|"$/, "", cur); next }
            cur == src && NF { n++ }
            END { print n + 0 }')"
        if [[ "$file" == *_win.cpp && "$own" -eq 0 ]]; then
            echo "$file: compiles to nothing as Windows code (is Q_OS_WIN tested before a Qt header defines it?)" >>"$log"
            touch "$log.failed"
        elif [[ "$file" == *_unix.cpp && "$own" -ne 0 ]]; then
            echo "$file: its code is compiled on Windows too (is Q_OS_WIN tested before a Qt header defines it?)" >>"$log"
            touch "$log.failed"
        fi
    fi
    touch "$log.done"
}

# Checks the files TAVIK_WINDOWS_JOBS at a time and prints each failing file
# with its errors, in the order given (none with quiet=1); sets failed to the
# number of files that failed.
check_files() {
    export -f check_one
    export cxx work
    # Arrays do not reach the child shells: the flags go as arguments, the
    # file last.
    # shellcheck disable=SC2016 # expanded by the child shell
    printf '%s\0' "$@" | xargs -0 -n 1 -P "$jobs" bash -c \
        'file="${!#}"; flags=("${@:1:$#-1}"); check_one "$file"' _ "${flags[@]}" || true
    failed=0
    local f log
    for f in "$@"; do
        log="$work/logs/$(printf '%s' "$f" | tr '/' '%').log"
        # A file whose check did not finish counts as failed.
        [ -e "$log.done" ] || { echo "$f: the check did not finish" >>"$log"; touch "$log.failed"; }
        if [ -e "$log.failed" ]; then
            failed=$((failed + 1))
            [ "${quiet:-0}" = 1 ] || { echo "FAILED: $f"; cat "$log"; echo; }
        fi
    done
}

# --- Self-test ---

# Each case is a file, the verdict it must get, and a text its errors must
# hold, so that a case fails for its own reason and not, say, for a missing
# header. The broken ones break only as Windows code: on Linux they compile.
self_test() {
    local dir="$work/selftest"
    # Q_OS_WIN must be set, and UNICODE with it: CreateMutex is CreateMutexW,
    # which refuses a narrow string.
    cat >"$dir/narrow_win.cpp" <<'CPP'
#include <QtGlobal>
#ifdef Q_OS_WIN
#include <windows.h>
HANDLE openGuard() { return CreateMutex(nullptr, TRUE, "TavikRepView"); }
#endif
CPP
    # The project's strict Qt defines must be in force.
    cat >"$dir/ascii_win.cpp" <<'CPP'
#include <QString>
#ifdef Q_OS_WIN
QString guardName() { return "TavikRepView"; }
#endif
CPP
    # Q_OS_WIN tested before any Qt header: the Windows code vanishes.
    cat >"$dir/early_win.cpp" <<'CPP'
#include <memory>
#ifdef Q_OS_WIN
#include <windows.h>
HANDLE openGuard() { return CreateMutex(nullptr, TRUE, L"TavikRepView"); }
#endif
CPP
    # Sound: the generated version header, the other libraries' headers, Qt
    # and the Windows API together.
    cat >"$dir/sound_win.cpp" <<'CPP'
#include "tavikversion.h"
#include <GeographicLib/Constants.hpp>
#include <QString>
#include <sqlite3.h>
#ifdef Q_OS_WIN
#include <windows.h>
static_assert(TAVIK_VERSION_MAJOR >= 0);
HANDLE openGuard(const QString &name)
{
    return CreateMutex(nullptr, TRUE, reinterpret_cast<LPCWSTR>(name.utf16()));
}
int sqliteVersion() { return sqlite3_libversion_number(); }
double earthRadius() { return GeographicLib::Constants::WGS84_a(); }
#endif
CPP
    local cases=(
        "narrow_win.cpp|fail|LPCWSTR"
        "ascii_win.cpp|fail|is private"
        "early_win.cpp|fail|compiles to nothing"
        "sound_win.cpp|pass|"
    )
    local paths=() c
    for c in "${cases[@]}"; do paths+=("$dir/${c%%|*}"); done
    quiet=1 check_files "${paths[@]}"

    local wrong=0 name verdict text log got
    for c in "${cases[@]}"; do
        IFS='|' read -r name verdict text <<<"$c"
        log="$work/logs/$(printf '%s' "$dir/$name" | tr '/' '%').log"
        got=pass
        [ -e "$log.failed" ] && got=fail
        if [ "$got" != "$verdict" ] || { [ -n "$text" ] && ! grep -qF "$text" "$log"; }; then
            echo "SELF-TEST FAILED: $name should $verdict${text:+ with \"$text\"} but did $got:"
            cat "$log"
            wrong=$((wrong + 1))
        fi
    done
    [ $wrong -eq 0 ] && echo "check-windows: self-test passed (${#cases[@]} cases)"
    return $wrong
}

# --- The version resource ---

# Compiles the resource as CMake does (windres, the project's definitions) and
# reads the numbers back from VS_FIXEDFILEINFO, where the program's
# GetVersionNumbers finds them, and the version text from the string table.
check_resource() {
    local rc="$work/generated/TavikRepView.rc" obj="$work/TavikRepView.res.o" log="$work/logs/resource.log"
    if ! "$windres" -O coff "${defines[@]/#/-D}" -i "$rc" -o "$obj" >"$log" 2>&1; then
        echo "FAILED: $rc (from src/tavikcode/platform/TavikRepView.rc.in)"
        cat "$log"
        return 1
    fi
    local hex rest ms ls numbers
    hex="$(od -An -v -tx1 "$obj" | tr -d ' \n')"
    rest="${hex#*bd04effe}" # the signature 0xFEEF04BD, little-endian
    le16() { echo $((16#${1:2:2}${1:0:2})); }
    numbers=none
    if [ "$rest" != "$hex" ]; then
        ms="${rest:8:8}" ls="${rest:16:8}" # after dwStrucVersion
        numbers="$(le16 "${ms:4:4}").$(le16 "${ms:0:4}").$(le16 "${ls:4:4}").$(le16 "${ls:0:4}")"
    fi
    local expected="$v_major.${v_minor:-0}.${v_patch:-0}.${v_tweak:-0}"
    if [ "$numbers" != "$expected" ] || ! strings -el "$obj" | grep -qxF "$version"; then
        echo "FAILED: $rc: the resource holds version $numbers, not $expected (text \"$version\")"
        return 1
    fi
}

# --- Main ---

status=0
case "$mode" in
selftest)
    self_test || status=1
    ;;
files)
    check_files "${files[@]}"
    [ $failed -eq 0 ] || status=1
    echo "check-windows: checked ${#files[@]}, failed $failed"
    ;;
all)
    self_test || status=1
    mapfile -t files < <(find src -name '*.cpp' | LC_ALL=C sort)
    check_files "${files[@]}"
    [ $failed -eq 0 ] || status=1
    check_resource || { status=1; failed=$((failed + 1)); }
    echo "check-windows: ${#files[@]} sources and the version resource, $failed failed ($((SECONDS - started)) s)"
    ;;
esac
exit $status
