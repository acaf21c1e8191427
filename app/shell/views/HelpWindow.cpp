#include "HelpWindow.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace verdan {

HelpWindow::HelpWindow(const QString& helpFile, int context, QWidget* parent)
    : QDialog(parent), m_browser(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Verdan Help"));
    resize(720, 600);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_browser->setOpenExternalLinks(true);
    if (QFileInfo::exists(helpFile)) {
        QUrl url = QUrl::fromLocalFile(helpFile);
        url.setFragment(anchorFor(context));
        m_browser->setSource(url);
    } else {
        m_browser->setPlainText(QStringLiteral("The help file was not found:\n") + helpFile);
    }
}

} // namespace verdan
