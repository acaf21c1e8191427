// Files that appear under their final name only when complete.
#pragma once

#include <verdan/coverage/CoverageOutput.h>

#include <functional>
#include <string>

namespace verdan::coverage::detail {

/// Calls write() with a temporary path beside `finalPath` and renames the file to
/// `finalPath` when it succeeds; removes the temporary file when it fails.
Status publishOne(const std::string& finalPath,
                  const std::function<Status(const std::string& partPath)>& write);

} // namespace verdan::coverage::detail
