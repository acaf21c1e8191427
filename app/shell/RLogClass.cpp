#include "RLogClass.h"

#include "Rtf.h"
#include "TempFile.h"

#include <QFile>

namespace verdan {

RLogClass::RLogClass(Prompter& prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_window(prompter) {
    m_window.setCaption(QStringLiteral("Report Log"));
    connect(&m_window, &ScreenModel::changed, this, &RLogClass::changed);
}

void RLogClass::Show() {
    m_window.resetCloseRequest();
    m_prompter.runModal(m_window);
}

bool RLogClass::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    LogDocument loaded;
    if (!readRtf(content, loaded))
        return false;
    m_window.setLog(std::move(loaded));
    Add(QString());
    return true;
}

bool RLogClass::SaveFile(const QString& path) {
    return writeFileAtomically(path, writeRtf(document()));
}

void RLogClass::Clear() {
    m_window.clearLog();
    AddTitle();
}

void RLogClass::Add(const QString& s) {
    m_window.appendText(s, m_format);
}

void RLogClass::AddLine(const QString& s) {
    Add(s + QStringLiteral("\r\n"));
}

void RLogClass::AddTitle() {
    setUnderline(true);
    setBold(true);
    AddLine(Title());
    setUnderline(false);
    setBold(false);
}

void RLogClass::insertPicture(const QByteArray& png, int widthPx, int heightPx) {
    if (png.isEmpty())
        return;
    m_window.appendPicture(png, widthPx, heightPx);
}

} // namespace verdan
