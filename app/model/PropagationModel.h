#pragma once

#include "LibraryBinding.h"
#include "ModelRecords.h"

#include <QStringList>
#include <optional>

namespace verdan {

/// The program's calls into the propagation model library libpmverdan.so. Each routine is
/// bound at its first call. The message text crosses as a NUL-terminated 8-bit copy, and is
/// copied back after the call. When the library or the routine is missing the user is told,
/// nothing is called, the records stay as they were and the result is false or empty.
/// Units and ranges are those of the library's routines (pmverdan.h).
class PropagationModel {
public:
    explicit PropagationModel(Prompter& prompter, QString folder = {});

    bool qlrps(ModelRecords& records, double fmhz, double zsys, double en0, int ipol, double eps,
               double sgm);
    bool qlra(ModelRecords& records, const int kst[2], int klimx, int mdvarx);
    bool lrprop(ModelRecords& records, double distM);
    std::optional<double> avar(ModelRecords& records, double zzt, double zzl, double zzc);
    std::optional<double> qerfi(double q);
    /// `pfl` in the model's layout: number of intervals, spacing in metres, elevations.
    bool qlrpfl(ModelRecords& records, double* pfl, int klimx, int mdvarx);

    LibraryBinding& binding() { return m_library; }

private:
    LibraryBinding m_library;
};

/// The report's warning lines for the model's error indicator `kwx`, for the area and the
/// point-to-point runs alike: none for 0; the two lines of 1 (nearly out of range),
/// 2 (defaults substituted) or 3 (a combination out of range); the lines of 4 (out of range,
/// results probably invalid) for 4 and for any other value, so that no indicator the model
/// sets goes unreported.
QStringList modelWarningLines(int kwx);

} // namespace verdan
