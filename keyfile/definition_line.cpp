// One line of a key-definition file: formatting and writing it, reading and trimming it, and
// recognising its directive word.
#include "keyfile/definition_line.h"

#include "keyfile/definition_format.h"
#include "keyfile/text_conversion.h"

#include <stdarg.h>

BOOL IsBlank(WCHAR unit)
{
    return unit == ' ' || unit == '\t';
}

// Converts the text to the OEM code page and writes its bytes without the terminator.
static void WriteOemText(FILE* file, LPCWSTR text)
{
    char* bytes = ToOemText(text);
    size_t length = strlen(bytes);
    if (length > 0)
        fwrite(bytes, length, 1, file);
    free(bytes);
}

// The units a line will take. The key file's formats carry %s conversions only.
static size_t MeasureLine(LPCWSTR format, va_list arguments)
{
    size_t length = 0;
    for (LPCWSTR at = format; *at; ++at)
    {
        if (at[0] == '%' && at[1] == 's')
        {
            length += wcslen(va_arg(arguments, LPCWSTR));
            ++at;
        }
        else if (at[0] == '%' && at[1] == '%')
        {
            ++length;
            ++at;
        }
        else
        {
            ++length;
        }
    }
    return length;
}

// Writes the line a piece at a time, each literal run and each %s argument converted on its
// own, so that no length limit applies. Converting in pieces gives the same bytes as converting
// the whole line: the code page keeps no state between characters.
static void WriteLinePieces(FILE* file, LPCWSTR format, va_list arguments)
{
    WCHAR run[FORMAT_BUFFER_UNITS];
    size_t used = 0;
    for (LPCWSTR at = format; *at; ++at)
    {
        BOOL argument = at[0] == '%' && at[1] == 's';
        if (argument || used == FORMAT_BUFFER_UNITS - 1)
        {
            run[used] = 0;
            WriteOemText(file, run);
            used = 0;
        }
        if (argument)
        {
            WriteOemText(file, va_arg(arguments, LPCWSTR));
            ++at;
            continue;
        }
        if (at[0] == '%' && at[1] == '%')
            ++at;
        run[used++] = *at;
    }
    run[used] = 0;
    WriteOemText(file, run);
}

void WriteFormattedLine(FILE* file, LPCWSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    BOOL fits = MeasureLine(format, arguments) < FORMAT_BUFFER_UNITS;
    va_end(arguments);

    va_start(arguments, format);
    if (fits)
    {
        WCHAR line[FORMAT_BUFFER_UNITS];
        wvsprintfW(line, format, arguments);
        WriteOemText(file, line);
    }
    else
    {
        // The formatter would cut the line at its fixed limit and lose the rest of the string.
        WriteLinePieces(file, format, arguments);
    }
    va_end(arguments);
}

BOOL ReadDefinitionLine(WCHAR* line, FILE* file)
{
    char bytes[READ_BUFFER_BYTES];
    // A longer line comes in pieces of READ_PIECE_BYTES, each read as a line of its own.
    if (!fgets(bytes, READ_PIECE_BYTES + 1, file))
        return FALSE;
    char* start = bytes;
    while (*start == ' ' || *start == '\t')
        ++start;
    // The line ends at its first CR or LF, whichever line ends the file uses.
    for (char* at = start; *at; ++at)
    {
        if (*at == '\r' || *at == '\n')
        {
            *at = 0;
            break;
        }
    }
    WCHAR* text = ToWideText(start);
    size_t length = 0;
    while (text[length] && length < LINE_BUFFER_UNITS - 1)
    {
        line[length] = text[length];
        ++length;
    }
    line[length] = 0;
    free(text);
    return TRUE;
}

LPCWSTR MatchDirective(LPCWSTR line, LPCWSTR word)
{
    size_t at = 0;
    for (; word[at]; ++at)
    {
        // A shorter line stops at its terminator, which no word unit equals.
        if (line[at] != word[at])
            return NULL;
    }
    while (IsBlank(line[at]))
        ++at;
    return line + at;
}
