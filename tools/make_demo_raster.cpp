// make-demo-raster FOLDER/
//
// Writes the synthetic demo rasters into FOLDER: "demo-raster-synthetic.tif", a 3-arc-second
// GeoTIFF around the decimal-degree default path of the path coordinates form, and the
// folder "demo-tiles-synthetic/" of two 1-arc-second GeoTIFF tiles that meet at 76.85 W on
// the degree default path. Their elevations are the invented terrain of the demo GLOBE data
// set, not real elevation data.
#include "demo_terrain.h"
#include "folder_argument.h"
#include "raster_builders.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace verdan::terrain;

// A geographic layout of `secPerCell` arc-second cells over the given box.
RasterLayout box(double westDeg, double northDeg, double eastDeg, double southDeg, int secPerCell,
                 GDALDataType type) {
    const double cellDeg = secPerCell / 3600.0;
    RasterLayout layout;
    layout.width = static_cast<int>((eastDeg - westDeg) / cellDeg + 0.5);
    layout.height = static_cast<int>((northDeg - southDeg) / cellDeg + 0.5);
    layout.geoTransform = {westDeg, cellDeg, 0, northDeg, 0, -cellDeg};
    layout.type = type;
    layout.nodata = -32768;
    return layout;
}

bool write(const std::string& path, const RasterLayout& layout) {
    std::string error;
    if (writeRaster(
            path, layout, [](double lon, double lat) { return demoElevationM(lat, lon); }, &error))
        return true;
    std::fprintf(stderr, "make-demo-raster: %s\n", error.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status =
            verdan::tools::folderArgumentStatus(argc, argv, "make-demo-raster FOLDER/");
        status >= 0)
        return status;
    const std::filesystem::path folder(argv[1]);
    const std::filesystem::path tiles = folder / "demo-tiles-synthetic";
    std::error_code error;
    std::filesystem::create_directories(tiles, error);
    if (error) {
        std::fprintf(stderr, "make-demo-raster: cannot create %s\n", tiles.c_str());
        return 1;
    }
    const bool written =
        write(folder / "demo-raster-synthetic.tif",
              box(-105.55, 40.1, -105.15, 39.9, 3, GDT_Float32)) &&
        write(tiles / "tile-west-synthetic.tif", box(-77.1, 39.15, -76.85, 38.85, 1, GDT_Int16)) &&
        write(tiles / "tile-east-synthetic.tif", box(-76.85, 39.15, -76.6, 38.85, 1, GDT_Int16));
    if (!written)
        return 1;
    std::ofstream note(tiles / "SYNTHETIC-DATA.txt", std::ios::trunc);
    note << "These rasters are SYNTHETIC, made by make-demo-raster: invented smooth hills,\n"
            "not real elevations. Use them to try the program, never for engineering work.\n";
    return note ? 0 : 1;
}
