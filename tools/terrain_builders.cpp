#include "terrain_builders.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace verdan::terrain {

namespace {

constexpr int kColumns = 43200;
constexpr int kTileColumns = 10800;
constexpr int kBandFirstRow[4] = {16800, 10800, 4800, 0}; // southernmost row of each band
constexpr int kBandRows[4] = {4800, 6000, 6000, 4800};
constexpr int kBlockSamples = 61;
constexpr int kTableSize = 85;

bool fail(std::string* error, const std::string& message) {
    if (error) {
        *error = message + (errno ? std::string(": ") + std::strerror(errno) : std::string());
    }
    return false;
}

void putInt16(unsigned char* bytes, int value) {
    const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
    bytes[0] = static_cast<unsigned char>(v & 0xff);
    bytes[1] = static_cast<unsigned char>(v >> 8);
}

void putInt32(unsigned char* bytes, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xff);
    }
}

bool writeAll(int fd, const void* data, std::size_t count, off_t offset) {
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t put =
            ::pwrite(fd, bytes + done, count - done, offset + static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                std::string* error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out ? true : fail(error, "cannot write " + path);
}

// Writes the samples of `box` that fall into tile (band, lonColumn).
bool writeTileBox(int fd, int band, int lonColumn, const GeoBox& box, const ElevationFn& fn) {
    const int firstColumn = lonColumn * kTileColumns;
    const int columnLow =
        std::max(firstColumn, static_cast<int>(std::ceil((box.westDeg + 180.0) * 120.0 - 0.5)));
    const int columnHigh =
        std::min(firstColumn + kTileColumns - 1,
                 static_cast<int>(std::floor((box.eastDeg + 180.0) * 120.0 - 0.5)));
    const int rowLow = std::max(kBandFirstRow[band],
                                static_cast<int>(std::ceil((box.southDeg + 90.0) * 120.0 - 0.5)));
    const int rowHigh = std::min(kBandFirstRow[band] + kBandRows[band] - 1,
                                 static_cast<int>(std::floor((box.northDeg + 90.0) * 120.0 - 0.5)));
    if (columnLow > columnHigh || rowLow > rowHigh) {
        return true;
    }
    std::vector<unsigned char> line(static_cast<std::size_t>(columnHigh - columnLow + 1) * 2);
    for (int row = rowLow; row <= rowHigh; ++row) {
        const double lat = globeSampleLatDeg(row);
        for (int column = columnLow; column <= columnHigh; ++column) {
            const double value = std::round(fn(lat, globeSampleLonDeg(column)));
            putInt16(line.data() + 2 * (column - columnLow),
                     static_cast<int>(std::clamp(value, -32768.0, 32767.0)));
        }
        const int rowInTile = kBandFirstRow[band] + kBandRows[band] - row; // 1 = northern edge
        const off_t offset =
            (static_cast<off_t>(rowInTile - 1) * kTileColumns + (columnLow - firstColumn)) * 2;
        if (!writeAll(fd, line.data(), line.size(), offset)) {
            return false;
        }
    }
    return true;
}

} // namespace

double globeSampleLatDeg(int row) {
    return -90.0 + (row + 0.5) / 120.0;
}

double globeSampleLonDeg(int column) {
    return -180.0 + (column + 0.5) / 120.0;
}

bool writeGlobeFolder(const std::string& folder, const ElevationFn& fn,
                      const std::vector<GeoBox>& boxes, std::string* error,
                      const GlobeFolderOptions& options) {
    errno = 0;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    {
        std::ofstream index(folder + "globe.dat", std::ios::trunc);
        index << options.titleLine << '\n';
        for (const std::string& name : options.tileNames) {
            index << name << '\n';
        }
        if (!index) {
            return fail(error, "cannot write " + folder + "globe.dat");
        }
    }
    for (int tile = 0; tile < 16; ++tile) {
        const int band = tile / 4;
        const int lonColumn = tile % 4;
        const std::string path = folder + options.tileNames[static_cast<std::size_t>(tile)];
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            return fail(error, "cannot create " + path);
        }
        bool ok = ::ftruncate(fd, static_cast<off_t>(kBandRows[band]) * kTileColumns * 2) == 0;
        for (const GeoBox& box : boxes) {
            ok = ok && writeTileBox(fd, band, lonColumn, box, fn);
        }
        ok = (::close(fd) == 0) && ok;
        if (!ok) {
            return fail(error, "cannot write " + path);
        }
    }
    return true;
}

bool writeQuarnIndex(const std::string& path, const std::vector<QuarnIndexEntry>& entries,
                     std::string* error) {
    errno = 0;
    std::vector<unsigned char> bytes(entries.size() * 68, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        unsigned char* record = bytes.data() + 68 * i;
        const QuarnIndexEntry& entry = entries[i];
        for (int k = 0; k < 6; ++k) {
            record[k] = k < static_cast<int>(entry.name.size())
                            ? static_cast<unsigned char>(entry.name[static_cast<std::size_t>(k)])
                            : ' ';
        }
        putInt16(record + 6, entry.southMin);
        putInt16(record + 8, entry.westMin);
        putInt16(record + 10, entry.northMin);
        putInt16(record + 12, entry.eastMin);
        putInt32(record + 14, entry.spacingSec);
        std::memset(record + 18, ' ', 17);
        record[35] = static_cast<unsigned char>(entry.type);
        putInt32(record + 36, entry.drive);
    }
    return writeBytes(path, bytes, error);
}

int quarnBlockWidthMin(int spacingSec, int latSec) {
    const long absLat = std::labs(static_cast<long>(latSec));
    const int factor = absLat < 50L * 3600   ? 1
                       : absLat < 70L * 3600 ? 2
                       : absLat < 75L * 3600 ? 3
                       : absLat < 80L * 3600 ? 4
                                             : 6;
    return spacingSec * factor;
}

int quarnSampleValue(const QuarnDatabaseLayout& layout, double elevM) {
    if (std::isnan(elevM)) {
        return 0;
    }
    const double value = std::round((elevM - layout.offset) / layout.scale);
    return static_cast<int>(std::clamp(value, 1.0, 255.0));
}

bool writeQuarnDatabase(const std::string& folder, const QuarnDatabaseLayout& layout,
                        const ElevationFn& fn, std::string* error) {
    errno = 0;
    struct Block {
        int latMin;
        int lonMin;
        int widthMin;
    };
    std::vector<Block> blocks;
    const int s = layout.spacingSec;
    for (int lat = layout.southMin; lat < layout.northMin; lat += s) {
        // Blocks take the width of the latitude of their points (their southern edge or,
        // south of the equator, their northern edge rounded towards the equator).
        const int bandLatSec = lat >= 0 ? lat * 60 : (lat + s) * 60 - 1;
        const int width = quarnBlockWidthMin(s, bandLatSec);
        for (int degree = static_cast<int>(std::floor(layout.westMin / 60.0)) * 60;
             degree < layout.eastMin; degree += 60) {
            for (int lon = degree; lon < degree + 60; lon += width) {
                if (lon < layout.westMin || lon >= layout.eastMin) {
                    continue;
                }
                const auto key = std::make_pair(lat, lon);
                if (std::find(layout.missingBlocks.begin(), layout.missingBlocks.end(), key) !=
                    layout.missingBlocks.end()) {
                    continue;
                }
                blocks.push_back({lat, lon, width});
            }
        }
    }

    std::vector<unsigned char> dat(blocks.size() * 4096, 0);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        unsigned char* record = dat.data() + 4096 * b;
        const Block& block = blocks[b];
        putInt16(record + 2 * 8, s);              // word 9: latitude spacing
        putInt16(record + 2 * 9, block.widthMin); // word 10: longitude spacing, arc-seconds
        putInt16(record + 2 * 16, layout.scale);  // word 17
        putInt16(record + 2 * 17, layout.offset); // word 18
        for (int column = 0; column < kBlockSamples; ++column) {
            for (int row = 0; row < kBlockSamples; ++row) {
                const double latDeg = (block.latMin * 60.0 + row * s) / 3600.0;
                const double lonDeg = (block.lonMin * 60.0 + column * block.widthMin) / 3600.0;
                const int value = quarnSampleValue(layout, fn(latDeg, lonDeg));
                record[200 + column * kBlockSamples + row] =
                    static_cast<unsigned char>(value - 128);
            }
        }
    }

    std::vector<unsigned char> ddr;
    std::vector<unsigned char> ddt;
    for (std::size_t first = 0; first < blocks.size(); first += kTableSize) {
        const std::size_t count = std::min<std::size_t>(kTableSize, blocks.size() - first);
        unsigned char entry[8];
        putInt16(entry, blocks[first].latMin);
        putInt16(entry + 2, blocks[first].lonMin);
        putInt16(entry + 4, blocks[first + count - 1].latMin);
        putInt16(entry + 6, blocks[first + count - 1].lonMin);
        ddr.insert(ddr.end(), entry, entry + 8);
        std::vector<unsigned char> table(512, 0);
        for (int i = 0; i < kTableSize; ++i) {
            const bool used = static_cast<std::size_t>(i) < count;
            const Block* block = used ? &blocks[first + static_cast<std::size_t>(i)] : nullptr;
            putInt16(table.data() + 2 * i, used ? block->latMin : 32767);
            putInt16(table.data() + 2 * (kTableSize + i), used ? block->lonMin : 32767);
            putInt16(table.data() + 2 * (2 * kTableSize + i),
                     used ? static_cast<int>(first) + i + 1 : 0);
        }
        ddt.insert(ddt.end(), table.begin(), table.end());
    }

    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return writeBytes(folder + layout.name + ".DDR", ddr, error) &&
           writeBytes(folder + layout.name + ".DDT", ddt, error) &&
           writeBytes(folder + layout.name + ".DAT", dat, error);
}

} // namespace verdan::terrain
