// Desktop stand-ins for the handheld shell library (aygshell), which desktop Win32 does not
// have: the four calls the program makes, each doing on the desktop what a
// desktop window needs in its place. The handheld's own declarations: platform/wince.
#ifndef DUNVATEL_PLATFORM_WIN32_SHELL_STAND_INS_H
#define DUNVATEL_PLATFORM_WIN32_SHELL_STAND_INS_H

#include <windows.h>

#include "platform/shell_records.h"

// The handheld's records are 36 and 12 bytes long; the desktop's pointers are wider, so the
// size fields carry the size of the records above.
#define SHMENUBARINFO_SIZE sizeof(SHMENUBARINFO)
#define SHACTIVATEINFO_SIZE sizeof(SHACTIVATEINFO)

// On the handheld: a caption OK button, a full-screen size, the input panel lowered. On the
// desktop: an OK button of the dialog's own for a top-level dialog that asks for the done
// button (the caption has none), and for a child dialog a parent large enough to show it
// (the handheld's main window fills the screen the dialog was laid out for; a desktop
// window's default size is arbitrary). Never moves or resizes the dialog itself.
BOOL SHInitDialog(PSHINITDLGINFO info);

// On the handheld: the shell's menu bar, a window at the foot of the screen built from the
// menu-bar record. On the desktop: the same menu resource attached to the parent as its menu
// bar, and a hidden child window that owns it, so that destroying the "menu bar window"
// removes and frees the menu as on the handheld.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// On the handheld these keep the input panel's state across activation and setting changes.
// The desktop has no input panel: they do nothing.
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// Brings a running instance's window to the front. The handheld's idiom passes the handle
// with its lowest bit set to SetForegroundWindow, which there also restores the window's
// owned pop-ups; on the desktop that is an invalid handle and does nothing, so the window is
// restored if minimised and made the foreground window.
void BringWindowForward(HWND window);

#endif
