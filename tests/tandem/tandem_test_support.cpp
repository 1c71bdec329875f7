#include "tandem_test_support.h"

#include "plughost/plugin_loading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

TestEffectControl& resetTestEffect(const char* path)
{
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr)
    {
        ADD_FAILURE() << "cannot load the test effect: " << dlerror();
        std::abort();
    }
    auto control = reinterpret_cast<TestEffectControlProc>(dlsym(library, "tandemTestEffectControl"));
    TestEffectControl& block = *control();
    block = defaultTestEffectControl();
    return block;
}

std::unique_ptr<VSTPlugIn> openForTest(const std::string& path, PlugHost& host, float sampleRate)
{
    try
    {
        return openPlugIn(path.c_str(), host, sampleRate, kTestBlockSize);
    }
    catch (const std::exception& failure)
    {
        ADD_FAILURE() << "cannot open " << path << ": " << failure.what();
        return nullptr;
    }
}

std::string velmoraBundlePath()
{
    const char* path = std::getenv("VELMORA_BUNDLE");
    return path != nullptr ? path : "";
}

std::string installedPlugIn(const char* path)
{
    return std::filesystem::exists(path) ? path : "";
}

std::vector<unsigned char> takeBytes(unsigned char* bytes, unsigned long size)
{
    std::vector<unsigned char> copy(bytes, bytes + size);
    delete[] bytes;
    return copy;
}

std::vector<unsigned char> createFXP(VSTPlugIn& plugIn)
{
    unsigned long size = 0;
    unsigned char* bytes = plugIn.createFXP(size);
    return takeBytes(bytes, size);
}

std::vector<unsigned char> createFXB(VSTPlugIn& plugIn)
{
    unsigned long size = 0;
    unsigned char* bytes = plugIn.createFXB(size);
    return takeBytes(bytes, size);
}

bool load(VSTPlugIn& plugIn, const std::vector<unsigned char>& bytes)
{
    return plugIn.loadFXPOrFXB(bytes.size(), bytes.data());
}

int fieldAt(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    int value = 0;
    VSTPlugIn::readBigInt32(bytes.data() + offset, bytes.data() + bytes.size(), &value);
    return value;
}

void setFieldAt(std::vector<unsigned char>& bytes, std::size_t offset, int value)
{
    VSTPlugIn::writeBigInt32(bytes.data() + offset, value);
}
