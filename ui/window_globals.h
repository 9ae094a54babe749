// Window handles set once at start-up and read throughout the program.
#ifndef DUNVATEL_UI_WINDOW_GLOBALS_H
#define DUNVATEL_UI_WINDOW_GLOBALS_H

#include "platform/platform.h"

extern HINSTANCE g_instance;
// Owner of every message box.
extern HWND g_mainWindow;
// Owner of the file dialogs.
extern HWND g_mainDialog;
extern HWND g_menuBar;

#endif
