// The application frame: the main window with the shell's menu bar, and the About box.
#ifndef DUNVATEL_UI_APP_FRAME_H
#define DUNVATEL_UI_APP_FRAME_H

#include "platform/platform.h"

// Height the shell's menu bar takes from the foot of the main window.
#define MENU_BAR_HEIGHT 26

// Capacity in units of the buffers that hold the window's class name and title.
#define FRAME_TEXT_CAPACITY 100

BOOL StartMainWindow(HINSTANCE instance, int showState);
ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreateMainMenuBar(HWND window);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Creates the main dialog modeless on the main window; NULL when it cannot be made.
HWND CreateMainDialog();
// Runs the message loop until the quit message; returns the quit message's code.
int RunMessageLoop(HACCEL accelerators);

#endif
