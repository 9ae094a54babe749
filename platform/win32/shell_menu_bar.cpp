// Desktop stand-in for the shell's menu bar: the menu resource as the window's own menu bar,
// held by a hidden child window whose destruction takes the menu away again.
#include "platform/platform.h"

namespace
{

const WCHAR MENU_HOLDER_CLASS[] = TEXT("DunvatelMenuBar");

LRESULT CALLBACK MenuHolderProc(HWND holder, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DESTROY)
        return DefWindowProcW(holder, message, wParam, lParam);
    HMENU menu = (HMENU)GetWindowLongPtrW(holder, GWLP_USERDATA);
    HWND parent = GetParent(holder);
    if (parent && GetMenu(parent) == menu)
        SetMenu(parent, NULL);
    if (menu)
        DestroyMenu(menu);
    return 0;
}

BOOL RegisterMenuHolderClass(HINSTANCE instance)
{
    WNDCLASSW found;
    if (GetClassInfoW(instance, MENU_HOLDER_CLASS, &found))
        return TRUE;
    WNDCLASSW holderClass;
    memset(&holderClass, 0, sizeof(holderClass));
    holderClass.lpfnWndProc = MenuHolderProc;
    holderClass.hInstance = instance;
    holderClass.lpszClassName = MENU_HOLDER_CLASS;
    return RegisterClassW(&holderClass) != 0;
}

} // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info)
{
    if (!info || !info->hwndParent)
        return FALSE;
    if (!RegisterMenuHolderClass(info->hInstRes))
        return FALSE;
    // The menu-bar record's one button opens pop-up 0 of this menu, which the desktop's
    // menu bar shows under the pop-up's own text.
    HMENU menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
    if (!menu)
        return FALSE;
    HWND holder = CreateWindowExW(0, MENU_HOLDER_CLASS, TEXT(""), WS_CHILD, 0, 0, 0, 0,
                                  info->hwndParent, NULL, info->hInstRes, NULL);
    if (!holder)
    {
        DestroyMenu(menu);
        return FALSE;
    }
    if (!SetMenu(info->hwndParent, menu))
    {
        DestroyWindow(holder);
        DestroyMenu(menu);
        return FALSE;
    }
    SetWindowLongPtrW(holder, GWLP_USERDATA, (LONG_PTR)menu);
    info->hwndMB = holder;
    return TRUE;
}
