#include "vst3/plugin_factory.h"

#include "effect/velmora_identity.h"
#include "effect/velmora_version.h"
#include "vst3/utf16_text.h"
#include "vst3/velmora_controller.h"
#include "vst3/velmora_processor.h"
#include "vst3/vst3_identity.h"

#include <cstring>
#include <iterator>
#include <mutex>
#include <new>

namespace velmora::vst3face
{
namespace
{
constexpr vst3::int32 kProcessorIndex = 0;
constexpr vst3::int32 kControllerIndex = 1;
constexpr vst3::int32 kClassCount = kControllerIndex + 1;

std::mutex gFactoryMutex;
PluginFactory* gFactory = nullptr;  // while a host holds it

struct ClassFacts
{
    const vst3::Uid& id;
    const char* category;
    vst3::uint32 flags;
    const char* subCategories;
};

ClassFacts factsOf(vst3::int32 index)
{
    if (index == kProcessorIndex)
        return {kProcessorClassId, kProcessorCategory, vst3::kDistributable, kSubCategories};
    return {kControllerClassId, kControllerCategory, 0, ""};
}

bool isClassIndex(vst3::int32 index) { return index >= 0 && index < kClassCount; }

template <class Info>
void fillCommon(vst3::int32 index, Info& info)
{
    const ClassFacts facts = factsOf(index);
    std::memcpy(info.cid, facts.id.bytes, sizeof info.cid);
    info.cardinality = vst3::kManyInstances;
    copyField(facts.category, info.category, sizeof info.category);
}
}  // namespace

vst3::IPluginFactory3* PluginFactory::acquire() noexcept
{
    const std::lock_guard<std::mutex> lock(gFactoryMutex);
    if (gFactory)
    {
        gFactory->addRef();
        return gFactory;
    }
    gFactory = new (std::nothrow) PluginFactory;
    return gFactory;
}

PluginFactory::~PluginFactory()
{
    const std::lock_guard<std::mutex> lock(gFactoryMutex);
    gFactory = nullptr;
}

vst3::tresult PluginFactory::queryInterface(const vst3::TUID interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    if (answerAs<vst3::FUnknown>(this, interfaceId, object) ||
        answerAs<vst3::IPluginFactory>(this, interfaceId, object) ||
        answerAs<vst3::IPluginFactory2>(this, interfaceId, object) ||
        answerAs<vst3::IPluginFactory3>(this, interfaceId, object))
        return vst3::kResultOk;
    return noInterface(object);
}

vst3::tresult PluginFactory::getFactoryInfo(vst3::PFactoryInfo* info)
{
    if (!info)
        return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    copyField(kVendorString, info->vendor, sizeof info->vendor);
    info->flags = vst3::PFactoryInfo::kUnicode;
    return vst3::kResultOk;
}

vst3::int32 PluginFactory::countClasses() { return kClassCount; }

vst3::tresult PluginFactory::getClassInfo(vst3::int32 index, vst3::PClassInfo* info)
{
    if (!info || !isClassIndex(index))
        return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(index, *info);
    copyField(kEffectName, info->name, sizeof info->name);
    return vst3::kResultOk;
}

vst3::tresult PluginFactory::getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info)
{
    if (!info || !isClassIndex(index))
        return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(index, *info);
    const ClassFacts facts = factsOf(index);
    copyField(kEffectName, info->name, sizeof info->name);
    info->classFlags = facts.flags;
    copyField(facts.subCategories, info->subCategories, sizeof info->subCategories);
    copyField(kVendorString, info->vendor, sizeof info->vendor);
    copyField(kVersionString, info->version, sizeof info->version);
    copyField(kInterfaceVersion, info->sdkVersion, sizeof info->sdkVersion);
    return vst3::kResultOk;
}

vst3::tresult PluginFactory::getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info)
{
    if (!info || !isClassIndex(index))
        return vst3::kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    fillCommon(index, *info);
    const ClassFacts facts = factsOf(index);
    copyUtf16(kEffectName, info->name, std::size(info->name));
    info->classFlags = facts.flags;
    copyField(facts.subCategories, info->subCategories, sizeof info->subCategories);
    copyUtf16(kVendorString, info->vendor, std::size(info->vendor));
    copyUtf16(kVersionString, info->version, std::size(info->version));
    copyUtf16(kInterfaceVersion, info->sdkVersion, std::size(info->sdkVersion));
    return vst3::kResultOk;
}

vst3::tresult PluginFactory::createInstance(vst3::FIDString classId, vst3::FIDString interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    *object = nullptr;
    vst3::FUnknown* made = nullptr;
    try
    {
        if (kProcessorClassId.is(classId))
            made = static_cast<vst3::IComponent*>(new VelmoraProcessor);
        else if (kControllerClassId.is(classId))
            made = static_cast<vst3::IEditController*>(new VelmoraController);
        else
            return vst3::kNoInterface;
    }
    catch (const std::bad_alloc&)
    {
        return vst3::kOutOfMemory;
    }
    const vst3::tresult result = made->queryInterface(interfaceId, object);
    made->release();
    return result;
}

// The view takes its run loop from its frame; nothing here needs the host's context.
vst3::tresult PluginFactory::setHostContext(vst3::FUnknown*) { return vst3::kResultOk; }
}  // namespace velmora::vst3face
