// The encodings a key-definition file is read in: the OEM code page, which export writes and
// the handheld's own tools read, and the Unicode forms that desktop editors save. Which one a
// file is in is decided from its own bytes; this module recognises the byte-order marks, cuts
// the file into the pieces the reading rules take, and decodes each encoding to UTF-16. UTF-8
// and UTF-16 are decoded here rather than by the platform: the handheld's conversion is not
// documented to report malformed UTF-8, and a file in either must be judged strictly.
#ifndef DUNVATEL_KEYFILE_FILE_ENCODING_H
#define DUNVATEL_KEYFILE_FILE_ENCODING_H

#include "platform/platform.h"

enum FileEncoding
{
    ENCODING_OEM,
    ENCODING_UTF8,
    ENCODING_UTF16LE,
    ENCODING_UTF16BE
};

// The mark a UTF-8 file begins with.
static const BYTE UTF8_MARK[] = {0xEF, 0xBB, 0xBF};

// The length of the byte-order mark that the `length` bytes begin with, its encoding in
// `encoding`; 0 when they begin with none.
int MatchByteOrderMark(const BYTE* bytes, int length, FileEncoding* encoding);
// The bytes of the next piece of a line among the `length` at hand: up to and including the
// first line feed, at most READ_PIECE_BYTES. In the OEM code page the cut falls exactly there,
// as it always has; in UTF-8 and UTF-16 it never falls inside a character.
int MeasurePiece(FileEncoding encoding, const BYTE* bytes, int length);
// Decodes UTF-8 or UTF-16 into `units` (room for `length`): how many units, or -1 when the
// bytes are not text in the encoding: a zero, a malformed, overlong or cut-off sequence, a
// surrogate outside its pair, a character beyond U+10FFFF, half a UTF-16 unit.
int DecodeUnicode(FileEncoding encoding, const BYTE* bytes, int length, WCHAR* units);
// Converts OEM code-page bytes into `units` (room for `length`); how many units.
int DecodeOem(const BYTE* bytes, int length, WCHAR* units);
// Whether `units`, converted from the `length` bytes, convert back to exactly them, so that
// the bytes were text in the OEM code page: one it cannot read becomes its default character,
// which converts back to other bytes. `back` has room for `length` bytes.
BOOL ConvertsBackToOem(const WCHAR* units, int count, const BYTE* bytes, int length, BYTE* back);

// The bytes the `count` units take in UTF-8; -1 when a surrogate stands outside its pair.
int MeasureUtf8(const WCHAR* units, int count);
// Writes the units as UTF-8 into `bytes` (room for three bytes a unit); how many bytes. A
// surrogate outside its pair becomes U+FFFD.
int EncodeUtf8(const WCHAR* units, int count, BYTE* bytes);

#endif
