// Failures only the host can bring about: a full disk, a registry that refuses, a stream that
// fails to read, and another OEM code page.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/export.h"
#include "keyfile/file_dialog.h"
#include "platform/host/host_test_hooks.h"
#include "resources/resource.h"
#include "store/style_store.h"

namespace
{

class KeyFileFaults : public KeyFileTest
{
  protected:
    void TearDown() override
    {
        HostSetOemCodePage(932);
        KeyFileTest::TearDown();
    }
    WString path = scratch.File(TEXT("faults.txt"));
};

TEST_F(KeyFileFaults, ExportsThatCannotWriteOrReadFailAndAValueNotEnumeratedIsPassedOver)
{
    SetCustomStrings(TEXT("keys"), {TEXT("a"), TEXT("b")});
    ExportTo(TEXT("/dev/full"));
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    ExportTo(scratch.File(TEXT("missing/export.txt")));
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    HostFailRegistryCall(HOST_REG_QUERY_INFO);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ("", ReadFileBytes(path));
    EXPECT_EQ(3u, user.boxes().size());

    // A value that cannot be enumerated is passed over.
    SetCustomStrings(TEXT("B"), {TEXT("b")});
    HostFailRegistryCall(HOST_REG_ENUM_VALUE);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
    EXPECT_EQ("--name B\r\nb\r\n--endmulti\r\n", ReadFileBytes(path));
}

TEST_F(KeyFileFaults, AFileThatCannotBeOpenedOrReadFailsTheImport)
{
    ImportFrom(scratch.File(TEXT("missing.txt")));
    EXPECT_TRUE(user.ShowedLast(IMPORT_FAILED, CAPTION_ERROR));
    // A directory opens as a stream on this system, and every read of it fails.
    ImportFrom(scratch.path());
    EXPECT_TRUE(user.ShowedLast(IMPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(4u, user.boxes().size()); // each with its question
}

TEST_F(KeyFileFaults, ValuesTheRegistryRefusesAndBlocksAfterAReadErrorAreCounted)
{
    const std::string first = "--name A\r\na\r\n--endmulti\r\n";
    WriteFileBytes(path, first + "--name B\r\nb\r\n--endmulti\r\n--name C\r\nc\r\n--endmulti\r\n");
    HostFailRegistryCall(HOST_REG_SET_VALUE, 1);
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_WITH_UNSTORED, 1), CAPTION_READ));
    EXPECT_EQ(std::vector<WString>{TEXT("a")}, CustomStrings(TEXT("A")));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
    EXPECT_EQ(std::vector<WString>{TEXT("c")}, CustomStrings(TEXT("C")));

    DeleteTree(CUSTOM_STYLE_KEY);
    CreateKey(CUSTOM_STYLE_KEY);
    HostFailFileReadsFrom((long)first.size());
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_IN_PART, 1), CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("a")}, CustomStrings(TEXT("A")));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
}

TEST_F(KeyFileFaults, ASingleByteOemCodePageIsUsedAsItStands)
{
    HostSetOemCodePage(437);
    SetCustomStrings(TEXT("keys"), {TEXT("日本é")});
    ExportTo(path);
    EXPECT_EQ("--name keys\r\n??\x82\r\n--endmulti\r\n", ReadFileBytes(path));

    WriteFileBytes(path, "--name keys\r\n\x82\x81\r\n--endmulti\r\n");
    ImportFrom(path);
    EXPECT_EQ(std::vector<WString>{TEXT("éü")}, CustomStrings(TEXT("keys")));
}

TEST_F(KeyFileFaults, APathTooLongForTheBufferIsRefusedByTheDialog)
{
    SetCustomStrings(TEXT("keys"), {TEXT("a")});
    user.WillChooseFile(WString(KEY_FILE_PATH_CAPACITY, u'p'));
    ExportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_EQ(W(INITIAL_KEY_FILE), WString(g_keyFilePath));
}

} // namespace
