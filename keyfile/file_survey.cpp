// Import's first reading: the line reader judges every byte and the parser follows the blocks
// without storing them, once in the encoding of the file's byte-order mark, or without one in
// the OEM code page and, where that leaves a doubt, in UTF-8.
#include "keyfile/file_survey.h"

#include "keyfile/definition_parser.h"

// One judging reading of the whole file.
struct EncodingTrial
{
    FileEncoding encoding;
    BOOL empty;
    BOOL text;
    UINT definitions;
    WCHAR differing[SAMPLE_UNITS];
};

// Reads the file from its start in `unmarked`, unless it has a byte-order mark, and sets it back.
// FALSE after a read error, and when the reading's buffers cannot be had (`outOfMemory`).
static BOOL TryEncoding(FILE* file, FileEncoding unmarked, EncodingTrial* trial, BOOL* outOfMemory)
{
    KeyFileReader reader;
    if (!OpenKeyFileReader(&reader, file, unmarked, TRUE))
    {
        *outOfMemory = TRUE;
        return FALSE;
    }
    UINT ended;
    UINT dropped;
    if (!ParseKeyFile(&reader, NULL, &ended, &dropped))
    {
        CloseKeyFileReader(&reader);
        *outOfMemory = TRUE;
        return FALSE;
    }
    trial->encoding = reader.encoding;
    trial->empty = reader.empty;
    trial->text = reader.text;
    trial->definitions = ended + dropped;
    wcscpy(trial->differing, reader.differing);
    CloseKeyFileReader(&reader);
    // The pieces stop at a read error as at the end: only the stream tells them apart.
    return !ferror(file) && fseek(file, 0, SEEK_SET) == 0;
}

KeyFileSurvey SurveyKeyFile(FILE* file)
{
    KeyFileSurvey survey;
    memset(&survey, 0, sizeof(survey));
    EncodingTrial first;
    survey.complete = TryEncoding(file, ENCODING_OEM, &first, &survey.outOfMemory);
    if (survey.outOfMemory)
        return survey;
    survey.empty = first.empty;
    survey.text = first.text;
    survey.encoding = first.encoding;
    survey.definitions = first.definitions;
    // A byte-order mark makes the encoding certain; lines that are all ASCII read alike in
    // every encoding.
    if (!survey.complete || first.encoding != ENCODING_OEM || (first.text && !first.differing[0]))
        return survey;
    // Text in the OEM code page is seldom valid UTF-8, and UTF-8 is often valid Shift JIS.
    EncodingTrial utf8;
    survey.complete = TryEncoding(file, ENCODING_UTF8, &utf8, &survey.outOfMemory);
    if (!survey.complete || !utf8.text)
        return survey;
    if (!first.text)
    {
        survey.text = TRUE;
        survey.encoding = ENCODING_UTF8;
        survey.definitions = utf8.definitions;
        return survey;
    }
    survey.ambiguous = TRUE;
    if (utf8.definitions > survey.definitions)
        survey.definitions = utf8.definitions;
    wcscpy(survey.oemLine, first.differing);
    wcscpy(survey.utf8Line, utf8.differing);
    return survey;
}
