#!/bin/sh
# Runs a command with its temporary files on a small file system of its own:
# a 256 MB tmpfs in a private mount namespace (unshare -rm, which needs no
# root where user namespaces are allowed), named in TMPDIR and
# TAVIK_SMALL_DISK, so that a test can fill it up without touching the
# machine's disks. Where no such namespace can be made, the command runs as it
# is, without TAVIK_SMALL_DISK.
dir=$(mktemp -d)
if unshare -rm true 2>/dev/null; then
    unshare -rm sh -c 'mount -t tmpfs -o size=256m tmpfs "$0" && TMPDIR="$0" TAVIK_SMALL_DISK="$0" exec "$@"' \
        "$dir" "$@"
    status=$?
else
    "$@"
    status=$?
fi
rmdir "$dir" 2>/dev/null
exit $status
