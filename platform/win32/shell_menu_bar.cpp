// Desktop stand-in for the shell's menu bar: a window at the foot of the screen, built from the
// program's menu-bar record as the handheld's shell builds it.
#include "platform/platform.h"

#include <commctrl.h>

#include "platform/win32/shell_screen.h"

namespace
{

// The menu-bar record, in 16-bit words: the menu id and the button count, then for each
// button its image, command, state, style, string id, a zero word and its pop-up's index in
// the menu.
const DWORD RECORD_HEAD_WORDS = 2;
const DWORD RECORD_BUTTON_WORDS = 7;
enum ButtonWord
{
    BUTTON_IMAGE,
    BUTTON_COMMAND,
    BUTTON_STATE,
    BUTTON_STYLE,
    BUTTON_STRING,
    BUTTON_ZERO,
    BUTTON_POPUP
};
// The pop-up index of a button without a pop-up.
const WORD NO_POPUP = 0xFFFF;

// Pixels on each side of a button's text.
const int BUTTON_PADDING = 8;
const int BUTTON_TEXT_CAPACITY = 64;

// Opens the pop-up of the button in lParam, once the button has finished its click.
const UINT WM_OPEN_POPUP = WM_APP;

struct MenuBarRecord
{
    const WORD* words;
    WORD buttonCount;
};

const WORD* ButtonWords(const MenuBarRecord& record, WORD button)
{
    return record.words + RECORD_HEAD_WORDS + button * RECORD_BUTTON_WORDS;
}

bool ReadRecord(HINSTANCE instance, UINT id, MenuBarRecord* record)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!found)
        return false;
    DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const WORD* words = loaded ? (const WORD*)LockResource(loaded) : NULL;
    if (!words || size % sizeof(WORD) != 0 || size / sizeof(WORD) < RECORD_HEAD_WORDS)
        return false;
    if (size / sizeof(WORD) != RECORD_HEAD_WORDS + words[1] * RECORD_BUTTON_WORDS)
        return false;
    record->words = words;
    record->buttonCount = words[1];
    return true;
}

// Whether every button's pop-up index names a pop-up of `menu`.
bool PopupsExist(const MenuBarRecord& record, HMENU menu)
{
    for (WORD button = 0; button < record.buttonCount; ++button)
    {
        WORD popup = ButtonWords(record, button)[BUTTON_POPUP];
        if (popup != NO_POPUP && (!menu || !GetSubMenu(menu, popup)))
            return false;
    }
    return true;
}

void OpenPopup(HWND bar, HWND button)
{
    HMENU menu = (HMENU)GetWindowLongPtrW(bar, GWLP_USERDATA);
    HMENU popup = GetSubMenu(menu, (int)GetWindowLongPtrW(button, GWLP_USERDATA) - 1);
    HWND owner = GetWindow(bar, GW_OWNER);
    RECT rect;
    GetWindowRect(button, &rect);
    // The owner gets the pop-up's messages and the chosen item's WM_COMMAND, as from the
    // handheld's menu bar; a pop-up closes on a tap elsewhere only when its window is in front.
    SetForegroundWindow(owner);
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN, rect.left, rect.top, owner, NULL);
}

void PressButton(HWND bar, HWND button)
{
    if (GetWindowLongPtrW(button, GWLP_USERDATA))
    {
        // The button holds the mouse capture until its click is over.
        PostMessageW(bar, WM_OPEN_POPUP, 0, (LPARAM)button);
        return;
    }
    HWND owner = GetWindow(bar, GW_OWNER);
    SetForegroundWindow(owner);
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), 0), 0);
}

LRESULT CALLBACK MenuBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam)
            PressButton(bar, (HWND)lParam);
        return 0;
    case WM_OPEN_POPUP:
        OpenPopup(bar, (HWND)lParam);
        return 0;
    case WM_DESTROY:
        // The bar owns the record's menu.
        if (GetWindowLongPtrW(bar, GWLP_USERDATA))
            DestroyMenu((HMENU)GetWindowLongPtrW(bar, GWLP_USERDATA));
        return 0;
    default:
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

// One button of the record at `*x`, as wide as its text; `*x` moves past it.
bool AddButton(HWND bar, HINSTANCE instance, const WORD* words, int* x)
{
    WCHAR text[BUTTON_TEXT_CAPACITY] = {0};
    LoadStringW(instance, words[BUTTON_STRING], text, BUTTON_TEXT_CAPACITY);
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    HDC dc = GetDC(bar);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, previous);
    ReleaseDC(bar, dc);
    int width = extent.cx + 2 * BUTTON_PADDING;
    HWND button = CreateWindowExW(0, TEXT("Button"), text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  *x, 0, width, SHELL_MENU_BAR_HEIGHT, bar,
                                  (HMENU)(INT_PTR)words[BUTTON_COMMAND], instance, NULL);
    if (!button)
        return false;
    SendMessageW(button, WM_SETFONT, (WPARAM)font, FALSE);
    EnableWindow(button, (words[BUTTON_STATE] & TBSTATE_ENABLED) != 0);
    // A drop-down button remembers its pop-up, counted from 1 (0: none).
    if ((words[BUTTON_STYLE] & TBSTYLE_DROPDOWN) && words[BUTTON_POPUP] != NO_POPUP)
        SetWindowLongPtrW(button, GWLP_USERDATA, (LONG_PTR)words[BUTTON_POPUP] + 1);
    *x += width;
    return true;
}

// The bar's window across the foot of the screen, owned by `owner`: it stays above it and
// ends with it. The bar owns `menu` from here on, also when it cannot be made.
HWND CreateBar(HWND owner, HMENU menu)
{
    HWND bar = NULL;
    if (RegisterShellClass(SHELL_MENU_BAR_CLASS, MenuBarProc, (HBRUSH)(COLOR_BTNFACE + 1)))
    {
        RECT area = ShellScreenArea();
        bar =
            CreateWindowExW(0, SHELL_MENU_BAR_CLASS, TEXT(""), WS_POPUP | WS_CLIPCHILDREN,
                            area.left, area.bottom - SHELL_MENU_BAR_HEIGHT, area.right - area.left,
                            SHELL_MENU_BAR_HEIGHT, owner, NULL, GetModuleHandleW(NULL), NULL);
    }
    if (bar)
        SetWindowLongPtrW(bar, GWLP_USERDATA, (LONG_PTR)menu);
    else if (menu)
        DestroyMenu(menu);
    return bar;
}

} // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || !IsWindow(info->hwndParent))
        return FALSE;
    // The handheld's shell gives every program window this place whether or not its menu bar
    // can be made; on the desktop the bar's creation is where the window first meets the
    // shell. The program moves the window's foot up to the bar's top itself.
    TakeShellPlace(info->hwndParent, false);

    MenuBarRecord record;
    if (!ReadRecord(info->hInstRes, info->nToolBarId, &record))
        return FALSE;
    WORD menuId = record.words[0];
    HMENU menu = menuId ? LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(menuId)) : NULL;
    if (menuId && !menu)
        return FALSE;
    if (!PopupsExist(record, menu))
    {
        if (menu)
            DestroyMenu(menu);
        return FALSE;
    }
    HWND bar = CreateBar(info->hwndParent, menu);
    if (!bar)
        return FALSE;
    int x = 0;
    for (WORD button = 0; button < record.buttonCount; ++button)
    {
        if (!AddButton(bar, info->hInstRes, ButtonWords(record, button), &x))
        {
            DestroyWindow(bar);
            return FALSE;
        }
    }
    ShowWindow(bar, SW_SHOWNOACTIVATE);
    info->hwndMB = bar;
    return TRUE;
}
