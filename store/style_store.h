// Where the input method keeps its key-assignment styles, and the conventions every walk over
// them follows. All paths lie under HKEY_CURRENT_USER and are written out whole.
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

// Walk buffers are allocated this much larger than the key's reported maximum...
#define WALK_BUFFER_SLACK 8
// ...while the capacity handed to the registry is this much larger.
#define WALK_CAPACITY_SLACK 4

// Room for a style name in the list walk, terminator included: longer names are left out.
#define STYLE_NAME_CAPACITY 32
// Bytes offered to the registry for the standard style's name.
#define STANDARD_NAME_BYTES 260
// Units of a buffer that holds the standard style's name: one more than the capacity offered,
// so that a value filling every byte still ends within the buffer.
#define STANDARD_NAME_UNITS (STANDARD_NAME_BYTES / sizeof(WCHAR) + 1)

// Reads the standard style's name from the open settings key into `name`, which holds
// STANDARD_NAME_UNITS units and always ends within them. TRUE when the value was read; an
// unreadable value leaves `name` empty.
BOOL ReadStandardStyleName(HKEY settings, WCHAR* name);

#endif
