// Reading a key-definition file into a key.
#ifndef DUNVATEL_KEYFILE_DEFINITION_PARSER_H
#define DUNVATEL_KEYFILE_DEFINITION_PARSER_H

#include "keyfile/file_survey.h"
#include "keyfile/line_reader.h"

// What reading a key-definition file came to.
struct KeyFileReading
{
    KeyFileSurvey survey; // the first reading
    BOOL complete;        // both readings reached the file's end; FALSE after a read error
    // A reading's buffers could not be had: nothing was stored, and nothing else here counts.
    BOOL outOfMemory;
    UINT stored;   // key definitions written into the key
    UINT unstored; // key definitions that reached their end but could not be stored
};

// Follows the blocks of the lines the reader gives and writes each block that reaches its end
// into `key` as a REG_MULTI_SZ value, counting it in `stored`, or in `unstored` when it is too
// large or refused. With no key nothing is stored, and `stored` counts the blocks that would be.
// FALSE, with nothing read or stored and the counts not set, when the parser's buffers cannot be
// had.
BOOL ParseKeyFile(KeyFileReader* reader, HKEY key, UINT* stored, UINT* unstored);
// The second reading, after SurveyKeyFile: only a file that was read to its end and is text in
// the survey's encoding is read again and stored.
KeyFileReading ReadKeyDefinitions(FILE* file, HKEY key, const KeyFileSurvey* survey);

#endif
