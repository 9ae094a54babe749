#include "device/emulator/handheld.h"

#include "platform/host/host_test_hooks.h"

#include <algorithm>
#include <chrono>

Handheld::Handheld()
{
    // Message boxes and file dialogs are the host stand-in's, answered here: by the user at the
    // screen through the hand-off, or at once by whoever answers without one.
    HostSetMessageBoxHandler(
        [this](HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
        {
            DeviceBox box;
            box.kind = DeviceBox::MESSAGE_BOX;
            box.window = (uint32_t)(uintptr_t)owner;
            box.text = text ? text : u"";
            box.caption = caption ? caption : u"";
            box.type = type;
            if (answerBoxes)
                return answerBoxes(box);
            return turn_ && WaitForUser(*turn_, box) ? answer_ : 0;
        });
    HostSetFileDialogHandler(
        [this](bool save, const OPENFILENAMEW& record, std::u16string* path)
        {
            DeviceBox box;
            box.kind = DeviceBox::FILE_DIALOG;
            box.window = (uint32_t)(uintptr_t)record.hwndOwner;
            box.caption = record.lpstrTitle ? record.lpstrTitle : u"";
            box.save = save;
            box.file = record.lpstrFile ? record.lpstrFile : u"";
            if (answerFileDialogs)
                return answerFileDialogs(box, path);
            if (!turn_ || !WaitForUser(*turn_, box) || !fileChosen_)
                return false;
            *path = chosenFile_;
            return true;
        });
}

Handheld::~Handheld()
{
    HostSetMessageBoxHandler(nullptr);
    HostSetFileDialogHandler(nullptr);
}

uint32_t Handheld::AddWindow(Window window)
{
    window.handle = nextWindow_;
    nextWindow_ += 0x10;
    windows_[window.handle] = window;
    return window.handle;
}

Window* Handheld::FindWindow(uint32_t handle)
{
    auto found = windows_.find(handle);
    return found == windows_.end() ? nullptr : &found->second;
}

void Handheld::RemoveWindow(uint32_t handle)
{
    windows_.erase(handle);
    if (foreground == handle)
        foreground = 0;
}

std::vector<Window*> Handheld::Windows()
{
    std::vector<Window*> live;
    for (auto& entry : windows_)
        live.push_back(&entry.second);
    return live;
}

bool Handheld::WaitForUser(EmulatedProcess& process, const DeviceBox& box)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (std::find(left_.begin(), left_.end(), &process) != left_.end())
    {
        lock.unlock();
        process.Abandon();
        return false;
    }
    shown_ = box;
    turn_ = nullptr;
    changed_.notify_all();
    changed_.wait(lock,
                  [&] {
                      return turn_ == &process ||
                             std::find(left_.begin(), left_.end(), &process) != left_.end();
                  });
    if (turn_ != &process)
    {
        lock.unlock();
        process.Abandon();
        return false;
    }
    return true;
}

bool Handheld::AwaitTurn(EmulatedProcess& process)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock,
                  [&] {
                      return turn_ == &process ||
                             std::find(left_.begin(), left_.end(), &process) != left_.end();
                  });
    return turn_ == &process;
}

bool Handheld::RunProcess(EmulatedProcess& process, int seconds)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (std::find(ended_.begin(), ended_.end(), &process) != ended_.end())
        return true;
    shown_ = DeviceBox();
    turn_ = &process;
    changed_.notify_all();
    auto stopped = [&] {
        return turn_ != &process ||
               std::find(ended_.begin(), ended_.end(), &process) != ended_.end();
    };
    if (changed_.wait_for(lock, std::chrono::seconds(seconds), stopped))
        return true;
    // A program that neither waits for the user nor ends: stopped, so that the test goes on.
    process.Interrupt("still running after " + std::to_string(seconds) +
                      " s without waiting for the user");
    changed_.wait(lock, stopped);
    return false;
}

void Handheld::EndProcess(EmulatedProcess& process)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ended_.push_back(&process);
    if (turn_ == &process)
        turn_ = nullptr;
    changed_.notify_all();
}

void Handheld::Leave(EmulatedProcess& process)
{
    std::lock_guard<std::mutex> lock(mutex_);
    left_.push_back(&process);
    changed_.notify_all();
}

void Handheld::Forget(EmulatedProcess& process)
{
    std::lock_guard<std::mutex> lock(mutex_);
    left_.erase(std::remove(left_.begin(), left_.end(), &process), left_.end());
    ended_.erase(std::remove(ended_.begin(), ended_.end(), &process), ended_.end());
    for (auto it = classes.begin(); it != classes.end();)
        it = it->first.first == &process ? classes.erase(it) : std::next(it);
}
