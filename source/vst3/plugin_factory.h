#pragma once
// The factory a VST3 host gets from GetPluginFactory: two classes, the
// processor and its controller, both named "Velmora".
//
// Threads: any; a host may load the module, and so ask for the factory,
// more than once.

#include "vst3/abi/base.h"
#include "vst3/com_object.h"

namespace velmora::vst3face
{
class PluginFactory final : public ComObject<vst3::IPluginFactory3>
{
public:
    // The one factory of the process, with a reference for the caller; null
    // when there is no memory for it.
    static vst3::IPluginFactory3* acquire() noexcept;

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override;

    vst3::tresult getFactoryInfo(vst3::PFactoryInfo* info) override;
    vst3::int32 countClasses() override;
    vst3::tresult getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override;
    vst3::tresult createInstance(vst3::FIDString classId, vst3::FIDString interfaceId, void** object) override;
    vst3::tresult getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override;
    vst3::tresult getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override;
    vst3::tresult setHostContext(vst3::FUnknown* context) override;

private:
    PluginFactory() = default;
    ~PluginFactory() override;
};
}  // namespace velmora::vst3face
