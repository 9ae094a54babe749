/* The handheld's C run-time, as far as the program uses it: "malloc", "free" (Windows CE 5.0
 * "Run-time Library Reference", https://learn.microsoft.com/en-us/previous-versions/windows/
 * embedded/ms859613(v=msdn.10)); the run-time is part of coredll. */
#ifndef DUNVATEL_WINCE_SDK_STDLIB_H
#define DUNVATEL_WINCE_SDK_STDLIB_H

#include <stddef.h>

#ifdef __cplusplus
extern "C"
{
#endif

    void* malloc(size_t size);
    void free(void* memblock);

#ifdef __cplusplus
}
#endif

#endif
