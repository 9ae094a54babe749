// Where the input method keeps its key-assignment styles, and how the program opens and
// creates keys there. All paths lie under HKEY_CURRENT_USER and are written out whole.
#ifndef DUNVATEL_STORE_STYLE_STORE_H
#define DUNVATEL_STORE_STYLE_STORE_H

#include "platform/platform.h"

static const WCHAR STYLE_LIST_KEY[] =
    TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\Ime\\Japan\\IME98\\StyleList");
static const WCHAR CUSTOM_STYLE_KEY[] =
    TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\Ime\\Japan\\IME98\\StyleList\\Custom");
static const WCHAR IME_SETTINGS_KEY[] =
    TEXT("Software\\Microsoft\\Windows\\CurrentVersion\\Ime\\Japan\\IME98\\MSIME");
// Value under IME_SETTINGS_KEY naming the style the input method uses.
static const WCHAR STANDARD_STYLE_VALUE[] = TEXT("style");
static const WCHAR CUSTOM_STYLE_NAME[] = TEXT("Custom");
// The class given to every key the program creates: the text "REG_SZ", not a value type.
static const WCHAR CREATED_KEY_CLASS[] = TEXT("REG_SZ");

// Opens the key at `path` under HKEY_CURRENT_USER for reading and writing. FALSE when it cannot
// be opened, which the program takes to mean that it does not exist.
BOOL OpenUserKey(LPCWSTR path, HKEY* key);

// Creates the key `path` under `parent` with the class the program gives every key it makes,
// or opens it when it exists. FALSE when the key cannot be had.
BOOL CreateStyleKey(HKEY parent, LPCWSTR path, HKEY* key);

#endif
