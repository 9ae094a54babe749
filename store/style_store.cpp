#include "store/style_store.h"

BOOL OpenUserKey(LPCWSTR path, HKEY* key)
{
    return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, PLATFORM_KEY_ACCESS, key) == ERROR_SUCCESS;
}

BOOL CreateStyleKey(HKEY parent, LPCWSTR path, HKEY* key)
{
    DWORD disposition; // received and not looked at: an existing key is as good as a new one
    // The registry takes the class as a writable string but only reads it.
    return RegCreateKeyExW(parent, path, 0, (LPWSTR)CREATED_KEY_CLASS, 0, PLATFORM_KEY_ACCESS, NULL,
                           key, &disposition) == ERROR_SUCCESS;
}
