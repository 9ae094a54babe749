#!/bin/sh
# The iconv (gconv) modules of Debian's armel C library, for the ARM build's tests: the cross
# C library (libc6-dev-armel-cross) comes without them, and the host stand-in's code pages
# convert through iconv. They are taken from the package libc6:armel of the C library's own
# version, once, into the user's cache, where cmake/arm-linux.cmake finds them.
#   armel-gconv.sh           fetch them unless the cache holds them; print their folder
#   armel-gconv.sh --check   exit 0 if the cache holds them, 1 if not; fetches nothing
# apt runs with a configuration of its own: the armel architecture, and package lists, a
# package cache and a package state in a folder of its own that is removed afterwards, over the
# machine's own package sources. Nothing of the machine's apt or dpkg is changed, and no
# architecture is added. Needs no root.
set -eu

cache=${XDG_CACHE_HOME:-$HOME/.cache}/dunvatel/armel-gconv
gconv=$cache/usr/lib/arm-linux-gnueabi/gconv

# The cross C library's version (2.36-8cross1) and its upstream version (2.36): the modules
# call into that C library, so they must be of its upstream version.
cross=$(dpkg-query -W -f='${Version}' libc6-dev-armel-cross 2>/dev/null) || cross=""
if [ -z "$cross" ]; then
    [ "${1:-}" = --check ] || echo "armel-gconv.sh: libc6-dev-armel-cross is not installed" >&2
    exit 1
fi
debian=${cross%cross*}
upstream=${debian%-*}

kept=$(cat "$cache/upstream-version" 2>/dev/null) || kept=""
if [ -f "$gconv/gconv-modules" ] && [ "$kept" = "$upstream" ]; then
    [ "${1:-}" = --check ] || echo "$gconv"
    exit 0
fi
if [ "${1:-}" = --check ]; then
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# apt downloads as the user _apt when run as root: it must reach the folders.
chmod 755 "$work"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/deb" "$work/root"
if [ "$(id -u)" -eq 0 ] && getent passwd _apt >/dev/null; then
    chown _apt "$work/deb"
fi

apt() {
    "$@" -o APT::Architecture=armel -o APT::Architectures::=armel \
        -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" \
        -o Dir::State::Status=/dev/null
}

# A source that has no armel packages fails its part of the update; the download below says
# whether the package could be had.
if ! apt apt-get -q update >"$work/update.log" 2>&1; then
    echo "armel-gconv.sh: apt-get update reported errors (the download may still succeed):" >&2
    grep -E '^(E|W):' "$work/update.log" >&2 || cat "$work/update.log" >&2
fi

# libc6:armel of the cross C library's Debian version if the sources still have it, otherwise
# the newest of its upstream version.
version=$(apt apt-cache madison libc6 |
    awk -F' *[|] *' -v debian="$debian" -v upstream="$upstream" '
    $1 ~ /libc6$/ && $2 == debian { exact = $2 }
    $1 ~ /libc6$/ && index($2, upstream "-") == 1 && same == "" { same = $2 }
    END { print (exact != "" ? exact : same) }')
if [ -z "$version" ]; then
    echo "armel-gconv.sh: the package sources have no libc6:armel of version $upstream" >&2
    exit 1
fi

(cd "$work/deb" && apt apt-get -q download "libc6:armel=$version" >"$work/download.log" 2>&1) || {
    cat "$work/download.log" >&2
    exit 1
}
dpkg-deb -x "$work"/deb/libc6_*_armel.deb "$work/root"
if [ ! -f "$work/root/usr/lib/arm-linux-gnueabi/gconv/gconv-modules" ]; then
    echo "armel-gconv.sh: libc6:armel $version holds no gconv modules" >&2
    exit 1
fi

# Only the modules are kept; the folder is replaced whole, so that a broken fetch leaves none.
rm -rf "$cache"
mkdir -p "$cache/usr/lib/arm-linux-gnueabi"
mv "$work/root/usr/lib/arm-linux-gnueabi/gconv" "$gconv"
echo "$version" >"$cache/libc6-version"
echo "$upstream" >"$cache/upstream-version"
echo "$gconv"
