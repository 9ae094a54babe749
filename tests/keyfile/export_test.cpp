// Export of the Custom style: the save dialog, the file's exact bytes, and what the user is
// told.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/export.h"
#include "keyfile/file_dialog.h"
#include "store/style_store.h"
#include "base/window_globals.h"

namespace
{

#ifdef _WIN32
const DWORD RECORD_SIZE = sizeof(OPENFILENAMEW);
#else
const DWORD RECORD_SIZE = 76; // the handheld's record
#endif

// Every text of the filter with its terminator; the list's closing terminator not included.
const WCHAR FILTER[] = TEXT("Text(*.TXT)\0*.TXT\0All(*.*)\0*.*\0");
WString FilterList()
{
    return WString(FILTER, sizeof(FILTER) / sizeof(WCHAR) - 1);
}

class Export : public KeyFileTest
{
  protected:
    WString path = scratch.File(TEXT("export.txt"));
};

TEST_F(Export, AsksForTheFileAndWritesOneBlockPerMultiStringValueInShiftJis)
{
    // Name order is creation order, so the file's order is the same on every registry.
    SetCustomStrings(TEXT("A keys"), {TEXT("日本語"), TEXT("ｱｲ x"), TEXT("テスト")});
    SetCustomStrings(TEXT("B empty"), {});
    SetString(CUSTOM_STYLE_KEY, TEXT("C text"), TEXT("not a key definition"));
    SetValue(CUSTOM_STYLE_KEY, TEXT("D number"), REG_DWORD, Bytes{1, 0, 0, 0});
    SetCustomStrings(TEXT("E名前"), {TEXT("a"), TEXT(" b ")});
    SetValue(StylePath(TEXT("Custom\\Sub")), TEXT("F nested"), REG_MULTI_SZ,
             MultiString({TEXT("no")}));

    ExportTo(path);

    EXPECT_EQ("--name A keys\r\n" SJIS_NIHONGO "\r\n" SJIS_HALFWIDTH_A_I " x\r\n" SJIS_TESUTO
              "\r\n--endmulti\r\n"
              "--name B empty\r\n--endmulti\r\n"
              "--name E\x96\xBC\x91\x4F\r\na\r\n b \r\n--endmulti\r\n",
              ReadFileBytes(path));
    ASSERT_EQ(1u, user.boxes().size());
    // " b " will come back without its leading blank.
    EXPECT_TRUE(user.Showed(0, Counted(EXPORTED_WITH_LOSSES, 1), CAPTION_WRITE));

    ASSERT_EQ(1u, user.fileDialogs().size());
    const ShownFileDialog& dialog = user.fileDialogs()[0];
    EXPECT_TRUE(dialog.save);
    EXPECT_EQ(RECORD_SIZE, dialog.size);
    EXPECT_EQ(windows.dialog(), dialog.owner);
    EXPECT_EQ(FilterList(), dialog.filter);
    EXPECT_EQ(KEY_FILE_PATH_CAPACITY, dialog.capacity);
    EXPECT_EQ(W(TEXT("Save")), dialog.title);
    EXPECT_EQ((DWORD)(OFN_OVERWRITEPROMPT | PLATFORM_FILE_DIALOG_FLAGS), dialog.flags);
    EXPECT_EQ(W(INITIAL_KEY_FILE), dialog.initialFile);
    EXPECT_TRUE(dialog.restZero);
    EXPECT_EQ(path, WString(g_keyFilePath));
}

TEST_F(Export, ACancelledDialogOrAMissingCustomStyleWritesNothing)
{
    SetCustomStrings(TEXT("keys"), {TEXT("a")});
    user.WillCancelFileDialog();
    ExportCustomStyle(windows.dialog(), 0);
    EXPECT_TRUE(user.boxes().empty());
    EXPECT_EQ(W(INITIAL_KEY_FILE), WString(g_keyFilePath));

    DeleteTree(CUSTOM_STYLE_KEY);
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(NO_CUSTOM_STYLE, CAPTION_EXPORT));
    EXPECT_EQ("<missing>", ReadFileBytes(path));
}

TEST_F(Export, ExportingAgainToOneNameReplacesTheFileAnEmptyStyleWithAnEmptyFile)
{
    SetCustomStrings(TEXT("keys"), {TEXT("first"), TEXT("longer first")});
    ExportTo(path);
    SetCustomStrings(TEXT("keys"), {TEXT("second")});
    ExportTo(path);
    EXPECT_EQ("--name keys\r\nsecond\r\n--endmulti\r\n", ReadFileBytes(path));
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
    EXPECT_EQ(2u, user.boxes().size());

    DeleteTree(CUSTOM_STYLE_KEY);
    SetString(CUSTOM_STYLE_KEY, TEXT("text"), TEXT("x"));
    ExportTo(path);
    EXPECT_EQ("", ReadFileBytes(path));
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
}

TEST_F(Export, LongStringsAreWrittenWholeAndMalformedListsWithinTheirData)
{
    // Name order is creation order.
    Bytes noClosingString = TextBytes(WString(TEXT("ab\0cd"), 5)); // ab 0 cd 0
    Bytes unterminated = TextBytes(TEXT("ab"));
    unterminated.resize(4); // a b, no terminator
    Bytes oddLength = TextBytes(TEXT("xy"));
    oddLength.resize(5); // x y and half a unit
    SetValue(CUSTOM_STYLE_KEY, TEXT("A"), REG_MULTI_SZ, noClosingString);
    SetValue(CUSTOM_STYLE_KEY, TEXT("B"), REG_MULTI_SZ, unterminated);
    SetValue(CUSTOM_STYLE_KEY, TEXT("C"), REG_MULTI_SZ, oddLength);
    SetValue(CUSTOM_STYLE_KEY, TEXT("D"), REG_MULTI_SZ, Bytes());
    // Lists longer than one conversion takes: one that ends inside its string (the buffer beyond
    // it still holds the list read before), one with U+0001.
    SetCustomStrings(TEXT("Dz"), {WString(3000, u'z')});
    Bytes longUnterminated = UnitBytes(WString(2100, u'u'));
    SetValue(CUSTOM_STYLE_KEY, TEXT("E"), REG_MULTI_SZ, longUnterminated);
    SetCustomStrings(TEXT("F"), {TEXT("a\u0001b") + WString(2100, u'f')});
    // Longer than the formatting buffer; a name line longer than the output's whole buffer, as
    // the desktop's registry allows.
    SetCustomStrings(WString(1500, u'n'), {WString(3000, u's'), TEXT("after")});
    SetCustomStrings(WString(16383, u'n'), {TEXT("x")});

    ExportTo(path);

    EXPECT_EQ("--name A\r\nab\r\ncd\r\n--endmulti\r\n"
              "--name B\r\nab\r\n--endmulti\r\n"
              "--name C\r\nxy\r\n--endmulti\r\n"
              "--name D\r\n--endmulti\r\n"
              "--name Dz\r\n" +
                  std::string(3000, 'z') + "\r\n--endmulti\r\n--name E\r\n" +
                  std::string(2100, 'u') +
                  "\r\n--endmulti\r\n--name F\r\na\x01"
                  "b" +
                  std::string(2100, 'f') + "\r\n--endmulti\r\n--name " + std::string(1500, 'n') +
                  "\r\n" + std::string(3000, 's') + "\r\nafter\r\n--endmulti\r\n--name " +
                  std::string(16383, 'n') + "\r\nx\r\n--endmulti\r\n",
              ReadFileBytes(path));
}

TEST_F(Export, AFileIsReplacedOnlyWhenWritableAndNoOtherFileIsTouched)
{
    SetCustomStrings(TEXT("keys"), {TEXT("new")});
    WriteFileBytes(path, "old");
    // A name the export might have taken for its new file.
    WriteFileBytes(path + TEXT("~00"), "another file");
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE));
    const std::string written = "--name keys\r\nnew\r\n--endmulti\r\n";
    EXPECT_EQ(written, ReadFileBytes(path));
    EXPECT_EQ("another file", ReadFileBytes(path + TEXT("~00")));
    const std::vector<WString> files = {TEXT("export.txt"), TEXT("export.txt~00")};
    EXPECT_EQ(files, FileNames(scratch.path()));

    namespace fs = std::filesystem;
    fs::path file(path);
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    SetCustomStrings(TEXT("keys"), {TEXT("newer")});
    ExportTo(path);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(written, ReadFileBytes(path));
    EXPECT_EQ(files, FileNames(scratch.path()));
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    // Names beside it run from ~00 to ~99: with none free nothing is written, with one only a new
    // file, whose old one would have no name to move aside to where the platform cannot replace
    // it in one step.
    for (int number = 1; number < 100; ++number)
        WriteFileBytes(path + TEXT("~") + Number(number, 2), "another file");
    DeleteFileW(path.c_str());
    for (int number : {0, 99})
    {
        ExportTo(path);
        EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR)) << number;
        DeleteFileW((path + TEXT("~") + Number(number, 2)).c_str());
        ExportTo(path);
        EXPECT_TRUE(user.ShowedLast(EXPORTED, CAPTION_WRITE)) << number;
        ExportTo(path);
        EXPECT_TRUE(user.ShowedLast(PLATFORM_MOVE_REPLACES_FILES ? EXPORTED : EXPORT_FAILED,
                                    PLATFORM_MOVE_REPLACES_FILES ? CAPTION_WRITE : CAPTION_ERROR))
            << number;
        WriteFileBytes(path + TEXT("~") + Number(number, 2), "another file");
        DeleteFileW(path.c_str());
    }
}

// A storage card that fills up part-way: the file there stays as it was, byte for byte, and
// nothing is left beside it.
TEST_F(Export, AFullCardLeavesTheFileThereAsItWasAndNothingBesideIt)
{
    WString folder = SmallMediumFolder(scratch);
    if (folder.empty())
        GTEST_SKIP() << "no small file system to fill: the tests mount one when run as root";
    SetCustomStrings(TEXT("keys"), std::vector<WString>(24, WString(1500, u'k'))); // 36 KB
    const WString backup = folder + TEXT("backup.txt");
    const std::string old(3003, 'o');
    WriteFileBytes(backup, old);
    FillMedium(folder);
    const std::vector<WString> files = FileNames(folder);
    ExportTo(backup);
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(old, ReadFileBytes(backup));
    FillMedium(folder);
    ExportTo(folder + TEXT("new.txt"));
    EXPECT_TRUE(user.ShowedLast(EXPORT_FAILED, CAPTION_ERROR));
    EXPECT_EQ(files, FileNames(folder));
}

// The block writer alone, each list in a heap buffer of exactly its length.
class DefinitionBlock : public ::testing::Test
{
  protected:
    std::string Written(LPCWSTR name, const Bytes& data)
    {
        FILE* file = _wfopen(path.c_str(), TEXT("wb"));
        EXPECT_TRUE(file != NULL);
        if (!file)
            return "";
        BYTE* exact = (BYTE*)malloc(data.size() ? data.size() : 1);
        if (!data.empty())
            memcpy(exact, data.data(), data.size());
        LineOutput output;
        OpenLineOutput(&output, file, ENCODING_OEM);
        WriteDefinitionBlock(&output, name, exact, (DWORD)data.size());
        CloseLineOutput(&output);
        free(exact);
        fclose(file);
        return ReadFileBytes(path);
    }
    ScratchDirectory scratch;
    WString path = scratch.File(TEXT("block.txt"));
};

TEST_F(DefinitionBlock, TheListEndsAtItsFirstEmptyString)
{
    EXPECT_EQ("--name k\r\na\r\n--endmulti\r\n",
              Written(TEXT("k"), TextBytes(WString(TEXT("a\0\0b\0"), 5))));
    EXPECT_EQ("--name k\r\n--endmulti\r\n", Written(TEXT("k"), TextBytes(TEXT(""))));
    EXPECT_EQ("--name k\r\n--endmulti\r\n", Written(TEXT("k"), Bytes{0}));
    Bytes oneUnit = TextBytes(TEXT("z"));
    oneUnit.resize(2);
    EXPECT_EQ("--name \r\nz\r\n--endmulti\r\n", Written(TEXT(""), oneUnit));
}

} // namespace
