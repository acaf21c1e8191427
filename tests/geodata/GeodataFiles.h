// Folders of small text files for the geodata tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace verdan::geodata::test {

namespace fs = std::filesystem;

/// A fresh folder for one test under the test's temporary folder, holding `files` (name and
/// text of each).
inline fs::path folderWith(const std::string& name,
                           const std::map<std::string, std::string>& files = {}) {
    const fs::path dir = fs::temp_directory_path() / ("geodata-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const auto& [file, text] : files)
        std::ofstream(dir / file, std::ios::binary) << text;
    return dir;
}

} // namespace verdan::geodata::test
