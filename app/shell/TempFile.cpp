#include "TempFile.h"

#include "FileNameBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan {

QString NewTempFileName() {
    // QDir::tempPath() is empty when $TMPDIR names a missing folder: never fall back to the
    // working folder then.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral("verdan-XXXXXX.tmp")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = QFileInfo(file.fileName()).absoluteFilePath();
    file.close();
    return path;
}

namespace {

// The file a write to `target` replaces: the end of its chain of symbolic links, so that a
// link keeps naming the new content.
QByteArray linkTarget(QByteArray target) {
    for (int hops = 0; hops < 40; ++hops) {
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(target.constData(), buffer, sizeof buffer);
        if (length < 0)
            break;
        const QByteArray link(buffer, length);
        const qsizetype slash = target.lastIndexOf('/');
        target = link.startsWith('/') || slash < 0 ? link : target.left(slash + 1) + link;
    }
    return target;
}

bool writeAll(int fd, const QByteArray& data) {
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t written =
            ::write(fd, data.constData() + done, static_cast<std::size_t>(data.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC; // nothing taken and no reason given: never loop on it
            return false;
        }
        done += written;
    }
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// Creates a new file named `target` + ".XXXXXX" with the permissions of the existing
// `target`, else those a new file gets; its descriptor (and name in `name`), or -1.
int createBeside(const QByteArray& target, QByteArray& name) {
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd >= 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
            ::close(fd);
            ::unlink(name.constData());
            return -1;
        }
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Writes `data` into a new file beside `target` and renames it over `target`: 0, or the
// errno of the failure (the new file is then gone).
int replaceFile(const QByteArray& target, const QByteArray& data) {
    if (::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        return EACCES;
    QByteArray temporary;
    const int fd = createBeside(target, temporary);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, data) ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.constData());
    return error;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorText) {
    const QByteArray target = linkTarget(fileNameBytes(path));
    // A pipe, device or folder under that name stays what it is: renaming over it would
    // silently put a plain file in its place.
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (errorText)
            *errorText = QStringLiteral("it is not a regular file (a folder, pipe or device)");
        return false;
    }
    const int error = replaceFile(target, data);
    if (error != 0 && errorText)
        *errorText = QString::fromLocal8Bit(std::strerror(error));
    return error == 0;
}

} // namespace verdan
