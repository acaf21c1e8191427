// Preparation of the model records for a radio system and for the area prediction mode.
#pragma once

#include "pmverdan.h"

#include <cstdint>

namespace pmverdan {

// Curvature of the actual earth, 1/m. The effective curvature prepareSystem derives from any
// finite refractivity is below it.
constexpr double kEarthCurvature = 157e-9;

// Sets the wave number, the surface refractivity at the system's elevation, the effective
// earth curvature and the ground impedance (the work of qlrps).
//   freqMhz           frequency, MHz (> 0; model range 20..20000)
//   systemElevationM  mean elevation of the system above sea level, m
//   refractivityN     surface refractivity at sea level, N-units (model range 250..400)
//   polarization      0 horizontal, any other value vertical
//   permittivity      relative permittivity of the ground
//   conductivitySpm   conductivity of the ground, S/m
// Non-finite values or a frequency not above 0 raise prop.kwx to 4.
void prepareSystem(double freqMhz, double systemElevationM, double refractivityN,
                   int32_t polarization, double permittivity, double conductivitySpm,
                   PropRecord& prop);

// Effective heights, horizon distances and horizon angles of the area mode from the antenna
// heights, terrain irregularity and siting criteria (0 random, 1 careful, 2 very careful), then
// marks the records for a new area calculation (the work of qlra). climate (1..7) is taken when
// positive, variabilityMode when not negative.
void prepareArea(const int32_t siting[2], int32_t climate, int32_t variabilityMode,
                 PropRecord& prop, PropvRecord& propv);

// Stores the climate and mode of variability of a new calculation and raises the change level
// of the variability so that avar recomputes what depends on them; shared by both modes.
void setVariabilityInputs(int32_t climate, int32_t variabilityMode, PropvRecord& propv);

} // namespace pmverdan
