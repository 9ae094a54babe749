#include "device/emulator/device_program.h"

#include "device/emulator/window_manager.h"
#include "platform/host/host_test_hooks.h"

DeviceProgram::DeviceProgram(Handheld& handheld, const ProgramFiles& files, uint32_t heapBytes)
    : handheld_(handheld), process_(new EmulatedProcess(handheld, files, heapBytes))
{
}

DeviceProgram::~DeviceProgram()
{
    if (thread_.joinable())
    {
        handheld_.Leave(*process_);
        thread_.join();
    }
    // The windows of a program that did not end are gone with it.
    for (Window* window : handheld_.Windows())
    {
        if (window->process == process_.get())
        {
            if (window->kind == DIALOG_WINDOW)
                HostRemoveControls((HWND)(uintptr_t)window->handle);
            handheld_.RemoveWindow(window->handle);
        }
    }
    handheld_.Forget(*process_);
}

std::string DeviceProgram::refusal() const
{
    return process_->refusal();
}

bool DeviceProgram::Start(const std::function<void(EmulatedProcess&)>& alter)
{
    if (!process_->Load())
        return false;
    if (alter)
        alter(*process_);
    started_ = true;
    thread_ = std::thread(
        [this]
        {
            if (handheld_.AwaitTurn(*process_))
                exitCode_ = process_->Run();
            ended_ = true;
            handheld_.EndProcess(*process_);
        });
    RunTurn();
    for (Window* window : handheld_.Windows())
    {
        if (window->process == process_.get() && window->kind == APPLICATION_WINDOW &&
            !window->parent && !mainWindow_)
            mainWindow_ = window->handle;
    }
    for (Window* window : handheld_.Windows())
    {
        if (mainWindow_ && window->kind == DIALOG_WINDOW && window->parent == mainWindow_)
            dialog_ = window->handle;
    }
    return process_->refusal().empty();
}

void DeviceProgram::RunTurn()
{
    handheld_.RunProcess(*process_, DEVICE_TURN_SECONDS);
}

void DeviceProgram::Post(uint32_t window, uint32_t message, uint32_t wParam, uint32_t lParam)
{
    PostWindowMessage(handheld_, window, message, wParam, lParam);
}

void DeviceProgram::Press(int id)
{
    uint32_t button = FindControl(handheld_, dialog_, id);
    Post(button, WM_LBUTTONDOWN_MESSAGE, 1, 0);
    Post(button, WM_LBUTTONUP_MESSAGE, 0, 0);
    RunTurn();
}

bool DeviceProgram::WaitForBox(DeviceBox* box) const
{
    if (!running())
        return false;
    *box = handheld_.shown();
    return box->kind != DeviceBox::NONE;
}

void DeviceProgram::Answer(const DeviceBox& box, int button)
{
    if (box.kind == DeviceBox::DIALOG)
    {
        uint32_t control = FindControl(handheld_, box.window, button);
        if (control)
        {
            Post(control, WM_LBUTTONDOWN_MESSAGE, 1, 0);
            Post(control, WM_LBUTTONUP_MESSAGE, 0, 0);
        }
        else
            Post(box.window, WM_COMMAND_MESSAGE, (uint32_t)button, 0);
    }
    handheld_.SetAnswer(button);
    RunTurn();
}

void DeviceProgram::ChooseFile(const std::u16string& path)
{
    handheld_.SetChosenFile(true, path);
    RunTurn();
}

void DeviceProgram::CancelFileDialog()
{
    handheld_.SetChosenFile(false, std::u16string());
    RunTurn();
}

std::vector<std::u16string> DeviceProgram::ListEntries(int listId) const
{
    HWND dialog = (HWND)(uintptr_t)dialog_;
    std::vector<std::u16string> entries;
    LRESULT count = SendDlgItemMessageW(dialog, listId, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        LRESULT length = SendDlgItemMessageW(dialog, listId, CB_GETLBTEXTLEN, i, 0);
        std::u16string text((size_t)length + 1, u'\0');
        SendDlgItemMessageW(dialog, listId, CB_GETLBTEXT, i, (LPARAM)&text[0]);
        entries.push_back(text.substr(0, (size_t)length));
    }
    return entries;
}

std::u16string DeviceProgram::SelectedText(int listId) const
{
    LRESULT selected = SendDlgItemMessageW((HWND)(uintptr_t)dialog_, listId, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return std::u16string();
    return ListEntries(listId).at((size_t)selected);
}

void DeviceProgram::Select(int listId, int position) const
{
    SendDlgItemMessageW((HWND)(uintptr_t)dialog_, listId, CB_SETCURSEL, (WPARAM)position, 0);
}

void DeviceProgram::PressControlKey(uint16_t key)
{
    Post(mainWindow_, WM_KEYDOWN_MESSAGE, VK_CONTROL_KEY, 1);
    Post(mainWindow_, WM_KEYDOWN_MESSAGE, key, 1);
    Post(mainWindow_, WM_KEYUP_MESSAGE, key, 0xC0000001);
    Post(mainWindow_, WM_KEYUP_MESSAGE, VK_CONTROL_KEY, 0xC0000001);
    RunTurn();
}

void DeviceProgram::ChangeSetting()
{
    Post(mainWindow_, WM_SETTINGCHANGE_MESSAGE, 0, 0);
    RunTurn();
}

uint32_t DeviceProgram::menuBar() const
{
    for (Window* window : handheld_.Windows())
    {
        if (window->kind == MENU_BAR_WINDOW && window->owner == mainWindow_)
            return window->handle;
    }
    return 0;
}

std::vector<std::u16string> DeviceProgram::MenuBarButtons() const
{
    std::vector<std::u16string> texts;
    Window* bar = handheld_.FindWindow(menuBar());
    if (bar)
    {
        for (const MenuBarButton& button : bar->menuBar)
            texts.push_back(button.text);
    }
    return texts;
}

bool DeviceProgram::ChooseFirstItem(int button)
{
    Post(menuBar(), WM_LBUTTONUP_MESSAGE, (uint32_t)button, 0);
    RunTurn();
    DeviceBox box;
    if (!WaitForBox(&box) || box.kind != DeviceBox::POPUP_MENU || box.items.empty())
        return false;
    handheld_.SetAnswer(0);
    RunTurn();
    return true;
}

bool DeviceProgram::PressTopBarOk()
{
    // The top bar shows the foremost screen: an open modal dialog, else the main window with
    // the dialog on it.
    uint32_t target = 0;
    for (Window* window : handheld_.Windows())
    {
        if (window->process == process_.get() && window->doneButton && window->visible &&
            (window->modal || !target))
            target = window->handle;
    }
    if (!target)
        return false;
    Post(target, WM_COMMAND_MESSAGE, ID_OK | BN_CLICKED_CODE << 16, 0);
    RunTurn();
    return true;
}

WindowRect DeviceProgram::Rect(uint32_t window) const
{
    Window* found = handheld_.FindWindow(window);
    return found ? found->rect : WindowRect{0, 0, 0, 0};
}

int DeviceProgram::WaitForExit() const
{
    return ended_ ? exitCode_ : -1;
}

bool DeviceProgram::running() const
{
    return started_ && !ended_;
}

std::string DeviceProgram::waitingFor() const
{
    if (!started_)
        return "never started: " + refusal();
    if (ended_)
        return refusal().empty() ? "ended" : "stopped: " + refusal();
    static const char* const kinds[] = {"input", "the answer to a message box",
                                        "a file dialog's choice", "its dialog to be closed",
                                        "a choice in a pop-up menu"};
    return std::string("waiting for ") + kinds[handheld_.shown().kind];
}

int RunSecondInstance(Handheld& handheld, const ProgramFiles& files)
{
    DeviceProgram second(handheld, files);
    second.Start();
    return second.WaitForExit();
}
