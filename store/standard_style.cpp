#include "store/standard_style.h"

#include "store/style_store.h"

BOOL ReadStandardStyleName(HKEY settings, WCHAR* name)
{
    DWORD size = STANDARD_NAME_BYTES;
    DWORD type = 0; // received and not looked at: whatever the type, the bytes are the name
    name[0] = 0;
    if (RegQueryValueExW(settings, STANDARD_STYLE_VALUE, NULL, &type, (LPBYTE)name, &size) !=
        ERROR_SUCCESS)
    {
        name[0] = 0;
        return FALSE;
    }
    // The stored text need not carry its terminator; end it after the units actually read.
    name[size / sizeof(WCHAR)] = 0;
    return TRUE;
}
