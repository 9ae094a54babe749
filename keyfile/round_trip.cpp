// What reading a key-definition file back does to a key definition, judged before the file is
// read: the reading rules drop leading blanks, end a line at CR or LF, cut lines into pieces,
// take some lines for comments or directives, and limit names and blocks to their buffers.
#include "keyfile/round_trip.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"
#include "keyfile/text_conversion.h"

// Whether the text, written as one line, reads back as the same text: no line break in it,
// every character in the OEM code page (converting there and back gives the text again,
// whatever the converter puts for a character it lacks), and no longer than a line's piece
// with what stands before it on the line.
static BOOL SurvivesLine(LPCWSTR text, size_t lineStart)
{
    for (LPCWSTR at = text; *at; ++at)
    {
        if (*at == '\r' || *at == '\n')
            return FALSE;
    }
    char* bytes = ToOemText(text);
    WCHAR* back = ToWideText(bytes);
    BOOL survives = wcscmp(back, text) == 0 && lineStart + strlen(bytes) <= READ_PIECE_BYTES;
    free(back);
    free(bytes);
    return survives;
}

static BOOL NameComesBack(LPCWSTR name)
{
    if (name[0] == 0 || IsBlank(name[0]) || wcslen(name) >= VALUE_NAME_UNITS)
        return FALSE;
    return SurvivesLine(name, wcslen(NAME_DIRECTIVE));
}

// A string line is read back as a string unless reading takes it for a comment or a directive.
static BOOL StringComesBack(LPCWSTR text)
{
    if (IsBlank(text[0]) || text[0] == '#' || MatchDirective(text, NAME_DIRECTIVE) ||
        MatchDirective(text, END_DIRECTIVE))
        return FALSE;
    return SurvivesLine(text, 0);
}

// Whether the list closes with its empty string within the data, and its strings with their
// terminators and the closing one fit the block's gathering buffer. Anything after the closing
// empty string is not part of the list.
static BOOL ListFits(const WCHAR* units, DWORD count)
{
    DWORD at = 0;
    while (at < count && units[at] != 0)
    {
        while (at < count && units[at] != 0)
            ++at;
        if (at == count)
            return FALSE; // the last string has no terminator
        ++at;
    }
    if (at == count)
        return FALSE; // no closing empty string
    return (at + 1) * sizeof(WCHAR) <= GATHER_BUFFER_BYTES;
}

BOOL ComesBackUnchanged(LPCWSTR name, const BYTE* data, DWORD dataBytes)
{
    const WCHAR* units = (const WCHAR*)data;
    DWORD count = dataBytes / sizeof(WCHAR);
    if (!ListFits(units, count) || !NameComesBack(name))
        return FALSE;
    for (DWORD at = 0; units[at] != 0; at += (DWORD)wcslen(units + at) + 1)
    {
        if (!StringComesBack(units + at))
            return FALSE;
    }
    return TRUE;
}
