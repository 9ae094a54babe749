// The encodings a key-definition file is read in: strict UTF-8 and UTF-16 against the
// platform's own UTF-8 (on the host, the stand-in's encoder), at the edges of each form.
#include "tests/keyfile/keyfile_test_support.h"

#include "keyfile/file_encoding.h"
#include "keyfile/file_survey.h"

#include <new>

namespace
{

// Decodes the bytes; "<refused>" when they are not text in the encoding.
WString Decoded(FileEncoding encoding, const std::string& bytes)
{
    // Room beyond the units holds low surrogates, which no decoding may take for its own.
    std::vector<WCHAR> units(bytes.size() + 1, 0xDC00);
    int count = DecodeUnicode(encoding, (const BYTE*)bytes.data(), (int)bytes.size(), units.data());
    return count < 0 ? W(TEXT("<refused>")) : WString(units.data(), count);
}

std::string Encoded(const WString& text)
{
    std::vector<BYTE> bytes(3 * text.size() + 1);
    int length = EncodeUtf8(text.data(), (int)text.size(), bytes.data());
    return std::string((const char*)bytes.data(), length);
}

TEST(FileEncoding, Utf8AtTheEdgesOfEachFormRoundTripsAndAnythingElseIsRefused)
{
    // The first and last character of each length, the edges of the surrogates, and a pair.
    for (const WString& text :
         {W(TEXT("\u0001\u007F")), W(TEXT("\u0080\u07FF")), W(TEXT("\u0800\uD7FF")),
          W(TEXT("\uE000\uFFFF")), W(TEXT("\U00010000")), W(TEXT("\U0010FFFF a\u00e9日"))})
    {
        std::string utf8 = ToUtf8(text);
        EXPECT_EQ(utf8, Encoded(text)) << utf8;
        EXPECT_EQ((int)utf8.size(), MeasureUtf8(text.data(), (int)text.size())) << utf8;
        EXPECT_EQ(text, Decoded(ENCODING_UTF8, utf8)) << utf8;
    }
    // Overlong, surrogates, beyond U+10FFFF, a stray or missing continuation, a zero.
    for (const std::string& bytes : std::vector<std::string>{
             "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
             "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\x80", "a\xBF",
             "\xE6\x97", "\xE6\x97z", "\xF0\x9F\x98", std::string("a\0b", 3)})
        EXPECT_EQ(W(TEXT("<refused>")), Decoded(ENCODING_UTF8, bytes)) << bytes;
    // A surrogate outside its pair has no UTF-8 form: it is written as U+FFFD.
    for (const WString& lone : {WString(1, 0xD800), WString(1, 0xDC00), WString{0xDC00, 0xDC00},
                                WString{0xDBFF, u'a'}, WString{u'a', 0xDBFF}})
    {
        EXPECT_EQ(-1, MeasureUtf8(lone.data(), (int)lone.size()));
        std::string expected;
        for (WCHAR unit : lone)
            expected += unit == u'a' ? "a" : "\xEF\xBF\xBD";
        EXPECT_EQ(expected, Encoded(lone));
    }
}

TEST(FileEncoding, Utf16OfEitherOrderNeedsWholeUnitsAndWholePairs)
{
    const WString text = TEXT("a日\U0001F600\uFFFF");
    for (bool bigEndian : {false, true})
    {
        FileEncoding encoding = bigEndian ? ENCODING_UTF16BE : ENCODING_UTF16LE;
        EXPECT_EQ(text, Decoded(encoding, Utf16Bytes(text, bigEndian)));
        for (const WString& refused :
             {WString(1, 0xD800), WString(1, 0xDC00), WString{0xD800, 0xD800, 0xDC00},
              WString{0xDC00, 0xD800}, WString{u'a', 0}})
            EXPECT_EQ(W(TEXT("<refused>")), Decoded(encoding, Utf16Bytes(refused, bigEndian)));
        EXPECT_EQ(W(TEXT("<refused>")), Decoded(encoding, Utf16Bytes(text, bigEndian) + "a"));
    }
}

// Leaves the stack below the caller full of ones, so that a field the next call leaves unset
// shows there.
void DirtyStack()
{
    volatile BYTE junk[16384];
    for (size_t at = 0; at < sizeof(junk); ++at)
        junk[at] = 0xFF;
}

TEST(FileEncoding, AFileThatReadsAlikeInEveryEncodingAsksNothing)
{
    ScratchDirectory scratch;
    WString path = scratch.File(TEXT("survey.txt"));
    WriteFileBytes(path, "--name keys\r\nabc\r" SJIS_NIHONGO "\r\n--endmulti\r\n");
    FILE* file = _wfopen(path.c_str(), TEXT("rb"));
    ASSERT_TRUE(file != NULL);
    // The survey is made where ones were, in this frame or below it.
    alignas(KeyFileSurvey) BYTE storage[sizeof(KeyFileSurvey)];
    memset(storage, 0xFF, sizeof(storage));
    DirtyStack();
    const KeyFileSurvey& survey = *new (storage) KeyFileSurvey(SurveyKeyFile(file));
    fclose(file);
    EXPECT_TRUE(survey.complete && survey.text && !survey.empty && !survey.ambiguous);
    EXPECT_EQ(ENCODING_OEM, survey.encoding);
    EXPECT_EQ(1u, survey.definitions);
}

} // namespace
