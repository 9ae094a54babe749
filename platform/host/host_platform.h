// Host build (Linux): the platform as the program sees it, supplied by a stand-in that keeps
// the Win32 rules the program relies on. Tests drive and inspect it through host_test_hooks.h.
#ifndef DUNVATEL_PLATFORM_HOST_PLATFORM_H
#define DUNVATEL_PLATFORM_HOST_PLATFORM_H

#include "platform/host/host_types.h"
#include "platform/host/host_text.h"
#include "platform/host/host_registry.h"
#include "platform/host/host_controls.h"
#include "platform/host/host_files.h"
#include "platform/host/host_windows.h"

// The host registry, like the handheld's, ignores access masks.
#define PLATFORM_KEY_ACCESS 0

// RegDeleteKeyW of the stand-in removes the whole tree, as on the handheld.
inline LONG DeleteRegistryTree(HKEY parent, LPCWSTR path)
{
    return RegDeleteKeyW(parent, path);
}

// The stand-in's MoveFileW, like the handheld's, never replaces a file.
#define PLATFORM_MOVE_REPLACES_FILES FALSE
inline BOOL MoveFileInto(LPCWSTR existing, LPCWSTR newName)
{
    return MoveFileW(existing, newName);
}

#endif
