// Drives dunvatel.exe from another process as a user would: starts it, finds its window and
// dialog, presses buttons, and reads and answers the boxes and file dialogs it shows.
#ifndef DUNVATEL_TESTS_E2E_PROGRAM_DRIVER_H
#define DUNVATEL_TESTS_E2E_PROGRAM_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

// The program to drive; set from the command line before the tests run.
extern std::wstring g_programPath;

struct ProgramBox
{
    HWND window;
    std::wstring text; // a message box's text; empty for other dialogs
    std::wstring caption;
    bool question; // it has Yes and No buttons
    bool fileDialog;
};

class RunningProgram
{
  public:
    RunningProgram();
    // Ends the program if a test left it running.
    ~RunningProgram();
    bool Start();
    HWND mainWindow() const
    {
        return mainWindow_;
    }
    HWND dialog() const
    {
        return dialog_;
    }
    DWORD threadId() const
    {
        return info_.dwThreadId;
    }
    // Presses a button of the main dialog without waiting for its command.
    void Press(int id) const;
    // Waits for the next box or dialog the program shows; false after the timeout.
    bool WaitForBox(ProgramBox* box, DWORD milliseconds = 10000) const;
    // Answers a box with the button and waits until it is gone.
    void Answer(const ProgramBox& box, int button) const;
    // Chooses `path` in the open file dialog.
    void ChooseFile(const ProgramBox& dialog, const std::wstring& path) const;
    // The style list's entries and its selected text, read from the running program.
    std::vector<std::wstring> ListEntries() const;
    std::wstring SelectedText() const;
    // Sends Ctrl and the key to the main window, as the keyboard does.
    void PressControlKey(WORD key) const;
    // A shown window of the program of the class, owned by `owner`: the shell's top bar or
    // menu bar of a window, or (owner NULL) an open pop-up menu; NULL when there is none.
    HWND ShellWindow(LPCWSTR className, HWND owner) const;
    // Taps a menu-bar button and chooses the first item of the pop-up it opens; false when no
    // pop-up opens.
    bool ChooseFirstItem(HWND menuBarButton) const;
    // Taps the OK button in the top bar of `window` and waits until the window is gone; false
    // when the top bar has no OK button.
    bool PressTopBarOk(HWND window) const;
    // Waits for the program to end; its exit code, or -1 when it does not end in time.
    int WaitForExit(DWORD milliseconds = 10000);
    bool running() const;

  private:
    PROCESS_INFORMATION info_;
    HWND mainWindow_;
    HWND dialog_;
};

// Starts another instance and waits until it ends; its exit code, or -1.
int RunSecondInstance(DWORD milliseconds = 10000);

// Top-level windows of the program's class and title.
int CountMainWindows();

#endif
