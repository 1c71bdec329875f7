#include "cli/common_options.h"

#include "effect/velmora_version.h"

#include <cstdio>

namespace cli
{
bool CommonOptions::take(std::string_view argument)
{
    if (argument == "--trace")
        trace = true;
    else if (argument == "-h" || argument == "--help")
        help = true;
    else if (argument == "--version")
        version = true;
    else
        return false;
    return true;
}

bool CommonOptions::answered(const char* toolName, const char* usage) const
{
    if (help)
        std::fputs(usage, stdout);
    else if (version)
        std::printf("%s %s\nCopyright (c) the Velmora authors. Released under the MIT licence.\n", toolName,
                    velmora::kVersionString);
    return help || version;
}
}  // namespace cli
