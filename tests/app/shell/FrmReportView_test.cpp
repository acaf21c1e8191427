#include "FrmReportView.h"

#include "LogDocumentRender.h"
#include "RLogClass.h"
#include "ReportLogFixture.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

QByteArray redPng(int widthPx, int heightPx) {
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

class FrmReportViewTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "FrmReportView_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    void SetUp() override {
        verdan::test::writeSampleReport(log);
        log.insertPicture(redPng(40, 20), 40, 20);
        log.AddLine(QString());
    }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
};

TEST_F(FrmReportViewTest, RendersAttributesAndPictures) {
    QTextDocument doc;
    renderToTextDocument(log.document(), doc);
    const QTextBlock title = doc.firstBlock();
    ASSERT_TRUE(title.isValid());
    const QTextCharFormat titleFormat = title.begin().fragment().charFormat();
    EXPECT_EQ(title.text(), "Report Log");
    EXPECT_EQ(titleFormat.fontWeight(), QFont::Bold);
    EXPECT_TRUE(titleFormat.fontUnderline());
    EXPECT_TRUE(doc.findBlockByNumber(2).begin().fragment().charFormat().fontItalic());

    const QTextBlock pictureBlock = doc.findBlockByNumber(3);
    const QTextCharFormat pictureFormat = pictureBlock.begin().fragment().charFormat();
    ASSERT_TRUE(pictureFormat.isImageFormat());
    const QTextImageFormat image = pictureFormat.toImageFormat();
    EXPECT_EQ(image.width(), 40);
    EXPECT_EQ(image.height(), 20);
    const QImage resource =
        doc.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    EXPECT_EQ(resource.size(), QSize(40, 20));
}

TEST_F(FrmReportViewTest, PrintsTheWholeLogToPdf) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FrmReportView view(log.window());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = folder.filePath(QStringLiteral("log.pdf"));
    printer.setOutputFileName(path);
    view.printTo(printer);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    EXPECT_TRUE(content.startsWith("%PDF"));
    EXPECT_GT(content.size(), 1000);
}

} // namespace
