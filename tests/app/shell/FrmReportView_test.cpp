#include "FrmReportView.h"

#include "LogDocumentRender.h"
#include "RLogClass.h"
#include "ReportLogFixture.h"
#include "ScriptedPrompter.h"
#include "TestApplication.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextLayout>

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
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }

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

// Regression: the printed report cut every long line at the page's edge ("Coverage map: ...
// Ns"), because the window's unwrapped view was printed as it is. On paper lines wrap, and
// the window still shows them whole on one line.
TEST_F(FrmReportViewTest, RegressionPrintedLinesWrapAtThePageWidth) {
    QString longLine = QStringLiteral("Coverage map: tx 39.0800 N 76.7000 W, radius 30 km,");
    while (longLine.size() < 400)
        longLine += QStringLiteral(" Ns 301 N-units, eps 15, sgm 0.005 S/m,");
    log.AddLine(longLine);
    FrmReportView view(log.window());
    view.show();
    QTextDocument* shown = view.findChild<QTextEdit*>()->document();
    EXPECT_EQ(shown->defaultTextOption().wrapMode(), QTextOption::NoWrap);

    const std::unique_ptr<QTextDocument> paper = documentForPrinting(*shown);
    constexpr double kPageWidthPt = 500;
    paper->setPageSize(QSizeF(kPageWidthPt, 800));
    const QTextBlock block = paper->findBlock(paper->toPlainText().indexOf(longLine));
    ASSERT_TRUE(block.isValid());
    paper->documentLayout()->documentSize(); // lays the document out
    EXPECT_GT(block.layout()->lineCount(), 2);
    for (int i = 0; i < block.layout()->lineCount(); ++i)
        EXPECT_LE(block.layout()->lineAt(i).naturalTextWidth(), kPageWidthPt) << i;
    EXPECT_EQ(paper->toPlainText(), shown->toPlainText());
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
