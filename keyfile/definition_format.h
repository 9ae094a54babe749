// The key-definition file's directive words and the sizes of the buffers its lines pass
// through.
#ifndef DUNVATEL_KEYFILE_DEFINITION_FORMAT_H
#define DUNVATEL_KEYFILE_DEFINITION_FORMAT_H

#include "platform/platform.h"

static const WCHAR NAME_DIRECTIVE[] = TEXT("--name ");
static const WCHAR END_DIRECTIVE[] = TEXT("--endmulti");
// Written lines end with CR LF; reading takes LF alone as well.
static const WCHAR LINE_END[] = TEXT("\r\n");

// A read line: fgets takes at most READ_PIECE_BYTES bytes and a terminator into
// READ_BUFFER_BYTES; converted, it is held in LINE_BUFFER_UNITS units.
#define READ_BUFFER_BYTES 2048
// The file format has always cut lines into pieces of 2,045 bytes: the buffer less the
// terminator and two bytes to spare (import's first reading puts a carried lead byte in one).
#define READ_PIECE_BYTES (READ_BUFFER_BYTES - 3)
#define LINE_BUFFER_UNITS 2048
// The strings of one block, each with its terminator, and the list's closing terminator.
#define GATHER_BUFFER_BYTES 4096
// A value name read from a file, terminator included.
#define VALUE_NAME_UNITS 256

#endif
