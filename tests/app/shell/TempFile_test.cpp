#include "TempFile.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace verdan;

namespace {

// Points TMPDIR at another folder for one test and restores it afterwards.
class TmpDirOverride {
public:
    explicit TmpDirOverride(const QByteArray& folder) : m_previous(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", folder);
    }
    ~TmpDirOverride() { qputenv("TMPDIR", m_previous); }

private:
    QByteArray m_previous;
};

TEST(NewTempFileName, CreatesUniqueEmptyFilesInTmpdirAndFailsWithoutTheFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    {
        const TmpDirOverride tmp(folder.path().toLocal8Bit());
        const QString first = NewTempFileName();
        EXPECT_NE(first, NewTempFileName());
        const QFileInfo info(first);
        EXPECT_TRUE(info.isFile()) << first.toStdString();
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(info.absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    }
    const TmpDirOverride tmp(QFile::encodeName(folder.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(NewTempFileName(), QString());
}

TEST(WriteFileAtomically, ReplacesTheFileOrKeepsItWhenTheDiskIsFull) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(writeFileAtomically(path, "before"));
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    for (const qsizetype bytes : {qsizetype{100}, qsizetype{16 * 1024}, qsizetype{200 * 1024}}) {
        QString reason;
        {
            const test::FileSizeLimit limit(64);
            EXPECT_FALSE(writeFileAtomically(path, QByteArray(bytes, 'x'), &reason)) << bytes;
        }
        EXPECT_FALSE(reason.isEmpty());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "first") << bytes;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"out.txt"});
    }
    QString reason;
    EXPECT_FALSE(writeFileAtomically(folder.filePath(QStringLiteral("no/out.txt")), "x", &reason));
    EXPECT_FALSE(reason.isEmpty());
}

// Regression: a pipe given as the file to write was replaced by a plain file.
TEST(WriteFileAtomically, RefusesAndKeepsAFolderOrPipeInThePlaceOfTheFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pipe = folder.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = folder.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(pipe, link));
    for (const QString& path : {pipe, link, folder.path()}) {
        QString reason;
        EXPECT_FALSE(writeFileAtomically(path, "x", &reason)) << path.toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(pipe).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QDir(folder.path())
                  .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"link", "pipe"}));
}

} // namespace
