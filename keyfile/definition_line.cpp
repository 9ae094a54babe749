// One line of a key-definition file: formatting and writing it, reading and trimming it, and
// recognising its directive word.
#include "keyfile/definition_line.h"

#include "base/array_size.h"
#include "keyfile/definition_format.h"
#include "keyfile/file_encoding.h"
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

// Room on the stack for a line converted back: most key definitions' lines fit, and with the
// line itself the frame stays within a page, which needs no stack probe.
#define BACK_BUFFER_UNITS 256

// Whether the OEM bytes convert back to exactly the units of `text`. They take no more units
// than bytes.
static BOOL ConvertsBackTo(const char* bytes, int length, LPCWSTR text)
{
    WCHAR local[BACK_BUFFER_UNITS];
    WCHAR* back = length <= (int)ARRAY_SIZE(local) ? local : (WCHAR*)malloc(length * sizeof(WCHAR));
    int units = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, bytes, length, back, length);
    // No converted unit is zero: a text that ends early differs there, before its end is passed.
    BOOL same = units > 0;
    for (int unit = 0; same && unit < units; ++unit)
        same = back[unit] == text[unit];
    if (back != local)
        free(back);
    return same && text[units] == 0;
}

// Whether reading the written line gives it back: it fits one read piece, no CR or LF cuts it
// short, and its bytes convert back to it. Bytes below 0x80 are ASCII in every OEM code page
// and stand for themselves; the code page keeps no state between characters, so only the rest,
// from the first other byte, is converted back.
static BOOL IsReadBack(const char* bytes, size_t length, LPCWSTR line)
{
    size_t endBytes = ARRAY_SIZE(LINE_END) - 1; // CR LF, a byte each
    if (length < endBytes || length - endBytes > READ_PIECE_BYTES)
        return FALSE;
    size_t textBytes = length - endBytes;
    size_t ascii = 0;
    for (; ascii < textBytes && (unsigned char)bytes[ascii] < 0x80; ++ascii)
    {
        if ((WCHAR)bytes[ascii] != line[ascii])
            return FALSE;
    }
    // No trail byte is a CR or LF: any such byte came from the text.
    for (size_t at = 0; at < textBytes; ++at)
    {
        if (bytes[at] == '\r' || bytes[at] == '\n')
            return FALSE;
    }
    return ascii == textBytes || ConvertsBackTo(bytes + ascii, (int)(length - ascii), line + ascii);
}

// Whether the line, written as UTF-8, reads back: no CR or LF cuts it short and its bytes fit
// one read piece. A surrogate outside its pair has no UTF-8 form.
static BOOL IsReadBackAsUtf8(LPCWSTR line, size_t textUnits)
{
    for (size_t at = 0; at < textUnits; ++at)
    {
        if (line[at] == '\r' || line[at] == '\n')
            return FALSE;
    }
    int bytes = MeasureUtf8(line, (int)textUnits);
    return bytes >= 0 && bytes <= READ_PIECE_BYTES;
}

// Writes the line, its `textUnits` and its line end, in the OEM code page.
static UINT WriteOemLine(FILE* file, LPCWSTR line, size_t textUnits, BOOL judge)
{
    char* bytes = ToOemText(line);
    size_t length = strlen(bytes);
    fwrite(bytes, length, 1, file);
    UINT back = READS_BACK | READS_BACK_AS_UTF8;
    if (judge && !IsReadBack(bytes, length, line))
        back &= ~READS_BACK;
    if (judge && !IsReadBackAsUtf8(line, textUnits))
        back &= ~READS_BACK_AS_UTF8;
    free(bytes);
    return back;
}

// Room on the stack for a line's UTF-8 bytes: with the line's units the frame stays within a
// page.
#define UTF8_LOCAL_BYTES 1024

// Writes the `units` of the line, its `textUnits` and its line end, as UTF-8.
static UINT WriteUtf8Line(FILE* file, LPCWSTR line, size_t units, size_t textUnits, BOOL judge)
{
    BYTE local[UTF8_LOCAL_BYTES];
    size_t room = 3 * units;
    BYTE* bytes = room <= ARRAY_SIZE(local) ? local : (BYTE*)malloc(room);
    fwrite(bytes, EncodeUtf8(line, (int)units, bytes), 1, file);
    if (bytes != local)
        free(bytes);
    return !judge || IsReadBackAsUtf8(line, textUnits) ? READS_BACK | READS_BACK_AS_UTF8 : 0;
}

UINT WriteDefinitionLine(FILE* file, FileEncoding encoding, LPCWSTR lead, LPCWSTR text, BOOL judge)
{
    size_t leadUnits = wcslen(lead);
    size_t textUnits = wcslen(text);
    size_t units = leadUnits + textUnits + ARRAY_SIZE(LINE_END);
    WCHAR local[FORMAT_BUFFER_UNITS];
    WCHAR* line = units <= ARRAY_SIZE(local) ? local : (WCHAR*)malloc(units * sizeof(WCHAR));
    memcpy(line, lead, leadUnits * sizeof(WCHAR));
    memcpy(line + leadUnits, text, textUnits * sizeof(WCHAR));
    memcpy(line + leadUnits + textUnits, LINE_END, sizeof(LINE_END));
    UINT back = encoding == ENCODING_UTF8
                    ? WriteUtf8Line(file, line, units - 1, leadUnits + textUnits, judge)
                    : WriteOemLine(file, line, leadUnits + textUnits, judge);
    if (line != local)
        free(line);
    return back;
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
