// The recursive copy of one registry key, values and subkeys at every depth, into another.
#include "store/custom_style.h"

#include "store/style_store.h"

namespace
{

// The counts and maxima of a source key, read once before its walk: the walk runs over these
// counts even if the key changes under it, and its buffers follow these maxima.
struct KeyShape
{
    DWORD subkeys;
    DWORD longestSubkeyName;
    DWORD values;
    DWORD longestValueName;
    DWORD longestValueData;
};

BOOL QueryKeyShape(HKEY key, KeyShape* shape)
{
    shape->subkeys = 0;
    shape->longestSubkeyName = 0;
    shape->values = 0;
    shape->longestValueName = 0;
    shape->longestValueData = 0;
    return RegQueryInfoKeyW(key, NULL, NULL, NULL, &shape->subkeys, &shape->longestSubkeyName, NULL,
                            &shape->values, &shape->longestValueName, &shape->longestValueData,
                            NULL, NULL) == ERROR_SUCCESS;
}

void CopyKeyValues(HKEY destination, HKEY source, const KeyShape* shape)
{
    WCHAR* name = (WCHAR*)malloc((shape->longestValueName + WALK_BUFFER_SLACK) * sizeof(WCHAR));
    BYTE* data = (BYTE*)malloc(shape->longestValueData + WALK_BUFFER_SLACK);
    for (DWORD index = 0; index < shape->values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = shape->longestValueName + WALK_CAPACITY_SLACK;
        DWORD dataLength = shape->longestValueData + WALK_CAPACITY_SLACK;
        // A value that cannot be read is skipped: its buffers may still hold the previous
        // value's name and data, which must not be written again under this index.
        if (RegEnumValueW(source, index, name, &nameCapacity, NULL, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            continue;
        // Whatever the type, the bytes go across unchanged; a failed write is not retried.
        RegSetValueExW(destination, name, 0, type, data, dataLength);
    }
    free(data);
    free(name);
}

// Creates or opens the subkey `name` under `parent` with the class the program gives every
// key it makes. FALSE when the key cannot be had.
BOOL CreateCopiedKey(HKEY parent, LPCWSTR name, HKEY* key)
{
    DWORD disposition;
    // The registry takes the class as a writable string but only reads it.
    return RegCreateKeyExW(parent, name, 0, (LPWSTR)CREATED_KEY_CLASS, 0, PLATFORM_KEY_ACCESS, NULL,
                           key, &disposition) == ERROR_SUCCESS;
}

void CopySubkeys(HKEY destination, HKEY source, const KeyShape* shape)
{
    WCHAR* name = (WCHAR*)malloc((shape->longestSubkeyName + WALK_BUFFER_SLACK) * sizeof(WCHAR));
    for (DWORD index = 0; index < shape->subkeys; ++index)
    {
        DWORD capacity = shape->longestSubkeyName + WALK_CAPACITY_SLACK;
        if (RegEnumKeyExW(source, index, name, &capacity, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            continue;
        HKEY copied;
        if (!CreateCopiedKey(destination, name, &copied))
            continue;
        CopyKeyTree(copied, source, name);
        RegCloseKey(copied);
    }
    free(name);
}

} // namespace

void CopyKeyTree(HKEY destination, HKEY sourceParent, LPCWSTR name)
{
    HKEY source;
    if (RegOpenKeyExW(sourceParent, name, 0, PLATFORM_KEY_ACCESS, &source) != ERROR_SUCCESS)
        return;
    KeyShape shape;
    if (QueryKeyShape(source, &shape))
    {
        // A key's own values go before its subkeys.
        CopyKeyValues(destination, source, &shape);
        if (shape.subkeys > 0)
            CopySubkeys(destination, source, &shape);
    }
    RegCloseKey(source);
}
