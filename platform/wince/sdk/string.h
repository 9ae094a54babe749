/* The handheld's C run-time, as far as the program uses it: "memset", "memcpy", "memcmp",
 * "strlen", "wcslen", "wcscpy", "wcscmp" (Windows CE 5.0 "Run-time Library Reference",
 * https://learn.microsoft.com/en-us/previous-versions/windows/embedded/ms859613(v=msdn.10));
 * the run-time is part of coredll. */
#ifndef DUNVATEL_WINCE_SDK_STRING_H
#define DUNVATEL_WINCE_SDK_STRING_H

#include <stddef.h>

#ifdef __cplusplus
extern "C"
{
#endif

    void* memset(void* dest, int c, size_t count);
    void* memcpy(void* dest, const void* src, size_t count);
    int memcmp(const void* buf1, const void* buf2, size_t count);
    size_t strlen(const char* string);
    size_t wcslen(const wchar_t* string);
    wchar_t* wcscpy(wchar_t* strDestination, const wchar_t* strSource);
    int wcscmp(const wchar_t* string1, const wchar_t* string2);

#ifdef __cplusplus
}
#endif

#endif
