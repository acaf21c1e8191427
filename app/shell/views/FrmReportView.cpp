#include "FrmReportView.h"

#include "LogDocumentRender.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QVBoxLayout>

namespace verdan {

FrmReportView::FrmReportView(FrmReportModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(model.screenName());

    m_rtbLog = new QTextEdit(this);
    m_rtbLog->setObjectName(QStringLiteral("rtbLog"));
    m_rtbLog->setReadOnly(true);
    m_rtbLog->setLineWrapMode(QTextEdit::NoWrap);
    m_rtbLog->setFont(reportFont());
    m_rtbLog->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    m_cmdClear = new QPushButton(QStringLiteral("C&lear Log"), this);
    m_cmdClear->setObjectName(QStringLiteral("cmdClear"));
    m_cmdFile = new QPushButton(QStringLiteral("Save to &File"), this);
    m_cmdFile->setObjectName(QStringLiteral("cmdFile"));
    m_cmdPrint = new QPushButton(QStringLiteral("P&rint"), this);
    m_cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    m_cmdClose = new QPushButton(QStringLiteral("Cl&ose"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* button : {m_cmdClear, m_cmdFile, m_cmdPrint, m_cmdClose})
        button->setAutoDefault(false);

    auto* menuBar = new QMenuBar(this);
    QMenu* mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuFileClearLog = mnuFile->addAction(QStringLiteral("&Clear Log"));
    mnuFileClearLog->setObjectName(QStringLiteral("mnuFileClearLog"));
    QAction* mnuFileSaveAs = mnuFile->addAction(QStringLiteral("&Save As ..."));
    mnuFileSaveAs->setObjectName(QStringLiteral("mnuFileSaveAs"));
    QAction* mnuFilePrinterSetup = mnuFile->addAction(QStringLiteral("Printer Setup"));
    mnuFilePrinterSetup->setObjectName(QStringLiteral("mnuFilePrinterSetup"));
    QAction* mnuFilePrint = mnuFile->addAction(QStringLiteral("&Print"));
    mnuFilePrint->setObjectName(QStringLiteral("mnuFilePrint"));
    QAction* mnuFileClose = mnuFile->addAction(QStringLiteral("&Close"));
    mnuFileClose->setObjectName(QStringLiteral("mnuFileClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdClear);
    buttons->addWidget(m_cmdFile);
    buttons->addWidget(m_cmdPrint);
    buttons->addStretch();
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_rtbLog);
    layout->addLayout(buttons);
    resize(760, 520);

    connect(m_cmdClear, &QPushButton::clicked, &m_model, &FrmReportModel::cmdClear_Click);
    connect(m_cmdFile, &QPushButton::clicked, &m_model, &FrmReportModel::cmdFile_Click);
    connect(m_cmdPrint, &QPushButton::clicked, this, &FrmReportView::cmdPrint_Click);
    connect(m_cmdClose, &QPushButton::clicked, &m_model, &FrmReportModel::cmdClose_Click);
    connect(mnuFileClearLog, &QAction::triggered, &m_model, &FrmReportModel::mnuFileClearLog_Click);
    connect(mnuFileSaveAs, &QAction::triggered, &m_model, &FrmReportModel::mnuFileSaveAs_Click);
    connect(mnuFilePrinterSetup, &QAction::triggered, this,
            &FrmReportView::mnuFilePrinterSetup_Click);
    connect(mnuFilePrint, &QAction::triggered, this, &FrmReportView::cmdPrint_Click);
    connect(mnuFileClose, &QAction::triggered, &m_model, &FrmReportModel::mnuFileClose_Click);

    // Rebuilding the box is proportional to the log's length: while the window is hidden
    // the log only marks it stale, and it is rebuilt when shown.
    connect(&m_model, &ScreenModel::changed, this, [this] {
        m_stale = true;
        if (isVisible())
            refresh();
    });
    connect(&m_model, &ScreenModel::closing, this, &QDialog::accept);
    refresh();
}

void FrmReportView::showEvent(QShowEvent* event) {
    if (m_stale)
        refresh();
    QDialog::showEvent(event);
}

void FrmReportView::refresh() {
    setWindowTitle(m_model.caption());
    renderToTextDocument(m_model.rtbLog(), *m_rtbLog->document());
    m_rtbLog->moveCursor(QTextCursor::End);
    m_rtbLog->ensureCursorVisible();
    m_stale = false;
}

void FrmReportView::cmdPrint_Click() {
    QPrintDialog dialog(&m_printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, m_rtbLog->textCursor().hasSelection());
    if (dialog.exec() != QDialog::Accepted)
        return;
    printTo(m_printer);
}

void FrmReportView::mnuFilePrinterSetup_Click() {
    QPageSetupDialog dialog(&m_printer, this);
    dialog.exec();
}

void FrmReportView::printTo(QPrinter& printer) {
    if (m_stale)
        refresh();
    const QTextCursor cursor = m_rtbLog->textCursor();
    if (printer.printRange() == QPrinter::Selection && cursor.hasSelection()) {
        // A child document finds the pictures among its parent's resources; its lines wrap.
        QTextDocument selection(m_rtbLog->document());
        selection.setDefaultFont(m_rtbLog->document()->defaultFont());
        QTextCursor(&selection).insertFragment(cursor.selection());
        selection.print(&printer);
        return;
    }
    // The window shows long lines unwrapped; on paper they wrap instead of being cut.
    documentForPrinting(*m_rtbLog->document())->print(&printer);
}

} // namespace verdan
