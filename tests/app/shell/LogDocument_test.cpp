#include "LogDocument.h"
#include "LogDocumentPrint.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

constexpr CharFormat kPlain{};

TEST(LogDocument, LineEndsStartParagraphs) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"abc", "abc", 1},   {"a\r\nb", "a\nb", 2},   {"a\nb", "a\nb", 2},    {"a\rb", "a\nb", 2},
        {"a\r\n", "a\n", 2}, {"\r\n\r\n", "\n\n", 3}, {"a\n\rb", "a\n\nb", 3}};
    for (const auto& [input, plain, paragraphs] : cases) {
        LogDocument doc;
        doc.appendText(QString::fromUtf8(input), kPlain);
        EXPECT_EQ(doc.plainText(), QString::fromUtf8(plain)) << input;
        EXPECT_EQ(doc.paragraphs().size(), paragraphs) << input;
    }
}

} // namespace
