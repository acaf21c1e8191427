#include "InputsDigest.h"

#include "ProfileCommand.h"
#include "VerdanVersion.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>

#include <charconv>

namespace verdan::cli {

namespace {

std::string shortest(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string optional(const std::optional<double>& value) {
    return value ? shortest(*value) : std::string("-");
}

std::string modelText(const coverage::CoverageInputs& in) {
    std::string text;
    for (const double value : {in.tx.latDeg, in.tx.lonDeg, in.txHeightM, in.rxHeightM, in.freqMHz,
                               static_cast<double>(in.polarization), in.epsRel, in.sgmSPerM,
                               in.surfRefN, static_cast<double>(in.climate), in.reliabilityPct,
                               in.confidencePct, in.radiusKm, in.resolutionSec})
        text += shortest(value) + ' ';
    return text;
}

std::string budgetText(const coverage::CoverageInputs& in) {
    const radio::TransmitterSide& tx = in.transmitter;
    std::string text = "erp " + optional(in.erpDbw) + " power " + optional(tx.powerDbm) + " loss " +
                       shortest(tx.lineLossDb) + " gain " + shortest(tx.gainDbi) + " rx " +
                       shortest(in.receiver.gainDbi) + ' ' + shortest(in.receiver.lineLossDb);
    if (const auto& threshold = in.receiver.threshold)
        text += " threshold " + std::to_string(static_cast<int>(threshold->kind)) + ' ' +
                shortest(threshold->value);
    if (tx.pattern) {
        text += " pattern " + shortest(tx.pointing.azimuthDeg) + ' ' +
                shortest(tx.pointing.downtiltDeg);
        for (const auto* cut : {&tx.pattern->horizontalDb, &tx.pattern->verticalDb})
            for (const double db : *cut)
                text += ' ' + shortest(db);
    }
    return text;
}

// Every file under `path` (the path itself when it is a file): name, size, time.
QString filesText(const QString& path) {
    const QFileInfo top(path);
    QString text = top.absoluteFilePath() + u'\n';
    const auto add = [&text](const QFileInfo& file) {
        text += file.absoluteFilePath() + u' ' + QString::number(file.size()) + u' ' +
                QString::number(file.lastModified().toMSecsSinceEpoch()) + u'\n';
    };
    if (!top.isDir()) {
        add(top);
        return text;
    }
    QStringList names;
    QDirIterator files(path, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        names << files.next();
    names.sort();
    for (const QString& name : names)
        add(QFileInfo(name));
    return text;
}

} // namespace

QString terrainIdentity(const CliOptions& options) {
    const QString kind = options.valueOf(QStringLiteral("terrain")).toLower();
    if (kind == QLatin1String("quarn"))
        return kind;
    if (kind == QLatin1String("raster"))
        return kind + u' ' + filesText(options.valueOf(QStringLiteral("dem")));
    return QStringLiteral("globe ") + filesText(globeFolderOption(options));
}

QString coverageInputsDigest(const coverage::CoverageInputs& in, const QString& terrain) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayLiteral(VERDAN_VERSION_TEXT "\n"));
    hash.addData(QByteArray::fromStdString(modelText(in) + '\n' + budgetText(in) + '\n'));
    hash.addData(terrain.toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace verdan::cli
