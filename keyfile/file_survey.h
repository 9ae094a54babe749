// The first of import's two readings of a key-definition file: the whole file is read by the
// same rules as the second, in each encoding it may be in, and judged before anything is
// stored.
#ifndef DUNVATEL_KEYFILE_FILE_SURVEY_H
#define DUNVATEL_KEYFILE_FILE_SURVEY_H

#include "keyfile/line_reader.h"

// What a key-definition file holds, found without storing anything.
struct KeyFileSurvey
{
    BOOL empty;       // it holds no bytes
    BOOL complete;    // it was read to its end, or to bytes that are not text, and set back
    BOOL outOfMemory; // a reading's buffers could not be had: it was not read to its end
    BOOL text;        // it reads as text in `encoding`
    // Without a byte-order mark it is text both in the OEM code page and in UTF-8, and some
    // line reads differently in each: the user chooses. `encoding` is the OEM code page until
    // then.
    BOOL ambiguous;
    FileEncoding encoding; // the encoding it is read in
    // Blocks that reach their end directive under a name; while ambiguous, in the reading that
    // has more.
    UINT definitions;
    // While ambiguous: the first line that reads differently, in each reading.
    WCHAR oemLine[SAMPLE_UNITS];
    WCHAR utf8Line[SAMPLE_UNITS];
};

// Reads the open file to its end and leaves it at its start again. Its encoding is that of its
// byte-order mark; without one, the OEM code page, or UTF-8 when only UTF-8 reads it as text.
KeyFileSurvey SurveyKeyFile(FILE* file);

#endif
