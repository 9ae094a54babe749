#include "base/wait_cursor.h"

HCURSOR ShowWaitCursor()
{
    return SetCursor(LoadCursorW(NULL, IDC_WAIT));
}

void RestoreCursor(HCURSOR previous)
{
    SetCursor(previous);
}
