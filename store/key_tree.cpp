// The recursive copy of one registry key, values and subkeys at every depth, into another.
#include "store/key_tree.h"

#include "base/buffer_slack.h"
#include "store/style_store.h"

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

static BOOL QueryKeyShape(HKEY key, KeyShape* shape)
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

// Returns how many values could not be read or written: all of them when their buffers
// cannot be had.
static UINT CopyKeyValues(HKEY destination, HKEY source, const KeyShape* shape)
{
    WCHAR* name = (WCHAR*)malloc((shape->longestValueName + BUFFER_SLACK) * sizeof(WCHAR));
    BYTE* data = (BYTE*)malloc(shape->longestValueData + BUFFER_SLACK);
    if (!name || !data)
    {
        free(data);
        free(name);
        return shape->values;
    }
    UINT missed = 0;
    for (DWORD index = 0; index < shape->values; ++index)
    {
        DWORD type = 0;
        DWORD nameCapacity = shape->longestValueName + CAPACITY_SLACK;
        DWORD dataLength = shape->longestValueData + CAPACITY_SLACK;
        // A value that cannot be read is skipped: its buffers may still hold the previous
        // value's name and data, which must not be written again under this index.
        if (RegEnumValueW(source, index, name, &nameCapacity, NULL, &type, data, &dataLength) !=
            ERROR_SUCCESS)
        {
            ++missed;
            continue;
        }
        // Whatever the type, the bytes go across unchanged; a failed write is not retried.
        if (RegSetValueExW(destination, name, 0, type, data, dataLength) != ERROR_SUCCESS)
            ++missed;
    }
    free(data);
    free(name);
    return missed;
}

// Returns how many values and subkeys beneath the source could not be copied. Without the
// buffer for their names, each subkey counts once, as one that cannot be read.
static UINT CopySubkeys(HKEY destination, HKEY source, const KeyShape* shape)
{
    WCHAR* name = (WCHAR*)malloc((shape->longestSubkeyName + BUFFER_SLACK) * sizeof(WCHAR));
    if (!name)
        return shape->subkeys;
    UINT missed = 0;
    for (DWORD index = 0; index < shape->subkeys; ++index)
    {
        DWORD capacity = shape->longestSubkeyName + CAPACITY_SLACK;
        HKEY copied;
        // A subkey that cannot be read or created counts once, whatever it holds.
        if (RegEnumKeyExW(source, index, name, &capacity, NULL, NULL, NULL, NULL) !=
                ERROR_SUCCESS ||
            !CreateStyleKey(destination, name, &copied))
        {
            ++missed;
            continue;
        }
        missed += CopyKeyTree(copied, source, name);
        RegCloseKey(copied);
    }
    free(name);
    return missed;
}

UINT CopyKeyTree(HKEY destination, HKEY sourceParent, LPCWSTR name)
{
    HKEY source;
    // A key that cannot be opened or read counts once, as one that cannot be created does.
    if (RegOpenKeyExW(sourceParent, name, 0, PLATFORM_KEY_ACCESS, &source) != ERROR_SUCCESS)
        return 1;
    UINT missed = 1;
    KeyShape shape;
    if (QueryKeyShape(source, &shape))
    {
        // A key's own values go before its subkeys.
        missed = CopyKeyValues(destination, source, &shape);
        if (shape.subkeys > 0)
            missed += CopySubkeys(destination, source, &shape);
    }
    RegCloseKey(source);
    return missed;
}
