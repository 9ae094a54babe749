/* The handheld's Win32 API (Windows CE 3.0, Pocket PC 2000) as far as the program and its
 * resource script use it, written from Microsoft's Windows CE 5.0 and Windows Embedded CE 6.0
 * reference: every function there is marked "Windows CE 1.0 and later" or later up to
 * "Windows CE 3.0 and later", with the signature, record layout and library that page gives.
 * Declarations only: it stands in for the device SDK's <windows.h> in the device's build
 * (preset "device") and the compiler check (preset "msvc-check"), where a name the handheld
 * lacks must fail to compile. Add a name only with the page that gives it to CE 3.0.
 *
 * Libraries: an application links every coredll call through coredll.lib, also where a page
 * names the operating system's component library instead (Dlgmgr.lib, Nk.lib).
 *
 * Constant values: the CE pages name the constants; where a page gives no value, the value is
 * the one the desktop Win32 reference gives for the same constant (the handheld shares them).
 * Each group says which. The handheld is Unicode only: its exports carry the W suffix. */
#ifndef DUNVATEL_WINCE_SDK_WINDOWS_H
#define DUNVATEL_WINCE_SDK_WINDOWS_H

/* ---- Base types and macros ----
 * "Windows Data Types" and "Data Types (Windows CE 5.0)": the 32-bit handheld's sizes
 * (BOOL, UINT, LONG and DWORD 32 bits; WCHAR a 16-bit Unicode unit; handles pointer-sized). */
#define TRUE 1
#define FALSE 0
#define DUNVATEL_WINCE_WIDE(text) L##text
#define TEXT(text) DUNVATEL_WINCE_WIDE(text)

/* One calling convention on ARM: the decorations the pages show stand for nothing. */
#define WINAPI
#define CALLBACK
#define WINSHELLAPI

/* Resource ids: "MAKEINTRESOURCE (Windows CE 5.0)". */
#define MAKEINTRESOURCEW(id) ((LPWSTR)((DWORD)((WORD)(id))))
/* "LOWORD", "MAKELONG", "MAKEWPARAM" (Windows CE 5.0). */
#define LOWORD(value) ((WORD)((DWORD)(value)&0xFFFF))
#define MAKELONG(low, high) ((LONG)(((WORD)(low)) | ((DWORD)((WORD)(high))) << 16))
#define MAKEWPARAM(low, high) ((WPARAM)(DWORD)MAKELONG(low, high))

/* ---- Window, dialog and control styles (resource script and program) ----
 * "Window and Message Box Styles", "Non-client Area Styles", "Dialog Box Styles",
 * "Static Control Styles", "Combo Box Styles" and "CreateWindowEx" (Windows CE 5.0); values
 * from the desktop reference. WS_EX_CAPTIONOKBTN is the handheld's own: "Non-client Area
 * Styles (Windows CE 5.0)" names it; its value is the one the handheld's headers give it,
 * the top bit, which the desktop leaves unused. */
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_VSCROLL 0x00200000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_CAPTIONOKBTN 0x80000000L
#define DS_SETFONT 0x40L
#define SS_RIGHT 0x00000002L
#define SS_ICON 0x00000003L
#define SS_NOPREFIX 0x00000080L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_SORT 0x0100L

/* Dialog and message-box results: "MessageBox (Windows CE 5.0)". */
#define IDOK 1
#define IDYES 6

/* Languages: "LANGUAGE Statement (Windows CE 5.0)"; the sublanguage value from the desktop
 * reference ("Language Identifier Constants and Strings"). */
#define SUBLANG_DEFAULT 0x01

#ifndef RC_INVOKED

#include <stdarg.h>
#include <stddef.h>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef long LONG;
typedef wchar_t WCHAR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef BOOL* LPBOOL;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef unsigned int WPARAM;
typedef long LPARAM;
typedef long LRESULT;

/* Handles: each kind its own type, so that one cannot stand in for another. */
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef void* HGDIOBJ;
#define DUNVATEL_WINCE_HANDLE(name)                                                                \
    struct name##__                                                                                \
    {                                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__* name
DUNVATEL_WINCE_HANDLE(HWND);
DUNVATEL_WINCE_HANDLE(HINSTANCE);
DUNVATEL_WINCE_HANDLE(HKEY);
DUNVATEL_WINCE_HANDLE(HRSRC);
DUNVATEL_WINCE_HANDLE(HACCEL);
DUNVATEL_WINCE_HANDLE(HBRUSH);
DUNVATEL_WINCE_HANDLE(HICON);
DUNVATEL_WINCE_HANDLE(HMENU);
DUNVATEL_WINCE_HANDLE(HDC);
#undef DUNVATEL_WINCE_HANDLE
typedef HICON HCURSOR;
typedef HKEY* PHKEY;

/* "RECT (Windows CE 5.0)", "POINT (Windows CE 5.0)". */
typedef struct tagRECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagPOINT
{
    LONG x;
    LONG y;
} POINT;

/* "FILETIME (Windows CE 5.0)": only as the registry calls' out-parameter, always NULL. */
typedef struct _FILETIME
{
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME;

/* "SECURITY_ATTRIBUTES (Windows CE 5.0)": only as RegCreateKeyEx's and CreateFile's parameter,
 * always NULL. */
typedef struct _SECURITY_ATTRIBUTES
{
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
/* "DialogProc (Windows CE 5.0)": a dialog procedure answers BOOL. */
typedef BOOL(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#ifdef __cplusplus
extern "C"
{
#endif

    /* "WinMain (Windows CE 5.0)" (…/ms914104(v=msdn.10)): the command line is wide. */
    int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
                       int nShowCmd);

    /* ---- Registry (coredll) ----
     * "RegOpenKeyEx (Windows CE 5.0)" (https://learn.microsoft.com/en-us/previous-versions/
     * windows/embedded/ms891460(v=msdn.10)), "RegCreateKeyEx" (…/ms891450(v=msdn.10)),
     * "RegCloseKey", "RegDeleteKey", "RegEnumKeyEx", "RegEnumValue", "RegQueryInfoKey",
     * "RegQueryValueEx", "RegSetValueEx" (Windows CE 5.0): Windows CE 1.0 and later, coredll.lib.
     * samDesired is not supported (0); RegDeleteKey removes the key with its subkeys. No
     * RegDeleteTree, RegGetValue or RegCopyTree. Values from the desktop reference. */
    typedef DWORD REGSAM;
#define HKEY_CURRENT_USER ((HKEY)0x80000001UL)
#define ERROR_SUCCESS 0L
/* "Enumerating Registry Keys" (Windows CE 5.0, …/aa915565(v=msdn.10)): RegEnumValue returns
 * ERROR_NO_MORE_ITEMS past the last value. Value from the desktop reference. */
#define ERROR_NO_MORE_ITEMS 259L
#define REG_SZ 1
#define REG_MULTI_SZ 7

    LONG RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                       PHKEY phkResult);
    LONG RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                         DWORD dwOptions, REGSAM samDesired,
                         LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                         LPDWORD lpdwDisposition);
    LONG RegCloseKey(HKEY hKey);
    LONG RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
    LONG RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcbName,
                       LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcbClass,
                       PFILETIME lpftLastWriteTime);
    LONG RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcbValueName,
                       LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
    LONG RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcbClass, LPDWORD lpReserved,
                          LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                          LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                          LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);
    LONG RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                          LPBYTE lpData, LPDWORD lpcbData);
    LONG RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                        const BYTE* lpData, DWORD cbData);

/* ---- Code pages (coredll) ----
 * "MultiByteToWideChar", "WideCharToMultiByte" (Windows CE 5.0): Windows CE 1.0 and later.
 * Values from the desktop reference. */
#define CP_OEMCP 1
#define MB_PRECOMPOSED 0x00000001

    int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                            LPWSTR lpWideCharStr, int cchWideChar);
    int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                            LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                            LPBOOL lpUsedDefaultChar);

/* ---- Resources (coredll) ----
 * "FindResource", "LoadResource", "LockResource" (https://learn.microsoft.com/en-us/
 * previous-versions/windows/embedded/aa453417(v=msdn.10)), "LoadString", "LoadIcon",
 * "LoadAccelerators" (Windows CE 5.0): Windows CE 1.0 and later, coredll.lib. RT_DIALOG's
 * value from the desktop reference ("Resource Types"). */
#define RT_DIALOG MAKEINTRESOURCEW(5)

    HRSRC FindResourceW(HINSTANCE hModule, LPCWSTR lpName, LPCWSTR lpType);
    HGLOBAL LoadResource(HINSTANCE hModule, HRSRC hResInfo);
/* LockResource is no call on the handheld: LoadResource already gives the resource's address,
 * and the SDK's winbase.h makes LockResource a macro that gives back its argument. coredll
 * exports no LockResource: CeGCC's record of coredll's exports (repository svn2github/cegcc,
 * cegcc/src/w32api/libce/coredll.def) has none, and CeGCC's Windows CE winbase.h
 * (cegcc/src/w32api/include/winbase.h) defines it under _WIN32_WCE as this one does. */
#define LockResource(hResData) ((LPVOID)(hResData))
    int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int nBufferMax);
    HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName);
    HACCEL LoadAcceleratorsW(HINSTANCE hInstance, LPCWSTR lpTableName);

/* ---- Messages ----
 * "WM_CREATE", "WM_DESTROY", "WM_ACTIVATE", "WM_PAINT", "WM_CLOSE", "WM_QUIT",
 * "WM_SETTINGCHANGE", "WM_INITDIALOG", "WM_COMMAND" and the combo box messages
 * "CB_ADDSTRING" … "CB_SETCURSEL" (Windows CE 5.0); values from the desktop reference. */
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_ACTIVATE 0x0006
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SETTINGCHANGE 0x001A
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WA_INACTIVE 0
#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_RESETCONTENT 0x014B
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E

    /* "MSG (Windows CE 5.0)". */
    typedef struct tagMSG
    {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD time;
        POINT pt;
    } MSG, *LPMSG;

    /* "GetMessage", "TranslateMessage", "DispatchMessage", "IsDialogMessage",
     * "TranslateAccelerator", "SendMessage", "SendDlgItemMessage" (…/ms932717(v=msdn.10),
     * which answers LONG), "PostQuitMessage", "DefWindowProc" (Windows CE 5.0): Windows CE 1.0
     * and later. */
    BOOL GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
    BOOL TranslateMessage(const MSG* lpMsg);
    LRESULT DispatchMessageW(const MSG* lpMsg);
    BOOL IsDialogMessageW(HWND hDlg, LPMSG lpMsg);
    int TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);
    LRESULT SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    LONG SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
    void PostQuitMessage(int nExitCode);
    LRESULT DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

/* ---- Windows ----
 * "WNDCLASS (Windows CE 5.0)", "RegisterClass", "CreateWindowEx" (https://learn.microsoft.com/
 * en-us/previous-versions/windows/embedded/ms908193(v=msdn.10)), "FindWindow",
 * "SetForegroundWindow", "ShowWindow", "UpdateWindow", "DestroyWindow", "MoveWindow",
 * "GetWindowRect" (Windows CE 5.0): Windows CE 1.0 and later, coredll.lib. There is no
 * RegisterClassEx. Values from the desktop reference. */
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CW_USEDEFAULT ((int)0x80000000)

    typedef struct tagWNDCLASSW
    {
        UINT style;
        WNDPROC lpfnWndProc;
        int cbClsExtra;
        int cbWndExtra;
        HINSTANCE hInstance;
        HICON hIcon;
        HCURSOR hCursor;
        HBRUSH hbrBackground;
        LPCWSTR lpszMenuName;
        LPCWSTR lpszClassName;
    } WNDCLASSW;

    ATOM RegisterClassW(const WNDCLASSW* lpWndClass);
    HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle,
                         int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                         HINSTANCE hInstance, LPVOID lpParam);
    HWND FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName);
    BOOL SetForegroundWindow(HWND hWnd);
    BOOL ShowWindow(HWND hWnd, int nCmdShow);
    BOOL UpdateWindow(HWND hWnd);
    BOOL DestroyWindow(HWND hWnd);
    BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
    BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);

/* ---- Dialog boxes ----
 * "DLGTEMPLATE (Windows CE 5.0)" (the record is packed to 16 bits), "DialogBoxIndirectParam",
 * "CreateDialogIndirectParam", "EndDialog" (Windows CE 5.0): Windows CE 1.0 and later,
 * coredll.lib. The handheld's dialog calls take templates, not resource names. */
#pragma pack(push, 2)
    typedef struct
    {
        DWORD style;
        DWORD dwExtendedStyle;
        WORD cdit;
        short x;
        short y;
        short cx;
        short cy;
    } DLGTEMPLATE;
#pragma pack(pop)
    typedef const DLGTEMPLATE* LPCDLGTEMPLATEW;

    int DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
    HWND CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate,
                                    HWND hWndParent, DLGPROC lpDialogFunc, LPARAM lParamInit);
    BOOL EndDialog(HWND hDlg, int nResult);

/* ---- Message boxes and text ----
 * "MessageBox (Windows CE 5.0)": Windows CE 1.0 and later, coredll.lib; values from the
 * desktop reference. "wvsprintf (Windows CE 5.0)" (https://learn.microsoft.com/en-us/
 * previous-versions/windows/embedded/aa450994(v=msdn.10)): Unicode only, output at most
 * 1024 characters. */
#define MB_OK 0x00000000L
#define MB_YESNO 0x00000004L

    int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
    int wvsprintfW(LPWSTR lpOutput, LPCWSTR lpFormat, va_list arglist);

/* ---- Files (coredll) ----
 * "CreateFile", "CloseHandle", "GetFileAttributes" (https://learn.microsoft.com/en-us/
 * previous-versions/windows/embedded/ms890895(v=msdn.10): 0xFFFFFFFF indicates failure),
 * "DeleteFile" (…/ms923961(v=msdn.10)), "MoveFile" (…/ms891388(v=msdn.10): the new name must
 * not already exist) (Windows CE 5.0): Windows CE 1.0 and later, coredll.lib. There is no
 * MoveFileEx and no ReplaceFile; "DeleteAndRenameFile" (…/ms923960(v=msdn.10)) replaces a file
 * in one step but works for the object store only, not on a storage card, and is not used.
 * Values from the desktop reference. */
#define GENERIC_WRITE 0x40000000L
#define CREATE_NEW 1
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_HANDLE_VALUE ((HANDLE)(long)-1)

    HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                       LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                       DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
    BOOL CloseHandle(HANDLE hObject);
    DWORD GetFileAttributesW(LPCWSTR lpFileName);
    BOOL DeleteFileW(LPCWSTR lpFileName);
    BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName);

/* ---- Cursors (coredll) ----
 * "SetCursor (Windows CE 5.0)" (https://learn.microsoft.com/en-us/previous-versions/windows/
 * embedded/ms940016(v=msdn.10)): it answers the cursor it replaces, NULL when there was none;
 * "LoadCursor (Windows CE 5.0)" (…/aa453410(v=msdn.10)); "Creating a Cursor (Windows CE 5.0)"
 * (…/ms926174(v=msdn.10)): a platform without a mouse has the wait cursor only, shown with
 * SetCursor(LoadCursor(NULL, IDC_WAIT)). The pages of the cursor calls ("GetCursor"
 * …/ms929225(v=msdn.10), "ShowCursor" …/aa453730(v=msdn.10)) give Windows CE 1.0 and later
 * and the cursor components' libraries (Cursor.lib, Mcursor.lib); Microsoft's article Q241591
 * for the handheld's Visual Basic of Windows CE 3.0 imports LoadCursorW and SetCursor from
 * coredll and gives IDC_WAIT as 32514, the desktop reference's value. */
#define IDC_WAIT MAKEINTRESOURCEW(32514)

    HCURSOR LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName);
    HCURSOR SetCursor(HCURSOR hCursor);

/* ---- Painting (coredll) ----
 * "PAINTSTRUCT", "BeginPaint", "EndPaint", "GetStockObject" (Windows CE 5.0): Windows CE 1.0
 * and later. WHITE_BRUSH's value from the desktop reference. */
#define WHITE_BRUSH 0

    typedef struct tagPAINTSTRUCT
    {
        HDC hdc;
        BOOL fErase;
        RECT rcPaint;
        BOOL fRestore;
        BOOL fIncUpdate;
        BYTE rgbReserved[32];
    } PAINTSTRUCT, *LPPAINTSTRUCT;

    HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT lpPaint);
    BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
    HGDIOBJ GetStockObject(int fnObject);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
