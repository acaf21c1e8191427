#pragma once

#include <QDialog>

class QTextBrowser;

namespace verdan {

/// The help viewer: an HTML help file opened at the anchor "context-N" of a context number.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(const QString& helpFile, int context, QWidget* parent = nullptr);
    /// The anchor a context number opens at.
    static QString anchorFor(int context) { return QStringLiteral("context-%1").arg(context); }
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace verdan
