#include "tests/e2e/program_driver.h"

#include "platform/platform.h"
#include "resources/resource.h"
#include "tests/support/win32/dialog_controls.h"

std::wstring g_programPath;

namespace
{

const DWORD POLL_MILLISECONDS = 20;

struct BoxSearch
{
    HWND found;
};

struct OwnedSearch
{
    LPCWSTR className;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM parameter)
{
    OwnedSearch* search = (OwnedSearch*)parameter;
    if (!IsWindowVisible(window) || !HasWindowClass(window, search->className) ||
        (search->owner && GetWindow(window, GW_OWNER) != search->owner))
        return TRUE;
    search->found = window;
    return FALSE;
}

void WaitUntilGone(HWND window)
{
    for (DWORD waited = 0; waited < 10000 && IsWindow(window); waited += POLL_MILLISECONDS)
        Sleep(POLL_MILLISECONDS);
}

BOOL CALLBACK FindShownDialog(HWND window, LPARAM parameter)
{
    BoxSearch* search = (BoxSearch*)parameter;
    if (!IsWindowVisible(window) || !HasWindowClass(window, L"#32770"))
        return TRUE;
    search->found = window;
    return FALSE;
}

bool StartProcess(PROCESS_INFORMATION* info)
{
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + g_programPath + L"\"";
    return CreateProcessW(g_programPath.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                          &startup, info) != 0;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM parameter)
{
    if (HasWindowClass(window, L"DUNVATEL") && WindowText(window) == L"dunvatel")
        ++*(int*)parameter;
    return TRUE;
}

} // namespace

RunningProgram::RunningProgram() : mainWindow_(NULL), dialog_(NULL)
{
    memset(&info_, 0, sizeof(info_));
}

RunningProgram::~RunningProgram()
{
    if (!info_.hProcess)
        return;
    if (running())
    {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool RunningProgram::Start()
{
    if (!StartProcess(&info_))
        return false;
    WaitForInputIdle(info_.hProcess, 10000);
    for (DWORD waited = 0; waited < 10000; waited += POLL_MILLISECONDS)
    {
        mainWindow_ = FindWindowW(L"DUNVATEL", L"dunvatel");
        if (mainWindow_)
            dialog_ = FindWindowExW(mainWindow_, NULL, L"#32770", NULL);
        if (dialog_ && IsWindowVisible(dialog_))
            return true;
        Sleep(POLL_MILLISECONDS);
    }
    return false;
}

void RunningProgram::Press(int id) const
{
    PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog_, id));
}

bool RunningProgram::WaitForBox(ProgramBox* box, DWORD milliseconds) const
{
    for (DWORD waited = 0; waited < milliseconds; waited += POLL_MILLISECONDS)
    {
        BoxSearch search = {NULL};
        EnumThreadWindows(info_.dwThreadId, FindShownDialog, (LPARAM)&search);
        if (search.found)
        {
            box->window = search.found;
            HWND text = GetDlgItem(search.found, MESSAGE_BOX_TEXT_ID);
            box->text = text ? WindowText(text) : std::wstring();
            box->caption = WindowText(search.found);
            box->question = GetDlgItem(search.found, IDYES) != NULL;
            box->fileDialog = GetDlgItem(search.found, FILE_NAME_COMBO_ID) != NULL ||
                              GetDlgItem(search.found, FILE_NAME_EDIT_ID) != NULL;
            return true;
        }
        Sleep(POLL_MILLISECONDS);
    }
    return false;
}

void RunningProgram::Answer(const ProgramBox& box, int button) const
{
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 (LPARAM)GetDlgItem(box.window, button));
    WaitUntilGone(box.window);
}

void RunningProgram::ChooseFile(const ProgramBox& dialog, const std::wstring& path) const
{
    HWND name = GetDlgItem(dialog.window, FILE_NAME_COMBO_ID);
    if (!name)
        name = GetDlgItem(dialog.window, FILE_NAME_EDIT_ID);
    SendMessageTimeoutW(name, WM_SETTEXT, 0, (LPARAM)path.c_str(), SMTO_ABORTIFHUNG, 5000, NULL);
    Answer(dialog, IDOK);
}

std::vector<std::wstring> RunningProgram::ListEntries() const
{
    std::vector<std::wstring> entries;
    HWND list = GetDlgItem(dialog_, IDC_STYLE_LIST);
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        WCHAR text[256] = {0};
        SendMessageW(list, CB_GETLBTEXT, i, (LPARAM)text);
        entries.push_back(text);
    }
    return entries;
}

std::wstring RunningProgram::SelectedText() const
{
    LRESULT selected = SendMessageW(GetDlgItem(dialog_, IDC_STYLE_LIST), CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return std::wstring();
    return ListEntries().at(selected);
}

void RunningProgram::PressControlKey(WORD key) const
{
    // The accelerator table reads the program's keyboard state: share it for the key press.
    DWORD self = GetCurrentThreadId();
    AttachThreadInput(self, info_.dwThreadId, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(mainWindow_, WM_KEYDOWN, key, 1);
    PostMessageW(mainWindow_, WM_KEYUP, key, 0xC0000001);
    // Let the program take the key before Ctrl goes up again.
    Sleep(300);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(self, info_.dwThreadId, FALSE);
}

HWND RunningProgram::ShellWindow(LPCWSTR className, HWND owner) const
{
    OwnedSearch search = {className, owner, NULL};
    EnumThreadWindows(info_.dwThreadId, FindOwnedWindow, (LPARAM)&search);
    return search.found;
}

bool RunningProgram::ChooseFirstItem(HWND menuBarButton) const
{
    PostMessageW(menuBarButton, BM_CLICK, 0, 0);
    for (DWORD waited = 0; waited < 10000; waited += POLL_MILLISECONDS)
    {
        HWND popup = ShellWindow(L"#32768", NULL);
        if (popup)
        {
            // The pop-up's loop reads the keys from the program's queue.
            PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 1);
            return true;
        }
        Sleep(POLL_MILLISECONDS);
    }
    return false;
}

bool RunningProgram::PressTopBarOk(HWND window) const
{
    HWND topBar = ShellWindow(SHELL_TOP_BAR_CLASS, window);
    HWND ok = topBar ? GetDlgItem(topBar, IDOK) : NULL;
    if (!ok || !IsWindowVisible(ok))
        return false;
    PostMessageW(ok, BM_CLICK, 0, 0);
    WaitUntilGone(window);
    return true;
}

int RunningProgram::WaitForExit(DWORD milliseconds)
{
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return (int)code;
}

bool RunningProgram::running() const
{
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int RunSecondInstance(DWORD milliseconds)
{
    PROCESS_INFORMATION info;
    if (!StartProcess(&info))
    {
        fprintf(stderr, "second instance: CreateProcessW failed, error %lu\n", GetLastError());
        return -1;
    }
    int result = -1;
    DWORD waited = WaitForSingleObject(info.hProcess, milliseconds);
    DWORD code = 0;
    if (waited != WAIT_OBJECT_0)
    {
        fprintf(stderr, "second instance: wait ended with %lu, error %lu\n", waited,
                GetLastError());
        TerminateProcess(info.hProcess, 99);
    }
    else if (!GetExitCodeProcess(info.hProcess, &code))
        fprintf(stderr, "second instance: no exit code, error %lu\n", GetLastError());
    else
        result = (int)code;
    if (result != 0)
        fprintf(stderr, "second instance: exit code 0x%lx\n", code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return result;
}

int CountMainWindows()
{
    int count = 0;
    EnumWindows(CountWindow, (LPARAM)&count);
    return count;
}
