// Area-mode evaluations as the inverse run makes them: one lrprop and one avar at a new
// distance each.
#include "pmverdan.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void BM_AreaEvaluation(benchmark::State& state) {
    PropRecord prop{};
    PropvRecord propv{};
    PropaRecord propa{};
    prop.hg[0] = 3.0;
    prop.hg[1] = 3.0;
    prop.dh = 90.0;
    qlrps(100.0, 0.0, 301.0, 1, 15.0, 0.005, &prop);
    int32_t kst[2] = {0, 0};
    qlra(kst, 5, 3, &prop, &propv);
    const double zt = qerfi(0.5);
    const double zl = qerfi(0.5);
    const double zc = qerfi(0.9);
    double distM = 4e6;
    for (auto _ : state) {
        if (propv.lvar < 1) {
            propv.lvar = 1;
        }
        lrprop(distM, &prop, &propa);
        const double fs = 8.68589 * std::log(2.0 * prop.wn * prop.dist);
        benchmark::DoNotOptimize(avar(zt, zl, zc, &prop, &propv) + fs);
        distM = distM > 200.0 ? distM - 100.0 : 4e6;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AreaEvaluation);

} // namespace
