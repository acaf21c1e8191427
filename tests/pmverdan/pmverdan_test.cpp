// The library's entry points against the published reference cases, and their behaviour on
// absurd inputs.
#include "pmverdan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kReferenceDir = std::string(VERDAN_SHARED_DIR) + "/reference/";

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
        PropRecord prop;
        PropvRecord propv;
        PropaRecord propa;
        const double loss = areaLossDb(cases[i], prop, propv, propa);
        EXPECT_NEAR(loss, cases[i].lossDb, 0.06)
            << "row " << i + 1 << " (f " << cases[i].freqMhz << " MHz, d " << cases[i].distKm
            << " km, mdvar " << cases[i].mdvar << ", climate " << cases[i].climate << "): aref "
            << prop.aref << " kwx " << prop.kwx;
    }
}

} // namespace
