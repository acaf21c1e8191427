#pragma once

#include "AreaResults.h"
#include "ProgramState.h"
#include "Prompter.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>

class QSqlQuery;

namespace verdan {

struct AreaInputs;

/// The points of one curve packed for the archive's `DataSet` field: for each of the first
/// `n` points the distance (km) and the loss (dB) as little-endian IEEE 64-bit doubles, in
/// the order given, followed by one zero byte. `n` is limited to the shorter array.
QByteArray PackPairs(qsizetype n, std::span<const double> x, std::span<const double> y);
/// As PackPairs() with three doubles (x, y, z) per point, 24 bytes each, then one zero byte.
QByteArray PackTriples(qsizetype n, std::span<const double> x, std::span<const double> y,
                       std::span<const double> z);

/// A number as the archive writes it in its summaries: the general number format without
/// surrounding blanks (301.0 gives "301", 0.005 gives "0.005").
QString NormaliseNumberText(double value);
/// A number preceded by a blank when not negative, below 1 without its leading zero:
/// 100 gives " 100", 0.005 gives " .005", -0.5 gives "-.5".
QString blankLedNumber(double value);

/// The archive's parameter summary of a run, from the numbers the run used:
/// "Verdan:100MHz,dh:90,h1:3,h2:3,50%T,50%L".
QString archiveParameterSummary(const AreaInputs& in);
/// The archive's ground and frequency summary of a run:
/// "Frq: 100,Refrac: 301,Diel: 15,Cond: .005,,Vert" (the comma before the polarization is
/// doubled).
QString archiveGroundSummary(const AreaInputs& in);

/// The data-set type of curves of distance and loss pairs (16 bytes per point).
inline constexpr int kDataSetPairs = 2;
/// The data-set type of curves of x, y, z triples (24 bytes per point).
inline constexpr int kDataSetTriples = 3;

/// The results archive: an SQLite file with the tables `ModelRun` (one record per save) and
/// `DataSets` (one record per stored curve, linked to its run by `ID`).
///
/// OpenArchive() opens the file and starts the save's one transaction; AddModelRun() and
/// AddDataSet() add records inside it; CloseArchive() commits. Every step returns false at
/// the first failure with lastError() saying what failed; the transaction is then rolled back
/// by abandon() (also done by the destructor), so a failed save leaves the file exactly as it
/// was. A missing archive is built in a new file beside it and put in place, under its name,
/// only by a successful commit, so several programs may create the same archive at once and
/// a failure never removes a file under the archive's name.
///
/// A new archive is made in write-ahead-log mode (an existing one keeps its mode), and every
/// archive is written with synchronous=NORMAL: a commit has reached the operating system
/// before CloseArchive() returns, so it survives a crash of the program (not a power
/// failure) without waiting for the disk at every save.
class dbOperations {
public:
    /// `busyTimeoutMs` (0 .. 60000 ms): how long to wait for another program's lock before
    /// giving up with "locked".
    explicit dbOperations(int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~dbOperations();
    dbOperations(const dbOperations&) = delete;
    dbOperations& operator=(const dbOperations&) = delete;

    /// Opens the archive file at `path` and starts a transaction. A file that does not exist
    /// (or is empty) gets both tables; an existing archive is used as it is (other tables
    /// and extra columns are left alone). Fails for a folder, a read-only file, a file that
    /// is not an SQLite database, an SQLite database without the two tables, and a database
    /// locked by another program.
    bool OpenArchive(const QString& path);
    /// Commits the save's records and closes the file (unless keepOpen() is on). Fails with
    /// lostCreationRace() true when the archive was missing at OpenArchive() and another
    /// program created it meanwhile: nothing is stored then, and the save may be repeated.
    bool CloseArchive();
    /// Rolls back whatever the save wrote and closes the file; removes the new file this save
    /// built for a missing archive. Nothing happens when no archive is open.
    void abandon();
    /// Keeps an existing archive open after CloseArchive(), so that the next save to the same
    /// file neither reopens it nor waits for the log to be copied into it on closing.
    void setKeepOpen(bool keepOpen) { m_keepOpen = keepOpen; }
    /// True when the last CloseArchive() failed because another program created the archive.
    bool lostCreationRace() const { return m_lostCreationRace; }

    /// The default wait for another program's lock: long enough for several programs
    /// saving at once.
    static constexpr int kDefaultBusyTimeoutMs = 10000;

    /// Adds a `ModelRun` record; its automatic `ID` becomes currentRunId(). `when` is stored
    /// as local time text "yyyy-MM-dd HH:mm:ss".
    bool AddModelRun(const QString& model, const QString& parameters, const QString& comment,
                     const QDateTime& when, int dataSetType);
    /// Adds a `DataSets` record whose `DataSet` holds the first `pointCount` points packed by
    /// PackPairs() (type 2) or PackTriples() (type 3); other types store no points.
    bool AddDataSet(qint64 id, const QString& legend, const QString& comment, int pointCount,
                    int dataSetType, std::span<const double> x, std::span<const double> y,
                    std::span<const double> z);

    /// The `ID` of the `ModelRun` record added last; 0 before the first.
    qint64 currentRunId() const { return m_currentRunId; }
    /// What the last failure was, in words for the user; empty after success.
    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString& what);
    bool failQuery(const QString& what, const QSqlQuery& query);
    bool exec(const QString& sql, const QString& what);
    bool ensureTables();
    bool openConnection(const QString& file);
    bool publishNewFile();
    void closeConnection();
    void removeNewFile();

    int m_busyTimeoutMs;
    QString m_connection;
    QString m_path;
    // The file built for a missing archive, until it is put in place; empty otherwise.
    QString m_newFile;
    // Identity (device, inode) of the open file: a replaced archive is opened anew.
    QByteArray m_fileIdentity;
    bool m_keepOpen = false;
    bool m_lostCreationRace = false;
    bool m_inTransaction = false;
    std::unique_ptr<QSqlQuery> m_insertDataSet;
    qint64 m_currentRunId = 0;
    QString m_lastError;
};

/// Asks the user for one of the active confidence levels: `levelsPct` are the levels offered
/// as whole percent, in series order. Returns the index of the option picked, or -1 when no
/// level was picked (Cancel, Escape or the close box): then nothing is stored.
using LevelPicker = std::function<int(const QList<double>& levelsPct, Prompter& prompter)>;

/// The program's level picker: fills ProgramState::ConfLevelChoices with the levels, shows
/// "frmConfLevel" modally through the prompter and returns the index of the option picked
/// with OK, or -1 when the window was closed without a choice. `state` must outlive the picker.
LevelPicker confLevelPicker(ProgramState& state);

/// The area form's "Save" command (`cmdSaveData_Click`): stores the curves of the last normal
/// run in the results archive.
class ResultsArchive {
public:
    /// `picker` asks for a single level when the user does not store all of them.
    explicit ResultsArchive(LevelPicker picker);
    ~ResultsArchive();

    /// The save: asks for the archive file (once per program run; a cancel stores nothing
    /// and asks again next time), for a comment, whether to store all confidence levels and,
    /// if not, which one; then writes one `ModelRun` record and a `DataSets` record per curve,
    /// every distance of the table, in one transaction. Refuses a save when `results` holds no
    /// normal run. Any failure shows what failed, stores nothing and forgets the archive file
    /// so that the next save asks again. Returns true when the data were stored ("Data
    /// Stored"); the form then disables its Save button.
    bool saveResults(const AreaResults& results, ProgramState& state, Prompter& prompter);

    /// Stores every confidence level of `results` under `comment` in the archive at `path`
    /// without asking anything, as a save answered "Yes" does. Returns the new `ModelRun` ID,
    /// or nothing with `error` saying what failed (the file is then unchanged).
    static std::optional<qint64>
    storeAllLevels(const AreaResults& results, const QString& path, const QString& comment,
                   QString& error, const QDateTime& when = QDateTime::currentDateTime());

    /// The `ID` of the `ModelRun` record this object added last; 0 before the first save.
    qint64 currentRunId() const { return m_currentRunId; }

    /// Wait for a locked archive (ms) before the save fails; tests shorten it.
    void setBusyTimeoutMs(int busyTimeoutMs) {
        m_busyTimeoutMs = busyTimeoutMs;
        m_db.reset();
    }

private:
    LevelPicker m_picker;
    qint64 m_currentRunId = 0;
    int m_busyTimeoutMs = dbOperations::kDefaultBusyTimeoutMs;
    // Kept open between saves to the same archive.
    std::unique_ptr<dbOperations> m_db;
};

} // namespace verdan
