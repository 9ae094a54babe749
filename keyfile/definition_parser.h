// Reading a key-definition file into a key.
#ifndef DUNVATEL_KEYFILE_DEFINITION_PARSER_H
#define DUNVATEL_KEYFILE_DEFINITION_PARSER_H

#include "platform/platform.h"

// What reading a key-definition file came to.
struct KeyFileReading
{
    BOOL unicode;  // it begins with a byte-order mark, so it was not read at all
    BOOL empty;    // it holds no bytes
    BOOL complete; // it was read to its end; FALSE after a read error
    UINT stored;   // key definitions written into the key
    UINT unstored; // key definitions that reached their end but could not be stored
};

// Parses the open file and writes each block that reaches its end into the open key as a
// REG_MULTI_SZ value.
KeyFileReading ReadKeyDefinitions(FILE* file, HKEY key);

#endif
