#include "quarn.h"

#include "state.h"
#include "terrain_builders.h"
#include "test_support.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace dorvex {
namespace {

using verdan::terrain::QuarnDatabaseLayout;
using verdan::terrain::QuarnIndexEntry;

constexpr float kArcSecPerRad = 206264.8f;

// Radians that the reader turns into exactly `sec` arc-seconds.
float radiansForArcSec(float sec) {
    float rad = sec / kArcSecPerRad;
    for (int step = 0; step < 64 && rad * kArcSecPerRad != sec; ++step) {
        rad = std::nextafter(rad, rad * kArcSecPerRad < sec ? 10.0f : -10.0f);
    }
    EXPECT_EQ(rad * kArcSecPerRad, sec);
    return rad;
}

double plane(double latDeg, double lonDeg) {
    return 100.0 + 1000.0 * (latDeg - 39.0) + 500.0 * (lonDeg + 77.0);
}

struct Reading {
    int error = -99;
    float elevM = 12345.0f;
    int spacingSec = 0;
};

class QuarnTest : public test::LibraryTest {
protected:
    QuarnTest()
        : folder_(root() + "quarn/"), inf_("TOPOINFPATH", folder_), dat_("TOPODATPATH", folder_) {
        std::filesystem::create_directories(folder_);
    }

    static QuarnDatabaseLayout area(const std::string& name, int southDeg, int westDeg,
                                    int northDeg, int eastDeg, int spacingSec = 15) {
        QuarnDatabaseLayout layout;
        layout.name = name;
        layout.spacingSec = spacingSec;
        layout.southMin = southDeg * 60;
        layout.westMin = westDeg * 60;
        layout.northMin = northDeg * 60;
        layout.eastMin = eastDeg * 60;
        layout.scale = 10;
        return layout;
    }

    void addDatabase(const QuarnDatabaseLayout& layout,
                     const verdan::terrain::ElevationFn& fn = plane, char type = 'D') {
        std::string error;
        ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(folder_, layout, fn, &error)) << error;
        QuarnIndexEntry entry;
        entry.name = layout.name;
        entry.southMin = layout.southMin;
        entry.westMin = layout.westMin;
        entry.northMin = layout.northMin;
        entry.eastMin = layout.eastMin;
        entry.spacingSec = layout.spacingSec;
        entry.type = type;
        index_.push_back(entry);
        ASSERT_TRUE(verdan::terrain::writeQuarnIndex(folder_ + "TOPO.INF", index_, &error))
            << error;
    }

    Reading get(double latDeg, double lonDeg, int rule = 4, const std::string& name = "") {
        return getIn("D   ", static_cast<float>(latDeg), static_cast<float>(lonDeg), rule, name);
    }
    Reading getIn(const char* unit, float lat, float lon, int rule = 4,
                  const std::string& name = "") {
        Reading reading;
        std::string field = test::padded(name, kQuarnNameWidth);
        TOPGET(lat, lon, unit, rule, field.data(), names_, reading.spacingSec, 0, reading.error,
               reading.elevM);
        return reading;
    }

    // Expected elevation of sample value v with scale 10 and offset 0.
    static float scaled(double elevM) {
        return 10.0f * static_cast<float>(std::lround(elevM / 10.0));
    }

    const std::string& folder() const { return folder_; }
    void patch(const std::string& file, std::size_t offset, const std::string& bytes) {
        std::string data = readText(folder_ + file);
        ASSERT_LE(offset + bytes.size(), data.size());
        data.replace(offset, bytes.size(), bytes);
        writeText(folder_ + file, data);
    }

    QuarnNameList names_;

private:
    std::string folder_;
    test::ScopedEnv inf_;
    test::ScopedEnv dat_;
    std::vector<QuarnIndexEntry> index_;
};

std::string int16Bytes(int value) {
    const auto v = static_cast<uint16_t>(static_cast<int16_t>(value));
    return std::string{static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
}

TEST(Qrnspc, BlockWidthsByLatitude) {
    struct Case {
        int spacing;
        double latDeg;
        int width;
    };
    const Case cases[] = {
        {3, 0.0, 3},    {3, 49.99, 3},  {3, 50.0, 6},    {3, 55.0, 6},   {3, -55.0, 6},
        {3, 70.0, 9},   {3, 75.0, 12},  {3, 80.0, 18},   {3, 90.0, 18},  {6, 60.0, 12},
        {12, 72.0, 36}, {15, 79.9, 60}, {30, 85.0, 180}, {30, 10.0, 30}, {3, 91.0, 0},
        {4, 10.0, 0},   {0, 10.0, 0},   {-3, 10.0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QRNSPC(c.spacing, static_cast<int>(std::lround(c.latDeg * 3600))), c.width)
            << "spacing " << c.spacing << " at " << c.latDeg << " deg";
    }
}

TEST(Topwgs, ChecksDatumAndRanges) {
    struct Case {
        int datum;
        float lat, lon;
        int result;
    };
    const Case cases[] = {
        {0, 0.5f, 1.0f, 0}, {14, 0.5f, 1.0f, 1},           {-1, 0.5f, 1.0f, 1}, {3, 0.5f, 1.0f, 1},
        {0, 1.6f, 1.0f, 2}, {0, -1.6f, 1.0f, 2},           {0, 0.5f, 3.2f, 3},  {0, NAN, 1.0f, 2},
        {0, 0.5f, NAN, 3},  {0, 1.5707964f, 3.1415927f, 0}};
    for (const Case& c : cases) {
        float lat = c.lat, lon = c.lon;
        EXPECT_EQ(TOPWGS(c.datum, lat, lon), c.result) << c.datum << " " << c.lat << " " << c.lon;
    }
}

TEST(Filcnt, ListsDistinctNonBlankNames) {
    QuarnNameList list;
    const auto add = [&list](const std::string& name) {
        FILCNT(test::padded(name, kQuarnNameWidth).c_str(), list);
    };
    add("");
    EXPECT_EQ(list.count, 0);
    add("ALPHA");
    add("ALPHA");
    add("BETA");
    EXPECT_EQ(list.count, 2);
    for (int i = 0; i < 20; ++i) {
        add("N" + std::to_string(i));
    }
    EXPECT_EQ(list.count, 10);
}

TEST_F(QuarnTest, BilinearAtASamplePositionIsTheScaledSample) {
    QuarnDatabaseLayout layout = area("TST39", 39, -77, 40, -76);
    layout.offset = -20;
    addDatabase(layout);
    // Sample (column 5, row 7) of the block at 39 deg 15', 77 deg W: 15" spacing.
    const float latSec = 39.25f * 3600 + 6 * 15;
    const float lonSec = -77.0f * 3600 + 4 * 15;
    const Reading r = getIn("R   ", radiansForArcSec(latSec), radiansForArcSec(lonSec));
    ASSERT_EQ(r.error, 0);
    const int v =
        verdan::terrain::quarnSampleValue(layout, plane(latSec / 3600.0, lonSec / 3600.0));
    EXPECT_NEAR(r.elevM, 10.0f * v - 20.0f, 0.01f);
    EXPECT_EQ(r.spacingSec, 15);
}

TEST_F(QuarnTest, SampleRules) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    const double lat = 39.5 + 5.0 / 3600;   // a third of a cell north of a sample row
    const double lon = -76.5 + 11.0 / 3600; // near the eastern sample of the cell
    const double south = 39.5, north = 39.5 + 15.0 / 3600, west = -76.5, east = -76.5 + 15.0 / 3600;
    const float highest = scaled(plane(north, east));
    const float nearest = scaled(plane(south, east));
    EXPECT_NEAR(get(lat, lon, 0).elevM, highest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 3).elevM, highest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 1).elevM, nearest, 0.01f);
    EXPECT_NEAR(get(lat, lon, 4).elevM, plane(lat, lon), 10.0f);
    (void)west;
}

TEST_F(QuarnTest, Spacing3At55DegreesUsesBlocks3By6Minutes) {
    const auto value = [](double lat, double lon) {
        return 1000.0 + 100.0 * (lat - 55.0) + 50.0 * (lon - 10.0);
    };
    addDatabase(area("N55", 55, 10, 56, 11, 3), value);
    addDatabase(area("N49", 49, 10, 50, 11, 3), [](double, double) { return 500.0; });
    EXPECT_EQ(QRNSPC(3, 55 * 3600), 6);
    const Reading r = get(55.51, 10.52);
    ASSERT_EQ(r.error, 0);
    EXPECT_NEAR(r.elevM, value(55.51, 10.52), 10.0f);
    const Reading south = get(49.99, 10.98);
    ASSERT_EQ(south.error, 0);
    EXPECT_EQ(south.elevM, 500.0f);
}

TEST_F(QuarnTest, NorthAndEastEdgesBelongToTheNextDatabase) {
    addDatabase(area("HOME", 39, -77, 40, -76), [](double, double) { return 100.0; });
    addDatabase(area("NORTH", 40, -77, 41, -76), [](double, double) { return 900.0; });
    addDatabase(area("EAST", 39, -76, 40, -75), [](double, double) { return 500.0; });
    const float lonInside = radiansForArcSec(-76.5f * 3600);
    EXPECT_EQ(getIn("R   ", radiansForArcSec(40.0f * 3600), lonInside).elevM, 900.0f);
    EXPECT_EQ(getIn("R   ", radiansForArcSec(39.5f * 3600), radiansForArcSec(-76.0f * 3600)).elevM,
              500.0f);
    EXPECT_EQ(getIn("R   ", radiansForArcSec(39.0f * 3600), lonInside).elevM, 100.0f);
}

TEST_F(QuarnTest, Longitude180IsTakenAsMinus180) {
    addDatabase(area("DATE", 0, -180, 1, -179, 30), [](double, double) { return 250.0; });
    const Reading r = getIn("R   ", 0.008f, 3.1415927f);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.elevM, 250.0f);
}

TEST_F(QuarnTest, MissingSampleIsError10) {
    const auto holes = [](double lat, double lon) {
        return (lat > 39.4 && lat < 39.6 && lon > -76.6 && lon < -76.4) ? NAN : 300.0;
    };
    addDatabase(area("TST39", 39, -77, 40, -76), holes);
    EXPECT_EQ(get(39.2, -76.8).error, 0);
    const Reading r = get(39.5, -76.5);
    EXPECT_EQ(r.error, 10);
    EXPECT_EQ(r.elevM, -1.0f);
    EXPECT_EQ(get(39.2, -76.8).error, 0);
}

TEST_F(QuarnTest, MissingBlockFailsItsCellWithoutReadingAgain) {
    QuarnDatabaseLayout layout = area("TST39", 39, -77, 40, -76);
    layout.missingBlocks = {{39 * 60 + 30, -77 * 60 + 30}};
    addDatabase(layout);
    EXPECT_EQ(get(39.2, -76.8).error, 0);
    const Reading missing = get(39.6, -76.4);
    EXPECT_EQ(missing.error, 11);
    // Nothing is read for the same cell: even without any file it repeats 11.
    std::filesystem::remove_all(folder());
    const Reading again = get(39.1, -76.9);
    EXPECT_EQ(again.error, 11);
    EXPECT_EQ(again.elevM, 12345.0f);
}

TEST_F(QuarnTest, FailingCellIsLogged) {
    writeText("DEBUG.LOG", "status\n");
    QuarnDatabaseLayout layout = area("TST39", 39, -77, 40, -76);
    layout.missingBlocks = {{39 * 60 + 30, -77 * 60 + 30}};
    addDatabase(layout);
    EXPECT_EQ(get(39.6, -76.4).error, 11);
    const std::string log = readText("DEBUG.LOG");
    EXPECT_NE(log.find("CELL SW CORNER LAT 39  LON -77 MISSING DATA\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("NOT IN TOPO.INF"), std::string::npos) << log;
    EXPECT_EQ(get(-5.5, 20.5).error, 13);
    EXPECT_NE(readText("DEBUG.LOG").find("CELL SW CORNER LAT -6  LON 20 NOT IN TOPO.INF\n"),
              std::string::npos);
}

TEST_F(QuarnTest, RecoversTheBlockFromAnotherDatabase) {
    QuarnDatabaseLayout first = area("ONE", 39, -77, 40, -76);
    first.missingBlocks = {{39 * 60 + 30, -77 * 60 + 30}};
    addDatabase(first, [](double, double) { return 100.0; });
    addDatabase(area("TWO", 39, -77, 40, -76), [](double, double) { return 700.0; });
    EXPECT_EQ(get(39.2, -76.8).elevM, 100.0f);
    const Reading r = get(39.6, -76.4);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.elevM, 700.0f);
}

TEST_F(QuarnTest, PointOutsideEveryDatabase) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    EXPECT_EQ(get(10.0, 10.0).error, 4);
    EXPECT_EQ(get(39.5, -76.5).error, 0);
    EXPECT_EQ(get(10.0, 10.0).error, 13);
}

TEST_F(QuarnTest, OnlyDatabaseTypesDAndBAreUsed) {
    addDatabase(area("SKIP", 39, -77, 40, -76), plane, 'X');
    EXPECT_EQ(get(39.5, -76.5).error, 4);
    resetLibraryState();
    addDatabase(area("BOTH", 39, -77, 40, -76), plane, 'B');
    EXPECT_EQ(get(39.5, -76.5).error, 0);
}

TEST_F(QuarnTest, NamedDatabase) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    EXPECT_EQ(get(39.5, -76.5, 4, "tst39").error, 0);
    EXPECT_EQ(names_.count, 1);
    resetLibraryState();
    EXPECT_EQ(get(10.0, 10.0, 4, "TST39").error, 5);
    EXPECT_EQ(get(39.5, -76.5, 4, "NOSUCH").error, 6);
}

TEST_F(QuarnTest, UnknownUnitCodeReturnsAtOnce) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    const Reading r = getIn("X   ", 0.6f, -1.3f);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.elevM, 12345.0f);
}

TEST_F(QuarnTest, UnitCodesDegreesMinutesSeconds) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    const float d = get(39.5, -76.5).elevM;
    EXPECT_NEAR(getIn("M   ", 39.5f * 60, -76.5f * 60).elevM, d, 0.01f);
    EXPECT_NEAR(getIn("S   ", 39.5f * 3600, -76.5f * 3600).elevM, d, 0.01f);
}

TEST_F(QuarnTest, InvalidCoordinatesAndDatum) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    EXPECT_EQ(getIn("R   ", 1.6f, 0.0f).error, 8);
    EXPECT_EQ(getIn("R   ", 0.5f, -3.2f).error, 9);
    Reading r;
    std::string name = test::padded("", kQuarnNameWidth);
    TOPGET(0.68f, -1.34f, "R   ", 4, name.data(), names_, r.spacingSec, 5, r.error, r.elevM);
    EXPECT_EQ(r.error, 7);
}

TEST_F(QuarnTest, MissingIndexIsError1) {
    EXPECT_EQ(get(39.5, -76.5).error, 1);
    EXPECT_EQ(get(39.5, -76.5).error, 1);
    addDatabase(area("TST39", 39, -77, 40, -76));
    EXPECT_EQ(get(39.5, -76.5).error, 0);
}

class QuarnDefaultTest : public test::LibraryTest {};

TEST_F(QuarnDefaultTest, DefaultLocationIsOnDriveC) {
    const std::string folder = drive('c') + "quarn/dats/";
    std::string error;
    QuarnDatabaseLayout layout;
    layout.name = "DFLT";
    layout.spacingSec = 30;
    layout.southMin = 39 * 60;
    layout.westMin = -77 * 60;
    layout.northMin = 40 * 60;
    layout.eastMin = -76 * 60;
    layout.scale = 2;
    ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(
        folder, layout, [](double, double) { return 88.0; }, &error));
    QuarnIndexEntry entry{"DFLT", 39 * 60, -77 * 60, 40 * 60, -76 * 60, 30, 'D', 1};
    ASSERT_TRUE(verdan::terrain::writeQuarnIndex(folder + "topo.inf", {entry}, &error));
    Reading r;
    std::string name = test::padded("", kQuarnNameWidth);
    QuarnNameList list;
    TOPGET(39.5f, -76.5f, "D   ", 4, name.data(), list, r.spacingSec, 0, r.error, r.elevM);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.elevM, 88.0f);
    EXPECT_EQ(state().paths.pathSource, 0);
}

TEST_F(QuarnDefaultTest, DatabaseFilesFollowTheDriveOfTheirRecord) {
    std::string error;
    QuarnDatabaseLayout layout;
    layout.name = "ONE";
    layout.spacingSec = 30;
    layout.southMin = 0;
    layout.westMin = 0;
    layout.northMin = 60;
    layout.eastMin = 60;
    ASSERT_TRUE(verdan::terrain::writeQuarnDatabase(
        drive('e') + "Quarn/DATS/", layout, [](double, double) { return 9.0; }, &error));
    QuarnIndexEntry entry{"ONE", 0, 0, 60, 60, 30, 'D', 3};
    std::filesystem::create_directories(drive('d') + "Quarn/DATS");
    ASSERT_TRUE(
        verdan::terrain::writeQuarnIndex(drive('d') + "Quarn/DATS/TOPO.INF", {entry}, &error));
    state().quarn.indexDrive = 2;
    Reading r;
    std::string name = test::padded("", kQuarnNameWidth);
    QuarnNameList list;
    TOPGET(0.5f, 0.5f, "D   ", 4, name.data(), list, r.spacingSec, 0, r.error, r.elevM);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.elevM, 9.0f);
}

// Damaged databases give the reader's error numbers.
TEST_F(QuarnTest, IndexWithAPartialRecordIsUnreadable) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    writeText(folder() + "TOPO.INF", readText(folder() + "TOPO.INF") + std::string(30, 'D'));
    EXPECT_EQ(get(39.5, -76.5).error, 0);
    resetLibraryState();
    EXPECT_EQ(get(10.5, 10.5).error, 13);
}

TEST_F(QuarnTest, DirectoryBeyond95EntriesIsNotRead) {
    addDatabase(area("TST39", 39, -77, 40, -76, 30)); // 4 blocks, one directory entry
    const std::string realEntry = readText(folder() + "TST39.DDR");
    const std::string realTable = readText(folder() + "TST39.DDT");
    ASSERT_EQ(realEntry.size(), 8u);
    const auto withEntryAt = [&](int position) {
        std::string ddr, ddt;
        for (int i = 1; i < position; ++i) {
            ddr += int16Bytes(-3000 + i) + int16Bytes(0) + int16Bytes(-3000 + i) + int16Bytes(0);
            ddt += std::string(512, '\0');
        }
        writeText(folder() + "TST39.DDR", ddr + realEntry);
        writeText(folder() + "TST39.DDT", ddt + realTable);
    };
    withEntryAt(95);
    EXPECT_EQ(get(39.5, -76.5).error, 0);
    resetLibraryState();
    withEntryAt(96);
    EXPECT_EQ(get(39.5, -76.5).error, 13);
}

TEST_F(QuarnTest, DirectoryWithAPartialEntryIsUnreadable) {
    addDatabase(area("TST39", 39, -77, 40, -76, 30));
    writeText(folder() + "TST39.DDR", readText(folder() + "TST39.DDR") + "abc");
    EXPECT_EQ(get(39.5, -76.5).error, 13);
}

TEST_F(QuarnTest, BlockTableCutShortIsAReadError) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    std::filesystem::resize_file(folder() + "TST39.DDT", 300);
    EXPECT_EQ(get(39.5, -76.5).error, 12);
}

TEST_F(QuarnTest, BlockCutShortIsAReadError) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    std::filesystem::resize_file(folder() + "TST39.DAT", 4096 + 1000);
    EXPECT_EQ(get(39.0, -77.0 + 20.0 / 60).error, 12); // the second block
    std::filesystem::resize_file(folder() + "TST39.DAT", 100);
    resetLibraryState();
    EXPECT_EQ(get(39.0, -77.0).error, 3);
}

TEST_F(QuarnTest, BlockNumbersOutsideTheFileAreReadErrors) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    for (int record : {30000, 0, -5}) {
        resetLibraryState();
        patch("TST39.DDT", 2 * 2 * 85, int16Bytes(record));
        EXPECT_EQ(get(39.0, -77.0).error, 12) << "record " << record;
    }
}

// Regression: a block whose header spacing is 0 or whose database spacing is unknown is
// a read error, not a division by zero or a read outside the block.
TEST_F(QuarnTest, InvalidBlockHeadersAreReadErrors) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    patch("TST39.DAT", 4096 + 2 * 9, int16Bytes(0)); // longitude spacing of block 2
    EXPECT_EQ(get(39.0, -77.0 + 20.0 / 60).error, 12);
    resetLibraryState();
    patch("TST39.DAT", 4096 + 2 * 9, int16Bytes(1)); // 1" spacing: rows beyond 61 samples
    EXPECT_EQ(get(39.0 + 14.0 / 60, -77.0 + 29.0 / 60).error, 12);
    resetLibraryState();
    patch("TST39.DAT", 2 * 8, int16Bytes(7)); // unknown database spacing in record 1
    EXPECT_EQ(get(39.0, -77.0).error, 12);
}

// Randomly damaged database files give error numbers, never a crash or a read outside a
// buffer (run under AddressSanitizer and UndefinedBehaviorSanitizer in CI).
TEST_F(QuarnTest, RandomlyCorruptedDatabasesGiveErrorNumbers) {
    addDatabase(area("TST39", 39, -77, 40, -76));
    const char* files[] = {"TOPO.INF", "TST39.DDR", "TST39.DDT", "TST39.DAT"};
    std::string originals[4];
    for (int i = 0; i < 4; ++i) {
        originals[i] = readText(folder() + files[i]);
    }
    std::mt19937 random(7);
    const std::vector<int> valid = {0, 1, 3, 4, 10, 11, 12, 13};
    for (int round = 0; round < 300; ++round) {
        resetLibraryState();
        for (int i = 0; i < 4; ++i) {
            std::string data = originals[i];
            if (random() % 3 == 0) {
                data.resize(random() % (data.size() + 1));
            }
            const int flips = static_cast<int>(random() % 12);
            for (int k = 0; k < flips && !data.empty(); ++k) {
                data[random() % data.size()] = static_cast<char>(random() & 0xff);
            }
            writeText(folder() + files[i], data);
        }
        for (int p = 0; p < 5; ++p) {
            const double lat = 38.9 + 0.03 * static_cast<double>(random() % 40);
            const double lon = -77.1 + 0.03 * static_cast<double>(random() % 40);
            const Reading r = get(lat, lon);
            EXPECT_NE(std::find(valid.begin(), valid.end(), r.error), valid.end())
                << "round " << round << " gave " << r.error;
            EXPECT_TRUE(std::isfinite(r.elevM)) << "round " << round;
        }
    }
}

} // namespace
} // namespace dorvex
