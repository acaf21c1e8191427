// The sites file of a radio network: one transmitter per row of a CSV file, read and written
// back. Plain C++, no Qt.
//
// The first row names the columns, in any order and letter case:
//
//     name,lat,lon,height_m,power,tx_loss,gain,antenna,azimuth,tilt,freq_mhz
//
// `name`, `lat` and `lon` are required; every other column is optional, and an empty cell
// takes the value the run is given for every site (the command line's, the window's). A
// sector site is several rows at the same position, each with its own antenna and azimuth.
//
//     name      a plain file name (letters, digits, '.', '_', '-', not starting with '.'), unique
//               ignoring letter case (the files of "A" and "a" are one on some file systems)
//     lat, lon  decimal degrees, north and east positive
//     height_m  the transmitting antenna's height above ground, 0.5..3000 m
//     power     the transmitter's output: "50W", "47dBm", "17dBW"
//     tx_loss   the transmitter's line loss, dB, 0 and up
//     gain      the antenna's gain: "12dBi", "10dBd" or a number in dBi
//     antenna   a Planet/MSI pattern file, relative to the sites file's folder (or absolute)
//     azimuth   the antenna's bearing, degrees clockwise from true north, 0..360
//     tilt      the antenna's mechanical downtilt, degrees, -90..90
//     freq_mhz  the frequency, 20..20000 MHz
//
// Numbers are read and written in the C locale whatever the process locale. Fields may be
// quoted ("a, b"; "" for a quote); CRLF line ends, blank lines and a UTF-8 byte order mark are
// accepted. A row's gain and antenna contradict each other. Errors name the file, the row (the
// line of the file, the header being row 1) and the column.
#pragma once

#include <verdan/coverage/Coverage.h>
#include <verdan/terrain/TerrainSource.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verdan::coverage {

/// The columns of a sites file, in the order of the comment above.
enum class SiteColumn {
    Name,
    Lat,
    Lon,
    HeightM,
    Power,
    TxLoss,
    Gain,
    Antenna,
    Azimuth,
    Tilt,
    FreqMHz
};

/// Number of SiteColumn values.
inline constexpr int SiteColumnCount = 11;

/// The column's name in the header row ("height_m").
std::string siteColumnName(SiteColumn column);

/// One row of a sites file; an empty optional (or text) is an empty cell.
struct Site {
    std::string name;
    double latDeg = 0; ///< -90..90
    double lonDeg = 0; ///< -180..180
    std::optional<double> heightM;
    std::optional<double> powerDbm;
    std::optional<double> txLossDb;
    std::optional<double> gainDbi;
    std::string antenna; ///< as written in the file: relative to the file's folder, or absolute
    std::optional<double> azimuthDeg;
    std::optional<double> tiltDeg;
    std::optional<double> freqMHz;
};

/// A sites file: its columns in the file's order and its sites in row order.
struct SitesFile {
    std::vector<SiteColumn> columns;
    std::vector<Site> sites;
};

/// The sites, or a one-line message naming the file, and the row and column at fault.
struct SitesRead {
    std::optional<SitesFile> file;
    std::string message;
};

/// Reads the sites from the text of a file; `fileName` is named in the messages. Refuses a
/// header without name, lat and lon, an unknown or repeated column, a row with more cells than
/// the header, a value out of its range, a row with both a gain and an antenna, a name that
/// is not a plain file name or is given twice, and a file without a site.
SitesRead parseSites(std::string_view text, const std::string& fileName);

/// Reads a sites file (a regular file of at most 16 MiB).
SitesRead readSitesFile(const std::string& path);

/// The CSV text of `file`: its columns in their order, numbers in the shortest form that reads
/// back to the same value, powers in dBm and gains in dBi; parseSites() reads it back to the
/// same sites.
std::string sitesCsv(const SitesFile& file);

/// Replaces the file `path` with sitesCsv(file), atomically (complete or not at all).
terrain::Status writeSitesFile(const std::string& path, const SitesFile& file);

/// The path of a site's pattern file: `antenna` as it is when absolute, else relative to the
/// folder of `sitesPath`.
std::string sitePatternPath(const std::string& sitesPath, const std::string& antenna);

/// Gives `in` what a site's row holds for its own run: its position, and from the cells that
/// are not empty the antenna height, a power (instead of an ERP), the line loss, a gain
/// (instead of a pattern) or the antenna pattern read from its file (`sitesPath` resolves a
/// relative name) with its azimuth and tilt, and the frequency. Empty when the site's inputs
/// are sound, else one line naming the column at fault: a pattern file that cannot be read, an
/// azimuth or tilt without a pattern, a line loss or gain beside an ERP (which holds them), or
/// a value the coverage engine refuses (checkInputs()).
std::string applySite(const Site& site, const std::string& sitesPath, CoverageInputs& in);

} // namespace verdan::coverage
