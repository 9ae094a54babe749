// Import into the Custom style: the open dialog and question, the parser's reading of
// hand-edited files, the round trip from export, and what the user is told.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/file_dialog.h"
#include "keyfile/import.h"
#include "resources/resource.h"
#include "store/style_store.h"
#include "base/window_globals.h"

#include <algorithm>
#include <map>

namespace
{

std::vector<WString> Sorted(std::vector<WString> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class Import : public KeyFileTest
{
  protected:
    // Writes the file and imports it.
    void ImportText(const std::string& bytes)
    {
        WriteFileBytes(path, bytes);
        ImportFrom(path);
    }
    WString path = scratch.File(TEXT("import.txt"));
};

TEST_F(Import, AsksForAnExistingFileAndConfirmsWithItsPathAndNoChangesNothing)
{
    WriteFileBytes(path, "--name keys\r\na\r\n--endmulti\r\n");
    user.WillChooseFile(path);
    user.WillAnswer(IDNO);
    ImportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    EXPECT_EQ(1u, user.boxes().size());
    EXPECT_TRUE(ValueNames(CUSTOM_STYLE_KEY).empty());

    ImportFrom(path);
    ASSERT_EQ(2u, user.fileDialogs().size());
    const ShownFileDialog& dialog = user.fileDialogs()[1];
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(windows.dialog(), dialog.owner);
    EXPECT_EQ(KEY_FILE_PATH_CAPACITY, dialog.capacity);
    EXPECT_EQ(W(TEXT("Open")), dialog.title);
    EXPECT_EQ((DWORD)(OFN_FILEMUSTEXIST | PLATFORM_FILE_DIALOG_FLAGS), dialog.flags);
    ASSERT_EQ(3u, user.boxes().size());
    EXPECT_TRUE(user.Showed(1, ASK_IMPORT, path, MB_YESNO));
    EXPECT_TRUE(user.Showed(2, IMPORTED, CAPTION_READ));
    EXPECT_EQ(std::vector<WString>{TEXT("a")}, CustomStrings(TEXT("keys")));
}

TEST_F(Import, TheLastFileChosenIsOfferedNextAndWithoutCustomNothingIsCreated)
{
    ExportTo(path);
    user.WillCancelFileDialog();
    ImportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
    ASSERT_EQ(2u, user.fileDialogs().size());
    EXPECT_EQ(path, user.fileDialogs()[1].initialFile);
    EXPECT_EQ(1u, user.boxes().size()); // the export's notice only

    // Without a Custom style nothing is created.
    DeleteTree(CUSTOM_STYLE_KEY);
    WriteFileBytes(path, "--name keys\r\na\r\n--endmulti\r\n");
    ImportFrom(path);
    EXPECT_TRUE(user.ShowedLast(NO_CUSTOM_STYLE, CAPTION_READ));
    EXPECT_FALSE(KeyExists(CUSTOM_STYLE_KEY));
}

TEST_F(Import, ReadsHandEditedShiftJisFilesLeniently)
{
    SetString(CUSTOM_STYLE_KEY, TEXT("Other"), TEXT("stays"));
    SetCustomStrings(TEXT("Second"), {TEXT("old"), TEXT("values")});
    ImportText("# a comment\r\n"
               "   # an indented comment\r\n"
               " \t \r\n"
               "stray before any block\r\n"
               "--name  \t Alpha \r\n"
               "  one\r\n"
               "\ttwo\n"
               "--endmulti and more words\r\n"
               "after the end: ignored\r\n"
               "--name First\r\n"
               "dropped with its block\r\n"
               "--name Second\r\n"
               "kept\r\n"
               "--endmultiple\r\n"
               "--name \r\n"
               "in a block without a name\r\n"
               "--endmulti\r\n"
               "--endmulti\r\n"
               "--name NoBlank\r\n"
               "--name\r\n"
               "--nameX\r\n"
               "--name\tTab\r\n"
               "# not a string\r\n"
               "--endmulti\r\n"
               "--name Empty\r\n"
               "--endmulti\r\n"
               "--name Unfinished\r\n"
               "never written\r\n");

    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
    EXPECT_EQ((std::vector<WString>{TEXT("Alpha "), TEXT("Empty"), TEXT("NoBlank"), TEXT("Other"),
                                    TEXT("Second")}),
              Sorted(ValueNames(CUSTOM_STYLE_KEY)));
    EXPECT_EQ((std::vector<WString>{TEXT("one"), TEXT("two")}), CustomStrings(TEXT("Alpha ")));
    EXPECT_EQ(std::vector<WString>{TEXT("kept")}, CustomStrings(TEXT("Second")));
    EXPECT_EQ((std::vector<WString>{TEXT("--name"), TEXT("--nameX"), TEXT("--name\tTab")}),
              CustomStrings(TEXT("NoBlank")));
    EXPECT_EQ((Bytes{0, 0}), ValueData(CUSTOM_STYLE_KEY, TEXT("Empty")));
    EXPECT_EQ(TextBytes(TEXT("stays")), ValueData(CUSTOM_STYLE_KEY, TEXT("Other")));

    // Shift JIS lines; 2045 bytes are one piece, whatever their characters, the rest a string of
    // its own. A piece that the rule cuts inside a character is no sign of another encoding (also
    // where it ends near the end of what the first reading has read, after a long comment), nor
    // is one character on a last line without its line end.
    std::string longLine = "a";
    WString firstPiece = TEXT("a");
    for (int i = 0; i < 1022; ++i)
    {
        longLine += SJIS_NIHONGO[0];
        longLine += SJIS_NIHONGO[1];
        firstPiece += TEXT("日");
    }
    ImportText("--name " SJIS_NIHONGO "\n" SJIS_TESUTO "\n" + longLine + "bbb\n--endmulti\n" + "#" +
               std::string(2098, 'c') + "\n--name cut\nx" + longLine +
               "\n--endmulti\n--name edge\nxx" + longLine + "\n--endmulti\n\x93\xFA");
    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
    EXPECT_EQ((std::vector<WString>{TEXT("テスト"), firstPiece, TEXT("bbb")}),
              CustomStrings(TEXT("日本語")));
    EXPECT_EQ(2u, CustomStrings(TEXT("cut")).size());
    // Cut inside its last character, a line of 1,023 "あ" (82 A0) gives two strings, each piece
    // converted by itself: the lead byte alone ends the first, the trail byte alone is the second.
    std::string hiragana;
    for (int i = 0; i < 1023; ++i)
        hiragana += "\x82\xA0";
    ImportText("--name a\r\n" + hiragana + "\r\n--endmulti\r\n");
    WCHAR lead = 0, trail = 0;
    MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "\x82", 1, &lead, 1);
    MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, "\xA0", 1, &trail, 1);
    EXPECT_EQ((std::vector<WString>{WString(1022, u'あ') + lead, WString(1, trail)}),
              CustomStrings(TEXT("a")));
    // An end directive whose line the reading rule cuts inside a character still ends its block.
    std::string endLine = "--endmulti";
    for (int i = 0; i < 1018; ++i)
        endLine += SJIS_NIHONGO[0] + std::string(1, SJIS_NIHONGO[1]);
    ImportText("--name k\r\nx\r\n" + endLine + "\r\n");
    EXPECT_EQ(std::vector<WString>{TEXT("x")}, CustomStrings(TEXT("k")));
    // A file whose only block stands indented.
    ImportText(" \t--name Indented\r\nx\r\n  --endmulti\r\n");
    EXPECT_EQ(std::vector<WString>{TEXT("x")}, CustomStrings(TEXT("Indented")));
}

TEST_F(Import, WhatExportWritesComesBack)
{
    SetCustomStrings(TEXT("A keys"), {TEXT("日本語"), TEXT("ｱｲ x "), TEXT("a#b")});
    SetCustomStrings(TEXT("B empty"), {});
    SetValue(CUSTOM_STYLE_KEY, TEXT("C stored long"), REG_MULTI_SZ,
             TextBytes(WString(TEXT("\0\0\0"), 3))); // empty list with room to spare
    SetCustomStrings(TEXT("D max"), {WString(2045, u'm')});
    SetString(CUSTOM_STYLE_KEY, TEXT("E text"), TEXT("untouched"));
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    ExportTo(path);
    DeleteTree(CUSTOM_STYLE_KEY);
    CreateKey(CUSTOM_STYLE_KEY);

    ImportFrom(path);

    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
    EXPECT_EQ((std::vector<WString>{TEXT("A keys"), TEXT("B empty"), TEXT("C stored long"),
                                    TEXT("D max")}),
              Sorted(ValueNames(CUSTOM_STYLE_KEY)));
    std::map<WString, StoredValue> after = TreeValues(CUSTOM_STYLE_KEY);
    for (LPCWSTR name : {TEXT("|A keys"), TEXT("|B empty"), TEXT("|D max")})
        EXPECT_EQ(before[name], after[name]) << ToUtf8(name);
    EXPECT_EQ((Bytes{0, 0}), after[TEXT("|C stored long")].data);
}

TEST_F(Import, ExportCountsExactlyTheKeyDefinitionsThatDoNotComeBack)
{
    SetCustomStrings(TEXT("Kept"), {TEXT("a b"), TEXT("日本語"), TEXT("x#"), TEXT("-- name")});
    SetCustomStrings(TEXT("Kept longest UTF-8 line"),
                     {TEXT("x"), TEXT("ab") + WString(681, u'日')});
    SetCustomStrings(TEXT("Kept longest line"), {WString(2045, u'm')});
    SetCustomStrings(TEXT("Kept fullest block"), {WString(1000, u's'), WString(1045, u's')});
    SetCustomStrings(TEXT("Kept longest Japanese line"), {WString(1022, u'日') + TEXT("a")});
    SetCustomStrings(TEXT("Kept longest Japanese line after ASCII"),
                     {TEXT("a") + WString(1022, u'日')});
    SetCustomStrings(TEXT("Too long a Japanese line"), {WString(1023, u'日')}); // 2,046 bytes
    SetCustomStrings(TEXT("Too long a UTF-8 line with a pair"),
                     {TEXT("x"), TEXT("y\U0001F600") + WString(2041, u'x')}); // 2,046 bytes
    SetCustomStrings(TEXT("Blank"), {TEXT(" lead")});
    SetCustomStrings(TEXT("Tab"), {TEXT("\tlead")});
    SetCustomStrings(TEXT("Comment"), {TEXT("##")});
    SetCustomStrings(TEXT("Name directive"), {TEXT("--name x")});
    SetCustomStrings(TEXT("End directive"), {TEXT("--endmultiple")});
    SetCustomStrings(TEXT("Line feed"), {TEXT("a\nb")});
    SetCustomStrings(TEXT("Leading line feed"), {TEXT("\nb")});
    SetCustomStrings(TEXT("Leading carriage return"), {TEXT("\rb")});
    SetCustomStrings(TEXT("Japanese line feed"), {TEXT("日\nb")});
    SetCustomStrings(TEXT("Carriage return"), {TEXT("a\rb")});
    SetCustomStrings(TEXT("Too long a line"), {WString(2046, u'l')});
    SetCustomStrings(TEXT("Too long a second line"), {TEXT("x"), WString(1023, u'日')});
    SetCustomStrings(TEXT("Too large a block"), {WString(1000, u's'), WString(1046, u's')});
    SetCustomStrings(TEXT("Outside the code page"), {TEXT("caf\u00e9")});
    SetCustomStrings(TEXT("Name outside the code page \u00e9"), {TEXT("x")});
    SetCustomStrings(TEXT("Lone surrogate"), {WString(1, 0xD800)}); // in no encoding
    SetCustomStrings(TEXT("Lone odd surrogate"), {TEXT("x") + WString(1, 0xDC01)});
    SetCustomStrings(WString(1, 0x0001) + TEXT("Control name"), {TEXT("x")});
    SetCustomStrings(WString(1, 0xD800) + TEXT("name"), {TEXT("x")});
    SetCustomStrings(WString(1, 0xDC00), {TEXT("x")});
    SetCustomStrings(TEXT("Outside the code page after Japanese"), {TEXT("日€")});
    SetCustomStrings(TEXT(""), {TEXT("empty name")});
    SetCustomStrings(TEXT(" Blank name"), {TEXT("x")});
    SetCustomStrings(WString(256, u'n'), {TEXT("x")});
    SetValue(CUSTOM_STYLE_KEY, TEXT("Unclosed list"), REG_MULTI_SZ, TextBytes(TEXT("ab")));
    std::map<WString, StoredValue> before = TreeValues(CUSTOM_STYLE_KEY);
    // Three would come back from UTF-8; in it, the longest Japanese lines take 3,067 bytes.
    std::vector<WString> kept = {WString(TEXT("|\u0001Control name")),
                                 TEXT("|Kept"),
                                 TEXT("|Kept fullest block"),
                                 TEXT("|Kept longest Japanese line"),
                                 TEXT("|Kept longest Japanese line after ASCII"),
                                 TEXT("|Kept longest UTF-8 line"),
                                 TEXT("|Kept longest line")};
    std::vector<WString> keptInUtf8 = {
        WString(TEXT("|\u0001Control name")), TEXT("|Kept"),
        TEXT("|Kept fullest block"),          TEXT("|Kept longest UTF-8 line"),
        TEXT("|Kept longest line"),           TEXT("|Name outside the code page \u00e9"),
        TEXT("|Outside the code page"),       TEXT("|Outside the code page after Japanese")};
    for (int answer : {IDNO, IDYES})
    {
        user.WillAnswer(answer);
        ExportTo(path);
        EXPECT_TRUE(user.Showed(user.boxes().size() - 2, Counted(ASK_UTF8_FILE, 3), CAPTION_WRITE,
                                MB_YESNO));
        EXPECT_TRUE(user.ShowedLast(Counted(EXPORTED_WITH_LOSSES, answer == IDNO ? 26 : 25),
                                    CAPTION_WRITE));
        EXPECT_EQ(answer == IDYES, ReadFileBytes(path).rfind("\xEF\xBB\xBF--name ", 0) == 0);

        // What the count promised: exactly the other values come back unchanged.
        DeleteTree(CUSTOM_STYLE_KEY);
        CreateKey(CUSTOM_STYLE_KEY);
        ImportFrom(path);
        std::vector<WString> unchanged;
        for (const auto& entry : TreeValues(CUSTOM_STYLE_KEY))
        {
            if (before.count(entry.first) && before[entry.first] == entry.second)
                unchanged.push_back(entry.first);
        }
        EXPECT_EQ(answer == IDNO ? kept : keptInUtf8, unchanged);
        for (const auto& entry : before) // "|" and the name
            SetValue(CUSTOM_STYLE_KEY, entry.first.substr(1), entry.second.type, entry.second.data);
    }
}

TEST_F(Import, EachFileIsReadInTheEncodingItsBytesShowOrRefusedAndStoresNothing)
{
    SetCustomStrings(TEXT("keys"), {TEXT("old")});
    const WString text = TEXT("  --name keys\r\n変換 \U0001F600 é\r\n--endmulti\r\n");
    const std::string block = "--name keys\r\nnew\r\n--endmulti\r\n";
    // Certain without a question: a byte-order mark, or UTF-8 that is no Shift JIS (あいうえお).
    for (const std::string& file :
         {"\xEF\xBB\xBF" + ToUtf8(text), "\xFF\xFE" + Utf16Bytes(text, false),
          "\xFE\xFF" + Utf16Bytes(text, true),
          "--name keys\r\n" + ToUtf8(TEXT("あいうえお\r\n")) + block})
    {
        ImportText(file);
        EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ)) << file;
        EXPECT_NE(std::vector<WString>{TEXT("old")}, CustomStrings(TEXT("keys"))) << file;
        SetCustomStrings(TEXT("keys"), {TEXT("old")});
    }
    ImportText("\xFF\xFE" + Utf16Bytes(text, false));
    EXPECT_EQ(std::vector<WString>{TEXT("変換 \U0001F600 é")}, CustomStrings(TEXT("keys")));
    ImportText("--name keys\r\n" + ToUtf8(TEXT("あいうえお\r\n")) + "--endmulti\r\n");
    EXPECT_EQ(std::vector<WString>{TEXT("あいうえお")}, CustomStrings(TEXT("keys")));

    // UTF-8 "変換" is also Shift JIS "螟画鋤": the user chooses, shown the first line that reads
    // differently, cut to 20 characters.
    const std::string henkan = ToUtf8(TEXT("変換"));
    struct
    {
        std::string file;
        int answer;
        LPCWSTR utf8;
        LPCWSTR shiftJis;
        LPCWSTR stored;
    } asked[] = {
        {"--name keys\r\n" + henkan + "\r\n--endmulti\r\n", IDYES, TEXT("変換"), TEXT("螟画鋤"),
         TEXT("変換")},
        {"--name keys\r\n# " + henkan + std::string(20, 'c') + "\r\n" + henkan +
             "\r\n--endmulti\r\n",
         IDNO, TEXT("# 変換ccccccccccccccc…"), TEXT("# 螟画鋤cccccccccccccc…"), TEXT("螟画鋤")},
    };
    for (const auto& file : asked)
    {
        WriteFileBytes(path, file.file);
        user.WillChooseFile(path);
        user.WillAnswer({IDYES, file.answer, IDOK});
        ImportCustomStyle(windows.dialog(), IDC_STYLE_LIST);
        EXPECT_TRUE(user.Showed(user.boxes().size() - 2, AskUtf8Reading(file.utf8, file.shiftJis),
                                path, MB_YESNO));
        EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
        EXPECT_EQ(std::vector<WString>{file.stored}, CustomStrings(TEXT("keys")));
    }
    // A Shift JIS file is no UTF-8, and an ASCII file reads alike in both: no question.
    ImportText(block + "--name sjis\r\n" SJIS_NIHONGO "\r\n--endmulti\r\n");
    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
    EXPECT_EQ(std::vector<WString>{TEXT("日本語")}, CustomStrings(TEXT("sjis")));
    DeleteTree(CUSTOM_STYLE_KEY);
    SetCustomStrings(TEXT("keys"), {TEXT("old")});

    // Text in no encoding it may be in: UTF-16 without a mark (its zero bytes), a binary file, a
    // character the file ends inside, also where the reading rule cuts the piece before it, a
    // cut piece that is no text before its cut either; behind a mark, UTF-8 that is malformed,
    // overlong, a surrogate, beyond U+10FFFF or cut off, UTF-16 of odd length or with a
    // surrogate outside its pair.
    std::string binary(65536, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = (char)(i * 131 + i / 251);
    const std::string utf8 = "\xEF\xBB\xBF" + block;
    const std::string utf16 = "\xFF\xFE" + Utf16Bytes(W(TEXT("--name keys\r\nnew\r\n")), false);
    for (const std::string& file :
         {Utf16Bytes(W(TEXT("--name keys\r\nnew\r\n--endmulti\r\n")), false), binary,
          "\xEF" + block, block + "\x93", block + std::string(2044, 'a') + "\x93",
          "\x86\xE3" + std::string(2043, 'a') + "\r\n" + block, utf8 + "\x93\xFA\r\n",
          utf8 + "\xC0\xAF\r\n", utf8 + "\xED\xA0\x80\r\n", utf8 + "\xF4\x90\x80\x80\r\n",
          utf8 + "\xE5\xA4", utf16 + "a", utf16 + std::string("\x3D\xD8\x41\x00", 4),
          utf16 + std::string("\x3D\xD8", 2), utf16 + std::string("\x00\xDE", 2)})
    {
        ImportText(file);
        EXPECT_TRUE(user.ShowedLast(UNREADABLE_ENCODING, CAPTION_ERROR)) << file;
    }
    // A mark with nothing behind it; the first byte of a UTF-16 mark alone is a character of
    // the code page.
    for (const std::string& file :
         {std::string("# a comment\r\na stray line\r\n"),
          std::string("--name Unfinished\r\nnever ended\r\n"), std::string("\xEF\xBB\xBF"),
          std::string("\xFF\xFE"), std::string("\xFE\xFF"), "\xFF" + block, "\xFE" + block})
    {
        ImportText(file);
        EXPECT_TRUE(user.ShowedLast(NO_DEFINITIONS_IN_FILE, CAPTION_READ)) << file;
    }
    EXPECT_EQ(std::vector<WString>{TEXT("keys")}, ValueNames(CUSTOM_STYLE_KEY));
    EXPECT_EQ(std::vector<WString>{TEXT("old")}, CustomStrings(TEXT("keys")));

    ImportText("");
    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
}

TEST_F(Import, BlocksTooLargeForTheBuffersAreDroppedWholeAndCountedWhenTheyEnd)
{
    std::string file;
    auto block = [&file](const std::string& name, std::initializer_list<size_t> lengths)
    {
        file += "--name " + name + "\r\n";
        for (size_t length : lengths)
            file += std::string(length, 's') + "\r\n";
        file += "--endmulti\r\n";
    };
    // 1000 and 1045 units with their terminators and the closing one fill 4096 bytes exactly.
    block("Fits", {1000, 1045});
    block("TooLarge", {1000, 1046});
    block(std::string(255, 'n'), {5});
    block(std::string(256, 'N'), {5});
    block("After", {1});
    ImportText(file);

    EXPECT_TRUE(user.ShowedLast(Counted(IMPORTED_WITH_UNSTORED, 2), CAPTION_READ));
    EXPECT_EQ((std::vector<WString>{WString(1000, u's'), WString(1045, u's')}),
              CustomStrings(TEXT("Fits")));
    EXPECT_EQ(std::vector<WString>{WString(5, u's')}, CustomStrings(WString(255, u'n')));
    EXPECT_EQ(std::vector<WString>{WString(1, u's')}, CustomStrings(TEXT("After")));
    EXPECT_EQ(3u, ValueNames(CUSTOM_STYLE_KEY).size());

    // A dropped block that never ends is not counted.
    DeleteTree(CUSTOM_STYLE_KEY);
    CreateKey(CUSTOM_STYLE_KEY);
    ImportText("--name TooLarge\r\n" + std::string(2000, 'a') + "\r\n" + std::string(2000, 'b') +
               "\r\n--name Next\r\nx\r\n--endmulti\r\n");
    EXPECT_TRUE(user.ShowedLast(IMPORTED, CAPTION_READ));
    EXPECT_EQ(std::vector<WString>{TEXT("Next")}, ValueNames(CUSTOM_STYLE_KEY));
}

} // namespace
