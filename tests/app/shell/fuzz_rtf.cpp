// libFuzzer entry point for the RTF reader. Built with -DVERDAN_FUZZ=ON and clang; run as
//   fuzz_rtf -max_total_time=60 <corpus folder, e.g. a copy of tests/data/rtf>
#include "Rtf.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    verdan::LogDocument doc;
    if (verdan::readRtf(input, doc)) {
        verdan::LogDocument again;
        if (!verdan::readRtf(verdan::writeRtf(doc), again) || !(again == doc))
            __builtin_trap();
    }
    return 0;
}
