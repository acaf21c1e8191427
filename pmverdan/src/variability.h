// Variability of the loss in time, with location and between situations, by radio climate and
// mode of variability.
#pragma once

#include "pmverdan.h"

namespace pmverdan {

// The loss to add to the free-space loss, dB, at the standard normal deviates of time, location
// and situation (the work of avar). The quantities that depend on the climate, the mode of
// variability, the frequency, the heights and the distance are recomputed according to
// propv.lvar (5 or more: everything; 4: from the mode on; 3: from the frequency on; 2: from the
// heights on; 1: the distance only; 0: nothing), always in full at the first call of a thread;
// propv.lvar is then set to 0. A climate outside 1..7 becomes 5 and a mode of variability
// outside 0..3 (after the +10 and +20 flags) becomes 0, raising prop.kwx to 2; deviates beyond
// +-3.1 raise it to 1, non-finite deviates to 4. Sets propv.sgc, dB.
double variabilityLossDb(double timeDeviate, double locationDeviate, double situationDeviate,
                         PropRecord& prop, PropvRecord& propv);

// The variability curve of the climate tables, (c1 + c2 / (1 + ((de - x2) / x3)^2)) times
// (de / x1)^2 / (1 + (de / x1)^2), at the effective distance deM (m).
double climateCurve(double c1, double c2, double x1M, double x2M, double x3M, double deM);

} // namespace pmverdan
