// velmora-plughost: a small VST 2 host on VSTPlugIn for looking at an effect,
// saving and loading its programs and banks, and rendering a sound file.

#include "common/command_line.h"
#include "common/parameter_setting.h"
#include "plughost/plug_host.h"
#include "plughost/plug_settings.h"
#include "plughost/plughost_commands.h"
#include "plughost/plugin_loading.h"

#include <sndfile.h>

#include <climits>
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
        return 0;
    if (command == "save-fxp" || command == "save-fxb" || command == "load")
        return 1;
    return command == "render" ? 2 : -1;
}

// The effect runs at the rate of the file it renders.
float sampleRateOf(const std::string& soundFilePath)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(soundFilePath.c_str(), SFM_READ, &info);
    if (file == nullptr)
    {
        throw std::runtime_error("Cannot open " + soundFilePath + ": " + sf_strerror(nullptr));
    }
    sf_close(file);
    return static_cast<float>(info.samplerate);
}

void run(const std::string& plugInPath, const std::string& command, const std::vector<std::string>& arguments,
         const PlugSettings& settings)
{
    const float sampleRate = command == "render" ? sampleRateOf(arguments[0]) : kDefaultSampleRate;
    PlugHost host(sampleRate);
    const auto plugIn = openPlugIn(plugInPath.c_str(), host, sampleRate, kBlockSize);
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
    tools::CommandLine line;
    PlugSettings settings;
    line.option({"--program"}, [&](const std::string& value) {
        settings.program = tools::wholeNumberOption("--program", value, 0, INT_MAX);
    });
    line.option({"--set"}, [&](const std::string& value) {
        settings.parameters.push_back(tools::parseParameterSetting(value, "INDEX", true));
    });
    return tools::runTool("velmora-plughost", kUsage, line, argc, argv, [&](const std::vector<std::string>& operands) {
        if (operands.size() < 2 || argumentCount(operands[1]) != static_cast<int>(operands.size()) - 2)
            throw tools::UsageError("");
        run(operands[0], operands[1], {operands.begin() + 2, operands.end()}, settings);
        return 0;
    });
}
