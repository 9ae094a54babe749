// Dialog controls and message boxes: the sorted drop-down list reached through
// SendDlgItemMessageW, and MessageBoxW answered by whatever the test has scripted.
#ifndef DUNVATEL_PLATFORM_HOST_CONTROLS_H
#define DUNVATEL_PLATFORM_HOST_CONTROLS_H

#include "platform/host/host_types.h"

LRESULT SendDlgItemMessageW(HWND dialog, int controlId, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

#endif
