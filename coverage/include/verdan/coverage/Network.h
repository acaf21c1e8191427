// A radio network's merged map: the per-site coverage maps (each with received power and a
// margin over the receiver's threshold) combined cell by cell. Plain C++ over GDAL, no Qt.
//
// In every cell of the maps' union:
// - the strongest received power of any site, dBm, and the best server: the 1-based number of
//   the site that gives it (the first on a tie);
// - the overlap: how many sites reach the receiver's threshold (margin 0 dB or more);
// - the signal-to-interference-plus-noise ratio, dB: the best server's power over the sum of
//   the powers of the other sites on its channel plus the receiver's noise,
//
//       SINR = P_best - 10 log10( sum P_j + N ),    N = -174 dBm/Hz + 10 log10(B / 1 Hz) + NF
//
//   with powers in mW inside the sum, B the channel bandwidth and NF the receiver's noise
//   figure (kT at 290 K is -174 dBm/Hz). Site j is on the best server's channel when their
//   frequencies differ by less than B: a site one channel spacing away does not interfere.
//
// Areas are the cells' exact areas on the WGS 84 ellipsoid, as in coveredArea().
#pragma once

#include <verdan/coverage/CoverageOutput.h>

#include <atomic>
#include <string>
#include <vector>

namespace verdan::coverage {

/// One site's map as the merge reads it.
struct NetworkSite {
    std::string name;    ///< named in the metadata and the legend
    std::string mapPath; ///< a coverage GeoTIFF with received power and margin bands
    double freqMHz = 0;  ///< the site's frequency, for the channels
};

/// The receiver's channel for the interference.
struct ChannelSettings {
    double bandwidthHz = 1e6;   ///< channel bandwidth, > 0
    double noiseFigureDb = 5;   ///< receiver noise figure, dB
    double sinrThresholdDb = 0; ///< the summary's SINR area counts cells at or above it
};

/// The thermal noise of a receiver, dBm: -174 dBm/Hz + 10 log10(bandwidth) + noise figure.
double receiverNoiseDbm(const ChannelSettings& channel);

/// The merged map; every band holds a value per cell of `layout` (NaN where no site has one).
struct NetworkGrid {
    CoverageGrid layout;                ///< size and georeferencing; its own bands stay empty
    std::vector<float> powerDbm;        ///< strongest received power
    std::vector<float> server;          ///< best server, 1-based site number
    std::vector<float> overlap;         ///< sites at or above the threshold, 0 and up
    std::vector<float> sinrDb;          ///< signal to interference plus noise of the best server
    std::vector<CoveredArea> siteAreas; ///< per site: its covered area and its own disc
};

/// Merges the sites' maps (of one resolution, lined up) as the comment above says. Fails,
/// naming the file, for a map that is not a coverage map with received power and margin bands,
/// maps that do not line up, a merged map of more than MaxCells cells, or when cancelled.
Status mergeNetwork(const std::vector<NetworkSite>& sites, const ChannelSettings& channel,
                    NetworkGrid& merged, const std::atomic<bool>* cancel = nullptr);

/// One site's map in memory as the merge reads it.
struct NetworkGridSite {
    std::string name;                   ///< named in the messages
    const CoverageGrid* grid = nullptr; ///< with received power and margin bands
    double freqMHz = 0;
};

/// The same merge over maps in memory (as runCoverage() makes them); fails, naming the site,
/// for a map without received power and margin bands.
Status mergeNetwork(const std::vector<NetworkGridSite>& sites, const ChannelSettings& channel,
                    NetworkGrid& merged, const std::atomic<bool>* cancel = nullptr);

/// The size and place of the merged map of `grids` (their bands are not read); fails, naming
/// the site of `names`, for maps that do not line up or a merged map of more than MaxCells
/// cells.
Status networkLayout(const std::vector<const CoverageGrid*>& grids,
                     const std::vector<std::string>& names, CoverageGrid& merged);

/// The areas of a merged map.
struct NetworkArea {
    CoveredArea network;       ///< at or above the threshold from any site, of the union
    double multiServedKm2 = 0; ///< at or above the threshold from two sites or more
    double sinrAboveKm2 = 0;   ///< SINR at or above the threshold
};

NetworkArea networkArea(const NetworkGrid& merged, const ChannelSettings& channel);

/// The colour of site `number` (1-based) in a best-server map: hues a golden angle apart,
/// in two levels of brightness, so that neighbouring numbers differ clearly.
Rgba serverColour(int number);

/// Writes PREFIX.tif (Float32 bands: 1 strongest received power, dBm; 2 best server; 3
/// overlap; 4 SINR, dB; metadata VERDAN_MAP "network" and SITE_<n> the site names), PREFIX.png
/// (the best server in serverColour()) and PREFIX.kml (its ground overlay, the sites and
/// their colours in the legend), as `formats` asks, as one set (see writeCoverageFiles()).
Status writeNetworkFiles(const NetworkGrid& merged, const std::vector<NetworkSite>& sites,
                         const std::string& prefix, OutputFormats formats, const std::string& title,
                         const std::atomic<bool>* cancel = nullptr);

/// The metadata item of a coverage GeoTIFF that holds the digest of the inputs it was made
/// from (CoverageGrid::metadata), and its value in the file `path` (empty when absent or
/// unreadable).
inline constexpr const char* InputsDigestItem = "VERDAN_INPUTS_DIGEST";
std::string mapInputsDigest(const std::string& path);

} // namespace verdan::coverage
