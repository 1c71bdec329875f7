#pragma once
// --version, the same for every tool: its name and the release on the first
// line (as manual page generators read it), then the copyright.

namespace cli
{
void printVersion(const char* toolName);
}  // namespace cli
