#include "base/window_globals.h"

HINSTANCE g_instance;
HWND g_mainWindow;
HWND g_mainDialog;
HWND g_menuBar;
SHACTIVATEINFO g_activateInfo;
