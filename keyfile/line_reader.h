// Reading a key-definition file line by line in its encoding, for both of import's readings:
// the first judges every byte and stores nothing, the second gives the parser its lines.
#ifndef DUNVATEL_KEYFILE_LINE_READER_H
#define DUNVATEL_KEYFILE_LINE_READER_H

#include "keyfile/file_encoding.h"

// A line as the user is shown it to tell two readings apart, terminator included: at most 20
// characters.
#define SAMPLE_UNITS 21

struct KeyFileReader
{
    FILE* file;
    FileEncoding encoding;
    BOOL judging; // the first reading: every byte judged, the first line beyond ASCII kept
    BYTE* bytes;  // the file read in blocks
    BYTE* back;   // judging the OEM code page: a piece converted back
    int start;    // where the next piece begins; the byte before it stays in the buffer
    int end;      // the end of the bytes read
    int carried;  // judging the OEM code page: the lead byte a piece was cut after
    BOOL empty;   // the file holds no bytes
    BOOL text;    // every byte read so far is text in the encoding
    // Judging: the first line with a character beyond ASCII, which reads differently in each
    // encoding, cut for showing; empty while there is none.
    WCHAR differing[SAMPLE_UNITS];
};

// Starts reading the open file from where it stands, its start: in the encoding of its
// byte-order mark, past the mark, or in `unmarked` when it has none. FALSE, with nothing read
// and nothing to close, when the reader's buffers cannot be had.
BOOL OpenKeyFileReader(KeyFileReader* reader, FILE* file, FileEncoding unmarked, BOOL judging);
void CloseKeyFileReader(KeyFileReader* reader);
// Reads the next line into `line` (LINE_BUFFER_UNITS units): leading blanks and tabs dropped,
// ended at its first CR or LF. FALSE at the end of the file, on a read error, and at bytes that
// are not text in the encoding, which leave `text` FALSE.
BOOL ReadDefinitionLine(WCHAR* line, KeyFileReader* reader);

#endif
