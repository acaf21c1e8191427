// A point-to-point preparation and one variability call over an 800-point profile.
#include "pmverdan.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

void BM_PointToPoint800(benchmark::State& state) {
    constexpr int kIntervals = 799;
    std::vector<double> pfl(kIntervals + 3);
    pfl[0] = kIntervals;
    pfl[1] = 90.0;
    for (int i = 0; i <= kIntervals; ++i) {
        pfl[static_cast<size_t>(i) + 2] =
            300.0 + 80.0 * std::sin(i * 0.021) + 25.0 * std::sin(i * 0.37);
    }
    for (auto _ : state) {
        PropRecord prop{};
        PropvRecord propv{};
        PropaRecord propa{};
        prop.hg[0] = 30.0;
        prop.hg[1] = 10.0;
        propv.lvar = 5;
        prop.mdp = -1;
        qlrps(900.0, 300.0, 301.0, 1, 15.0, 0.005, &prop);
        qlrpfl(pfl.data(), 5, 12, &prop, &propa, &propv);
        benchmark::DoNotOptimize(avar(qerfi(0.9), 0.0, qerfi(0.5), &prop, &propv));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PointToPoint800);

} // namespace
