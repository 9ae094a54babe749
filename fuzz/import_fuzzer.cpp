// Feeds arbitrary bytes to the key-definition parser as a file, in the OEM code page 932, and
// checks that every value it stores is a well-formed REG_MULTI_SZ that fits the gathering
// buffer, that it stores nothing from a file saved as Unicode, and that what it reports matches
// what it stored. AddressSanitizer watches the line, gathering and name buffers.
#include "keyfile/definition_parser.h"
#include "platform/host/host_test_hooks.h"

#include <stdint.h>
#include <stdio.h>

#include <vector>

namespace
{

const WCHAR FUZZ_KEY[] = TEXT("Software\\dunvatel-fuzz");

// A list of non-empty strings, each with its terminator, then one more zero unit; an empty
// list is that zero unit alone.
void CheckValue(DWORD type, const std::vector<BYTE>& data)
{
    if (type != REG_MULTI_SZ || data.size() < 2 || data.size() > 4096 || data.size() % 2)
        __builtin_trap();
    const WCHAR* units = (const WCHAR*)data.data();
    size_t count = data.size() / 2;
    if (units[count - 1] != 0)
        __builtin_trap();
    if (count == 1)
        return;
    if (units[0] == 0 || units[count - 2] != 0)
        __builtin_trap();
    for (size_t i = 1; i + 1 < count; ++i)
    {
        if (units[i] == 0 && units[i - 1] == 0)
            __builtin_trap();
    }
}

// Checks every value and answers how many there are.
DWORD CheckValues(HKEY key)
{
    for (DWORD index = 0;; ++index)
    {
        WCHAR name[300];
        DWORD nameLength = 300;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, index, name, &nameLength, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            return index;
        if (nameLength == 0 || nameLength > 255)
            __builtin_trap();
        std::vector<BYTE> data(size);
        if (RegEnumValueW(key, index, name, &(nameLength = 300), NULL, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            __builtin_trap();
        CheckValue(type, data);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    HostResetRegistry();
    FILE* file = tmpfile();
    if (!file)
        return 0;
    if (size)
        fwrite(bytes, 1, size, file);
    rewind(file);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, FUZZ_KEY, 0, NULL, 0, 0, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        __builtin_trap();
    KeyFileReading reading = ReadKeyDefinitions(file, key);
    fclose(file);
    DWORD values = CheckValues(key);
    bool byteOrderMark = (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ||
                         (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) ||
                         (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF);
    // Nothing from a Unicode file; every value stored counted, a name stored twice once; a
    // tmpfile reads to its end.
    if (reading.unicode != byteOrderMark || (reading.unicode && values != 0) ||
        values > reading.stored || (values == 0) != (reading.stored == 0) ||
        reading.empty != (size == 0) || !reading.complete)
        __builtin_trap();
    RegCloseKey(key);
    if (HostOpenKeyCount() != 0)
        __builtin_trap();
    return 0;
}
