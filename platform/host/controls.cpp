// The host's dialog controls: sorted drop-down lists keyed by dialog and control id, with the
// CB_ messages the program sends, answered as a Win32 sorted drop-down list answers them.
// Message boxes go to the handler the test has installed.
#include "platform/host/host_test_hooks.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace
{

typedef std::u16string Entry;

struct ComboBox
{
    std::vector<Entry> entries;
    int selection = CB_ERR;
};

std::map<std::pair<HWND, int>, ComboBox>& Controls()
{
    static std::map<std::pair<HWND, int>, ComboBox> controls;
    return controls;
}

// The message the next list answers with CB_ERR; 0: none.
UINT& PendingListFault()
{
    static UINT message = 0;
    return message;
}

HostMessageBoxHandler& MessageBoxHandler()
{
    static HostMessageBoxHandler handler;
    return handler;
}

WCHAR FoldCase(WCHAR unit)
{
    if (unit >= u'a' && unit <= u'z')
        return (WCHAR)(unit - u'a' + u'A');
    return unit;
}

// Orders entries without regard to case, as a sorted list does; equal entries keep the order
// in which they were added.
bool SortsBefore(const Entry& left, const Entry& right)
{
    size_t length = left.size() < right.size() ? left.size() : right.size();
    for (size_t i = 0; i < length; ++i)
    {
        WCHAR a = FoldCase(left[i]);
        WCHAR b = FoldCase(right[i]);
        if (a != b)
            return a < b;
    }
    return left.size() < right.size();
}

bool BeginsWith(const Entry& entry, const Entry& prefix)
{
    if (entry.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
    {
        if (FoldCase(entry[i]) != FoldCase(prefix[i]))
            return false;
    }
    return true;
}

LRESULT AddEntry(ComboBox& box, LPCWSTR text)
{
    Entry entry = text ? Entry(text) : Entry();
    size_t position = 0;
    while (position < box.entries.size() && !SortsBefore(entry, box.entries[position]))
        ++position;
    box.entries.insert(box.entries.begin() + position, entry);
    if (box.selection >= (int)position)
        ++box.selection;
    return (LRESULT)position;
}

bool IsPosition(const ComboBox& box, WPARAM position)
{
    return (INT_PTR)position >= 0 && (INT_PTR)position < (INT_PTR)box.entries.size();
}

// Searches from the entry after `start` to the end, then from the first entry round to
// `start`, for the first entry that begins with the text; an empty text finds nothing.
LRESULT SelectByPrefix(ComboBox& box, WPARAM start, LPCWSTR text)
{
    Entry prefix = text ? Entry(text) : Entry();
    int count = (int)box.entries.size();
    if (prefix.empty() || count == 0)
        return CB_ERR;
    int first = (int)(INT_PTR)start + 1;
    if (first < 0 || first >= count)
        first = 0;
    for (int i = 0; i < count; ++i)
    {
        int position = (first + i) % count;
        if (BeginsWith(box.entries[position], prefix))
        {
            box.selection = position;
            return position;
        }
    }
    return CB_ERR;
}

LRESULT SetSelection(ComboBox& box, WPARAM position)
{
    if ((INT_PTR)position == -1)
    {
        box.selection = CB_ERR;
        return CB_ERR;
    }
    if (!IsPosition(box, position))
        return CB_ERR;
    box.selection = (int)position;
    return (LRESULT)position;
}

LRESULT CopyEntry(const ComboBox& box, WPARAM position, LPARAM buffer)
{
    if (!IsPosition(box, position) || !buffer)
        return CB_ERR;
    const Entry& entry = box.entries[position];
    LPWSTR destination = (LPWSTR)buffer;
    entry.copy(destination, entry.size());
    destination[entry.size()] = 0;
    return (LRESULT)entry.size();
}

LRESULT HandleMessage(ComboBox& box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case CB_RESETCONTENT:
        box = ComboBox();
        return CB_OKAY;
    case CB_ADDSTRING:
        return AddEntry(box, (LPCWSTR)lParam);
    case CB_GETCOUNT:
        return (LRESULT)box.entries.size();
    case CB_SETCURSEL:
        return SetSelection(box, wParam);
    case CB_GETCURSEL:
        return box.selection;
    case CB_SELECTSTRING:
        return SelectByPrefix(box, wParam, (LPCWSTR)lParam);
    case CB_GETLBTEXTLEN:
        return IsPosition(box, wParam) ? (LRESULT)box.entries[wParam].size() : CB_ERR;
    case CB_GETLBTEXT:
        return CopyEntry(box, wParam, lParam);
    default:
        return 0;
    }
}

} // namespace

LRESULT SendDlgItemMessageW(HWND dialog, int controlId, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = Controls().find(std::make_pair(dialog, controlId));
    // Like a dialog without such a control, an unknown one answers 0.
    if (found == Controls().end())
        return 0;
    if (message == PendingListFault())
    {
        PendingListFault() = 0;
        return CB_ERR;
    }
    return HandleMessage(found->second, message, wParam, lParam);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (!MessageBoxHandler())
        return 0;
    return MessageBoxHandler()(owner, text, caption, type);
}

void HostCreateComboBox(HWND dialog, int controlId)
{
    Controls()[std::make_pair(dialog, controlId)] = ComboBox();
}

void HostRemoveControls(HWND dialog)
{
    auto& controls = Controls();
    for (auto it = controls.begin(); it != controls.end();)
        it = it->first.first == dialog ? controls.erase(it) : std::next(it);
}

void HostFailListMessage(UINT message)
{
    PendingListFault() = message;
}

void HostSetMessageBoxHandler(HostMessageBoxHandler handler)
{
    MessageBoxHandler() = std::move(handler);
}
