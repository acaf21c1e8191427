#include "FolderFiles.h"

#include <verdan/coverage/Sites.h>

#include <gtest/gtest.h>

using namespace verdan::coverage;

namespace {

TEST(Sites, EveryColumnInAnyOrderReadsAndWritesBackTheSameSites) {
    const std::string text = "\xEF\xBB\xBF"
                             "FREQ_MHZ,name,lat,lon,power,gain,antenna,azimuth,tilt,tx_loss,"
                             "height_m\r\n"
                             "450,north,45.1,7.25,50W,10dBd,,,,2.5,30\r\n"
                             "\r\n"
                             ",s-1,-33.5,151,47dBm,,\"sector, 65.msi\",120,4,,\r\n";
    const SitesRead read = parseSites(text, "sites.csv");
    ASSERT_TRUE(read.file) << read.message;
    ASSERT_EQ(read.file->sites.size(), 2u);
    const Site& north = read.file->sites[0];
    EXPECT_EQ(north.name, "north");
    EXPECT_EQ(north.freqMHz, 450);
    EXPECT_NEAR(*north.powerDbm, 46.9897, 1e-4); // 10 log10(50 W / 1 mW)
    EXPECT_NEAR(*north.gainDbi, 12.15, 1e-12);   // 10 dBd over a dipole of 2.15 dBi
    EXPECT_EQ(north.txLossDb, 2.5);
    EXPECT_EQ(north.heightM, 30);
    EXPECT_FALSE(north.azimuthDeg);
    const Site& sector = read.file->sites[1];
    EXPECT_EQ(sector.antenna, "sector, 65.msi");
    EXPECT_EQ(sector.azimuthDeg, 120);
    EXPECT_FALSE(sector.freqMHz);
    EXPECT_FALSE(sector.heightM);
    EXPECT_EQ(sitePatternPath("/data/net/sites.csv", sector.antenna), "/data/net/sector, 65.msi");
    EXPECT_EQ(sitePatternPath("sites.csv", "/abs/p.msi"), "/abs/p.msi");

    const verdan::test::TempFolder dir;
    ASSERT_TRUE(writeSitesFile(dir / "copy.csv", *read.file).ok);
    const SitesRead back = readSitesFile(dir / "copy.csv");
    ASSERT_TRUE(back.file) << back.message;
    EXPECT_EQ(back.file->columns, read.file->columns);
    EXPECT_EQ(sitesCsv(*back.file), sitesCsv(*read.file));
    EXPECT_EQ(back.file->sites[0].powerDbm, north.powerDbm); // the shortest form is exact
}

TEST(Sites, ErrorsNameTheRowAndTheColumn) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"name,lat\na,1\n", "f.csv: row 1, expected a header naming the columns name, lat and lon"},
        {"name,lat,lon,azimut\n", "f.csv: row 1, column 4: \"azimut\" is not a sites column"},
        {"name,lat,lon,Lat\n", "row 1, the column lat is named twice"},
        {"name,lat,lon\na,91,2\n", "f.csv: row 2, column lat: expected -90 to 90; got \"91\""},
        {"name,lat,lon\r\n\r\nb,45,7x\r\n", "row 3, column lon: expected -180 to 180"},
        {"name,lat,lon\nb,,7\n", "row 2, column lat: a value is required"},
        {"name,lat,lon,height_m\nb,45,7,0.1\n", "row 2, column height_m: expected 0.5 to 3000"},
        {"name,lat,lon,power\nb,45,7,30\n", "row 2, column power:"}, // 30 W or 30 dBm?
        {"name,lat,lon,tx_loss\nb,45,7,-1\n", "row 2, column tx_loss:"},
        {"name,lat,lon,gain,antenna\nb,45,7,3,p.msi\n", "row 2, columns gain and antenna"},
        {"name,lat,lon,freq_mhz\nb,45,7,10\n", "row 2, column freq_mhz: expected 20 to 20000"},
        {"name,lat,lon,azimuth\nb,45,7,361\n", "row 2, column azimuth"},
        {"name,lat,lon,tilt\nb,45,7,-91\n", "row 2, column tilt"},
        {"name,lat,lon\nb,45,7,9\n", "row 2, 4 cells, but the header names 3 columns"},
        {"name,lat,lon\n../a,45,7\n", "row 2, column name: not a plain file name"},
        {"name,lat,lon\n.a,45,7\n", "row 2, column name: not a plain file name"},
        {"name,lat,lon\nA,45,7\nb,45,8\na,45,9\n", "row 4, column name: \"a\" is given twice"},
        {"name,lat,lon\n\"a,45,7\n", "row 2: a quote is not closed"},
        {"name,lat,lon\n\n", "f.csv: lists no site"},
    };
    for (const auto& c : cases) {
        const SitesRead read = parseSites(c.text, "f.csv");
        EXPECT_FALSE(read.file) << c.text;
        EXPECT_NE(read.message.find(c.expected), std::string::npos) << read.message;
    }
    EXPECT_NE(readSitesFile("/").message.find("/: not a regular file"), std::string::npos);
}

} // namespace
