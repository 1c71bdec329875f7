#include "vst3/host_links.h"

#include "vst3/com_object.h"

namespace velmora::vst3face
{
vst3::tresult HostLinks::takeContext(vst3::FUnknown* context)
{
    if (hostContext)
        return vst3::kResultFalse;
    holdReference(hostContext, context);
    return vst3::kResultOk;
}

vst3::tresult HostLinks::connect(vst3::IConnectionPoint* partner)
{
    if (!partner || other)
        return vst3::kResultFalse;
    holdReference(other, partner);
    return vst3::kResultOk;
}

vst3::tresult HostLinks::disconnect(vst3::IConnectionPoint* partner)
{
    if (!partner || partner != other)
        return vst3::kResultFalse;
    holdReference(other, nullptr);
    return vst3::kResultOk;
}

void HostLinks::dropAll()
{
    holdReference(other, nullptr);
    holdReference(hostContext, nullptr);
}
}  // namespace velmora::vst3face
