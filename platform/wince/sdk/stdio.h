/* The handheld's C run-time streams, as far as the program uses them: "fopen, _wfopen"
 * (https://learn.microsoft.com/en-us/previous-versions/windows/embedded/ms859631(v=msdn.10)),
 * "fgets", "fread", "fwrite", "fclose", "feof" (…/ms859621(v=msdn.10)), "ferror" (Windows CE
 * 5.0 "Run-time Library Reference", …/ms859613(v=msdn.10)), "fseek (Windows CE 5.0)"
 * (…/ms859641(v=msdn.10): origin SEEK_SET from Stdio.h; its value 0 is the desktop
 * reference's); the run-time is part of coredll. FILE is opaque to the program. */
#ifndef DUNVATEL_WINCE_SDK_STDIO_H
#define DUNVATEL_WINCE_SDK_STDIO_H

#include <stddef.h>

typedef struct _FILE FILE;

#define SEEK_SET 0

#ifdef __cplusplus
extern "C"
{
#endif

    FILE* _wfopen(const wchar_t* filename, const wchar_t* mode);
    char* fgets(char* string, int n, FILE* stream);
    size_t fread(void* buffer, size_t size, size_t count, FILE* stream);
    int fseek(FILE* stream, long offset, int origin);
    size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream);
    int fclose(FILE* stream);
    int feof(FILE* stream);
    int ferror(FILE* stream);

#ifdef __cplusplus
}
#endif

#endif
