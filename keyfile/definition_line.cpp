// The lines of a key-definition file: export's lines written in the file's encoding and judged
// from their bytes, and the directive words reading recognises.
#include "keyfile/definition_line.h"

#include "base/array_size.h"
#include "keyfile/definition_format.h"

// Lines gather in this many bytes before they are written: a few blocks at their largest, so
// that the file is written in few calls of the platform.
#define OUTPUT_BUFFER_BYTES (4 * GATHER_BUFFER_BYTES)
// The longest list converted at once: the longest one reading can take back. A longer one is
// converted a string at a time.
#define LIST_UNITS (GATHER_BUFFER_BYTES / sizeof(WCHAR))
// Bytes a UTF-16 unit takes at most: three in UTF-8, two in a double-byte code page.
#define MOST_BYTES_PER_UNIT 3

static const BYTE LINE_END_BYTES[] = {'\r', '\n'};

static void FlushOutput(LineOutput* output)
{
    if (output->used > 0)
        fwrite(output->bytes, output->used, 1, output->file);
    output->used = 0;
}

static void PutBytes(LineOutput* output, const BYTE* bytes, int length)
{
    if (output->used + length > OUTPUT_BUFFER_BYTES)
    {
        FlushOutput(output);
        if (length > OUTPUT_BUFFER_BYTES)
        {
            fwrite(bytes, length, 1, output->file);
            return;
        }
    }
    memcpy(output->bytes + output->used, bytes, length);
    output->used += length;
}

static void FreeLineOutput(LineOutput* output)
{
    free(output->back);
    free(output->converted);
    free(output->bytes);
}

BOOL OpenLineOutput(LineOutput* output, FILE* file, FileEncoding encoding)
{
    output->file = file;
    output->encoding = encoding;
    output->bytes = (BYTE*)malloc(OUTPUT_BUFFER_BYTES);
    output->used = 0;
    output->converted = (BYTE*)malloc(MOST_BYTES_PER_UNIT * LIST_UNITS);
    output->back = (WCHAR*)malloc(LIST_UNITS * sizeof(WCHAR));
    output->outOfMemory = FALSE;
    if (!output->bytes || !output->converted || !output->back)
    {
        FreeLineOutput(output);
        return FALSE;
    }
    if (encoding == ENCODING_UTF8)
        PutBytes(output, UTF8_MARK, sizeof(UTF8_MARK));
    return TRUE;
}

void CloseLineOutput(LineOutput* output)
{
    FlushOutput(output);
    FreeLineOutput(output);
}

// A directive word is ASCII, which every encoding keeps byte for unit.
static void PutWord(LineOutput* output, LPCWSTR word)
{
    BYTE bytes[16];
    int length = 0;
    for (; word[length] && length < (int)ARRAY_SIZE(bytes); ++length)
        bytes[length] = (BYTE)word[length];
    PutBytes(output, bytes, length);
}

// Converts the units into `bytes`, in the output's encoding; how many bytes. A zero unit
// becomes a zero byte in both: the strings stay apart.
static int ConvertUnits(FileEncoding encoding, const WCHAR* units, int count, BYTE* bytes)
{
    if (encoding == ENCODING_UTF8)
        return EncodeUtf8(units, count, bytes);
    return WideCharToMultiByte(CP_OEMCP, 0, units, count, (LPSTR)bytes, MOST_BYTES_PER_UNIT * count,
                               NULL, NULL);
}

// Writes one line: `lead`, the bytes up to the first zero or the `length`th, CR LF. Returns how
// many bytes it took, the zero included.
static int PutLine(LineOutput* output, LPCWSTR lead, int leadLength, const BYTE* bytes, int length)
{
    // The rest of the bytes bound the line: when they fit, it is copied straight in.
    if (output->used + leadLength + length + (int)sizeof(LINE_END_BYTES) > OUTPUT_BUFFER_BYTES)
        FlushOutput(output);
    if (leadLength + length + (int)sizeof(LINE_END_BYTES) > OUTPUT_BUFFER_BYTES)
    {
        int end = 0;
        while (end < length && bytes[end] != 0)
            ++end;
        PutWord(output, lead);
        PutBytes(output, bytes, end);
        PutBytes(output, LINE_END_BYTES, sizeof(LINE_END_BYTES));
        return end + 1;
    }
    BYTE* out = output->bytes + output->used;
    for (int at = 0; at < leadLength; ++at)
        *out++ = (BYTE)lead[at];
    int taken = 0;
    while (taken < length && bytes[taken] != 0)
        *out++ = bytes[taken++];
    *out++ = LINE_END_BYTES[0];
    *out++ = LINE_END_BYTES[1];
    output->used = (int)(out - output->bytes);
    return taken + 1;
}

void WriteDirectiveLine(LineOutput* output, LPCWSTR word)
{
    PutLine(output, word, (int)wcslen(word), NULL, 0);
}

// Writes the zero-ended strings of the `length` bytes as lines.
static void PutLines(LineOutput* output, LPCWSTR lead, int leadLength, const BYTE* bytes,
                     int length)
{
    int start = 0;
    while (start < length)
        start += PutLine(output, lead, leadLength, bytes + start, length - start);
}

// Whether every zero-ended string of the units fits a read piece in UTF-8 after `lead`, with
// no surrogate outside its pair.
static BOOL FitPiecesAsUtf8(const WCHAR* strings, int count, int leadLength)
{
    int start = 0;
    for (int at = 0; at <= count; ++at)
    {
        if (at < count && strings[at] != 0)
            continue;
        int bytes = MeasureUtf8(strings + start, at - start);
        if (bytes < 0 || leadLength + bytes > READ_PIECE_BYTES)
            return FALSE;
        start = at + 1;
    }
    return TRUE;
}

// Judges the strings' units: no line with a CR or LF reads back; in UTF-8, one longer than a
// read piece or with a surrogate outside its pair does not either. `ascii` tells whether every
// unit is ASCII, which converts to itself in every encoding.
static UINT JudgeUnits(const WCHAR* strings, int count, int leadLength, BOOL* ascii)
{
    // One look at every unit, with no branch on what it finds.
    BOOL breaks = FALSE;
    BOOL surrogates = FALSE;
    WCHAR bits = 0;
    for (int at = 0; at < count; ++at)
    {
        WCHAR unit = strings[at];
        breaks |= unit == '\r' || unit == '\n';
        surrogates |= (unit & 0xF800) == 0xD800;
        bits |= unit;
    }
    *ascii = bits < 0x80;
    if (breaks)
        return 0;
    // No unit takes more than three bytes in UTF-8: only lines that could be longer than a
    // piece, or that hold surrogates, are measured.
    if ((surrogates || leadLength + MOST_BYTES_PER_UNIT * count > READ_PIECE_BYTES) &&
        !FitPiecesAsUtf8(strings, count, leadLength))
        return READS_BACK;
    return READS_BACK | READS_BACK_AS_UTF8;
}

// Whether no line of the strings' `length` bytes is longer than a read piece.
static BOOL FitPieces(const BYTE* bytes, int length, int leadLength)
{
    int start = 0;
    for (int at = 0; at <= length; ++at)
    {
        if (at < length && bytes[at] != 0)
            continue;
        if (leadLength + at - start > READ_PIECE_BYTES)
            return FALSE;
        start = at + 1;
    }
    return TRUE;
}

// Whether the OEM bytes convert back to exactly the strings. Bytes below 0x80 are ASCII in every
// OEM code page and the code page keeps no state between characters: only the rest, from the
// first other byte, is converted back, once.
static BOOL ConvertsBack(LineOutput* output, const WCHAR* strings, int count, int length)
{
    const BYTE* bytes = output->converted;
    int ascii = 0;
    for (; ascii < length && bytes[ascii] < 0x80; ++ascii)
    {
        if (ascii == count || strings[ascii] != bytes[ascii])
            return FALSE;
    }
    if (ascii == length)
        return ascii == count;
    int units = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, (LPCSTR)bytes + ascii, length - ascii,
                                    output->back, (int)LIST_UNITS);
    return ascii + units == count &&
           memcmp(output->back, strings + ascii, units * sizeof(WCHAR)) == 0;
}

// Writes a list too long to come back a string at a time. A string whose bytes cannot be had
// stops the output: what it holds is no longer the whole file.
static void WriteLongLines(LineOutput* output, LPCWSTR lead, int leadLength, const WCHAR* strings,
                           DWORD count)
{
    DWORD start = 0;
    while (start < count)
    {
        DWORD end = start;
        while (end < count && strings[end] != 0)
            ++end;
        BYTE* bytes = (BYTE*)malloc(MOST_BYTES_PER_UNIT * (end - start) + 1);
        if (!bytes)
        {
            output->outOfMemory = TRUE;
            return;
        }
        PutLines(output, lead, leadLength, bytes,
                 ConvertUnits(output->encoding, strings + start, (int)(end - start), bytes));
        free(bytes);
        start = end + 1;
    }
}

UINT WriteDefinitionLines(LineOutput* output, LPCWSTR lead, const WCHAR* strings, DWORD count,
                          BOOL judge)
{
    UINT all = READS_BACK | READS_BACK_AS_UTF8;
    int leadLength = (int)wcslen(lead);
    if (count > LIST_UNITS)
    {
        WriteLongLines(output, lead, leadLength, strings, count);
        return judge ? 0 : all;
    }
    int length = ConvertUnits(output->encoding, strings, (int)count, output->converted);
    PutLines(output, lead, leadLength, output->converted, length);
    if (!judge)
        return all;
    // A code page the platform cannot convert with writes nothing.
    if (length == 0 && count > 0)
        return 0;
    BOOL ascii;
    UINT back = JudgeUnits(strings, (int)count, leadLength, &ascii);
    // ASCII takes as many bytes in the code page as in UTF-8, and converts back to itself.
    if (output->encoding == ENCODING_UTF8 || ascii)
        return back & READS_BACK_AS_UTF8 ? all : 0;
    if (back == 0)
        return 0;
    // A unit takes at most two bytes in the code page and at least two in UTF-8 beyond ASCII:
    // lines that fit a piece in UTF-8 fit in the code page too.
    if ((!(back & READS_BACK_AS_UTF8) && !FitPieces(output->converted, length, leadLength)) ||
        !ConvertsBack(output, strings, (int)count, length))
        back &= ~READS_BACK;
    return back;
}

BOOL IsBlank(WCHAR unit)
{
    return unit == ' ' || unit == '\t';
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
