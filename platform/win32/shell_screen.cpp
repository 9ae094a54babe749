// Desktop stand-in for the handheld shell's screen: the top bar above a program's window and
// the place the shell gives that window.
#include "platform/platform.h"

#include "platform/win32/shell_screen.h"

namespace
{

// The shell's colours: white text on dark blue.
const COLORREF TOP_BAR_BACKGROUND = RGB(0, 0, 128);
const COLORREF TOP_BAR_TEXT = RGB(255, 255, 255);
// Pixels between the title and the bar's left edge, and around the OK button.
const int TOP_BAR_TITLE_MARGIN = 6;
const int DONE_BUTTON_MARGIN = 3;
const int DONE_BUTTON_WIDTH = 30;
const int TITLE_CAPACITY = 128;

// Paints the top bar's window afresh, once the program has reached its message loop.
const UINT WM_REPAINT_OWNER = WM_APP;

// The styles that give a desktop window its caption and frame; the handheld's windows have
// neither, the top bar shows the title instead.
const LONG FRAME_STYLES = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
const LONG FRAME_EX_STYLES =
    WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

struct OwnedSearch
{
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedTopBar(HWND window, LPARAM parameter)
{
    OwnedSearch* search = (OwnedSearch*)parameter;
    WCHAR className[32] = {0};
    GetClassNameW(window, className, 32);
    if (GetWindow(window, GW_OWNER) != search->owner || lstrcmpW(className, SHELL_TOP_BAR_CLASS))
        return TRUE;
    search->found = window;
    return FALSE;
}

void PaintTopBar(HWND bar)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar, &paint);
    RECT rect;
    GetClientRect(bar, &rect);
    HBRUSH background = CreateSolidBrush(TOP_BAR_BACKGROUND);
    FillRect(dc, &rect, background);
    DeleteObject(background);

    WCHAR title[TITLE_CAPACITY] = {0};
    GetWindowTextW(GetWindow(bar, GW_OWNER), title, TITLE_CAPACITY);
    LOGFONTW look;
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(look), &look);
    look.lfWeight = FW_BOLD;
    HFONT font = CreateFontIndirectW(&look);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TOP_BAR_TEXT);
    rect.left += TOP_BAR_TITLE_MARGIN;
    DrawTextW(dc, title, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(bar, &paint);
}

LRESULT CALLBACK TopBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_PAINT:
        PaintTopBar(bar);
        return 0;
    case WM_COMMAND:
        // The OK button: its command goes to the window that asked for it, posted, since that
        // window may end (and take this bar with it) on receiving it.
        if (LOWORD(wParam) == IDOK)
            PostMessageW((HWND)GetWindowLongPtrW(bar, GWLP_USERDATA), WM_COMMAND,
                         MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    case WM_REPAINT_OWNER:
        RedrawWindow(GetWindow(bar, GW_OWNER), NULL, NULL,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return 0;
    default:
        return DefWindowProcW(bar, message, wParam, lParam);
    }
}

} // namespace

bool RegisterShellClass(LPCWSTR name, WNDPROC procedure, HBRUSH background)
{
    HINSTANCE instance = GetModuleHandleW(NULL);
    WNDCLASSW found;
    if (GetClassInfoW(instance, name, &found))
        return true;
    WNDCLASSW barClass;
    memset(&barClass, 0, sizeof(barClass));
    barClass.lpfnWndProc = procedure;
    barClass.hInstance = instance;
    barClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    barClass.hbrBackground = background;
    barClass.lpszClassName = name;
    return RegisterClassW(&barClass) != 0;
}

RECT ShellScreenArea()
{
    RECT area;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return area;
}

void TakeShellPlace(HWND window, bool aboveMenuBar)
{
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) & ~FRAME_STYLES);
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) & ~FRAME_EX_STYLES);
    RECT area = ShellScreenArea();
    int top = area.top + SHELL_TOP_BAR_HEIGHT;
    int bottom = area.bottom - (aboveMenuBar ? SHELL_MENU_BAR_HEIGHT : 0);
    SetWindowPos(window, NULL, area.left, top, area.right - area.left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The program may go on to move the window's edges without repainting it, as the main
    // window makes room for the menu bar once it is shown; under Wine the parts that change
    // then keep no picture and are not erased again. The whole window is painted afresh when
    // the program's messages are next read.
    PostMessageW(ShowTopBar(window), WM_REPAINT_OWNER, 0, 0);
}

HWND FindTopBar(HWND window)
{
    OwnedSearch search = {window, NULL};
    EnumThreadWindows(GetWindowThreadProcessId(window, NULL), FindOwnedTopBar, (LPARAM)&search);
    return search.found;
}

HWND ShowTopBar(HWND window)
{
    HWND bar = FindTopBar(window);
    if (bar || !RegisterShellClass(SHELL_TOP_BAR_CLASS, TopBarProc, NULL))
        return bar;
    // Owned by the window: it stays above it and ends with it.
    RECT area = ShellScreenArea();
    bar = CreateWindowExW(0, SHELL_TOP_BAR_CLASS, TEXT(""), WS_POPUP | WS_CLIPCHILDREN, area.left,
                          area.top, area.right - area.left, SHELL_TOP_BAR_HEIGHT, window, NULL,
                          GetModuleHandleW(NULL), NULL);
    if (bar)
        ShowWindow(bar, SW_SHOWNOACTIVATE);
    return bar;
}

void AddTopBarDoneButton(HWND topBar, HWND target)
{
    SetWindowLongPtrW(topBar, GWLP_USERDATA, (LONG_PTR)target);
    if (GetDlgItem(topBar, IDOK))
        return;
    RECT rect;
    GetClientRect(topBar, &rect);
    HWND button =
        CreateWindowExW(0, TEXT("Button"), TEXT("OK"), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                        rect.right - DONE_BUTTON_MARGIN - DONE_BUTTON_WIDTH, DONE_BUTTON_MARGIN,
                        DONE_BUTTON_WIDTH, rect.bottom - 2 * DONE_BUTTON_MARGIN, topBar,
                        (HMENU)(INT_PTR)IDOK, GetModuleHandleW(NULL), NULL);
    if (button)
        SendMessageW(button, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
}
