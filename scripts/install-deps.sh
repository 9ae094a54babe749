#!/bin/sh
# Installs the Debian packages the builds, the handheld's program and the compiler check, the
# Wine tests, the ARM suite, the fuzzers and the screenshot need, fetches the ARM suite's iconv
# modules, and builds the handheld's binutils (scripts/device-toolchain.sh). Safe to run again:
# apt skips what is already there, and the modules and the binutils are made once per user.
set -eu

# The compiler check: clang, llvm (llvm-ar, llvm-objdump), the mingw-w64 windres, iconv
# (libc-bin, always there) and python3 (msvc-check/checks.py). The handheld's program:
# clang, python3 (device/assembly.py, device/checks.py) and what building binutils from
# Debian's source package takes (dpkg-dev for dpkg-source, xz-utils, gcc, make, flex, bison).
# The ARM suite: lld and the armel cross libraries. The handheld's installer cabinet: gcab
# writes build/device/dunvatel.cab (device/cabinet.py), cabextract reads it back for its check.
# The emulated handheld that runs the device's program (preset device-run): unicorn's C
# library, whose ARM model has the StrongARM SA-1110.
PACKAGES="cmake ninja-build g++ clang lld llvm libclang-rt-14-dev googletest libgtest-dev \
libgmock-dev libbenchmark-dev clang-format \
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 fonts-wine fonts-ipafont-gothic locales \
xvfb xauth imagemagick x11-apps x11-utils xdotool python3 \
libc6-dev-armel-cross libstdc++-12-dev-armel-cross libgcc-12-dev-armel-cross qemu-user \
dpkg-dev xz-utils gcc make flex bison gcab cabextract libunicorn-dev"

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

# The ARM suite's iconv modules, from Debian's libc6:armel into the user's cache (once the
# packages are there: they are of libc6-dev-armel-cross's version).
gconv="$(dirname "$0")/armel-gconv.sh"
need_gconv=""
if ! "$gconv" --check; then
    need_gconv=yes
fi

# The handheld's binutils need no root: built into the user's cache once the packages are there.
tools="$(dirname "$0")/device-toolchain.sh"

if [ -z "$missing" ] && [ -z "$need_locale" ] && [ -z "$need_gconv" ]; then
    exec "$tools"
fi

if [ "$(id -u)" -ne 0 ]; then
    if [ -n "$missing" ]; then
        echo "dunvatel needs these Debian packages; install them as root with:" >&2
        echo "  apt-get install -y --no-install-recommends$missing" >&2
    fi
    if [ -n "$need_gconv" ]; then
        echo "dunvatel's ARM suite needs the iconv modules of libc6:armel; fetch them into" >&2
        echo "this user's cache (no root needed; apt's settings stay as they are) with:" >&2
        echo "  $gconv" >&2
    fi
    if [ -n "$missing" ] || [ -n "$need_gconv" ]; then
        exit 1
    fi
    # Only the locale is missing: Wine works without it.
    exec "$tools"
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
if [ -n "$need_gconv" ]; then
    "$gconv" >/dev/null
fi
"$tools"
