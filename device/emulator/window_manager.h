// The emulated handheld's window manager, as far as the program's frame and dialogs reach it:
// windows of the program's classes and of the system's (buttons, static texts, the drop-down
// list, the shell's menu bar), messages sent (the procedure runs nested on the processor) and
// posted (to the owning process's queue), dialogs built from the program's own templates and
// run by the dialog manager, modal or modeless, and destruction with WM_DESTROY.
#ifndef DUNVATEL_DEVICE_EMULATOR_WINDOW_MANAGER_H
#define DUNVATEL_DEVICE_EMULATOR_WINDOW_MANAGER_H

#include "device/emulator/handheld.h"

// Window messages and values ("WM_..." and the constants of Windows CE 5.0's pages; values from
// the desktop reference, which the handheld shares).
const uint32_t WM_CREATE_MESSAGE = 0x0001;
const uint32_t WM_DESTROY_MESSAGE = 0x0002;
const uint32_t WM_PAINT_MESSAGE = 0x000F;
const uint32_t WM_CLOSE_MESSAGE = 0x0010;
const uint32_t WM_QUIT_MESSAGE = 0x0012;
const uint32_t WM_SETTINGCHANGE_MESSAGE = 0x001A;
const uint32_t WM_KEYDOWN_MESSAGE = 0x0100;
const uint32_t WM_KEYUP_MESSAGE = 0x0101;
const uint32_t WM_INITDIALOG_MESSAGE = 0x0110;
const uint32_t WM_COMMAND_MESSAGE = 0x0111;
const uint32_t WM_LBUTTONDOWN_MESSAGE = 0x0201;
const uint32_t WM_LBUTTONUP_MESSAGE = 0x0202;
const uint32_t VK_CONTROL_KEY = 0x11;
const uint32_t BN_CLICKED_CODE = 0;
const uint32_t ID_OK = 1;

// Sends a message: the window's procedure runs and answers. 0 for a window that is gone.
uint32_t SendWindowMessage(EmulatedProcess& process, uint32_t window, uint32_t message,
                           uint32_t wParam, uint32_t lParam);
// Posts a message to the queue of the window's process.
void PostWindowMessage(Handheld& handheld, uint32_t window, uint32_t message, uint32_t wParam,
                       uint32_t lParam);
// Destroys the window, its children and the windows it owns, each after its WM_DESTROY;
// false for a window that does not exist.
bool DestroyGuestWindow(EmulatedProcess& process, uint32_t window);
// Builds a dialog from the template at `dialogTemplate` and sends it WM_INITDIALOG.
uint32_t CreateGuestDialog(EmulatedProcess& process, uint32_t dialogTemplate, uint32_t parent,
                           uint32_t procedure, uint32_t parameter, bool modal);
// Runs a modal dialog until EndDialog; its result, or -1 when the process is to end.
int32_t RunModalDialog(EmulatedProcess& process, uint32_t dialog);
// The next message of the process's queue, waiting for the user while there is none and
// showing him `shown`; false when the process is to end.
bool NextMessage(EmulatedProcess& process, const DeviceBox& shown, GuestMessage* message);
// The window's procedure answers the message: DispatchMessageW.
uint32_t DispatchGuestMessage(EmulatedProcess& process, const GuestMessage& message);
// The dialog manager's part of IsDialogMessageW: true when the message is for the dialog or
// one of its controls (and has then been dispatched).
bool HandleDialogMessage(EmulatedProcess& process, uint32_t dialog, const GuestMessage& message);
// The default handling of DefWindowProcW.
uint32_t DefaultWindowMessage(EmulatedProcess& process, uint32_t window, uint32_t message);
// A class or resource name with its ASCII letters in upper case: such names match without
// regard to case.
std::u16string FoldCase(std::u16string name);
// The control of the dialog with the id, or 0.
uint32_t FindControl(Handheld& handheld, uint32_t dialog, int32_t id);

#endif
