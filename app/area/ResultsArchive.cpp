#include "ResultsArchive.h"

#include "AreaCalculation.h"
#include "FileNameBytes.h"
#include "FrmConfLevelModel.h"
#include "NumberFormat.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace verdan {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
const QString kSaveTitle = QStringLiteral("Add to Archive");

// The first bytes of every SQLite 3 database file.
constexpr char kSqliteHeader[] = "SQLite format 3";

void appendDouble(QByteArray& bytes, double value) {
    char little[sizeof(double)];
    qToLittleEndian(value, little);
    bytes.append(little, sizeof little);
}

// The user's words for an SQLite result code (the primary code in the low byte).
QString describeSqliteCode(int code) {
    switch (code & 0xff) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("the archive is locked by another program");
    case 8: // SQLITE_READONLY
        return QStringLiteral("the archive cannot be written (read-only)");
    case 10: // SQLITE_IOERR
        return QStringLiteral("a read or write error occurred (the disk may be full)");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("the archive file is damaged");
    case 13: // SQLITE_FULL
        return QStringLiteral("the disk is full");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("the file cannot be opened");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("the file is not an SQLite database");
    default:
        return {};
    }
}

QString describeError(const QSqlError& error) {
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    const QString driverText = error.driverText().isEmpty() ? error.text() : error.driverText();
    const QString words = numeric ? describeSqliteCode(code) : QString();
    const QString detail = error.databaseText().isEmpty() ? driverText : error.databaseText();
    if (words.isEmpty())
        return detail;
    return detail.isEmpty() ? words : words + QStringLiteral(" (") + detail + QLatin1Char(')');
}

// The folder part of `path` ("." for a bare name), as text that keeps every byte.
QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString describeFileProblem(const QString& path, bool& exists) {
    const QByteArray name = fileNameBytes(path);
    struct stat info {};
    exists = ::stat(name.constData(), &info) == 0;
    if (!exists && ::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link to a missing file");
    if (!exists) {
        struct stat folder {};
        if (::stat(fileNameBytes(folderOf(path)).constData(), &folder) != 0 ||
            !S_ISDIR(folder.st_mode))
            return QStringLiteral("the folder does not exist");
        return {};
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("it is a folder, not a file");
    if (::access(name.constData(), W_OK) != 0 || (info.st_mode & 0222) == 0)
        return QStringLiteral("the file is read-only");
    if (info.st_size == 0)
        return {};
    QFile file;
    QString reason;
    if (!openFileForReading(file, path, reason))
        return QStringLiteral("the file cannot be read (") + reason + QLatin1Char(')');
    const QByteArray head = file.read(sizeof kSqliteHeader);
    if (head.size() != static_cast<qsizetype>(sizeof kSqliteHeader) ||
        std::memcmp(head.constData(), kSqliteHeader, sizeof kSqliteHeader) != 0)
        return QStringLiteral("the file is not an SQLite database");
    return {};
}

// Device and inode of the file at `path` (following links); empty when it does not exist.
QByteArray fileIdentity(const QString& path) {
    struct stat info {};
    if (::stat(fileNameBytes(path).constData(), &info) != 0)
        return {};
    return QByteArray::number(static_cast<qulonglong>(info.st_dev)) + ':' +
           QByteArray::number(static_cast<qulonglong>(info.st_ino));
}

// Creates a new, empty file with a unique hidden name in the folder of `path`; its path, or
// empty when the folder cannot be written.
QString newFileBeside(const QString& path) {
    QByteArray name =
        fileNameBytes(folderOf(path) + QStringLiteral("/.") + path.mid(path.lastIndexOf(u'/') + 1) +
                      QStringLiteral(".new-XXXXXX"));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    ::close(fd);
    return fileNameFromBytes(name);
}

// Makes a new name in the folder of `path` durable.
void syncFolderOf(const QString& path) {
    const int folder =
        ::open(fileNameBytes(folderOf(path)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

// `file` as an SQLite URI: its bytes percent-encoded, so that a name that is not UTF-8
// reaches the file system unchanged.
QString sqliteUri(const QString& file) {
    const QByteArray bytes = fileNameBytes(file);
    const QByteArray scheme = bytes.startsWith('/') ? "file://" : "file:";
    return QString::fromLatin1(scheme + bytes.toPercentEncoding("/"));
}

} // namespace

QByteArray PackPairs(qsizetype n, std::span<const double> x, std::span<const double> y) {
    const qsizetype count =
        std::clamp<qsizetype>(n, 0, static_cast<qsizetype>(std::min(x.size(), y.size())));
    QByteArray bytes;
    bytes.reserve(count * 16 + 1);
    for (qsizetype i = 0; i < count; ++i) {
        appendDouble(bytes, x[i]);
        appendDouble(bytes, y[i]);
    }
    bytes.append('\0');
    return bytes;
}

QByteArray PackTriples(qsizetype n, std::span<const double> x, std::span<const double> y,
                       std::span<const double> z) {
    const qsizetype count = std::clamp<qsizetype>(
        n, 0, static_cast<qsizetype>(std::min({x.size(), y.size(), z.size()})));
    QByteArray bytes;
    bytes.reserve(count * 24 + 1);
    for (qsizetype i = 0; i < count; ++i) {
        appendDouble(bytes, x[i]);
        appendDouble(bytes, y[i]);
        appendDouble(bytes, z[i]);
    }
    bytes.append('\0');
    return bytes;
}

QString NormaliseNumberText(double value) {
    return numfmt::generalNumber(value).trimmed();
}

QString blankLedNumber(double value) {
    QString text = numfmt::generalNumber(value);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return value < 0 ? text : QLatin1Char(' ') + text;
}

QString archiveParameterSummary(const AreaInputs& in) {
    return QStringLiteral("Verdan:") + NormaliseNumberText(in.frequencyMHz) +
           QStringLiteral("MHz,") + QStringLiteral("dh:") + NormaliseNumberText(in.deltaHM) +
           QStringLiteral(",h1:") + NormaliseNumberText(in.h1M) + QStringLiteral(",h2:") +
           NormaliseNumberText(in.h2M) + QLatin1Char(',') + NormaliseNumberText(in.timePct) +
           QStringLiteral("%T,") + NormaliseNumberText(in.locationPct) + QStringLiteral("%L");
}

QString archiveGroundSummary(const AreaInputs& in) {
    return QStringLiteral("Frq:") + blankLedNumber(in.frequencyMHz) + QStringLiteral(",Refrac:") +
           blankLedNumber(in.nsNUnits) + QStringLiteral(",Diel:") + blankLedNumber(in.eps) +
           QStringLiteral(",Cond:") + blankLedNumber(in.sgmSPerM) + QLatin1Char(',') +
           (in.horizontal ? QStringLiteral(",Horz") : QStringLiteral(",Vert"));
}

// ---- dbOperations ----

dbOperations::dbOperations(int busyTimeoutMs)
    : m_busyTimeoutMs(std::clamp(busyTimeoutMs, 0, 60000)) {}

dbOperations::~dbOperations() {
    abandon();
}

bool dbOperations::fail(const QString& what) {
    m_lastError = what;
    return false;
}

bool dbOperations::failQuery(const QString& what, const QSqlQuery& query) {
    return fail(what + QStringLiteral(": ") + describeError(query.lastError()));
}

bool dbOperations::exec(const QString& sql, const QString& what) {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(sql))
        return failQuery(what, query);
    return true;
}

bool dbOperations::OpenArchive(const QString& path) {
    const bool reuse = !m_connection.isEmpty() && !m_inTransaction && m_newFile.isEmpty() &&
                       path == m_path && fileIdentity(path) == m_fileIdentity;
    if (!reuse)
        abandon();
    m_lastError.clear();
    m_lostCreationRace = false;
    if (!reuse) {
        bool exists = false;
        const QString problem = describeFileProblem(path, exists);
        if (!problem.isEmpty())
            return fail(QStringLiteral("Cannot open the archive: ") + problem);
        if (!QSqlDatabase::isDriverAvailable(kDriver))
            return fail(QStringLiteral("Cannot open the archive: the SQLite driver of Qt "
                                       "(QSQLITE) is not installed"));
        m_path = path;
        if (!exists) {
            m_newFile = newFileBeside(path);
            if (m_newFile.isEmpty())
                return fail(QStringLiteral("Cannot create the archive: the folder cannot be "
                                           "written"));
        }
        if (!openConnection(exists ? path : m_newFile)) {
            const QString error = m_lastError;
            abandon();
            return fail(error);
        }
    }
    // The write lock is taken at once, so that a locked archive fails here and not halfway.
    if (!exec(QStringLiteral("BEGIN IMMEDIATE"), QStringLiteral("Cannot open the archive"))) {
        const QString error = m_lastError;
        abandon();
        return fail(error);
    }
    m_inTransaction = true;
    if (!ensureTables()) {
        const QString error = m_lastError;
        abandon();
        return fail(error);
    }
    m_insertDataSet = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_connection, false));
    if (!m_insertDataSet->prepare(
            QStringLiteral("INSERT INTO DataSets (ID, Legend, Comment, PointCount, DataSet) "
                           "VALUES (?, ?, ?, ?, ?)"))) {
        const QString error = QStringLiteral("The archive's table DataSets cannot take a curve: ") +
                              describeError(m_insertDataSet->lastError());
        abandon();
        return fail(error);
    }
    return true;
}

bool dbOperations::openConnection(const QString& file) {
    m_connection = QStringLiteral("verdan-archive-") + QUuid::createUuid().toString(QUuid::Id128);
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, m_connection);
    db.setDatabaseName(sqliteUri(file));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=") +
                         QString::number(m_busyTimeoutMs));
    if (!db.open())
        return fail(QStringLiteral("Cannot open the archive: ") + describeError(db.lastError()));
    m_fileIdentity = fileIdentity(file);
    // A new archive is made in write-ahead-log mode; an existing file keeps its mode, which
    // other programs may rely on.
    if (!m_newFile.isEmpty() && !exec(QStringLiteral("PRAGMA journal_mode=WAL"),
                                      QStringLiteral("Cannot create the archive")))
        return false;
    return exec(QStringLiteral("PRAGMA synchronous=NORMAL"),
                QStringLiteral("Cannot open the archive"));
}

bool dbOperations::ensureTables() {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return failQuery(QStringLiteral("Cannot read the archive"), query);
    QSet<QString> tables;
    while (query.next())
        tables.insert(query.value(0).toString().toLower());
    const bool hasRuns = tables.contains(QStringLiteral("modelrun"));
    const bool hasSets = tables.contains(QStringLiteral("datasets"));
    if (hasRuns && hasSets)
        return true;
    if (!tables.isEmpty()) {
        return fail(QStringLiteral("The file is an SQLite database but not a results archive: "
                                   "it has no table ") +
                    (hasRuns ? QStringLiteral("DataSets") : QStringLiteral("ModelRun")));
    }
    return exec(QStringLiteral("CREATE TABLE ModelRun (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                               "Model TEXT, Parameters TEXT, Comment TEXT, Date_Time TEXT, "
                               "DataSetType INTEGER)"),
                QStringLiteral("Cannot create the table ModelRun")) &&
           exec(QStringLiteral("CREATE TABLE DataSets (ID INTEGER, Legend TEXT, Comment TEXT, "
                               "PointCount INTEGER, DataSet BLOB)"),
                QStringLiteral("Cannot create the table DataSets")) &&
           exec(QStringLiteral("CREATE INDEX DataSets_ID ON DataSets (ID)"),
                QStringLiteral("Cannot create the index of DataSets"));
}

bool dbOperations::AddModelRun(const QString& model, const QString& parameters,
                               const QString& comment, const QDateTime& when, int dataSetType) {
    if (!m_inTransaction)
        return fail(QStringLiteral("Cannot add the run record: no archive is open"));
    const QString what = QStringLiteral("Cannot add the run record to the table ModelRun");
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(QStringLiteral("INSERT INTO ModelRun (Model, Parameters, Comment, "
                                      "Date_Time, DataSetType) VALUES (?, ?, ?, ?, ?)")))
        return failQuery(what, query);
    query.addBindValue(model);
    query.addBindValue(parameters);
    query.addBindValue(comment);
    query.addBindValue(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    query.addBindValue(dataSetType);
    if (!query.exec())
        return failQuery(what, query);
    const QVariant rowId = query.lastInsertId();
    // An archive made elsewhere may keep ID as a plain column: it then gets the next number.
    QSqlQuery readId(QSqlDatabase::database(m_connection, false));
    readId.prepare(QStringLiteral("SELECT ID FROM ModelRun WHERE rowid = ?"));
    readId.addBindValue(rowId);
    if (!readId.exec() || !readId.next())
        return failQuery(QStringLiteral("Cannot read the ID of the new run record"), readId);
    if (readId.value(0).isNull()) {
        QSqlQuery number(QSqlDatabase::database(m_connection, false));
        number.prepare(QStringLiteral("UPDATE ModelRun SET ID = (SELECT COALESCE(MAX(ID), 0) + 1 "
                                      "FROM ModelRun) WHERE rowid = ?"));
        number.addBindValue(rowId);
        if (!number.exec())
            return failQuery(QStringLiteral("Cannot number the new run record"), number);
        if (!readId.exec() || !readId.next())
            return failQuery(QStringLiteral("Cannot read the ID of the new run record"), readId);
    }
    m_currentRunId = readId.value(0).toLongLong();
    return true;
}

bool dbOperations::AddDataSet(qint64 id, const QString& legend, const QString& comment,
                              int pointCount, int dataSetType, std::span<const double> x,
                              std::span<const double> y, std::span<const double> z) {
    if (!m_inTransaction || !m_insertDataSet)
        return fail(QStringLiteral("Cannot add the curve: no archive is open"));
    QVariant data(QMetaType(QMetaType::QByteArray));
    if (dataSetType == kDataSetPairs)
        data = PackPairs(pointCount, x, y);
    else if (dataSetType == kDataSetTriples)
        data = PackTriples(pointCount, x, y, z);
    m_insertDataSet->addBindValue(id);
    m_insertDataSet->addBindValue(legend);
    m_insertDataSet->addBindValue(comment);
    m_insertDataSet->addBindValue(pointCount);
    m_insertDataSet->addBindValue(data);
    if (!m_insertDataSet->exec())
        return failQuery(QStringLiteral("Cannot add the curve \"") + legend +
                             QStringLiteral("\" to the table DataSets"),
                         *m_insertDataSet);
    return true;
}

bool dbOperations::CloseArchive() {
    if (!m_inTransaction)
        return fail(QStringLiteral("Cannot close the archive: no archive is open"));
    m_insertDataSet.reset();
    if (!exec(QStringLiteral("COMMIT"), QStringLiteral("Cannot write the records to the archive")))
        return false;
    m_inTransaction = false;
    if (!m_newFile.isEmpty()) {
        closeConnection();
        return publishNewFile();
    }
    if (!m_keepOpen)
        closeConnection();
    return true;
}

// Puts the committed new file in place under the archive's name, unless another program
// created the archive meanwhile; the name is never replaced.
bool dbOperations::publishNewFile() {
    const QByteArray from = fileNameBytes(m_newFile);
    const QByteArray to = fileNameBytes(m_path);
    if (::link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        removeNewFile();
        m_lostCreationRace = error == EEXIST;
        return fail(QStringLiteral("Cannot put the new archive in place: ") +
                    QString::fromLocal8Bit(std::strerror(error)));
    }
    removeNewFile();
    syncFolderOf(m_path);
    return true;
}

void dbOperations::abandon() {
    m_insertDataSet.reset();
    if (m_connection.isEmpty()) {
        removeNewFile();
        return;
    }
    if (m_inTransaction) {
        QSqlQuery rollback(QSqlDatabase::database(m_connection, false));
        rollback.exec(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
    }
    closeConnection();
    removeNewFile();
}

void dbOperations::removeNewFile() {
    if (m_newFile.isEmpty())
        return;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        ::unlink(fileNameBytes(m_newFile + QLatin1String(suffix)).constData());
    m_newFile.clear();
}

void dbOperations::closeConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_fileIdentity.clear();
}

// ---- ResultsArchive ----

namespace {

struct Curve {
    int series = 0;
    QString legend;
};

// Writes one run with its curves in one transaction of `db`.
bool writeRunOnce(dbOperations& db, const AreaResults& results, const QString& path,
                  const QString& comment, const std::vector<Curve>& curves,
                  const QDateTime& when) {
    const int pointCount = static_cast<int>(results.graphDist.size());
    std::vector<double> y(results.graphDist.size());
    bool ok = db.OpenArchive(path) &&
              db.AddModelRun(QStringLiteral("Verdan Area Mode: ") + comment,
                             results.archiveParameters, results.archiveGround, when, kDataSetPairs);
    for (std::size_t c = 0; ok && c < curves.size(); ++c) {
        for (std::size_t row = 0; row < y.size(); ++row)
            y[row] = results.graphLoss.at(row).at(static_cast<std::size_t>(curves[c].series));
        ok = db.AddDataSet(db.currentRunId(), curves[c].legend, comment, pointCount, kDataSetPairs,
                           results.graphDist, y, {});
    }
    return ok && db.CloseArchive();
}

// Writes one run with its curves in one transaction; the new ID, or nothing with `error`.
// A save that found no archive and lost the race to create it is written into the archive
// the other program made.
std::optional<qint64> writeRun(dbOperations& db, const AreaResults& results, const QString& path,
                               const QString& comment, const std::vector<Curve>& curves,
                               const QDateTime& when, QString& error) {
    bool ok = writeRunOnce(db, results, path, comment, curves, when);
    if (!ok && db.lostCreationRace())
        ok = writeRunOnce(db, results, path, comment, curves, when);
    if (!ok) {
        error = db.lastError();
        db.abandon();
        return std::nullopt;
    }
    return db.currentRunId();
}

QString levelLegend(const AreaResults& results, const QString& levelText) {
    return results.archiveParameters + QLatin1Char(',') + levelText + QStringLiteral("%C");
}

std::vector<Curve> allLevels(const AreaResults& results) {
    std::vector<Curve> curves;
    for (int i = 0; i <= results.graphLastLevel && i < 4; ++i)
        curves.push_back(Curve{
            i, levelLegend(results, NormaliseNumberText(
                                        results.graphConfLevels[static_cast<std::size_t>(i)]))});
    return curves;
}

bool hasTable(const AreaResults& results) {
    if (!results.valid || results.graphDist.empty() ||
        results.graphLoss.size() != results.graphDist.size())
        return false;
    const auto columns = static_cast<std::size_t>(results.graphLastLevel) + 1;
    return std::all_of(results.graphLoss.begin(), results.graphLoss.end(),
                       [columns](const std::vector<double>& row) { return row.size() >= columns; });
}

} // namespace

LevelPicker confLevelPicker(ProgramState& state) {
    return [&state](const QList<double>& levelsPct, Prompter& prompter) {
        state.ConfLevelChoices.fill(0);
        const qsizetype offered = std::min<qsizetype>(levelsPct.size(), 4);
        for (qsizetype i = 0; i < offered; ++i)
            state.ConfLevelChoices[static_cast<std::size_t>(i)] = levelsPct[i];
        FrmConfLevelModel picker(state);
        picker.Form_Load();
        prompter.runModal(picker);
        if (state.ConfLevelChosen == 0)
            return -1;
        for (int i = 0; i < picker.shownOptions(); ++i) {
            if (picker.optConfLev(i).value)
                return i;
        }
        return -1;
    };
}

ResultsArchive::ResultsArchive(LevelPicker picker) : m_picker(std::move(picker)) {}

ResultsArchive::~ResultsArchive() = default;

bool ResultsArchive::saveResults(const AreaResults& results, ProgramState& state,
                                 Prompter& prompter) {
    if (!hasTable(results)) {
        inform(prompter, QStringLiteral("There are no results to store: run a calculation first."),
               kSaveTitle, MsgIcon::Warning);
        return false;
    }
    if (state.archivePath.isEmpty()) {
        FileRequest request;
        request.caption = kSaveTitle;
        request.startFolder = QDir::homePath();
        request.filters = {QStringLiteral("Verdan Archive (*.sqlite)"),
                           QStringLiteral("All Files (*)")};
        request.proposedName = QStringLiteral("*.sqlite");
        const FileAnswer answer = prompter.saveFile(request);
        const QString name = answer.path.isEmpty() ? request.proposedName : answer.path;
        if (answer.path.isEmpty() || name.contains(QLatin1Char('*'))) {
            inform(prompter, QStringLiteral("Cannot Open Access Database ") + name, kSaveTitle,
                   MsgIcon::None);
            state.archivePath.clear();
            return false;
        }
        state.archivePath = name;
    }

    QString comment;
    prompter.input(QStringLiteral("Comments for plot"), QStringLiteral("Area Mode Data Save"),
                   comment);
    comment = comment.trimmed();

    std::vector<Curve> curves;
    if (prompter.message(QStringLiteral("Store all confidence levels?"),
                         QStringLiteral("Store Results"), MsgButtons::YesNo,
                         MsgIcon::Question) == MsgAnswer::Yes) {
        curves = allLevels(results);
    } else {
        QList<double> offered;
        for (int i = 0; i <= results.graphLastLevel && i < 4; ++i)
            offered << results.graphConfLevels[static_cast<std::size_t>(i)];
        const int picked = m_picker ? m_picker(offered, prompter) : -1;
        // Cancel, Escape or the close box: the user stores nothing, not a run without curves.
        if (picked < 0 || picked >= offered.size())
            return false;
        const int levelPct = static_cast<int>(std::nearbyint(offered[picked]));
        curves.push_back(Curve{picked, levelLegend(results, QString::number(levelPct))});
    }

    prompter.setBusy(true);
    QString error;
    if (!m_db) {
        m_db = std::make_unique<dbOperations>(m_busyTimeoutMs);
        m_db->setKeepOpen(true);
    }
    const std::optional<qint64> runId = writeRun(*m_db, results, state.archivePath, comment,
                                                 curves, QDateTime::currentDateTime(), error);
    prompter.setBusy(false);
    if (!runId) {
        prompter.message(QStringLiteral("The results were not stored in \"") + state.archivePath +
                             QStringLiteral("\".\n") + error,
                         QString(), MsgButtons::Ok, MsgIcon::Critical);
        state.archivePath.clear();
        return false;
    }
    m_currentRunId = *runId;
    inform(prompter, QStringLiteral("Data Stored"), QStringLiteral("Add Data to Archive"),
           MsgIcon::None);
    return true;
}

std::optional<qint64> ResultsArchive::storeAllLevels(const AreaResults& results,
                                                     const QString& path, const QString& comment,
                                                     QString& error, const QDateTime& when) {
    if (!hasTable(results)) {
        error = QStringLiteral("There are no results to store");
        return std::nullopt;
    }
    dbOperations db;
    return writeRun(db, results, path, comment.trimmed(), allLevels(results), when, error);
}

} // namespace verdan
