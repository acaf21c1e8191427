#include "SitesTableModel.h"

#include "FileNameBytes.h"
#include "NumberFormat.h"

#include <verdan/radio/Units.h>

#include <QFileInfo>
#include <algorithm>

namespace verdan {

using coverage::Site;
using coverage::SiteColumn;
using coverage::SitesFile;

namespace {

const QString Title = QStringLiteral("Sites");

std::vector<SiteColumn> allColumns() {
    std::vector<SiteColumn> columns;
    for (int c = 0; c < coverage::SiteColumnCount; ++c)
        columns.push_back(static_cast<SiteColumn>(c));
    return columns;
}

/// Splits one CSV row into fields (quotes as the sites file writes them).
QStringList csvRow(const QString& line) {
    QStringList fields(QString{});
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && quoted && i + 1 < line.size() && line[i + 1] == u'"')
            fields.back() += line[++i];
        else if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            fields.append(QString{});
        else
            fields.back() += c;
    }
    return fields;
}

/// The cells of `site` as the sites file writes them, every column in order.
QStringList rowCells(const Site& site) {
    const std::string text = coverage::sitesCsv(SitesFile{allColumns(), {site}});
    QString row = QString::fromStdString(text.substr(text.find('\n') + 1));
    row.chop(1);
    return csvRow(row);
}

/// `file` read back through the sites file's own checks, or the fault of its row `row`
/// without the file name: "column power: ...".
std::optional<SitesFile> checked(const SitesFile& file, QString& fault) {
    SitesFile all{allColumns(), file.sites};
    const coverage::SitesRead read = coverage::parseSites(coverage::sitesCsv(all), "table");
    if (read.file)
        return read.file;
    fault = QString::fromStdString(read.message);
    const qsizetype comma = fault.indexOf(QStringLiteral(", "));
    fault = comma >= 0 ? fault.mid(comma + 2) : fault;
    return std::nullopt;
}

} // namespace

SitesTableModel::SitesTableModel(Prompter& prompter, QObject* parent)
    : ScreenModel(parent), m_prompter(prompter) {
    setCaption(Title);
    m_file.columns = allColumns();
}

QString SitesTableModel::columnName(int column) {
    return QString::fromStdString(coverage::siteColumnName(static_cast<SiteColumn>(column)));
}

QString SitesTableModel::cell(int row, int column) const {
    const Site& site = m_file.sites.at(static_cast<std::size_t>(row));
    // Powers and gains are kept to the full precision of a conversion ("50W" is
    // 46.98970004336019 dBm) and shown to a hundredth of a dB.
    if (column == static_cast<int>(SiteColumn::Power) && site.powerDbm)
        return numfmt::formatPattern(*site.powerDbm, u"0.##") + QStringLiteral("dBm");
    if (column == static_cast<int>(SiteColumn::Gain) && site.gainDbi)
        return numfmt::formatPattern(*site.gainDbi, u"0.##") + QStringLiteral("dBi");
    return rowCells(site).value(column);
}

void SitesTableModel::setSelectedRow(int row) {
    m_selected = row >= 0 && row < rowCount() ? row : -1;
    loadPattern();
    emit changed();
}

radio::AntennaPointing SitesTableModel::pointing() const {
    if (m_selected < 0)
        return {};
    const Site& site = m_file.sites.at(static_cast<std::size_t>(m_selected));
    return {site.azimuthDeg.value_or(0), site.tiltDeg.value_or(0)};
}

void SitesTableModel::loadPattern() {
    m_pattern.reset();
    m_antennaLine.clear();
    if (m_selected < 0)
        return;
    const Site& site = m_file.sites.at(static_cast<std::size_t>(m_selected));
    if (site.antenna.empty())
        return;
    const std::string base = m_path.isEmpty() ? std::string() : fileNameBytes(m_path).toStdString();
    radio::PatternRead read = radio::readPatternFile(coverage::sitePatternPath(base, site.antenna));
    if (!read.pattern) {
        m_antennaLine = QString::fromStdString(read.message);
        return;
    }
    m_pattern = std::move(read.pattern);
    m_antennaLine = QString::fromStdString(m_pattern->name.empty() ? site.antenna : m_pattern->name) +
                    QStringLiteral(", ") + QString::fromStdString(radio::formatFixed(m_pattern->gainDbi, 2)) +
                    QStringLiteral(" dBi");
}

void SitesTableModel::edited(int row) {
    m_dirty = true;
    if (row == m_selected)
        loadPattern();
    emit sitesChanged();
    emit changed();
}

bool SitesTableModel::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return false;
    QStringList cells = rowCells(m_file.sites.at(static_cast<std::size_t>(row)));
    cells[column] = text.trimmed();
    // The edited row read as a one-row file, then the whole table for names given twice.
    QStringList quoted;
    for (const QString& c : cells)
        quoted << u'"' + QString(c).replace(u'"', QStringLiteral("\"\"")) + u'"';
    const QString line = quoted.join(u',');
    std::string header;
    for (const SiteColumn c : allColumns())
        header += (header.empty() ? "" : ",") + coverage::siteColumnName(c);
    const coverage::SitesRead one = coverage::parseSites(header + '\n' + line.toStdString() + '\n', "table");
    QString fault;
    std::optional<SitesFile> all;
    if (!one.file) {
        fault = QString::fromStdString(one.message);
        fault = fault.mid(fault.indexOf(QStringLiteral(", ")) + 2);
    } else {
        SitesFile candidate = m_file;
        candidate.sites.at(static_cast<std::size_t>(row)) = one.file->sites.front();
        all = checked(candidate, fault);
    }
    if (!all) {
        inform(m_prompter, QStringLiteral("Site %1: %2").arg(row + 1).arg(fault), Title, MsgIcon::Warning);
        emit changed(); // the view shows the cell as it was
        return false;
    }
    m_file.sites = std::move(all->sites);
    edited(row);
    return true;
}

int SitesTableModel::addSite(double latDeg, double lonDeg) {
    Site site;
    site.latDeg = std::clamp(latDeg, -90.0, 90.0);
    site.lonDeg = std::clamp(lonDeg, -180.0, 180.0);
    for (int n = 1;; ++n) {
        site.name = "Site_" + std::to_string(n);
        SitesFile candidate = m_file;
        candidate.sites.push_back(site);
        QString fault;
        if (checked(candidate, fault))
            break;
    }
    m_file.sites.push_back(site);
    m_selected = rowCount() - 1;
    edited(m_selected);
    return m_selected;
}

bool SitesTableModel::moveSite(int row, double latDeg, double lonDeg) {
    if (row < 0 || row >= rowCount() || !(std::fabs(latDeg) <= 90) || !(std::fabs(lonDeg) <= 180))
        return false;
    Site& site = m_file.sites.at(static_cast<std::size_t>(row));
    site.latDeg = latDeg;
    site.lonDeg = lonDeg;
    edited(row);
    return true;
}

void SitesTableModel::removeSite(int row) {
    if (row < 0 || row >= rowCount())
        return;
    m_file.sites.erase(m_file.sites.begin() + row);
    m_selected = std::min(m_selected, rowCount() - 1);
    edited(-1);
    loadPattern();
}

void SitesTableModel::cmdAdd_Click() {
    if (m_selected < 0) {
        addSite(0, 0);
        return;
    }
    const Site& site = m_file.sites.at(static_cast<std::size_t>(m_selected));
    addSite(site.latDeg, site.lonDeg);
}

bool SitesTableModel::openFile(const QString& path) {
    coverage::SitesRead read = coverage::readSitesFile(fileNameBytes(path).toStdString());
    if (!read.file) {
        inform(m_prompter, QString::fromStdString(read.message), Title, MsgIcon::Warning);
        return false;
    }
    m_file = std::move(*read.file);
    m_path = path;
    m_dirty = false;
    m_selected = -1;
    loadPattern();
    setCaption(Title + QStringLiteral(" - ") + QFileInfo(path).fileName());
    emit sitesChanged();
    return true;
}

bool SitesTableModel::maySetAside() {
    if (!m_dirty)
        return true;
    const QString name = m_path.isEmpty() ? QStringLiteral("the new sites") : QFileInfo(m_path).fileName();
    switch (m_prompter.message(QStringLiteral("Save the changes to %1?").arg(name), Title,
                               MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes:
        return mnuSave_Click();
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void SitesTableModel::mnuOpen_Click() {
    if (!maySetAside())
        return;
    FileRequest request;
    request.caption = QStringLiteral("Open Sites");
    request.startFolder = QFileInfo(m_path).path();
    request.filters = {QStringLiteral("Sites Files (*.csv)"), QStringLiteral("All Files (*)")};
    const FileAnswer answer = m_prompter.openFile(request);
    if (!answer.path.isEmpty())
        openFile(answer.path);
}

bool SitesTableModel::saveTo(const QString& path) {
    if (m_file.sites.empty()) {
        inform(m_prompter, QStringLiteral("A sites file lists at least one site: add one first"), Title, MsgIcon::Warning);
        return false;
    }
    // Columns the file did not have are added once a site fills them.
    for (const SiteColumn column : allColumns()) {
        const bool used = std::any_of(m_file.sites.begin(), m_file.sites.end(), [&](const Site& site) {
            return !rowCells(site).value(static_cast<int>(column)).isEmpty();
        });
        if (used && std::find(m_file.columns.begin(), m_file.columns.end(), column) == m_file.columns.end())
            m_file.columns.push_back(column);
    }
    const terrain::Status written = coverage::writeSitesFile(fileNameBytes(path).toStdString(), m_file);
    if (!written.ok) {
        inform(m_prompter, QStringLiteral("The sites were not saved: ") + QString::fromStdString(written.message),
               Title, MsgIcon::Critical);
        return false;
    }
    m_path = path;
    m_dirty = false;
    setCaption(Title + QStringLiteral(" - ") + QFileInfo(path).fileName());
    return true;
}

bool SitesTableModel::mnuSave_Click() {
    return m_path.isEmpty() ? mnuSaveAs_Click() : saveTo(m_path);
}

bool SitesTableModel::mnuSaveAs_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Save Sites");
    request.startFolder = QFileInfo(m_path).path();
    request.filters = {QStringLiteral("Sites Files (*.csv)")};
    request.proposedName = m_path.isEmpty() ? QStringLiteral("sites.csv") : QFileInfo(m_path).fileName();
    const FileAnswer answer = m_prompter.saveFile(request);
    return !answer.path.isEmpty() && saveTo(answer.path);
}

void SitesTableModel::closeBoxClicked() {
    if (maySetAside())
        requestClose();
}

} // namespace verdan
