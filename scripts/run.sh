#!/bin/sh
# Runs dunvatel: builds the Win32 program and starts it under Wine on a 240x320 screen, the
# handheld's, in a Wine prefix of its own that holds demo styles from the first start on.
# With a display the program shows until it is closed. Without one it runs on a virtual
# display, a screenshot is saved, and the program is ended; with --tools the screenshot is
# taken after a tap on the menu bar's Tools button, with its pop-up open.
#   scripts/run.sh [--screenshot FILE.png [--tools]]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

usage="usage: $0 [--screenshot FILE.png [--tools]]"
screenshot=""
tools=""
if [ "${1:-}" = "--screenshot" ]; then
    screenshot=$(realpath -m "${2:?$usage}")
    if [ "${3:-}" = "--tools" ]; then
        tools=yes
    elif [ -n "${3:-}" ]; then
        echo "$usage" >&2
        exit 2
    fi
fi

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target dunvatel

run_dir="$root/build/run"
mkdir -p "$run_dir"
export WINEPREFIX="$run_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
log="$run_dir/wine.log"
program=$(winepath -w "$root/build/win32/ui/dunvatel.exe" 2>/dev/null)

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "dunvatel: making the Wine prefix $WINEPREFIX with demo styles (once)"
    wineboot --init >"$log" 2>&1
    python3 scripts/make_demo_styles.py "$run_dir/demo-styles.reg"
    wine regedit /S "$(winepath -w "$run_dir/demo-styles.reg")" >>"$log" 2>&1
    wineserver -w
fi

desktop="explorer /desktop=dunvatel,240x320"

if [ -z "$screenshot" ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    # shellcheck disable=SC2086
    wine $desktop "$program" >>"$log" 2>&1
    wineserver -w
    exit 0
fi

[ -n "$screenshot" ] || screenshot="$run_dir/dunvatel.png"
display=:77
Xvfb "$display" -screen 0 320x400x24 -nolisten tcp >>"$log" 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1
# shellcheck disable=SC2086
wine $desktop "$program" >>"$log" 2>&1 &
# Wait for the program's window, then give it a moment to paint.
for _ in $(seq 1 60); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"dunvatel"'; then
        break
    fi
    sleep 0.5
done
sleep 3
if [ -n "$tools" ]; then
    # The Tools button is the menu bar's first, at the foot of the screen on the left.
    xdotool mousemove --sync 20 307 click 1 >>"$log" 2>&1
    sleep 2
fi
mkdir -p "$(dirname "$screenshot")"
import -display "$display" -window root -crop 240x320+0+0 +repage "$screenshot"
echo "dunvatel: no display here, so it ran on a virtual one; screenshot: $screenshot"
