#include "dorvex.h"

#include "exports.h"
#include "files.h"
#include "globe.h"
#include "profile.h"
#include "state.h"

#include <algorithm>
#include <cmath>

namespace dorvex {

namespace {

constexpr float kDegPerRad = 57.2957763671875f;
constexpr float kQuarnSpacingM = 450.0f;
constexpr float kWgs84SemiMajorM = 6378137.0f;
constexpr float kWgs84Flattening = 0.0033528110943734646f;
constexpr int kQuarnSampleRule = 4;
constexpr int kSourceQuarn = 0;
constexpr int kSourceGlobe = 1;

void writeText(char* text, int32_t width, int fieldWidth, const std::string& message) {
    if (!text) {
        return;
    }
    const int count = width > 0 && width < fieldWidth ? width : fieldWidth;
    copyPadded(text, static_cast<std::size_t>(count), message);
}

void globeProfile(float* lat1, float* lon1, float* lat2, float* lon2, float* pathLength,
                  char* dataPath, int32_t* pointCount, float* distances, float* elevations,
                  int32_t* pointsReturned, int32_t* status, int32_t* errorNumber) {
    const float length = *pathLength;
    const int pathChars = std::isfinite(length) && std::fabs(length) < 1.0e6f
                              ? static_cast<int>(std::lround(length))
                              : -1;
    const int points = *pointCount;
    const int result = NGET_GLOBE_PFL(*lat1 * kDegPerRad, *lon1 * kDegPerRad, *lat2 * kDegPerRad,
                                      *lon2 * kDegPerRad, points, elevations, pathChars, dataPath);
    *pointsReturned = points;
    *errorNumber = result;
    if (result != 1) {
        *status = -1;
        return;
    }
    const int count = std::clamp(static_cast<int>(std::lround(elevations[0])), 0, points);
    const float spacing = elevations[1];
    *pointsReturned = count;
    for (int i = 1; i <= count; ++i) {
        distances[i - 1] = static_cast<float>(i - 1) * spacing;
        elevations[i - 1] = elevations[i + 1];
    }
    *status = 0;
}

void quarnProfile(float* lat1, float* lon1, float* lat2, float* lon2, char* dataPath, float* fill,
                  int32_t* pointCount, float* distances, float* elevations, int32_t* pointsReturned,
                  int32_t* status, int32_t* errorNumber) {
    LibraryState& lib = state();
    if (lib.quarnSpacingM <= 0.0f) {
        lib.quarnSpacingM = kQuarnSpacingM;
    }
    const int32_t drive = *errorNumber;
    lib.quarn.indexDrive = drive >= 1 && drive <= 24 ? drive : 1;
    char name[kQuarnNameWidth];
    std::copy(dataPath, dataPath + kQuarnNameWidth, name);
    int points = 0;
    int stat = 0;
    int error = 0;
    PRFILE(*lat1, *lon1, *lat2, *lon2, lib.quarnSpacingM, kWgs84SemiMajorM, kWgs84Flattening, 0,
           name, kQuarnSampleRule, "D   ", *fill, *pointCount, distances, elevations, points, stat,
           error);
    *pointsReturned = points;
    *status = stat;
    *errorNumber = error;
}

} // namespace

std::string globeErrorText(int32_t number) {
    static const char* const letters = "abcdefghijklmnopqrstuvwxyz";
    if (number == 0) {
        return "Undefined Error Number";
    }
    if (number >= -1000) {
        return "No Error";
    }
    const int64_t negated = -static_cast<int64_t>(number);
    const int tile = static_cast<int>(negated % 100);
    if (tile < 1 || tile > 26 || negated > 1126) {
        return "Undefined Error Number";
    }
    std::string text = number <= -1101 ? "Error Reading Tile x10g" : "Error Opening Tile x10g";
    text[19] = letters[tile - 1];
    return text;
}

std::string quarnErrorText(int32_t& number) {
    static const char* const entries[15] = {"No Error, Normal Return",
                                            "Error Opening Topo.Inf File",
                                            "Error Reading Topo.Inf File",
                                            "Error Opening Topo.INF Data File",
                                            "No Data File Contains Specified Corrdinates",
                                            "Cannot Find Data Record Entry",
                                            "Data File Does Not Contain The Specified Coordinates",
                                            "Error In Datum Conversion Routine",
                                            "Invalid latitude",
                                            "Invalid Longitude",
                                            "Missing Topographic Elevation Data",
                                            "Missing Topographic Data Record",
                                            "Error Reading From Disk",
                                            "Cannot Find Directory Entry",
                                            "Undefined Error Number"};
    if (number < 0 || number > 13) {
        number = 15;
    }
    return entries[number == 0 ? 0 : number - 1];
}

} // namespace dorvex

extern "C" {

DORVEX_API void THandler(float* lat1, float* lon1, float* lat2, float* lon2, float* pathLength,
                         char* dataPath, int32_t /*dataPathWidth*/, float* fill,
                         int32_t* pointCount, float* distances, float* elevations,
                         int32_t* pointsReturned, int32_t* status, int32_t* errorNumber,
                         int32_t* source) {
    if (!status) {
        return;
    }
    const bool argumentsPresent = lat1 && lon1 && lat2 && lon2 && pathLength && dataPath && fill &&
                                  pointCount && distances && elevations && pointsReturned &&
                                  errorNumber && source;
    if (!argumentsPresent) {
        *status = -1;
        return;
    }
    if (*source == dorvex::kSourceGlobe) {
        dorvex::globeProfile(lat1, lon1, lat2, lon2, pathLength, dataPath, pointCount, distances,
                             elevations, pointsReturned, status, errorNumber);
    } else if (*source == dorvex::kSourceQuarn) {
        dorvex::quarnProfile(lat1, lon1, lat2, lon2, dataPath, fill, pointCount, distances,
                             elevations, pointsReturned, status, errorNumber);
    } else {
        *status = -1;
    }
}

DORVEX_API void CloseGlobe(void) {
    dorvex::closeGlobeTile();
}

DORVEX_API void GlobeErrMsg(char* text, int32_t width, int32_t* number) {
    if (!number) {
        return;
    }
    dorvex::writeText(text, width, dorvex::kGlobeMessageWidth, dorvex::globeErrorText(*number));
}

DORVEX_API void QuarnErrMsg(char* text, int32_t width, int32_t* number) {
    if (!number) {
        return;
    }
    dorvex::writeText(text, width, dorvex::kQuarnMessageWidth, dorvex::quarnErrorText(*number));
}

} // extern "C"
