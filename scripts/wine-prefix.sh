#!/bin/sh
# The Wine prefix the Win32 tests and the program run in.
#   wine-prefix.sh start PREFIX        make the prefix if needed, configure it, keep a
#                                      wineserver running for the programs that follow
#   wine-prefix.sh run PREFIX EXE ...  run EXE under Wine and pass its exit code on
#   wine-prefix.sh emulate EXE ...     the same in the prefix that WINEPREFIX names (CTest's
#                                      cross-compiling emulator)
#   wine-prefix.sh stop PREFIX         end the prefix's wineserver
set -eu

command=$1
if [ "$command" = emulate ]; then
    command=run
    prefix=${WINEPREFIX:?WINEPREFIX names the prefix to run in}
    shift 1
else
    prefix=$2
    shift 2
fi
WINEPREFIX=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
export WINEPREFIX
# Wine's own error lines stay on (only its fixme lines are off): a test that fails because Wine
# could not start or load a program then shows why in its output, which CTest prints on failure.
export WINEDEBUG=fixme-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Japanese code pages (OEM 932) and Japanese text in dialogs, as on the handheld.
export LC_ALL=ja_JP.UTF-8

# Wine's background processes inherit the output of the program that starts them; a caller
# reading a pipe (CTest) would then wait for them. Output goes to files instead.
log="$WINEPREFIX/wine.log"

case "$command" in
start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init >"$log" 2>&1 || { cat "$log"; exit 1; }
    fi
    # No display driver: windows, dialogs and message boxes work without an X server.
    # Unmanaged windows: no stall waiting for a window manager when there is one.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$log" 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$log" 2>&1
    # The first program in a new prefix misbehaves unless the settings are on disk first.
    wineserver -w
    wineserver -p >>"$log" 2>&1
    ;;
run)
    output="$WINEPREFIX/run.$$.log"
    status=0
    wine "$@" >"$output" 2>&1 || status=$?
    cat "$output"
    rm -f "$output"
    exit "$status"
    ;;
stop)
    wineserver -k >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|run|stop PREFIX [EXE ARGS...]" >&2
    exit 2
    ;;
esac
