// The one component resource a registered component has: its 'thng' record,
// made from what registration read out of Info.plist.
#include "platform/component_manager.h"

#include <CoreServices/MacMemory.h>

extern "C" {

OSErr GetComponentResource(Component aComponent, OSType resType, SInt16 resID, Handle* theResource)
{
    if (!theResource)
        return paramErr;
    *theResource = nullptr;
    const velmora::components::RegisteredComponent* component = velmora::components::registeredComponentOrInstance(
        aComponent);
    if (!component)
        return invalidComponentID;
    if (resType != kComponentResourceType || resID != kComponentResourceID)
        return resNotFound;
    Handle resource = NewHandle(sizeof(ExtComponentResource));
    if (!resource)
        return MemError();
    ExtComponentResource record{};
    record.cd = component->description;
    record.componentVersion = component->version;
    std::memcpy(*resource, &record, sizeof record);
    *theResource = resource;
    return noErr;
}

}  // extern "C"
