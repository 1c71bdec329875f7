// velmora-plughost: a small VST 2 host on VSTPlugIn for looking at an effect,
// saving and loading its programs and banks, and rendering a sound file.

#include "plughost/plug_host.h"
#include "plughost/plugin_loading.h"
#include "plughost/plughost_commands.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

namespace
{
constexpr float kDefaultSampleRate = 44100.0f;
constexpr int kBlockSize = 512;

void printUsage()
{
    std::fprintf(stderr,
                 "usage: velmora-plughost PLUGIN COMMAND [ARGUMENTS]\n"
                 "  PLUGIN is a bundle folder (Velmora.vst) or a plug-in .so file\n"
                 "commands:\n"
                 "  list               name, vendor, version, parameters and programs\n"
                 "  save-fxp FILE      write the current program\n"
                 "  save-fxb FILE      write all programs\n"
                 "  load FILE          load a program or bank file, then list\n"
                 "  render IN OUT      process a sound file\n");
}

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

void run(const char* plugInPath, const std::string& command, char** arguments)
{
    const float sampleRate = command == "render" ? sampleRateOf(arguments[0]) : kDefaultSampleRate;
    PlugHost host(sampleRate);
    const auto plugIn = openPlugIn(plugInPath, host, sampleRate, kBlockSize);
    if (command == "list")
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
    else if (command == "load")
    {
        loadPresetFile(*plugIn, arguments[0]);
    }
    else
    {
        renderFile(*plugIn, host, arguments[0], arguments[1]);
    }
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argumentCount(argv[2]) != argc - 3)
    {
        printUsage();
        return 2;
    }
    try
    {
        run(argv[1], argv[2], argv + 3);
        return 0;
    }
    catch (const std::exception& failure)
    {
        std::fprintf(stderr, "velmora-plughost: %s\n", failure.what());
        return 1;
    }
}
