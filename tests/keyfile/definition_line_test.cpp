// The line operations of the key-definition file: conversion to and from the OEM code page,
// writing a formatted line, reading and trimming a line, and the directive words.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"
#include "keyfile/text_conversion.h"

namespace
{

std::string Oem(LPCWSTR text)
{
    char* bytes = ToOemText(text);
    std::string result(bytes);
    free(bytes);
    return result;
}

WString Wide(const char* bytes)
{
    WCHAR* text = ToWideText(bytes);
    WString result(text);
    free(text);
    return result;
}

TEST(TextConversion, ShiftJisRoundTripsJapaneseAndWhatItCannotMapBecomesTheDefaultCharacter)
{
    EXPECT_EQ(SJIS_NIHONGO SJIS_TESUTO " " SJIS_HALFWIDTH_A_I, Oem(TEXT("日本語テスト ｱｲ")));
    EXPECT_EQ(W(TEXT("日本語テスト ｱｲ")), Wide(SJIS_NIHONGO SJIS_TESUTO " " SJIS_HALFWIDTH_A_I));
    EXPECT_EQ("", Oem(TEXT("")));
    EXPECT_EQ(W(TEXT("")), Wide(""));

    EXPECT_EQ("a?b?", Oem(TEXT("a€b丂")));
    // Each half of a surrogate pair stands for itself.
    EXPECT_EQ("??", Oem(TEXT("\U0001F600")));
    // A lead byte takes the byte after it, even when the pair means nothing.
    EXPECT_EQ(W(TEXT("a\u30FBc")), Wide("a\x81 c"));
    // A line cut after a lead byte: the pair with the terminator still ends the text.
    EXPECT_EQ(W(TEXT("ab\u30FB")), Wide("ab\x81"));
}

class LineFile : public ::testing::Test
{
  protected:
    ScratchDirectory scratch;
    WString path = scratch.File(TEXT("line.txt"));
    // The bytes WriteFormattedLine writes for the format and its one text.
    std::string Formatted(LPCWSTR format, const WString& text = WString())
    {
        FILE* file = _wfopen(path.c_str(), TEXT("wb"));
        EXPECT_TRUE(file != NULL);
        if (!file)
            return "";
        WriteFormattedLine(file, format, text.c_str());
        fclose(file);
        return ReadFileBytes(path);
    }
    // Every line ReadDefinitionLine gives for a file of these bytes.
    std::vector<WString> Lines(const std::string& bytes)
    {
        WriteFileBytes(path, bytes);
        FILE* file = _wfopen(path.c_str(), TEXT("rb"));
        std::vector<WString> lines;
        EXPECT_TRUE(file != NULL);
        if (!file)
            return lines;
        std::vector<WCHAR> line(LINE_BUFFER_UNITS);
        while (ReadDefinitionLine(line.data(), file))
            lines.push_back(line.data());
        fclose(file);
        return lines;
    }
};

TEST_F(LineFile, FormattedLinesAreWrittenWholeInTheOemCodePageWithoutTerminator)
{
    EXPECT_EQ("--name " SJIS_NIHONGO "\r\n", Formatted(TEXT("--name %s\r\n"), TEXT("日本語")));
    EXPECT_EQ("--endmulti\r\n", Formatted(TEXT("--endmulti\r\n")));
    // Lines longer than the formatting buffer.
    EXPECT_EQ("--name " + std::string(3000, 'x') + "\r\n",
              Formatted(TEXT("--name %s\r\n"), WString(3000, u'x')));
    // 1020 units fit the buffer as units but not as bytes: the bytes are not the limit.
    WString japanese;
    std::string expected;
    for (int i = 0; i < 1020; ++i)
    {
        japanese += TEXT("日");
        expected += "\x93\xFA";
    }
    EXPECT_EQ(expected + "\r\n", Formatted(TEXT("%s\r\n"), japanese));
    // Just at and just past the buffer: 1021 units and CR LF take 1023 units.
    EXPECT_EQ(std::string(1021, 'y') + "\r\n", Formatted(TEXT("%s\r\n"), WString(1021, u'y')));
    EXPECT_EQ(std::string(1022, 'z') + "\r\n", Formatted(TEXT("%s\r\n"), WString(1022, u'z')));
}

TEST_F(LineFile, ReadingDropsLeadingBlanksAndEndsAtTheFirstLineBreakOr2045Bytes)
{
    EXPECT_EQ((std::vector<WString>{TEXT("one"), TEXT("two  "), TEXT(""), TEXT("日本語")}),
              Lines(" \t one\r\n\ttwo  \r\n\r\n" SJIS_NIHONGO "\r\n"));
    // LF alone ends a line as CR LF does; a last line needs no line end.
    EXPECT_EQ((std::vector<WString>{TEXT("a"), TEXT("b"), TEXT("c")}), Lines("a\nb\n c"));
    // CR alone is no line end for the reader: the rest of the piece is lost.
    EXPECT_EQ((std::vector<WString>{TEXT("a")}), Lines("a\rb\rc"));
    // A CR inside a line cuts it there.
    EXPECT_EQ((std::vector<WString>{TEXT("ab"), TEXT("next")}), Lines("ab\rcd\nnext\n"));
    EXPECT_TRUE(Lines("").empty());

    // Long lines come in pieces of 2045 bytes.
    std::string line = std::string(2045, 'a') + std::string(2045, 'b') + "cc\r\n";
    EXPECT_EQ((std::vector<WString>{WString(2045, u'a'), WString(2045, u'b'), TEXT("cc")}),
              Lines(line));
    // A piece of exactly 2045 bytes leaves its line end for an empty line.
    EXPECT_EQ((std::vector<WString>{WString(2045, u'a'), TEXT("")}),
              Lines(std::string(2045, 'a') + "\n"));
    // Blanks at the start of a later piece are dropped too.
    EXPECT_EQ((std::vector<WString>{WString(2045, u'a'), TEXT("b")}),
              Lines(std::string(2045, 'a') + "  b"));

    // A piece cut inside a double-byte character stays within the line.
    line = "ab";
    WString first = TEXT("ab");
    for (int i = 0; i < 1021; ++i)
    {
        line += "\x93\xFA";
        first += TEXT("日");
    }
    // Byte 2045 is the lead byte of the next character, its trail the next piece's start.
    line += "\x93\xFA";
    std::vector<WString> lines = Lines(line + "\r\n");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(first + WString(1, (WCHAR)0x30FB), lines[0]);
    // The trail byte 0xFA is itself a lead byte, which takes the terminator along.
    EXPECT_EQ(WString(1, (WCHAR)0x30FB), lines[1]);
}

TEST(MatchDirective, TheWholeWordMustBeginTheLine)
{
    LPCWSTR line = TEXT("--name \t  Key A ");
    EXPECT_EQ(line + 10, MatchDirective(line, TEXT("--name ")));
    EXPECT_EQ(W(TEXT("Key A ")), WString(MatchDirective(line, TEXT("--name "))));
    EXPECT_EQ(W(TEXT("")), WString(MatchDirective(TEXT("--name "), TEXT("--name "))));
    EXPECT_EQ(nullptr, MatchDirective(TEXT("--name"), TEXT("--name ")));
    EXPECT_EQ(nullptr, MatchDirective(TEXT("--nameX"), TEXT("--name ")));
    EXPECT_EQ(nullptr, MatchDirective(TEXT("--name\tX"), TEXT("--name ")));
    EXPECT_EQ(nullptr, MatchDirective(TEXT(" --name X"), TEXT("--name ")));
    EXPECT_EQ(nullptr, MatchDirective(TEXT(""), TEXT("--endmulti")));
    EXPECT_EQ(nullptr, MatchDirective(TEXT("--endmult"), TEXT("--endmulti")));
    EXPECT_NE(nullptr, MatchDirective(TEXT("--endmulti"), TEXT("--endmulti")));
    EXPECT_NE(nullptr, MatchDirective(TEXT("--endmultiple"), TEXT("--endmulti")));
}

} // namespace
