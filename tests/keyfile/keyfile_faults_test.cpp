// Failures only the host can bring about: a full disk, a registry that refuses, a stream that
// fails to read, and another OEM code page.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/export.h"
#include "keyfile/file_dialog.h"
#include "keyfile/import.h"
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
        EXPECT_EQ(0, HostOpenFileCount()) << "file handles left open";
        KeyFileTest::TearDown();
    }
    WString path = scratch.File(TEXT("faults.txt"));
};

TEST_F(KeyFileFaults, ExportsThatCannotWriteOrReadFailAndLeaveTheFileAsItWas)
{
    SetCustomStrings(TEXT("keys"), {TEXT("a"), TEXT("b")});
    const std::string backup(3003, 'o');
    WriteFileBytes(path, backup);
    // A card that fills up: within the stream's buffer (the close fails), or beyond it.
    for (long room : {0L, 10L, 5000L})
    {
        SetCustomStrings(TEXT("big"), {WString(room + 2000, u'x'), WString(room + 2000, u'y')});
        HostFailFileWritesFrom(room);
        ExportTo(path);
        EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR)) << room;
        EXPECT_EQ(backup, ReadFileBytes(path)) << room;
        EXPECT_EQ(std::vector<WString>{TEXT("faults.txt")}, FileNames(scratch.path())) << room;
    }
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_ENUM_VALUE));
    ExportTo(scratch.File(TEXT("missing/export.txt")));
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    HostFailRegistryCall(HOST_REG_QUERY_INFO);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(backup, ReadFileBytes(path));
    // Each step of the replacement refused in turn: the old file moved aside, the new one moved
    // in (the old one is then put back), the new one placed where there was none.
    for (int skip : {0, 1})
    {
        HostFailFileMoves(skip);
        ExportTo(path);
        EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR)) << skip;
        EXPECT_EQ(backup, ReadFileBytes(path)) << skip;
        EXPECT_EQ(std::vector<WString>{TEXT("faults.txt")}, FileNames(scratch.path())) << skip;
    }
    HostFailFileMoves(0);
    ExportTo(scratch.File(TEXT("new.txt")));
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("faults.txt")}, FileNames(scratch.path()));
    // The new file, made beside it, cannot be opened to be written.
    HostFailFileOpens(0);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(backup, ReadFileBytes(path));
    // The old file cannot be put back either: both stay, whole, beside its name.
    HostFailFileMoves(1, 2);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ((std::vector<WString>{TEXT("faults.txt~00"), TEXT("faults.txt~01")}),
              FileNames(scratch.path()));
    EXPECT_EQ(backup, ReadFileBytes(path + TEXT("~01")));
    EXPECT_EQ(10u, user.boxes().size());

    // A value that cannot be enumerated is missing from the file, and counted; one removed
    // meanwhile is not.
    DeleteTree(CUSTOM_STYLE_KEY);
    SetCustomStrings(TEXT("B"), {TEXT("b")});
    SetCustomStrings(TEXT("C"), {TEXT("c")});
    HostFailRegistryCall(HOST_REG_ENUM_VALUE);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(Counted(EXPORTED_WITH_LOSSES, 1), CAPTION_WRITE));
    EXPECT_EQ("--name C\r\nc\r\n--endmulti\r\n", ReadFileBytes(path));
    HostFailRegistryCall(HOST_REG_ENUM_VALUE, 1, ERROR_NO_MORE_ITEMS);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
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
    // Longer than a stream's buffer, so that the second reading reads the file again.
    const std::string padding = "#" + std::string(9000, 'p') + "\r\n";
    WriteFileBytes(path, first + padding +
                             "--name B\r\nb\r\n--endmulti\r\n--name C\r\nc\r\n--endmulti\r\n");
    HostFailRegistryCall(HOST_REG_SET_VALUE, 1);
    ImportFrom(path);
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_SET_VALUE));
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_WITH_UNSTORED, 1), CAPTION_READ));
    EXPECT_EQ(std::vector<WString>{TEXT("a")}, CustomStrings(TEXT("A")));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
    EXPECT_EQ(std::vector<WString>{TEXT("c")}, CustomStrings(TEXT("C")));

    // A card pulled out while the file is first read: nothing is stored. Pulled out between the
    // two readings: what was stored before the fault is told.
    DeleteTree(CUSTOM_STYLE_KEY);
    SetCustomStrings(TEXT("A"), {TEXT("old")});
    HostFailFileReadsFrom((long)(first.size() + padding.size()));
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(IMPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("old")}, CustomStrings(TEXT("A")));
    // A read error just behind a piece cut inside a character is no sign of another encoding.
    const std::string cut = "--name k\r\n" + std::string(2044, 'a') + "\x93";
    WriteFileBytes(scratch.File(TEXT("cut.txt")), cut + "\xFA\r\n--endmulti\r\n");
    HostFailFileReadsFrom((long)cut.size());
    ImportFrom(scratch.File(TEXT("cut.txt")));
    EXPECT_TRUE(user.ShowedLast(IMPORT_FAILED, CAPTION_ERROR));
    HostFailFileReadsFrom((long)(first.size() + padding.size()), 1);
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_IN_PART, 1), CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("a")}, CustomStrings(TEXT("A")));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
    // A read error just before a line's end: the line was not read, and its block not stored.
    const std::string untilEnd = first + padding + "--name B\r\nb\r\n--endmulti";
    WriteFileBytes(path, untilEnd + "\r\n");
    HostFailFileReadsFrom((long)untilEnd.size(), 1);
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_IN_PART, 1), CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));

    // The file saved anew between the readings, with bytes that are no text in the encoding the
    // first reading settled: in Shift JIS a lead byte without its trail, first or in B, or a
    // lead byte that ends the file behind a CR; in UTF-8 a byte FF; in UTF-16 a lone surrogate.
    // The import stops there, with what came before stored.
    const std::string blocks = "--name A\r\nnew\r\n--endmulti\r\n--name B\r\nb\r\n--endmulti\r\n";
    const size_t inB = blocks.find("b\r\n");
    const WString wide(blocks.begin(), blocks.end());
    const std::string utf16 = "\xFF\xFE" + Utf16Bytes(wide, false);
    const std::pair<std::string, std::string> saves[] = {
        {blocks, blocks.substr(0, inB) + "\x81 " + blocks.substr(inB)},
        {blocks, "\x81 " + blocks},
        {blocks, blocks.substr(0, inB) + "x\r\x81"},
        {"\xEF\xBB\xBF" + blocks,
         "\xEF\xBB\xBF" + blocks.substr(0, inB) + "\xFF" + blocks.substr(inB)},
        {utf16, "\xFF\xFE" + Utf16Bytes(wide.substr(0, inB) + WString(1, 0xDC00) + wide.substr(inB),
                                        false)}};
    for (const auto& [file, saved] : saves)
    {
        SetCustomStrings(TEXT("A"), {TEXT("old")});
        WriteFileBytes(path, file);
        HostRewriteFileOnRewind(saved);
        ImportFrom(path);
        bool partly = saved[0] != '\x81';
        EXPECT_TRUE(partly ? user.ShowedLast(Counted(IMPORTED_IN_PART, 1), CAPTION_ERROR)
                           : user.ShowedLast(IMPORT_FAILED, CAPTION_ERROR));
        EXPECT_EQ(std::vector<WString>{partly ? TEXT("new") : TEXT("old")},
                  CustomStrings(TEXT("A")));
        EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
    }
}

// Each allocation of export and import failing in turn: the file named stays exactly as it was
// with nothing beside it, Custom stays unchanged, the user is told, and no block is left.
TEST_F(KeyFileFaults, ExportsAndImportsShortOfMemoryChangeNothingAndSaySo)
{
    const std::string backup = "old file\r\n";
    // A list too long to be converted at once takes a buffer of its own; "café" asks for UTF-8,
    // and the file is written again. Allocations: the OEM file's five, then the UTF-8 file's.
    SetCustomStrings(TEXT("long"), {WString(3000, u'l')});
    SetCustomStrings(TEXT("cafe"), {TEXT("café")});
    long failed = 0;
    HostForEachFailingAllocation(
        [&](long failing)
        {
            WriteFileBytes(path, backup);
            if (failing > 5)
                user.WillAnswer(IDYES);
            ExportTo(path);
        },
        [&](long failing, long leftBehind)
        {
            SCOPED_TRACE(testing::Message() << "allocation " << failing << " failing");
            failed = failing ? failing : failed;
            EXPECT_EQ(0, leftBehind);
            EXPECT_EQ(std::vector<WString>{TEXT("faults.txt")}, FileNames(scratch.path()));
            if (failing)
            {
                EXPECT_TRUE(user.ShowedLast(OUT_OF_MEMORY, CAPTION_ERROR));
                EXPECT_EQ(backup, ReadFileBytes(path));
            }
            else
            {
                EXPECT_TRUE(user.ShowedLast(Counted(EXPORTED_WITH_LOSSES, 1), CAPTION_WRITE));
                EXPECT_EQ("\xEF\xBB\xBF", ReadFileBytes(path).substr(0, 3));
            }
        });
    EXPECT_EQ(10, failed) << "allocations the export made";

    // Allocations: each of the two first readings' reader and parser (1-8; the second reads the
    // Shift JIS as UTF-8), then the second reading's (9-12), all before anything is stored.
    DeleteTree(CUSTOM_STYLE_KEY);
    WriteFileBytes(path, "--name A\r\n" SJIS_NIHONGO "\r\n--endmulti\r\n");
    failed = 0;
    HostForEachFailingAllocation(
        [&](long)
        {
            SetCustomStrings(TEXT("A"), {TEXT("old")});
            ImportFrom(path);
        },
        [&](long failing, long leftBehind)
        {
            SCOPED_TRACE(testing::Message() << "allocation " << failing << " failing");
            failed = failing ? failing : failed;
            EXPECT_EQ(0, leftBehind);
            EXPECT_TRUE(failing ? user.ShowedLast(OUT_OF_MEMORY, CAPTION_ERROR)
                                : user.ShowedLast(IMPORTED, CAPTION_READ));
            EXPECT_EQ(std::vector<WString>{failing ? TEXT("old") : TEXT("日本語")},
                      CustomStrings(TEXT("A")));
        });
    EXPECT_EQ(12, failed) << "allocations the import made";
}

TEST_F(KeyFileFaults, ASingleByteOemCodePageIsUsedAsItStands)
{
    HostSetOemCodePage(437);
    SetCustomStrings(TEXT("keys"), {TEXT("日本é")});
    user.WillAnswer(IDNO); // to the question whether to write UTF-8 instead
    ExportTo(path);
    EXPECT_EQ("--name keys\r\n??\x82\r\n--endmulti\r\n", ReadFileBytes(path));

    WriteFileBytes(path, "--name keys\r\n\x82\x81\r\n--endmulti\r\n");
    ImportFrom(path);
    EXPECT_EQ(std::vector<WString>{TEXT("éü")}, CustomStrings(TEXT("keys")));
    SetCustomStrings(TEXT("c"), {TEXT("\u00c7")}); // 0x80
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
    // A code page the platform cannot convert with writes no text, and says so.
    HostSetOemCodePage(1);
    DeleteTree(CUSTOM_STYLE_KEY);
    SetCustomStrings(TEXT("keys"), {TEXT("abc")});
    SetCustomStrings(TEXT("k"), {});
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(Counted(EXPORTED_WITH_LOSSES, 2), CAPTION_WRITE));
    EXPECT_EQ("--endmulti\r\n--endmulti\r\n", ReadFileBytes(path));
    // Nor does it read a byte beyond ASCII, here behind a CR in a file saved anew between the
    // readings: the import stops at that line.
    const std::string blocks = "--name A\r\nnew\r\n--endmulti\r\n--name B\r\nb\r\n--endmulti\r\n";
    WriteFileBytes(path, blocks);
    HostRewriteFileOnRewind(blocks.substr(0, blocks.find("b\r\n")) + "b\r\x80\n--endmulti\r\n");
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_IN_PART, 1), CAPTION_ERROR));
    EXPECT_EQ(std::vector<WString>{TEXT("new")}, CustomStrings(TEXT("A")));
    EXPECT_EQ(std::vector<WString>{TEXT("<missing>")}, CustomStrings(TEXT("B")));
}

// Asked under the user's cursor (the scripted user sees to that), a question along the way
// leaves the rest of the work under the wait cursor again.
TEST_F(KeyFileFaults, AfterAQuestionAlongTheWayTheWorkGoesOnUnderTheWaitCursor)
{
    SetCustomStrings(TEXT("keys"), {TEXT("caf\u00e9")});
    user.WillAnswer(IDYES);
    ExportTo(path);
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_ENUM_VALUE));
    WriteFileBytes(path, "--name keys\r\n\xE5\xA4\x89\xE6\x8F\x9B\r\n--endmulti\r\n");
    user.WillChooseFile(path);
    user.WillAnswer({IDYES, IDYES, IDOK});
    ImportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_EQ(LoadCursorW(NULL, IDC_WAIT), HostCursorAtLastCall(HOST_REG_SET_VALUE));
    EXPECT_EQ(std::vector<WString>{TEXT("変換")}, CustomStrings(TEXT("keys")));
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
