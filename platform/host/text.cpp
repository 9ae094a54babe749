// The C library's wide-string functions for the host's 16-bit WCHAR.
#include "platform/platform.h"

size_t wcslen(const WCHAR* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

WCHAR* wcscpy(WCHAR* destination, const WCHAR* source)
{
    WCHAR* out = destination;
    while ((*out++ = *source++) != 0)
    {
    }
    return destination;
}

int wcscmp(const WCHAR* left, const WCHAR* right)
{
    while (*left && *left == *right)
    {
        ++left;
        ++right;
    }
    if (*left == *right)
        return 0;
    return *left < *right ? -1 : 1;
}
