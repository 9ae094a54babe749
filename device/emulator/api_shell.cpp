// The Pocket PC shell library's calls: the menu bar built from the program's record, the
// dialog set-up, and the activation helpers, each refusing a record whose size field the
// device's shell would refuse. Pages: "SHCreateMenuBar" and "SHMENUBARINFO (Windows Embedded
// CE 6.0)", "SHInitDialog (Windows CE 5.0)", "SHHandleWMActivate", "SHHandleWMSettingChange"
// and "SHACTIVATEINFO (Windows CE 5.0)" (the sizes: platform/wince/wince_platform.h).
#include "device/emulator/api.h"

#include "device/emulator/window_manager.h"
#include "platform/platform.h"

namespace
{

const uint32_t SHMENUBARINFO_BYTES = 36;
const uint32_t SHACTIVATEINFO_BYTES = 12;
// SHMENUBARINFO's fields at the device's offsets.
const uint32_t MENU_BAR_PARENT = 4;
const uint32_t MENU_BAR_TOOLBAR_ID = 12;
const uint32_t MENU_BAR_INSTANCE = 16;
const uint32_t MENU_BAR_WINDOW_FIELD = 28;
// The menu-bar record (an RCDATA resource): the menu's id and the button count, then seven
// words a button: image, command, state, style, string id, a zero, the pop-up's index.
const uint32_t RECORD_HEAD = 4;
const uint32_t RECORD_BUTTON = 14;

bool CheckSize(EmulatedProcess& process, uint32_t record, uint32_t expected, const char* name,
               const char* call)
{
    uint32_t size = process.ReadWord(record);
    if (size == expected || process.stopped())
        return !process.stopped();
    process.Refuse(std::string(call) + " was passed a " + name + " whose cbSize is " +
                   std::to_string(size) + "; the device takes " + std::to_string(expected) +
                   ", from " + process.CallerPlace());
    return false;
}

uint32_t CallSHCreateMenuBar(EmulatedProcess& process)
{
    uint32_t info = process.Argument(0);
    if (!CheckSize(process, info, SHMENUBARINFO_BYTES, "SHMENUBARINFO", "SHCreateMenuBar"))
        return 0;
    uint32_t parent = process.ReadWord(info + MENU_BAR_PARENT);
    uint32_t id = process.ReadWord(info + MENU_BAR_TOOLBAR_ID);
    if (process.ReadWord(info + MENU_BAR_INSTANCE) != process.instance())
        return 0;
    uint32_t entry = FindResourceEntry(process, RESOURCE_DATA, id);
    if (!entry || !process.handheld().FindWindow(parent))
        return 0;
    uint32_t record = ResourceData(process, entry);
    uint16_t menu = process.ReadHalf(record);
    uint16_t count = process.ReadHalf(record + 2);
    Window bar;
    bar.process = &process;
    bar.kind = MENU_BAR_WINDOW;
    bar.owner = parent;
    bar.visible = true;
    bar.rect = {0, SCREEN_HEIGHT - MENU_BAR_HEIGHT_PIXELS, SCREEN_WIDTH, SCREEN_HEIGHT};
    for (uint16_t i = 0; i < count; ++i)
    {
        uint32_t button = record + RECORD_HEAD + RECORD_BUTTON * i;
        MenuBarButton made;
        made.command = process.ReadHalf(button + 2);
        LoadResourceString(process, process.ReadHalf(button + 8), &made.text);
        made.popup = ReadPopupMenu(process, menu, process.ReadHalf(button + 12));
        bar.menuBar.push_back(made);
    }
    uint32_t handle = process.handheld().AddWindow(bar);
    process.WriteWord(info + MENU_BAR_WINDOW_FIELD, handle);
    return 1;
}

uint32_t CallSHInitDialog(EmulatedProcess& process)
{
    // "SHINITDLGINFO": dwMask, hDlg, dwFlags.
    uint32_t info = process.Argument(0);
    uint32_t mask = process.ReadWord(info), dialog = process.ReadWord(info + 4);
    uint32_t flags = process.ReadWord(info + 8);
    SHINITDLGINFO host = {mask, (HWND)(uintptr_t)dialog, flags};
    SHInitDialog(&host); // the stand-in's record of the call
    Window* window = process.handheld().FindWindow(dialog);
    if (!window || !(mask & SHIDIM_FLAGS))
        return window ? 1 : 0;
    window->doneButton = flags & SHIDIF_DONEBUTTON;
    if (flags & SHIDIF_SIZEDLGFULLSCREEN)
        window->rect = {0, TOP_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT};
    else if (flags & SHIDIF_SIZEDLG)
        window->rect = {0, TOP_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT - MENU_BAR_HEIGHT_PIXELS};
    return 1;
}

uint32_t CallSHHandleWMActivate(EmulatedProcess& process)
{
    return CheckSize(process, process.Argument(3), SHACTIVATEINFO_BYTES, "SHACTIVATEINFO",
                     "SHHandleWMActivate")
               ? 1
               : 0;
}

uint32_t CallSHHandleWMSettingChange(EmulatedProcess& process)
{
    return CheckSize(process, process.Argument(3), SHACTIVATEINFO_BYTES, "SHACTIVATEINFO",
                     "SHHandleWMSettingChange")
               ? 1
               : 0;
}

} // namespace

void AddShellCalls(ApiTable* table)
{
    (*table)["SHCreateMenuBar"] = CallSHCreateMenuBar;
    (*table)["SHInitDialog"] = CallSHInitDialog;
    (*table)["SHHandleWMActivate"] = CallSHHandleWMActivate;
    (*table)["SHHandleWMSettingChange"] = CallSHHandleWMSettingChange;
}
