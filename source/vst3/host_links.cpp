#include "vst3/host_links.h"

namespace velmora::vst3face
{
vst3::tresult HostLinks::takeContext(vst3::FUnknown* context)
{
    if (hostContext)
        return vst3::kResultFalse;
    hostContext = context;
    if (hostContext)
        hostContext->addRef();
    return vst3::kResultOk;
}

vst3::tresult HostLinks::connect(vst3::IConnectionPoint* partner)
{
    if (!partner || other)
        return vst3::kResultFalse;
    other = partner;
    other->addRef();
    return vst3::kResultOk;
}

vst3::tresult HostLinks::disconnect(vst3::IConnectionPoint* partner)
{
    if (!partner || partner != other)
        return vst3::kResultFalse;
    other->release();
    other = nullptr;
    return vst3::kResultOk;
}

void HostLinks::dropAll()
{
    disconnect(other);
    if (hostContext)
        hostContext->release();
    hostContext = nullptr;
}
}  // namespace velmora::vst3face
