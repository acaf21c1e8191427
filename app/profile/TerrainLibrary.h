#pragma once

#include "LibraryBinding.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace verdan {

/// Width of THandler's data-path argument, in characters.
inline constexpr int TerrainDataPathWidth = 150;

/// The arguments of one THandler call, owned by the caller: the library reads and writes
/// them only during the call.
struct THandlerArgs {
    float lat1Rad = 0; ///< transmitter latitude, radians, north positive, -pi/2..pi/2
    float lon1Rad = 0; ///< transmitter longitude, radians, east positive, -pi..pi
    float lat2Rad = 0; ///< receiver latitude
    float lon2Rad = 0; ///< receiver longitude
    /// GLOBE: number of significant characters of dataPath (0..150).
    float pathLength = 0;
    /// GLOBE: folder of "globe.dat"; Quarn: blanks (the library finds its data). Blank
    /// padded, no terminating zero.
    std::array<char, TerrainDataPathWidth> dataPath{};
    /// Quarn: elevation (m) stored where the database has no data.
    float fillM = 0;
    /// GLOBE: exact number of points (at least 2); Quarn: largest number of points.
    int32_t pointCount = 0;
    /// Out: distance of each point from the transmitter (m).
    std::vector<float> distancesM;
    /// Out: elevation of each point (m); GLOBE uses pointCount + 2 elements as work area.
    std::vector<float> elevationsM;
    int32_t pointsReturned = 0; ///< out
    int32_t status = 0;         ///< out: 0 success, -1 failure
    /// Quarn in: drive 1 (C) .. 24 (Z) of the database index. Out: the library's error number.
    int32_t errorNumber = 0;
    int32_t source = 0; ///< 0 Quarn, 1 GLOBE

    /// Puts `text` (8-bit, local encoding) into dataPath, blank padded; false when it is
    /// longer than the argument's width (nothing is cut short).
    bool setDataPath(const QString& text);
};

/// The program's calls into the terrain library libdorvex.so, bound by name at the first call
/// of each routine (beside the executable first). When the library or a routine is missing
/// the user is told, nothing is called and the result is false or empty.
class TerrainLibrary {
public:
    explicit TerrainLibrary(Prompter& prompter, QString folder = {});

    /// THandler on `args`. The arrays are sized here so that they hold what the library may
    /// write (at least pointCount + 2 elements).
    bool THandler(THandlerArgs& args);
    /// Closes the GLOBE tile the library keeps open.
    bool CloseGlobe();
    /// The library's text of a GLOBE error number (blanks trimmed).
    std::optional<QString> GlobeErrMsg(int32_t number);
    /// The library's text of a Quarn error number (blanks trimmed); `number` may be changed
    /// to 15 by the library for an unknown number.
    std::optional<QString> QuarnErrMsg(int32_t& number);

    LibraryBinding& binding() { return m_library; }

private:
    LibraryBinding m_library;
};

} // namespace verdan
