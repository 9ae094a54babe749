// The test support's host side: fake window handles with stand-in controls, and the scripted
// user installed as the stand-in's message-box handler.
#include "tests/support/test_support.h"

#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "base/window_globals.h"

namespace
{

HWND NewWindowHandle()
{
    static ULONG_PTR next = 0x10000;
    next += 0x10;
    return (HWND)next;
}

} // namespace

int OpenKeyHandles()
{
    return HostOpenKeyCount();
}

TestWindows::TestWindows() : mainWindow_(NewWindowHandle()), dialog_(NewWindowHandle())
{
    HostCreateComboBox(dialog_, IDC_STYLE_LIST);
    g_mainWindow = mainWindow_;
    g_mainDialog = dialog_;
}

TestWindows::~TestWindows()
{
    HostRemoveControls(dialog_);
    g_mainWindow = NULL;
    g_mainDialog = NULL;
}

void ScriptedUser::Install()
{
    HostClearRegistryFaults();
    HostSetMessageBoxHandler(
        [this](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
            return Respond(
                ShownBox{owner, text ? text : TEXT(""), caption ? caption : TEXT(""), type});
        });
    HostSetFileDialogHandler(
        [this](bool save, const OPENFILENAMEW& record, std::u16string* path)
        {
            WString chosen;
            bool choose = RespondToFileDialog(DescribeFileDialog(save, record), &chosen);
            path->assign(chosen.begin(), chosen.end());
            return choose;
        });
}

void ScriptedUser::Uninstall()
{
    HostSetMessageBoxHandler(nullptr);
    HostSetFileDialogHandler(nullptr);
    HostClearRegistryFaults();
    HostFailFileReadsFrom(-1);
    HostFailFileWritesFrom(-1);
    HostFailFileMoves(-1);
    HostFailFileOpens(-1);
    HostFailListMessage(0);
}
