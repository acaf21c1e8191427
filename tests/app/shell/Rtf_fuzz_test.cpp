// Randomized robustness test of the RTF reader: valid documents are truncated and mutated
// thousands of times from a fixed starting value of the generator; every read must return (true or
// false) without a crash, and whatever it accepts must survive a write and a second read unchanged.
// Run under AddressSanitizer and UndefinedBehaviorSanitizer in CI.
#include "LogDocumentPrint.h"
#include "Rtf.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace verdan;

namespace {

std::vector<QByteArray> corpus() {
    std::vector<QByteArray> samples;
    const QDir folder(QStringLiteral(VERDAN_TEST_DATA_DIR "/rtf"));
    for (const QString& name : folder.entryList({QStringLiteral("*.rtf")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            samples.push_back(file.readAll());
    }
    LogDocument doc;
    doc.appendText(QStringLiteral("Report Log\r\n"), CharFormat{true, false, true});
    doc.appendText(QString::fromUtf16(u"Freq 100 MHz \u00b5 \u20ac {x} \\y\ttab\n"), CharFormat{});
    doc.appendText(QStringLiteral("italic\n"), CharFormat{false, true, false});
    doc.appendPicture(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"), 16, 8);
    samples.push_back(writeRtf(doc));
    samples.push_back("{\\rtf1{\\pict\\pngblip\\picw2\\pich2\\bin4 \x89PNG}\\u-4?\\'e9\\uc3 x}");
    samples.push_back("{\\rtf1{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict x}\\par}");
    return samples;
}

// Bytes that matter to the reader, to make mutations hit its branches often.
constexpr char kInteresting[] = "{}\\*'0123456789-abfpuicl \r\n?\x80\xff";

QByteArray mutate(QByteArray data, std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 5);
    const int rounds = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int r = 0; r < rounds && !data.isEmpty(); ++r) {
        std::uniform_int_distribution<qsizetype> position(0, data.size() - 1);
        const qsizetype at = position(rng);
        const char interesting =
            kInteresting[std::uniform_int_distribution<int>(0, sizeof(kInteresting) - 2)(rng)];
        switch (kind(rng)) {
        case 0: // truncate
            data.truncate(at);
            break;
        case 1: // overwrite with an interesting byte
            data[at] = interesting;
            break;
        case 2: // overwrite with any byte
            data[at] = char(std::uniform_int_distribution<int>(0, 255)(rng));
            break;
        case 3: // insert
            data.insert(at, interesting);
            break;
        case 4: // delete a span
            data.remove(at, std::uniform_int_distribution<qsizetype>(1, 16)(rng));
            break;
        default: // duplicate a span
            data.insert(at, data.mid(at, std::uniform_int_distribution<qsizetype>(1, 64)(rng)));
            break;
        }
    }
    return data;
}

TEST(RtfFuzz, MutatedAndTruncatedInputNeverCrashes) {
    const std::vector<QByteArray> samples = corpus();
    ASSERT_GE(samples.size(), 5u) << "the sample RTF files in tests/data/rtf are missing";
    std::mt19937 rng(20240607);
    int accepted = 0;
    int rejected = 0;
    for (int iteration = 0; iteration < 20000; ++iteration) {
        const QByteArray& sample = samples[std::size_t(iteration) % samples.size()];
        const QByteArray input = mutate(sample, rng);
        LogDocument doc;
        doc.appendText(QStringLiteral("previous"), CharFormat{});
        const LogDocument before = doc;
        if (!readRtf(input, doc)) {
            ++rejected;
            ASSERT_EQ(doc, before)
                << "a rejected input changed the document, iteration " << iteration;
            continue;
        }
        ++accepted;
        LogDocument again;
        ASSERT_TRUE(readRtf(writeRtf(doc), again)) << "iteration " << iteration;
        ASSERT_EQ(again, doc) << "iteration " << iteration;
    }
    // Both outcomes must be exercised, or the mutations do not test the reader.
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(rejected, 1000);
}

TEST(RtfFuzz, EveryPrefixOfValidInputReturns) {
    for (const QByteArray& sample : corpus()) {
        // Every prefix that ends before the final closing brace lacks that brace.
        const qsizetype complete = sample.lastIndexOf('}') + 1;
        ASSERT_GT(complete, 0);
        for (qsizetype length = 0; length < complete; ++length) {
            LogDocument doc;
            EXPECT_FALSE(readRtf(sample.left(length), doc)) << length;
        }
    }
}

} // namespace
