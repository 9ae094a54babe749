// Windows, dialogs, messages, resources, painting, cursors and message boxes: the program's
// frame on the window manager (window_manager.cpp), message boxes and the cursor through the
// host stand-in.
#include "device/emulator/api.h"

#include "device/emulator/window_manager.h"
#include "platform/platform.h"

namespace
{

// "CreateWindowEx (Windows CE 5.0)": CW_USEDEFAULT; "ShowWindow": SW_HIDE.
const uint32_t CW_USE_DEFAULT = 0x80000000;
const uint32_t SW_HIDE_COMMAND = 0;
// "WNDCLASS (Windows CE 5.0)": the window procedure and the class name at the device's offsets.
const uint32_t WNDCLASS_PROCEDURE = 4;
const uint32_t WNDCLASS_NAME = 36;
// Accelerator flags ("ACCEL", desktop reference): a virtual key, and Ctrl held.
const uint16_t FVIRTKEY_FLAG = 0x01;
const uint16_t FCONTROL_FLAG = 0x08;
// Handles of things the program only passes on.
const uint32_t DEVICE_CONTEXT = 0x00D00010;
const uint32_t STOCK_OBJECTS = 0x00D10000;
const uint32_t ICONS = 0x00D20000;

Handheld& HandheldOf(EmulatedProcess& process)
{
    return process.handheld();
}

uint32_t CallRegisterClassW(EmulatedProcess& process)
{
    uint32_t record = process.Argument(0);
    uint32_t procedure = process.ReadWord(record + WNDCLASS_PROCEDURE);
    std::u16string name = FoldCase(process.ReadWideText(process.ReadWord(record + WNDCLASS_NAME)));
    auto key = std::make_pair(&process, name);
    if (HandheldOf(process).classes.count(key))
        return 0;
    HandheldOf(process).classes[key] = procedure;
    return 0xC000 + (uint32_t)HandheldOf(process).classes.size();
}

uint32_t CallCreateWindowExW(EmulatedProcess& process)
{
    Handheld& handheld = HandheldOf(process);
    std::u16string className = process.ReadWideText(process.Argument(1));
    auto found = handheld.classes.find(std::make_pair(&process, FoldCase(className)));
    if (found == handheld.classes.end())
        return 0;
    Window window;
    window.process = &process;
    window.className = className;
    window.text = GuestText(process, process.Argument(2)).text;
    window.style = process.Argument(3);
    window.exStyle = process.Argument(0);
    window.procedure = found->second;
    window.parent = process.Argument(8);
    // A top-level window at the default place takes the screen below the shell's top bar, as
    // the desktop stand-ins lay it out (platform/win32/shell_stand_ins.h).
    int32_t x = (int32_t)process.Argument(4), y = (int32_t)process.Argument(5);
    int32_t width = (int32_t)process.Argument(6), height = (int32_t)process.Argument(7);
    if ((uint32_t)x == CW_USE_DEFAULT)
        window.rect = {0, TOP_BAR_HEIGHT, SCREEN_WIDTH, SCREEN_HEIGHT};
    else
        window.rect = {x, y, x + width, y + height};
    window.visible = window.style & 0x10000000;
    uint32_t handle = handheld.AddWindow(window);
    // "CREATESTRUCT": lpCreateParams, hInstance, hMenu, hwndParent, cy, cx, y, x, style,
    // lpszName, lpszClass, dwExStyle.
    uint32_t fields[12] = {process.Argument(11),
                           process.Argument(10),
                           process.Argument(9),
                           process.Argument(8),
                           (uint32_t)(window.rect.bottom - window.rect.top),
                           (uint32_t)(window.rect.right - window.rect.left),
                           (uint32_t)window.rect.top,
                           (uint32_t)window.rect.left,
                           window.style,
                           process.Argument(2),
                           process.Argument(1),
                           window.exStyle};
    std::vector<uint8_t> record((const uint8_t*)fields, (const uint8_t*)fields + sizeof(fields));
    uint32_t created = process.CallGuest(found->second, handle, WM_CREATE_MESSAGE, 0, 0, &record);
    if ((int32_t)created == -1)
    {
        DestroyGuestWindow(process, handle);
        return 0;
    }
    if (window.visible && !window.parent)
        handheld.foreground = handle;
    return handle;
}

uint32_t CallDefWindowProcW(EmulatedProcess& process)
{
    return DefaultWindowMessage(process, process.Argument(0), process.Argument(1));
}

uint32_t CallDestroyWindow(EmulatedProcess& process)
{
    uint32_t window = process.Argument(0);
    DestroyWindow((HWND)(uintptr_t)window); // the stand-in's record of the call
    return DestroyGuestWindow(process, window) ? 1 : 0;
}

uint32_t CallFindWindowW(EmulatedProcess& process)
{
    GuestText className(process, process.Argument(0));
    GuestText title(process, process.Argument(1));
    for (Window* window : HandheldOf(process).Windows())
    {
        if (window->kind == APPLICATION_WINDOW && !window->parent &&
            (!className.present || FoldCase(window->className) == FoldCase(className.text)) &&
            (!title.present || window->text == title.text))
            return window->handle;
    }
    return 0;
}

uint32_t CallSetForegroundWindow(EmulatedProcess& process)
{
    // The handheld takes a handle with its lowest bit set to bring the window's owned pop-ups
    // forward with it (platform/wince/wince_platform.h).
    uint32_t handle = process.Argument(0) & ~1u;
    Handheld& handheld = HandheldOf(process);
    if (!handheld.FindWindow(handle))
        return 0;
    handheld.foreground = handle;
    return 1;
}

uint32_t CallShowWindow(EmulatedProcess& process)
{
    Window* window = HandheldOf(process).FindWindow(process.Argument(0));
    if (!window)
        return 0;
    bool wasVisible = window->visible;
    window->visible = process.Argument(1) != SW_HIDE_COMMAND;
    if (window->visible && !window->parent)
        HandheldOf(process).foreground = window->handle;
    return wasVisible ? 1 : 0;
}

uint32_t CallUpdateWindow(EmulatedProcess& process)
{
    uint32_t handle = process.Argument(0);
    Window* window = HandheldOf(process).FindWindow(handle);
    if (!window)
        return 0;
    if (window->visible)
        SendWindowMessage(process, handle, WM_PAINT_MESSAGE, 0, 0);
    return 1;
}

uint32_t CallMoveWindow(EmulatedProcess& process)
{
    Window* window = HandheldOf(process).FindWindow(process.Argument(0));
    if (!window)
        return 0;
    int32_t x = (int32_t)process.Argument(1), y = (int32_t)process.Argument(2);
    window->rect = {x, y, x + (int32_t)process.Argument(3), y + (int32_t)process.Argument(4)};
    return 1;
}

uint32_t CallGetWindowRect(EmulatedProcess& process)
{
    Window* window = HandheldOf(process).FindWindow(process.Argument(0));
    if (!window)
        return 0;
    WindowRect rect = window->rect;
    uint32_t at = process.Argument(1);
    process.WriteWord(at, (uint32_t)rect.left);
    process.WriteWord(at + 4, (uint32_t)rect.top);
    process.WriteWord(at + 8, (uint32_t)rect.right);
    process.WriteWord(at + 12, (uint32_t)rect.bottom);
    return 1;
}

uint32_t CallSendMessageW(EmulatedProcess& process)
{
    return SendWindowMessage(process, process.Argument(0), process.Argument(1), process.Argument(2),
                             process.Argument(3));
}

uint32_t CallPostQuitMessage(EmulatedProcess& process)
{
    process.quitPosted = true;
    process.quitCode = process.Argument(0);
    return 0;
}

// "MSG (Windows CE 5.0)": hwnd, message, wParam, lParam, time, pt.
void WriteMessage(EmulatedProcess& process, uint32_t at, const GuestMessage& message)
{
    uint32_t fields[7] = {message.window, message.message, message.wParam, message.lParam, 0, 0, 0};
    process.WriteMemory(at, fields, sizeof(fields));
}

GuestMessage ReadMessage(EmulatedProcess& process, uint32_t at)
{
    return GuestMessage{process.ReadWord(at), process.ReadWord(at + 4), process.ReadWord(at + 8),
                        process.ReadWord(at + 12)};
}

uint32_t CallGetMessageW(EmulatedProcess& process)
{
    GuestMessage message;
    if (!NextMessage(process, DeviceBox(), &message))
        return 0;
    WriteMessage(process, process.Argument(0), message);
    return message.message == WM_QUIT_MESSAGE ? 0 : 1;
}

uint32_t CallTranslateMessage(EmulatedProcess& process)
{
    return ReadMessage(process, process.Argument(0)).message == WM_KEYDOWN_MESSAGE ? 1 : 0;
}

uint32_t CallDispatchMessageW(EmulatedProcess& process)
{
    return DispatchGuestMessage(process, ReadMessage(process, process.Argument(0)));
}

uint32_t CallIsDialogMessageW(EmulatedProcess& process)
{
    return HandleDialogMessage(process, process.Argument(0),
                               ReadMessage(process, process.Argument(1)))
               ? 1
               : 0;
}

uint32_t CallTranslateAcceleratorW(EmulatedProcess& process)
{
    GuestMessage message = ReadMessage(process, process.Argument(2));
    uint32_t table = process.Argument(1);
    if (message.message != WM_KEYDOWN_MESSAGE || !table)
        return 0;
    for (const AcceleratorEntry& entry : ReadAccelerators(process, table))
    {
        bool control = entry.flags & FCONTROL_FLAG;
        if ((entry.flags & FVIRTKEY_FLAG) && entry.key == message.wParam &&
            control == process.controlDown)
        {
            // "WM_COMMAND": an accelerator's command comes with 1 in the high word.
            SendWindowMessage(process, process.Argument(0), WM_COMMAND_MESSAGE,
                              entry.command | 1u << 16, 0);
            return 1;
        }
    }
    return 0;
}

uint32_t CallCreateDialogIndirectParamW(EmulatedProcess& process)
{
    return CreateGuestDialog(process, process.Argument(1), process.Argument(2), process.Argument(3),
                             process.Argument(4), false);
}

uint32_t CallDialogBoxIndirectParamW(EmulatedProcess& process)
{
    uint32_t dialog = CreateGuestDialog(process, process.Argument(1), process.Argument(2),
                                        process.Argument(3), process.Argument(4), true);
    return (uint32_t)RunModalDialog(process, dialog);
}

uint32_t CallEndDialog(EmulatedProcess& process)
{
    Window* window = HandheldOf(process).FindWindow(process.Argument(0));
    if (!window)
        return 0;
    window->ended = true;
    window->result = (int32_t)process.Argument(1);
    return 1;
}

// The drop-down list is the host stand-in's: the messages whose lParam is a text or a buffer
// take them through host copies.
uint32_t SendListMessage(EmulatedProcess& process, HWND dialog, int id, uint32_t message,
                         uint32_t wParam, uint32_t lParam)
{
    switch (message)
    {
    case CB_ADDSTRING:
    case CB_SELECTSTRING:
    {
        GuestText text(process, lParam);
        return (uint32_t)SendDlgItemMessageW(dialog, id, message, wParam, (LPARAM)text.pointer());
    }
    case CB_GETLBTEXT:
    {
        LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, wParam, 0);
        if (length == CB_ERR)
            return (uint32_t)CB_ERR;
        std::u16string text((size_t)length + 1, u'\0');
        LRESULT copied = SendDlgItemMessageW(dialog, id, message, wParam, (LPARAM)&text[0]);
        if (copied != CB_ERR)
            process.WriteWideText(lParam, text.substr(0, (size_t)copied));
        return (uint32_t)copied;
    }
    default:
        return (uint32_t)SendDlgItemMessageW(dialog, id, message, wParam, (LPARAM)lParam);
    }
}

uint32_t CallSendDlgItemMessageW(EmulatedProcess& process)
{
    uint32_t dialog = process.Argument(0);
    int32_t id = (int32_t)process.Argument(1);
    uint32_t control = FindControl(HandheldOf(process), dialog, id);
    Window* window = HandheldOf(process).FindWindow(control);
    if (window && window->kind == COMBO_BOX_CONTROL)
        return SendListMessage(process, (HWND)(uintptr_t)dialog, id, process.Argument(2),
                               process.Argument(3), process.Argument(4));
    return SendWindowMessage(process, control, process.Argument(2), process.Argument(3),
                             process.Argument(4));
}

uint32_t CallBeginPaint(EmulatedProcess& process)
{
    // "PAINTSTRUCT": hdc, fErase, rcPaint, fRestore, fIncUpdate, rgbReserved[32]: 64 bytes.
    uint8_t record[64] = {0};
    memcpy(record, &DEVICE_CONTEXT, 4);
    process.WriteMemory(process.Argument(1), record, sizeof(record));
    return HandheldOf(process).FindWindow(process.Argument(0)) ? DEVICE_CONTEXT : 0;
}

uint32_t CallEndPaint(EmulatedProcess&)
{
    return 1;
}

uint32_t CallGetStockObject(EmulatedProcess& process)
{
    return STOCK_OBJECTS + process.Argument(0);
}

uint32_t CallLoadIconW(EmulatedProcess& process)
{
    uint32_t name = process.Argument(1);
    if (process.Argument(0) != process.instance() ||
        !FindResourceEntry(process, RESOURCE_GROUP_ICON, name))
        return 0;
    return ICONS + (name & 0xFFFF);
}

uint32_t CallLoadCursorW(EmulatedProcess& process)
{
    // The platform's own cursors only: the stand-in's handles, which fit 32 bits.
    uint32_t instance = process.Argument(0);
    return (uint32_t)(uintptr_t)LoadCursorW((HINSTANCE)(uintptr_t)instance,
                                            (LPCWSTR)(uintptr_t)process.Argument(1));
}

uint32_t CallSetCursor(EmulatedProcess& process)
{
    return (uint32_t)(uintptr_t)SetCursor((HCURSOR)(uintptr_t)process.Argument(0));
}

uint32_t CallLoadStringW(EmulatedProcess& process)
{
    std::u16string text;
    int32_t capacity = (int32_t)process.Argument(3);
    if (capacity <= 0 || !LoadResourceString(process, process.Argument(1), &text))
        return 0;
    if (text.size() > (size_t)capacity - 1)
        text.resize((size_t)capacity - 1);
    process.WriteWideText(process.Argument(2), text);
    return (uint32_t)text.size();
}

uint32_t CallFindResourceW(EmulatedProcess& process)
{
    return FindResourceEntry(process, process.Argument(2), process.Argument(1));
}

uint32_t CallLoadResource(EmulatedProcess& process)
{
    uint32_t entry = process.Argument(1);
    return entry ? ResourceData(process, entry) : 0;
}

uint32_t CallLoadAcceleratorsW(EmulatedProcess& process)
{
    uint32_t entry = FindResourceEntry(process, RESOURCE_ACCELERATOR, process.Argument(1));
    return entry ? ResourceData(process, entry) : 0;
}

uint32_t CallMessageBoxW(EmulatedProcess& process)
{
    GuestText text(process, process.Argument(1));
    GuestText caption(process, process.Argument(2));
    return (uint32_t)MessageBoxW((HWND)(uintptr_t)process.Argument(0), text.pointer(),
                                 caption.pointer(), process.Argument(3));
}

} // namespace

void AddWindowCalls(ApiTable* table)
{
    (*table)["RegisterClassW"] = CallRegisterClassW;
    (*table)["CreateWindowExW"] = CallCreateWindowExW;
    (*table)["DefWindowProcW"] = CallDefWindowProcW;
    (*table)["DestroyWindow"] = CallDestroyWindow;
    (*table)["FindWindowW"] = CallFindWindowW;
    (*table)["SetForegroundWindow"] = CallSetForegroundWindow;
    (*table)["ShowWindow"] = CallShowWindow;
    (*table)["UpdateWindow"] = CallUpdateWindow;
    (*table)["MoveWindow"] = CallMoveWindow;
    (*table)["GetWindowRect"] = CallGetWindowRect;
    (*table)["SendMessageW"] = CallSendMessageW;
    (*table)["PostQuitMessage"] = CallPostQuitMessage;
    (*table)["GetMessageW"] = CallGetMessageW;
    (*table)["TranslateMessage"] = CallTranslateMessage;
    (*table)["DispatchMessageW"] = CallDispatchMessageW;
    (*table)["IsDialogMessageW"] = CallIsDialogMessageW;
    (*table)["TranslateAcceleratorW"] = CallTranslateAcceleratorW;
    (*table)["CreateDialogIndirectParamW"] = CallCreateDialogIndirectParamW;
    (*table)["DialogBoxIndirectParamW"] = CallDialogBoxIndirectParamW;
    (*table)["EndDialog"] = CallEndDialog;
    (*table)["SendDlgItemMessageW"] = CallSendDlgItemMessageW;
    (*table)["BeginPaint"] = CallBeginPaint;
    (*table)["EndPaint"] = CallEndPaint;
    (*table)["GetStockObject"] = CallGetStockObject;
    (*table)["LoadIconW"] = CallLoadIconW;
    (*table)["LoadCursorW"] = CallLoadCursorW;
    (*table)["SetCursor"] = CallSetCursor;
    (*table)["LoadStringW"] = CallLoadStringW;
    (*table)["FindResourceW"] = CallFindResourceW;
    (*table)["LoadResource"] = CallLoadResource;
    (*table)["LoadAcceleratorsW"] = CallLoadAcceleratorsW;
    (*table)["MessageBoxW"] = CallMessageBoxW;
}
