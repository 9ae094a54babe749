// The emulated Pocket PC around the programs it runs: its screen and the windows on it (one
// table for every process, so that a second instance finds the first one's window), the shell's
// bars, and the hand-off between the device and the user. Only one side runs at a time: a
// process runs until it waits for the user (its message queue empty, a message box, a file
// dialog, a pop-up menu), and the user acts only while every process waits.
#ifndef DUNVATEL_DEVICE_EMULATOR_HANDHELD_H
#define DUNVATEL_DEVICE_EMULATOR_HANDHELD_H

#include "device/emulator/emulated_process.h"
#include "device/emulator/resources.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// The screen of a Pocket PC 2000/2002: 240 by 320 pixels, the shell's top bar across its top
// and a program's menu bar across its foot, each 26 pixels high (the program's MENU_BAR_HEIGHT).
const int32_t SCREEN_WIDTH = 240;
const int32_t SCREEN_HEIGHT = 320;
const int32_t TOP_BAR_HEIGHT = 26;
const int32_t MENU_BAR_HEIGHT_PIXELS = 26;

struct WindowRect
{
    int32_t left, top, right, bottom;
};

enum WindowKind
{
    APPLICATION_WINDOW, // of a class the program registered
    DIALOG_WINDOW,      // made from a dialog template, run by the dialog manager
    BUTTON_CONTROL,
    STATIC_CONTROL,
    COMBO_BOX_CONTROL, // the host stand-in's drop-down list
    MENU_BAR_WINDOW    // the shell's menu bar
};

struct MenuBarButton
{
    std::u16string text;
    uint16_t command;
    std::vector<MenuItem> popup;
};

struct Window
{
    uint32_t handle = 0;
    EmulatedProcess* process = nullptr;
    WindowKind kind = APPLICATION_WINDOW;
    std::u16string className;
    std::u16string text;
    uint32_t procedure = 0; // the guest's window or dialog procedure
    uint32_t parent = 0;
    uint32_t owner = 0;
    int32_t id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    WindowRect rect = {0, 0, 0, 0};
    bool visible = false;
    bool doneButton = false; // the shell's OK button in the top bar, for SHInitDialog's flag
    bool modal = false;
    bool ended = false; // a modal dialog's EndDialog
    bool destroying = false;
    int32_t result = 0;
    std::vector<MenuBarButton> menuBar;
};

// What a process shows while it waits for the user.
struct DeviceBox
{
    enum Kind
    {
        NONE, // the program's own windows, waiting for input
        MESSAGE_BOX,
        FILE_DIALOG,
        DIALOG, // a modal dialog of the program
        POPUP_MENU
    };
    Kind kind = NONE;
    uint32_t window = 0; // the dialog; a message box's owner
    std::u16string text;
    std::u16string caption;
    uint32_t type = 0;   // a message box's buttons (MB_OK, MB_YESNO)
    bool save = false;   // a file dialog: GetSaveFileNameW
    std::u16string file; // a file dialog: the file buffer's content
    std::vector<MenuItem> items;
};

class Handheld
{
  public:
    Handheld();
    ~Handheld();
    Handheld(const Handheld&) = delete;
    Handheld& operator=(const Handheld&) = delete;

    // --- Windows, for the API layer ---------------------------------------------------------
    uint32_t AddWindow(Window window);
    // A window that exists (not destroyed), or NULL.
    Window* FindWindow(uint32_t handle);
    void RemoveWindow(uint32_t handle);
    // The live windows in creation order.
    std::vector<Window*> Windows();
    uint32_t foreground = 0;
    // Classes the processes registered: the class's window procedure by (process, name).
    std::map<std::pair<EmulatedProcess*, std::u16string>, uint32_t> classes;

    // --- The hand-off, for the API layer (device side) ---------------------------------------
    // The process waits for the user, showing `box`; true when it may go on, false when the
    // user has gone and the process is to end. The user's answer: answer() for a message box
    // or pop-up menu, chosenFile() for a file dialog.
    bool WaitForUser(EmulatedProcess& process, const DeviceBox& box);
    int answer() const
    {
        return answer_;
    }
    bool fileChosen() const
    {
        return fileChosen_;
    }
    const std::u16string& chosenFile() const
    {
        return chosenFile_;
    }
    // Who answers boxes and file dialogs without a hand-off, when set (runs compared with the
    // host's, which need no user at the screen).
    std::function<int(const DeviceBox&)> answerBoxes;
    std::function<bool(const DeviceBox&, std::u16string*)> answerFileDialogs;

    // The process's thread, before it runs at all: waits for its first turn; false when the
    // user has gone before it came.
    bool AwaitTurn(EmulatedProcess& process);

    // --- The hand-off (user side) ------------------------------------------------------------
    // Lets the process run until it waits for the user or ends; false when it did neither in
    // `seconds` (it is then stopped).
    bool RunProcess(EmulatedProcess& process, int seconds);
    // The process's thread: marks it ended and hands the turn back.
    void EndProcess(EmulatedProcess& process);
    // What the waiting process shows.
    const DeviceBox& shown() const
    {
        return shown_;
    }
    // The user's answer to what is shown, before the next RunProcess.
    void SetAnswer(int answer)
    {
        answer_ = answer;
    }
    void SetChosenFile(bool chosen, const std::u16string& path)
    {
        fileChosen_ = chosen;
        chosenFile_ = path;
    }
    // Makes the process's next wait end at once, false: the user has gone.
    void Leave(EmulatedProcess& process);
    // Forgets a process whose thread has ended, before it is deleted.
    void Forget(EmulatedProcess& process);

  private:
    std::map<uint32_t, Window> windows_;
    uint32_t nextWindow_ = 0x00A00010;

    std::mutex mutex_;
    std::condition_variable changed_;
    EmulatedProcess* turn_ = nullptr;    // the process that runs; NULL: the user
    std::vector<EmulatedProcess*> left_; // processes whose user has gone
    std::vector<EmulatedProcess*> ended_;
    DeviceBox shown_;
    int answer_ = 0;
    bool fileChosen_ = false;
    std::u16string chosenFile_;
};

#endif
