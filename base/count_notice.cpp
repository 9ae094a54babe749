#include "base/count_notice.h"

#include "base/window_globals.h"

#include <stdarg.h>

// Room for the longest notice with its count.
#define NOTICE_UNITS 128

static void FormatNotice(WCHAR* text, LPCWSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(text, format, arguments);
    va_end(arguments);
}

void ShowCountNotice(LPCWSTR format, UINT count, LPCWSTR caption)
{
    WCHAR text[NOTICE_UNITS];
    FormatNotice(text, format, count);
    MessageBoxW(g_mainWindow, text, caption, MB_OK);
}
