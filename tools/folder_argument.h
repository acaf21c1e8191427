// The one argument of the demo data makers: the folder to write into. "--help" and "-h"
// print the usage; any other word starting with '-' is refused, so that a mistyped option
// never becomes a folder of that name.
#pragma once

#include <cstdio>
#include <string_view>

namespace verdan::tools {

/// -1 when argv[1] names the folder; otherwise the exit status the tool ends with: 0 after
/// a request for help (the usage on stdout), 2 after a wrong call (the usage on stderr).
inline int folderArgumentStatus(int argc, char** argv, const char* usage) {
    if (argc == 2 && argv[1][0] != '\0' && argv[1][0] != '-')
        return -1;
    const bool help =
        argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h");
    std::fprintf(help ? stdout : stderr, "usage: %s\n", usage);
    return help ? 0 : 2;
}

} // namespace verdan::tools
