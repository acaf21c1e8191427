#include "preparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

namespace pmverdan {
namespace {

TEST(PrepareSystem, WaveNumberCurvatureAndRefractivity) {
    alignas(8) PropRecord prop{};
    prepareSystem(477.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
    EXPECT_DOUBLE_EQ(prop.wn, 10.0);
    EXPECT_DOUBLE_EQ(prop.ens, 301.0);
    EXPECT_NEAR(1.57e-7 / prop.gme, 1.333, 0.001) << "effective earth radius factor at Ns 301";
    prepareSystem(477.0, 1000.0, 301.0, 1, 15.0, 0.005, prop);
    EXPECT_NEAR(prop.ens, 301.0 * std::exp(-1000.0 / 9460.0), 1e-9);
    EXPECT_EQ(prop.kwx, 0);
}

TEST(PrepareSystem, PolarizationZeroIsHorizontalAnyOtherVertical) {
    alignas(8) PropRecord horizontal{};
    alignas(8) PropRecord vertical{};
    alignas(8) PropRecord two{};
    prepareSystem(100.0, 0.0, 301.0, 0, 15.0, 0.005, horizontal);
    prepareSystem(100.0, 0.0, 301.0, 1, 15.0, 0.005, vertical);
    prepareSystem(100.0, 0.0, 301.0, 2, 15.0, 0.005, two);
    const std::complex<double> relative(15.0, 376.62 * 0.005 / (100.0 / 47.7));
    const std::complex<double> zh = std::sqrt(relative - 1.0);
    EXPECT_NEAR(horizontal.zgndreal, zh.real(), 1e-12);
    EXPECT_NEAR(horizontal.zgndimag, zh.imag(), 1e-12);
    EXPECT_NEAR(vertical.zgndreal, (zh / relative).real(), 1e-12);
    EXPECT_DOUBLE_EQ(two.zgndreal, vertical.zgndreal);
    EXPECT_DOUBLE_EQ(two.zgndimag, vertical.zgndimag);
}

TEST(PrepareSystem, ImpossibleValuesGiveKwx4) {
    for (double freqMhz : {0.0, -10.0, std::nan(""), double{INFINITY}}) {
        alignas(8) PropRecord prop{};
        prepareSystem(freqMhz, 0.0, 301.0, 1, 15.0, 0.005, prop);
        EXPECT_EQ(prop.kwx, 4) << "frequency " << freqMhz;
    }
}

TEST(PrepareArea, EffectiveHeightsBySiting) {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    prepareSystem(100.0, 0.0, 301.0, 1, 15.0, 0.005, prop);
    prop.hg[0] = 10.0;
    prop.hg[1] = 3.0;
    prop.dh = 90.0;
    const int32_t siting[2] = {2, 1};
    prepareArea(siting, 5, 1, prop, propv);
    EXPECT_NEAR(prop.he[0], 10.0 + 10.0 * std::exp(-20.0 / 90.0), 1e-9);
    EXPECT_NEAR(prop.he[1], 3.0 + (1.0 + 4.0 * std::sin(0.3141593 * 3.0)) * std::exp(-6.0 / 90.0),
                1e-9);
    const int32_t random[2] = {0, 0};
    prepareArea(random, 5, 1, prop, propv);
    EXPECT_EQ(prop.he[0], 10.0);
    EXPECT_EQ(prop.mdp, 1);
    // With no irregularity the horizons are those of the smooth earth, with no elevation angle
    // beyond the earth's own curvature.
    prop.dh = 0.0;
    prepareArea(random, 5, 1, prop, propv);
    EXPECT_NEAR(prop.dl[0], std::sqrt(2.0 * 10.0 / prop.gme), 1e-6);
    EXPECT_NEAR(prop.the[0], -2.0 * 10.0 / prop.dl[0], 1e-12);
}

TEST(SetVariabilityInputs, RaisesTheChangeLevel) {
    struct Case {
        int32_t climate, mode, lvarBefore, lvarAfter, klimAfter, mdvarAfter;
    };
    const Case cases[] = {
        {5, 1, 0, 5, 5, 1}, {0, 2, 0, 4, 7, 2}, {0, -1, 0, 3, 7, 3}, {0, -1, 4, 4, 7, 3}};
    for (const Case& c : cases) {
        alignas(8) PropvRecord propv{0.0, c.lvarBefore, 3, 7};
        setVariabilityInputs(c.climate, c.mode, propv);
        EXPECT_EQ(propv.lvar, c.lvarAfter) << "climate " << c.climate << " mode " << c.mode;
        EXPECT_EQ(propv.klim, c.klimAfter);
        EXPECT_EQ(propv.mdvar, c.mdvarAfter);
    }
}

} // namespace
} // namespace pmverdan
