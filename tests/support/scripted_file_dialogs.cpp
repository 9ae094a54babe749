// The scripted user's file-dialog answers and log, the same in both builds; each build's hook
// calls RespondToFileDialog for every file dialog the program opens.
#include "tests/support/test_support.h"

namespace
{

WString TextOrEmpty(LPCWSTR text)
{
    return text ? WString(text) : WString();
}

// The filter list runs to the empty text that closes it.
WString FilterList(LPCWSTR filter)
{
    if (!filter)
        return WString();
    LPCWSTR end = filter;
    while (*end)
        end += WString(end).size() + 1;
    return WString(filter, end);
}

} // namespace

void ScriptedUser::WillChooseFile(const WString& path)
{
    fileAnswers_.push_back(FileAnswer{true, path});
}

void ScriptedUser::WillCancelFileDialog()
{
    fileAnswers_.push_back(FileAnswer{false, WString()});
}

bool ScriptedUser::RespondToFileDialog(const ShownFileDialog& dialog, WString* path)
{
    fileDialogs_.push_back(dialog);
    EXPECT_EQ(LoadCursorW(NULL, IDC_ARROW), GetCursor()) << "file dialog under another cursor";
    if (fileAnswers_.empty())
    {
        ADD_FAILURE() << "unscripted " << (dialog.save ? "save" : "open") << " dialog";
        return false;
    }
    FileAnswer answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    *path = answer.path;
    return answer.choose;
}

ShownFileDialog ScriptedUser::DescribeFileDialog(bool save, const OPENFILENAMEW& record)
{
    ShownFileDialog dialog;
    dialog.save = save;
    dialog.size = record.lStructSize;
    dialog.owner = record.hwndOwner;
    dialog.filter = FilterList(record.lpstrFilter);
    dialog.capacity = record.nMaxFile;
    dialog.title = TextOrEmpty(record.lpstrTitle);
    dialog.flags = record.Flags;
    dialog.initialFile = TextOrEmpty(record.lpstrFile);
    dialog.restZero = !record.hInstance && !record.lpstrCustomFilter && !record.nMaxCustFilter &&
                      !record.nFilterIndex && !record.lpstrFileTitle && !record.nMaxFileTitle &&
                      !record.lpstrInitialDir && !record.lpstrDefExt && !record.lCustData &&
                      !record.lpfnHook && !record.lpTemplateName;
    return dialog;
}
