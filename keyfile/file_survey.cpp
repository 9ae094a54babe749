// Import's first reading. It reads the file in the pieces the parser reads, but takes each
// piece as bytes: the directive words are ASCII, which every OEM code page keeps as it is, so
// the pieces need converting only to be judged.
#include "keyfile/file_survey.h"

#include "keyfile/definition_format.h"

// A byte-order mark (UTF-8, UTF-16 little- or big-endian) marks a file saved as Unicode, which
// the OEM code page would misread. `start` is a piece: its terminator ends every comparison.
static BOOL HasByteOrderMark(const unsigned char* start)
{
    return (start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) ||
           (start[0] == 0xFF && start[1] == 0xFE) || (start[0] == 0xFE && start[1] == 0xFF);
}

// Whether the bytes are text in the OEM code page: they convert to wide characters and back to
// the same bytes. A byte sequence the code page cannot read becomes its default character,
// which converts back to other bytes. `units` and `back` hold `length` each.
static BOOL IsOemText(const char* bytes, int length, WCHAR* units, char* back)
{
    // Bytes below 0x80 are ASCII in every OEM code page; only a piece with others is converted.
    int at = 0;
    while (at < length && (unsigned char)bytes[at] < 0x80)
        ++at;
    if (at == length)
        return TRUE;
    // The code page keeps no state between characters, so the rest converts on its own.
    const char* rest = bytes + at;
    int restLength = length - at;
    int count = MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, rest, restLength, units, restLength);
    if (count <= 0 ||
        WideCharToMultiByte(CP_OEMCP, 0, units, count, back, restLength, NULL, NULL) != restLength)
        return FALSE;
    for (at = 0; at < restLength; ++at)
    {
        if (back[at] != rest[at])
            return FALSE;
    }
    return TRUE;
}

// Whether the piece begins with the directive word, compared byte by unit.
static const char* MatchDirectiveBytes(const char* piece, LPCWSTR word)
{
    size_t at = 0;
    for (; word[at]; ++at)
    {
        if ((unsigned char)piece[at] != word[at])
            return NULL;
    }
    while (piece[at] == ' ' || piece[at] == '\t')
        ++at;
    return piece + at;
}

// Follows the blocks as the parser does, counting those that reach their end under a name.
static void FollowBlocks(const char* piece, BOOL* open, UINT* definitions)
{
    while (*piece == ' ' || *piece == '\t')
        ++piece;
    if (*piece == '\r' || *piece == '\n' || *piece == 0 || *piece == '#')
        return;
    const char* name = MatchDirectiveBytes(piece, NAME_DIRECTIVE);
    if (name)
    {
        *open = *name != '\r' && *name != '\n' && *name != 0;
        return;
    }
    if (*open && MatchDirectiveBytes(piece, END_DIRECTIVE))
    {
        ++*definitions;
        *open = FALSE;
    }
}

// Whether the piece holds a zero byte, which no text has (a file saved as UTF-16 without a
// byte-order mark is full of them). fgets stops at its count, a line end, the end of the file or
// a read error; a piece that is cut short of all four was cut by a zero byte. One the file ends
// with cannot be told from the end.
static BOOL HoldsZeroByte(const char* piece, int length, FILE* file)
{
    return length < READ_PIECE_BYTES && (length == 0 || piece[length - 1] != '\n') && !feof(file) &&
           !ferror(file);
}

// Judges the pieces of the file until one is not text. The first byte of `buffer` is one
// carried over from the piece before (`carried` says whether), the piece itself after it.
static void ReadPieces(FILE* file, KeyFileSurvey* survey)
{
    // A carried byte, a piece and its terminator; what the judgement converts, the same again.
    char* buffer = (char*)malloc(READ_BUFFER_BYTES);
    WCHAR* units = (WCHAR*)malloc(READ_BUFFER_BYTES * sizeof(WCHAR));
    char* back = (char*)malloc(READ_BUFFER_BYTES);
    int carried = 0;
    BOOL open = FALSE;
    while (fgets(buffer + carried, READ_PIECE_BYTES + 1, file))
    {
        char* piece = buffer + carried;
        int length = (int)strlen(piece);
        BOOL first = survey->empty;
        survey->empty = FALSE;
        if (first && HasByteOrderMark((const unsigned char*)piece))
        {
            survey->unicode = TRUE;
            break;
        }
        FollowBlocks(piece, &open, &survey->definitions);
        int judged = carried + length;
        carried = 0;
        if (HoldsZeroByte(piece, length, file))
        {
            survey->foreign = TRUE;
            break;
        }
        if (IsOemText(buffer, judged, units, back))
            continue;
        // The reading rule may cut a piece inside a double-byte character: such a piece is
        // text without its last byte, the lead byte, which is judged with the next piece, where
        // its trail byte is. (A piece that ends its line ends in LF, which is text.)
        if (length == READ_PIECE_BYTES && IsOemText(buffer, judged - 1, units, back))
        {
            buffer[0] = buffer[judged - 1];
            carried = 1;
            continue;
        }
        survey->foreign = TRUE;
        break;
    }
    // A character the file itself ends inside is no text; one a read error ends is not judged.
    if (carried && !ferror(file))
        survey->foreign = TRUE;
    free(back);
    free(units);
    free(buffer);
}

KeyFileSurvey SurveyKeyFile(FILE* file)
{
    KeyFileSurvey survey;
    memset(&survey, 0, sizeof(survey));
    survey.empty = TRUE;
    ReadPieces(file, &survey);
    // The pieces stop at a read error as at the end: only the stream tells them apart.
    survey.complete = !ferror(file) && fseek(file, 0, SEEK_SET) == 0;
    return survey;
}
