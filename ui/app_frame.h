// The application frame: the main window with the shell's menu bar, the About box, the main
// dialog on the window and the message loop.
#ifndef DUNVATEL_UI_APP_FRAME_H
#define DUNVATEL_UI_APP_FRAME_H

#include "platform/platform.h"

// Height the shell's menu bar takes from the foot of the main window.
#define MENU_BAR_HEIGHT 26

// Brings a running instance forward and answers FALSE, or makes the main window and answers
// TRUE.
BOOL StartMainWindow(HINSTANCE instance, int showState);
// Creates the main dialog modeless on the main window; NULL when it cannot be made.
HWND CreateMainDialog();
// Runs the message loop until the quit message; returns the quit message's code.
int RunMessageLoop(HACCEL accelerators);

#endif
