#include "plughost/plughost_commands.h"

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

void writeFile(const char* path, const unsigned char* bytes, unsigned long size)
{
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
    {
        throwFileError("Cannot write", path);
    }
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
    {
        throwFileError("Cannot write", path);
    }
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
    writeFile(path, bytes.get(), size);
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
