#include "StdoutSink.h"

#include <gtest/gtest.h>
#include <sstream>

using verdan::cli::StdoutSink;

namespace {

TEST(StdoutSink, EndsLinesWhereTheReportLogDoesWithLineFeeds) {
    std::ostringstream out;
    StdoutSink sink(out);
    sink.Add("Dist (Km)");
    sink.Add("   12.500  ");
    sink.AddLine("");
    sink.AddLine("last");
    sink.AddLine("\r\n\r\n");
    sink.insertPicture(QByteArray("png"), 10, 10);
    EXPECT_EQ(out.str(), "Dist (Km)   12.500  \nlast\n\n\n\n");
}

} // namespace
