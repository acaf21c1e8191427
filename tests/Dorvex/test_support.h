// Helpers of the Dorvex tests: temporary folders under $TMPDIR, scoped environment
// variables and working directory, a clean library state per test.
#pragma once

#include "FolderFiles.h"
#include "state.h"
#include "terrain_builders.h"

#include <GeographicLib/Geodesic.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace dorvex::test {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// End points of a path in degrees.
struct Path {
    double lat1, lon1, lat2, lon2;
};

// Geodesics on the sphere of 6370 km that the library's paths follow.
inline const GeographicLib::Geodesic& sphere() {
    static const GeographicLib::Geodesic geodesic(6370000.0, 0.0);
    return geodesic;
}

// A new empty folder under $TMPDIR, removed with the object. path() ends with "/".
using TempDir = verdan::test::TempFolder;

// Sets (or with nullopt unsets) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Changes the working directory for the life of the object.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& folder) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;
    ~ScopedCwd() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

// A fresh library state, the drive map pointing into a temporary folder, no data-path
// environment variables and the working directory in a temporary folder.
class LibraryTest : public ::testing::Test {
protected:
    LibraryTest()
        : drives_("VERDAN_DRIVES", root_.path() + "drives"), inf_("TOPOINFPATH", std::nullopt),
          dat_("TOPODATPATH", std::nullopt), windir_("WINDIR", std::nullopt), cwd_(root_.path()) {
        resetLibraryState();
    }
    ~LibraryTest() override { resetLibraryState(); }

    // Folder of drive `letter` in the drive map, created, ending with "/".
    std::string drive(char letter) const {
        const std::string folder = root_.path() + "drives/" + letter + "/";
        std::filesystem::create_directories(folder);
        return folder;
    }
    const std::string& root() const { return root_.path(); }

    // Writes a GLOBE folder with the elevations `fn` inside `boxes` into root()/name/.
    std::string globeFolder(const std::string& name,
                            const std::vector<verdan::terrain::GeoBox>& boxes,
                            const verdan::terrain::ElevationFn& fn) const {
        const std::string folder = root() + name + "/";
        std::string error;
        EXPECT_TRUE(verdan::terrain::writeGlobeFolder(folder, fn, boxes, &error)) << error;
        return folder;
    }

    static void writeText(const std::string& path, const std::string& text) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) {
            std::filesystem::create_directories(parent);
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    static std::string readText(const std::string& path) { return verdan::test::readAll(path); }

private:
    TempDir root_;
    ScopedEnv drives_;
    ScopedEnv inf_;
    ScopedEnv dat_;
    ScopedEnv windir_;
    ScopedCwd cwd_;
};

// `text` padded with blanks to `width` characters.
inline std::string padded(const std::string& text, std::size_t width) {
    std::string field = text.substr(0, width);
    field.resize(width, ' ');
    return field;
}

} // namespace dorvex::test
