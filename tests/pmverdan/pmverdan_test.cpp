// The library's entry points against the published reference cases, and their behaviour on
// absurd inputs.
#include "pmverdan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kReferenceDir = std::string(VERDAN_TEST_DATA_DIR) + "/reference/";

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) {
        fields.push_back(field);
    }
    return fields;
}

struct AreaCase {
    double hTxM, hRxM, dhM;
    int mdvar;
    double distKm;
    int sitingTx, sitingRx;
    double eps, sgm, n0, freqMhz;
    int pol, climate;
    double timePct, locationPct, situationPct, lossDb;
};

std::vector<AreaCase> readAreaCases() {
    std::ifstream in(kReferenceDir + "area_cases.csv");
    std::vector<AreaCase> cases;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        const auto f = splitFields(line);
        if (f.size() != 17) {
            continue;
        }
        cases.push_back({std::stod(f[0]), std::stod(f[1]), std::stod(f[2]), std::stoi(f[3]),
                         std::stod(f[4]), std::stoi(f[5]), std::stoi(f[6]), std::stod(f[7]),
                         std::stod(f[8]), std::stod(f[9]), std::stod(f[10]), std::stoi(f[11]),
                         std::stoi(f[12]), std::stod(f[13]), std::stod(f[14]), std::stod(f[15]),
                         std::stod(f[16])});
    }
    return cases;
}

// The area mode's calls for one distance.
double areaLossDb(const AreaCase& c, PropRecord& prop, PropvRecord& propv, PropaRecord& propa) {
    prop = PropRecord{};
    propv = PropvRecord{};
    propa = PropaRecord{};
    prop.hg[0] = c.hTxM;
    prop.hg[1] = c.hRxM;
    prop.dh = c.dhM;
    prop.ens = c.n0;
    propv.klim = c.climate;
    qlrps(c.freqMhz, 0.0, c.n0, c.pol, c.eps, c.sgm, &prop);
    int32_t kst[2] = {c.sitingTx, c.sitingRx};
    qlra(kst, c.climate, c.mdvar, &prop, &propv);
    if (propv.lvar < 1) {
        propv.lvar = 1;
    }
    lrprop(c.distKm * 1000.0, &prop, &propa);
    const double freeSpaceDb = 8.68589 * std::log(2.0 * prop.wn * prop.dist);
    return avar(qerfi(c.timePct / 100.0), qerfi(c.locationPct / 100.0),
                qerfi(c.situationPct / 100.0), &prop, &propv) +
           freeSpaceDb;
}

TEST(AreaReference, EveryRowWithin006Db) {
    const auto cases = readAreaCases();
    ASSERT_EQ(cases.size(), 6u) << "area_cases.csv not found or changed in " << kReferenceDir;
    for (size_t i = 0; i < cases.size(); ++i) {
        alignas(8) PropRecord prop;
        alignas(8) PropvRecord propv;
        alignas(8) PropaRecord propa;
        const double loss = areaLossDb(cases[i], prop, propv, propa);
        EXPECT_NEAR(loss, cases[i].lossDb, 0.06)
            << "row " << i + 1 << " (f " << cases[i].freqMhz << " MHz, d " << cases[i].distKm
            << " km, mdvar " << cases[i].mdvar << ", climate " << cases[i].climate << "): aref "
            << prop.aref << " kwx " << prop.kwx;
    }
}

// The intermediate values printed beside row 6.
TEST(AreaReference, TableCaseIntermediateValues) {
    const AreaCase c{15, 3, 20, 1, 10, 0, 0, 15, 0.005, 301, 3500, 1, 5, 50, 50, 50, 134.5};
    alignas(8) PropRecord prop;
    alignas(8) PropvRecord propv;
    alignas(8) PropaRecord propa;
    const double loss = areaLossDb(c, prop, propv, propa);
    EXPECT_NEAR(loss, 134.5, 0.06);
    EXPECT_NEAR(8.68589 * std::log(2.0 * prop.wn * prop.dist), 123.3, 0.05);
    EXPECT_NEAR(prop.aref, 11.2, 0.05);
    EXPECT_LT(prop.dist, propa.dlsa) << "the path must be line of sight";
    EXPECT_NEAR(prop.he[0], 15.0, 0.05);
    EXPECT_NEAR(prop.he[1], 3.0, 0.05);
    EXPECT_NEAR(prop.dl[0], 14722, 5.0);
    EXPECT_NEAR(prop.dl[1], 6206, 5.0);
    EXPECT_EQ(prop.kwx, 0);
}

std::vector<double> readProfile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string all = text.str();
    for (char& ch : all) {
        if (ch == ',') {
            ch = ' ';
        }
    }
    std::stringstream numbers(all);
    std::vector<double> pfl;
    double value = 0.0;
    while (numbers >> value) {
        pfl.push_back(value);
    }
    return pfl;
}

// The mean elevation the point-to-point mode hands to qlrps: about the middle 80 % of points.
double meanProfileElevationM(const std::vector<double>& pfl) {
    const int np = static_cast<int>(std::nearbyint(pfl[0]));
    const int ja = 3 + static_cast<int>(std::nearbyint(0.1 * pfl[0]));
    const int jb = np - ja + 6;
    double sum = 0.0;
    for (int k = ja; k <= jb; ++k) {
        sum += pfl[static_cast<size_t>(k - 1)];
    }
    return sum / (jb - ja + 1);
}

class PointToPointReference : public ::testing::Test {
protected:
    void SetUp() override {
        pfl_ = readProfile(kReferenceDir + "p2p_profile_short.pfl");
        ASSERT_EQ(pfl_.size(), 145u) << "p2p_profile_short.pfl not found or changed";
        prop_.hg[0] = 15.0;
        prop_.hg[1] = 3.0;
        propv_.lvar = 5;
        prop_.mdp = -1;
        propv_.klim = 5;
        propv_.mdvar = 1;
        qlrps(3500.0, meanProfileElevationM(pfl_), 301.0, 1, 15.0, 0.005, &prop_);
        qlrpfl(pfl_.data(), propv_.klim, propv_.mdvar, &prop_, &propa_, &propv_);
        freeSpaceDb_ = 20.0 * std::log10(3500.0) + 32.45 + 20.0 * std::log10(prop_.dist / 1000.0);
    }

    std::vector<double> pfl_;
    alignas(8) PropRecord prop_{};
    alignas(8) PropvRecord propv_{};
    alignas(8) PropaRecord propa_{};
    double freeSpaceDb_ = 0.0;
};

TEST_F(PointToPointReference, TableWithin006DbInEveryCell) {
    struct Cell {
        double reliabilityPct, confidencePct, lossDb;
    };
    const Cell cells[] = {{10, 10, 110.9}, {10, 60, 117.2}, {10, 90, 129.1}, {65, 10, 110.9},
                          {65, 60, 117.4}, {65, 90, 129.2}, {90, 10, 110.9}, {90, 60, 117.5},
                          {90, 90, 129.3}, {50, 50, 114.5}};
    for (const Cell& cell : cells) {
        const double loss = avar(qerfi(cell.reliabilityPct / 100.0), 0.0,
                                 qerfi(cell.confidencePct / 100.0), &prop_, &propv_) +
                            freeSpaceDb_;
        EXPECT_NEAR(loss, cell.lossDb, 0.06) << "reliability " << cell.reliabilityPct
                                             << " %, confidence " << cell.confidencePct << " %";
    }
}

TEST_F(PointToPointReference, IntermediateValuesWithinTheirRounding) {
    EXPECT_NEAR(freeSpaceDb_, 114.5, 0.05);
    EXPECT_NEAR(prop_.dist, 3635.2, 0.05);
    EXPECT_LT(prop_.dist, propa_.dla) << "the path must be line of sight";
    EXPECT_NEAR(prop_.he[0], 15.0, 0.05);
    EXPECT_NEAR(prop_.he[1], 3.0, 0.05);
    EXPECT_NEAR(prop_.ens, 251.5, 0.05);
    EXPECT_NEAR(prop_.dh, 3.2, 0.05);
    EXPECT_NEAR(prop_.aref, 0.0, 0.05);
    EXPECT_NEAR(prop_.dl[0], 14868, 0.5);
    EXPECT_NEAR(prop_.dl[1], 6494, 0.5);
}

TEST(RecordLayout, MatchesTheCallersRecords) {
    EXPECT_EQ(sizeof(PropRecord), 144u);
    EXPECT_EQ(offsetof(PropRecord, aref), 0u);
    EXPECT_EQ(offsetof(PropRecord, wn), 32u);
    EXPECT_EQ(offsetof(PropRecord, he), 80u);
    EXPECT_EQ(offsetof(PropRecord, kwx), 128u);
    EXPECT_EQ(offsetof(PropRecord, msgText), 136u);
    EXPECT_EQ(sizeof(PropvRecord), 20u);
    EXPECT_EQ(offsetof(PropvRecord, klim), 16u);
    EXPECT_EQ(offsetof(PropaRecord, dlsa), 0u);
    EXPECT_EQ(offsetof(PropaRecord, dx), 8u);
    EXPECT_EQ(offsetof(PropaRecord, dla), 88u);
}

// A sound area-mode set-up for the robustness cases to spoil one value of.
struct AreaInputs {
    double freqMhz = 100.0, zsysM = 0.0, n0 = 301.0, eps = 15.0, sgm = 0.005;
    int32_t pol = 1;
    double hTxM = 3.0, hRxM = 3.0, dhM = 90.0, distM = 50e3;
    int32_t kst[2] = {0, 0};
    int32_t klim = 5, mdvar = 1;
};

int32_t areaErrorIndicator(const AreaInputs& in) {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};
    prop.hg[0] = in.hTxM;
    prop.hg[1] = in.hRxM;
    prop.dh = in.dhM;
    qlrps(in.freqMhz, in.zsysM, in.n0, in.pol, in.eps, in.sgm, &prop);
    int32_t kst[2] = {in.kst[0], in.kst[1]};
    qlra(kst, in.klim, in.mdvar, &prop, &propv);
    lrprop(in.distM, &prop, &propa);
    avar(0.0, 0.0, 0.0, &prop, &propv);
    return prop.kwx;
}

TEST(AbsurdInputs, AreaModeReportsThemInKwx) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_EQ(areaErrorIndicator(AreaInputs{}), 0);
    struct Case {
        const char* what;
        void (*spoil)(AreaInputs&, double);
        double value;
    };
    const Case cases[] = {
        {"frequency 0", [](AreaInputs& a, double v) { a.freqMhz = v; }, 0.0},
        {"frequency -100", [](AreaInputs& a, double v) { a.freqMhz = v; }, -100.0},
        {"frequency NaN", [](AreaInputs& a, double v) { a.freqMhz = v; }, nan},
        {"height 0", [](AreaInputs& a, double v) { a.hTxM = v; }, 0.0},
        {"height 1e6", [](AreaInputs& a, double v) { a.hRxM = v; }, 1e6},
        {"height NaN", [](AreaInputs& a, double v) { a.hTxM = v; }, nan},
        {"delta h NaN", [](AreaInputs& a, double v) { a.dhM = v; }, nan},
        {"refractivity NaN", [](AreaInputs& a, double v) { a.n0 = v; }, nan},
        {"permittivity NaN", [](AreaInputs& a, double v) { a.eps = v; }, nan},
        {"permittivity 0", [](AreaInputs& a, double v) { a.eps = v; }, 0.0},
        {"permittivity 1e6", [](AreaInputs& a, double v) { a.eps = v; }, 1e6},
        {"permittivity 1e308", [](AreaInputs& a, double v) { a.eps = v; }, 1e308},
        {"conductivity -1", [](AreaInputs& a, double v) { a.sgm = v; }, -1.0},
        {"distance NaN", [](AreaInputs& a, double v) { a.distM = v; }, nan},
        {"distance -5 km", [](AreaInputs& a, double v) { a.distM = v; }, -5e3},
        {"distance 5000 km", [](AreaInputs& a, double v) { a.distM = v; }, 5e6},
    };
    for (const Case& c : cases) {
        AreaInputs in;
        c.spoil(in, c.value);
        EXPECT_EQ(areaErrorIndicator(in), 4) << c.what;
    }
}

TEST(AbsurdInputs, ProfilesThatCannotBeUsedGiveKwx4) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> profiles = {
        {0.0, 100.0, 10.0},           // no interval
        {-3.0, 100.0, 10.0},          // negative count
        {nan, 100.0, 10.0},           // count NaN
        {1e12, 100.0, 10.0},          // a count no array can have
        {2.0, 0.0, 10.0, 10.0, 10.0}, // zero spacing
        {2.0, 100.0, 10.0, nan, 10.0}};
    for (const auto& source : profiles) {
        // Exactly the elements the header claims (or the three of a header), so that
        // AddressSanitizer sees every read past them.
        auto pfl = std::make_unique<double[]>(source.size());
        std::copy(source.begin(), source.end(), pfl.get());
        alignas(8) PropRecord prop{};
        alignas(8) PropvRecord propv{};
        alignas(8) PropaRecord propa{};
        prop.hg[0] = 10.0;
        prop.hg[1] = 10.0;
        qlrps(100.0, 0.0, 301.0, 1, 15.0, 0.005, &prop);
        qlrpfl(pfl.get(), 5, 1, &prop, &propa, &propv);
        EXPECT_EQ(prop.kwx, 4) << "profile of count " << source[0] << ", spacing " << source[1];
        EXPECT_EQ(prop.dist, 0.0);
        EXPECT_EQ(prop.he[0], 10.0);
    }
}

// Runs a point-to-point preparation over n intervals of the given elevations.
PropRecord pointToPoint(int n, double spacingM, double (*elevM)(int)) {
    std::vector<double> pfl(static_cast<size_t>(n) + 3);
    pfl[0] = n;
    pfl[1] = spacingM;
    for (int i = 0; i <= n; ++i) {
        pfl[static_cast<size_t>(i) + 2] = elevM(i);
    }
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};
    prop.hg[0] = 20.0;
    prop.hg[1] = 10.0;
    qlrps(900.0, 0.0, 301.0, 1, 15.0, 0.005, &prop);
    qlrpfl(pfl.data(), 5, 1, &prop, &propa, &propv);
    const double loss = avar(0.0, 0.0, 0.0, &prop, &propv);
    EXPECT_TRUE(std::isfinite(loss)) << n << " intervals";
    return prop;
}

TEST(AbsurdInputs, ExtremeButUsableProfilesAreComputed) {
    alignas(8) const PropRecord one = pointToPoint(1, 20e3, [](int) { return 100.0; });
    EXPECT_DOUBLE_EQ(one.dist, 20e3);
    EXPECT_EQ(one.dh, 0.0);
    alignas(8) const PropRecord flat = pointToPoint(400, 100.0, [](int) { return 250.0; });
    EXPECT_EQ(flat.dh, 0.0) << "all-equal elevations have no irregularity";
    EXPECT_EQ(flat.kwx, 0);
    alignas(8) const PropRecord longPath =
        pointToPoint(50000, 30.0, [](int i) { return 200.0 + 50.0 * std::sin(i * 0.01); });
    EXPECT_DOUBLE_EQ(longPath.dist, 1.5e6);
    EXPECT_GT(longPath.dh, 0.0);
    EXPECT_EQ(longPath.kwx, 1) << "1500 km is nearly out of range";
}

TEST(AbsurdInputs, NullRecordsAreIgnored) {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};
    double pfl[3] = {1.0, 100.0, 0.0};
    int32_t kst[2] = {0, 0};
    qlrps(100.0, 0.0, 301.0, 0, 15.0, 0.005, nullptr);
    qlra(nullptr, 5, 1, &prop, &propv);
    qlra(kst, 5, 1, &prop, nullptr);
    lrprop(1e4, nullptr, &propa);
    qlrpfl(nullptr, 5, 1, &prop, &propa, &propv);
    qlrpfl(pfl, 5, 1, &prop, nullptr, &propv);
    EXPECT_TRUE(std::isnan(avar(0.0, 0.0, 0.0, nullptr, &propv)));
    EXPECT_EQ(prop.kwx, 0);
    EXPECT_EQ(prop.mdp, 0);
}

// Random calls of all six entry points with values drawn from sound, borderline and absurd
// ones. Run under AddressSanitizer and UndefinedBehaviorSanitizer, it shows that no input makes
// a routine read outside the caller's arrays or rely on undefined behaviour; here it checks
// that the error indicator stays in its range and flags every impossible value.
TEST(AbsurdInputs, RandomCallsOfAllEntryPoints) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pool[] = {0.0, -1.0, 1.0,  0.5,  3.0,   10.0,   100.0, 301.0, 1e3, 5e4,
                           1e6, 1e12, -1e6, 1e-9, 1e300, -1e300, inf,   -inf,  nan, 15.0};
    std::mt19937 rng(20240611);
    const auto pick = [&]() {
        return pool[std::uniform_int_distribution<size_t>(0, std::size(pool) - 1)(rng)];
    };
    const auto pickInt = [&]() {
        const int32_t ints[] = {0,
                                1,
                                2,
                                3,
                                5,
                                7,
                                8,
                                11,
                                12,
                                23,
                                -1,
                                100000,
                                std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max()};
        return ints[std::uniform_int_distribution<size_t>(0, std::size(ints) - 1)(rng)];
    };
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int round = 0; round < 3000; ++round) {
        alignas(8) PropRecord prop{};
        alignas(8) PropvRecord propv{};
        alignas(8) PropaRecord propa{};
        prop.hg[0] = round % 2 == 0 ? pick() : 10.0;
        prop.hg[1] = round % 3 == 0 ? pick() : 5.0;
        prop.dh = pick();
        propv.lvar = pickInt();
        propv.mdvar = pickInt();
        propv.klim = pickInt();
        const double freqMhz = round % 4 == 0 ? pick() : 20.0 + 2e4 * unit(rng);
        qlrps(freqMhz, pick(), round % 5 == 0 ? pick() : 301.0, pickInt(), pick(), pick(), &prop);
        const bool badFrequency = !(freqMhz > 0.0) || !std::isfinite(freqMhz);
        if (round % 2 == 0) {
            int32_t kst[2] = {pickInt(), pickInt()};
            prop.mdp = pickInt();
            qlra(kst, pickInt(), pickInt(), &prop, &propv);
            for (int k = 0; k < 3; ++k) {
                lrprop(k == 0 ? pick() : 1e3 + 2e6 * unit(rng), &prop, &propa);
                avar(pick(), pick(), pick(), &prop, &propv);
            }
        } else {
            const int kinds = round % 7;
            const int intervals = kinds == 0   ? 0
                                  : kinds == 1 ? 1
                                  : kinds == 2 && round % 100 == 1
                                      ? 50000
                                      : std::uniform_int_distribution<int>(2, 600)(rng);
            std::vector<double> pfl(static_cast<size_t>(intervals) + 3);
            pfl[0] = intervals;
            pfl[1] = round % 11 == 0 ? pick() : 10.0 + 200.0 * unit(rng);
            for (size_t i = 2; i < pfl.size(); ++i) {
                pfl[i] = round % 13 == 0 ? pick() : 1000.0 * unit(rng);
            }
            qlrpfl(pfl.data(), pickInt(), pickInt(), &prop, &propa, &propv);
            avar(pick(), 0.0, pick(), &prop, &propv);
            lrprop(pick(), &prop, &propa);
            if (intervals == 0) {
                EXPECT_EQ(prop.kwx, 4) << "round " << round << ": a profile without intervals";
            }
        }
        qerfi(pick());
        EXPECT_GE(prop.kwx, 0) << "round " << round;
        EXPECT_LE(prop.kwx, 4) << "round " << round;
        if (badFrequency) {
            EXPECT_EQ(prop.kwx, 4) << "round " << round << ": frequency " << freqMhz;
        }
    }
}

} // namespace
