#include "FrmProfileModel.h"

#include "DriveMap.h"
#include "FrmDriveSelectModel.h"
#include "HelpSystem.h"
#include "NumberFormat.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace verdan {

using numfmt::generalNumber;
using numfmt::leadingNumber;

namespace {

const QString GlobeTitle = QStringLiteral("Globe Terrain Handler");
const QString GlobeDatabaseTitle = QStringLiteral("Globe Database");
const QString RasterTitle = QStringLiteral("Raster Terrain Handler");

// Index of box `index` of coordinate `c` among the sixteen shared coordinate strings.
int sharedIndex(FrmProfileModel::Coordinate c, int index) {
    return static_cast<int>(c) * 4 + index;
}

} // namespace

FrmProfileModel::FrmProfileModel(ProgramState& state, Prompter& prompter, TerrainLibrary& terrain,
                                 const AppInfo& info, QObject* parent)
    : ScreenModel(parent), m_state(state), m_prompter(prompter), m_terrain(terrain), m_info(info) {
    setCaption(QStringLiteral("Profile"));
}

QString FrmProfileModel::box(Coordinate c, int index) const {
    return m_boxes.at(at(c)).at(static_cast<std::size_t>(index));
}

void FrmProfileModel::setBox(Coordinate c, int index, const QString& text) {
    QString& box = m_boxes.at(at(c)).at(static_cast<std::size_t>(index));
    if (box == text)
        return;
    box = text;
    emit changed();
}

void FrmProfileModel::setDdBox(Coordinate c, const QString& text) {
    QString& box = m_dd.at(at(c));
    if (box == text)
        return;
    box = text;
    emit changed();
}

void FrmProfileModel::Form_Load() {
    PathState& path = m_state.path;
    if (path.TerrainSource == QLatin1String("Quarn"))
        m_optDorvex = 0;
    else if (path.TerrainSource == QLatin1String("GLOBE"))
        m_optDorvex = 1;
    else if (path.TerrainSource == QLatin1String("Raster"))
        m_optDorvex = 2;
    for (int c = 0; c < CoordinateCount; ++c) {
        const auto coordinate = static_cast<Coordinate>(c);
        auto& boxes = m_boxes.at(static_cast<std::size_t>(c));
        // Only stored texts replace the form's own: a first run shows the default path.
        for (int i = 0; i < 4; ++i) {
            const QString& stored =
                path.coords.at(static_cast<std::size_t>(sharedIndex(coordinate, i)));
            if (!stored.isEmpty())
                boxes.at(static_cast<std::size_t>(i)) = stored;
        }
        Dms& dms = m_dms.at(static_cast<std::size_t>(c));
        dms.degrees = leadingNumber(boxes[0]);
        dms.minutes = leadingNumber(boxes[1]);
        dms.seconds = leadingNumber(boxes[2]);
        if (isLatitude(coordinate))
            dms.sign = boxes[3] == QLatin1String("N") ? 1.0 : -1.0;
        else
            dms.sign = boxes[3] == QLatin1String("W") ? -1.0 : 1.0;
    }
    // The decimal view and its texts as the last hand-over (or the last session) left them.
    const std::array<const QString*, CoordinateCount> decimals{&path.TxLatDD, &path.TxLonDD,
                                                               &path.RxLatDD, &path.RxLonDD};
    for (std::size_t c = 0; c < decimals.size(); ++c) {
        if (!decimals[c]->isEmpty())
            m_dd[c] = *decimals[c];
    }
    m_ddView = path.CoordsInDD;
    emit changed();
}

void FrmProfileModel::box_LostFocus(Coordinate c, int index) {
    QString& text = m_boxes.at(at(c)).at(static_cast<std::size_t>(index));
    Dms& dms = m_dms.at(at(c));
    switch (index) {
    case 0:
        dms.degrees = leadingNumber(text);
        break;
    case 1:
        dms.minutes = leadingNumber(text);
        break;
    case 2:
        dms.seconds = leadingNumber(text);
        break;
    default: {
        const QChar first = text.isEmpty() ? QChar() : text.at(0).toUpper();
        if (isLatitude(c)) {
            const bool south = first == u'S';
            text = south ? QStringLiteral("S") : QStringLiteral("N");
            dms.sign = south ? -1.0 : 1.0;
        } else {
            const bool east = first == u'E';
            text = east ? QStringLiteral("E") : QStringLiteral("W");
            dms.sign = east ? 1.0 : -1.0;
        }
        break;
    }
    }
    emit changed();
}

void FrmProfileModel::ddBox_LostFocus(Coordinate c) {
    // The boxes hold unsigned values: the hemisphere alone gives the sign.
    QString& text = m_dd.at(at(c));
    text = u' ' + generalNumber(std::fabs(leadingNumber(text)));
    emit changed();
}

void FrmProfileModel::mnuEditDD_Click() {
    for (std::size_t c = 0; c < m_boxes.size(); ++c) {
        const auto& boxes = m_boxes[c];
        const double degrees = DmsToDegrees(leadingNumber(boxes[0]), leadingNumber(boxes[1]),
                                            leadingNumber(boxes[2]), m_dms[c].sign);
        m_dd[c] = numfmt::formatPattern(std::fabs(degrees), u"##0.0000");
    }
    m_ddView = true;
    emit changed();
}

void FrmProfileModel::mnuEditDMS_Click() {
    m_ddView = false;
    for (std::size_t c = 0; c < m_boxes.size(); ++c) {
        const Dms converted = DdToDms(std::fabs(leadingNumber(m_dd[c])));
        Dms& dms = m_dms[c];
        dms.degrees = converted.degrees;
        dms.minutes = converted.minutes;
        dms.seconds = converted.seconds;
        m_boxes[c][0] = generalNumber(converted.degrees);
        m_boxes[c][1] = generalNumber(converted.minutes);
        m_boxes[c][2] = generalNumber(converted.seconds);
    }
    emit changed();
}

void FrmProfileModel::optDorvex_Click(int index) {
    PathState& path = m_state.path;
    // A profile of the other source no longer belongs to the chosen one.
    path.ProfileReady = false;
    if (index == 1) {
        m_optDorvex = 1;
        path.TerrainSource = QStringLiteral("GLOBE");
        emit changed();
        if (!globeIndexExists(path.GlobePath))
            promptGlobeFolder(false);
        return;
    }
    if (index == 2) {
        m_optDorvex = 2;
        path.TerrainSource = QStringLiteral("Raster");
        emit changed();
        if (path.RasterPath.isEmpty() || !QFileInfo::exists(path.RasterPath))
            cmdRasterFile_Click();
        return;
    }
    m_optDorvex = 0;
    path.TerrainSource = QStringLiteral("Quarn");
    emit changed();
    m_prompter.message(QStringLiteral("Distibution of the Quarn Terrain Handler is restricted to\n"
                                      "US Government agencies only."),
                       m_info.title, MsgButtons::Ok, MsgIcon::None);
}

void FrmProfileModel::cmdRasterFile_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Choose an Elevation Raster");
    request.startFolder = startFolderNear(m_state.path.RasterPath);
    request.filters = {
        QStringLiteral("Elevation Rasters (*.tif *.tiff *.hgt *.dt0 *.dt1 *.dt2 *.vrt *.img)"),
        QStringLiteral("All Files (*)")};
    setRaster(m_prompter.openFile(request).path);
}

void FrmProfileModel::cmdRasterFolder_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Choose a Folder of Elevation Tiles");
    request.startFolder = startFolderNear(m_state.path.RasterPath);
    request.folder = true;
    setRaster(m_prompter.openFile(request).path);
}

void FrmProfileModel::setRaster(const QString& path) {
    if (path.isEmpty())
        return;
    // Choosing a raster chooses the raster source too.
    m_optDorvex = 2;
    m_state.path.TerrainSource = QStringLiteral("Raster");
    m_state.path.RasterPath = path;
    m_state.path.ProfileReady = false;
    emit changed();
}

QString FrmProfileModel::startFolderNear(const QString& lastPath) const {
    const QFileInfo last(lastPath);
    if (!lastPath.isEmpty() && last.isDir())
        return last.absoluteFilePath();
    if (!lastPath.isEmpty() && last.isFile())
        return last.absolutePath();
    // Nothing chosen yet: the program's data folder holds the demo terrain.
    if (!m_info.dataFolder.isEmpty() && QFileInfo(m_info.dataFolder).isDir())
        return m_info.dataFolder;
    return QDir::homePath();
}

bool FrmProfileModel::promptGlobeFolder(bool confirm) {
    m_prompter.message(
        QStringLiteral("Cannot find Globe database.  Specify Path to Globe Database Files."),
        GlobeTitle, MsgButtons::Ok, MsgIcon::None);
    FileRequest request;
    request.caption = QStringLiteral("Specify Globe Database Location");
    request.startFolder = startFolderNear(m_state.path.GlobePath);
    request.filters = {QStringLiteral("Globe Index (Globe.dat)"), QStringLiteral("All Files (*)")};
    request.proposedName = QStringLiteral("Globe.dat");
    const FileAnswer answer = m_prompter.openFile(request);
    const QString candidate =
        answer.path.isEmpty() ? QString() : QFileInfo(answer.path).absolutePath() + u'/';
    if (candidate.isEmpty() || !globeIndexExists(candidate)) {
        inform(m_prompter, QStringLiteral("Cannot find the Globe Database"), GlobeDatabaseTitle,
               MsgIcon::Information);
        return false;
    }
    m_state.path.GlobePath = candidate;
    m_state.path.ProfileReady = false;
    if (confirm) {
        m_prompter.message(QStringLiteral("Globe path set. Please reload coordinates"),
                           GlobeDatabaseTitle, MsgButtons::Ok, MsgIcon::None);
    }
    return true;
}

PathEnds FrmProfileModel::currentEnds() const {
    std::array<double, CoordinateCount> degrees{};
    for (std::size_t c = 0; c < degrees.size(); ++c) {
        const Dms& dms = m_dms[c];
        degrees[c] = m_ddView ? std::fabs(leadingNumber(m_dd[c])) * dms.sign
                              : DmsToDegrees(dms.degrees, dms.minutes, dms.seconds, dms.sign);
    }
    return PathEnds{degrees[TransLat], degrees[TransLon], degrees[RecLat], degrees[RecLon]};
}

void FrmProfileModel::handOver() {
    PathState& path = m_state.path;
    for (int c = 0; c < CoordinateCount; ++c) {
        const auto coordinate = static_cast<Coordinate>(c);
        for (int i = 0; i < 4; ++i) {
            if (m_ddView && i < 3)
                continue;
            path.coords.at(static_cast<std::size_t>(sharedIndex(coordinate, i))) =
                box(coordinate, i);
        }
    }
    if (m_ddView) {
        path.TxLatDD = m_dd[TransLat];
        path.TxLonDD = m_dd[TransLon];
        path.RxLatDD = m_dd[RecLat];
        path.RxLonDD = m_dd[RecLon];
    }
    path.CoordsInDD = m_ddView;
}

void FrmProfileModel::cmdCalc_Click() {
    const PathEnds ends = currentEnds();
    handOver();
    m_state.ProfilePoints = ExtractionPointCount;
    if (identicalEnds(ends)) {
        m_prompter.message(QStringLiteral("Warning: Identical coordinate values entered."),
                           QStringLiteral("Terrain Coordinates"), MsgButtons::Ok, MsgIcon::None);
        failed();
    } else if (m_state.path.TerrainSource == QLatin1String("GLOBE")) {
        extractGlobe(ends);
    } else if (m_state.path.TerrainSource == QLatin1String("Raster")) {
        extractRaster(ends);
    } else {
        extractQuarn(ends);
    }
    requestClose();
}

void FrmProfileModel::extractQuarn(const PathEnds& ends) {
    PathState& path = m_state.path;
    int32_t drive = 1;
    ExtractionResult result;
    for (;;) {
        m_prompter.setBusy(true);
        result = extractQuarnProfile(m_terrain, ends, drive);
        m_prompter.setBusy(false);
        if (result.libraryMissing) {
            failed();
            return;
        }
        // Error 1: the database index cannot be opened; the user may name its drive.
        if (result.succeeded() || result.errorNumber != 1)
            break;
        FrmDriveSelectModel picker(path.QuarnDrive);
        picker.Form_Load();
        m_prompter.runModal(picker);
        if (picker.QuarnDrive() == -1) {
            path.QuarnDrive = 1;
            break;
        }
        path.QuarnDrive = picker.QuarnDrive();
        drive = path.QuarnDrive;
    }
    m_state.ProfilePoints = result.pointsReturned;
    if (!result.succeeded()) {
        QString text = QuarnErrorText(result.errorNumber);
        if (text.isEmpty())
            text = QStringLiteral("Terrain database error %1").arg(result.errorNumber);
        m_prompter.message(text, QStringLiteral("Error"), MsgButtons::Ok, MsgIcon::Critical);
        failed();
        return;
    }
    if (result.pfl.empty()) {
        inform(m_prompter, QStringLiteral("Warning: No elevation points"),
               QStringLiteral("Profile"), MsgIcon::Information);
        failed();
        return;
    }
    if (result.filledPoints > 0) {
        inform(m_prompter, filledPointsText(result.filledPoints, result.pointsReturned),
               QStringLiteral("Profile"), MsgIcon::Warning);
    }
    takeProfile(result);
}

void FrmProfileModel::extractGlobe(const PathEnds& ends) {
    const QString globePath = m_state.path.GlobePath;
    m_prompter.setBusy(true);
    const ExtractionResult result = extractGlobeProfile(m_terrain, ends, globePath);
    m_prompter.setBusy(false);
    if (result.libraryMissing) {
        failed();
        return;
    }
    m_state.ProfilePoints = result.pointsReturned;
    if (result.succeeded()) {
        if (result.pfl.empty())
            failed();
        else
            takeProfile(result);
        return;
    }
    failed();
    m_prompter.message(globeErrorText(result.errorNumber, globePath), GlobeTitle, MsgButtons::Ok,
                       MsgIcon::None);
    if (result.errorNumber <= -1001)
        return;
    if (!globeIndexExists(globePath))
        promptGlobeFolder(true);
}

void FrmProfileModel::extractRaster(const PathEnds& ends) {
    PathState& path = m_state.path;
    if (path.RasterPath.isEmpty()) {
        m_prompter.message(QStringLiteral("No elevation raster is chosen: choose a raster file "
                                          "or a folder of tiles."),
                           RasterTitle, MsgButtons::Ok, MsgIcon::Warning);
        failed();
        return;
    }
    m_prompter.setBusy(true);
    const ExtractionResult result = extractRasterProfile(path.RasterPath, ends, &m_rasterMosaics);
    m_prompter.setBusy(false);
    m_state.ProfilePoints = result.pointsReturned;
    if (!result.succeeded()) {
        m_prompter.message(result.message, RasterTitle, MsgButtons::Ok, MsgIcon::Critical);
        failed();
        return;
    }
    path.RasterName = result.sourceName;
    path.FilledPoints = result.filledPoints;
    if (result.filledPoints > 0) {
        inform(m_prompter, filledPointsText(result.filledPoints, result.pointsReturned),
               QStringLiteral("Profile"), MsgIcon::Warning);
    }
    takeProfile(result);
}

void FrmProfileModel::takeProfile(const ExtractionResult& result) {
    m_state.path.pfl = result.pfl;
    m_state.path.ProfileReady = true;
    m_state.path.ProfileFile.clear();
}

void FrmProfileModel::showHelp() {
    HelpSystem(m_info, m_prompter).ShowHelp(1, 1);
}

void FrmProfileModel::failed() {
    // A failed extraction never leaves an older profile standing for the new coordinates.
    m_state.path.ProfileReady = false;
}

} // namespace verdan
