#include "FileNameBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan {

namespace {

constexpr char16_t KeptByteBase = 0xDC00;

bool isKeptByte(const QString& text, qsizetype i) {
    const char16_t unit = text[i].unicode();
    return unit >= KeptByteBase + 0x80 && unit <= KeptByteBase + 0xFF &&
           (i == 0 || !text[i - 1].isHighSurrogate());
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of `bytes` (no overlong forms, no
// surrogates, nothing above U+10FFFF); 0 when it is not one.
qsizetype validSequenceLength(QByteArrayView bytes) {
    const auto at = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || bytes.size() < length)
        return 0;
    for (qsizetype i = 1; i < length; ++i)
        if (!isContinuation(at(i)))
            return 0;
    const unsigned char second = at(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes) {
    QString name;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequenceLength(bytes.sliced(i));
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(start, i - start));
        name += QChar(KeptByteBase + static_cast<unsigned char>(bytes[i]));
        start = ++i;
    }
    return name + QString::fromUtf8(bytes.sliced(start));
}

QByteArray fileNameBytes(const QString& name) {
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isKeptByte(name, i))
            continue;
        bytes += QStringView(name).sliced(start, i - start).toUtf8();
        bytes += static_cast<char>(name[i].unicode() - KeptByteBase);
        start = i + 1;
    }
    return bytes + QStringView(name).sliced(start).toUtf8();
}

QString readableFileName(const QString& text) {
    QString readable;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isKeptByte(text, i))
            readable += QStringLiteral("\\x%1").arg(text[i].unicode() - KeptByteBase, 2, 16,
                                                    QLatin1Char('0'));
        else
            readable += text[i];
    }
    return readable;
}

bool openFileForReading(QFile& file, const QString& name, QString& error) {
    const int fd = ::open(fileNameBytes(name).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    const bool folder = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    if (fd >= 0 && !folder && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    const int reason = fd < 0 ? errno : EISDIR;
    if (fd >= 0)
        ::close(fd);
    error = QString::fromLocal8Bit(std::strerror(reason));
    return false;
}

} // namespace verdan
