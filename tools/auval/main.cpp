// velmora-auval: opens one Audio Unit of a bundle (the one given, else the one
// the other tools find) as a Mac host does and runs it through the checks a
// host relies on, printing a table of them and a verdict. Exit code 0 when
// every check passes, 1 when one fails or the bundle or component cannot be
// found, 2 for a malformed command line.

#include "auval/auval_checks.h"

#include "auhost/component_bundle.h"
#include "common/bundle_search.h"
#include "common/command_line.h"

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace
{
constexpr char kUsage[] = "Usage: velmora-auval [BUNDLE] [--type T --subtype S --manufacturer M]\n"
                          "\n"
                          "Opens an Audio Unit of BUNDLE as a Mac host does and puts it through the checks\n"
                          "hosts rely on: formats, properties, parameters, presets, rendering, lifecycle.\n"
                          "Prints one row per check and a verdict; exits with 1 when a check fails.\n"
                          "Without BUNDLE it checks the first Velmora.vst found in the build tree of this\n"
                          "tool, the folders in $VST_PATH, ~/.vst, /usr/local/lib/vst, /usr/lib/vst, in\n"
                          "that order, as the other tools do.\n"
                          "\n"
                          "Options:\n"
                          "  --type T, --subtype S, --manufacturer M\n"
                          "                  the four-character codes of the unit to check (default: the\n"
                          "                  bundle's first effect)\n"
                          "  --trace         show the trace lines the component writes to standard error\n"
                          "                  (hidden by default)\n"
                          "  -h, --help      show this text\n"
                          "  --version       show the version\n";

struct UnitRequest
{
    std::string bundle;
    ComponentDescription looking{};  // zero fields match any component
};

OSType parseCode(std::string_view option, const std::string& text)
{
    if (text.size() != 4)
        throw tools::UsageError("invalid " + std::string(option) + " '" + text + "': expected four characters");
    OSType code = 0;
    for (const char character : text)
        code = code << 8 | static_cast<UInt8>(character);
    return code;
}

// Without a type, the bundle's first effect is meant when it has one.
auhost::ComponentEntry findComponent(const UnitRequest& line)
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

int run(const UnitRequest& line)
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
    tools::CommandLine options;
    UnitRequest line;
    for (const auto& codeOption : {std::pair{"--type", &ComponentDescription::componentType},
                                   std::pair{"--subtype", &ComponentDescription::componentSubType},
                                   std::pair{"--manufacturer", &ComponentDescription::componentManufacturer}})
        options.option({codeOption.first}, [&line, codeOption](const std::string& value) {
            line.looking.*codeOption.second = parseCode(codeOption.first, value);
        });
    return tools::runTool("velmora-auval", kUsage, options, argc, argv, [&](const std::vector<std::string>& operands) {
        if (operands.size() > 1)
            throw tools::UsageError("more than one bundle");
        line.bundle = tools::givenOrFoundBundle(operands.empty() ? std::string() : operands.front(), "give BUNDLE");
        return run(line);
    });
}
