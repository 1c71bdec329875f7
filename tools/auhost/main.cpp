// velmora-auhost: an Audio Unit host on the calls a Mac host makes, for
// looking at a bundle's components, rendering a sound file through them and
// running the main event loop with one open, its view shown.

#include "auhost/au_error.h"
#include "auhost/auhost_commands.h"
#include "cli/common_options.h"
#include "cli/component_trace.h"

#include <charconv>
#include <cmath>
#include <cstdio>
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

// The whole text must be the number: no blanks, no trailing text.
template <typename Number>
bool parseWhole(const std::string& text, Number& number)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

ParameterSetting parseSetting(const std::string& text)
{
    const auto equals = text.find('=');
    ParameterSetting setting{};
    if (equals == std::string::npos || !parseWhole(text.substr(0, equals), setting.id) ||
        !parseWhole(text.substr(equals + 1), setting.value) || !std::isfinite(setting.value))
        throw UsageError("malformed --set '" + text + "': expected ID=VALUE with a whole ID and a number");
    return setting;
}

UInt32 parseSlice(const std::string& text)
{
    UInt32 frames = 0;
    if (!parseWhole(text, frames) || frames == 0)
        throw UsageError("invalid value '" + text + "' for --slice: expected a whole number above 0");
    return frames;
}

double parseSeconds(const std::string& text)
{
    double seconds = 0.0;
    if (!parseWhole(text, seconds) || !std::isfinite(seconds) || seconds < 0.0)
        throw UsageError("invalid SECONDS '" + text + "': expected a number of 0 or more");
    return seconds;
}

struct CommandLine
{
    std::vector<std::string> operands;  // COMMAND BUNDLE ARGUMENTS...
    RenderOptions render;
    bool renderOptionGiven = false;
    cli::CommonOptions common;
};

// Options may stand anywhere, as --name VALUE or --name=VALUE.
CommandLine parseCommandLine(int argc, char** argv)
{
    CommandLine line;
    for (int position = 1; position < argc; ++position)
    {
        std::string argument = argv[position];
        if (line.common.take(argument))
            continue;
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0)
        {
            line.operands.push_back(argument);
            continue;
        }
        line.renderOptionGiven = true;
        if (argument == "--chain")
        {
            line.render.chain = true;
            continue;
        }
        std::string value;
        if (const auto equals = argument.find('='); equals != std::string::npos)
        {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        }
        else if (position + 1 < argc)
        {
            value = argv[++position];
        }
        else
        {
            throw UsageError("missing value for " + argument);
        }
        if (argument == "--set")
            line.render.parameters.push_back(parseSetting(value));
        else if (argument == "--slice")
            line.render.sliceFrames = parseSlice(value);
        else
            throw UsageError("unknown option '" + argument + "'");
    }
    return line;
}

size_t operandCount(const std::string& command)
{
    if (command == "list")
        return 2;
    if (command == "idle" || command == "view")
        return 3;
    return command == "render" ? 4 : 0;
}

void run(const CommandLine& line)
{
    const std::vector<std::string>& operands = line.operands;
    if (operands.empty() || operandCount(operands[0]) != operands.size())
        throw UsageError("");
    if (line.renderOptionGiven && operands[0] != "render")
        throw UsageError("options are for render only");
    if (operands[0] == "list")
        listBundle(operands[1]);
    else if (operands[0] == "idle")
        idleBundle(operands[1], parseSeconds(operands[2]));
    else if (operands[0] == "view")
        viewBundle(operands[1], parseSeconds(operands[2]));
    else
        renderFile(operands[1], operands[2], operands[3], line.render);
}
}  // namespace

int main(int argc, char** argv)
{
    try
    {
        const CommandLine line = parseCommandLine(argc, argv);
        if (line.common.answered("velmora-auhost", kUsage))
            return 0;
        // Gone before a failure is reported below.
        const cli::ComponentTrace trace(line.common.trace);
        run(line);
        return 0;
    }
    catch (const UsageError& failure)
    {
        if (*failure.what())
            std::fprintf(stderr, "velmora-auhost: %s\n", failure.what());
        else
            std::fputs(kUsage, stderr);
        return 2;
    }
    catch (const std::exception& failure)
    {
        std::fprintf(stderr, "velmora-auhost: %s\n", failure.what());
        return 1;
    }
}
