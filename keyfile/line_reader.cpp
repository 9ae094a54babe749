// The line reader of both import readings. It takes the file in blocks and cuts them into the
// pieces the reading rules take, each read as a line of its own; the encoding decides where a
// long line is cut and how a piece is decoded.
#include "keyfile/line_reader.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"

// The file read in blocks of several pieces.
#define READER_BUFFER_BYTES (2 * READ_BUFFER_BYTES)

// Keeps the byte before the next piece and what follows it, and fills the rest of the buffer,
// unless more than a whole piece is left: a piece's cut may look at the byte after it.
static void FillReader(KeyFileReader* reader)
{
    if (reader->end - reader->start > READ_PIECE_BYTES || feof(reader->file) ||
        ferror(reader->file))
        return;
    int keep = reader->start > 0 ? reader->start - 1 : 0;
    for (int at = keep; at < reader->end; ++at)
        reader->bytes[at - keep] = reader->bytes[at];
    reader->start -= keep;
    reader->end -= keep;
    reader->end +=
        (int)fread(reader->bytes + reader->end, 1, READER_BUFFER_BYTES - reader->end, reader->file);
}

BOOL OpenKeyFileReader(KeyFileReader* reader, FILE* file, FileEncoding unmarked, BOOL judging)
{
    reader->file = file;
    reader->judging = judging;
    reader->bytes = (BYTE*)malloc(READER_BUFFER_BYTES);
    // The second reading judges OEM text too, should the file have changed since the first.
    BOOL judgesOem = judging || unmarked == ENCODING_OEM;
    reader->back = judgesOem ? (BYTE*)malloc(READ_BUFFER_BYTES) : NULL;
    if (!reader->bytes || (judgesOem && !reader->back))
    {
        CloseKeyFileReader(reader);
        return FALSE;
    }
    reader->start = 0;
    reader->end = 0;
    reader->carried = 0;
    reader->text = TRUE;
    reader->differing[0] = 0;
    FillReader(reader);
    reader->empty = reader->end == 0;
    FileEncoding marked = unmarked;
    reader->start = MatchByteOrderMark(reader->bytes, reader->end, &marked);
    reader->encoding = marked;
    return TRUE;
}

void CloseKeyFileReader(KeyFileReader* reader)
{
    free(reader->back);
    free(reader->bytes);
}

static BOOL ReadPiece(KeyFileReader* reader, const BYTE** piece, int* length)
{
    FillReader(reader);
    int left = reader->end - reader->start;
    if (left == 0)
        return FALSE;
    *piece = reader->bytes + reader->start;
    *length = MeasurePiece(reader->encoding, *piece, left);
    reader->start += *length;
    return TRUE;
}

static BOOL IsLineEnd(unsigned unit)
{
    return unit == '\r' || unit == '\n';
}

// Drops the leading blanks of the `count` units and ends them at their first CR or LF.
static void TrimLine(WCHAR* line, int count)
{
    int start = 0;
    while (start < count && IsBlank(line[start]))
        ++start;
    int length = 0;
    while (start + length < count && !IsLineEnd(line[start + length]))
    {
        line[length] = line[start + length];
        ++length;
    }
    line[length] = 0;
}

// Judges the piece, with the lead byte carried from the one before, as OEM code-page text and
// decodes it; -1 when it is not text. The reading rule may cut a piece inside a double-byte
// character: such a piece is text without its last byte, the lead byte, which is judged with
// the next piece, where its trail byte is. (A piece that ends its line ends in LF, which is
// text.)
static int JudgeOemPiece(KeyFileReader* reader, const BYTE* piece, int length, WCHAR* line)
{
    const BYTE* judged = piece - reader->carried;
    int judgedLength = length + reader->carried;
    reader->carried = 0;
    int count = DecodeOem(judged, judgedLength, line);
    if (ConvertsBackToOem(line, count, judged, judgedLength, reader->back))
        return count;
    if (length != READ_PIECE_BYTES)
        return -1;
    count = DecodeOem(judged, judgedLength - 1, line);
    if (!ConvertsBackToOem(line, count, judged, judgedLength - 1, reader->back))
        return -1;
    reader->carried = 1;
    return count;
}

// Reads the line of a piece into `line` by the reading rules: ASCII encodings drop the blanks
// and cut the line on their bytes, as the file's reading always has, and decode only what is
// left; UTF-16 is decoded first. FALSE when the bytes are not text in the encoding: the file has
// changed since the first reading judged it. OEM bytes decode whatever they are, and are judged
// again: the bytes kept are converted back, and those around them must be ASCII, which is what
// judging the whole piece comes to; a piece cut inside a character, or with other bytes beyond
// its line end, is judged whole, as the first time.
static BOOL DecodeKeptLine(KeyFileReader* reader, const BYTE* piece, int length, WCHAR* line)
{
    FileEncoding encoding = reader->encoding;
    if (encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE)
    {
        int units = DecodeUnicode(encoding, piece, length, line);
        if (units < 0)
            return FALSE;
        TrimLine(line, units);
        return TRUE;
    }
    int start = 0;
    while (start < length && (piece[start] == ' ' || piece[start] == '\t'))
        ++start;
    int end = start;
    while (end < length && !IsLineEnd(piece[end]))
        ++end;
    if (encoding != ENCODING_OEM)
    {
        int count = DecodeUnicode(encoding, piece + start, end - start, line);
        if (count < 0)
            return FALSE;
        line[count] = 0;
        return TRUE;
    }
    BOOL plain = reader->carried == 0 && length != READ_PIECE_BYTES;
    for (int at = end; plain && at < length; ++at)
        plain = piece[at] != 0 && piece[at] < 0x80;
    if (!plain && JudgeOemPiece(reader, piece, length, line) < 0)
        return FALSE;
    int count = DecodeOem(piece + start, end - start, line);
    if (plain && !ConvertsBackToOem(line, count, piece + start, end - start, reader->back))
        return FALSE;
    line[count] = 0;
    return TRUE;
}

// Keeps the first line that reads differently in another encoding, cut to SAMPLE_UNITS with
// an ellipsis.
static void KeepDifferingLine(KeyFileReader* reader, LPCWSTR line)
{
    size_t length = wcslen(line);
    size_t beyond = 0;
    while (beyond < length && line[beyond] < 0x80)
        ++beyond;
    if (reader->differing[0] != 0 || beyond == length)
        return;
    size_t kept = length < SAMPLE_UNITS ? length : SAMPLE_UNITS - 2;
    // A surrogate pair is one character: it is kept whole or not at all.
    if (kept < length && line[kept - 1] >= 0xD800 && line[kept - 1] <= 0xDBFF)
        --kept;
    memcpy(reader->differing, line, kept * sizeof(WCHAR));
    if (kept < length)
        reader->differing[kept++] = 0x2026; // …
    reader->differing[kept] = 0;
}

BOOL ReadDefinitionLine(WCHAR* line, KeyFileReader* reader)
{
    const BYTE* piece;
    int length;
    // A read error ends the reading at once: the piece it cuts off is not a line that was read.
    if (!reader->text || !ReadPiece(reader, &piece, &length) || ferror(reader->file))
    {
        // A character the file itself ends inside is no text; one a read error ends is not
        // judged.
        if (reader->carried && !ferror(reader->file))
            reader->text = FALSE;
        return FALSE;
    }
    if (!reader->judging)
    {
        reader->text = DecodeKeptLine(reader, piece, length, line);
        return reader->text;
    }
    int count = reader->encoding == ENCODING_OEM
                    ? JudgeOemPiece(reader, piece, length, line)
                    : DecodeUnicode(reader->encoding, piece, length, line);
    reader->text = count >= 0;
    if (count < 0)
        return FALSE;
    TrimLine(line, count);
    KeepDifferingLine(reader, line);
    return TRUE;
}
