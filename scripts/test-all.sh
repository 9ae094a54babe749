#!/bin/sh
# Every test of the project, on a fresh Debian machine: installs what the builds need (and
# builds the handheld's binutils once), then runs the host suite, the host suite under the
# sanitizers and on 32-bit ARM under qemu, the compiler check (program code as Microsoft's
# compiler for the handheld takes it), the handheld's program build/device/dunvatel.exe and
# its checks, that file run on an emulated Pocket PC through every command, the Win32 suite
# and the program's end-to-end tests under Wine, and a short run of each fuzzer.
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --workflow --preset host
cmake --workflow --preset asan
cmake --workflow --preset arm
cmake --workflow --preset msvc-check
cmake --workflow --preset device
cmake --workflow --preset device-run
cmake --workflow --preset win32
# A minute per fuzzer here; DUNVATEL_FUZZ_SECONDS=3600 scripts/test-all.sh runs longer ones.
cmake --preset fuzz -DDUNVATEL_FUZZ_SECONDS="${DUNVATEL_FUZZ_SECONDS:-60}"
cmake --build --preset fuzz
ctest --preset fuzz

echo "dunvatel: every test passed"
