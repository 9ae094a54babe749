// Controls of the platform's own dialogs that the tests read and fill: a message box's text,
// and the file dialogs' file-name field (explorer style, then old style).
#ifndef DUNVATEL_TESTS_SUPPORT_WIN32_DIALOG_CONTROLS_H
#define DUNVATEL_TESTS_SUPPORT_WIN32_DIALOG_CONTROLS_H

const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const int FILE_NAME_COMBO_ID = 0x47C; // cmb13
const int FILE_NAME_EDIT_ID = 0x480;  // edt1

#endif
