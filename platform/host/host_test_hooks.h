// What tests use to drive and inspect the host stand-in. Program code never includes this.
#ifndef DUNVATEL_PLATFORM_HOST_TEST_HOOKS_H
#define DUNVATEL_PLATFORM_HOST_TEST_HOOKS_H

#include "platform/platform.h"

#include <functional>
#include <vector>
#include <string>

// Registry operations whose calls can be counted and made to fail.
enum HostRegistryCall
{
    HOST_REG_OPEN,
    HOST_REG_CREATE,
    HOST_REG_CLOSE,
    HOST_REG_QUERY_INFO,
    HOST_REG_ENUM_KEY,
    HOST_REG_ENUM_VALUE,
    HOST_REG_QUERY_VALUE,
    HOST_REG_SET_VALUE,
    HOST_REG_DELETE_KEY,
    HOST_REG_DELETE_VALUE,
    HOST_REG_CALL_KINDS
};

// Makes a later call of the operation fail with the error: the first `skip` calls still
// succeed, the next one fails, and the ones after it succeed again.
void HostFailRegistryCall(HostRegistryCall call, int skip = 0, LONG error = ERROR_ACCESS_DENIED);
void HostClearRegistryFaults();
// Calls made of the operation since the registry was last reset.
long HostRegistryCallCount(HostRegistryCall call);
// Handles opened or created and not yet closed.
int HostOpenKeyCount();
// The cursor that was current at the last call of the operation, or NULL before the first:
// what the user saw while a command was at work in the registry.
HCURSOR HostCursorAtLastCall(HostRegistryCall call);
// Empties the tree, forgets every handle and fault, and zeroes the call counts.
void HostResetRegistry();

// Gives `dialog` a sorted drop-down list with the control id; SendDlgItemMessageW then reaches
// it. Removing the dialog's controls forgets them.
void HostCreateComboBox(HWND dialog, int controlId);
void HostRemoveControls(HWND dialog);
// Makes the next `message` (a CB_ message) that a list receives answer CB_ERR, as a list that
// cannot give what it is asked for; 0 withdraws the fault.
void HostFailListMessage(UINT message);

// Who answers MessageBoxW. Without a handler a box answers 0, as a box that cannot be shown.
typedef std::function<int(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)>
    HostMessageBoxHandler;
void HostSetMessageBoxHandler(HostMessageBoxHandler handler);

// The code page CP_OEMCP converts with: 932 (Shift JIS, as on a Japanese device) until a test
// sets another that iconv knows as "CP<number>", such as 437.
void HostSetOemCodePage(UINT codePage);
UINT HostOemCodePage();

// Makes the next file _wfopen opens for reading fail every read at or beyond the byte offset,
// as a medium that cannot be read to its end; with `rewinds`, only once the stream has been
// rewound to its start that many times, as a card pulled out between two readings. A negative
// offset withdraws the fault.
void HostFailFileReadsFrom(long offset, int rewinds = 0);
// Makes the next file _wfopen opens for reading hold `bytes` once the stream has been rewound
// to its start `rewinds` times, as a file that another program saves between two readings.
void HostRewriteFileOnRewind(const std::string& bytes, int rewinds = 1);
// Makes the next file _wfopen opens for writing lie on a medium with `bytes` bytes of room:
// the bytes beyond fail to write, and closing the stream fails while they cannot be flushed,
// as on a full storage card. A negative count withdraws the fault.
void HostFailFileWritesFrom(long bytes);
// Makes later MoveFileW calls fail: the first `skip` calls still succeed, the next `count` fail,
// and the ones after them succeed again. A negative skip withdraws the fault.
void HostFailFileMoves(int skip, int count = 1);
// The same for _wfopen, one call, as a card pulled out just before a file is opened.
void HostFailFileOpens(int skip);
// Handles CreateFileW gave and CloseHandle has not closed.
int HostOpenFileCount();

// Makes program code's allocations fail from now on, as on a handheld short of memory: the
// `first`th (counted from 1) returns NULL, and with `everyOne` each one after it too; the others
// succeed. 0 fails none and only counts. Counting starts again with each call.
void HostFailAllocations(long first, bool everyOne = false);
// Program code's allocations since HostFailAllocations, failed ones included.
long HostAllocationsMade();
// The blocks allocated since HostFailAllocations and not yet freed.
long HostLiveAllocations();
// Stops failing and counting.
void HostClearAllocationFaults();
// For another heap that program code allocates from: counts one allocation, true when it is
// to fail; and notes each block it gives and takes back (a null block is none).
bool HostRefuseAllocation();
void HostNoteBlockGiven(const void* block);
void HostNoteBlockTaken(const void* block);
// Runs `command` with its first allocation failing, then with its second, and so on (`command`
// is told which is to fail), until a run makes fewer allocations than the one that was to fail:
// that last run fails none. After
// each run, with allocations normal again, `check` is given the number of the allocation that
// failed (0 for the last run) and the blocks the run left allocated.
void HostForEachFailingAllocation(const std::function<void(long failing)>& command,
                                  const std::function<void(long failing, long leftBehind)>& check);

// The UTF-8 form of a UTF-16 text, as the stand-in hands paths to the C library.
std::string HostToUtf8(const WCHAR* text);

// Who answers GetSaveFileNameW and GetOpenFileNameW. The handler sees the record as the
// program filled it and returns true with the chosen path, or false for a cancelled dialog.
// Without a handler every dialog is cancelled.
typedef std::function<bool(bool save, const OPENFILENAMEW& record, std::u16string* path)>
    HostFileDialogHandler;
void HostSetFileDialogHandler(HostFileDialogHandler handler);

// Calls of DestroyWindow and SHInitDialog, in the order they were made.
enum HostWindowCallKind
{
    HOST_DESTROY_WINDOW,
    HOST_SH_INIT_DIALOG
};
struct HostWindowCall
{
    HostWindowCallKind kind;
    HWND window; // the window destroyed, or the dialog set up
    DWORD mask;  // SHInitDialog only
    DWORD flags; // SHInitDialog only
};
const std::vector<HostWindowCall>& HostWindowCalls();
void HostClearWindowCalls();

#endif
