#include "RLogClass.h"

#include "TempFile.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

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
    if (!readRtf(content, loaded, RtfTail::Ignored))
        return false;
    m_window.setLog(std::move(loaded));
    Add(QString());
    return true;
}

bool RLogClass::SaveFile(const QString& path) {
    if (appendToFile(path))
        return true;
    m_saved.reset();
    SavedFile saved{path, 0, m_window.replacements(), {}};
    const QByteArray rtf = writeRtf(document(), saved.end);
    if (!writeFileAtomically(path, rtf))
        return false;
    saved.sizeBytes = rtf.size();
    m_saved = saved;
    return true;
}

bool RLogClass::appendToFile(const QString& path) {
    if (!m_saved || m_saved->path != path || m_saved->replacements != m_window.replacements())
        return false;
    QFile file(path);
    const qint64 sizeBytes = m_saved->sizeBytes;
    if (sizeBytes < 2 || !file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) ||
        file.size() != sizeBytes || !file.seek(sizeBytes - 2) || file.read(2) != "}\n")
        return false;
    RtfMark end = m_saved->end;
    const QByteArray body = writeRtfContinuation(document(), end);
    if (body.isEmpty())
        return true;
    const QByteArray addition = body + "}\n";
    const auto flushed = [&file] { return file.flush() && ::fsync(file.handle()) == 0; };
    if (!file.seek(sizeBytes) || file.write(addition) != addition.size() || !flushed()) {
        file.resize(sizeBytes);
        return false;
    }
    if (!file.seek(sizeBytes - 2) || file.write("\n", 1) != 1 || !flushed())
        return false;
    m_saved->sizeBytes = sizeBytes + addition.size();
    m_saved->end = end;
    return true;
}

QString RLogClass::takeFile(const QString& stored, bool& taken) {
    const QFileInfo file(stored);
    taken = !stored.isEmpty() && file.isFile() && (ReadFile(stored) || file.size() == 0);
    const QString name = taken ? stored : NewTempFileName();
    if (!name.isEmpty() && !m_files.contains(name))
        m_files.append(name);
    return name;
}

void RLogClass::removeFilesExcept(const QString& retained) {
    for (const QString& name : std::as_const(m_files)) {
        if (name != retained)
            QFile::remove(name);
    }
    m_files.clear();
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
