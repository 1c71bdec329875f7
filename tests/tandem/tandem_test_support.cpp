#include "tandem_test_support.h"

#include "plughost/plugin_loading.h"

#include <gtest/gtest.h>

FakeEffectControl& resetTestEffect()
{
    FakeEffectControl& control = resetFakeEffect(FAKE_EFFECT);
    control.numParams = 3;
    control.numPrograms = 8;
    control.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    control.describeParameters = true;
    return control;
}

std::unique_ptr<VSTPlugIn> openForTest(const std::string& path, PlugHost& host)
{
    try
    {
        return openPlugIn(path.c_str(), host, kTestSampleRate, kTestBlockSize);
    }
    catch (const std::exception& failure)
    {
        ADD_FAILURE() << "cannot open " << path << ": " << failure.what();
        return nullptr;
    }
}

static std::vector<unsigned char> created(VSTPlugIn& plugIn, unsigned char* (VSTPlugIn::*create)(unsigned long&))
{
    unsigned long size = 0;
    const std::unique_ptr<unsigned char[]> bytes((plugIn.*create)(size));
    return {bytes.get(), bytes.get() + size};
}

std::vector<unsigned char> createFXP(VSTPlugIn& plugIn) { return created(plugIn, &VSTPlugIn::createFXP); }
std::vector<unsigned char> createFXB(VSTPlugIn& plugIn) { return created(plugIn, &VSTPlugIn::createFXB); }
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

void resizeData(std::vector<unsigned char>& bytes, std::size_t size)
{
    bytes.resize(size);
    setFieldAt(bytes, 4, static_cast<int>(size) - 8);
}
