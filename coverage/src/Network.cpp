#include <verdan/coverage/Network.h>

#include "GdalRaster.h"
#include "TextFormat.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

namespace verdan::coverage {

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
const std::string PowerBand = "received power at the receiver input";
const std::string MarginBand = "margin over the receiver threshold";

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

// A site's band, placed in the merged grid at (column0, row0): read from its file, or
// pointing into its map in memory.
struct PlacedBand {
    CoverageGrid read;
    std::vector<float> readValues;
    const CoverageGrid* grid = &read;
    const std::vector<float>* values = &readValues;
    long long column0 = 0;
    long long row0 = 0;

    PlacedBand() = default;
    PlacedBand(const PlacedBand&) = delete;
    PlacedBand& operator=(const PlacedBand&) = delete;

    std::size_t mergedCell(const CoverageGrid& merged, int row, int column) const {
        return static_cast<std::size_t>(row0 + row) * merged.columns +
               static_cast<std::size_t>(column0 + column);
    }
};

// Gives band `description` (PowerBand or MarginBand) of site `index`, placed in the merged grid.
using BandSource = std::function<Status(std::size_t index, const std::string& description,
                                        const CoverageGrid& merged, PlacedBand& band)>;

Status readPlaced(const std::string& path, const std::string& description,
                  const CoverageGrid& merged, PlacedBand& band) {
    if (Status s = detail::readMapBand(path, description, band.read, band.readValues); !s.ok)
        return s;
    if (!detail::placeInMosaic(merged, band.read, band.column0, band.row0))
        return Status::failure(path + ": changed while the maps were merged");
    return Status::success();
}

// The strongest power, best server, overlap and the site's own areas from site `index`.
Status takeStrongest(const BandSource& bands, std::size_t index, NetworkGrid& merged) {
    PlacedBand power;
    PlacedBand margin;
    if (Status s = bands(index, PowerBand, merged.layout, power); !s.ok)
        return s;
    if (Status s = bands(index, MarginBand, merged.layout, margin); !s.ok)
        return s;
    const auto number = static_cast<float>(index + 1);
    CoveredArea& area = merged.siteAreas.emplace_back();
    for (int r = 0; r < power.grid->rows; ++r) {
        const double cellKm2 = cellAreaKm2(*power.grid, r);
        for (int c = 0; c < power.grid->columns; ++c) {
            const std::size_t own = static_cast<std::size_t>(r) * power.grid->columns + c;
            const float powerDbm = (*power.values)[own];
            if (std::isnan(powerDbm))
                continue;
            const std::size_t at = power.mergedCell(merged.layout, r, c);
            const bool covered = (*margin.values)[own] >= 0.0F;
            merged.overlap[at] = (std::isnan(merged.overlap[at]) ? 0.0F : merged.overlap[at]) +
                                 (covered ? 1.0F : 0.0F);
            area.discKm2 += cellKm2;
            area.coveredKm2 += covered ? cellKm2 : 0.0;
            if (!(powerDbm <= merged.powerDbm[at])) {
                merged.powerDbm[at] = powerDbm;
                merged.server[at] = number;
            }
        }
    }
    return Status::success();
}

bool sameChannel(double aMHz, double bMHz, const ChannelSettings& channel) {
    return std::fabs(aMHz - bMHz) * 1e6 < channel.bandwidthHz;
}

// Adds the power (mW) of site `index` to the interference of the cells where another site on
// its channel serves.
Status addInterference(const BandSource& bands, const std::vector<double>& freqsMHz,
                       std::size_t index, const ChannelSettings& channel,
                       const NetworkGrid& merged, std::vector<double>& interferenceMw) {
    PlacedBand power;
    if (Status s = bands(index, PowerBand, merged.layout, power); !s.ok)
        return s;
    const auto ownNumber = static_cast<float>(index + 1);
    for (int r = 0; r < power.grid->rows; ++r) {
        for (int c = 0; c < power.grid->columns; ++c) {
            const float powerDbm =
                (*power.values)[static_cast<std::size_t>(r) * power.grid->columns + c];
            const std::size_t at = power.mergedCell(merged.layout, r, c);
            const float server = merged.server[at];
            if (std::isnan(powerDbm) || server == ownNumber ||
                !sameChannel(freqsMHz[index], freqsMHz[static_cast<std::size_t>(server) - 1],
                             channel))
                continue;
            interferenceMw[at] += std::pow(10.0, powerDbm / 10.0);
        }
    }
    return Status::success();
}

// Whether any other site shares the channel of site `index` (else it interferes nowhere).
bool hasCochannelSite(const std::vector<double>& freqsMHz, std::size_t index,
                      const ChannelSettings& channel) {
    for (std::size_t j = 0; j < freqsMHz.size(); ++j)
        if (j != index && sameChannel(freqsMHz[j], freqsMHz[index], channel))
            return true;
    return false;
}

// Merges the bands of the sites of `freqsMHz` into `merged`, whose layout is set.
Status mergeBands(const BandSource& bands, const std::vector<double>& freqsMHz,
                  const ChannelSettings& channel, NetworkGrid& merged,
                  const std::atomic<bool>* cancel) {
    const auto cells = static_cast<std::size_t>(merged.layout.cellCount());
    merged.powerDbm.assign(cells, NaN);
    merged.server.assign(cells, NaN);
    merged.overlap.assign(cells, NaN);
    for (std::size_t i = 0; i < freqsMHz.size(); ++i) {
        if (cancelled(cancel))
            return Status::failure("cancelled", WriteCancelled);
        if (Status s = takeStrongest(bands, i, merged); !s.ok)
            return s;
    }
    std::vector<double> interferenceMw(cells, std::pow(10.0, receiverNoiseDbm(channel) / 10.0));
    for (std::size_t i = 0; i < freqsMHz.size(); ++i) {
        if (cancelled(cancel))
            return Status::failure("cancelled", WriteCancelled);
        if (!hasCochannelSite(freqsMHz, i, channel))
            continue;
        if (Status s = addInterference(bands, freqsMHz, i, channel, merged, interferenceMw); !s.ok)
            return s;
    }
    merged.sinrDb.assign(cells, NaN);
    for (std::size_t at = 0; at < cells; ++at)
        if (!std::isnan(merged.powerDbm[at]))
            merged.sinrDb[at] =
                static_cast<float>(merged.powerDbm[at] - 10.0 * std::log10(interferenceMw[at]));
    return Status::success();
}

} // namespace

double receiverNoiseDbm(const ChannelSettings& channel) {
    return -174.0 + 10.0 * std::log10(channel.bandwidthHz) + channel.noiseFigureDb;
}

Status mergeNetwork(const std::vector<NetworkSite>& sites, const ChannelSettings& channel,
                    NetworkGrid& merged, const std::atomic<bool>* cancel) {
    if (sites.empty())
        return Status::failure("No site maps to merge");
    std::vector<std::string> paths;
    std::vector<double> freqsMHz;
    for (const NetworkSite& site : sites) {
        paths.push_back(site.mapPath);
        freqsMHz.push_back(site.freqMHz);
    }
    merged = {};
    if (Status s = detail::mosaicLayout(paths, merged.layout); !s.ok)
        return s;
    const BandSource read = [&paths](std::size_t index, const std::string& description,
                                     const CoverageGrid& layout, PlacedBand& band) {
        return readPlaced(paths[index], description, layout, band);
    };
    return mergeBands(read, freqsMHz, channel, merged, cancel);
}

Status networkLayout(const std::vector<const CoverageGrid*>& grids,
                     const std::vector<std::string>& names, CoverageGrid& merged) {
    if (grids.empty())
        return Status::failure("No site maps to merge");
    return detail::mosaicLayout(grids, names, merged);
}

Status mergeNetwork(const std::vector<NetworkGridSite>& sites, const ChannelSettings& channel,
                    NetworkGrid& merged, const std::atomic<bool>* cancel) {
    if (sites.empty())
        return Status::failure("No site maps to merge");
    std::vector<const CoverageGrid*> grids;
    std::vector<std::string> names;
    std::vector<double> freqsMHz;
    for (const NetworkGridSite& site : sites) {
        if (site.grid->powerDbm.empty() || site.grid->marginDb.empty())
            return Status::failure(site.name + ": its map has no received power and margin (it "
                                               "needs a power or an ERP and a threshold)");
        grids.push_back(site.grid);
        names.push_back(site.name);
        freqsMHz.push_back(site.freqMHz);
    }
    merged = {};
    if (Status s = networkLayout(grids, names, merged.layout); !s.ok)
        return s;
    const BandSource inMemory = [&grids](std::size_t index, const std::string& description,
                                         const CoverageGrid& layout, PlacedBand& band) {
        band.grid = grids[index];
        band.values = description == PowerBand ? &grids[index]->powerDbm : &grids[index]->marginDb;
        detail::placeInMosaic(layout, *band.grid, band.column0, band.row0);
        return Status::success();
    };
    return mergeBands(inMemory, freqsMHz, channel, merged, cancel);
}

NetworkArea networkArea(const NetworkGrid& merged, const ChannelSettings& channel) {
    NetworkArea area;
    const CoverageGrid& grid = merged.layout;
    for (int row = 0; row < grid.rows; ++row) {
        const double cellKm2 = cellAreaKm2(grid, row);
        for (int column = 0; column < grid.columns; ++column) {
            const auto at = static_cast<std::size_t>(row) * grid.columns + column;
            if (std::isnan(merged.powerDbm[at]))
                continue;
            area.network.discKm2 += cellKm2;
            area.network.coveredKm2 += merged.overlap[at] >= 1.0F ? cellKm2 : 0.0;
            area.multiServedKm2 += merged.overlap[at] >= 2.0F ? cellKm2 : 0.0;
            area.sinrAboveKm2 += merged.sinrDb[at] >= channel.sinrThresholdDb ? cellKm2 : 0.0;
        }
    }
    return area;
}

Rgba serverColour(int number) {
    // Hue steps of the golden angle (0.382 of a turn) never repeat and keep any two
    // consecutive numbers far apart; even numbers are darker.
    const double hue = std::fmod((number - 1) * 0.381966, 1.0) * 6.0;
    const double value = number % 2 == 0 ? 0.7 : 0.95;
    const double saturation = 0.8;
    const double chroma = value * saturation;
    const double x = chroma * (1.0 - std::fabs(std::fmod(hue, 2.0) - 1.0));
    const double rgb[6][3] = {{chroma, x, 0}, {x, chroma, 0}, {0, chroma, x},
                              {0, x, chroma}, {x, 0, chroma}, {chroma, 0, x}};
    const double* c = rgb[std::min(static_cast<int>(hue), 5)];
    const auto byte = [&](double part) {
        return static_cast<std::uint8_t>(std::lround((part + value - chroma) * 255.0));
    };
    return {byte(c[0]), byte(c[1]), byte(c[2]), 255};
}

namespace {

std::vector<std::uint8_t> serverPixels(const NetworkGrid& merged) {
    std::vector<std::uint8_t> pixels(merged.server.size() * 4, 0);
    for (std::size_t i = 0; i < merged.server.size(); ++i) {
        if (std::isnan(merged.server[i]))
            continue;
        const Rgba c = serverColour(static_cast<int>(merged.server[i]));
        pixels[4 * i] = c.red;
        pixels[4 * i + 1] = c.green;
        pixels[4 * i + 2] = c.blue;
        pixels[4 * i + 3] = c.alpha;
    }
    return pixels;
}

std::string legendTable(const std::vector<NetworkSite>& sites) {
    std::string html = "<table><tr><th></th><th>Best server</th></tr>";
    for (std::size_t i = 0; i < sites.size(); ++i)
        html +=
            "<tr><td style=\"background:" + text::hexColour(serverColour(static_cast<int>(i + 1))) +
            ";width:2em\"></td><td>" + std::to_string(i + 1) + " " +
            text::xmlEscaped(sites[i].name) + "</td></tr>";
    return html + "</table>";
}

std::string networkKml(const CoverageGrid& grid, const std::vector<NetworkSite>& sites,
                       const std::string& pngName, const std::string& title) {
    const auto deg = [](double value) { return text::fixed(value, 8); };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<GroundOverlay>\n"
           "  <name>" +
           text::xmlEscaped(title) + "</name>\n  <description><![CDATA[" + legendTable(sites) +
           "]]></description>\n  <color>c0ffffff</color>\n  <Icon><href>" +
           text::uriEscaped(pngName) + "</href></Icon>\n  <LatLonBox>\n    <north>" +
           deg(grid.northLatDeg) + "</north>\n    <south>" +
           deg(grid.northLatDeg - grid.rows * grid.cellDeg) + "</south>\n    <east>" +
           deg(grid.westLonDeg + grid.columns * grid.cellDeg) + "</east>\n    <west>" +
           deg(grid.westLonDeg) +
           "</west>\n  </LatLonBox>\n</GroundOverlay>\n</Document>\n</kml>\n";
}

} // namespace

Status writeNetworkFiles(const NetworkGrid& merged, const std::vector<NetworkSite>& sites,
                         const std::string& prefix, OutputFormats formats, const std::string& title,
                         const std::atomic<bool>* cancel) {
    if (const std::string refused = checkOutputPrefix(prefix); !refused.empty())
        return Status::failure(refused);
    CoverageGrid layout = merged.layout;
    for (std::size_t i = 0; i < sites.size(); ++i)
        layout.metadata.emplace_back("SITE_" + std::to_string(i + 1), sites[i].name);
    files::OutputSet set;
    if (formats.geoTiff)
        set.add(prefix + ".tif", [&](const files::TemporaryFile& file) {
            const std::vector<detail::FloatBand> bands{
                {&merged.powerDbm, "strongest received power", "dBm"},
                {&merged.server, "best server: 1-based site number (SITE_n metadata)", ""},
                {&merged.overlap, "overlap: sites at or above the threshold", ""},
                {&merged.sinrDb, "signal to interference plus noise of the best server", "dB"}};
            return detail::reasonOf(
                detail::writeFloatGeoTiff(file.path, layout, bands, detail::NetworkMapKind, cancel),
                file.path);
        });
    const std::string pngPath = prefix + formats.pngSuffix + ".png";
    if (formats.png || formats.kml)
        set.add(pngPath, [&](const files::TemporaryFile& file) {
            std::string bytes;
            const Status encoded = detail::encodeRgbaPng(serverPixels(merged), layout.columns,
                                                         layout.rows, bytes, cancel);
            return encoded.ok ? files::writeBytes(file, bytes) : detail::reasonOf(encoded);
        });
    if (formats.kml)
        set.add(
            prefix + ".kml",
            networkKml(layout, sites, std::filesystem::path(pngPath).filename().string(), title));
    return statusOf(set.publish(cancel));
}

std::string mapInputsDigest(const std::string& path) {
    return detail::readMapItem(path, InputsDigestItem);
}

} // namespace verdan::coverage
