#include "LogDocumentPrint.h"
#include "Rtf.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace verdan;

namespace {

constexpr CharFormat kPlain{};
constexpr CharFormat kBold{true, false, false};
constexpr CharFormat kItalic{false, true, false};
constexpr CharFormat kUnderline{false, false, true};
constexpr CharFormat kBoldItalic{true, true, false};
constexpr CharFormat kAll{true, true, true};

QByteArray readTestFile(const char* name) {
    QFile file(QStringLiteral(VERDAN_TEST_DATA_DIR "/rtf/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

LogDocument textDocument(const QString& text, const CharFormat& format = kPlain) {
    LogDocument doc;
    doc.appendText(text, format);
    return doc;
}

// ---- Writer ----

TEST(RtfWriter, WritesFixedPitchFontAttributesParagraphsAndPictures) {
    LogDocument doc;
    doc.appendText(QStringLiteral("Report Log\r\n"), CharFormat{true, false, true});
    doc.appendText(QStringLiteral("x"), kItalic);
    doc.appendText(QStringLiteral("y\n"), kPlain);
    doc.appendPicture(verdan::test::tinyPng(), 3, 4);
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\fmodern"));
    EXPECT_TRUE(rtf.contains("\\b \\ul Report Log\\par"));
    EXPECT_TRUE(rtf.contains("\\b0 \\i \\ulnone x\\i0 y\\par"));
    EXPECT_TRUE(rtf.contains("{\\pict\\pngblip\\picw3\\pich4\\picwgoal45\\pichgoal60\n"
                             "89504e470d0a1a0a"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
}

TEST(RtfWriter, EscapesSpecialAndNonAsciiCharacters) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"a\\b", "a\\\\b"},
        {u"{x}", "\\{x\\}"},
        {u"a\tb", "a\\tab b"},
        {u"Caf\u00e9", "Caf\\u233?"},
        {u"\u20ac", "\\u8364?"},
        {u"\uffff", "\\u-1?"},
        {u"\U0001F600", "\\u-10179?\\u-8704?"}};
    for (const auto& [text, expected] : cases) {
        const QByteArray rtf = writeRtf(textDocument(QString::fromUtf16(text)));
        EXPECT_TRUE(rtf.contains(expected)) << rtf.constData();
    }
}

// ---- Round trip ----

TEST(RtfRoundTrip, ReadBackEqualsWritten) {
    LogDocument attributes;
    for (const CharFormat& f : {kPlain, kBold, kItalic, kUnderline, kBoldItalic, kAll, kPlain})
        attributes.appendText("run ", f);
    LogDocument pictures;
    pictures.appendText("Profile\n", kBold);
    pictures.appendPicture(verdan::test::tinyPng(), 640, 480);
    pictures.appendText("\nafter", kPlain);
    pictures.appendPicture(QByteArray(1000, '\xab'), 1, 0);
    const std::pair<const char*, LogDocument> documents[] = {
        {"empty", LogDocument()},
        {"trailing line end", textDocument("Report Log\r\n", kAll)},
        {"attributes", attributes},
        {"pictures", pictures}};
    for (const auto& [name, written] : documents) {
        LogDocument read;
        ASSERT_TRUE(readRtf(writeRtf(written), read)) << name;
        EXPECT_EQ(read, written) << name;
        EXPECT_EQ(read.plainText(), written.plainText()) << name;
    }
}

// ---- Reader ----

TEST(RtfReader, ReadsPlainText) {
    const std::pair<const char*, const char16_t*> cases[] = {
        {"{\\rtf1 hello}", u"hello"},
        {"  \r\n{\\rtf1 lead}", u"lead"},
        {"{\\rtf1 a\\par b\\line c}", u"a\nb\nc"},
        {"{\\rtf1 a\r\nb\n}", u"ab"},
        {"{\\rtf1 a\\\nb}", u"a\nb"},
        {"{\\rtf1 \\\\\\{\\}}", u"\\{}"},
        {"{\\rtf1 a\\tab b}", u"a\tb"},
        {"{\\rtf1 \\'e9\\'80\\'9f\\'41}", u"\u00e9\u20ac\u0178A"},
        {"{\\rtf1 \\u233?x}", u"\u00e9x"},
        {"{\\rtf1 \\u-3913?}", u"\uf0b7"},
        {"{\\rtf1 \\uc2\\u233xyz}", u"\u00e9z"},
        {"{\\rtf1 \\uc0\\u233 x}", u"\u00e9x"},
        {"{\\rtf1 {\\uc3 \\u233abc}d}", u"\u00e9d"},
        {"{\\rtf1 \\u-10179?\\u-8704?}", u"\U0001F600"},
        {"{\\rtf1 {\\fonttbl{\\f0 Courier;}}{\\colortbl;\\red1;}text}", u"text"},
        {"{\\rtf1 {\\*\\generator Editor;}{\\*\\x{\\y z}}a}", u"a"},
        {"{\\rtf1 \\unknown123 a\\foo-5 b}", u"ab"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK}{\\fldrslt shown}}}", u"shown"},
        {"{\\rtf1 a\\~b\\-c\\_d}", u"a\u00a0bc\u2011d"},
        {"{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet}",
         u"\u2014\u2013\u2018\u2019\u201c\u201d\u2022"},
        {"{\\rtf1 a\\bin3 {}\\}", u"a"},
        {"{\\rtf1 x}\r\n \0", u"x"},
        {"{\\rtf1 \\'4}", u"4"},
        {"{\\rtf1 \\abcdefghijklmnopqrstuvwxyzabcdefghij x}", u"x"},
        {"{\\rtf1 \\b99999999999999999999 x}", u"x"}};
    for (const auto& [rtf, plain] : cases) {
        LogDocument doc;
        ASSERT_TRUE(readRtf(QByteArray(rtf), doc)) << rtf;
        EXPECT_EQ(doc.plainText(), QString::fromUtf16(plain)) << rtf;
    }
}

TEST(RtfReader, RejectsMalformedInputAndLeavesDocumentUnchanged) {
    const QByteArray inputs[] = {
        "hello",
        "{\\rtf1 x}}",
        "{\\rtf1 x}trailing junk",
        "{\\rt x}",
        "{ \\rtf1 x}",
        "\\rtf1 x}",
        "{\\rtf1 \\bin9999 x}",
        "{\\rtf1 {\\pict\\pngblip\\bin5 ab}}",
        QByteArray("{\\rtf1 ") + QByteArray(600, '{') + QByteArray(600, '}') + "}",
    };
    for (const QByteArray& input : inputs) {
        LogDocument doc = textDocument(QStringLiteral("keep\nme"), kBold);
        const LogDocument before = doc;
        EXPECT_FALSE(readRtf(input, doc)) << input.left(40).constData();
        EXPECT_EQ(doc, before) << input.left(40).constData();
    }
}

TEST(RtfReader, AcceptsNestingUpToItsDepthLimit) {
    LogDocument doc;
    const QByteArray rtf =
        QByteArray("{\\rtf1 ") + QByteArray(500, '{') + "deep" + QByteArray(500, '}') + "}";
    ASSERT_TRUE(readRtf(rtf, doc));
    EXPECT_EQ(doc.plainText(), "deep");
}

// ---- Hand-written sample files ----

TEST(RtfReader, ReadsAnEditorStyleFile) {
    const QByteArray rtf = readTestFile("editor_style.rtf");
    ASSERT_FALSE(rtf.isEmpty());
    LogDocument doc;
    ASSERT_TRUE(readRtf(rtf, doc));
    LogDocument expected;
    expected.appendText(QStringLiteral("Hello "), kPlain);
    expected.appendText(QStringLiteral("bold"), kBold);
    expected.appendText(QStringLiteral(" and "), kPlain);
    expected.appendText(QStringLiteral("italic"), kItalic);
    expected.appendText(QStringLiteral(" and "), kPlain);
    expected.appendText(QStringLiteral("under"), kUnderline);
    expected.appendText(QString::fromUtf16(u"\nCaf\u00e9 \u20ac costs {5}\n"), kPlain);
    expected.appendPicture(verdan::test::tinyPng(), 20, 30);
    expected.appendText(QStringLiteral("\n"), kPlain);
    expected.appendText(QStringLiteral("link"), kUnderline);
    expected.appendText(QStringLiteral("\n"), kPlain);
    EXPECT_EQ(doc, expected);
}

} // namespace
