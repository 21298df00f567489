#!/bin/sh
# make-locales.sh FOLDER: compiles the C library locales the month-name tests
# read (en_GB.UTF-8, fr_FR.UTF-8) into FOLDER, without root, from the sources
# of Debian's "locales" package. A locale that cannot be made is left out and
# its tests are skipped.
set -u
folder="$1"
mkdir -p "$folder"
for name in en_GB fr_FR; do
    [ -f "$folder/$name.UTF-8/LC_TIME" ] && continue
    localedef -i "$name" -f UTF-8 "$folder/$name.UTF-8" 2>/dev/null || true
done
exit 0
