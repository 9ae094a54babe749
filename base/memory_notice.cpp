#include "base/memory_notice.h"

#include "base/window_globals.h"

void ShowMemoryNotice()
{
    MessageBoxW(g_mainWindow, TEXT("メモリが足りないため、実行できませんでした"), TEXT("Error"),
                MB_OK);
}
