// Verdan's use of GDAL: one registration, GDAL's messages kept from the terminal and turned
// into one line for the user, and owning handles of GDAL datasets.
#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <memory>
#include <string>

class GDALDataset;

namespace verdan::terrain {

/// Registers GDAL's drivers once per process and routes every GDAL message that no
/// GdalErrorCapture collects into silence: GDAL never writes to the terminal on its own.
/// Safe to call from several threads; every function of this library calls it itself.
void registerGdal();

/// Collects the GDAL errors raised on the calling thread while it lives (a handler pushed
/// on GDAL's per-thread handler stack, popped on destruction).
class GdalErrorCapture {
public:
    GdalErrorCapture();
    ~GdalErrorCapture();
    GdalErrorCapture(const GdalErrorCapture&) = delete;
    GdalErrorCapture& operator=(const GdalErrorCapture&) = delete;

    /// The first error GDAL raised, one line without a trailing full stop; empty if none.
    const std::string& firstError() const { return m_first; }
    /// "<what>: <first error>", or `what` alone when GDAL gave no text.
    std::string describe(const std::string& what) const;

private:
    static void handler(int errorClass, int errorNumber, const char* message);
    std::string m_first;
};

/// Closes a GDAL dataset.
struct GdalDatasetCloser {
    void operator()(GDALDataset* dataset) const;
};
using GdalDatasetPtr = std::unique_ptr<GDALDataset, GdalDatasetCloser>;

/// Success when `path` names a regular file (through its links); else a failure naming it
/// with the reason: the system's (permission denied, no such file) or that it is a folder,
/// pipe or device, which GDAL would read for ever or misread.
Status checkPlainFile(const std::string& path);

/// checkPlainFile() for `path` and, when it is a virtual raster (VRT), for every source file
/// it names, nested VRTs included: run before GDAL opens the raster, since GDAL opens a
/// VRT's sources with it and would wait for ever on a pipe among them.
Status checkRasterFiles(const std::string& path);

/// Success when every file GDAL reads for `dataset` (its file list: a VRT's sources, side
/// files) is a regular file; else a failure naming `path` and the file at fault.
Status checkDatasetFiles(GDALDataset* dataset, const std::string& path);

} // namespace verdan::terrain
