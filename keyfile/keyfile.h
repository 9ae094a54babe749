// Key-definition files: the text format that carries the Custom style's REG_MULTI_SZ values,
// its line operations, and the export and import commands.
#ifndef DUNVATEL_KEYFILE_KEYFILE_H
#define DUNVATEL_KEYFILE_KEYFILE_H

#include "platform/platform.h"

// The file dialogs' file buffer, shared by export and import for the life of the process.
extern WCHAR g_keyFilePath[256];

void WriteFormattedLine(FILE* file, LPCWSTR format, ...);
char* ToOemText(LPCWSTR text);
BOOL ReadDefinitionLine(WCHAR* line, FILE* file);
WCHAR* ToWideText(const char* bytes);
LPCWSTR MatchDirective(LPCWSTR line, LPCWSTR word);

void ExportCustomStyle(HWND dialog, int listId);
void WriteKeyDefinitions(FILE* file, HKEY key);
void WriteDefinitionBlock(FILE* file, LPCWSTR name, const BYTE* data, DWORD dataBytes);

void ImportCustomStyle(HWND dialog, int listId);
void ReadKeyDefinitions(FILE* file, HKEY key);

#endif
