// One line of a key-definition file: formatting and writing it, and recognising its directive
// word.
#ifndef DUNVATEL_KEYFILE_DEFINITION_LINE_H
#define DUNVATEL_KEYFILE_DEFINITION_LINE_H

#include "keyfile/file_encoding.h"

// Formats the text (%s takes a wide string) and writes it in the OEM code page, without the
// terminator and without any limit on its length.
void WriteFormattedLine(FILE* file, LPCWSTR format, ...);
// How a line written by WriteDefinitionLine reads back, as flags.
#define READS_BACK 1         // from the file it was written to
#define READS_BACK_AS_UTF8 2 // from the same line written as UTF-8

// Writes `lead` (a directive word, or empty) and `text` as one line, ended by CR LF, in the OEM
// code page (converting the text once) or in UTF-8. With `judge`, the flags say whether
// reading the line back gives `text` after `lead` again, judged from the bytes written: no CR
// or LF in it, no longer than a read piece, and every character in the encoding. Without, both
// flags.
UINT WriteDefinitionLine(FILE* file, FileEncoding encoding, LPCWSTR lead, LPCWSTR text, BOOL judge);
// The blanks that reading drops from the start of a line and from before a directive's argument:
// a space or a tab.
BOOL IsBlank(WCHAR unit);
// Where the directive's argument begins when `line` begins with the whole `word`, after the
// blanks and tabs that follow it; NULL when it does not.
LPCWSTR MatchDirective(LPCWSTR line, LPCWSTR word);

#endif
