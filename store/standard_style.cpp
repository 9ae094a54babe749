#include "store/style_store.h"

BOOL ReadStandardStyleName(HKEY settings, WCHAR* name)
{
    DWORD size = STANDARD_NAME_BYTES;
    name[0] = 0;
    if (RegQueryValueExW(settings, STANDARD_STYLE_VALUE, NULL, NULL, (LPBYTE)name, &size) !=
        ERROR_SUCCESS)
    {
        name[0] = 0;
        return FALSE;
    }
    // The stored text need not carry its terminator; end it after the units actually read.
    name[size / sizeof(WCHAR)] = 0;
    return TRUE;
}
