// Export of the Custom style: one block per REG_MULTI_SZ value, in the file the user names.
#include "keyfile/export.h"

#include "base/buffer_slack.h"
#include "base/count_notice.h"
#include "base/memory_notice.h"
#include "base/wait_cursor.h"
#include "base/window_globals.h"
#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"
#include "keyfile/file_dialog.h"
#include "keyfile/file_replacement.h"
#include "keyfile/notices.h"
#include "keyfile/round_trip.h"
#include "store/style_store.h"

static const WCHAR WRITE_CAPTION[] = TEXT("書き込み");

// Writes the key's blocks into the file at `path` and closes it. TRUE only when every block
// reached the file: the key could be read, no write failed and the stream flushed on closing.
static BOOL WriteKeyFileAt(LPCWSTR path, HKEY key, FileEncoding encoding, KeyFileWriting* writing)
{
    memset(writing, 0, sizeof(*writing));
    FILE* file = _wfopen(path, TEXT("wb"));
    if (!file)
        return FALSE;
    *writing = WriteKeyDefinitions(file, key, encoding);
    BOOL written = writing->keyRead && !writing->outOfMemory && !ferror(file);
    if (fclose(file) != 0)
        written = FALSE;
    return written;
}

// Asks, under the user's cursor, whether to write UTF-8 instead of losing what the code page
// cannot hold; the wait cursor is back for the rest of the work.
static BOOL ConfirmUtf8File(UINT codePageLosses, HCURSOR userCursor)
{
    RestoreCursor(userCursor);
    BOOL utf8 = ShowFormattedBox(WRITE_CAPTION, MB_YESNO,
                                 TEXT("%u 件のキー定義に Shift_JIS で書けない文字があります。")
                                     TEXT("UTF-8 で書き込みますか？"),
                                 codePageLosses) == IDYES;
    ShowWaitCursor();
    return utf8;
}

BOOL SaveKeyFile(LPCWSTR path, HKEY key, HCURSOR userCursor, UINT* lossy, BOOL* outOfMemory)
{
    *lossy = 0;
    if (outOfMemory)
        *outOfMemory = FALSE;
    WCHAR partial[SIDE_PATH_UNITS];
    if (!CanReplaceFile(path) || !CreateSideFile(path, partial))
        return FALSE;
    KeyFileWriting writing;
    BOOL written = WriteKeyFileAt(partial, key, ENCODING_OEM, &writing);
    // The new file is not in place yet: it can still be written again, whole, as UTF-8.
    if (written && writing.codePageLosses > 0 &&
        ConfirmUtf8File(writing.codePageLosses, userCursor))
        written = WriteKeyFileAt(partial, key, ENCODING_UTF8, &writing);
    *lossy = writing.lossy;
    if (!written)
    {
        DeleteFileW(partial);
        if (outOfMemory)
            *outOfMemory = writing.outOfMemory;
        return FALSE;
    }
    return PutFileInPlace(partial, path);
}

// The completion notice. A file that reading back will not restore whole is still written,
// and the user is told how many key definitions it will not bring back unchanged.
static void ReportWritten(UINT lossy)
{
    if (lossy == 0)
    {
        MessageBoxW(g_mainWindow, TEXT("書き込みました"), WRITE_CAPTION, MB_OK);
        return;
    }
    ShowCountNotice(TEXT("書き込みましたが、%u 件のキー定義は読み込んでも元どおりになりません"),
                    lossy, WRITE_CAPTION);
}

void ExportCustomStyle(HWND, int)
{
    OPENFILENAMEW record;
    PrepareKeyFileDialog(&record, TEXT("Save"), OFN_OVERWRITEPROMPT);
    if (!GetSaveFileNameW(&record))
        return;
    HCURSOR previous = ShowWaitCursor();
    HKEY custom;
    if (!OpenUserKey(CUSTOM_STYLE_KEY, &custom))
    {
        RestoreCursor(previous);
        ShowNoCustomStyle(TEXT("Export"));
        return;
    }
    UINT lossy = 0;
    BOOL outOfMemory = FALSE;
    BOOL written = SaveKeyFile(g_keyFilePath, custom, previous, &lossy, &outOfMemory);
    RegCloseKey(custom);
    RestoreCursor(previous);
    if (written)
        ReportWritten(lossy);
    else if (outOfMemory)
        ShowMemoryNotice();
    else
        MessageBoxW(g_mainWindow, TEXT("書き込めませんでした"), TEXT("Error"), MB_OK);
}

// Counts the block's flags into what the writing came to.
static void CountBlock(KeyFileWriting* writing, UINT readsBack)
{
    if (readsBack & READS_BACK)
        return;
    ++writing->lossy;
    if (readsBack & READS_BACK_AS_UTF8)
        ++writing->codePageLosses;
}

// Values are read a batch at a time and their blocks written after: a registry call that
// follows another at once, with no block's work between them, is answered sooner.
#define BATCH_BYTES (4 * GATHER_BUFFER_BYTES)

// A batch of values read from the key, each in a slot of its own: the size of its data, then
// its name, then its data. A slot holds the key's longest name and longest data, and the name
// takes an even number of units, so that the data is aligned for its units.
struct ValueBatch
{
    BYTE* slots;
    DWORD bytes; // room for BATCH_BYTES of slots, or for one slot if that is larger
    DWORD slotBytes;
    DWORD dataOffset;
    DWORD longestName;
    DWORD longestData;
};

// `count` rounded up to a multiple of `step`, a power of two.
static DWORD RoundUp(DWORD count, DWORD step)
{
    return (count + step - 1) & ~(step - 1);
}

static BOOL OpenValueBatch(ValueBatch* batch, DWORD longestName, DWORD longestData)
{
    batch->longestName = longestName;
    batch->longestData = longestData;
    batch->dataOffset = sizeof(DWORD) + RoundUp(longestName + BUFFER_SLACK, 2) * sizeof(WCHAR);
    batch->slotBytes = batch->dataOffset + RoundUp(longestData + BUFFER_SLACK, sizeof(DWORD));
    batch->bytes = batch->slotBytes > BATCH_BYTES ? batch->slotBytes : BATCH_BYTES;
    batch->slots = (BYTE*)malloc(batch->bytes);
    return batch->slots != NULL;
}

static WCHAR* FindSlotName(BYTE* slot)
{
    return (WCHAR*)(slot + sizeof(DWORD));
}

// Reads the REG_MULTI_SZ values from `*index` on into the batch, until it is full or the key's
// values end; `*index` moves past every value tried. A value that cannot be read is counted as
// missing from the file; one removed meanwhile is not. Returns the bytes of the slots filled.
static DWORD ReadValueBatch(HKEY key, DWORD values, DWORD* index, ValueBatch* batch,
                            KeyFileWriting* writing)
{
    DWORD filled = 0;
    for (; *index < values && filled + batch->slotBytes <= batch->bytes; ++*index)
    {
        BYTE* slot = batch->slots + filled;
        DWORD type = 0;
        DWORD nameCapacity = batch->longestName + CAPACITY_SLACK;
        DWORD dataBytes = batch->longestData + CAPACITY_SLACK;
        LONG result = RegEnumValueW(key, *index, FindSlotName(slot), &nameCapacity, NULL, &type,
                                    slot + batch->dataOffset, &dataBytes);
        if (result != ERROR_SUCCESS && result != ERROR_NO_MORE_ITEMS)
            ++writing->lossy;
        if (result != ERROR_SUCCESS || type != REG_MULTI_SZ)
            continue;
        *(DWORD*)slot = dataBytes;
        filled += batch->slotBytes;
    }
    return filled;
}

static void WriteValueBatch(LineOutput* output, const ValueBatch* batch, DWORD filled,
                            KeyFileWriting* writing)
{
    for (DWORD at = 0; at < filled; at += batch->slotBytes)
    {
        BYTE* slot = batch->slots + at;
        UINT readsBack;
        WriteDefinitionBlock(output, FindSlotName(slot), slot + batch->dataOffset, *(DWORD*)slot,
                             &readsBack);
        CountBlock(writing, readsBack);
    }
}

KeyFileWriting WriteKeyDefinitions(FILE* file, HKEY key, FileEncoding encoding)
{
    KeyFileWriting writing;
    memset(&writing, 0, sizeof(writing));
    DWORD values = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    ValueBatch batch;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &values, &longestName,
                         &longestData, NULL, NULL) != ERROR_SUCCESS)
        return writing;
    LineOutput output;
    if (!OpenValueBatch(&batch, longestName, longestData))
    {
        writing.outOfMemory = TRUE;
        return writing;
    }
    if (!OpenLineOutput(&output, file, encoding))
    {
        free(batch.slots);
        writing.outOfMemory = TRUE;
        return writing;
    }
    writing.keyRead = TRUE;
    DWORD index = 0;
    while (index < values && !output.outOfMemory)
        WriteValueBatch(&output, &batch, ReadValueBatch(key, values, &index, &batch, &writing),
                        &writing);
    free(batch.slots);
    CloseLineOutput(&output);
    writing.outOfMemory = output.outOfMemory;
    return writing;
}

// The units of the list in the data: its strings with their terminators, up to its closing
// empty string, or to the end of the data where the list lacks it, or even its last string's
// terminator; an odd last byte is no unit at all. `closed` tells which. With `judge`, FALSE
// when a string would not be read back as a string.
static DWORD MeasureList(const WCHAR* units, DWORD count, BOOL judge, BOOL* closed, BOOL* strings)
{
    *closed = FALSE;
    *strings = TRUE;
    DWORD at = 0;
    while (at < count)
    {
        if (units[at] == 0)
        {
            *closed = TRUE;
            return at;
        }
        DWORD end = at;
        while (end < count && units[end] != 0)
            ++end;
        if (end == count)
            return count;
        if (judge && !CanReadBackString(units + at))
            *strings = FALSE;
        at = end + 1;
    }
    return at;
}

void WriteDefinitionBlock(LineOutput* output, LPCWSTR name, const BYTE* data, DWORD dataBytes,
                          UINT* readsBack)
{
    BOOL judge = readsBack != NULL;
    DWORD nameUnits = (DWORD)wcslen(name);
    UINT back = 0;
    if (nameUnits > 0)
        back = WriteDefinitionLines(output, NAME_DIRECTIVE, name, nameUnits, judge);
    else
        WriteDirectiveLine(output, NAME_DIRECTIVE); // read back as no name at all
    // The data comes in a heap buffer, aligned for its units; the walk never leaves it.
    BOOL closed;
    BOOL strings;
    DWORD listUnits =
        MeasureList((const WCHAR*)data, dataBytes / sizeof(WCHAR), judge, &closed, &strings);
    back &= WriteDefinitionLines(output, TEXT(""), (const WCHAR*)data, listUnits, judge);
    WriteDirectiveLine(output, END_DIRECTIVE);
    if (judge)
        *readsBack =
            closed && strings && CanReadBackName(name) && CanReadBackList(listUnits + 1) ? back : 0;
}
