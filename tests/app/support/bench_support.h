#pragma once

#include "ReportSink.h"
#include "SilentPrompter.h"

#include <benchmark/benchmark.h>

namespace verdan::test {

/// Benchmarks never ask the user: the program's prompter that shows nothing.
using SilentPrompter = verdan::SilentPrompter;

/// A report sink that keeps nothing, but whose input the compiler cannot drop.
class NullSink final : public ReportSink {
public:
    void Add(const QString& s) override { benchmark::DoNotOptimize(s.size()); }
    void AddLine(const QString& s) override { benchmark::DoNotOptimize(s.size()); }
    void insertPicture(const QByteArray& png, int, int) override {
        benchmark::DoNotOptimize(png.size());
    }
};

} // namespace verdan::test
