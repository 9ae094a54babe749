// The main dialog: the style list and the command buttons.
#ifndef DUNVATEL_UI_MAIN_DIALOG_H
#define DUNVATEL_UI_MAIN_DIALOG_H

#include "platform/platform.h"

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
