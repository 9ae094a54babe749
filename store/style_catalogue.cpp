#include "store/style_catalogue.h"

#include "base/buffer_slack.h"
#include "base/memory_notice.h"
#include "base/window_globals.h"
#include "resources/resource.h"
#include "store/standard_style.h"
#include "store/style_store.h"

// Room for a style name in the list walk, terminator included: longer names are left out.
#define STYLE_NAME_CAPACITY 32

void RefreshStyleList(HWND dialog)
{
    SendDlgItemMessageW(dialog, IDC_STYLE_LIST, CB_RESETCONTENT, 0, 0);
    FillStyleNames(dialog, IDC_STYLE_LIST);
    // The second entry, not the first: with fewer than two styles nothing is selected.
    SendDlgItemMessageW(dialog, IDC_STYLE_LIST, CB_SETCURSEL, 1, 0);
    SelectStandardStyle(dialog, IDC_STYLE_LIST);
}

void FillStyleNames(HWND dialog, int listId)
{
    HKEY styles;
    if (!OpenUserKey(STYLE_LIST_KEY, &styles))
        return;
    DWORD count = 0;
    if (RegQueryInfoKeyW(styles, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL, NULL, NULL,
                         NULL) == ERROR_SUCCESS)
    {
        for (DWORD index = 0; index < count; ++index)
        {
            WCHAR name[STYLE_NAME_CAPACITY];
            DWORD capacity = STYLE_NAME_CAPACITY;
            // A name too long for the buffer fails to enumerate and is left out.
            if (RegEnumKeyExW(styles, index, name, &capacity, NULL, NULL, NULL, NULL) ==
                ERROR_SUCCESS)
                SendDlgItemMessageW(dialog, listId, CB_ADDSTRING, 0, (LPARAM)name);
        }
    }
    RegCloseKey(styles);
}

void SelectStandardStyle(HWND dialog, int listId)
{
    HKEY settings;
    if (!OpenUserKey(IME_SETTINGS_KEY, &settings))
        return;
    WCHAR name[STANDARD_NAME_UNITS];
    // The list searches from the entry after position 0 and selects the first entry that
    // begins with the name; when none does, the earlier selection stays.
    if (ReadStandardStyleName(settings, name))
        SendDlgItemMessageW(dialog, listId, CB_SELECTSTRING, 0, (LPARAM)name);
    RegCloseKey(settings);
}

WCHAR* GetSelectedStyleName(HWND dialog, int listId, BOOL* outOfMemory)
{
    if (outOfMemory)
        *outOfMemory = FALSE;
    LRESULT position = SendDlgItemMessageW(dialog, listId, CB_GETCURSEL, 0, 0);
    if (position == CB_ERR)
        return NULL;
    // A failed length (CB_ERR) still leaves room for the terminator, and the fetch then fails.
    LRESULT length = SendDlgItemMessageW(dialog, listId, CB_GETLBTEXTLEN, (WPARAM)position, 0);
    WCHAR* name = (WCHAR*)malloc((length + BUFFER_SLACK) * sizeof(WCHAR));
    if (!name)
    {
        if (outOfMemory)
            *outOfMemory = TRUE;
        return NULL;
    }
    if (SendDlgItemMessageW(dialog, listId, CB_GETLBTEXT, (WPARAM)position, (LPARAM)name) == CB_ERR)
    {
        free(name);
        return NULL;
    }
    return name;
}

void SetStandardStyle(HWND dialog, int listId)
{
    HKEY settings;
    if (!OpenUserKey(IME_SETTINGS_KEY, &settings))
        return;
    BOOL outOfMemory;
    WCHAR* name = GetSelectedStyleName(dialog, listId, &outOfMemory);
    if (!name)
    {
        RegCloseKey(settings);
        if (outOfMemory)
            ShowMemoryNotice();
        return;
    }
    if (wcscmp(name, CUSTOM_STYLE_NAME) == 0 &&
        MessageBoxW(
            g_mainWindow,
            TEXT("Custom の設定内容に間違いがある場合、システムが起動しない等の問題を起こす")
                TEXT("可能性があります。事前のバックアップを強くお勧めします。Custom ")
                    TEXT("を標準に設定してよろしいですか？"),
            name, MB_YESNO) != IDYES)
    {
        RegCloseKey(settings);
        free(name);
        return;
    }
    DWORD bytes = (DWORD)((wcslen(name) + 1) * sizeof(WCHAR));
    LONG written =
        RegSetValueExW(settings, STANDARD_STYLE_VALUE, 0, REG_SZ, (const BYTE*)name, bytes);
    RegCloseKey(settings);
    if (written == ERROR_SUCCESS)
        MessageBoxW(g_mainWindow, TEXT("標準に設定しました。設定はリセット後に有効になります。"),
                    name, MB_OK);
    free(name);
}
