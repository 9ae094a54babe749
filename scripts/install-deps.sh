#!/bin/sh
# Installs the Debian packages both builds, the Wine tests, the fuzzers and
# the screenshot need. Safe to run again: apt skips what is already there.
set -eu

PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev \
libbenchmark-dev clang-format \
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 fonts-wine fonts-ipafont-gothic locales \
xvfb xauth imagemagick x11-apps python3"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "dunvatel needs these Debian packages; install them as root with:" >&2
    echo "  apt-get install -y --no-install-recommends$missing" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
