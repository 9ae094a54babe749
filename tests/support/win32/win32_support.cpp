// The test support's Win32 side: real hidden windows with a real sorted drop-down list, and a
// scripted user who answers the real message boxes and file dialogs from a CBT hook on the
// test's thread. The records the program gives the file dialogs are read on their way to
// comdlg32 by rerouting the test program's own imports of the two dialog calls.
#include "tests/support/test_support.h"

#include "resources/resource.h"
#include "tests/support/win32/dialog_controls.h"
#include "base/window_globals.h"

namespace
{

const WCHAR TEST_WINDOW_CLASS[] = L"DunvatelTestWindow";
const WCHAR DIALOG_CLASS[] = L"#32770";

ScriptedUser* g_user;
HHOOK g_hook;

// The file dialog the program has open: its record as given, and whether the user is busy
// in it (a message box then belongs to the dialog, e.g. the overwrite question).
struct OpenFileDialog
{
    bool open;
    bool answered; // it is activated again after each box of its own
    ShownFileDialog shown;
};
OpenFileDialog g_fileDialog;

typedef BOOL(WINAPI* FileDialogCall)(LPOPENFILENAMEW);
FileDialogCall g_realSave;
FileDialogCall g_realOpen;

bool IsDialogWindow(HWND window)
{
    return HasWindowClass(window, DIALOG_CLASS);
}

void Press(HWND window, int button)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 (LPARAM)GetDlgItem(window, button));
}

void AnswerMessageBox(HWND box)
{
    bool question = GetDlgItem(box, IDYES) != NULL;
    if (g_fileDialog.open)
    {
        // The dialog's own question (replace the existing file?): the chosen file stands.
        Press(box, question ? IDYES : IDOK);
        return;
    }
    ShownBox shown{GetWindow(box, GW_OWNER), WindowText(GetDlgItem(box, MESSAGE_BOX_TEXT_ID)),
                   WindowText(box), (UINT)(question ? MB_YESNO : MB_OK)};
    int button = g_user->Respond(shown);
    if (button == 0)
        button = question ? IDNO : IDOK;
    Press(box, button);
}

void AnswerFileDialog(HWND dialog)
{
    if (g_fileDialog.answered)
        return;
    g_fileDialog.answered = true;
    WString path;
    if (!g_user->RespondToFileDialog(g_fileDialog.shown, &path))
    {
        Press(dialog, IDCANCEL);
        return;
    }
    int nameId = GetDlgItem(dialog, FILE_NAME_COMBO_ID) ? FILE_NAME_COMBO_ID : FILE_NAME_EDIT_ID;
    SetDlgItemTextW(dialog, nameId, path.c_str());
    Press(dialog, IDOK);
}

LRESULT CALLBACK WatchActivations(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_user)
    {
        HWND window = (HWND)wParam;
        if (IsDialogWindow(window))
        {
            if (GetDlgItem(window, MESSAGE_BOX_TEXT_ID))
                AnswerMessageBox(window);
            else if (g_fileDialog.open)
                AnswerFileDialog(window);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

BOOL RunFileDialog(bool save, LPOPENFILENAMEW record)
{
    g_fileDialog.open = true;
    g_fileDialog.answered = false;
    g_fileDialog.shown = ScriptedUser::DescribeFileDialog(save, *record);
    BOOL chosen = (save ? g_realSave : g_realOpen)(record);
    g_fileDialog.open = false;
    return chosen;
}

template <bool save> BOOL WINAPI RecordFileDialog(LPOPENFILENAMEW record)
{
    return RunFileDialog(save, record);
}

// Points this program's import of `real` at `replacement`.
void RerouteImport(FARPROC real, FARPROC replacement)
{
    BYTE* base = (BYTE*)GetModuleHandleW(NULL);
    IMAGE_DOS_HEADER* dos = (IMAGE_DOS_HEADER*)base;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    IMAGE_IMPORT_DESCRIPTOR* descriptor = (IMAGE_IMPORT_DESCRIPTOR*)(base + imports.VirtualAddress);
    for (; descriptor->Name; ++descriptor)
    {
        IMAGE_THUNK_DATA* thunk = (IMAGE_THUNK_DATA*)(base + descriptor->FirstThunk);
        for (; thunk->u1.Function; ++thunk)
        {
            if ((FARPROC)thunk->u1.Function != real)
                continue;
            DWORD protection;
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), PAGE_READWRITE,
                           &protection);
            thunk->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&thunk->u1.Function, sizeof(thunk->u1.Function), protection,
                           &protection);
        }
    }
}

void RerouteFileDialogs()
{
    if (g_realSave)
        return;
    HMODULE comdlg = LoadLibraryW(L"comdlg32.dll");
    g_realSave = (FileDialogCall)(void*)GetProcAddress(comdlg, "GetSaveFileNameW");
    g_realOpen = (FileDialogCall)(void*)GetProcAddress(comdlg, "GetOpenFileNameW");
    RerouteImport((FARPROC)(void*)g_realSave, (FARPROC)(void*)RecordFileDialog<true>);
    RerouteImport((FARPROC)(void*)g_realOpen, (FARPROC)(void*)RecordFileDialog<false>);
}

void RegisterTestWindowClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW windowClass;
    memset(&windowClass, 0, sizeof(windowClass));
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = TEST_WINDOW_CLASS;
    registered = RegisterClassW(&windowClass) != 0;
}

} // namespace

// Windows gives no count of a process's registry handles.
int OpenKeyHandles()
{
    return -1;
}

TestWindows::TestWindows()
{
    RegisterTestWindowClass();
    HINSTANCE instance = GetModuleHandleW(NULL);
    mainWindow_ = CreateWindowExW(0, TEST_WINDOW_CLASS, L"dunvatel test", WS_OVERLAPPEDWINDOW, 0, 0,
                                  240, 320, NULL, NULL, instance, NULL);
    dialog_ = CreateWindowExW(0, TEST_WINDOW_CLASS, L"", WS_CHILD, 0, 0, 240, 290, mainWindow_,
                              NULL, instance, NULL);
    CreateWindowExW(0, L"COMBOBOX", L"",
                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 10, 50, 90,
                    100, dialog_, (HMENU)(INT_PTR)IDC_STYLE_LIST, instance, NULL);
    g_mainWindow = mainWindow_;
    g_mainDialog = dialog_;
}

TestWindows::~TestWindows()
{
    DestroyWindow(mainWindow_);
    g_mainWindow = NULL;
    g_mainDialog = NULL;
}

void ScriptedUser::Install()
{
    RerouteFileDialogs();
    g_user = this;
    g_hook = SetWindowsHookExW(WH_CBT, WatchActivations, NULL, GetCurrentThreadId());
}

void ScriptedUser::Uninstall()
{
    UnhookWindowsHookEx(g_hook);
    g_hook = NULL;
    g_user = NULL;
}
