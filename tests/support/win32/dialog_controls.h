// Controls of the platform's own dialogs that the tests read and fill: a message box's text,
// and the file dialogs' file-name field (explorer style, then old style); and how a window's
// text and class are read, in the test's own process or in the program's.
#ifndef DUNVATEL_TESTS_SUPPORT_WIN32_DIALOG_CONTROLS_H
#define DUNVATEL_TESTS_SUPPORT_WIN32_DIALOG_CONTROLS_H

#include <windows.h>

#include <string>

const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const int FILE_NAME_COMBO_ID = 0x47C; // cmb13
const int FILE_NAME_EDIT_ID = 0x480;  // edt1

// The window's text. Asked by message, since GetWindowTextW does not read a control of another
// process; a window that hangs gives up after five seconds.
inline std::wstring WindowText(HWND window)
{
    WCHAR text[1024] = {0};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, NULL);
    return text;
}

// Whether the window is of the class; class names are compared without regard to case.
inline bool HasWindowClass(HWND window, LPCWSTR name)
{
    WCHAR className[256] = {0};
    GetClassNameW(window, className, 256);
    return lstrcmpiW(className, name) == 0;
}

#endif
