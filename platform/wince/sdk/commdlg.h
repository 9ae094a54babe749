/* The handheld's common file dialogs, as far as the program uses them: "OPENFILENAME
 * (Windows CE 5.0)" (https://learn.microsoft.com/en-us/previous-versions/windows/embedded/
 * ms911906(v=msdn.10)), "GetOpenFileName (Windows CE 5.0)" (…/aa453150(v=msdn.10)) and
 * "GetSaveFileName (Windows CE 5.0)" (…/aa453162(v=msdn.10)): Windows CE 1.0 and later. On the
 * Pocket PC both are exports of coredll.dll, not of its commdlg.dll (coredll.def gives the
 * records). The record ends at lpTemplateName (76 bytes); the handheld has one kind of
 * file dialog and no OFN_EXPLORER. Flag values from the desktop reference. */
#ifndef DUNVATEL_WINCE_SDK_COMMDLG_H
#define DUNVATEL_WINCE_SDK_COMMDLG_H

#include <windows.h>

#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_FILEMUSTEXIST 0x00001000

#ifndef RC_INVOKED

typedef UINT(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW
{
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    DWORD lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
} OPENFILENAMEW, *LPOPENFILENAMEW;

#ifdef __cplusplus
extern "C"
{
#endif

    BOOL GetOpenFileNameW(LPOPENFILENAMEW lpofn);
    BOOL GetSaveFileNameW(LPOPENFILENAMEW lpofn);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
