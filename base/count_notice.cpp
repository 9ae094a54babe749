#include "base/count_notice.h"

#include "base/window_globals.h"

#include <stdarg.h>

// Room for the longest text with what is put in: a count, or two lines of a file cut short.
#define BOX_TEXT_UNITS 192

int ShowFormattedBox(LPCWSTR caption, UINT type, LPCWSTR format, ...)
{
    WCHAR text[BOX_TEXT_UNITS];
    va_list arguments;
    va_start(arguments, format);
    wvsprintfW(text, format, arguments);
    va_end(arguments);
    return MessageBoxW(g_mainWindow, text, caption, type);
}

void ShowCountNotice(LPCWSTR format, UINT count, LPCWSTR caption)
{
    ShowFormattedBox(caption, MB_OK, format, count);
}
