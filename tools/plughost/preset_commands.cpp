#include "plughost/plughost_commands.h"

#include "common/replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
std::vector<unsigned char> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        throw std::runtime_error("Cannot read " + path + ": " + std::strerror(errno));
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

using PresetCreator = unsigned char* (VSTPlugIn::*)(unsigned long&);

void savePreset(VSTPlugIn& plugIn, PresetCreator create, const std::string& path)
{
    unsigned long size = 0;
    const std::unique_ptr<unsigned char[]> bytes((plugIn.*create)(size));
    if (std::string error; !tools::writeWholeFile(path, bytes.get(), size, error))
    {
        throw std::runtime_error(error);
    }
    std::printf("wrote %lu bytes to %s\n", size, path.c_str());
}
}  // namespace

void saveProgram(VSTPlugIn& plugIn, const std::string& path) { savePreset(plugIn, &VSTPlugIn::createFXP, path); }

void saveBank(VSTPlugIn& plugIn, const std::string& path) { savePreset(plugIn, &VSTPlugIn::createFXB, path); }

void loadPresetFile(VSTPlugIn& plugIn, const std::string& path)
{
    const std::vector<unsigned char> bytes = readFile(path);
    if (bytes.empty())
    {
        throw std::runtime_error("Empty file " + path);
    }
    const bool exact = plugIn.loadFXPOrFXB(bytes.size(), bytes.data());
    std::printf("loaded %s%s\n", path.c_str(), exact ? "" : " (with adjustments, or the effect refused its chunk)");
}
