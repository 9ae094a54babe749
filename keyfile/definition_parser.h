// Reading a key-definition file into a key.
#ifndef DUNVATEL_KEYFILE_DEFINITION_PARSER_H
#define DUNVATEL_KEYFILE_DEFINITION_PARSER_H

#include "platform/platform.h"

// What reading a key-definition file came to.
struct KeyFileReading
{
    BOOL unicode;  // it begins with a byte-order mark, so nothing was stored
    BOOL empty;    // it holds no bytes
    BOOL foreign;  // it holds bytes that are not text in the OEM code page: nothing was stored
    BOOL complete; // it was read to its end; FALSE after a read error
    UINT stored;   // key definitions written into the key
    UINT unstored; // key definitions that reached their end but could not be stored
};

// Reads the whole open file first; only when it reads to its end as text in the OEM code page
// is it parsed again, and each block that reaches its end written into the open key as a
// REG_MULTI_SZ value.
KeyFileReading ReadKeyDefinitions(FILE* file, HKEY key);

#endif
