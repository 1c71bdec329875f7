#pragma once
// The options every tool takes besides its own: --trace, -h/--help and
// --version.

#include <string_view>

namespace cli
{
struct CommonOptions
{
    bool trace = false;  // let the component's trace lines through
    bool help = false;
    bool version = false;

    // True when argument is one of them, which is then recorded.
    bool take(std::string_view argument);

    // For --help, prints usage; for --version, the tool's name and the release
    // on the first line (as manual page generators read it), then the
    // copyright. True when it printed, and the tool is done.
    bool answered(const char* toolName, const char* usage) const;
};
}  // namespace cli
