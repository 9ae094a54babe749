// One line of a key-definition file: formatting and writing it, reading and trimming it, and
// recognising its directive word.
#ifndef DUNVATEL_KEYFILE_DEFINITION_LINE_H
#define DUNVATEL_KEYFILE_DEFINITION_LINE_H

#include "platform/platform.h"

// Formats the text (%s takes a wide string) and writes it in the OEM code page, without the
// terminator and without any limit on its length.
void WriteFormattedLine(FILE* file, LPCWSTR format, ...);
// Writes `lead` (a directive word, or empty) and `text` as one line in the OEM code page, ended
// by CR LF, converting the text once. With `judge`, TRUE only when reading the line back gives
// `text` after `lead` again, judged from the bytes written: no CR or LF in it, no longer than a
// read piece, and every character in the code page. Without, TRUE.
BOOL WriteDefinitionLine(FILE* file, LPCWSTR lead, LPCWSTR text, BOOL judge);
// Reads the next line into `line` (LINE_BUFFER_UNITS units): leading blanks and tabs dropped,
// ended at its first CR or LF, converted from the OEM code page. FALSE at the end of the file
// or on a read error.
BOOL ReadDefinitionLine(WCHAR* line, FILE* file);
// The blanks that reading drops from the start of a line and from before a directive's argument:
// a space or a tab.
BOOL IsBlank(WCHAR unit);
// Where the directive's argument begins when `line` begins with the whole `word`, after the
// blanks and tabs that follow it; NULL when it does not.
LPCWSTR MatchDirective(LPCWSTR line, LPCWSTR word);

#endif
