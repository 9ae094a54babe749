// The common file dialogs, answered by the handler a test installs. The chosen path is written
// into the record's file buffer within its capacity, as the dialog writes it.
#include "platform/host/host_test_hooks.h"

#include <utility>

namespace
{

HostFileDialogHandler& FileDialogHandler()
{
    static HostFileDialogHandler handler;
    return handler;
}

BOOL RunFileDialog(bool save, LPOPENFILENAMEW record)
{
    if (!record || record->lStructSize != PLATFORM_OPENFILENAME_SIZE || !record->lpstrFile)
        return FALSE;
    if (!FileDialogHandler())
        return FALSE;
    std::u16string path;
    if (!FileDialogHandler()(save, *record, &path))
        return FALSE;
    // A path that does not fit is refused, as the dialog refuses it, and the buffer stays.
    if (path.size() + 1 > record->nMaxFile)
        return FALSE;
    path.copy(record->lpstrFile, path.size());
    record->lpstrFile[path.size()] = 0;
    size_t slash = path.find_last_of(u"\\/");
    size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of(u'.');
    record->nFileOffset = (WORD)nameStart;
    record->nFileExtension =
        (WORD)(dot == std::u16string::npos || dot < nameStart ? path.size() : dot + 1);
    return TRUE;
}

} // namespace

BOOL GetSaveFileNameW(LPOPENFILENAMEW record)
{
    return RunFileDialog(true, record);
}

BOOL GetOpenFileNameW(LPOPENFILENAMEW record)
{
    return RunFileDialog(false, record);
}

void HostSetFileDialogHandler(HostFileDialogHandler handler)
{
    FileDialogHandler() = std::move(handler);
}
