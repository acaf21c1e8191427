#pragma once

#include "AppInfo.h"
#include "Coordinates.h"
#include "ProfileExtraction.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "ScreenModel.h"
#include "TerrainLibrary.h"

#include <array>

namespace verdan {

/// The path coordinates form "frmProfile" ("Profile"): the transmitter and receiver positions
/// as degrees, minutes, seconds and hemisphere (the sixteen boxes txtTransLat(0..3),
/// txtTransLon(0..3), txtRecLat(0..3), txtRecLon(0..3)) or as unsigned decimal degrees
/// (txtTLat, txtTLon, txtRLat, txtRLon), the terrain source (optDorvex: Quarn, Globe or an
/// elevation raster, whose file or folder is chosen with cmdRasterFile and cmdRasterFolder
/// and shown in lblRaster), and OK, which
/// extracts the terrain profile into the shared point-to-point state. The form is loaded at
/// its first opening and then only hidden, so its boxes keep their texts while the program
/// runs.
class FrmProfileModel : public ScreenModel {
    Q_OBJECT
public:
    /// The four coordinates, in the order the form handles them.
    enum Coordinate { TransLat, TransLon, RecLat, RecLon, CoordinateCount };

    FrmProfileModel(ProgramState& state, Prompter& prompter, TerrainLibrary& terrain,
                    const AppInfo& info, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmProfile"); }

    // ---- Controls ----
    /// Box `index` (0 degrees, 1 minutes, 2 seconds, 3 hemisphere) of coordinate `c`.
    QString box(Coordinate c, int index) const;
    void setBox(Coordinate c, int index, const QString& text);
    QString txtTransLat(int index) const { return box(TransLat, index); }
    QString txtTransLon(int index) const { return box(TransLon, index); }
    QString txtRecLat(int index) const { return box(RecLat, index); }
    QString txtRecLon(int index) const { return box(RecLon, index); }
    void setTxtTransLat(int index, const QString& text) { setBox(TransLat, index, text); }
    void setTxtTransLon(int index, const QString& text) { setBox(TransLon, index, text); }
    void setTxtRecLat(int index, const QString& text) { setBox(RecLat, index, text); }
    void setTxtRecLon(int index, const QString& text) { setBox(RecLon, index, text); }
    /// The decimal-degree box of coordinate `c` (txtTLat, txtTLon, txtRLat, txtRLon).
    QString ddBox(Coordinate c) const { return m_dd.at(static_cast<std::size_t>(c)); }
    void setDdBox(Coordinate c, const QString& text);
    QString txtTLat() const { return ddBox(TransLat); }
    QString txtTLon() const { return ddBox(TransLon); }
    QString txtRLat() const { return ddBox(RecLat); }
    QString txtRLon() const { return ddBox(RecLon); }
    void setTxtTLat(const QString& text) { setDdBox(TransLat, text); }
    void setTxtTLon(const QString& text) { setDdBox(TransLon, text); }
    void setTxtRLat(const QString& text) { setDdBox(RecLat, text); }
    void setTxtRLon(const QString& text) { setDdBox(RecLon, text); }
    /// The sixteen degree, minute, second and hemisphere boxes are shown.
    bool dmsVisible() const { return !m_ddView; }
    /// The four decimal-degree boxes are shown.
    bool ddVisible() const { return m_ddView; }
    /// The terrain source option selected: 0 "Quarn", 1 "Globe", 2 "Raster".
    int optDorvex() const { return m_optDorvex; }
    /// The elevation raster file or folder of the "Raster" source; empty when none is chosen.
    QString lblRaster() const { return m_state.path.RasterPath; }
    /// The numeric degrees, minutes, seconds and sign the form keeps for coordinate `c`.
    Dms coordinate(Coordinate c) const { return m_dms.at(static_cast<std::size_t>(c)); }

    // ---- Handlers ----
    void Form_Load();
    /// Leaving box `index` of coordinate `c`: a degree, minute or second box sets the number,
    /// a hemisphere box is corrected to its letter and sets the sign.
    void box_LostFocus(Coordinate c, int index);
    void txtTransLat_LostFocus(int index) { box_LostFocus(TransLat, index); }
    void txtTransLon_LostFocus(int index) { box_LostFocus(TransLon, index); }
    void txtRecLat_LostFocus(int index) { box_LostFocus(RecLat, index); }
    void txtRecLon_LostFocus(int index) { box_LostFocus(RecLon, index); }
    /// Leaving a decimal box: its text becomes the unsigned number at its start, led by a
    /// blank.
    void ddBox_LostFocus(Coordinate c);
    void txtTLat_LostFocus() { ddBox_LostFocus(TransLat); }
    void txtTLon_LostFocus() { ddBox_LostFocus(TransLon); }
    void txtRLat_LostFocus() { ddBox_LostFocus(RecLat); }
    void txtRLon_LostFocus() { ddBox_LostFocus(RecLon); }
    /// "&DD": the decimal-degree view, filled from the degree boxes.
    void mnuEditDD_Click();
    /// "&DMS": the degree view, filled from the decimal boxes.
    void mnuEditDMS_Click();
    /// Choosing the terrain source: 0 Quarn, 1 Globe, 2 Raster (which asks for a raster file
    /// when none that exists is chosen yet).
    void optDorvex_Click(int index);
    /// "Raster &File...": chooses one elevation raster file (SRTM .hgt, GeoTIFF, DTED, VRT);
    /// a choice selects the "Raster" source.
    void cmdRasterFile_Click();
    /// "Raster F&older...": chooses a folder whose raster tiles are used together; a choice
    /// selects the "Raster" source.
    void cmdRasterFolder_Click();
    /// "OK": hands the coordinates over and extracts the profile; the form is hidden after it.
    void cmdCalc_Click();
    /// F1: the program's help (kind 1, context 1).
    void showHelp();
    /// "Cancel": hides the form; nothing is extracted or handed over.
    void cmdCancel_Click() { requestClose(); }
    /// "&Close" of the "&File" menu: as Cancel.
    void mnuFileExit_Click() { requestClose(); }

    /// The end points as the current view gives them (decimal degrees, north and east
    /// positive).
    PathEnds currentEnds() const;

    /// The GLOBE folder prompt: asks for "globe.dat", sets GlobePath and clears ProfileReady
    /// when the chosen folder holds it; `confirm` adds "Globe path set. Please reload
    /// coordinates". Returns true when a folder was set.
    bool promptGlobeFolder(bool confirm);

signals:
    /// The whole text of a box is to be selected (a box got the focus).
    void selectAllRequested(const QString& control);

private:
    static std::size_t at(Coordinate c) { return static_cast<std::size_t>(c); }
    static bool isLatitude(Coordinate c) { return c == TransLat || c == RecLat; }
    void handOver();
    void extractQuarn(const PathEnds& ends);
    void extractGlobe(const PathEnds& ends);
    void extractRaster(const PathEnds& ends);
    void setRaster(const QString& path);
    /// Where a file dialog for a file or folder like `lastPath` starts: the folder of the
    /// last one chosen, else the program's data folder (the demo terrain), else home.
    QString startFolderNear(const QString& lastPath) const;
    void takeProfile(const ExtractionResult& result);
    void failed();

    ProgramState& m_state;
    Prompter& m_prompter;
    TerrainLibrary& m_terrain;
    const AppInfo& m_info;
    /// The folder mosaics built so far: a folder is scanned again only when its files change.
    terrain::RasterMosaicCache m_rasterMosaics;

    std::array<std::array<QString, 4>, CoordinateCount> m_boxes{
        {{QStringLiteral("39"), QStringLiteral("4"), QStringLiteral("48"), QStringLiteral("N")},
         {QStringLiteral("76"), QStringLiteral("42"), QStringLiteral("0"), QStringLiteral("W")},
         {QStringLiteral("38"), QStringLiteral("55"), QStringLiteral("12"), QStringLiteral("N")},
         {QStringLiteral("76"), QStringLiteral("58"), QStringLiteral("48"), QStringLiteral("W")}}};
    std::array<QString, CoordinateCount> m_dd{QStringLiteral("40.05"), QStringLiteral("-105.26"),
                                              QStringLiteral("39.97"), QStringLiteral("-105.47")};
    std::array<Dms, CoordinateCount> m_dms{};
    bool m_ddView = false;
    int m_optDorvex = 0;
};

} // namespace verdan
