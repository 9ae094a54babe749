#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/export.h"
#include "keyfile/file_dialog.h"
#include "keyfile/import.h"
#include "resources/resource.h"
#include "store/style_store.h"
#include "base/window_globals.h"

#include <unistd.h>

ScratchDirectory::ScratchDirectory()
{
    static int serial = 0;
    directory_ = std::filesystem::temp_directory_path() /
                 ("dunvatel-keyfile-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    // Appending nothing ends the path in the platform's separator.
#ifdef _WIN32
    std::wstring text = (directory_ / "").wstring();
#else
    std::u16string text = (directory_ / "").u16string();
#endif
    path_ = WString(text.begin(), text.end());
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::string ReadFileBytes(const WString& path)
{
    FILE* file = _wfopen(path.c_str(), TEXT("rb"));
    if (!file)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, count);
    fclose(file);
    return bytes;
}

void WriteFileBytes(const WString& path, const std::string& bytes, Caller caller)
{
    FILE* file = _wfopen(path.c_str(), TEXT("wb"));
    RequireSetUp(file != NULL, "create file", path, caller);
    bool written = bytes.empty() || fwrite(bytes.data(), bytes.size(), 1, file) == 1;
    RequireSetUp(fclose(file) == 0 && written, "write file", path, caller);
}

std::vector<WString> CustomStrings(const WString& name)
{
    DWORD type = 0;
    Bytes data;
    if (!ReadValue(CUSTOM_STYLE_KEY, name, &type, &data))
        return {TEXT("<missing>")};
    EXPECT_EQ((DWORD)REG_MULTI_SZ, type);
    std::vector<WString> strings;
    WString units((const WCHAR*)data.data(), data.size() / sizeof(WCHAR));
    size_t at = 0;
    while (at < units.size() && units[at] != 0)
    {
        size_t end = units.find(WCHAR(0), at);
        if (end == WString::npos)
            end = units.size();
        strings.push_back(units.substr(at, end - at));
        at = end + 1;
    }
    return strings;
}

void SetCustomStrings(const WString& name, const std::vector<WString>& strings, Caller caller)
{
    SetValue(CUSTOM_STYLE_KEY, name, REG_MULTI_SZ, MultiString(strings), caller);
}

void KeyFileTest::SetUp()
{
    StoreTest::SetUp();
    CreateKey(CUSTOM_STYLE_KEY);
    wcscpy(g_keyFilePath, INITIAL_KEY_FILE);
}

void KeyFileTest::ExportTo(const WString& path)
{
    user.WillChooseFile(path);
    user.WillAnswer(IDOK);
    ExportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
}

void KeyFileTest::ImportFrom(const WString& path)
{
    user.WillChooseFile(path);
    user.WillAnswer({IDYES, IDOK});
    ImportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
}
