// The library's entry points against the published reference cases, and their behaviour on
// absurd inputs.
#include "pmverdan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kReferenceDir = std::string(VERDAN_TEST_DATA_DIR) + "/reference/";

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
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream f(line);
        AreaCase c{};
        if (f >> c.hTxM >> c.hRxM >> c.dhM >> c.mdvar >> c.distKm >> c.sitingTx >> c.sitingRx >>
            c.eps >> c.sgm >> c.n0 >> c.freqMhz >> c.pol >> c.climate >> c.timePct >>
            c.locationPct >> c.situationPct >> c.lossDb)
            cases.push_back(c);
    }
    return cases;
}

// The records of one run of the model, aligned as the library expects, and the loss it gave.
struct ModelRun {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};
    double lossDb = 0.0;
};

// The area mode's calls for one distance.
ModelRun areaRun(const AreaCase& c) {
    ModelRun r;
    r.prop.hg[0] = c.hTxM;
    r.prop.hg[1] = c.hRxM;
    r.prop.dh = c.dhM;
    qlrps(c.freqMhz, 0.0, c.n0, c.pol, c.eps, c.sgm, &r.prop);
    int32_t kst[2] = {c.sitingTx, c.sitingRx};
    qlra(kst, c.climate, c.mdvar, &r.prop, &r.propv);
    lrprop(c.distKm * 1000.0, &r.prop, &r.propa);
    const double freeSpaceDb = 8.68589 * std::log(2.0 * r.prop.wn * r.prop.dist);
    r.lossDb = avar(qerfi(c.timePct / 100.0), qerfi(c.locationPct / 100.0),
                    qerfi(c.situationPct / 100.0), &r.prop, &r.propv) +
               freeSpaceDb;
    return r;
}

// Every row, and the intermediate values printed beside row 6, the last.
TEST(AreaReference, EveryRowWithin006DbAndTheTableCasesIntermediateValues) {
    const auto cases = readAreaCases();
    ASSERT_EQ(cases.size(), 6u) << "area_cases.csv not found or changed in " << kReferenceDir;
    ModelRun last;
    for (size_t i = 0; i < cases.size(); ++i) {
        last = areaRun(cases[i]);
        EXPECT_NEAR(last.lossDb, cases[i].lossDb, 0.06)
            << "row " << i + 1 << " (f " << cases[i].freqMhz << " MHz, d " << cases[i].distKm
            << " km, mdvar " << cases[i].mdvar << ", climate " << cases[i].climate << "): aref "
            << last.prop.aref << " kwx " << last.prop.kwx;
    }
    const PropRecord& prop = last.prop;
    EXPECT_NEAR(8.68589 * std::log(2.0 * prop.wn * prop.dist), 123.3, 0.05);
    EXPECT_NEAR(prop.aref, 11.2, 0.05);
    EXPECT_LT(prop.dist, last.propa.dlsa) << "the path must be line of sight";
    EXPECT_NEAR(prop.he[0], 15.0, 0.05);
    EXPECT_NEAR(prop.he[1], 3.0, 0.05);
    EXPECT_NEAR(prop.dl[0], 14722, 5.0);
    EXPECT_NEAR(prop.dl[1], 6206, 5.0);
    EXPECT_EQ(prop.kwx, 0);
}

std::vector<double> readProfile(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    std::replace(text.begin(), text.end(), ',', ' ');
    std::istringstream numbers(text);
    return {std::istream_iterator<double>(numbers), {}};
}

// The mean elevation the point-to-point mode hands to qlrps: about the middle 80 % of points.
double meanProfileElevationM(const std::vector<double>& pfl) {
    const int np = static_cast<int>(std::nearbyint(pfl[0]));
    const int ja = 3 + static_cast<int>(std::nearbyint(0.1 * pfl[0]));
    const int jb = np - ja + 6;
    double sum = 0.0;
    for (int k = ja; k <= jb; ++k)
        sum += pfl[static_cast<size_t>(k - 1)];
    return sum / (jb - ja + 1);
}

// The published point-to-point case: every cell of its table and the intermediate values
// printed with it.
TEST(PointToPointReference, TableWithin006DbInEveryCellAndTheIntermediateValues) {
    std::vector<double> pfl = readProfile(kReferenceDir + "p2p_profile_short.pfl");
    ASSERT_EQ(pfl.size(), 145u) << "p2p_profile_short.pfl not found or changed";
    ModelRun r;
    r.prop.hg[0] = 15.0;
    r.prop.hg[1] = 3.0;
    r.propv.lvar = 5;
    r.prop.mdp = -1;
    r.propv.klim = 5;
    r.propv.mdvar = 1;
    qlrps(3500.0, meanProfileElevationM(pfl), 301.0, 1, 15.0, 0.005, &r.prop);
    qlrpfl(pfl.data(), r.propv.klim, r.propv.mdvar, &r.prop, &r.propa, &r.propv);
    const double freeSpaceDb =
        20.0 * std::log10(3500.0) + 32.45 + 20.0 * std::log10(r.prop.dist / 1000.0);
    EXPECT_NEAR(freeSpaceDb, 114.5, 0.05);
    EXPECT_NEAR(r.prop.dist, 3635.2, 0.05);
    EXPECT_LT(r.prop.dist, r.propa.dla) << "the path must be line of sight";
    EXPECT_NEAR(r.prop.he[0], 15.0, 0.05);
    EXPECT_NEAR(r.prop.he[1], 3.0, 0.05);
    EXPECT_NEAR(r.prop.ens, 251.5, 0.05);
    EXPECT_NEAR(r.prop.dh, 3.2, 0.05);
    EXPECT_NEAR(r.prop.aref, 0.0, 0.05);
    EXPECT_NEAR(r.prop.dl[0], 14868, 0.5);
    EXPECT_NEAR(r.prop.dl[1], 6494, 0.5);

    const struct {
        double reliabilityPct, confidencePct, lossDb;
    } cells[] = {{10, 10, 110.9}, {10, 60, 117.2}, {10, 90, 129.1}, {65, 10, 110.9},
                 {65, 60, 117.4}, {65, 90, 129.2}, {90, 10, 110.9}, {90, 60, 117.5},
                 {90, 90, 129.3}, {50, 50, 114.5}};
    for (const auto& cell : cells) {
        const double loss = avar(qerfi(cell.reliabilityPct / 100.0), 0.0,
                                 qerfi(cell.confidencePct / 100.0), &r.prop, &r.propv) +
                            freeSpaceDb;
        EXPECT_NEAR(loss, cell.lossDb, 0.06) << "reliability " << cell.reliabilityPct
                                             << " %, confidence " << cell.confidencePct << " %";
    }
}

TEST(RadialEntryPoints, RefuseWhatQlrpflCannotUse) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> unusable = {
        {0, 30, 1}, {2, 0, 1, 2, 3}, {2, 30, 1, nan, 3}, {-1, 30, 1}, {2e6, 30, 1}};
    for (const auto& pfl : unusable)
        EXPECT_EQ(pmv_radial_open(pfl.data()), nullptr) << pfl[0] << " " << pfl[1];
    EXPECT_EQ(pmv_radial_open(nullptr), nullptr);
    pmv_radial_close(nullptr);

    const std::vector<double> pfl{3.5, 30, 10, 20, 30, 40, 999};
    PmvRadial* radial = pmv_radial_open(pfl.data());
    ASSERT_NE(radial, nullptr) << "a fractional count keeps its whole intervals";
    EXPECT_DOUBLE_EQ(pmv_radial_mean_elevation(radial, 1, 3), 30.0);
    EXPECT_DOUBLE_EQ(pmv_radial_mean_elevation(radial, 0, 0), 10.0);
    for (const auto& [first, last] : {std::pair{-1, 2}, {2, 1}, {0, 4}})
        EXPECT_TRUE(std::isnan(pmv_radial_mean_elevation(radial, first, last))) << first << last;
    EXPECT_TRUE(std::isnan(pmv_radial_mean_elevation(nullptr, 0, 1)));
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};
    for (const int32_t intervals : {0, 4, -3, INT32_MAX}) {
        alignas(8) PropRecord prop{};
        prop.hg[1] = 2.0;
        pmv_radial_qlrpfl(radial, intervals, 5, 12, &prop, &propa, &propv);
        EXPECT_EQ(prop.kwx, 4) << intervals;
        EXPECT_EQ(prop.he[1], 2.0) << intervals;
        EXPECT_EQ(prop.mdp, -1) << intervals;
    }
    alignas(8) PropRecord untouched{};
    pmv_radial_qlrpfl(radial, 3, 5, 12, nullptr, &propa, &propv);
    pmv_radial_qlrpfl(nullptr, 3, 5, 12, &untouched, &propa, &propv);
    EXPECT_EQ(untouched.mdp, 0);
    pmv_radial_close(radial);
}

TEST(AbsurdInputs, AreaModeReportsThemInKwx) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A sound set-up for the cases to spoil one value of.
    const AreaCase sound{3, 3, 90, 1, 50, 0, 0, 15, 0.005, 301, 100, 1, 5, 50, 50, 50, 0};
    ASSERT_EQ(areaRun(sound).prop.kwx, 0);
    const struct {
        const char* what;
        double AreaCase::*field;
        std::vector<double> values;
    } cases[] = {{"frequency", &AreaCase::freqMhz, {0.0, -100.0, nan}},
                 {"height", &AreaCase::hTxM, {0.0, nan}},
                 {"height", &AreaCase::hRxM, {1e6}},
                 {"delta h", &AreaCase::dhM, {nan}},
                 {"refractivity", &AreaCase::n0, {nan}},
                 {"permittivity", &AreaCase::eps, {nan, 0.0, 1e6, 1e308}},
                 {"conductivity", &AreaCase::sgm, {-1.0}},
                 {"distance", &AreaCase::distKm, {nan, -5.0, 5e3}}};
    for (const auto& c : cases) {
        for (const double value : c.values) {
            AreaCase in = sound;
            in.*c.field = value;
            EXPECT_EQ(areaRun(in).prop.kwx, 4) << c.what << ' ' << value;
        }
    }
}

// Random calls of all the entry points with values drawn from sound, borderline and absurd
// ones. Run under AddressSanitizer and UndefinedBehaviorSanitizer, it shows that no input makes
// a routine read outside the caller's arrays or rely on undefined behaviour; here it checks
// that the error indicator stays in its range and flags every impossible value.
TEST(AbsurdInputs, RandomCallsOfAllEntryPoints) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pool[] = {0.0, -1.0, 1.0,  0.5,  3.0,   10.0,   100.0, 301.0, 1e3, 5e4,
                           1e6, 1e12, -1e6, 1e-9, 1e300, -1e300, inf,   -inf,  nan, 15.0};
    const int32_t ints[] = {0, 1, 2, 3, 5, 7, 8, 11, 12, 23, -1, 100000, INT32_MIN, INT32_MAX};
    std::mt19937 rng(20240611);
    const auto pick = [&] { return pool[rng() % std::size(pool)]; };
    const auto pickInt = [&] { return ints[rng() % std::size(ints)]; };
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
        int intervals = -1;
        if (round % 2 == 0) {
            int32_t kst[2] = {pickInt(), pickInt()};
            prop.mdp = pickInt();
            qlra(kst, pickInt(), pickInt(), &prop, &propv);
            for (int k = 0; k < 3; ++k) {
                lrprop(k == 0 ? pick() : 1e3 + 2e6 * unit(rng), &prop, &propa);
                avar(pick(), pick(), pick(), &prop, &propv);
            }
        } else {
            intervals = round % 7 < 2
                            ? round % 7
                            : (round % 100 == 1 ? 50000 : static_cast<int>(2 + rng() % 600));
            std::vector<double> pfl(static_cast<size_t>(intervals) + 3);
            pfl[0] = intervals;
            pfl[1] = round % 11 == 0 ? pick() : 10.0 + 200.0 * unit(rng);
            for (size_t i = 2; i < pfl.size(); ++i)
                pfl[i] = round % 13 == 0 ? pick() : 1000.0 * unit(rng);
            qlrpfl(pfl.data(), pickInt(), pickInt(), &prop, &propa, &propv);
            avar(pick(), 0.0, pick(), &prop, &propv);
            lrprop(pick(), &prop, &propa);
            if (PmvRadial* radial = pmv_radial_open(pfl.data())) {
                alignas(8) PropRecord shared = prop;
                shared.kwx = 0;
                for (int k = 0; k < 3; ++k) {
                    pmv_radial_qlrpfl(radial,
                                      k == 0 ? pickInt() : 1 + static_cast<int>(rng() % 600),
                                      pickInt(), pickInt(), &shared, &propa, &propv);
                }
                pmv_radial_mean_elevation(radial, pickInt(), pickInt());
                pmv_radial_close(radial);
                EXPECT_GE(shared.kwx, 0) << "round " << round;
                EXPECT_LE(shared.kwx, 4) << "round " << round;
            }
        }
        qerfi(pick());
        EXPECT_GE(prop.kwx, 0) << "round " << round;
        EXPECT_LE(prop.kwx, 4) << "round " << round;
        if (!(freqMhz > 0.0) || !std::isfinite(freqMhz) || intervals == 0) {
            EXPECT_EQ(prop.kwx, 4) << "round " << round << ": frequency " << freqMhz;
        }
    }
}

} // namespace
