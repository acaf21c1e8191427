// make-demo-globe FOLDER/
//
// Writes the synthetic demo GLOBE data set: a full GLOBE folder (index and sixteen sparse
// tiles) whose only non-zero samples are invented terrain around the two default paths of
// the point-to-point form. It is not real elevation data.
#include "demo_terrain.h"
#include "folder_argument.h"
#include "terrain_builders.h"

#include <cstdio>
#include <fstream>
#include <string>

using verdan::terrain::demoElevationM;

int main(int argc, char** argv) {
    if (const int status =
            verdan::tools::folderArgumentStatus(argc, argv, "make-demo-globe FOLDER/");
        status >= 0)
        return status;
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    verdan::terrain::GlobeFolderOptions options;
    options.titleLine = "SYNTHETIC demo GLOBE data set - invented terrain, not real elevations";
    const std::vector<verdan::terrain::GeoBox> boxes = {
        {38.5, -77.5, 39.5, -76.0},   // around 39 04 48 N 76 42 00 W - 38 55 12 N 76 58 48 W
        {39.5, -106.0, 40.5, -104.5}, // around 40.05 N 105.26 W - 39.97 N 105.47 W
    };
    std::string error;
    if (!verdan::terrain::writeGlobeFolder(folder, demoElevationM, boxes, &error, options)) {
        std::fprintf(stderr, "make-demo-globe: %s\n", error.c_str());
        return 1;
    }
    std::ofstream note(folder + "SYNTHETIC-DATA.txt", std::ios::trunc);
    note << "This folder holds a SYNTHETIC GLOBE data set made by make-demo-globe.\n"
            "Its elevations are invented (smooth hills) and exist only within\n"
            "38.5..39.5 N 77.5..76.0 W and 39.5..40.5 N 106.0..104.5 W; every other\n"
            "sample reads 0 m. Use it to try the program, never for engineering work.\n";
    return note ? 0 : 1;
}
