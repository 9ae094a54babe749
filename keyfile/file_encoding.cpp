// Byte-order marks, the reading rule's pieces, and decoding each encoding a key-definition
// file may be in.
#include "keyfile/file_encoding.h"

#include "keyfile/definition_format.h"

static const BYTE UTF16LE_MARK[] = {0xFF, 0xFE};
static const BYTE UTF16BE_MARK[] = {0xFE, 0xFF};

static BOOL BeginsWith(const BYTE* bytes, int length, const BYTE* mark, int markLength)
{
    return length >= markLength && memcmp(bytes, mark, markLength) == 0;
}

int MatchByteOrderMark(const BYTE* bytes, int length, FileEncoding* encoding)
{
    if (BeginsWith(bytes, length, UTF8_MARK, sizeof(UTF8_MARK)))
    {
        *encoding = ENCODING_UTF8;
        return sizeof(UTF8_MARK);
    }
    if (BeginsWith(bytes, length, UTF16LE_MARK, sizeof(UTF16LE_MARK)))
    {
        *encoding = ENCODING_UTF16LE;
        return sizeof(UTF16LE_MARK);
    }
    if (BeginsWith(bytes, length, UTF16BE_MARK, sizeof(UTF16BE_MARK)))
    {
        *encoding = ENCODING_UTF16BE;
        return sizeof(UTF16BE_MARK);
    }
    return 0;
}

static BOOL IsUtf8Continuation(BYTE byte)
{
    return (byte & 0xC0) == 0x80;
}

// The bytes of the UTF-8 sequence this byte leads; 1 for one that leads none.
static int MeasureUtf8Sequence(BYTE lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

static WCHAR ReadUtf16Unit(FileEncoding encoding, const BYTE* bytes)
{
    if (encoding == ENCODING_UTF16BE)
        return (WCHAR)((bytes[0] << 8) | bytes[1]);
    return (WCHAR)(bytes[0] | (bytes[1] << 8));
}

static BOOL IsHighSurrogate(WCHAR unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

static BOOL IsLowSurrogate(WCHAR unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

static int MeasureUtf16Piece(FileEncoding encoding, const BYTE* bytes, int length)
{
    int limit = length / 2 < READ_PIECE_BYTES / 2 ? length / 2 : READ_PIECE_BYTES / 2;
    // Half a unit at the end of the file is a piece of its own, which no decoding takes.
    if (limit == 0)
        return length;
    int taken = 0;
    while (taken < limit)
    {
        if (ReadUtf16Unit(encoding, bytes + 2 * taken++) == '\n')
            return 2 * taken;
    }
    // A pair the cut would split goes to the next piece whole. A file that ends inside a pair
    // is no text either way; a piece of that one unit would be empty without it.
    if (taken < length / 2 && IsHighSurrogate(ReadUtf16Unit(encoding, bytes + 2 * (taken - 1))))
        --taken;
    return 2 * taken;
}

int MeasurePiece(FileEncoding encoding, const BYTE* bytes, int length)
{
    if (encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE)
        return MeasureUtf16Piece(encoding, bytes, length);
    int limit = length < READ_PIECE_BYTES ? length : READ_PIECE_BYTES;
    int taken = 0;
    while (taken < limit)
    {
        if (bytes[taken++] == '\n')
            return taken;
    }
    if (encoding != ENCODING_UTF8 || taken == length)
        return taken;
    // A UTF-8 sequence the cut would split goes to the next piece whole. The cut is made after
    // READ_PIECE_BYTES, so the sequence's lead byte is within the piece.
    int lead = taken - 1;
    while (lead > taken - 4 && IsUtf8Continuation(bytes[lead]))
        --lead;
    return lead + MeasureUtf8Sequence(bytes[lead]) > taken ? lead : taken;
}

// Decodes the UTF-8 sequence of `width` bytes at `bytes`; 0 when it is malformed or overlong,
// a surrogate, or beyond U+10FFFF.
static DWORD DecodeUtf8Sequence(const BYTE* bytes, int width)
{
    static const DWORD LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
    static const BYTE LEAD_BITS[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    DWORD code = bytes[0] & LEAD_BITS[width];
    for (int at = 1; at < width; ++at)
    {
        if (!IsUtf8Continuation(bytes[at]))
            return 0;
        code = (code << 6) | (bytes[at] & 0x3F);
    }
    if (code < LEAST[width] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return code;
}

static int DecodeUtf8(const BYTE* bytes, int length, WCHAR* units)
{
    int count = 0;
    int at = 0;
    while (at < length)
    {
        BYTE lead = bytes[at];
        if (lead < 0x80)
        {
            if (lead == 0)
                return -1;
            units[count++] = lead;
            ++at;
            continue;
        }
        int width = MeasureUtf8Sequence(lead);
        if (width == 1 || lead > 0xF4 || at + width > length)
            return -1;
        DWORD code = DecodeUtf8Sequence(bytes + at, width);
        if (code == 0)
            return -1;
        if (code >= 0x10000)
        {
            units[count++] = (WCHAR)(0xD800 + ((code - 0x10000) >> 10));
            units[count++] = (WCHAR)(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        else
        {
            units[count++] = (WCHAR)code;
        }
        at += width;
    }
    return count;
}

static int DecodeUtf16(FileEncoding encoding, const BYTE* bytes, int length, WCHAR* units)
{
    if (length % 2 != 0)
        return -1;
    int count = length / 2;
    for (int unit = 0; unit < count; ++unit)
        units[unit] = ReadUtf16Unit(encoding, bytes + 2 * unit);
    int at = 0;
    while (at < count)
    {
        if (units[at] == 0 || IsLowSurrogate(units[at]))
            return -1;
        if (IsHighSurrogate(units[at]) && (at + 1 == count || !IsLowSurrogate(units[at + 1])))
            return -1;
        at += IsHighSurrogate(units[at]) ? 2 : 1;
    }
    return count;
}

int DecodeUnicode(FileEncoding encoding, const BYTE* bytes, int length, WCHAR* units)
{
    if (encoding == ENCODING_UTF8)
        return DecodeUtf8(bytes, length, units);
    return DecodeUtf16(encoding, bytes, length, units);
}

int DecodeOem(const BYTE* bytes, int length, WCHAR* units)
{
    // Bytes below 0x80 are ASCII in every OEM code page, and the code page keeps no state
    // between characters: only the rest, from the first other byte, is converted.
    int ascii = 0;
    for (; ascii < length && bytes[ascii] < 0x80; ++ascii)
        units[ascii] = bytes[ascii];
    if (ascii == length)
        return length;
    // A conversion that fails gives no units.
    return ascii + MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, (LPCSTR)bytes + ascii,
                                       length - ascii, units + ascii, length - ascii);
}

BOOL ConvertsBackToOem(const WCHAR* units, int count, const BYTE* bytes, int length, BYTE* back)
{
    // A zero byte is no text (a file saved as UTF-16 without a byte-order mark is full of
    // them), though it converts back to itself.
    for (int unit = 0; unit < count; ++unit)
    {
        if (units[unit] == 0)
            return FALSE;
    }
    // Units below 0x80 came from the same bytes, and convert back to them.
    int ascii = 0;
    for (; ascii < count && ascii < length && units[ascii] < 0x80; ++ascii)
    {
        if (bytes[ascii] != units[ascii])
            return FALSE;
    }
    if (ascii == count)
        return ascii == length;
    int rest = length - ascii;
    return WideCharToMultiByte(CP_OEMCP, 0, units + ascii, count - ascii, (LPSTR)back, rest, NULL,
                               NULL) == rest &&
           memcmp(back, bytes + ascii, rest) == 0;
}

int MeasureUtf8(const WCHAR* units, int count)
{
    int bytes = 0;
    for (int at = 0; at < count; ++at)
    {
        WCHAR unit = units[at];
        if (unit < 0x80)
            bytes += 1;
        else if (unit < 0x800)
            bytes += 2;
        else if (IsHighSurrogate(unit) && at + 1 < count && IsLowSurrogate(units[at + 1]))
        {
            bytes += 4;
            ++at;
        }
        else if (IsHighSurrogate(unit) || IsLowSurrogate(unit))
            return -1;
        else
            bytes += 3;
    }
    return bytes;
}

int EncodeUtf8(const WCHAR* units, int count, BYTE* bytes)
{
    int length = 0;
    for (int at = 0; at < count; ++at)
    {
        DWORD code = units[at];
        if (IsHighSurrogate(units[at]) && at + 1 < count && IsLowSurrogate(units[at + 1]))
        {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[at + 1] - 0xDC00);
            ++at;
        }
        else if (IsHighSurrogate(units[at]) || IsLowSurrogate(units[at]))
        {
            code = 0xFFFD;
        }
        if (code < 0x80)
        {
            bytes[length++] = (BYTE)code;
        }
        else if (code < 0x800)
        {
            bytes[length++] = (BYTE)(0xC0 | (code >> 6));
            bytes[length++] = (BYTE)(0x80 | (code & 0x3F));
        }
        else if (code < 0x10000)
        {
            bytes[length++] = (BYTE)(0xE0 | (code >> 12));
            bytes[length++] = (BYTE)(0x80 | ((code >> 6) & 0x3F));
            bytes[length++] = (BYTE)(0x80 | (code & 0x3F));
        }
        else
        {
            bytes[length++] = (BYTE)(0xF0 | (code >> 18));
            bytes[length++] = (BYTE)(0x80 | ((code >> 12) & 0x3F));
            bytes[length++] = (BYTE)(0x80 | ((code >> 6) & 0x3F));
            bytes[length++] = (BYTE)(0x80 | (code & 0x3F));
        }
    }
    return length;
}
