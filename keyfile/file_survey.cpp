// Import's first reading. It takes the file in the pieces the parser's fgets takes, but reads
// them in blocks and takes each piece as bytes: the directive words are ASCII, which every OEM
// code page keeps as it is, so the pieces need converting only to be judged, and every byte of
// the file is judged, a zero byte too.
#include "keyfile/file_survey.h"

#include "keyfile/definition_format.h"

// The file read in blocks of several pieces.
#define SURVEY_BUFFER_BYTES (2 * READ_BUFFER_BYTES)

struct PieceReader
{
    FILE* file;
    char* bytes; // SURVEY_BUFFER_BYTES
    int start;   // where the next piece begins; the byte before it stays in the buffer
    int end;     // the end of the bytes read
};

// Keeps the byte before the next piece and what follows it, and fills the rest of the buffer,
// when less than a whole piece is left.
static void FillPieceReader(PieceReader* reader)
{
    if (reader->end - reader->start >= READ_PIECE_BYTES || feof(reader->file) ||
        ferror(reader->file))
        return;
    int keep = reader->start > 0 ? reader->start - 1 : 0;
    for (int at = keep; at < reader->end; ++at)
        reader->bytes[at - keep] = reader->bytes[at];
    reader->start -= keep;
    reader->end -= keep;
    reader->end +=
        (int)fread(reader->bytes + reader->end, 1, SURVEY_BUFFER_BYTES - reader->end, reader->file);
}

// The next piece as fgets takes it: the bytes up to and including the first LF, at most
// READ_PIECE_BYTES of them. FALSE at the end of the file or after a read error.
static BOOL ReadPiece(PieceReader* reader, const char** piece, int* length)
{
    FillPieceReader(reader);
    int left = reader->end - reader->start;
    if (left == 0)
        return FALSE;
    int limit = left < READ_PIECE_BYTES ? left : READ_PIECE_BYTES;
    const char* bytes = reader->bytes + reader->start;
    int taken = 0;
    while (taken < limit)
    {
        if (bytes[taken++] == '\n')
            break;
    }
    reader->start += taken;
    *piece = bytes;
    *length = taken;
    return TRUE;
}

// A byte-order mark (UTF-8, UTF-16 little- or big-endian) marks a file saved as Unicode, which
// the OEM code page would misread.
static BOOL HasByteOrderMark(const unsigned char* start, int length)
{
    return (length >= 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) ||
           (length >= 2 && start[0] == 0xFF && start[1] == 0xFE) ||
           (length >= 2 && start[0] == 0xFE && start[1] == 0xFF);
}

// Whether the bytes are text in the OEM code page: no zero byte (a file saved as UTF-16
// without a byte-order mark is full of them), and they convert to wide characters and back to
// the same bytes. A byte sequence the code page cannot read becomes its default character,
// which converts back to other bytes. `units` and `back` hold `length` each.
static BOOL IsOemText(const char* bytes, int length, WCHAR* units, char* back)
{
    // Bytes below 0x80 are ASCII in every OEM code page; only a piece with others is converted.
    int ascii = length;
    for (int at = length - 1; at >= 0; --at)
    {
        if (bytes[at] == 0)
            return FALSE;
        if ((unsigned char)bytes[at] >= 0x80)
            ascii = at;
    }
    if (ascii == length)
        return TRUE;
    // The code page keeps no state between characters, so the rest converts on its own.
    const char* rest = bytes + ascii;
    int restLength = length - ascii;
    int count = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, rest, restLength, units, restLength);
    if (count <= 0 ||
        WideCharToMultiByte(CP_OEMCP, 0, units, count, back, restLength, NULL, NULL) != restLength)
        return FALSE;
    return memcmp(back, rest, restLength) == 0;
}

// Where the directive's argument begins in the line of `length` bytes when it begins with the
// whole word, compared byte by unit; NULL when it does not.
static const char* MatchDirectiveBytes(const char* line, int length, LPCWSTR word)
{
    int at = 0;
    for (; word[at]; ++at)
    {
        if (at == length || (unsigned char)line[at] != word[at])
            return NULL;
    }
    while (at < length && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    return line + at;
}

// Follows the blocks as the parser does, counting those that reach their end under a name.
static void FollowBlocks(const char* piece, int length, BOOL* open, UINT* definitions)
{
    int start = 0;
    while (start < length && (piece[start] == ' ' || piece[start] == '\t'))
        ++start;
    // The line ends at its first CR or LF.
    int end = start;
    while (end < length && piece[end] != '\r' && piece[end] != '\n')
        ++end;
    const char* line = piece + start;
    int lineLength = end - start;
    if (lineLength == 0 || line[0] == '#')
        return;
    const char* name = MatchDirectiveBytes(line, lineLength, NAME_DIRECTIVE);
    if (name)
    {
        *open = name < line + lineLength;
        return;
    }
    if (*open && MatchDirectiveBytes(line, lineLength, END_DIRECTIVE))
    {
        ++*definitions;
        *open = FALSE;
    }
}

// Judges the pieces of the file until one is not text.
static void ReadPieces(PieceReader* reader, KeyFileSurvey* survey)
{
    // What the judgement converts: a carried byte and a piece, and the same again.
    WCHAR* units = (WCHAR*)malloc(READ_BUFFER_BYTES * sizeof(WCHAR));
    char* back = (char*)malloc(READ_BUFFER_BYTES);
    int carried = 0; // the byte before the piece is a lead byte the reading rule cut off
    BOOL open = FALSE;
    const char* piece;
    int length;
    while (ReadPiece(reader, &piece, &length))
    {
        BOOL first = survey->empty;
        survey->empty = FALSE;
        if (first && HasByteOrderMark((const unsigned char*)piece, length))
        {
            survey->unicode = TRUE;
            break;
        }
        FollowBlocks(piece, length, &open, &survey->definitions);
        const char* judged = piece - carried;
        int judgedLength = length + carried;
        carried = 0;
        if (IsOemText(judged, judgedLength, units, back))
            continue;
        // The reading rule may cut a piece inside a double-byte character: such a piece is
        // text without its last byte, the lead byte, which is judged with the next piece, where
        // its trail byte is. (A piece that ends its line ends in LF, which is text.)
        if (length == READ_PIECE_BYTES && IsOemText(judged, judgedLength - 1, units, back))
        {
            carried = 1;
            continue;
        }
        survey->foreign = TRUE;
        break;
    }
    // A character the file itself ends inside is no text; one a read error ends is not judged.
    if (carried && !ferror(reader->file))
        survey->foreign = TRUE;
    free(back);
    free(units);
}

KeyFileSurvey SurveyKeyFile(FILE* file)
{
    KeyFileSurvey survey;
    memset(&survey, 0, sizeof(survey));
    survey.empty = TRUE;
    PieceReader reader;
    reader.file = file;
    reader.bytes = (char*)malloc(SURVEY_BUFFER_BYTES);
    reader.start = 0;
    reader.end = 0;
    ReadPieces(&reader, &survey);
    free(reader.bytes);
    // The pieces stop at a read error as at the end: only the stream tells them apart.
    survey.complete = !ferror(file) && fseek(file, 0, SEEK_SET) == 0;
    return survey;
}
