// What reading a key-definition file back does to a key definition, judged before the file is
// read: the reading rules drop leading blanks, take some lines for comments or directives, and
// limit names and blocks to their buffers.
#include "keyfile/round_trip.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"

BOOL CanReadBackName(LPCWSTR name)
{
    return name[0] != 0 && !IsBlank(name[0]) && wcslen(name) < VALUE_NAME_UNITS;
}

BOOL CanReadBackString(LPCWSTR text)
{
    return !IsBlank(text[0]) && text[0] != '#' && !MatchDirective(text, NAME_DIRECTIVE) &&
           !MatchDirective(text, END_DIRECTIVE);
}

BOOL CanReadBackList(DWORD listUnits)
{
    return listUnits * sizeof(WCHAR) <= GATHER_BUFFER_BYTES;
}
