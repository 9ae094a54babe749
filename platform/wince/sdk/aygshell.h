/* The Pocket PC shell library (aygshell), as far as the program uses it. Pages, each saying
 * "Pocket PC 2000 and later" or "Windows CE 3.0 and later", header aygshell.h, aygshell.lib:
 *   "SHInitDialog (Windows CE 5.0)" (https://learn.microsoft.com/en-us/previous-versions/
 *   windows/embedded/aa453713(v=msdn.10)) and "SHINITDLGINFO (Windows Embedded CE 6.0)"
 *   (…/ee504339(v=winembedded.60));
 *   "SHCreateMenuBar" and "SHMENUBARINFO (Windows Embedded CE 6.0)"
 *   (…/ee503215(v=winembedded.60));
 *   "SHHandleWMActivate (Windows CE 5.0)" (…/aa453710(v=msdn.10)),
 *   "SHHandleWMSettingChange" and "SHACTIVATEINFO (Windows CE 5.0)" (…/aa453665(v=msdn.10)).
 * SHIDIM_FLAGS's value is on the SHINITDLGINFO page; the SHIDIF_ flags' values are the
 * handheld's headers' (the pages name them without values). */
#ifndef DUNVATEL_WINCE_SDK_AYGSHELL_H
#define DUNVATEL_WINCE_SDK_AYGSHELL_H

#include <windows.h>

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008

#ifndef RC_INVOKED

typedef struct tagSHINITDIALOG
{
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

typedef struct tagSHMENUBARINFO
{
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

typedef struct
{
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

#ifdef __cplusplus
extern "C"
{
#endif

    BOOL SHInitDialog(PSHINITDLGINFO pshidi);
    BOOL SHCreateMenuBar(SHMENUBARINFO* pmbi);
    WINSHELLAPI BOOL SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                        SHACTIVATEINFO* psai, DWORD dwFlags);
    WINSHELLAPI BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam,
                                             SHACTIVATEINFO* psai);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
