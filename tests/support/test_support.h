// What every test uses, with one interface for both builds: registry fixtures made through
// the real Reg* calls, the windows a command needs (main window and main dialog with its style
// list), and a scripted user who answers the message boxes and records them. On the host the
// stand-in serves them; on Win32 they are real windows and real boxes.
#ifndef DUNVATEL_TESTS_SUPPORT_TEST_SUPPORT_H
#define DUNVATEL_TESTS_SUPPORT_TEST_SUPPORT_H

#include "platform/platform.h"
#include "tests/support/expected_texts.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

typedef std::basic_string<WCHAR> WString;
typedef std::vector<BYTE> Bytes;

// --- Set-up that fails ends the test ---------------------------------------------------------

// Where a set-up helper was called from. Left to its default, it is the caller's line (GCC and
// Clang fill in the default argument where the call stands).
struct Caller
{
    const char* file = __builtin_FILE();
    int line = __builtin_LINE();
};
// Unless `done`, reports the step and its subject at the caller's line and leaves the test at once:
// the step's exception ends the test body (or SetUp) and GoogleTest reports it too, so nothing runs
// on a set-up that is not there.
void RequireSetUp(bool done, const char* step, const WString& subject, Caller caller);

// --- Registry fixtures, all paths under HKEY_CURRENT_USER -----------------------------------

// The input method's key, parent of every location the program touches.
extern const WCHAR IME_ROOT_KEY[];
// The path of the style `name` under the style list.
WString StylePath(const WString& name);

// These set-up steps end the test when the registry refuses them (see RequireSetUp).
void CreateKey(const WString& path, LPCWSTR keyClass = nullptr, Caller caller = {});
void SetValue(const WString& path, const WString& name, DWORD type, const Bytes& data,
              Caller caller = {});
void SetString(const WString& path, const WString& name, const WString& text, Caller caller = {});
// REG_MULTI_SZ data: each string with its terminator, then one more zero unit.
Bytes MultiString(const std::vector<WString>& strings);
Bytes TextBytes(const WString& text); // the units of `text` with its terminator
Bytes UnitBytes(const WString& text); // the units of `text` alone, unended
void SetStandardStyleValue(const WString& name, Caller caller = {});
// Opens the existing key; a set-up step. The caller closes it.
HKEY OpenKey(const WString& path, Caller caller = {});
bool KeyExists(const WString& path);
// Reads a value; false when it does not exist.
bool ReadValue(const WString& path, const WString& name, DWORD* type, Bytes* data);
// The value's data, its type in `type` when given; a missing value fails the test at the
// caller's line and gives no bytes.
Bytes ValueData(const WString& path, const WString& name, DWORD* type = nullptr,
                Caller caller = {});
// The key's class as RegQueryInfoKeyW reports it.
WString KeyClass(const WString& path);
std::vector<WString> SubkeyNames(const WString& path);
std::vector<WString> ValueNames(const WString& path);
void DeleteTree(const WString& path);

// A whole tree read back, for comparing a copy with its source without depending on the order
// in which the registry enumerates: every value keyed by its key's path relative to the root
// (empty for the root itself), a bar, and the value's name; and the class of every key beneath
// the root (not of the root itself) by relative path.
struct StoredValue
{
    DWORD type;
    Bytes data;
};
bool operator==(const StoredValue& left, const StoredValue& right);
void PrintTo(const StoredValue& value, std::ostream* out);
struct TreeContent
{
    std::map<WString, StoredValue> values;
    std::map<WString, WString> classes;
};
// Reads the tree below `path` through handles relative to their parent, so that no path grows
// with the depth, with one query for each key's class and shape.
TreeContent ReadTree(const WString& path);
std::map<WString, StoredValue> TreeValues(const WString& path);
std::vector<WString> TreeKeyPaths(const WString& path);
WString JoinPath(const WString& base, const WString& name);

// Open registry handles of this process, or -1 where the build cannot count them.
int OpenKeyHandles();

// --- Windows --------------------------------------------------------------------------------

// A main window and a main dialog holding the sorted drop-down list IDC_STYLE_LIST; sets
// g_mainWindow and g_mainDialog for its lifetime.
class TestWindows
{
  public:
    TestWindows();
    ~TestWindows();
    HWND mainWindow() const
    {
        return mainWindow_;
    }
    HWND dialog() const
    {
        return dialog_;
    }
    std::vector<WString> ListEntries() const;
    // The selected position, or CB_ERR.
    int Selection() const;
    WString SelectedText() const;
    void AddEntry(const WString& text) const;
    void Select(int position) const;
    // Selects the entry of exactly this text; a set-up step (see RequireSetUp).
    void SelectByText(const WString& text, Caller caller = {}) const;

  private:
    HWND mainWindow_;
    HWND dialog_;
};

// --- The scripted user ----------------------------------------------------------------------

struct ShownBox
{
    HWND owner;
    WString text;
    WString caption;
    UINT type; // MB_OK or MB_YESNO (on Win32 read off the box's buttons)
};

// A file dialog as the program asked for it: its OPENFILENAMEW record.
struct ShownFileDialog
{
    bool save; // GetSaveFileNameW, else GetOpenFileNameW
    DWORD size;
    HWND owner;
    WString filter; // every text with its terminator, up to the list's closing terminator
    DWORD capacity;
    WString title;
    DWORD flags;
    WString initialFile; // the file buffer's content when the dialog opened
    bool restZero;       // every field the program need not set is 0: the dialog reads them all
};

// The user has the arrow cursor from the start and fails the test when a box or file dialog comes
// up under another, or the arrow is not back at the end: no wait cursor is left on.
class ScriptedUser
{
  public:
    ScriptedUser();
    // Fails the test when scripted answers were left unused.
    ~ScriptedUser();
    // The next box shown is answered with the button (IDOK, IDYES, IDNO); the list: the next
    // boxes, one button each.
    void WillAnswer(int button);
    void WillAnswer(std::initializer_list<int> buttons);
    const std::vector<ShownBox>& boxes() const
    {
        return boxes_;
    }
    // Whether box `index` was shown over the main window with this text, caption and buttons
    // (MB_OK or MB_YESNO); checked at the caller's line: EXPECT_TRUE(user.Showed(...)).
    ::testing::AssertionResult Showed(size_t index, const WString& text, const WString& caption,
                                      UINT type = MB_OK) const;
    // The same for the last box shown.
    ::testing::AssertionResult ShowedLast(const WString& text, const WString& caption,
                                          UINT type = MB_OK) const;
    // Called by the build's hook for each box shown; returns the button to press, or 0 when
    // nothing was scripted (the test then fails with the box's text).
    int Respond(const ShownBox& box);

    // The next file dialog shown chooses the path (a full path of the build's platform).
    void WillChooseFile(const WString& path);
    // The next file dialog shown is cancelled.
    void WillCancelFileDialog();
    const std::vector<ShownFileDialog>& fileDialogs() const
    {
        return fileDialogs_;
    }
    // Called by the build's hook for each file dialog shown: true with the path to choose,
    // false to cancel (also when nothing was scripted; the test then fails).
    bool RespondToFileDialog(const ShownFileDialog& dialog, WString* path);
    // Reads the record the program gave the platform.
    static ShownFileDialog DescribeFileDialog(bool save, const OPENFILENAMEW& record);

  private:
    void Install();
    void Uninstall();
    std::deque<int> answers_;
    std::vector<ShownBox> boxes_;
    struct FileAnswer
    {
        bool choose;
        WString path;
    };
    std::deque<FileAnswer> fileAnswers_;
    std::vector<ShownFileDialog> fileDialogs_;
};

// --- The usual test ---------------------------------------------------------------------------

extern const WCHAR LIST_MARKER[];

// Starts and ends with no input-method keys, holds the windows and the user, and checks at
// the end that no registry handle was left open.
class StoreTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;
    void ExpectNoOpenKeys() const;
    // Lists the registry's styles as the program does, adds LIST_MARKER, an entry no refresh
    // would make, and selects `name` (a set-up step): a test can then tell whether a command
    // rebuilt the list.
    void ShowStylesSelecting(const WString& name, Caller caller = {});
    bool ListWasRebuilt() const;
    TestWindows windows;
    ScriptedUser user;

  private:
    int handlesAtStart_ = -1;
};

// Shorthand for expected texts.
inline WString W(LPCWSTR text)
{
    return WString(text);
}

// `number` in decimal, with leading zeros up to `width` digits.
WString Number(int number, size_t width = 1);

// Readable text for failure messages.
std::string ToUtf8(const WString& text);

#endif
