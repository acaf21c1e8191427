#pragma once

#include "LibraryBinding.h"

#include <verdan/terrain/DorvexSources.h>

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace verdan {

/// Width of THandler's data-path argument, in characters.
inline constexpr int TerrainDataPathWidth = 150;

/// The program's calls into the terrain library libdorvex.so, bound by name at the first call
/// of each routine (beside the executable first). When the library or a routine is missing
/// the user is told, nothing is called and the result is false or empty.
class TerrainLibrary {
public:
    explicit TerrainLibrary(Prompter& prompter, QString folder = {});

    /// The library's text of a GLOBE error number (blanks trimmed).
    std::optional<QString> GlobeErrMsg(int32_t number);
    /// The library's text of a Quarn error number (blanks trimmed); `number` may be changed
    /// to 15 by the library for an unknown number.
    std::optional<QString> QuarnErrMsg(int32_t& number);

    /// THandler and CloseGlobe bound for the terrain sources over the library, shared by all
    /// of them (one lock keeps their calls apart); nullptr when a routine is missing (the user
    /// has been told).
    std::shared_ptr<terrain::DorvexLibrary> dorvex();

    LibraryBinding& binding() { return m_library; }

private:
    LibraryBinding m_library;
    std::shared_ptr<terrain::DorvexLibrary> m_dorvex;
};

} // namespace verdan
