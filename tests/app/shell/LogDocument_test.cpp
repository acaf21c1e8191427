#include "LogDocument.h"
#include "LogDocumentPrint.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

constexpr CharFormat kPlain{};
constexpr CharFormat kBold{true, false, false};
constexpr CharFormat kTitle{true, false, true};

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

} // namespace
