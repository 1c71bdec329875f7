// Writes the LV2 bundle's data files (manifest.ttl, velmora.ttl and
// presets.ttl) into the folder given, from the same identity and parameter
// table as the VST face, so the two faces never disagree on a range, a
// default or a name.
//
//   velmora-lv2-turtle FOLDER PLUGIN_BINARY UI_BINARY   (binaries relative to FOLDER)

#include "common/replacing_file.h"
#include "effect/program_bank.h"
#include "effect/velmora_version.h"
#include "lv2/lv2_identity.h"

#include <cstdio>
#include <sstream>
#include <string>

namespace
{
using namespace velmora;
using namespace velmora::lv2;

constexpr char kPrefixes[] = R"(@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix opts: <http://lv2plug.in/ns/ext/options#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

// A decimal literal that reads back as the same float.
std::string decimal(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string literal = text;
    if (literal.find_first_of(".e") == std::string::npos)
        literal += ".0";
    return literal;
}

std::string presetUri(int program) { return std::string(kPluginUri) + "#preset" + std::to_string(program + 1); }

// The name a fresh program shows in the VST face: "Init 1" .. "Init 8".
std::string presetLabel(int program)
{
    return std::string(VelmoraPrg::kInitialName) + " " + std::to_string(program + 1);
}

std::string manifest(const std::string& pluginBinary, const std::string& uiBinary)
{
    std::ostringstream text;
    text << kPrefixes;
    text << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << pluginBinary
         << "> ;\n    rdfs:seeAlso <velmora.ttl> .\n\n";
    text << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << uiBinary
         << "> ;\n    rdfs:seeAlso <velmora.ttl> .\n";
    for (int program = 0; program < kNumPrograms; ++program)
        text << "\n<" << presetUri(program) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
             << "> ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return text.str();
}

std::string controlPort(const ParameterInfo& parameter)
{
    std::ostringstream text;
    text << "    [\n        a lv2:InputPort, lv2:ControlPort ;\n        lv2:index " << parameter.index
         << " ;\n        lv2:symbol \"" << parameter.symbol << "\" ;\n        lv2:name \"" << parameter.name
         << "\" ;\n        lv2:default " << decimal(parameter.defaultValue)
         << " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n";
    // The VST face's values run from 0 to 1 whatever they show; so do the ports.
    // Hosts take on/off as their own bypass switch: with the width's fade it
    // bypasses without a click.
    if (parameter.display == DisplayRule::onOff)
        text << "        lv2:designation lv2:enabled ;\n        lv2:portProperty lv2:toggled, lv2:integer\n";
    else
        text << "        units:unit units:coef\n";
    text << "    ]";
    return text.str();
}

std::string audioPort(Port port, bool input, const char* symbol, const char* name)
{
    std::ostringstream text;
    text << "    [\n        a lv2:" << (input ? "InputPort" : "OutputPort") << ", lv2:AudioPort ;\n        lv2:index "
         << static_cast<std::uint32_t>(port) << " ;\n        lv2:symbol \"" << symbol << "\" ;\n        lv2:name \""
         << name << "\"\n    ]";
    return text.str();
}

std::string plugin()
{
    std::ostringstream text;
    text << kPrefixes;
    // A doap:Project as well, which is what a maintainer belongs to.
    text << "<" << kPluginUri << ">\n    a lv2:Plugin, lv2:SpatialPlugin, doap:Project ;\n    doap:name \""
         << kEffectName << "\" ;\n    doap:maintainer [ foaf:name \"" << kVendorString
         << "\" ] ;\n"
         // Hosts refresh what they cached of a plug-in when these change.
         << "    lv2:minorVersion " << kVersionMinor << " ;\n    lv2:microVersion " << kVersionPatch << " ;\n"
         << "    lv2:optionalFeature lv2:hardRTCapable, urid:map ;\n"
         << "    lv2:extensionData state:interface ;\n"
         << "    ui:ui <" << kUiUri << "> ;\n    lv2:port\n";
    for (const ParameterInfo& parameter : kParameters)
        text << controlPort(parameter) << ",\n";
    text << audioPort(kInLeft, true, "in_left", "Left in") << ",\n"
         << audioPort(kInRight, true, "in_right", "Right in") << ",\n"
         << audioPort(kOutLeft, false, "out_left", "Left out") << ",\n"
         << audioPort(kOutRight, false, "out_right", "Right out") << " .\n\n";
    text << "<" << kUiUri << ">\n    a ui:X11UI ;\n"
         << "    lv2:requiredFeature ui:parent ;\n"
         << "    lv2:optionalFeature ui:resize, ui:touch, ui:idleInterface, ui:noUserResize, opts:options, "
            "urid:map ;\n"
         << "    opts:supportedOption ui:scaleFactor ;\n"
         << "    lv2:extensionData ui:idleInterface .\n";
    return text.str();
}

std::string presets()
{
    const VelmoraPrg fresh;
    std::ostringstream text;
    text << kPrefixes;
    for (int program = 0; program < kNumPrograms; ++program)
    {
        text << "<" << presetUri(program) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
             << "> ;\n    rdfs:label \"" << presetLabel(program) << "\" ;\n    lv2:port";
        const char* separator = "\n";
        for (const ParameterInfo& parameter : kParameters)
        {
            text << separator << "        [ lv2:symbol \"" << parameter.symbol << "\" ; pset:value "
                 << decimal(programValue(fresh, parameter.index).load()) << " ]";
            separator = ",\n";
        }
        text << " .\n\n";
    }
    return text.str();
}

bool write(const std::string& path, const std::string& text)
{
    std::string error;
    if (tools::writeWholeFile(path, text.data(), text.size(), error))
        return true;
    std::fprintf(stderr, "velmora-lv2-turtle: %s\n", error.c_str());
    return false;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: velmora-lv2-turtle FOLDER PLUGIN_BINARY UI_BINARY\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool written = write(folder + "manifest.ttl", manifest(argv[2], argv[3])) &&
                         write(folder + "velmora.ttl", plugin()) && write(folder + "presets.ttl", presets());
    return written ? 0 : 1;
}
