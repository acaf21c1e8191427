// make-demo-patterns FOLDER/
//
// Writes the three synthetic antenna pattern files of the demo into FOLDER: an
// omnidirectional dipole, a 65-degree panel and a Yagi-like beam, in the Planet/MSI format.
#include "pattern_builders.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-patterns FOLDER/\n");
        return 2;
    }
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
