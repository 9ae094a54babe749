// The lines of a key-definition file: writing them in its encoding, judged for whether reading
// them back gives them again, and recognising a line's directive word.
#ifndef DUNVATEL_KEYFILE_DEFINITION_LINE_H
#define DUNVATEL_KEYFILE_DEFINITION_LINE_H

#include "keyfile/file_encoding.h"

// Where export's lines go: each block's strings are converted at once, and the lines gather
// here and reach the file in few writes.
struct LineOutput
{
    FILE* file;
    FileEncoding encoding; // the OEM code page or UTF-8
    BYTE* bytes;           // the lines on their way to the file
    int used;
    BYTE* converted; // a block's strings converted
    WCHAR* back;     // judging the OEM code page: the converted strings converted back
    // A line's bytes could not be had: the file lacks lines and must not be used.
    BOOL outOfMemory;
};

// FALSE when the output's buffers cannot be had; the output is then not open.
BOOL OpenLineOutput(LineOutput* output, FILE* file, FileEncoding encoding);
// Writes what has gathered to the file.
void CloseLineOutput(LineOutput* output);

// How lines written by WriteDefinitionLines read back, as flags.
#define READS_BACK 1         // from the file they were written to
#define READS_BACK_AS_UTF8 2 // from the same lines written as UTF-8

// Writes each zero-ended string of the `count` units (the last may lack its zero) as one line:
// `lead` (a directive word, or empty), the string, CR LF. With `judge`, the flags say whether
// reading all the lines back gives their strings after `lead` again, judged from the bytes
// written: no CR or LF in them, none longer than a read piece, and every character in the
// encoding. Without, both flags.
UINT WriteDefinitionLines(LineOutput* output, LPCWSTR lead, const WCHAR* strings, DWORD count,
                          BOOL judge);
// Writes the directive word alone as a line.
void WriteDirectiveLine(LineOutput* output, LPCWSTR word);

// The blanks that reading drops from the start of a line and from before a directive's argument:
// a space or a tab.
BOOL IsBlank(WCHAR unit);
// Where the directive's argument begins when `line` begins with the whole `word`, after the
// blanks and tabs that follow it; NULL when it does not.
LPCWSTR MatchDirective(LPCWSTR line, LPCWSTR word);

#endif
