// The handheld's screen as the desktop stand-ins lay it out: the shell's top bar, which shows
// the title of the window below it, the full-screen place the shell gives a program's windows,
// and the menu bar at the foot of the screen. Shared by the stand-ins in this folder.
#ifndef DUNVATEL_PLATFORM_WIN32_SHELL_SCREEN_H
#define DUNVATEL_PLATFORM_WIN32_SHELL_SCREEN_H

#include <windows.h>

// Registers the window class of one of the shell's bars, once; false when it cannot be had.
bool RegisterShellClass(LPCWSTR name, WNDPROC procedure, HBRUSH background);

// The screen the program gets: the desktop's work area (under scripts/run.sh, Wine's 240x320
// virtual desktop).
RECT ShellScreenArea();

// Takes `window` out of the desktop's frame and into the handheld's place for it: no caption
// or frame, the screen's width, from the foot of the top bar down to the foot of the screen,
// or to the top of the menu bar when `aboveMenuBar`; and shows its top bar.
void TakeShellPlace(HWND window, bool aboveMenuBar);

// The top bar that shows `window`'s title above it: made and shown the first time.
HWND ShowTopBar(HWND window);

// The top bar of `window`, or NULL when it has none.
HWND FindTopBar(HWND window);

// Puts the handheld's OK button at the right of `topBar`: pressing it sends IDOK to `target`.
void AddTopBarDoneButton(HWND topBar, HWND target);

#endif
