// velmora-auhost: an Audio Unit host on the calls a Mac host makes, for
// looking at a bundle's components, rendering a sound file through them and
// running the main event loop with one open, its view shown.

#include "auhost/auhost_commands.h"
#include "common/command_line.h"

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr char kUsage[] = "Usage: velmora-auhost COMMAND BUNDLE [ARGUMENTS] [OPTIONS]\n"
                          "\n"
                          "Hosts the Audio Units of a bundle through the calls a Mac host makes.\n"
                          "\n"
                          "Commands:\n"
                          "  list BUNDLE             components, then each one's elements, channels, latency,\n"
                          "                          tail and parameters\n"
                          "  render BUNDLE IN OUT    process a sound file through the bundle's effect\n"
                          "  idle BUNDLE SECONDS     open the effect and run the main event loop\n"
                          "  view BUNDLE SECONDS     the same with the effect's view in a window on $DISPLAY\n"
                          "\n"
                          "Render options:\n"
                          "  --slice N               frames per render call (default 512)\n"
                          "  --set ID=VALUE          set parameter ID to VALUE in its own range; repeatable\n"
                          "  --chain                 two instances, the second pulling from the first\n"
                          "\n"
                          "Options:\n"
                          "  --trace                 show the trace lines the component writes to standard\n"
                          "                          error (hidden by default)\n"
                          "  -h, --help              show this text\n"
                          "  --version               show the version\n";

size_t operandCount(const std::string& command)
{
    if (command == "list")
        return 2;
    if (command == "idle" || command == "view")
        return 3;
    return command == "render" ? 4 : 0;
}

void run(const std::vector<std::string>& operands, const RenderOptions& render, bool renderOptionGiven)
{
    if (operands.empty() || operandCount(operands[0]) != operands.size())
        throw tools::UsageError("");
    if (renderOptionGiven && operands[0] != "render")
        throw tools::UsageError("options are for render only");
    if (operands[0] == "list")
        listBundle(operands[1]);
    else if (operands[0] == "idle")
        idleBundle(operands[1], tools::numberOption("SECONDS", operands[2], 0.0, HUGE_VAL));
    else if (operands[0] == "view")
        viewBundle(operands[1], tools::numberOption("SECONDS", operands[2], 0.0, HUGE_VAL));
    else
        renderFile(operands[1], operands[2], operands[3], render);
}
}  // namespace

int main(int argc, char** argv)
{
    tools::CommandLine line;
    RenderOptions render;
    bool renderOptionGiven = false;
    line.option({"--set"}, [&](const std::string& value) {
        render.parameters.push_back(tools::parseParameterSetting(value, "ID", false));
        renderOptionGiven = true;
    });
    line.option({"--slice"}, [&](const std::string& value) {
        render.sliceFrames = static_cast<UInt32>(tools::wholeNumberOption("--slice", value, 1, INT_MAX));
        renderOptionGiven = true;
    });
    line.flag({"--chain"}, [&] {
        render.chain = true;
        renderOptionGiven = true;
    });
    return tools::runTool("velmora-auhost", kUsage, line, argc, argv, [&](const std::vector<std::string>& operands) {
        run(operands, render, renderOptionGiven);
        return 0;
    });
}
