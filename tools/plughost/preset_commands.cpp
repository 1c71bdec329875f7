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
[[noreturn]] void throwFileError(const char* what, const char* path)
{
    throw std::runtime_error(std::string(what) + " " + path + ": " + std::strerror(errno));
}

std::vector<unsigned char> readFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        throwFileError("Cannot read", path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

using PresetCreator = unsigned char* (VSTPlugIn::*)(unsigned long&);

void savePreset(VSTPlugIn& plugIn, PresetCreator create, const char* path)
{
    unsigned long size = 0;
    const std::unique_ptr<unsigned char[]> bytes((plugIn.*create)(size));
    if (std::string error; !tools::writeWholeFile(path, bytes.get(), size, error))
    {
        throw std::runtime_error(error);
    }
    std::printf("wrote %lu bytes to %s\n", size, path);
}
}  // namespace

void saveProgram(VSTPlugIn& plugIn, const char* path) { savePreset(plugIn, &VSTPlugIn::createFXP, path); }

void saveBank(VSTPlugIn& plugIn, const char* path) { savePreset(plugIn, &VSTPlugIn::createFXB, path); }

void loadPresetFile(VSTPlugIn& plugIn, const char* path)
{
    const std::vector<unsigned char> bytes = readFile(path);
    if (bytes.empty())
    {
        throw std::runtime_error(std::string("Empty file ") + path);
    }
    const bool exact = plugIn.loadFXPOrFXB(bytes.size(), bytes.data());
    std::printf("loaded %s%s\n", path, exact ? "" : " (with adjustments, or the effect refused its chunk)");
}
