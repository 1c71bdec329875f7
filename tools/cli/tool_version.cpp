#include "cli/tool_version.h"

#include "effect/velmora_version.h"

#include <cstdio>

namespace cli
{
void printVersion(const char* toolName)
{
    std::printf("%s %s\nCopyright (c) the Velmora authors. Released under the MIT licence.\n", toolName,
                velmora::kVersionString);
}
}  // namespace cli
