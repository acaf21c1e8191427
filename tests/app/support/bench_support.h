#pragma once

#include "Prompter.h"
#include "ReportSink.h"

#include <benchmark/benchmark.h>

namespace verdan::test {

/// A Prompter for benchmarks: shows nothing and answers like a user who accepts every
/// message and cancels every dialog. A benchmark's run never needs to ask the user.
class SilentPrompter final : public Prompter {
public:
    MsgAnswer message(const QString&, const QString&, MsgButtons, MsgIcon) override {
        return MsgAnswer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
    FileAnswer saveFile(const FileRequest&) override { return {}; }
    FileAnswer openFile(const FileRequest&) override { return {}; }
    void runModal(ScreenModel&) override {}
    void setBusy(bool) override {}
    void showHelp(const QString&, int) override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
};

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
