#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/export.h"
#include "keyfile/file_dialog.h"
#include "keyfile/import.h"
#include "resources/resource.h"
#include "store/style_store.h"
#include "base/window_globals.h"
#ifndef _WIN32
#include "platform/host/host_test_hooks.h"
#endif

#include <unistd.h>

#include <algorithm>

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

std::vector<WString> FileNames(const WString& folder)
{
    std::vector<WString> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(folder)))
    {
#ifdef _WIN32
        std::wstring name = entry.path().filename().wstring();
#else
        std::u16string name = entry.path().filename().u16string();
#endif
        names.push_back(WString(name.begin(), name.end()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

#ifdef _WIN32
WString SmallMediumFolder(const ScratchDirectory&)
{
    // A Linux path, which Wine reaches through drive Z:.
    const char* mounted = getenv("DUNVATEL_SMALL_MEDIUM");
    if (!mounted || !std::filesystem::is_directory(std::string("Z:") + mounted))
        return WString();
    WString folder = TEXT("Z:");
    for (const char* at = mounted; *at; ++at)
        folder += *at == '/' ? TEXT('\\') : (WCHAR)*at;
    return folder + TEXT("\\");
}

void FillMedium(const WString& folder)
{
    FILE* filler = _wfopen((folder + TEXT("filler")).c_str(), TEXT("ab"));
    if (!filler)
        return;
    std::string block(4096, 'f');
    while (fwrite(block.data(), block.size(), 1, filler) == 1 && fflush(filler) == 0)
    {
    }
    fclose(filler);
}
#else
WString SmallMediumFolder(const ScratchDirectory& scratch)
{
    return scratch.path();
}

void FillMedium(const WString&)
{
    HostFailFileWritesFrom(0);
}
#endif

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

std::string Utf16Bytes(const WString& text, bool bigEndian)
{
    std::string bytes;
    for (WCHAR unit : text)
    {
        char low = (char)(unit & 0xFF);
        char high = (char)(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
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
