// The first of import's two readings of a key-definition file: the whole file is read by the
// same rules as the second, and judged, before anything is stored.
#ifndef DUNVATEL_KEYFILE_FILE_SURVEY_H
#define DUNVATEL_KEYFILE_FILE_SURVEY_H

#include "platform/platform.h"

// What a key-definition file holds, found without storing anything.
struct KeyFileSurvey
{
    BOOL unicode;     // it begins with a byte-order mark, so it was read no further
    BOOL empty;       // it holds no bytes
    BOOL complete;    // it was read to its end, or to its first foreign piece, and set back
    BOOL foreign;     // some of its bytes are not text in the OEM code page: another encoding
    UINT definitions; // blocks that reach their end directive under a name
};

// Reads the open file to its end and leaves it at its start again.
KeyFileSurvey SurveyKeyFile(FILE* file);

#endif
