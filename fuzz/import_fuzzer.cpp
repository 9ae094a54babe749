// Feeds arbitrary bytes to both readings of the key-definition file as a file (the OEM code
// page is 932): with a byte-order mark, in its encoding; without one, in the OEM code page or
// UTF-8, and a file both read is stored in each. Checks that every value stored is a
// well-formed REG_MULTI_SZ that fits the gathering buffer, that nothing is stored from a file
// that is not text, that a mark decides the encoding, and that what it reports matches what it
// stored. AddressSanitizer watches the block, line, gathering and name buffers.
#include "keyfile/definition_parser.h"
#include "keyfile/file_encoding.h"
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

// Stores the surveyed file read in `encoding` into the key and checks what it reports.
void StoreAndCheck(FILE* file, KeyFileSurvey survey, FileEncoding encoding, LPCWSTR path)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, NULL, 0, 0, NULL, &key, NULL) != ERROR_SUCCESS)
        __builtin_trap();
    survey.encoding = encoding;
    KeyFileReading reading = ReadKeyDefinitions(file, key, &survey);
    DWORD values = CheckValues(key);
    RegCloseKey(key);
    // Nothing from a file that is not text; every value stored counted, a name stored twice
    // once; a tmpfile reads to its end.
    if ((!survey.text && values != 0) || values > reading.stored ||
        (values == 0) != (reading.stored == 0) || !reading.complete)
        __builtin_trap();
    if (fseek(file, 0, SEEK_SET) != 0)
        __builtin_trap();
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
    KeyFileSurvey survey = SurveyKeyFile(file);
    FileEncoding marked = ENCODING_OEM;
    bool mark = MatchByteOrderMark(bytes, (int)size, &marked) > 0;
    if (!survey.complete || survey.empty != (size == 0) || (mark && survey.encoding != marked) ||
        (survey.ambiguous && (mark || !survey.text || survey.encoding != ENCODING_OEM)))
        __builtin_trap();
    StoreAndCheck(file, survey, survey.encoding, FUZZ_KEY);
    if (survey.ambiguous)
        StoreAndCheck(file, survey, ENCODING_UTF8, TEXT("Software\\dunvatel-fuzz-utf8"));
    fclose(file);
    if (HostOpenKeyCount() != 0)
        __builtin_trap();
    return 0;
}
