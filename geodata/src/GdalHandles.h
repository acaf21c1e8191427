// The few GDAL pieces the map's layers share: owning handles and GDAL's utilities called with
// an argument list.
#pragma once

#include <verdan/geodata/WebMercator.h>
#include <verdan/terrain/GdalSupport.h>

#include <gdal.h>
#include <gdal_priv.h>

#include <array>
#include <charconv>
#include <string>
#include <vector>

namespace verdan::geodata::detail {

inline GDALDatasetH handle(const terrain::GdalDatasetPtr& dataset) {
    return GDALDataset::ToHandle(dataset.get());
}

inline terrain::GdalDatasetPtr owned(GDALDatasetH dataset) {
    return terrain::GdalDatasetPtr(GDALDataset::FromHandle(dataset));
}

/// A NULL-terminated argument list for GDAL's utilities, kept alive while used.
class ArgumentList {
public:
    ArgumentList(std::initializer_list<std::string> arguments) : m_texts(arguments) {}
    void add(const std::string& argument) { m_texts.push_back(argument); }
    char** data();

private:
    std::vector<std::string> m_texts;
    std::vector<char*> m_pointers;
};

/// `value` as GDAL's utilities read it: the shortest text that reads back exactly, in the C
/// locale whatever the process locale.
inline std::string cText(double value) {
    std::array<char, 32> buffer{};
    return {buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr};
}

/// The display projection's spatial reference, as GDAL's utilities name it.
inline constexpr const char* DisplaySrs = "EPSG:3857";

} // namespace verdan::geodata::detail
