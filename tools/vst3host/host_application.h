#pragma once
// The context a host hands to the factory and to initialize: its name, and
// the messages and attribute lists the plug-in asks it to make. Counts what
// it made that the plug-in has not released yet.

#include "vst3host/host_object.h"

#include "vst3/abi/editing.h"

#include <atomic>
#include <memory>
#include <string>

namespace vst3host
{
class HostApplication : public HostObject<vst3::IHostApplication>
{
public:
    explicit HostApplication(std::string name = "Velmora VST3 test host") : name(std::move(name)) {}

    vst3::tresult getName(vst3::String128 text) override;
    // A Message or an AttributeList, when both identifiers name the same one
    // of the two; kNoInterface otherwise.
    vst3::tresult createInstance(vst3::TUID classId, vst3::TUID interfaceId, void** object) override;

    // Made by createInstance and not yet destroyed.
    int objectsAlive() const { return alive->load(); }

private:
    std::string name;
    std::shared_ptr<std::atomic<int>> alive = std::make_shared<std::atomic<int>>(0);
};
}  // namespace vst3host
