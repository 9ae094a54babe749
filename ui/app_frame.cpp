// The application frame: the single-instance check, the main window with the shell's menu
// bar, the About box, the main dialog's creation and the message loop.
#include "ui/app_frame.h"

#include "base/window_globals.h"
#include "resources/resource.h"
#include "ui/main_dialog.h"

// Capacity in units of the buffers that hold the window's class name and title.
#define FRAME_TEXT_CAPACITY 100

// Finds, loads and locks one of the program's dialog templates; NULL when it cannot be had.
// The templates are taken by hand because the handheld's dialog calls take templates, not
// resource names.
static LPCDLGTEMPLATEW LoadDialogTemplate(int id)
{
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (!found)
        return NULL;
    HGLOBAL loaded = LoadResource(g_instance, found);
    if (!loaded)
        return NULL;
    return (LPCDLGTEMPLATEW)LockResource(loaded);
}

static INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
    {
        SHINITDLGINFO info;
        memset(&info, 0, sizeof(info));
        info.dwMask = SHIDIM_FLAGS;
        info.hDlg = dialog;
        info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
        SHInitDialog(&info);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
    {
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

static void ShowAboutBox(HWND owner)
{
    LPCDLGTEMPLATEW dialogTemplate = LoadDialogTemplate(IDD_ABOUT);
    if (dialogTemplate)
        DialogBoxIndirectParamW(g_instance, dialogTemplate, owner, AboutDialogProc, 0);
}

static LRESULT HandleCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDOK:
        SendMessageW(window, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), (LPARAM)window);
        SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case IDM_ABOUT:
        ShowAboutBox(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

static void PaintNothing(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

static HWND CreateMainMenuBar(HWND window)
{
    SHMENUBARINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = SHMENUBARINFO_SIZE;
    info.hwndParent = window;
    info.nToolBarId = IDR_MENUBAR;
    info.hInstRes = g_instance;
    if (!SHCreateMenuBar(&info))
        return NULL;
    return info.hwndMB;
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
        g_menuBar = CreateMainMenuBar(window);
        memset(&g_activateInfo, 0, sizeof(g_activateInfo));
        g_activateInfo.cbSize = SHACTIVATEINFO_SIZE;
        return 0;
    case WM_COMMAND:
        return HandleCommand(window, message, wParam, lParam);
    case WM_PAINT:
        PaintNothing(window);
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(window, wParam, lParam, &g_activateInfo, 0);
        return 0;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(window, wParam, lParam, &g_activateInfo);
        return 0;
    case WM_DESTROY:
        DestroyWindow(g_menuBar);
        DestroyWindow(g_mainDialog);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

static ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className)
{
    WNDCLASSW windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass);
}

// Leaves room under the window for the shell's menu bar: left, top and right stay.
static void MakeRoomForMenuBar(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return;
    rect.bottom -= MENU_BAR_HEIGHT;
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

BOOL StartMainWindow(HINSTANCE instance, int showState)
{
    g_instance = instance;
    WCHAR className[FRAME_TEXT_CAPACITY];
    WCHAR title[FRAME_TEXT_CAPACITY];
    LoadStringW(instance, IDS_CLASS, className, FRAME_TEXT_CAPACITY);
    LoadStringW(instance, IDS_TITLE, title, FRAME_TEXT_CAPACITY);

    HWND running = FindWindowW(className, title);
    if (running)
    {
        BringWindowForward(running);
        return FALSE;
    }

    RegisterMainWindowClass(instance, className);
    HWND window = CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
    if (!window)
        return FALSE;
    if (g_menuBar)
        MakeRoomForMenuBar(window);
    ShowWindow(window, showState);
    UpdateWindow(window);
    g_mainWindow = window;
    return TRUE;
}

HWND CreateMainDialog()
{
    LPCDLGTEMPLATEW dialogTemplate = LoadDialogTemplate(IDD_MAIN);
    if (!dialogTemplate)
        return NULL;
    return CreateDialogIndirectParamW(g_instance, dialogTemplate, g_mainWindow, MainDialogProc, 0);
}

int RunMessageLoop(HACCEL accelerators)
{
    MSG message;
    memset(&message, 0, sizeof(message));
    // GetMessageW answers -1 on an error; a quit message (0) ends the loop, and an error ends
    // it too rather than spinning on it, with the code 0 as after the quit message.
    while (GetMessageW(&message, NULL, 0, 0) > 0)
    {
        if (IsDialogMessageW(g_mainDialog, &message))
            continue;
        if (TranslateAcceleratorW(message.hwnd, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (message.message != WM_QUIT)
        return 0;
    return (int)message.wParam;
}
