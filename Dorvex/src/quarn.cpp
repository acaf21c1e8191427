#include "quarn.h"

#include "datapaths.h"
#include "files.h"
#include "state.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace dorvex {

namespace {

constexpr float kArcSecPerRad = 206264.8f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
constexpr float kMaxLatSec = 324000.0f;
constexpr float kMaxLonSec = 648000.0f;
constexpr const char* kDriveLetters = "CDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int kDriveCount = 24;

// Results of the search, open and sample steps.
enum Result : int {
    kOk = 0,
    kMissingSample = 1,
    kBlockNotInTable = 2,
    kReadError = 3,
    kNoDirectoryEntry = 4,
    kNotInIndex = 5,
};

// Search results of TOPFND and NAMFND.
enum Search : int {
    kFound = 0,
    kIndexOpenError = 1,
    kIndexReadError = 2,
    kFilesOpenError = 3,
    kNoDatabase = 4,
    kNoSuchName = 5,
};

struct IndexRecord {
    std::string name;             // up to the first blank
    int south, west, north, east; // arc-minutes
    char type;
    int drive;
};

// Drive letter folder "X:\Quarn\DATS\" of the default locations, or empty for a drive
// number outside 1..24.
std::string defaultFolder(int drive) {
    if (drive < 1 || drive > kDriveCount) {
        return {};
    }
    return hostPath(std::string(1, kDriveLetters[drive - 1]) + ":\\Quarn\\DATS\\");
}

std::string indexPath() {
    const PathState& paths = state().paths;
    if (paths.pathSource != 0) {
        return hostPath(paths.infPath) + "TOPO.INF";
    }
    const std::string folder = defaultFolder(state().quarn.indexDrive);
    return folder.empty() ? std::string() : folder + "TOPO.INF";
}

std::string databasePath(const std::string& baseName, int drive, const char* extension) {
    const PathState& paths = state().paths;
    if (paths.pathSource != 0) {
        return hostPath(paths.datPath) + baseName + extension;
    }
    const std::string folder = defaultFolder(drive);
    return folder.empty() ? std::string() : folder + baseName + extension;
}

// Reads record `number` (1-based) of the index: kFound, kNoDatabase at the end of the file,
// kIndexReadError for a record cut short or a read error.
int readIndexRecord(const ReadFile& index, int number, IndexRecord& record) {
    unsigned char bytes[kQuarnIndexRecordBytes];
    const ssize_t got =
        index.readAt(static_cast<off_t>(number - 1) * kQuarnIndexRecordBytes, bytes, sizeof bytes);
    if (got == 0) {
        return kNoDatabase;
    }
    if (got != static_cast<ssize_t>(sizeof bytes)) {
        return kIndexReadError;
    }
    record.name.clear();
    for (int i = 0; i < 6 && bytes[i] != ' ' && bytes[i] != '\0'; ++i) {
        record.name += static_cast<char>(bytes[i]);
    }
    record.south = readInt16(bytes + 6);
    record.west = readInt16(bytes + 8);
    record.north = readInt16(bytes + 10);
    record.east = readInt16(bytes + 12);
    record.type = static_cast<char>(bytes[35]);
    record.drive = readInt32(bytes + 36);
    return kFound;
}

bool contains(const IndexRecord& record, float latSec, float lonSec) {
    const double latMin = std::floor(latSec / 60.0);
    const double lonMin = std::floor(lonSec / 60.0);
    return record.south <= latMin && latMin < record.north && record.west <= lonMin &&
           lonMin < record.east;
}

bool isDatabaseType(char type) {
    return type == 'D' || type == 'B';
}

// Opens the database of `record`, remembering its index record number.
int openRecord(const IndexRecord& record, int number) {
    QuarnState& quarn = state().quarn;
    quarn.indexRecord = number;
    const int opened = QRNOPN(record.name.c_str(), record.drive);
    if (opened == kOk) {
        return kFound;
    }
    return opened == kBlockNotInTable ? kIndexReadError : kFilesOpenError;
}

void recordFailingCell(int cellLat, int cellLon, int code) {
    QuarnState& quarn = state().quarn;
    quarn.failLatDeg = cellLat;
    quarn.failLonDeg = cellLon;
    quarn.failCode = code;
    if (state().paths.logAvailable) {
        DBGLOG(code == 14 ? kLogCellNotInIndex : kLogCellMissingData, {}, cellLat, cellLon);
    }
}

int sampleAt(const QuarnState& quarn, int column, int row) {
    const std::size_t offset = kQuarnHeaderBytes +
                               static_cast<std::size_t>(column - 1) * kQuarnBlockSamples +
                               static_cast<std::size_t>(row - 1);
    return static_cast<int8_t>(quarn.block[offset]) + 128;
}

int headerWord(const QuarnState& quarn, int word) {
    return readInt16(quarn.block.data() + 2 * (word - 1));
}

// Loads the block table covering block (lat, lon), arc-minutes: kOk, kNoDirectoryEntry or
// kReadError.
int loadTable(QuarnState& quarn, int blockLat, int blockLon) {
    const auto key = std::make_pair(blockLat, blockLon);
    const auto& dir = quarn.directory;
    const auto after =
        std::upper_bound(dir.begin(), dir.end(), key,
                         [](const std::pair<int, int>& k, const QuarnDirectoryEntry& e) {
                             return k < std::make_pair(int{e.lat1}, int{e.lon1});
                         });
    if (after == dir.begin()) {
        return kNoDirectoryEntry;
    }
    const auto entry = std::prev(after);
    if (key > std::make_pair(int{entry->lat2}, int{entry->lon2})) {
        return kNoDirectoryEntry;
    }
    const int index = static_cast<int>(entry - dir.begin());
    unsigned char bytes[kQuarnTableRecordBytes];
    quarn.tableEntry = kNoBlock;
    if (!quarn.ddt.readRecord(static_cast<off_t>(index) * kQuarnTableRecordBytes, bytes,
                              sizeof bytes)) {
        return kReadError;
    }
    for (int i = 0; i < kQuarnTableSize; ++i) {
        quarn.tableLat[static_cast<std::size_t>(i)] = readInt16(bytes + 2 * i);
        quarn.tableLon[static_cast<std::size_t>(i)] = readInt16(bytes + 2 * (kQuarnTableSize + i));
        quarn.tableRecord[static_cast<std::size_t>(i)] =
            readInt16(bytes + 2 * (2 * kQuarnTableSize + i));
    }
    quarn.tableEntry = index;
    return kOk;
}

bool tableCovers(const QuarnState& quarn, int blockLat, int blockLon) {
    if (quarn.tableEntry == kNoBlock) {
        return false;
    }
    const QuarnDirectoryEntry& e = quarn.directory[static_cast<std::size_t>(quarn.tableEntry)];
    const auto key = std::make_pair(blockLat, blockLon);
    return std::make_pair(int{e.lat1}, int{e.lon1}) <= key &&
           key <= std::make_pair(int{e.lat2}, int{e.lon2});
}

// Reads block (lat, lon), arc-minutes, into the block cache: kOk, kBlockNotInTable,
// kNoDirectoryEntry or kReadError.
int loadBlock(QuarnState& quarn, int blockLat, int blockLon) {
    if (!tableCovers(quarn, blockLat, blockLon)) {
        const int loaded = loadTable(quarn, blockLat, blockLon);
        if (loaded != kOk) {
            return loaded;
        }
    }
    int low = 0;
    int high = kQuarnTableSize - 1;
    const auto key = std::make_pair(blockLat, blockLon);
    int found = -1;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const auto probe = std::make_pair(int{quarn.tableLat[static_cast<std::size_t>(mid)]},
                                          int{quarn.tableLon[static_cast<std::size_t>(mid)]});
        if (probe == key) {
            found = mid;
            break;
        }
        if (probe < key) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    if (found < 0) {
        return kBlockNotInTable;
    }
    const int record = quarn.tableRecord[static_cast<std::size_t>(found)];
    quarn.blockLat = kNoBlock;
    quarn.blockLon = kNoBlock;
    if (record < 1 || !quarn.dat.readRecord(static_cast<off_t>(record - 1) * kQuarnBlockRecordBytes,
                                            quarn.block.data(), quarn.block.size())) {
        return kReadError;
    }
    quarn.blockLat = blockLat;
    quarn.blockLon = blockLon;
    return kOk;
}

} // namespace

int TOPWGS(int datum, float& latRad, float& lonRad) {
    if (datum != 0) {
        return 1;
    }
    if (!(std::fabs(latRad) <= kHalfPi)) {
        return 2;
    }
    if (!(std::fabs(lonRad) <= kPi)) {
        return 3;
    }
    return 0;
}

int QRNSPC(int spacingSec, int latSec) {
    if (spacingSec != 3 && spacingSec != 6 && spacingSec != 12 && spacingSec != 15 &&
        spacingSec != 30) {
        return 0;
    }
    const long absLat = std::labs(static_cast<long>(latSec));
    if (absLat < 50L * 3600) {
        return spacingSec;
    }
    if (absLat < 70L * 3600) {
        return 2 * spacingSec;
    }
    if (absLat < 75L * 3600) {
        return 3 * spacingSec;
    }
    if (absLat < 80L * 3600) {
        return 4 * spacingSec;
    }
    if (absLat < 91L * 3600) {
        return 6 * spacingSec;
    }
    return 0;
}

void closeQuarnDatabase() {
    QuarnState& quarn = state().quarn;
    quarn.open = false;
    quarn.directory.clear();
    quarn.ddt.close();
    quarn.dat.close();
    quarn.tableEntry = kNoBlock;
    quarn.blockLat = kNoBlock;
    quarn.blockLon = kNoBlock;
}

int QRNOPN(const char* baseName, int drive) {
    QuarnState& quarn = state().quarn;
    closeQuarnDatabase();
    const std::string name(baseName);
    ReadFile ddr;
    if (!ddr.open(databasePath(name, drive, ".DDR"))) {
        return kReadError;
    }
    for (int i = 0; i < kQuarnMaxDirectory; ++i) {
        unsigned char bytes[8];
        const ssize_t got = ddr.readAt(static_cast<off_t>(i) * 8, bytes, sizeof bytes);
        if (got == 0) {
            break;
        }
        if (got != static_cast<ssize_t>(sizeof bytes)) {
            quarn.directory.clear();
            return kBlockNotInTable;
        }
        quarn.directory.push_back(
            {readInt16(bytes), readInt16(bytes + 2), readInt16(bytes + 4), readInt16(bytes + 6)});
    }
    if (!quarn.ddt.open(databasePath(name, drive, ".DDT")) ||
        !quarn.dat.open(databasePath(name, drive, ".DAT")) ||
        !quarn.dat.readRecord(0, quarn.block.data(), quarn.block.size())) {
        closeQuarnDatabase();
        return kReadError;
    }
    quarn.spacingSec = headerWord(quarn, 9);
    quarn.dbName = name;
    quarn.dbDrive = drive;
    quarn.open = true;
    return kOk;
}

int TOPFND(float latSec, float lonSec, int firstRecord) {
    ReadFile index;
    const std::string path = indexPath();
    if (path.empty() || !index.open(path)) {
        return kIndexOpenError;
    }
    IndexRecord record{};
    for (int number = std::max(1, firstRecord);; ++number) {
        const int read = readIndexRecord(index, number, record);
        if (read != kFound) {
            return read;
        }
        if (isDatabaseType(record.type) && contains(record, latSec, lonSec)) {
            index.close();
            return openRecord(record, number);
        }
    }
}

int NAMFND(const char name[kQuarnNameWidth], float latSec, float lonSec) {
    std::string wanted;
    for (int i = 0; i < kQuarnNameWidth && name[i] != ' ' && name[i] != '\0'; ++i) {
        wanted += name[i];
    }
    wanted = upperAscii(wanted);
    ReadFile index;
    const std::string path = indexPath();
    if (path.empty() || !index.open(path)) {
        return kIndexOpenError;
    }
    IndexRecord record{};
    for (int number = 1;; ++number) {
        const int read = readIndexRecord(index, number, record);
        if (read == kNoDatabase) {
            return kNoSuchName;
        }
        if (read != kFound) {
            return read;
        }
        if (isDatabaseType(record.type) && upperAscii(record.name) == wanted) {
            if (!contains(record, latSec, lonSec)) {
                return kNoDatabase;
            }
            index.close();
            return openRecord(record, number);
        }
    }
}

int QRNELV(float latSec, float lonSec, int sampleRule, float& elevM) {
    QuarnState& quarn = state().quarn;
    elevM = -1.0f;
    if (!quarn.open) {
        return kReadError;
    }
    const int s = quarn.spacingSec;
    const int w = QRNSPC(s, static_cast<int>(std::lround(latSec)));
    if (w <= 0) {
        return kReadError;
    }
    const int blockLat = static_cast<int>(std::floor(latSec / (60.0f * s))) * s;
    const float degreeSec = std::floor(lonSec / 3600.0f) * 3600.0f;
    const float withinSec = std::floor((lonSec - degreeSec) / (60.0f * w)) * 60.0f * w;
    const int blockLon = static_cast<int>(std::lround((degreeSec + withinSec) / 60.0f));

    if (blockLat != quarn.blockLat || blockLon != quarn.blockLon) {
        const int loaded = loadBlock(quarn, blockLat, blockLon);
        if (loaded != kOk) {
            return loaded;
        }
    }

    const float dLat = static_cast<float>(headerWord(quarn, 9));
    const float dLon = static_cast<float>(headerWord(quarn, 10));
    const float scale = static_cast<float>(headerWord(quarn, 17));
    const float offset = static_cast<float>(headerWord(quarn, 18));
    if (dLat <= 0.0f || dLon <= 0.0f) {
        return kReadError;
    }
    const float originLat = static_cast<float>(blockLat) * 60.0f;
    const float originLon = static_cast<float>(blockLon) * 60.0f;
    const float rowF = std::floor((latSec - originLat) / dLat);
    const float columnF = std::floor((lonSec - originLon) / dLon);
    if (!(rowF >= 0.0f && rowF + 2.0f <= kQuarnBlockSamples && columnF >= 0.0f &&
          columnF + 2.0f <= kQuarnBlockSamples)) {
        return kReadError;
    }
    const int r = static_cast<int>(rowF);
    const int c = static_cast<int>(columnF);
    const float sw = static_cast<float>(sampleAt(quarn, c + 1, r + 1));
    const float nw = static_cast<float>(sampleAt(quarn, c + 1, r + 2));
    const float se = static_cast<float>(sampleAt(quarn, c + 2, r + 1));
    const float ne = static_cast<float>(sampleAt(quarn, c + 2, r + 2));
    if (sw == 0.0f || nw == 0.0f || se == 0.0f || ne == 0.0f) {
        return kMissingSample;
    }
    const float dy = latSec - (originLat + rowF * dLat);
    const float dx = lonSec - (originLon + columnF * dLon);
    const float dyRest = dLat - dy;
    const float dxRest = dLon - dx;
    float value = 0.0f;
    if (sampleRule == 0 || sampleRule == 3) {
        value = std::max({sw, nw, se, ne});
    } else if (sampleRule == 1) {
        value = sw;
        if (dxRest < dx && dyRest < dy) {
            value = ne;
        } else if (dxRest < dx) {
            value = se;
        } else if (dyRest < dy) {
            value = nw;
        }
    } else {
        const float west = (sw * dyRest + nw * dy) / dLat;
        const float east = (se * dyRest + ne * dy) / dLat;
        value = (dx * east + dxRest * west) / dLon;
    }
    elevM = scale * value + offset;
    return kOk;
}

int RECOVR(float latSec, float lonSec, int sampleRule, int failed, float& elevM) {
    QuarnState& quarn = state().quarn;
    const int start = quarn.indexRecord;
    const std::string startName = quarn.dbName;
    const int startDrive = quarn.dbDrive;
    std::vector<int> tried{start};
    int result = failed;
    for (;;) {
        closeQuarnDatabase();
        int found = TOPFND(latSec, lonSec, quarn.indexRecord + 1);
        if (found == kIndexOpenError || found == kIndexReadError || found == kNoDatabase) {
            found = TOPFND(latSec, lonSec, 1);
        }
        if (found == kIndexOpenError || found == kIndexReadError || found == kNoDatabase) {
            result = kNotInIndex;
            break;
        }
        if (std::find(tried.begin(), tried.end(), quarn.indexRecord) != tried.end()) {
            break;
        }
        tried.push_back(quarn.indexRecord);
        result = found == kFound ? QRNELV(latSec, lonSec, sampleRule, elevM) : kReadError;
        if (result < kBlockNotInTable) {
            return result;
        }
    }
    // Nothing better found: put back the database the search began with.
    elevM = -1.0f;
    if (!(quarn.open && quarn.indexRecord == start)) {
        quarn.indexRecord = start;
        if (startName.empty() || QRNOPN(startName.c_str(), startDrive) != kOk) {
            quarn.firstCall = true;
        }
    }
    return result;
}

void FILCNT(const char name[kQuarnNameWidth], QuarnNameList& names) {
    if (isBlank(name, kQuarnNameWidth) || names.count >= static_cast<int>(names.names.size())) {
        return;
    }
    for (int i = 0; i < names.count; ++i) {
        if (std::equal(name, name + kQuarnNameWidth,
                       names.names[static_cast<std::size_t>(i)].begin())) {
            return;
        }
    }
    std::copy(name, name + kQuarnNameWidth,
              names.names[static_cast<std::size_t>(names.count)].begin());
    ++names.count;
}

void TOPGET(float lat, float lon, const char unitCode[4], int sampleRule,
            char name[kQuarnNameWidth], QuarnNameList& names, int& spacingSec, int datum,
            int& errorNumber, float& elevM) {
    errorNumber = 0;
    float toRad = 0.0f;
    switch (unitCode[0]) {
    case 'R':
        toRad = 1.0f;
        break;
    case 'D':
        toRad = 3600.0f / kArcSecPerRad;
        break;
    case 'M':
        toRad = 60.0f / kArcSecPerRad;
        break;
    case 'S':
        toRad = 1.0f / kArcSecPerRad;
        break;
    default:
        return;
    }
    float latRad = lat * toRad;
    float lonRad = lon * toRad;
    const int converted = TOPWGS(datum, latRad, lonRad);
    if (converted != 0) {
        errorNumber = 6 + converted;
        return;
    }
    const float latSec = std::clamp(latRad * kArcSecPerRad, -kMaxLatSec, kMaxLatSec);
    float lonSec = std::clamp(lonRad * kArcSecPerRad, -kMaxLonSec, kMaxLonSec);
    if (lonSec == kMaxLonSec) {
        lonSec = -kMaxLonSec;
    }
    const int cellLat = static_cast<int>(std::floor(latSec / 3600.0f));
    const int cellLon = static_cast<int>(std::floor(lonSec / 3600.0f));

    QuarnState& quarn = state().quarn;
    if (cellLat == quarn.failLatDeg && cellLon == quarn.failLonDeg) {
        errorNumber = quarn.failCode == 11 ? 11 : 13;
        return;
    }
    quarn.failLatDeg = kNoCell;
    quarn.failLonDeg = kNoCell;

    if (quarn.firstCall || !quarn.open) {
        PathState& paths = state().paths;
        if (!paths.known) {
            std::error_code ec;
            if (std::filesystem::exists("DEBUG.LOG", ec)) {
                DBGLOG(kLogHeader);
            }
            GETPATH();
        }
        closeQuarnDatabase();
        const bool search = isBlank(name, kQuarnNameWidth);
        const int chosen = search ? TOPFND(latSec, lonSec, 1) : NAMFND(name, latSec, lonSec);
        if (chosen != kFound) {
            elevM = -1.0f;
            if (search) {
                static constexpr int kSearchErrors[] = {0, 1, 13, 3, 4};
                errorNumber = kSearchErrors[chosen];
                if (chosen == kIndexReadError) {
                    recordFailingCell(cellLat, cellLon, 13);
                }
            } else {
                static constexpr int kNamedErrors[] = {0, 1, 13, 3, 5, 6};
                errorNumber = kNamedErrors[chosen];
            }
            return;
        }
        quarn.firstCall = false;
    }

    spacingSec = quarn.spacingSec;
    FILCNT(name, names);
    int result = QRNELV(latSec, lonSec, sampleRule, elevM);
    if (result == kBlockNotInTable || result == kNoDirectoryEntry) {
        result = RECOVR(latSec, lonSec, sampleRule, result, elevM);
        if (result == kOk) {
            FILCNT(name, names);
        }
    }
    switch (result) {
    case kOk:
        break;
    case kMissingSample:
        errorNumber = 10;
        break;
    case kBlockNotInTable:
        errorNumber = 11;
        recordFailingCell(cellLat, cellLon, 11);
        break;
    case kReadError:
        errorNumber = 12;
        quarn.firstCall = true;
        closeQuarnDatabase();
        std::fill(name, name + kQuarnNameWidth, ' ');
        break;
    case kNoDirectoryEntry:
        errorNumber = 13;
        recordFailingCell(cellLat, cellLon, 13);
        break;
    default:
        errorNumber = 13;
        recordFailingCell(cellLat, cellLon, 14);
        break;
    }
}

} // namespace dorvex
