// velmora-plughost: a small VST 2 host on VSTPlugIn for looking at an effect,
// saving and loading its programs and banks, and rendering a sound file.

#include "cli/common_options.h"
#include "cli/component_trace.h"
#include "plughost/plug_host.h"
#include "plughost/plug_settings.h"
#include "plughost/plughost_commands.h"
#include "plughost/plugin_loading.h"

#include <sndfile.h>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
constexpr float kDefaultSampleRate = 44100.0f;
constexpr int kBlockSize = 512;

constexpr char kUsage[] = "Usage: velmora-plughost PLUGIN COMMAND [ARGUMENTS] [OPTIONS]\n"
                          "\n"
                          "Hosts a VST 2 effect as a Linux host does: lists it, saves and loads its\n"
                          "programs and banks, renders a sound file through it.\n"
                          "PLUGIN is a bundle folder (Velmora.vst) or a plug-in .so file.\n"
                          "\n"
                          "Commands:\n"
                          "  list               name, vendor, version, parameters and programs\n"
                          "  save-fxp FILE      write the current program\n"
                          "  save-fxb FILE      write all programs\n"
                          "  load FILE          load a program or bank file, then list\n"
                          "  render IN OUT      process a sound file\n"
                          "\n"
                          "Options, applied after opening (and after load's FILE), before the command:\n"
                          "  --program N        select program N (0 is the first)\n"
                          "  --set INDEX=VALUE  set parameter INDEX to VALUE, normalised 0..1; repeatable,\n"
                          "                     applied in order after --program\n"
                          "  --trace            show the trace lines the hosting layer writes to standard\n"
                          "                     error (hidden by default)\n"
                          "  -h, --help         show this text\n"
                          "  --version          show the version\n";

int argumentCount(const std::string& command)
{
    if (command == "list")
    {
        return 0;
    }
    if (command == "save-fxp" || command == "save-fxb" || command == "load")
    {
        return 1;
    }
    if (command == "render")
    {
        return 2;
    }
    return -1;
}

struct CommandLine
{
    std::vector<const char*> operands;  // PLUGIN COMMAND ARGUMENTS...
    PlugSettings settings;
    cli::CommonOptions common;
};

// Options may stand anywhere, as --name VALUE or --name=VALUE; after "--"
// everything is an operand.
CommandLine parseCommandLine(int argc, char** argv)
{
    CommandLine line;
    bool onlyOperands = false;
    for (int position = 1; position < argc; ++position)
    {
        std::string argument = argv[position];
        if (onlyOperands || argument.size() < 2 || argument[0] != '-')
        {
            line.operands.push_back(argv[position]);
            continue;
        }
        if (argument == "--")
        {
            onlyOperands = true;
            continue;
        }
        if (line.common.take(argument))
            continue;
        std::string value;
        if (const auto equals = argument.find('='); equals != std::string::npos)
        {
            value = argument.substr(equals + 1);
            argument.resize(equals);
        }
        else if (argument == "--set" || argument == "--program")
        {
            if (position + 1 >= argc)
            {
                throw UsageError("missing value for " + argument);
            }
            value = argv[++position];
        }
        if (argument == "--set")
        {
            line.settings.parameters.push_back(parseSetOption(value));
        }
        else if (argument == "--program")
        {
            line.settings.program = parseProgramOption(value);
        }
        else
        {
            throw UsageError("unknown option '" + std::string(argv[position]) + "'");
        }
    }
    return line;
}

// The effect runs at the rate of the file it renders.
float sampleRateOf(const char* soundFilePath)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(soundFilePath, SFM_READ, &info);
    if (file == nullptr)
    {
        throw std::runtime_error(std::string("Cannot open ") + soundFilePath + ": " + sf_strerror(nullptr));
    }
    sf_close(file);
    return static_cast<float>(info.samplerate);
}

void run(const char* plugInPath, const std::string& command, const char* const* arguments, const PlugSettings& settings)
{
    const float sampleRate = command == "render" ? sampleRateOf(arguments[0]) : kDefaultSampleRate;
    PlugHost host(sampleRate);
    const auto plugIn = openPlugIn(plugInPath, host, sampleRate, kBlockSize);
    checkSettings(*plugIn, settings);
    if (command == "load")
    {
        loadPresetFile(*plugIn, arguments[0]);
    }
    applySettings(*plugIn, settings);
    if (command == "list" || command == "load")
    {
        listPlugIn(*plugIn);
    }
    else if (command == "save-fxp")
    {
        saveProgram(*plugIn, arguments[0]);
    }
    else if (command == "save-fxb")
    {
        saveBank(*plugIn, arguments[0]);
    }
    else
    {
        renderFile(*plugIn, host, arguments[0], arguments[1]);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    try
    {
        const CommandLine line = parseCommandLine(argc, argv);
        if (line.common.answered("velmora-plughost", kUsage))
            return 0;
        const std::vector<const char*>& operands = line.operands;
        if (operands.size() < 2 || argumentCount(operands[1]) != static_cast<int>(operands.size()) - 2)
        {
            std::fputs(kUsage, stderr);
            return 2;
        }
        // Gone before a failure is reported below.
        const cli::ComponentTrace trace(line.common.trace);
        run(operands[0], operands[1], operands.data() + 2, line.settings);
        return 0;
    }
    catch (const UsageError& failure)
    {
        std::fprintf(stderr, "velmora-plughost: %s\n", failure.what());
        return 2;
    }
    catch (const std::exception& failure)
    {
        std::fprintf(stderr, "velmora-plughost: %s\n", failure.what());
        return 1;
    }
}
