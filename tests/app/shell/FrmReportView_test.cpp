#include "FrmReportView.h"

#include "LogDocumentRender.h"
#include "RLogClass.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
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
        log.Clear();
        log.AddLine(QStringLiteral("  Distance   Loss"));
        log.setItalic(true);
        log.AddLine(QStringLiteral("     10.0  120.5"));
        log.setItalic(false);
        log.insertPicture(redPng(40, 20), 40, 20);
        log.AddLine(QString());
    }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
};

TEST_F(FrmReportViewTest, MirrorsTheLogInAReadOnlyNonWrappingBox) {
    FrmReportView view(log.window());
    EXPECT_EQ(view.windowTitle(), "Report Log");
    QTextEdit* box = view.rtbLog();
    EXPECT_TRUE(box->isReadOnly());
    EXPECT_EQ(box->lineWrapMode(), QTextEdit::NoWrap);
    EXPECT_TRUE(QFontInfo(box->document()->defaultFont()).fixedPitch());
    EXPECT_EQ(box->toPlainText().remove(QChar::ObjectReplacementCharacter),
              log.document().plainText());
    EXPECT_EQ(box->textCursor().position(), box->document()->characterCount() - 1);
}

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

TEST_F(FrmReportViewTest, FollowsTheModelWhenShown) {
    FrmReportView view(log.window());
    view.show();
    log.AddLine(QStringLiteral("new line"));
    EXPECT_TRUE(view.rtbLog()->toPlainText().contains("new line"));
    log.setTitle(QStringLiteral("Other"));
    EXPECT_EQ(view.windowTitle(), "Other");
    view.hide();
    log.AddLine(QStringLiteral("while hidden"));
    view.show();
    EXPECT_TRUE(view.rtbLog()->toPlainText().contains("while hidden"));
}

TEST_F(FrmReportViewTest, ButtonsAndMenuReachTheModel) {
    FrmReportView view(log.window());
    view.show();
    auto* clear = view.findChild<QPushButton*>(QStringLiteral("cmdClear"));
    ASSERT_NE(clear, nullptr);
    EXPECT_TRUE(clear->text().remove(u'&') == "Clear Log");
    clear->click();
    EXPECT_TRUE(log.document().isEmpty());
    EXPECT_EQ(view.rtbLog()->toPlainText(), QString());

    auto* saveAs = view.findChild<QAction*>(QStringLiteral("mnuFileSaveAs"));
    ASSERT_NE(saveAs, nullptr);
    saveAs->trigger();
    EXPECT_EQ(prompter.saveRequests.size(), 1u);

    auto* close = view.findChild<QPushButton*>(QStringLiteral("cmdClose"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_TRUE(log.window().closeRequested());
    EXPECT_FALSE(view.isVisible());
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

TEST_F(FrmReportViewTest, PrintsTheSelectionWhenAsked) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    FrmReportView view(log.window());
    QTextCursor cursor(view.rtbLog()->document());
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    view.rtbLog()->setTextCursor(cursor);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPrintRange(QPrinter::Selection);
    const QString path = folder.filePath(QStringLiteral("selection.pdf"));
    printer.setOutputFileName(path);
    view.printTo(printer);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

} // namespace
