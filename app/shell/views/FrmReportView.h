#pragma once

#include "FrmReportModel.h"

#include <QDialog>
#include <QPrinter>

class QAction;
class QPushButton;
class QTextEdit;

namespace verdan {

/// The report window: mirrors FrmReportModel (caption and the log's text in the read-only,
/// never-wrapping, fixed-pitch box `rtbLog`) and forwards the buttons and the "&File" menu
/// to it. Printing and printer setup are done here with the platform's print dialogs.
class FrmReportView : public QDialog {
    Q_OBJECT
public:
    /// `model` must outlive the view.
    explicit FrmReportView(FrmReportModel& model, QWidget* parent = nullptr);

    /// The rich text box.
    QTextEdit* rtbLog() const { return m_rtbLog; }
    /// The printer used by "Print" and set up by "Printer Setup".
    QPrinter& printer() { return m_printer; }

    /// "Print": the print dialog (offering the selection when text is selected); Cancel
    /// ends silently, otherwise the log is printed.
    void cmdPrint_Click();
    /// Menu "Printer Setup": the page setup dialog; Cancel changes nothing.
    void mnuFilePrinterSetup_Click();
    /// Prints to `printer`: the selected text when the printer's range is the selection
    /// and text is selected, otherwise the whole log.
    void printTo(QPrinter& printer);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    FrmReportModel& m_model;
    QTextEdit* m_rtbLog = nullptr;
    QPushButton* m_cmdClear = nullptr;
    QPushButton* m_cmdFile = nullptr;
    QPushButton* m_cmdPrint = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QPrinter m_printer;
    bool m_stale = true;
};

} // namespace verdan
