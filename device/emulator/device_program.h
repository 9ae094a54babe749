// The handheld's program started on the emulated device and driven as a user drives it: taps on
// the main dialog's buttons, keys, the menu bar and the shell's top bar, answers to the boxes
// and file dialogs it shows. The program runs on a thread of its own; every action here hands
// the device the turn and waits until the program waits for the user again or ends, so that
// what it shows can be read at once, without polling.
#ifndef DUNVATEL_DEVICE_EMULATOR_DEVICE_PROGRAM_H
#define DUNVATEL_DEVICE_EMULATOR_DEVICE_PROGRAM_H

#include "device/emulator/handheld.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The heap a Pocket PC 2000 leaves a program, about: a few MB of its RAM.
const uint32_t DEFAULT_HEAP_BYTES = 4 * 1024 * 1024;
// How long one action may keep the device busy before the run is stopped as hung.
const int DEVICE_TURN_SECONDS = 120;

class DeviceProgram
{
  public:
    DeviceProgram(Handheld& handheld, const ProgramFiles& files,
                  uint32_t heapBytes = DEFAULT_HEAP_BYTES);
    // Ends the program if a test left it running.
    ~DeviceProgram();
    // Loads the program and runs it until it first waits for the user or ends; false when the
    // loader refused it or the run stopped (refusal() says why). `alter`, when given, may change
    // the loaded program before it runs (the tests of the run's refusals do).
    bool Start(const std::function<void(EmulatedProcess&)>& alter = nullptr);
    uint32_t mainWindow() const
    {
        return mainWindow_;
    }
    uint32_t dialog() const
    {
        return dialog_;
    }
    EmulatedProcess& process()
    {
        return *process_;
    }
    // Why the run stopped, or an empty text.
    std::string refusal() const;

    // Taps a button of the main dialog.
    void Press(int id);
    // What the program shows while it waits: false when it shows only its own windows.
    bool WaitForBox(DeviceBox* box) const;
    // Answers a message box (IDOK, IDYES, IDNO) or a dialog (its button, or the command).
    void Answer(const DeviceBox& box, int button);
    void ChooseFile(const std::u16string& path);
    void CancelFileDialog();
    // The entries and the selected text of the main dialog's list `listId`.
    std::vector<std::u16string> ListEntries(int listId) const;
    std::u16string SelectedText(int listId) const;
    void Select(int listId, int position) const;
    // Ctrl and the key, pressed and let go, to the main window.
    void PressControlKey(uint16_t key);
    // The shell telling the main window that a setting changed (the input panel moved, say).
    void ChangeSetting();
    // The menu bar's window and its buttons' texts.
    uint32_t menuBar() const;
    std::vector<std::u16string> MenuBarButtons() const;
    // Taps a menu-bar button and chooses the first item of its pop-up; false when none opens.
    bool ChooseFirstItem(int button);
    // Taps the OK button the shell's top bar shows for the foremost screen; false without one.
    bool PressTopBarOk();
    // The window's place on the screen.
    WindowRect Rect(uint32_t window) const;
    // The exit code once the program has ended; -1 while it runs (it then waits for the user:
    // waitingFor() says what it shows) or when its run was refused.
    int WaitForExit() const;
    bool running() const;
    // What a program that has not ended waits for, for failure messages.
    std::string waitingFor() const;

  private:
    void RunTurn();
    void Post(uint32_t window, uint32_t message, uint32_t wParam, uint32_t lParam);
    Handheld& handheld_;
    std::unique_ptr<EmulatedProcess> process_;
    std::thread thread_;
    bool started_ = false;
    bool ended_ = false;
    int exitCode_ = -1;
    uint32_t mainWindow_ = 0;
    uint32_t dialog_ = 0;
};

// Starts another instance of the program and runs it to its end: its exit code, or -1.
int RunSecondInstance(Handheld& handheld, const ProgramFiles& files);

#endif
