#include "datapaths.h"

#include "files.h"
#include "state.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>

namespace dorvex {

namespace {

constexpr const char* kLogFile = "DEBUG.LOG";
constexpr const char* kWindowsFolder = "C:\\WINDOWS";
constexpr const char* kWinntFolder = "C:\\WINNT";

std::string headerLine() {
    static const char* const months = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char line[80];
    std::snprintf(line, sizeof line, "STATUS MESSAGES GENERATED %02d-%.3s-%04d AT %02d:%02d:%02d",
                  local.tm_mday, months + 3 * local.tm_mon, local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec);
    return line;
}

std::string messageLine(int code, std::string_view path, int cellLat, int cellLon) {
    const std::string value(path);
    switch (code) {
    case kLogHeader:
        return headerLine();
    case kLogInfEnvInvalid:
        return "TOPOINFPATH ENV VARIABLE FOUND, BUT PATH IS INVALID";
    case kLogInfEnvFound:
        return "TOPOINFPATH = " + value + "; LOOKING FOR TOPODATPATH";
    case kLogDatEnvInvalid:
        return "TOPODATPATH ENV VARIABLE FOUND, BUT PATH IS INVALID";
    case kLogDatEnvFound:
        return "TOPODATPATH = " + value + "; USING ENV VARIABLES";
    case kLogWindirMissing:
        return "WINDIR ENV VARIABLE NOT FOUND OR PATH IS INVALID. TRYING C:\\WINDOWS";
    case kLogWindirFound:
        return "WINDIR FOUND; LOOKING FOR INI FILE";
    case kLogBraskNotInWindir:
        return "BRASK.INI NOT FOUND IN WINDIR; LOOKING IN C:\\WINDOWS";
    case kLogBraskNotInWindows:
        return "BRASK.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT";
    case kLogBraskNotFound:
        return "BRASK.INI NOT FOUND";
    case kLogBraskInfInvalid:
        return "INVALID INFPATH IN BRASK.INI FILE";
    case kLogIniInfFound:
        return "INFPATH = " + value + "; LOOKING FOR DATPATH";
    case kLogBraskDatInvalid:
        return "INVALID DATPATH IN BRASK.INI FILE";
    case kLogBraskDatFound:
        return "DATPATH = " + value + "; USING BRASK.INI PATHS";
    case kLogGravlenNotInWindir:
        return "Gravlen.INI NOT FOUND IN WINDIR; LOOKING IN C:\\WINDOWS";
    case kLogGravlenNotInWindows:
        return "Gravlen.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT";
    case kLogGravlenNotFound:
        return "Gravlen.INI NOT FOUND";
    case kLogGravlenInfInvalid:
        return "INVALID INFPATH IN Gravlen.INI FILE";
    case kLogGravlenDatInvalid:
        return "INVALID DATPATH IN Gravlen.INI FILE";
    case kLogGravlenDatFound:
        return "DATPATH = " + value + "; USING Gravlen.INI PATHS";
    case kLogDefaultPaths:
        return "USING Quarn DEFAULT PATHS";
    case kLogCellMissingData:
    case kLogCellNotInIndex:
        return "CELL SW CORNER LAT " + std::to_string(cellLat) + "  LON " +
               std::to_string(cellLon) +
               (code == kLogCellMissingData ? " MISSING DATA" : " NOT IN TOPO.INF");
    default:
        return {};
    }
}

bool isPathMessage(int code) {
    return code >= kLogInfEnvInvalid && code <= kLogDefaultPaths;
}

void logPath(int code, std::string_view path = {}) {
    if (state().paths.pathLogging) {
        DBGLOG(code, path);
    }
}

// A folder ending with a separator: "/" is added unless it ends with "/" or "\".
std::string withSeparator(std::string_view folder) {
    std::string result(folder);
    if (result.empty() || (result.back() != '/' && result.back() != '\\')) {
        result += '/';
    }
    return result;
}

// The value of an environment variable, or nothing when it is unset, empty or longer
// than `width` characters.
std::optional<std::string> envPath(const char* name, std::size_t width) {
    const char* value = std::getenv(name);
    if (!value) {
        return std::nullopt;
    }
    const std::string text(trimRight(value));
    if (text.empty() || text.size() > width) {
        return std::nullopt;
    }
    return text;
}

// The value of the first line of `file` whose first 7 characters, upper-cased, are `key`:
// the rest of the line without leading blanks and "=" signs and without trailing blanks.
// Lines are cut at 261 characters. Empty when the key is absent.
std::string iniValue(const std::string& file, const char* key) {
    // Only a regular file: a FIFO or device would block or never end.
    if (!fileExistsNoCase(file)) {
        return {};
    }
    std::ifstream in(findNoCase(file));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() > kIniLineWidth) {
            line.resize(kIniLineWidth);
        }
        if (line.size() >= 7 && upperAscii(line.substr(0, 7)) == key) {
            std::size_t start = 7;
            while (start < line.size() && (line[start] == ' ' || line[start] == '=')) {
                ++start;
            }
            return std::string(trimRight(std::string_view(line).substr(start)));
        }
    }
    return {};
}

struct IniFile {
    const char* name;
    int notInWindir, notInWindows, notFound;
    int infInvalid, datInvalid, datFound;
};

constexpr IniFile kGravlen{"Gravlen.INI",       kLogGravlenNotInWindir, kLogGravlenNotInWindows,
                           kLogGravlenNotFound, kLogGravlenInfInvalid,  kLogGravlenDatInvalid,
                           kLogGravlenDatFound};
constexpr IniFile kBrask{"BRASK.INI",       kLogBraskNotInWindir, kLogBraskNotInWindows,
                         kLogBraskNotFound, kLogBraskInfInvalid,  kLogBraskDatInvalid,
                         kLogBraskDatFound};

bool sameWindowsFolder(std::string_view a, std::string_view b) {
    return upperAscii(a) == upperAscii(b);
}

// Looks for `ini` in the first folder, then C:\WINDOWS (when the first folder was another
// one), then C:\WINNT, logging each miss. Returns the host path of the file found.
std::optional<std::string> findIni(const IniFile& ini, const std::string& firstFolder) {
    std::string folder = firstFolder;
    for (;;) {
        const std::string file = hostPath(withSeparator(folder)) + ini.name;
        if (fileExistsNoCase(file)) {
            return file;
        }
        if (sameWindowsFolder(folder, kWinntFolder)) {
            logPath(ini.notFound);
            return std::nullopt;
        }
        if (sameWindowsFolder(folder, kWindowsFolder)) {
            logPath(ini.notInWindows);
            folder = kWinntFolder;
        } else {
            logPath(ini.notInWindir);
            folder = kWindowsFolder;
        }
    }
}

// Reads INFPATH and DATPATH from the file found; true with both paths set when valid.
bool readIni(const IniFile& ini, const std::string& file) {
    PathState& paths = state().paths;
    const std::string inf = iniValue(file, "INFPATH");
    if (inf.size() < 2 || inf.size() > kInfPathWidth) {
        logPath(ini.infInvalid);
        return false;
    }
    paths.infPath = inf;
    logPath(kLogIniInfFound, inf);
    const std::string dat = iniValue(file, "DATPATH");
    if (dat.size() < 2 || dat.size() > kDatPathWidth) {
        logPath(ini.datInvalid);
        return false;
    }
    paths.datPath = dat;
    logPath(ini.datFound, dat);
    paths.infPath = withSeparator(paths.infPath);
    paths.datPath = withSeparator(paths.datPath);
    return true;
}

int searchPaths() {
    PathState& paths = state().paths;
    if (const auto inf = envPath("TOPOINFPATH", kInfPathWidth)) {
        paths.infPath = withSeparator(*inf);
        logPath(kLogInfEnvFound, *inf);
        if (const auto dat = envPath("TOPODATPATH", kDatPathWidth)) {
            logPath(kLogDatEnvFound, *dat);
            paths.datPath = withSeparator(*dat);
            return 1;
        }
        logPath(kLogDatEnvInvalid);
    } else {
        logPath(kLogInfEnvInvalid);
    }

    std::string firstFolder;
    if (const auto windir = envPath("WINDIR", kInfPathWidth)) {
        logPath(kLogWindirFound);
        firstFolder = *windir;
    } else {
        logPath(kLogWindirMissing);
        firstFolder = kWindowsFolder;
    }
    std::optional<std::string> file = findIni(kGravlen, firstFolder);
    const IniFile* ini = &kGravlen;
    if (!file) {
        file = findIni(kBrask, firstFolder);
        ini = &kBrask;
    }
    if (!file) {
        return 0;
    }
    return readIni(*ini, *file) ? 2 : 0;
}

} // namespace

void DBGLOG(int code, std::string_view path, int cellLatDeg, int cellLonDeg) {
    PathState& paths = state().paths;
    if (code == kLogHeader) {
        std::ifstream first(kLogFile);
        if (!first) {
            paths.logAvailable = false;
            return;
        }
        std::string line;
        std::getline(first, line);
        paths.logAvailable = true;
        paths.pathLogging = upperAscii(line.substr(0, 4)) == "PATH";
    }
    if (!paths.logAvailable || (isPathMessage(code) && !paths.pathLogging)) {
        return;
    }
    std::FILE* log = std::fopen(kLogFile, "r+");
    if (!log || std::fseek(log, 0, SEEK_END) != 0) {
        if (log) {
            std::fclose(log);
        }
        paths.logAvailable = false;
        paths.pathLogging = false;
        return;
    }
    const std::string line = messageLine(code, path, cellLatDeg, cellLonDeg);
    std::fprintf(log, "%s\n", line.c_str());
    if (std::fclose(log) != 0) {
        paths.logAvailable = false;
        paths.pathLogging = false;
    }
}

void GETPATH() {
    PathState& paths = state().paths;
    paths.pathSource = searchPaths();
    if (paths.pathSource == 0) {
        logPath(kLogDefaultPaths);
    }
    paths.known = true;
}

} // namespace dorvex
