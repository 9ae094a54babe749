#!/bin/sh
# The handheld's assembler, linker, librarian, import-library maker, resource compiler and
# disassembler: GNU binutils for arm-mingw32ce (PE for Windows CE on ARM), built from Debian's
# own binutils source package once per machine, into a cache outside the build tree that every
# later run reuses. clang (a Debian package) compiles; these tools do the rest.
#
#   scripts/device-toolchain.sh          builds the tools unless the cache holds them
#   scripts/device-toolchain.sh --print  prints the folder whose bin/ holds them
#
# The cache is DUNVATEL_DEVICE_TOOLS, or else dunvatel/device-binutils in XDG_CACHE_HOME (or
# ~/.cache). cmake/device.cmake looks in the same place. The cache is used again only if it
# was built by this very script: a changed recipe builds the tools again.
#
# Needs: dpkg-dev (dpkg-source), gcc, make, flex, bison and xz-utils (scripts/install-deps.sh
# installs them), and Debian's package registry, from which apt fetches the source package
# through an apt configuration of its own: the system's sources and lists stay as they are.
set -eu
cd "$(dirname "$0")/.."

cache_home=${XDG_CACHE_HOME:-$HOME/.cache}
tools=${DUNVATEL_DEVICE_TOOLS:-$cache_home/dunvatel/device-binutils}
if [ "${1:-}" = "--print" ]; then
    echo "$tools"
    exit 0
fi

target=arm-mingw32ce
recipe=$(sha256sum "$0" | cut -d' ' -f1)
stamp=$tools/recipe
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ] && [ -x "$tools/bin/$target-ld" ]; then
    exit 0
fi

echo "Building binutils for $target from Debian's source package into $tools"
started=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/dunvatel-binutils.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Debian's main archive, as the system's own sources name it: the suite of this release, not
# its updates or security suites, whose source lists need not hold binutils.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' \
    2>/dev/null | awk -v suite="$codename" '$2 == suite { print $1; exit }')
archive=${archive:-http://deb.debian.org/debian/}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
options=""
[ -f "$keyring" ] && options="[signed-by=$keyring] "
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/source"
echo "deb-src $options$archive $codename main" >"$work/apt/sources.list"
apt_private() {
    apt-get -q -o Dir::Etc::SourceList="$work/apt/sources.list" \
        -o Dir::Etc::SourceParts=/dev/null -o Dir::State::Lists="$work/apt/lists" \
        -o Dir::Cache="$work/apt/cache" -o APT::Sandbox::User="$(id -un)" "$@"
}
apt_private update >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; exit 1; }
(cd "$work/source" && apt_private source binutils) >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; exit 1; }
source_dir=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'binutils-*' | head -n 1)
version=$(sed -n '1s/^binutils (\([^)]*\)).*/\1/p' "$source_dir/debian/changelog")

# Only what the handheld's build uses: as, ld, ar, dlltool, windres, objdump and their
# libraries. The machine has no makeinfo: the manuals are not made.
mkdir -p "$work/build"
(
    cd "$work/build" &&
        "$source_dir/configure" --target=$target --prefix="$tools" \
            --disable-nls --disable-werror --disable-gdb --disable-gdbserver --disable-sim \
            --disable-gprof --disable-gprofng --disable-libctf --disable-plugins --without-zstd &&
        make -j"$(nproc)" MAKEINFO=true all-binutils all-gas all-ld &&
        make MAKEINFO=true DESTDIR="$work/stage" install-binutils install-gas install-ld
) >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }

# The new tools take the cache's place whole, so that a build cut off part-way leaves none.
rm -rf "$tools"
mkdir -p "$(dirname "$tools")"
mv "$work/stage$tools" "$tools"
echo "binutils $version" >"$tools/version"
echo "$recipe" >"$stamp"
echo "binutils $version for $target built in $(($(date +%s) - started)) s: $tools/bin"
