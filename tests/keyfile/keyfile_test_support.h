// What the key-file tests share: a scratch directory in the platform's temp folder, the bytes
// of files, and the Custom style's values.
#ifndef DUNVATEL_TESTS_KEYFILE_KEYFILE_TEST_SUPPORT_H
#define DUNVATEL_TESTS_KEYFILE_KEYFILE_TEST_SUPPORT_H

#include "tests/support/test_support.h"

#include <filesystem>
#include <string>
#include <vector>

// A fresh scratch directory (a full path of the build's platform, ending in its separator),
// removed with everything in it at the end of the test.
class ScratchDirectory
{
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    WString File(const WString& name) const
    {
        return path_ + name;
    }
    const WString& path() const
    {
        return path_;
    }

  private:
    std::filesystem::path directory_;
    WString path_;
};

// The names of the files in the folder (a full path), sorted.
std::vector<WString> FileNames(const WString& folder);

// A folder (a full path ending in its separator) on a small medium that a test may fill: on
// the host the scratch directory, under Wine the small file system that the test run mounts
// when it runs as root. Empty when there is none.
WString SmallMediumFolder(const ScratchDirectory& scratch);
// Leaves no room on the medium of that folder for the next file written there.
void FillMedium(const WString& folder);

// The file's bytes; "<missing>" when it cannot be opened.
std::string ReadFileBytes(const WString& path);
// A set-up step (see RequireSetUp).
void WriteFileBytes(const WString& path, const std::string& bytes, Caller caller = {});

// The text's units as UTF-16 bytes of either order, without a byte-order mark.
std::string Utf16Bytes(const WString& text, bool bigEndian);

// The strings of a REG_MULTI_SZ value of the Custom style, or {"<missing>"}.
std::vector<WString> CustomStrings(const WString& name);
void SetCustomStrings(const WString& name, const std::vector<WString>& strings, Caller caller = {});

// The name the file dialogs offer first; each test starts with it in the file buffer.
const WCHAR INITIAL_KEY_FILE[] = TEXT("vorlane.txt");
// The file dialogs are told one unit less than the file buffer holds.
const DWORD KEY_FILE_PATH_CAPACITY = 255;

// The usual key-file test: an existing, empty Custom style, the windows, the scripted user
// and a scratch directory. g_keyFilePath starts each test with its initial name.
class KeyFileTest : public StoreTest
{
  protected:
    void SetUp() override;
    // Exports through the save dialog to `path`, answering the completion notice.
    void ExportTo(const WString& path);
    // Imports from `path`, saying Yes to the question and answering the completion notice.
    void ImportFrom(const WString& path);
    ScratchDirectory scratch;
};

// Shift JIS bytes of the texts the tests use.
#define SJIS_NIHONGO "\x93\xFA\x96\x7B\x8C\xEA" // 日本語
#define SJIS_TESUTO "\x83\x65\x83\x58\x83\x67"  // テスト
#define SJIS_HALFWIDTH_A_I "\xB1\xB2"           // ｱｲ

#endif
