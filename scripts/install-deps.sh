#!/bin/sh
# Installs the Debian packages the builds, the handheld check, the Wine tests, the fuzzers and
# the screenshot need. Safe to run again: apt skips what is already there.
set -eu

# The handheld check: clang, lld (lld-link), llvm (llvm-dlltool, llvm-ar, llvm-objdump), the
# mingw-w64 windres, iconv (libc-bin, always there) and python3 (cmake/handheld-compiler.py).
PACKAGES="cmake ninja-build g++ clang lld llvm libclang-rt-14-dev googletest libgtest-dev \
libgmock-dev libbenchmark-dev clang-format \
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 fonts-wine fonts-ipafont-gothic locales \
xvfb xauth imagemagick x11-apps x11-utils xdotool python3"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

# Wine takes its code pages from LC_ALL=ja_JP.UTF-8 even before the locale exists; the shell
# and the tools only stop warning about it once it is generated.
need_locale=""
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    need_locale=yes
fi

if [ -z "$missing" ] && [ -z "$need_locale" ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    if [ -n "$missing" ]; then
        echo "dunvatel needs these Debian packages; install them as root with:" >&2
        echo "  apt-get install -y --no-install-recommends$missing" >&2
        exit 1
    fi
    # Only the locale is missing: Wine works without it.
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing" ]; then
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if [ -n "$need_locale" ]; then
    sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
