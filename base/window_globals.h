// Window handles and the shell's activation record, set once at start-up by the frame and
// read throughout the program: every message box is owned by the main window, the file
// dialogs by the main dialog.
#ifndef DUNVATEL_BASE_WINDOW_GLOBALS_H
#define DUNVATEL_BASE_WINDOW_GLOBALS_H

#include "platform/platform.h"

extern HINSTANCE g_instance;
// Owner of every message box.
extern HWND g_mainWindow;
// Owner of the file dialogs.
extern HWND g_mainDialog;
// The shell's menu bar, or NULL when it could not be made.
extern HWND g_menuBar;
// Handed to the shell's activation and setting-change helpers.
extern SHACTIVATEINFO g_activateInfo;

#endif
