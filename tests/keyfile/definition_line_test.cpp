// The line operations of the key-definition file: writing lines in each encoding, reading and
// trimming them in each encoding, and the directive words.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/definition_format.h"
#include "keyfile/definition_line.h"
#include "keyfile/line_reader.h"

namespace
{

class LineFile : public ::testing::Test
{
  protected:
    ScratchDirectory scratch;
    WString path = scratch.File(TEXT("line.txt"));
    // The bytes WriteDefinitionLines writes for the strings after `lead`.
    std::string Written(LPCWSTR lead, const WString& strings, FileEncoding encoding = ENCODING_OEM)
    {
        FILE* file = _wfopen(path.c_str(), TEXT("wb"));
        EXPECT_TRUE(file != NULL);
        if (!file)
            return "";
        LineOutput output;
        OpenLineOutput(&output, file, encoding);
        WriteDefinitionLines(&output, lead, strings.data(), (DWORD)strings.size(), FALSE);
        CloseLineOutput(&output);
        fclose(file);
        return ReadFileBytes(path);
    }
    // Every line ReadDefinitionLine gives for a file of these bytes, read as the second reading
    // does in `unmarked` when the file has no byte-order mark.
    std::vector<WString> Lines(const std::string& bytes, FileEncoding unmarked = ENCODING_OEM)
    {
        WriteFileBytes(path, bytes);
        FILE* file = _wfopen(path.c_str(), TEXT("rb"));
        std::vector<WString> lines;
        EXPECT_TRUE(file != NULL);
        if (!file)
            return lines;
        KeyFileReader reader;
        OpenKeyFileReader(&reader, file, unmarked, FALSE);
        std::vector<WCHAR> line(LINE_BUFFER_UNITS);
        while (ReadDefinitionLine(line.data(), &reader))
            lines.push_back(line.data());
        CloseKeyFileReader(&reader);
        fclose(file);
        return lines;
    }
    // The line the first reading keeps to show the user, or "<no text>".
    WString Differing(const std::string& bytes, FileEncoding unmarked)
    {
        WriteFileBytes(path, bytes);
        FILE* file = _wfopen(path.c_str(), TEXT("rb"));
        KeyFileReader reader;
        OpenKeyFileReader(&reader, file, unmarked, TRUE);
        std::vector<WCHAR> line(LINE_BUFFER_UNITS);
        while (ReadDefinitionLine(line.data(), &reader))
        {
        }
        WString differing = reader.text ? WString(reader.differing) : W(TEXT("<no text>"));
        CloseKeyFileReader(&reader);
        fclose(file);
        return differing;
    }
};

TEST_F(LineFile, EachStringIsWrittenWholeAsALineInTheFilesEncoding)
{
    EXPECT_EQ("--name " SJIS_NIHONGO SJIS_TESUTO " " SJIS_HALFWIDTH_A_I "\r\n",
              Written(TEXT("--name "), TEXT("日本語テスト ｱｲ")));
    // What the code page lacks becomes its default character, each half of a pair too.
    EXPECT_EQ("a?b?\r\n??\r\n", Written(TEXT(""), WString(TEXT("a€b丂\0\U0001F600"), 7)));
    // Each string with its terminator, or the last without one; no strings, no lines.
    EXPECT_EQ("a\r\n" SJIS_TESUTO "\r\n", Written(TEXT(""), WString(TEXT("a\0テスト\0"), 6)));
    EXPECT_EQ("a\r\nbc\r\n", Written(TEXT(""), WString(TEXT("a\0bc"), 4)));
    EXPECT_EQ("", Written(TEXT(""), WString()));
    // Longer than a list reading can take back, and than what gathers before a write.
    WString japanese;
    std::string expected;
    for (int i = 0; i < 2100; ++i)
    {
        japanese += TEXT("日");
        expected += "\x93\xFA";
    }
    EXPECT_EQ(std::string(3000, 's') + "\r\n" + expected + "\r\n",
              Written(TEXT(""), WString(3000, u's') + WString(1, 0) + japanese));
    EXPECT_EQ(expected.substr(0, 4000) + "\r\n", Written(TEXT(""), japanese.substr(0, 2000)));
    EXPECT_EQ("\xEF\xBB\xBF" + ToUtf8(japanese.substr(0, 2000)) + "\r\n",
              Written(TEXT(""), japanese.substr(0, 2000), ENCODING_UTF8));
    EXPECT_EQ(std::string(17000, 'l') + "\r\n", Written(TEXT(""), WString(17000, u'l')));
    // UTF-8 behind its mark; a surrogate outside its pair as U+FFFD.
    EXPECT_EQ(
        "\xEF\xBB\xBF" + ToUtf8(TEXT("--name café \U0001F600 \uFFFD\r\n")),
        Written(TEXT("--name "), TEXT("café \U0001F600 ") + WString(1, 0xDC00), ENCODING_UTF8));
}

TEST_F(LineFile, ReadingDropsLeadingBlanksAndEndsAtTheFirstLineBreakOr2045Bytes)
{
    EXPECT_EQ(
        (std::vector<WString>{TEXT("one"), TEXT("two  "), TEXT(""), TEXT("日本語テスト ｱｲ")}),
        Lines(" \t one\r\n\ttwo  \r\n\r\n" SJIS_NIHONGO SJIS_TESUTO " " SJIS_HALFWIDTH_A_I "\r\n"));
    // A lead byte and a byte after it that mean nothing together are no text: a file that reads
    // so the second time has changed since the first, and its reading stops there.
    EXPECT_EQ(std::vector<WString>{TEXT("one")}, Lines("one\na\x81 c\ntwo\n"));
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

TEST_F(LineFile, UnicodeLinesComeInPiecesOfAtMost2045BytesThatKeepEveryCharacterWhole)
{
    // Behind its mark, or an unmarked file read as UTF-8: the same rules as in Shift JIS.
    EXPECT_EQ((std::vector<WString>{TEXT("日本"), TEXT("b")}),
              Lines("\xEF\xBB\xBF \t" + ToUtf8(TEXT("日本\rx\n b"))));
    EXPECT_EQ((std::vector<WString>{TEXT("日本"), TEXT("b")}),
              Lines(ToUtf8(TEXT("日本\rx\n b")), ENCODING_UTF8));
    // 2,044 bytes and a character of three or four: it goes to the next piece whole; one more
    // byte fills the piece exactly.
    WString first = TEXT("a") + WString(681, u'日');
    EXPECT_EQ((std::vector<WString>{first, TEXT("日z")}),
              Lines(ToUtf8(first + TEXT("日z")), ENCODING_UTF8));
    EXPECT_EQ((std::vector<WString>{TEXT("a") + first, TEXT("日z")}),
              Lines(ToUtf8(TEXT("a") + first + TEXT("日z")), ENCODING_UTF8));
    EXPECT_EQ((std::vector<WString>{first, TEXT("\U0001F600")}),
              Lines(ToUtf8(first + TEXT("\U0001F600")), ENCODING_UTF8));
    // The lowest lead byte of two at byte 2,045 goes to the next piece, where it is no text.
    EXPECT_EQ(std::vector<WString>{WString(2044, u'a')},
              Lines(std::string(2044, 'a') + "\xC0\x80", ENCODING_UTF8));

    // A line beginning where less than two pieces are left of what was read: the reader reads
    // on before it cuts, here inside the last character.
    std::string edge = std::string(2044, 'a') + "\n" + "xxxxx\n" + ToUtf8(first + TEXT("日"));
    EXPECT_EQ((std::vector<WString>{WString(2044, u'a'), TEXT("xxxxx"), first, TEXT("日")}),
              Lines(edge, ENCODING_UTF8));

    // The first line beyond ASCII, kept to show the user: 20 characters whole, more cut to 19
    // and an ellipsis, a pair kept whole or not at all; none in a file of ASCII.
    const WString nineteen(19, u'a');
    for (const auto& kept : std::vector<std::pair<WString, WString>>{
             {nineteen + TEXT("é"), nineteen + TEXT("é")},
             {nineteen + TEXT("éb"), nineteen + TEXT("…")},
             {TEXT("éb"), TEXT("éb")},
             {nineteen + TEXT("\U0001F600"), nineteen + TEXT("…")},
             {WString(18, u'a') + TEXT("\U0001F600"), WString(18, u'a') + TEXT("\U0001F600")},
             {WString(18, u'a') + TEXT("\U00010000b"), WString(18, u'a') + TEXT("…")},
             {WString(17, u'a') + TEXT("\U00010000bc"), WString(17, u'a') + TEXT("\U00010000…")},
             // The units either side of the surrogates at the cut, and the first beyond ASCII.
             {WString(18, u'a') + TEXT("\uD7FFbc"), WString(18, u'a') + TEXT("\uD7FF…")},
             {WString(18, u'a') + TEXT("\U0010FFFDb"), WString(18, u'a') + TEXT("…")},
             {TEXT("\u0080b"), TEXT("\u0080b")}})
        EXPECT_EQ(kept.second,
                  Differing("x\n" + ToUtf8(kept.first) + "\n" + ToUtf8(TEXT("日")), ENCODING_UTF8));
    EXPECT_EQ(W(TEXT("")), Differing("abc\r" SJIS_NIHONGO "\ndef\n", ENCODING_OEM));
    EXPECT_EQ(W(TEXT("日本語")), Differing("\x7F\n" SJIS_NIHONGO, ENCODING_OEM));
    EXPECT_EQ(W(TEXT("日本語")), Differing("abc\r\n" SJIS_NIHONGO "\ndef\n", ENCODING_OEM));
    EXPECT_EQ(W(TEXT("<no text>")), Differing("abc\x93", ENCODING_OEM));

    // UTF-16 of either order: 1,022 units a piece, a surrogate pair never split.
    for (bool bigEndian : {false, true})
    {
        std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        WString pair = TEXT("\U0001F600");
        EXPECT_EQ((std::vector<WString>{WString(1021, u'a'), pair + TEXT("b")}),
                  Lines(mark + Utf16Bytes(WString(1021, u'a') + pair + TEXT("b"), bigEndian)));
        EXPECT_EQ((std::vector<WString>{WString(1020, u'a') + pair, TEXT("b")}),
                  Lines(mark + Utf16Bytes(WString(1020, u'a') + pair + TEXT("b"), bigEndian)));
        EXPECT_EQ((std::vector<WString>{TEXT("日本"), TEXT("b")}),
                  Lines(mark + Utf16Bytes(TEXT(" 日本\rx\n\tb"), bigEndian)));
        EXPECT_EQ((std::vector<WString>{WString(1022, u'c'), TEXT(""), WString(600, u'd')}),
                  Lines(mark + Utf16Bytes(WString(1022, u'c') + TEXT("\n") + WString(600, u'd'),
                                          bigEndian)));
    }
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
