#include <verdan/coverage/CoverageOutput.h>

#include "GdalRaster.h"
#include "LegendImage.h"
#include "TextFormat.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>
#include <utility>

namespace verdan::coverage {

namespace {

namespace fs = std::filesystem;

using text::hexColour;
using text::uriEscaped;
using text::xmlEscaped;

// The scale as an HTML table for the overlay's description, with the warned cells in words.
std::string scaleTable(const CoverageGrid& grid, const ColourScale& scale) {
    std::string html =
        "<table><tr><th></th><th>" + xmlEscaped(quantityTitle(scale.quantity())) + "</th></tr>";
    for (const LegendEntry& entry : legendEntries(scale))
        html += "<tr><td style=\"background:" + hexColour(entry.colour) + ";width:2em\"></td><td>" +
                xmlEscaped(entry.text) + "</td></tr>";
    html += "</table>";
    const std::vector<WarningCount> counts = countWarnings(grid, scale.warningLevel());
    if (counts.empty())
        return html;
    html += std::string("<p>") + (scale.hatch() ? "Hatched: " : "") + "model warning " +
            std::to_string(scale.warningLevel()) + " or above, results probably invalid:</p><ul>";
    for (const WarningCount& count : counts)
        html += "<li>" + xmlEscaped(warningCountText(count)) + "</li>";
    return html + "</ul>";
}

// The covered area as a KML folder of outlined polygons; empty without polygons.
std::string kmlPolygonFolder(const detail::CoveredPolygons& polygons) {
    if (polygons.kml.empty())
        return {};
    std::string folder =
        "<Folder>\n"
        "  <name>Covered area (margin 0 dB or more)</name>\n"
        "  <Style id=\"covered\"><LineStyle><color>ff202020</color><width>2</width>"
        "</LineStyle><PolyStyle><fill>0</fill></PolyStyle></Style>\n";
    for (const std::string& polygon : polygons.kml)
        folder += "  <Placemark><styleUrl>#covered</styleUrl>" + polygon + "</Placemark>\n";
    return folder + "</Folder>\n";
}

// The covered area as a GeoJSON feature collection on WGS 84 (longitude, latitude).
std::string contourGeoJson(const detail::CoveredPolygons& polygons) {
    std::string json = "{\"type\":\"FeatureCollection\",\"name\":\"covered\",\"features\":[";
    for (std::size_t i = 0; i < polygons.geoJson.size(); ++i)
        json += std::string(i ? "," : "") +
                "\n{\"type\":\"Feature\",\"properties\":{\"covered\":\"margin 0 dB or more\"},"
                "\"geometry\":" +
                polygons.geoJson[i] + "}";
    return json + "\n]}\n";
}

// The legend picture pinned to the screen's top-left corner at its own size.
std::string legendOverlay(const ColourScale& scale, const std::string& legendName) {
    return "<ScreenOverlay>\n"
           "  <name>Legend: " +
           xmlEscaped(quantityTitle(scale.quantity())) +
           "</name>\n"
           "  <Icon><href>" +
           uriEscaped(legendName) +
           "</href></Icon>\n"
           "  <overlayXY x=\"0\" y=\"1\" xunits=\"fraction\" yunits=\"fraction\"/>\n"
           "  <screenXY x=\"10\" y=\"10\" xunits=\"pixels\" yunits=\"insetPixels\"/>\n"
           "  <size x=\"0\" y=\"0\" xunits=\"pixels\" yunits=\"pixels\"/>\n"
           "</ScreenOverlay>\n";
}

std::string kmlText(const CoverageGrid& grid, const std::string& pngName,
                    const std::string& legendName, const ColourScale& scale,
                    const std::string& title, const detail::CoveredPolygons& polygons) {
    const auto deg = [](double value) { return text::fixed(value, 8); };
    const double southLatDeg = grid.northLatDeg - grid.rows * grid.cellDeg;
    const double eastLonDeg = grid.westLonDeg + grid.columns * grid.cellDeg;
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
           "<Document>\n"
           "<GroundOverlay>\n"
           "  <name>" +
           xmlEscaped(title) +
           "</name>\n"
           "  <description><![CDATA[" +
           scaleTable(grid, scale) +
           "]]></description>\n"
           "  <color>c0ffffff</color>\n"
           "  <Icon><href>" +
           uriEscaped(pngName) +
           "</href></Icon>\n"
           "  <LatLonBox>\n"
           "    <north>" +
           deg(grid.northLatDeg) +
           "</north>\n"
           "    <south>" +
           deg(southLatDeg) +
           "</south>\n"
           "    <east>" +
           deg(eastLonDeg) +
           "</east>\n"
           "    <west>" +
           deg(grid.westLonDeg) +
           "</west>\n"
           "  </LatLonBox>\n"
           "</GroundOverlay>\n" +
           legendOverlay(scale, legendName) + kmlPolygonFolder(polygons) +
           "</Document>\n"
           "</kml>\n";
}

Status writeGeoTiff(const CoverageGrid& grid, const std::string& path,
                    const std::atomic<bool>* cancel) {
    std::vector<float> warning(grid.warning.size());
    for (std::size_t i = 0; i < warning.size(); ++i)
        warning[i] = std::isnan(grid.lossDb[i]) && grid.warning[i] != CellWithoutResult
                         ? grid.lossDb[i]
                         : grid.warning[i];
    std::vector<detail::FloatBand> bands{
        {&grid.lossDb, "basic transmission loss", "dB"},
        {&warning,
         "model warning (0 none, 1..4 the model's error indicator, 255 no result within the "
         "radius)",
         ""}};
    if (!grid.powerDbm.empty()) {
        bands.push_back({&grid.powerDbm, "received power at the receiver input", "dBm"});
        bands.push_back({&grid.fieldDbuvm, "field strength", "dBuV/m"});
    }
    if (!grid.marginDb.empty())
        bands.push_back({&grid.marginDb, "margin over the receiver threshold", "dB"});
    return detail::writeFloatGeoTiff(path, grid, bands, detail::SingleMapKind, cancel);
}

} // namespace

std::string checkOutputPrefix(const std::string& prefix) {
    const std::string name = fs::path(prefix).filename().string();
    if (prefix.empty() || prefix.back() == '/' || name.empty() || name == "." || name == "..")
        return prefix + ": expected a file name prefix, not a folder";
    std::error_code ignored;
    if (fs::is_directory(prefix, ignored))
        return prefix + ": is a folder; expected a file name prefix";
    constexpr std::size_t LongestNameBytes = 255; // of a file name on common file systems
    if (name.size() + std::string_view(".tif").size() > LongestNameBytes)
        return prefix + ": the file names would be longer than 255 bytes";
    return {};
}

void addCoverageFiles(files::OutputSet& set, const CoverageGrid& grid, const std::string& prefix,
                      OutputFormats formats, const ColourScale& scale, const std::string& title,
                      const std::atomic<bool>* cancel) {
    if (formats.geoTiff)
        set.add(prefix + ".tif", [&grid, cancel](const files::TemporaryFile& file) {
            return detail::reasonOf(writeGeoTiff(grid, file.path, cancel), file.path);
        });
    const std::string pngPath = prefix + formats.pngSuffix + ".png";
    if (formats.png || formats.kml)
        set.add(pngPath, [&grid, &scale, cancel](const files::TemporaryFile& file) {
            std::string bytes;
            const Status encoded = detail::encodeRgbaPng(renderRgba(grid, scale), grid.columns,
                                                         grid.rows, bytes, cancel);
            return encoded.ok ? files::writeBytes(file, bytes) : detail::reasonOf(encoded);
        });
    // The outlines are traced once, now, for the KML and the GeoJSON; a failure to trace
    // them fails the set through the files that need them.
    detail::CoveredPolygons polygons;
    std::string traceFailure;
    const bool contour = formats.contour && !grid.marginDb.empty();
    if (!grid.marginDb.empty() && (formats.kml || contour))
        traceFailure = detail::reasonOf(detail::polygonizeCovered(grid, polygons));
    const auto textOrFailure = [traceFailure](std::string text) {
        return [traceFailure, text = std::move(text)](const files::TemporaryFile& file) {
            return traceFailure.empty() ? files::writeBytes(file, text) : traceFailure;
        };
    };
    if (formats.kml) {
        const std::string legendPath = prefix + "-legend.png";
        set.add(legendPath, [&grid, &scale, cancel](const files::TemporaryFile& file) {
            const detail::RgbaImage legend =
                detail::legendImage(scale, !countWarnings(grid, scale.warningLevel()).empty());
            std::string bytes;
            const Status encoded =
                detail::encodeRgbaPng(legend.pixels, legend.width, legend.height, bytes, cancel);
            return encoded.ok ? files::writeBytes(file, bytes) : detail::reasonOf(encoded);
        });
        set.add(prefix + ".kml", textOrFailure(kmlText(grid, fs::path(pngPath).filename().string(),
                                                       fs::path(legendPath).filename().string(),
                                                       scale, title, polygons)));
    }
    if (contour)
        set.add(prefix + "-contour.geojson", textOrFailure(contourGeoJson(polygons)));
}

Status statusOf(const files::PublishResult& result) {
    if (result.cancelled)
        return Status::failure("cancelled", WriteCancelled);
    return result.ok ? Status::success() : Status::failure(result.message());
}

Status writeCoverageFiles(const CoverageGrid& grid, const std::string& prefix,
                          OutputFormats formats, const ColourScale& scale, const std::string& title,
                          const std::atomic<bool>* cancel) {
    if (const std::string refused = checkOutputPrefix(prefix); !refused.empty())
        return Status::failure(refused);
    files::OutputSet set;
    addCoverageFiles(set, grid, prefix, formats, scale, title, cancel);
    return statusOf(set.publish(cancel));
}

Rgba hatchColour(Rgba under) {
    const auto lighter = [](std::uint8_t c) { return static_cast<std::uint8_t>((c + 255) / 2); };
    return {lighter(under.red), lighter(under.green), lighter(under.blue), 255};
}

std::vector<std::uint8_t> renderRgba(const CoverageGrid& grid, const ColourScale& scale) {
    // A grid without the scale's quantity gives a clear picture of its size.
    const std::vector<float>& values = quantityValues(grid, scale.quantity());
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(grid.cellCount()) * 4);
    const auto columns = static_cast<std::size_t>(std::max(grid.columns, 1));
    for (std::size_t i = 0; i < values.size() && 4 * i < pixels.size(); ++i) {
        Rgba c = scale.colourFor(values[i]);
        const bool hatched =
            i < grid.warning.size() && scale.hatches(grid.warning[i]) &&
            onHatchLine(static_cast<int>(i % columns), static_cast<int>(i / columns));
        if (hatched && c.alpha > 0)
            c = hatchColour(c);
        pixels[4 * i] = c.red;
        pixels[4 * i + 1] = c.green;
        pixels[4 * i + 2] = c.blue;
        pixels[4 * i + 3] = c.alpha;
    }
    return pixels;
}

} // namespace verdan::coverage
