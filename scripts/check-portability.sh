#!/bin/sh
# Fails when program code names a desktop-only call or flag: the program must stay buildable
# for the handheld, where only platform/ may know about the desktop.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
patterns="$root/scripts/desktop-only-api.txt"

status=0
grep -v '^#' "$patterns" | grep -v '^$' | while IFS= read -r pattern; do
    if grep -EnH "$pattern" "$root"/store/*.cpp "$root"/store/*.h "$root"/keyfile/*.cpp \
        "$root"/keyfile/*.h "$root"/ui/*.cpp "$root"/ui/*.h; then
        echo "desktop-only API in program code (pattern: $pattern)" >&2
        exit 1
    fi
done || status=1
exit $status
