#pragma once
// What each half of the effect holds of its host: the context initialize
// hands over, and the other half (or the host's proxy for it) connect hands
// over, each with a reference until terminate or disconnect gives it back.
//
// Threads: the host's interface thread.

#include "vst3/abi/editing.h"

namespace velmora::vst3face
{
class HostLinks
{
public:
    HostLinks() = default;
    HostLinks(const HostLinks&) = delete;
    HostLinks& operator=(const HostLinks&) = delete;
    ~HostLinks() { dropAll(); }

    // kResultFalse when a context is held already.
    vst3::tresult takeContext(vst3::FUnknown* context);
    // kResultFalse for no partner, or when one is connected already.
    vst3::tresult connect(vst3::IConnectionPoint* other);
    // kResultFalse for anything but the partner connected.
    vst3::tresult disconnect(vst3::IConnectionPoint* other);
    // What terminate gives back: the partner and the context.
    void dropAll();

    vst3::FUnknown* context() const { return hostContext; }
    vst3::IConnectionPoint* partner() const { return other; }

private:
    vst3::FUnknown* hostContext = nullptr;
    vst3::IConnectionPoint* other = nullptr;
};
}  // namespace velmora::vst3face
