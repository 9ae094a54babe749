#!/bin/sh
# A small file system for the Win32 tests to fill, as a storage card that fills up.
#   small-medium.sh mount DIR     mount a 64 KB tmpfs at DIR; without the right to mount (not
#                                 root), leave DIR absent, and the tests that need it are skipped
#   small-medium.sh unmount DIR   unmount it and remove DIR
set -eu

command=$1
dir=$2

case "$command" in
mount)
    mkdir -p "$dir"
    if ! mountpoint -q "$dir"; then
        if ! mount -t tmpfs -o size=64k,mode=0777 tmpfs "$dir" 2>/dev/null; then
            rmdir "$dir"
            echo "dunvatel: cannot mount a small file system (needs root); its tests are skipped"
        fi
    fi
    ;;
unmount)
    while mountpoint -q "$dir"; do
        umount "$dir"
    done
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 mount|unmount DIR" >&2
    exit 2
    ;;
esac
