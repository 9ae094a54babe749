// Desktop stand-ins for the handheld shell library (aygshell), which desktop Win32 does not
// have: the four calls the program makes, each doing on the desktop what the handheld's shell
// does, so that the program's windows take the places they take on the handheld. The
// handheld's own declarations: platform/wince.
#ifndef DUNVATEL_PLATFORM_WIN32_SHELL_STAND_INS_H
#define DUNVATEL_PLATFORM_WIN32_SHELL_STAND_INS_H

#include <windows.h>

#include "platform/shell_records.h"

// The handheld's records are 36 and 12 bytes long; the desktop's pointers are wider, so the
// size fields carry the size of the records above.
#define SHMENUBARINFO_SIZE sizeof(SHMENUBARINFO)
#define SHACTIVATEINFO_SIZE sizeof(SHACTIVATEINFO)

// The handheld's screen, which the stand-ins lay out on the desktop's: the shell's top bar
// across the top, which shows the title of the window below it, and the menu bar across the
// foot, each 26 pixels high (the program's MENU_BAR_HEIGHT is the latter). The stand-ins'
// windows are of these classes, which the end-to-end tests look for.
#define SHELL_TOP_BAR_HEIGHT 26
#define SHELL_MENU_BAR_HEIGHT 26
#define SHELL_TOP_BAR_CLASS TEXT("DunvatelTopBar")
#define SHELL_MENU_BAR_CLASS TEXT("DunvatelMenuBar")

// On the handheld: the OK button in the top bar, the dialog sized to the screen, the input
// panel lowered. On the desktop the same: a top-level dialog asked to be sized loses its
// caption and frame and fills the screen below its own top bar (down to the foot of the
// screen with SHIDIF_SIZEDLGFULLSCREEN, to the menu bar's top with SHIDIF_SIZEDLG); the done
// button is an OK button at the right of the top bar that sends IDOK to the dialog (for a
// child dialog, the top bar of the window it lies on). A child dialog keeps its place and
// size. There is no input panel.
BOOL SHInitDialog(PSHINITDLGINFO info);

// On the handheld: the shell's menu bar, a window at the foot of the screen built from the
// menu-bar record named by nToolBarId, one button per entry; a drop-down button opens its
// pop-up of the record's menu, whose chosen item reaches the parent as WM_COMMAND. The
// desktop's stand-in reads the record and builds the bar the same way (text buttons: the
// program's record has no images), owned by the parent, and fails on a record it cannot read
// (a wrong word count, a pop-up index the menu lacks) leaving no bar or menu behind. First it
// gives the parent the place the handheld's shell gives a program's window: below the top
// bar, without caption or frame, the screen's width, down to the foot of the screen.
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
