// Builds a key from arbitrary bytes — values of every type, with any data — and exports it in
// both encodings. Each REG_MULTI_SZ value is also written and judged from a heap copy of
// exactly its length, so that AddressSanitizer sees any read past a value's data; a value whose
// list closes within its data is written to a file in the OEM code page and to one in UTF-8 and
// read back from each, and is stored again with the same list exactly when it was judged to
// come back from that file.
#include "keyfile/definition_parser.h"
#include "keyfile/export.h"
#include "platform/host/host_test_hooks.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace
{

const WCHAR FUZZ_KEY[] = TEXT("Software\\dunvatel-fuzz");
const WCHAR READ_BACK_KEY[] = TEXT("Software\\dunvatel-fuzz-read-back");

// The bytes of the list up to and including its closing empty string; 0 when the data ends
// before it.
size_t ListBytes(const BYTE* data, size_t length)
{
    const WCHAR* units = (const WCHAR*)data;
    size_t count = length / 2;
    size_t at = 0;
    while (at < count && units[at] != 0)
    {
        while (at < count && units[at] != 0)
            ++at;
        if (at == count)
            return 0;
        ++at;
    }
    return at < count ? (at + 1) * 2 : 0;
}

// Writes the block alone to a file in `encoding`, reads it back, and answers whether the same
// list came back under its name; the writer's judgement in `readsBack`.
bool ComesBack(FileEncoding encoding, LPCWSTR name, const BYTE* data, size_t length,
               UINT* readsBack)
{
    FILE* file = tmpfile();
    if (!file)
        __builtin_trap();
    LineOutput output;
    OpenLineOutput(&output, file, encoding);
    WriteDefinitionBlock(&output, name, data, (DWORD)length, readsBack);
    CloseLineOutput(&output);
    rewind(file);
    RegDeleteKeyW(HKEY_CURRENT_USER, READ_BACK_KEY);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, READ_BACK_KEY, 0, NULL, 0, 0, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        __builtin_trap();
    KeyFileSurvey survey = SurveyKeyFile(file);
    ReadKeyDefinitions(file, key, &survey);
    fclose(file);
    BYTE back[4096];
    DWORD backLength = sizeof(back);
    DWORD type = 0;
    size_t expected = ListBytes(data, length);
    bool same = RegQueryValueExW(key, name, NULL, &type, back, &backLength) == ERROR_SUCCESS &&
                type == REG_MULTI_SZ && backLength == expected && memcmp(back, data, expected) == 0;
    RegCloseKey(key);
    return same;
}

// The OEM file's judgement covers the UTF-8 file too.
void CheckComesBack(LPCWSTR name, const BYTE* data, size_t length)
{
    UINT oem = 0;
    UINT utf8 = 0;
    bool oemBack = ComesBack(ENCODING_OEM, name, data, length, &oem);
    bool utf8Back = ComesBack(ENCODING_UTF8, name, data, length, &utf8);
    if (oemBack != ((oem & READS_BACK) != 0) || utf8Back != ((oem & READS_BACK_AS_UTF8) != 0) ||
        utf8Back != ((utf8 & READS_BACK) != 0))
        __builtin_trap();
}

// Takes `count` bytes from the input, or fails when fewer are left.
bool Take(const uint8_t** bytes, size_t* size, size_t count, const uint8_t** taken)
{
    if (*size < count)
        return false;
    *taken = *bytes;
    *bytes += count;
    *size -= count;
    return true;
}

// One record: type (1 byte), name length in units (1 byte), the name, data length (2 bytes),
// the data.
bool AddValue(HKEY key, FILE* file, const uint8_t** bytes, size_t* size)
{
    const uint8_t* header;
    if (!Take(bytes, size, 2, &header))
        return false;
    DWORD type = header[0] % 12;
    const uint8_t* nameBytes;
    if (!Take(bytes, size, header[1] * 2u, &nameBytes))
        return false;
    std::u16string name(header[1], 0);
    memcpy(&name[0], nameBytes, header[1] * 2u);
    const uint8_t* lengthBytes;
    if (!Take(bytes, size, 2, &lengthBytes))
        return false;
    size_t length = lengthBytes[0] | (lengthBytes[1] << 8);
    if (length > *size)
        length = *size;
    const uint8_t* data;
    Take(bytes, size, length, &data);
    RegSetValueExW(key, name.c_str(), 0, type, data, (DWORD)length);
    if (type == REG_MULTI_SZ)
    {
        BYTE* exact = (BYTE*)malloc(length ? length : 1);
        memcpy(exact, data, length);
        UINT readsBack = 0;
        LineOutput output;
        OpenLineOutput(&output, file, ENCODING_OEM);
        WriteDefinitionBlock(&output, name.c_str(), exact, (DWORD)length, &readsBack);
        CloseLineOutput(&output);
        if (ListBytes(exact, length) > 0)
            CheckComesBack(name.c_str(), exact, length);
        free(exact);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    HostResetRegistry();
    FILE* file = fopen("/dev/null", "wb");
    if (!file)
        return 0;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, FUZZ_KEY, 0, NULL, 0, 0, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        __builtin_trap();
    while (AddValue(key, file, &bytes, &size))
    {
    }
    WriteKeyDefinitions(file, key, ENCODING_OEM);
    WriteKeyDefinitions(file, key, ENCODING_UTF8);
    fclose(file);
    RegCloseKey(key);
    if (HostOpenKeyCount() != 0)
        __builtin_trap();
    return 0;
}
