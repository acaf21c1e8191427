// make-demo-patterns FOLDER/
//
// Writes the three synthetic antenna pattern files of the demo into FOLDER: an
// omnidirectional dipole, a 65-degree panel and a Yagi-like beam, in the Planet/MSI format.
#include "folder_argument.h"
#include "pattern_builders.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (const int status =
            verdan::tools::folderArgumentStatus(argc, argv, "make-demo-patterns FOLDER/");
        status >= 0)
        return status;
    const std::filesystem::path folder(argv[1]);
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    using namespace verdan::tools;
    const std::pair<const char*, PatternCuts> files[] = {
        {"omni-dipole-synthetic.msi", omniPattern()},
        {"panel-65-synthetic.msi", panelPattern()},
        {"yagi-7-synthetic.msi", yagiPattern()}};
    for (const auto& [name, cuts] : files) {
        std::string error;
        if (!writeTextFile((folder / name).string(), msiText(cuts), error)) {
            std::fprintf(stderr, "make-demo-patterns: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
