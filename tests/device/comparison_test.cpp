// The device's file against program code on the host, byte for byte: the same files imported,
// the same styles exported, copied, made standard and deleted, from the same registry, with
// the same answers, leave the same registry, the same files and the same boxes; and so with
// each allocation of each command refused in turn.
#include "tests/device/side_by_side.h"
#include "tests/keyfile/keyfile_test_support.h"

#include "bench/bench_data.h"
#include "store/style_store.h"

namespace
{

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Block(const std::string& name, const std::string& lines)
{
    return "--name " + name + "\r\n" + lines + "--endmulti\r\n";
}

struct FileCase
{
    const char* what;
    std::string bytes;
    bool utf8; // the answer to the question whether to read UTF-8
};

// The file cases of the host suite's tables: every encoding, with and without its mark, and the
// edges of the reading rule.
std::vector<FileCase> FileCases()
{
    std::string kanji = "\xE6\x97\xA5\xE6\x9C\xAC"; // 日本 in UTF-8
    return {
        {"Shift_JIS", Block("k", SJIS_NIHONGO "\r\n" SJIS_TESUTO "\r\n" SJIS_HALFWIDTH_A_I "\n"),
         true},
        {"hand-edited",
         "# c\r\n  \t--name  A \r\n one\r\n\ttwo\n--endmulti more\r\nstray\r\n"
         "--name B\r\n--name\r\n--nameX\r\n--endmulti\r\n--name open\r\nx\r\n",
         true},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + Block("e", "\xF0\x9F\x98\x80\r\ncaf\xC3\xA9\r\n"),
         true},
        {"UTF-8 alone", Block("u", kanji + "\r\n\xED\x95\x9C\r\n"), true},
        {"UTF-8 or Shift_JIS, read as UTF-8", Block("k", "\xE5\xA4\x89\xE6\x8F\x9B\r\n"), true},
        {"UTF-8 or Shift_JIS, read as Shift_JIS", Block("k", "\xE5\xA4\x89\xE6\x8F\x9B\r\n"),
         false},
        {"UTF-16LE", "\xFF\xFE" + Utf16Bytes(TEXT("--name w\r\n日本\r\n--endmulti\r\n"), false),
         true},
        {"UTF-16BE",
         "\xFE\xFF" + Utf16Bytes(TEXT("--name w\r\n\U0001F600\r\n--endmulti\r\n"), true), true},
        {"UTF-16 without its mark", Utf16Bytes(TEXT("--name w\r\nx\r\n--endmulti\r\n"), false),
         true},
        {"malformed UTF-8 behind its mark", "\xEF\xBB\xBF" + Block("m", "a\xC0\x80\r\n"), true},
        {"a lead byte at the end", Block("k", "x\r\n") + "\x93", true},
        {"a zero byte", Block("k", std::string("a\0b\r\n", 5)), true},
        {"empty", "", true},
        {"lines of 2,045 and 2,046 bytes",
         Block("L", std::string(2045, 'a') + "\r\n" + std::string(2046, 'b') + "\r\n"), true},
        {"a Shift_JIS line cut inside a character", Block("c", Repeat("\x82\xA0", 1023) + "\r\n"),
         true},
        {"a UTF-8 line cut before a character",
         "\xEF\xBB\xBF" + Block("c", std::string(2044, 'a') + kanji + "\r\n"), true},
        {"blocks too large for the buffers",
         Block("Fits", std::string(1000, 's') + "\r\n" + std::string(1045, 's') + "\r\n") +
             Block("TooLarge", std::string(1000, 's') + "\r\n" + std::string(1046, 's') + "\r\n") +
             Block(std::string(256, 'N'), "x\r\n"),
         true},
    };
}

class BothSides : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        DeleteTree(IME_ROOT_KEY);
    }
    ScratchDirectory scratch;
    WString file = scratch.File(TEXT("keys.txt"));
};

TEST_F(BothSides, EveryFileOfTheHostTablesIsReadAlike)
{
    for (const FileCase& row : FileCases())
    {
        SCOPED_TRACE(row.what);
        CommandRun run{IMPORT_COMMAND,
                       WString(),
                       file,
                       row.utf8,
                       0,
                       [&]
                       {
                           SetCustomStrings(TEXT("k"), {TEXT("old")});
                           WriteFileBytes(file, row.bytes);
                       }};
        ExpectSameOnBothSides(run);
    }
}

// Key definitions from the benchmark's generator, and strings that do not come back or need
// UTF-8.
void StoreDefinitions(int count)
{
    CreateKey(CUSTOM_STYLE_KEY);
    HKEY custom = OpenKey(CUSTOM_STYLE_KEY);
    StoreDefinitions(custom, MakeKeyDefinitions(count));
    RegCloseKey(custom);
    SetCustomStrings(TEXT("Lost"), {TEXT(" lead"), TEXT("##"), WString(2046, u'x')});
    SetCustomStrings(TEXT("Wide"), {TEXT("caf\u00E9"), TEXT("\uD55C\uAD6D\uC5B4")});
    SetString(CUSTOM_STYLE_KEY, TEXT("Text"), TEXT("not a key definition"));
}

TEST_F(BothSides, ExportsOfThreeHundredStylesAreByteForByteAndComeBackOnEitherSide)
{
    for (bool utf8 : {false, true})
    {
        SCOPED_TRACE(utf8 ? "written as UTF-8" : "written as Shift_JIS");
        CommandRun exported{EXPORT_COMMAND, WString(), file,
                            utf8,           0,         [] { StoreDefinitions(300); }};
        Outcome host = ExpectSameOnBothSides(exported);
        std::map<WString, StoredValue> stored = host.tree.values;
        // Each side reads the other's file: the device's is the host's, byte for byte.
        CommandRun imported{IMPORT_COMMAND,
                            WString(),
                            file,
                            utf8,
                            0,
                            [&]
                            {
                                CreateKey(CUSTOM_STYLE_KEY);
                                WriteFileBytes(file, host.file);
                            }};
        Outcome back = ExpectSameOnBothSides(imported);
        size_t restored = 0;
        for (const auto& value : back.tree.values)
            restored += stored.count(value.first) && stored[value.first] == value.second;
        EXPECT_EQ(utf8 ? 301u : 300u, restored);
    }
}

// A style of every kind of value, below keys with classes, to copy over a Custom style that
// already has values of its own.
void StoreStyles()
{
    WString source = StylePath(TEXT("Source"));
    CreateKey(JoinPath(source, TEXT("Sub\\Deeper")), TEXT("a class"));
    SetString(source, TEXT("text"), TEXT("日本語"));
    SetValue(source, TEXT("number"), REG_DWORD, Bytes{1, 2, 3, 4});
    SetValue(source, TEXT("bytes"), REG_BINARY, Bytes{0, 255, 7});
    SetValue(JoinPath(source, TEXT("Sub")), TEXT("keys"), REG_MULTI_SZ,
             MultiString({TEXT("a"), TEXT("b")}));
    SetCustomStrings(TEXT("kept"), {TEXT("x")});
    CreateKey(StylePath(TEXT("Other")));
    SetStandardStyleValue(TEXT("Other"));
}

TEST_F(BothSides, CopyStandardAndDeleteLeaveTheSameRegistry)
{
    for (Command command : {COPY_COMMAND, SET_STANDARD_COMMAND, DELETE_COMMAND})
    {
        SCOPED_TRACE(command);
        ExpectSameOnBothSides(CommandRun{command, TEXT("Source"), WString(), true, 0, StoreStyles});
    }
}

// Each command with its first allocation refused, then its second, and so on, until a run
// makes fewer allocations than the one that was to fail (deletion makes none).
TEST_F(BothSides, EachAllocationOfEachCommandRefusedInTurn)
{
    std::string oemFile = Block("k", SJIS_NIHONGO "\r\n") + Block("j", "x\r\n");
    std::string utf8File = Block("k", "\xE5\xA4\x89\xE6\x8F\x9B\r\n");
    std::vector<std::pair<const char*, CommandRun>> runs = {
        {"set standard",
         CommandRun{SET_STANDARD_COMMAND, TEXT("Source"), WString(), true, 0, StoreStyles}},
        {"copy", CommandRun{COPY_COMMAND, TEXT("Source"), WString(), true, 0, StoreStyles}},
        {"delete", CommandRun{DELETE_COMMAND, TEXT("Source"), WString(), true, 0, StoreStyles}},
        {"export",
         CommandRun{EXPORT_COMMAND, WString(), file, true, 0, [] { StoreDefinitions(20); }}},
        {"import", CommandRun{IMPORT_COMMAND, WString(), file, true, 0,
                              [&]
                              {
                                  CreateKey(CUSTOM_STYLE_KEY);
                                  WriteFileBytes(file, oemFile);
                              }}},
        {"import asking", CommandRun{IMPORT_COMMAND, WString(), file, true, 0,
                                     [&]
                                     {
                                         CreateKey(CUSTOM_STYLE_KEY);
                                         WriteFileBytes(file, utf8File);
                                     }}},
    };
    for (auto& named : runs)
    {
        for (long failing = 1;; ++failing)
        {
            SCOPED_TRACE(std::string(named.first) + ", allocation " + std::to_string(failing));
            named.second.failingAllocation = failing;
            Outcome host = ExpectSameOnBothSides(named.second);
            ASSERT_LT(failing, 1000);
            if (host.allocations < failing)
            {
                printf("%s: %ld allocations, each refused in turn\n", named.first, failing - 1);
                break;
            }
        }
    }
}

} // namespace
