#include "LogDocument.h"
#include "LogDocumentPrint.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

constexpr CharFormat kPlain{};
constexpr CharFormat kBold{true, false, false};
constexpr CharFormat kTitle{true, false, true};

TEST(LogDocument, NewDocumentIsOneEmptyParagraph) {
    const LogDocument doc;
    EXPECT_TRUE(doc.isEmpty());
    ASSERT_EQ(doc.paragraphs().size(), 1);
    EXPECT_TRUE(doc.paragraphs().first().items.isEmpty());
    EXPECT_EQ(doc.plainText(), QString());
}

struct LineEndCase {
    const char* input;
    const char* plain;
    int paragraphs;
};

class LogDocumentLineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(LogDocumentLineEnds, LineEndsStartParagraphs) {
    LogDocument doc;
    doc.appendText(QString::fromUtf8(GetParam().input), kPlain);
    EXPECT_EQ(doc.plainText(), QString::fromUtf8(GetParam().plain));
    EXPECT_EQ(doc.paragraphs().size(), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogDocumentLineEnds,
    testing::Values(LineEndCase{"abc", "abc", 1}, LineEndCase{"a\r\nb", "a\nb", 2},
                    LineEndCase{"a\nb", "a\nb", 2}, LineEndCase{"a\rb", "a\nb", 2},
                    LineEndCase{"a\r\n", "a\n", 2}, LineEndCase{"\r\n\r\n", "\n\n", 3},
                    LineEndCase{"a\n\rb", "a\n\nb", 3}));

TEST(LogDocument, AdjacentRunsOfSameFormatMerge) {
    LogDocument doc;
    doc.appendText(QStringLiteral("a"), kPlain);
    doc.appendText(QStringLiteral("b"), kPlain);
    doc.appendText(QStringLiteral("c"), kBold);
    ASSERT_EQ(doc.paragraphs().first().items.size(), 2);
    EXPECT_EQ(std::get<TextRun>(doc.paragraphs().first().items.at(0)).text, "ab");
    EXPECT_EQ(std::get<TextRun>(doc.paragraphs().first().items.at(1)),
              (TextRun{QStringLiteral("c"), kBold}));
}

TEST(LogDocument, EqualityIgnoresHowTextWasSplit) {
    LogDocument a;
    a.appendText(QStringLiteral("Report Log\r\nx"), kTitle);
    LogDocument b;
    b.appendText(QStringLiteral("Report "), kTitle);
    b.appendText(QString(), kPlain);
    b.appendText(QStringLiteral("Log\nx"), kTitle);
    EXPECT_EQ(a, b);
    b.appendText(QStringLiteral("y"), kPlain);
    EXPECT_NE(a, b);
}

TEST(LogDocument, FormatDifferenceMakesDocumentsUnequal) {
    LogDocument a;
    a.appendText(QStringLiteral("x"), kPlain);
    LogDocument b;
    b.appendText(QStringLiteral("x"), kBold);
    EXPECT_NE(a, b);
    EXPECT_EQ(a.plainText(), b.plainText());
}

TEST(LogDocument, PicturesAddNothingToPlainText) {
    LogDocument doc;
    doc.appendText(QStringLiteral("before"), kPlain);
    doc.appendPicture(QByteArray("\x89PNG", 4), 10, 20);
    doc.appendText(QStringLiteral("after"), kPlain);
    EXPECT_EQ(doc.plainText(), "beforeafter");
    EXPECT_EQ(doc.pictureCount(), 1);
    ASSERT_EQ(doc.paragraphs().first().items.size(), 3);
    EXPECT_EQ(std::get<Picture>(doc.paragraphs().first().items.at(1)),
              (Picture{QByteArray("\x89PNG", 4), 10, 20}));
}

TEST(LogDocument, EmptyPictureIsIgnoredAndNegativeSizesAreZero) {
    LogDocument doc;
    doc.appendPicture(QByteArray(), 10, 10);
    EXPECT_TRUE(doc.isEmpty());
    doc.appendPicture(QByteArray("x"), -5, -1);
    ASSERT_EQ(doc.pictureCount(), 1);
    EXPECT_EQ(std::get<Picture>(doc.paragraphs().first().items.first()),
              (Picture{QByteArray("x"), 0, 0}));
    EXPECT_FALSE(doc.isEmpty());
}

TEST(LogDocument, ClearLeavesOneEmptyParagraph) {
    LogDocument doc;
    doc.appendText(QStringLiteral("a\nb\nc"), kBold);
    doc.clear();
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ(doc, LogDocument());
}

TEST(LogDocument, TrailingEmptyParagraphIsNotEmptyDocument) {
    LogDocument doc;
    doc.appendParagraphBreak();
    EXPECT_FALSE(doc.isEmpty());
    EXPECT_EQ(doc.plainText(), "\n");
}

} // namespace
