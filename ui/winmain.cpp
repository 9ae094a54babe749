// The program's entry point.
#include "platform/platform.h"

#include "base/window_globals.h"
#include "resources/resource.h"
#include "ui/app_frame.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showState)
{
    if (!StartMainWindow(instance, showState))
        return 0;
    HACCEL accelerators = LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    g_mainDialog = CreateMainDialog();
    ShowWindow(g_mainDialog, showState);
    return RunMessageLoop(accelerators);
}
