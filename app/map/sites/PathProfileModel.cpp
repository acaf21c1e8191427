#include "PathProfileModel.h"

#include "NumberFormat.h"

#include <verdan/radio/Units.h>

#include <cmath>
#include <utility>

namespace verdan {

using numfmt::formatPattern;

namespace {

const QString Title = QStringLiteral("Path Profile");

struct FieldSpec {
    const char* control;
    const char* name;
    double minimum;
    double maximum;
    const char* unit;
};

constexpr std::array<FieldSpec, PathProfileModel::FieldCount> Specs = {{
    {"txtLatA", "Latitude of %1", -90, 90, "degrees"},
    {"txtLonA", "Longitude of %1", -180, 180, "degrees"},
    {"txtLatB", "Latitude of %1", -90, 90, "degrees"},
    {"txtLonB", "Longitude of %1", -180, 180, "degrees"},
    {"txtHeightA", "Antenna height at %1", 0.5, 3000, "m"},
    {"txtHeightB", "Antenna height at %1", 0.5, 3000, "m"},
    {"txtFreq", "Frequency", 20, 20000, "MHz"},
}};

/// The model's range of path lengths, metres.
constexpr double LongestPathM = 2000e3;
constexpr double ShortestPathM = 1.0;

std::optional<double> number(const QString& text) {
    return radio::parseDecimal(text.trimmed().toStdString());
}

QString decimals(double value, int places) {
    return QString::fromStdString(radio::formatFixed(value, places));
}

/// A table of `values` (rows: reliability, columns: confidence) under `title`.
QString cellsText(const QString& title, const PathLossTable& table,
                  const std::vector<std::vector<double>>& values) {
    QString text = title + QStringLiteral("\nRel \\ Conf");
    for (const double conf : table.confidencePct)
        text += decimals(conf, 1).rightJustified(7) + u'%';
    for (std::size_t i = 0; i < table.reliabilityPct.size() && i < values.size(); ++i) {
        text += u'\n' + (decimals(table.reliabilityPct[i], 1) + u'%').rightJustified(10);
        for (const double value : values[i])
            text += decimals(value, 1).rightJustified(8);
    }
    return text + u'\n';
}

/// `dd` decimal degrees as the path coordinate strings: degrees, minutes, seconds (two
/// decimals) and the hemisphere letter.
std::array<QString, 4> dmsStrings(double dd, bool latitude) {
    const double totalSec = std::round(std::fabs(dd) * 360000.0) / 100.0;
    const double degrees = std::floor(totalSec / 3600.0);
    const double minutes = std::floor((totalSec - degrees * 3600.0) / 60.0);
    const double seconds = totalSec - degrees * 3600.0 - minutes * 60.0;
    const QString hemisphere = latitude ? (dd < 0 ? QStringLiteral("S") : QStringLiteral("N"))
                                        : (dd < 0 ? QStringLiteral("W") : QStringLiteral("E"));
    return {formatPattern(degrees, u"0"), formatPattern(minutes, u"0"),
            formatPattern(seconds, u"0.##"), hemisphere};
}

} // namespace

PathProfileModel::PathProfileModel(ProgramState& state, Prompter& prompter,
                                   PathProfileServices services, QObject* parent)
    : ScreenModel(parent), m_state(state), m_prompter(prompter), m_services(std::move(services)) {
    setCaption(Title);
    m_text[txtHeightA] = QStringLiteral("30");
    m_text[txtHeightB] = QStringLiteral("10");
    m_text[txtFreq] = QStringLiteral("450");
}

QString PathProfileModel::controlName(Field field) {
    return QString::fromLatin1(Specs.at(field).control);
}

void PathProfileModel::setText(Field field, const QString& text) {
    if (m_text.at(field) == text)
        return;
    m_text.at(field) = text;
    if (field <= txtLonB)
        m_names.at(field <= txtLonA ? EndA : EndB) =
            field <= txtLonA ? QStringLiteral("A") : QStringLiteral("B");
    emit changed();
}

QString PathProfileModel::fieldError(Field field) const {
    const FieldSpec& rule = Specs.at(field);
    const std::optional<double> value = number(m_text.at(field));
    if (value && *value >= rule.minimum && *value <= rule.maximum)
        return {};
    const QString end =
        m_names.at(field == txtLatA || field == txtLonA || field == txtHeightA ? EndA : EndB);
    const QString name = QString::fromLatin1(rule.name);
    return (name.contains(QLatin1String("%1")) ? name.arg(end) : name) +
           QStringLiteral(": a number from %1 to %2 %3")
               .arg(numfmt::generalNumber(rule.minimum), numfmt::generalNumber(rule.maximum),
                    QString::fromLatin1(rule.unit));
}

std::optional<terrain::GeoPoint> PathProfileModel::endPoint(End end) const {
    const Field lat = end == EndA ? txtLatA : txtLatB;
    const Field lon = end == EndA ? txtLonA : txtLonB;
    if (!fieldError(lat).isEmpty() || !fieldError(lon).isEmpty())
        return std::nullopt;
    return terrain::GeoPoint{*number(m_text.at(lat)), *number(m_text.at(lon))};
}

void PathProfileModel::setEnd(End end, const QString& name, double latDeg, double lonDeg) {
    m_text.at(end == EndA ? txtLatA : txtLatB) = decimals(latDeg, 6);
    m_text.at(end == EndA ? txtLonA : txtLonB) = decimals(lonDeg, 6);
    m_names.at(end) = name;
}

void PathProfileModel::mapClicked(double latDeg, double lonDeg) {
    const End end = m_nextClick;
    setEnd(end, end == EndA ? QStringLiteral("A") : QStringLiteral("B"), latDeg, lonDeg);
    m_nextClick = end == EndA ? EndB : EndA;
    emit changed();
    if (end == EndB)
        cmdProfile_Click();
}

void PathProfileModel::cancelTool() {
    if (std::exchange(m_nextClick, EndA) == EndB)
        emit changed(); // the first click shown on the map goes
}

std::optional<terrain::GeoPoint> PathProfileModel::firstClick() const {
    return m_nextClick == EndB ? endPoint(EndA) : std::nullopt;
}

void PathProfileModel::useSite(End end, const QString& name, double latDeg, double lonDeg,
                               double heightM) {
    setEnd(end, name, latDeg, lonDeg);
    m_text.at(end == EndA ? txtHeightA : txtHeightB) = numfmt::generalNumber(heightM);
    emit changed();
}

bool PathProfileModel::cmdProfile_Click() {
    for (int f = 0; f < FieldCount; ++f) {
        const QString error = fieldError(static_cast<Field>(f));
        if (!error.isEmpty()) {
            inform(m_prompter, error, Title, MsgIcon::Warning);
            return false;
        }
    }
    const terrain::GeoPoint a = *endPoint(EndA);
    const terrain::GeoPoint b = *endPoint(EndB);
    const double pathM =
        radio::pathDirections({a.latDeg, a.lonDeg, 0, 0}, {b.latDeg, b.lonDeg, 0, 0},
                              radio::ActualEarthRadiusM)
            .distanceM;
    if (pathM < ShortestPathM || pathM > LongestPathM) {
        inform(
            m_prompter,
            QStringLiteral(
                "The path from %1 to %2 is %3 km long: the model takes paths from 1 m to 2000 km")
                .arg(m_names[EndA], m_names[EndB], decimals(pathM / 1000, 3)),
            Title, MsgIcon::Warning);
        return false;
    }
    QString error;
    const std::shared_ptr<const terrain::TerrainSource> source = m_services.terrain(error);
    terrain::Profile profile;
    const terrain::Status read = source
                                     ? source->profile(a, b, source->pointCountFor(a, b), profile)
                                     : terrain::Status::failure(error.toStdString());
    if (!read.ok) {
        inform(m_prompter, QStringLiteral("No profile: ") + QString::fromStdString(read.message),
               Title, MsgIcon::Warning);
        return false;
    }
    m_profile = std::move(profile);
    m_terrainName = QString::fromStdString(source->displayName());
    const double freqMHz = *number(m_text[txtFreq]);
    const double heightAM = *number(m_text[txtHeightA]);
    const double heightBM = *number(m_text[txtHeightB]);
    m_modelError.clear();
    m_table = m_services.model ? m_services.model(m_profile.modelArray(), freqMHz, heightAM,
                                                  heightBM, m_modelError)
                               : std::nullopt;
    m_k = m_table && m_table->curvatureK > 0 ? m_table->curvatureK : 4.0 / 3.0;
    m_geometry = profileGeometry(m_profile.elevationsM, m_profile.spacingM, heightAM, heightBM,
                                 freqMHz, m_k);
    computeBudget(m_profile);
    describe();
    m_drawnPath = DrawnPath{a, b, m_names[EndA], m_names[EndB]};
    ++m_revision;
    emit changed();
    return true;
}

void PathProfileModel::computeBudget(const terrain::Profile& profile) {
    m_budget.reset();
    if (!m_table || !m_services.budget)
        return;
    const std::optional<LinkBudgetInputs> inputs = m_services.budget();
    if (!inputs || !inputs->tx.mainBeamEirpDbm())
        return;
    const terrain::GeoPoint a = *endPoint(EndA);
    const terrain::GeoPoint b = *endPoint(EndB);
    PathBudget budget;
    budget.directions = radio::pathDirections(
        {a.latDeg, a.lonDeg, profile.elevationsM.front(), *number(m_text[txtHeightA])},
        {b.latDeg, b.lonDeg, profile.elevationsM.back(), *number(m_text[txtHeightB])},
        m_geometry.earthRadiusM);
    const double freqMHz = *number(m_text[txtFreq]);
    for (const std::vector<double>& row : m_table->lossDb) {
        auto& power = budget.powerDbm.emplace_back();
        auto& field = budget.fieldDbuvm.emplace_back();
        std::vector<double> margin;
        for (const double lossDb : row) {
            const radio::LinkBudget cell = radio::linkBudget(
                inputs->tx, inputs->rx, budget.directions.fromFirst, lossDb, freqMHz);
            budget.txGainDbi = cell.txGainDbi;
            budget.eirpDbm = cell.eirpDbm;
            power.push_back(cell.powerDbm);
            field.push_back(cell.fieldDbuvm);
            if (cell.marginDb)
                margin.push_back(*cell.marginDb);
        }
        if (!margin.empty())
            budget.marginDb.push_back(std::move(margin));
    }
    m_budget = std::move(budget);
}

void PathProfileModel::describe() {
    const radio::PathDirections directions = radio::pathDirections(
        {endPoint(EndA)->latDeg, endPoint(EndA)->lonDeg, 0, 0},
        {endPoint(EndB)->latDeg, endPoint(EndB)->lonDeg, 0, 0}, m_geometry.earthRadiusM);
    m_summary =
        QStringLiteral("%1 to %2: %3 km, bearing %4°, %5; k %6")
            .arg(m_names[EndA], m_names[EndB], decimals(m_geometry.pathM / 1000, 2),
                 decimals(directions.fromFirst.azimuthDeg, 1), m_terrainName, decimals(m_k, 3));
    if (m_table)
        m_summary += QStringLiteral(" (") + m_table->pathType + u')';
    else
        m_summary +=
            QStringLiteral(" of a standard atmosphere: the model did not run") +
            (m_modelError.isEmpty() ? QString() : QStringLiteral(" (") + m_modelError + u')');
    if (m_profile.filledPoints > 0)
        m_summary += QStringLiteral("\n%1 points without terrain data taken as 0 m")
                         .arg(m_profile.filledPoints);
    if (const auto& worst = m_geometry.worst) {
        m_summary +=
            QStringLiteral(
                "\nLine of sight %1; smallest clearance %2 of the first Fresnel zone at %3 km "
                "(%4 m over the terrain, zone radius %5 m)")
                .arg(worst->lineOfSight ? QStringLiteral("clear") : QStringLiteral("obstructed"),
                     decimals(worst->clearanceRatio, 2), decimals(worst->atDistanceM / 1000, 2),
                     decimals(worst->clearanceM, 1), decimals(worst->fresnelRadiusM, 1));
    }
    m_tableText.clear();
    if (!m_table)
        return;
    m_tableText = cellsText(QStringLiteral("Loss (dB)"), *m_table, m_table->lossDb);
    if (!m_budget)
        return;
    m_tableText +=
        QStringLiteral("\nEIRP %1 dBm toward %2\n(antenna gain %3 dBi at elevation %4°)\n")
            .arg(decimals(m_budget->eirpDbm, 1), m_names[EndB], decimals(m_budget->txGainDbi, 2),
                 decimals(m_budget->directions.fromFirst.elevationDeg, 2));
    m_tableText +=
        u'\n' + cellsText(QStringLiteral("Received power (dBm)"), *m_table, m_budget->powerDbm);
    m_tableText += u'\n' + cellsText(QString::fromUtf8("Field strength (dBµV/m)"), *m_table,
                                     m_budget->fieldDbuvm);
    if (!m_budget->marginDb.empty())
        m_tableText +=
            u'\n' + cellsText(QStringLiteral("Margin (dB)"), *m_table, m_budget->marginDb);
}

void PathProfileModel::cmdSendToPtoP_Click() {
    if (!cmdSendEnabled()) {
        inform(m_prompter,
               QStringLiteral("Draw a profile first: two clicks on the map, or two sites"), Title);
        return;
    }
    PathState& path = m_state.path;
    const std::array<terrain::GeoPoint, 2> ends = {*endPoint(EndA), *endPoint(EndB)};
    for (std::size_t e = 0; e < 2; ++e) {
        const auto lat = dmsStrings(ends[e].latDeg, true);
        const auto lon = dmsStrings(ends[e].lonDeg, false);
        const int first = e == 0 ? PathState::TxLatDeg_DD : PathState::RxLatDeg_DD;
        for (int i = 0; i < 4; ++i) {
            path.coords.at(static_cast<std::size_t>(first + i)) =
                lat.at(static_cast<std::size_t>(i));
            path.coords.at(static_cast<std::size_t>(first + 4 + i)) =
                lon.at(static_cast<std::size_t>(i));
        }
    }
    path.TxLatDD = decimals(std::fabs(ends[0].latDeg), 6);
    path.TxLonDD = decimals(std::fabs(ends[0].lonDeg), 6);
    path.RxLatDD = decimals(std::fabs(ends[1].latDeg), 6);
    path.RxLonDD = decimals(std::fabs(ends[1].lonDeg), 6);
    path.CoordsInDD = true;
    if (m_services.terrainChoice) {
        const TerrainChoice terrain = m_services.terrainChoice();
        path.TerrainSource = terrain.source;
        path.RasterPath = terrain.rasterPath;
    }
    path.pfl = m_profile.modelArray();
    path.ProfileReady = true;
    path.ProfileFile.clear();
    path.FilledPoints = m_profile.filledPoints;
    path.RasterName = path.TerrainSource == QLatin1String("Raster") ? m_terrainName : QString();
    m_state.ProfilePoints = static_cast<int>(m_profile.elevationsM.size());
    emit sentToPointToPoint();
}

} // namespace verdan
