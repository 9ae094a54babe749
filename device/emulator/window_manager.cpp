#include "device/emulator/window_manager.h"

#include "platform/host/host_test_hooks.h"

namespace
{

const uint32_t WS_CHILD_STYLE = 0x40000000;
const uint32_t WS_VISIBLE_STYLE = 0x10000000;
const uint32_t DS_SETFONT_STYLE = 0x40;

// Dialog units to pixels, for a dialog font of 6 by 12 pixels: a horizontal unit is a quarter of
// the font's average width, a vertical one an eighth of its height. The run checks where the
// program puts its windows, not what a dialog's controls measure.
int32_t HorizontalPixels(int32_t units)
{
    return units * 6 / 4;
}

int32_t VerticalPixels(int32_t units)
{
    return units * 12 / 8;
}

struct TemplateReader
{
    EmulatedProcess& process;
    uint32_t at;

    uint16_t Half()
    {
        uint16_t value = process.ReadHalf(at);
        at += 2;
        return value;
    }
    uint32_t Word()
    {
        uint32_t value = process.ReadWord(at);
        at += 4;
        return value;
    }
    // A text, or an ordinal behind 0xFFFF (then `ordinal` holds it), or nothing behind 0.
    std::u16string TextOrOrdinal(uint16_t* ordinal)
    {
        *ordinal = 0;
        uint16_t first = process.ReadHalf(at);
        if (first == 0xFFFF)
        {
            at += 2;
            *ordinal = Half();
            return std::u16string();
        }
        std::u16string text = process.ReadWideText(at);
        at += 2 * ((uint32_t)text.size() + 1);
        return text;
    }
    void AlignToWord()
    {
        at = (at + 3) & ~3u;
    }
};

// The system's control classes by ordinal ("DLGITEMTEMPLATE": 0x80 button ... 0x85 combo box)
// or by name.
WindowKind ControlKind(uint16_t ordinal, const std::u16string& name)
{
    std::u16string upper = FoldCase(name);
    if (ordinal == 0x80 || upper == u"BUTTON")
        return BUTTON_CONTROL;
    if (ordinal == 0x85 || upper == u"COMBOBOX")
        return COMBO_BOX_CONTROL;
    return STATIC_CONTROL;
}

void AddControl(EmulatedProcess& process, TemplateReader& reader, const Window& dialog)
{
    reader.AlignToWord();
    Window control;
    control.process = &process;
    control.parent = dialog.handle;
    control.style = reader.Word();
    control.exStyle = reader.Word();
    int16_t x = (int16_t)reader.Half(), y = (int16_t)reader.Half();
    int16_t cx = (int16_t)reader.Half(), cy = (int16_t)reader.Half();
    control.id = (int16_t)reader.Half();
    uint16_t ordinal = 0;
    std::u16string className = reader.TextOrOrdinal(&ordinal);
    control.kind = ControlKind(ordinal, className);
    control.className = className;
    control.text = reader.TextOrOrdinal(&ordinal);
    uint16_t extra = reader.Half();
    reader.at += extra;
    control.rect = {dialog.rect.left + HorizontalPixels(x), dialog.rect.top + VerticalPixels(y),
                    dialog.rect.left + HorizontalPixels(x + cx),
                    dialog.rect.top + VerticalPixels(y + cy)};
    control.visible = true;
    process.handheld().AddWindow(control);
    if (control.kind == COMBO_BOX_CONTROL)
        HostCreateComboBox((HWND)(uintptr_t)dialog.handle, control.id);
}

// The shell's menu bar: a tap on a button opens its pop-up, and the item chosen there reaches
// the bar's owner as a command.
void TapMenuBar(EmulatedProcess& process, uint32_t bar, uint32_t button)
{
    Handheld& handheld = process.handheld();
    Window* window = handheld.FindWindow(bar);
    if (!window || button >= window->menuBar.size())
        return;
    DeviceBox box;
    box.kind = DeviceBox::POPUP_MENU;
    box.window = bar;
    box.items = window->menuBar[button].popup;
    uint32_t owner = window->owner;
    if (!handheld.WaitForUser(process, box))
        return;
    int chosen = handheld.answer();
    if (chosen >= 0 && (size_t)chosen < box.items.size())
        PostWindowMessage(handheld, owner, WM_COMMAND_MESSAGE, box.items[chosen].command, 0);
}

} // namespace

uint32_t SendWindowMessage(EmulatedProcess& process, uint32_t window, uint32_t message,
                           uint32_t wParam, uint32_t lParam)
{
    Handheld& handheld = process.handheld();
    Window* target = handheld.FindWindow(window);
    if (!target || process.stopped())
        return 0;
    switch (target->kind)
    {
    case APPLICATION_WINDOW:
    case DIALOG_WINDOW:
        return process.CallGuest(target->procedure, window, message, wParam, lParam);
    case BUTTON_CONTROL:
        if (message == WM_LBUTTONUP_MESSAGE)
            return SendWindowMessage(process, target->parent, WM_COMMAND_MESSAGE,
                                     (uint32_t)(uint16_t)target->id | BN_CLICKED_CODE << 16,
                                     window);
        return 0;
    case MENU_BAR_WINDOW:
        if (message == WM_LBUTTONUP_MESSAGE)
            TapMenuBar(process, window, wParam);
        return 0;
    default:
        return 0;
    }
}

void PostWindowMessage(Handheld& handheld, uint32_t window, uint32_t message, uint32_t wParam,
                       uint32_t lParam)
{
    Window* target = handheld.FindWindow(window);
    if (target)
        target->process->queue.push_back(GuestMessage{window, message, wParam, lParam});
}

bool DestroyGuestWindow(EmulatedProcess& process, uint32_t window)
{
    Handheld& handheld = process.handheld();
    Window* target = handheld.FindWindow(window);
    if (!target || target->destroying)
        return false;
    target->destroying = true;
    target->visible = false;
    bool dialog = target->kind == DIALOG_WINDOW;
    SendWindowMessage(process, window, WM_DESTROY_MESSAGE, 0, 0);
    std::vector<uint32_t> dependents;
    for (Window* other : handheld.Windows())
    {
        if (other->parent == window || other->owner == window)
            dependents.push_back(other->handle);
    }
    for (uint32_t dependent : dependents)
        DestroyGuestWindow(process, dependent);
    if (dialog)
        HostRemoveControls((HWND)(uintptr_t)window);
    handheld.RemoveWindow(window);
    return true;
}

uint32_t CreateGuestDialog(EmulatedProcess& process, uint32_t dialogTemplate, uint32_t parent,
                           uint32_t procedure, uint32_t parameter, bool modal)
{
    Handheld& handheld = process.handheld();
    TemplateReader reader{process, dialogTemplate};
    Window dialog;
    dialog.process = &process;
    dialog.kind = DIALOG_WINDOW;
    dialog.procedure = procedure;
    dialog.modal = modal;
    dialog.style = reader.Word();
    dialog.exStyle = reader.Word();
    uint16_t count = reader.Half();
    int16_t x = (int16_t)reader.Half(), y = (int16_t)reader.Half();
    int16_t cx = (int16_t)reader.Half(), cy = (int16_t)reader.Half();
    uint16_t ordinal = 0;
    reader.TextOrOrdinal(&ordinal); // menu
    reader.TextOrOrdinal(&ordinal); // class
    dialog.text = reader.TextOrOrdinal(&ordinal);
    if (dialog.style & DS_SETFONT_STYLE)
    {
        reader.Half();
        reader.TextOrOrdinal(&ordinal);
    }
    // A child dialog lies in its parent's client area, here the whole parent window; a pop-up
    // is placed on the screen below the top bar.
    Window* parentWindow = handheld.FindWindow(parent);
    bool child = dialog.style & WS_CHILD_STYLE;
    (child ? dialog.parent : dialog.owner) = parent;
    int32_t left = child && parentWindow ? parentWindow->rect.left : 0;
    int32_t top = child && parentWindow ? parentWindow->rect.top : TOP_BAR_HEIGHT;
    dialog.rect = {left + HorizontalPixels(x), top + VerticalPixels(y),
                   left + HorizontalPixels(x + cx), top + VerticalPixels(y + cy)};
    dialog.visible = modal || (dialog.style & WS_VISIBLE_STYLE);
    uint32_t handle = handheld.AddWindow(dialog);
    Window* made = handheld.FindWindow(handle);
    for (uint16_t i = 0; i < count && !process.stopped(); ++i)
        AddControl(process, reader, *made);
    uint32_t firstControl = 0;
    for (Window* window : handheld.Windows())
    {
        if (window->parent == handle)
        {
            firstControl = window->handle;
            break;
        }
    }
    SendWindowMessage(process, handle, WM_INITDIALOG_MESSAGE, firstControl, parameter);
    return handle;
}

bool NextMessage(EmulatedProcess& process, const DeviceBox& shown, GuestMessage* message)
{
    while (process.queue.empty())
    {
        if (process.quitPosted)
        {
            process.quitPosted = false;
            *message = GuestMessage{0, WM_QUIT_MESSAGE, process.quitCode, 0};
            return true;
        }
        if (process.stopped() || !process.handheld().WaitForUser(process, shown))
            return false;
    }
    *message = process.queue.front();
    process.queue.pop_front();
    if (message->wParam == VK_CONTROL_KEY && message->message == WM_KEYDOWN_MESSAGE)
        process.controlDown = true;
    if (message->wParam == VK_CONTROL_KEY && message->message == WM_KEYUP_MESSAGE)
        process.controlDown = false;
    return true;
}

int32_t RunModalDialog(EmulatedProcess& process, uint32_t dialog)
{
    Handheld& handheld = process.handheld();
    for (Window* window = handheld.FindWindow(dialog); window && !window->ended;
         window = handheld.FindWindow(dialog))
    {
        DeviceBox box;
        box.kind = DeviceBox::DIALOG;
        box.window = dialog;
        box.caption = window->text;
        GuestMessage message;
        if (!NextMessage(process, box, &message))
            return -1;
        if (message.message == WM_QUIT_MESSAGE)
        {
            // The quit message ends the dialog and is left for the program's own loop.
            process.quitPosted = true;
            process.quitCode = message.wParam;
            break;
        }
        if (!HandleDialogMessage(process, dialog, message))
            DispatchGuestMessage(process, message);
    }
    Window* window = handheld.FindWindow(dialog);
    int32_t result = window ? window->result : 0;
    DestroyGuestWindow(process, dialog);
    return result;
}

uint32_t DispatchGuestMessage(EmulatedProcess& process, const GuestMessage& message)
{
    return SendWindowMessage(process, message.window, message.message, message.wParam,
                             message.lParam);
}

bool HandleDialogMessage(EmulatedProcess& process, uint32_t dialog, const GuestMessage& message)
{
    Handheld& handheld = process.handheld();
    if (!dialog || !handheld.FindWindow(dialog))
        return false;
    for (Window* window = handheld.FindWindow(message.window); window;
         window = handheld.FindWindow(window->parent))
    {
        if (window->handle == dialog)
        {
            DispatchGuestMessage(process, message);
            return true;
        }
    }
    return false;
}

uint32_t DefaultWindowMessage(EmulatedProcess& process, uint32_t window, uint32_t message)
{
    // "WM_CLOSE": DefWindowProc calls DestroyWindow.
    if (message == WM_CLOSE_MESSAGE)
        DestroyGuestWindow(process, window);
    return 0;
}

uint32_t FindControl(Handheld& handheld, uint32_t dialog, int32_t id)
{
    for (Window* window : handheld.Windows())
    {
        if (window->parent == dialog && window->id == id)
            return window->handle;
    }
    return 0;
}

std::u16string FoldCase(std::u16string name)
{
    for (char16_t& unit : name)
        unit = unit >= u'a' && unit <= u'z' ? (char16_t)(unit - u'a' + u'A') : unit;
    return name;
}
