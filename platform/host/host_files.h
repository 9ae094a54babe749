// The host's stand-ins for code-page conversion, the formatter, wide-path file streams and files,
// and the common file dialogs, with the handheld's signatures and results.
#ifndef DUNVATEL_PLATFORM_HOST_FILES_H
#define DUNVATEL_PLATFORM_HOST_FILES_H

#include "platform/host/host_types.h"

#include <stdarg.h>
#include <stdio.h>

// CP_OEMCP stands for the host's OEM code page (932 unless a test sets another); CP_ACP for
// the same. Lengths of -1 take the text up to and including its terminator.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR bytes,
                        int capacity, LPCSTR defaultChar, BOOL* usedDefaultChar);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int length, LPWSTR text,
                        int capacity);

// user32's formatter: %s takes a wide string; output stops at 1023 units and a terminator.
int wvsprintfW(LPWSTR buffer, LPCWSTR format, va_list arguments);

FILE* _wfopen(const WCHAR* path, const WCHAR* mode);

// Files by wide path, with the handheld's results. CreateFileW makes a new empty file
// (CREATE_NEW, the only disposition the stand-in knows) and fails when the name is taken;
// MoveFileW fails when the new name exists; GetFileAttributesW answers 0xFFFFFFFF for a name
// that does not exist, and a file without write permission is read-only.
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
DWORD GetFileAttributesW(LPCWSTR path);
BOOL DeleteFileW(LPCWSTR path);
BOOL MoveFileW(LPCWSTR existing, LPCWSTR newName);

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
    LPARAM lCustData;
    LPVOID lpfnHook;
    LPCWSTR lpTemplateName;
} OPENFILENAMEW, *LPOPENFILENAMEW;

// The record's size as the handheld's 32-bit commdlg counts it. The stand-in refuses a record
// of any other size, as the platform does.
#define PLATFORM_OPENFILENAME_SIZE 76
// Flags the host's dialogs need beyond the program's own: none, as on the handheld.
#define PLATFORM_FILE_DIALOG_FLAGS 0

BOOL GetSaveFileNameW(LPOPENFILENAMEW record);
BOOL GetOpenFileNameW(LPOPENFILENAMEW record);

#endif
