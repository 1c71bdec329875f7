// velmora-auval: opens one Audio Unit of a bundle as a Mac host does and
// runs it through the checks a host relies on, printing a table of them and
// a verdict. Exit code 0 when every check passes, 1 when one fails or the
// component cannot be found, 2 for a malformed command line.

#include "auval/auval_checks.h"

#include "auhost/component_bundle.h"
#include "cli/common_options.h"
#include "cli/component_trace.h"

#include <cstdio>
#include <exception>
#include <string>

namespace
{
constexpr char kUsage[] = "Usage: velmora-auval BUNDLE [--type T --subtype S --manufacturer M]\n"
                          "\n"
                          "Opens an Audio Unit of BUNDLE as a Mac host does and puts it through the checks\n"
                          "hosts rely on: formats, properties, parameters, presets, rendering, lifecycle.\n"
                          "Prints one row per check and a verdict; exits with 1 when a check fails.\n"
                          "\n"
                          "Options:\n"
                          "  --type T, --subtype S, --manufacturer M\n"
                          "                  the four-character codes of the unit to check (default: the\n"
                          "                  bundle's first effect)\n"
                          "  --trace         show the trace lines the component writes to standard error\n"
                          "                  (hidden by default)\n"
                          "  -h, --help      show this text\n"
                          "  --version       show the version\n";

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct CommandLine
{
    std::string bundle;
    ComponentDescription looking{};  // zero fields match any component
    cli::CommonOptions common;
};

OSType parseCode(const std::string& option, const std::string& text)
{
    if (text.size() != 4)
        throw UsageError("invalid " + option + " '" + text + "': expected four characters");
    OSType code = 0;
    for (const char character : text)
        code = code << 8 | static_cast<UInt8>(character);
    return code;
}

CommandLine parseCommandLine(int argc, char** argv)
{
    CommandLine line;
    for (int position = 1; position < argc; ++position)
    {
        const std::string argument = argv[position];
        if (line.common.take(argument))
            continue;
        if (!argument.starts_with("--"))
        {
            if (!line.bundle.empty())
                throw UsageError("more than one bundle");
            line.bundle = argument;
            continue;
        }
        if (position + 1 >= argc)
            throw UsageError("missing value for " + argument);
        const std::string value = argv[++position];
        if (argument == "--type")
            line.looking.componentType = parseCode(argument, value);
        else if (argument == "--subtype")
            line.looking.componentSubType = parseCode(argument, value);
        else if (argument == "--manufacturer")
            line.looking.componentManufacturer = parseCode(argument, value);
        else
            throw UsageError("unknown option '" + argument + "'");
    }
    if (line.bundle.empty() && !line.common.help && !line.common.version)
        throw UsageError("");
    return line;
}

// Without a type, the bundle's first effect is meant when it has one.
auhost::ComponentEntry findComponent(const CommandLine& line)
{
    auhost::registerComponentBundle(line.bundle);
    std::vector<auhost::ComponentEntry> found;
    if (line.looking.componentType == 0)
    {
        ComponentDescription effect = line.looking;
        effect.componentType = kAudioUnitType_Effect;
        found = auhost::findComponents(effect);
    }
    if (found.empty())
        found = auhost::findComponents(line.looking);
    if (found.empty())
        throw std::runtime_error("no matching component in " + line.bundle);
    return found.front();
}

using CheckGroup = void (*)(auval::CheckTable&, Component);

int run(const CommandLine& line)
{
    const auhost::ComponentEntry entry = findComponent(line);
    const ComponentDescription& description = entry.description;
    std::printf("velmora-auval: %s %s %s \"%s\"\n\n", auhost::fourCharacterCode(description.componentType).c_str(),
                auhost::fourCharacterCode(description.componentSubType).c_str(),
                auhost::fourCharacterCode(description.componentManufacturer).c_str(), entry.name.c_str());
    std::fflush(stdout);
    constexpr CheckGroup kGroups[] = {auval::checkOpening,    auval::checkFormats,        auval::checkProperties,
                                      auval::checkParameters, auval::checkPresets,        auval::checkRendering,
                                      auval::checkLifecycle,  auval::checkOpenCloseCycles};
    auval::CheckTable table;
    for (const CheckGroup group : kGroups)
    {
        // A group that cannot even open its instance fails as one row.
        try
        {
            group(table, entry.component);
        }
        catch (const std::exception& failure)
        {
            table.record("run", "check group", auval::Outcome::Fail, failure.what());
        }
    }
    table.print(stdout);
    // A leak checker reports at exit, past the point where buffers are flushed.
    std::fflush(stdout);
    return table.count(auval::Outcome::Fail) == 0 ? 0 : 1;
}
}  // namespace

int main(int argc, char** argv)
{
    try
    {
        const CommandLine line = parseCommandLine(argc, argv);
        if (line.common.answered("velmora-auval", kUsage))
            return 0;
        // Gone before a failure is reported below.
        const cli::ComponentTrace trace(line.common.trace);
        return run(line);
    }
    catch (const UsageError& failure)
    {
        if (*failure.what())
            std::fprintf(stderr, "velmora-auval: %s\n", failure.what());
        std::fputs(kUsage, stderr);
        return 2;
    }
    catch (const std::exception& failure)
    {
        std::fprintf(stderr, "velmora-auval: %s\n", failure.what());
        return 1;
    }
}
