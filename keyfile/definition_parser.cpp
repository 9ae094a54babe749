// The import's parser: gathers each block's strings and stores the block as a REG_MULTI_SZ
// value when its end directive comes. Malformed content is passed over without a word; the
// blocks that reach their end are counted, stored or not.
#include "keyfile/definition_parser.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"

// Where the parser stands between a block's name and its end.
enum BlockState
{
    // No block is open: strings are ignored.
    BLOCK_CLOSED,
    // A named block is gathering its strings.
    BLOCK_GATHERING,
    // A block too large for the buffers: its strings are ignored, and it is counted as not
    // stored when it ends. It is never stored cut short.
    BLOCK_DROPPED
};

struct DefinitionParser
{
    HKEY key; // NULL: nothing is stored
    BlockState block;
    WCHAR name[VALUE_NAME_UNITS];
    WCHAR* gathered; // GATHER_BUFFER_BYTES
    DWORD gatheredBytes;
    UINT stored;
    UINT unstored;
};

static void StartBlock(DefinitionParser* parser, LPCWSTR name)
{
    // Whatever an earlier block gathered without reaching its end is dropped.
    parser->gatheredBytes = 0;
    parser->name[0] = 0;
    if (name[0] == 0)
    {
        parser->block = BLOCK_CLOSED;
        return;
    }
    if (wcslen(name) >= VALUE_NAME_UNITS)
    {
        parser->block = BLOCK_DROPPED;
        return;
    }
    wcscpy(parser->name, name);
    parser->block = BLOCK_GATHERING;
}

static void GatherString(DefinitionParser* parser, LPCWSTR text)
{
    if (parser->block != BLOCK_GATHERING)
        return;
    DWORD bytes = (DWORD)(wcslen(text) + 1) * sizeof(WCHAR);
    // Room must stay for the list's closing terminator.
    if (parser->gatheredBytes + bytes + sizeof(WCHAR) > GATHER_BUFFER_BYTES)
    {
        parser->block = BLOCK_DROPPED;
        return;
    }
    wcscpy(parser->gathered + parser->gatheredBytes / sizeof(WCHAR), text);
    parser->gatheredBytes += bytes;
}

static BOOL StoreBlock(DefinitionParser* parser)
{
    if (!parser->key)
        return TRUE;
    return RegSetValueExW(parser->key, parser->name, 0, REG_MULTI_SZ, (const BYTE*)parser->gathered,
                          parser->gatheredBytes) == ERROR_SUCCESS;
}

static void EndBlock(DefinitionParser* parser)
{
    if (parser->block == BLOCK_GATHERING)
    {
        parser->gathered[parser->gatheredBytes / sizeof(WCHAR)] = 0;
        parser->gatheredBytes += sizeof(WCHAR);
        if (StoreBlock(parser))
            ++parser->stored;
        else
            ++parser->unstored;
    }
    else if (parser->block == BLOCK_DROPPED)
    {
        ++parser->unstored;
    }
    parser->block = BLOCK_CLOSED;
    parser->name[0] = 0;
}

static void ParseLine(DefinitionParser* parser, LPCWSTR line)
{
    if (line[0] == 0 || line[0] == '#')
        return;
    LPCWSTR argument = MatchDirective(line, NAME_DIRECTIVE);
    if (argument)
    {
        StartBlock(parser, argument);
        return;
    }
    if (MatchDirective(line, END_DIRECTIVE))
    {
        EndBlock(parser);
        return;
    }
    GatherString(parser, line);
}

BOOL ParseKeyFile(KeyFileReader* reader, HKEY key, UINT* stored, UINT* unstored)
{
    DefinitionParser parser;
    parser.key = key;
    parser.block = BLOCK_CLOSED;
    parser.name[0] = 0;
    parser.gathered = (WCHAR*)malloc(GATHER_BUFFER_BYTES);
    parser.gatheredBytes = 0;
    parser.stored = 0;
    parser.unstored = 0;
    WCHAR* line = (WCHAR*)malloc(LINE_BUFFER_UNITS * sizeof(WCHAR));
    // Both buffers are had before the first line is read, and so before anything is stored.
    if (!line || !parser.gathered)
    {
        free(line);
        free(parser.gathered);
        return FALSE;
    }
    while (ReadDefinitionLine(line, reader))
        ParseLine(&parser, line);
    // A block the file ends inside is not written.
    free(line);
    free(parser.gathered);
    *stored = parser.stored;
    *unstored = parser.unstored;
    return TRUE;
}

KeyFileReading ReadKeyDefinitions(FILE* file, HKEY key, const KeyFileSurvey* survey)
{
    KeyFileReading reading;
    reading.survey = *survey;
    reading.complete = survey->complete;
    reading.outOfMemory = survey->outOfMemory;
    reading.stored = 0;
    reading.unstored = 0;
    // Nothing is stored from a file that cannot be read whole or is not text, so that a fault
    // part-way costs the Custom style nothing.
    if (!survey->complete || !survey->text || survey->definitions == 0)
        return reading;
    KeyFileReader reader;
    if (!OpenKeyFileReader(&reader, file, survey->encoding, FALSE))
    {
        reading.outOfMemory = TRUE;
        return reading;
    }
    reading.outOfMemory = !ParseKeyFile(&reader, key, &reading.stored, &reading.unstored);
    // The lines stop at a read error as at the end: only the stream tells them apart.
    reading.complete = !reading.outOfMemory && reader.text && !ferror(file);
    CloseKeyFileReader(&reader);
    return reading;
}
