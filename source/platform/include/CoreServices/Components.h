// The Component Manager: components registered from bundles, found by
// description, opened into instances and driven through their entry function.
//
// Handles: a Component and a ComponentInstance are numbers, not addresses. An
// instance handle carries a generation, so a closed instance stays invalid
// (badComponentInstance) even when its slot is reused. As on the Mac, calls
// that take a Component also accept an instance and use its component.
//
// Calls into an entry: ComponentRoutine(params, storage), where storage is
// the instance's storage (NULL until SetComponentInstanceStorage) and params
// points at a ComponentParameters record packed as the 64-bit Mac packs it:
//   what       the selector;
//   paramSize  bytes of argument slots (argument count x sizeof(long));
//   params[0]  the instance;
//   params[1…] the call's arguments in the order the C call declares them,
//              one long-sized slot each, every value stored at the start of
//              its slot (on this little-endian machine the low bytes) with
//              the rest zeroed: a Float32 is its four bytes, a pointer is
//              the whole slot.
// An entry reads argument i of type T from the start of params->params[i + 1].
// Open and Close carry the instance again as their one argument (params[1]),
// CanDo the selector asked about (SInt16), Version none.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Files.h>

CF_EXTERN_C_BEGIN

typedef SInt32 ComponentResult;
typedef struct ComponentRecord* Component;
typedef struct ComponentInstanceRecord* ComponentInstance;

enum
{
    invalidComponentID = -3000,
    componentDllLoadErr = -2091,           // the bundle's executable cannot be loaded
    componentDllEntryNotFoundErr = -2092,  // its factory function is missing
};
// 32-bit status values that do not fit an OSErr.
#define badComponentInstance ((ComponentResult)0x80008001)
#define badComponentSelector ((ComponentResult)0x80008002)

enum
{
    kComponentOpenSelect = -1,
    kComponentCloseSelect = -2,
    kComponentCanDoSelect = -3,
    kComponentVersionSelect = -4,
};

typedef struct ComponentDescription
{
    OSType componentType;  // 0 matches any, as do the next two
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;  // the flag bits that must equal componentFlags
} ComponentDescription;

typedef struct ComponentParameters
{
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[1];  // as many slots as paramSize says, plus the instance
} ComponentParameters;

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp, Handle componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

// Registers every entry of the bundle's Info.plist "AudioComponents" array
// (type, subtype and manufacturer as four-character strings, name, an
// optional integer version, factoryFunction), loading the executable and looking each factory function
// up. Registering a bundle again adds nothing. fnfErr when the URL names no
// bundle, resNotFound when it declares no component, paramErr for a malformed
// entry (nothing of that bundle is registered then), componentDllLoadErr and
// componentDllEntryNotFoundErr when the code cannot be reached; the File
// Manager's code when the reference is not usable. Components are always
// registered for the whole process, whatever `global` says.
CF_EXPORT OSErr RegisterComponentFileRef(const FSRef* ref, SInt16 global);

// The registered component after aComponent (NULL: the first) that matches
// looking (NULL matches all), in registration order; NULL when none is left.
CF_EXPORT Component FindNextComponent(Component aComponent, ComponentDescription* looking);
// Description (flags 0), and the name as a Pascal string in Mac Roman and an
// empty information string into whichever handles are given; the icon handle
// is left alone. invalidComponentID for an unknown component.
CF_EXPORT OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName,
                                 Handle componentInfo, Handle componentIcon);

// The component resource ('thng') as a component reads it about itself. A
// registered component has exactly one, with kComponentResourceID; its fields
// are in this machine's byte order (the Mac's resource is big-endian).
enum
{
    kComponentResourceType = 0x74686E67,  // 'thng'
    kComponentResourceID = 10000,
};

typedef struct ResourceSpec
{
    OSType resType;
    SInt16 resID;
} ResourceSpec;

typedef struct ComponentPlatformInfo
{
    SInt32 componentFlags;
    ResourceSpec component;
    SInt16 platformType;
} ComponentPlatformInfo;

// componentVersion is the AudioComponents entry's "version" (0 when the entry
// gives none); the code is reached through the entry's factory function, so
// no resource names it (count 0) and name and information come from
// GetComponentInfo.
typedef struct ExtComponentResource
{
    ComponentDescription cd;
    ResourceSpec component;
    ResourceSpec componentName;
    ResourceSpec componentInfo;
    ResourceSpec componentIcon;
    SInt32 componentVersion;
    SInt32 componentRegisterFlags;
    SInt16 componentIconFamily;
    SInt32 count;
    ComponentPlatformInfo platformArray[1];
} ExtComponentResource;

// A new handle holding the ExtComponentResource; the caller disposes of it.
// resNotFound for any other type or ID, invalidComponentID for an unknown
// component (an instance stands for its component), memFullErr when the
// handle cannot be had.
CF_EXPORT OSErr GetComponentResource(Component aComponent, OSType resType, SInt16 resID, Handle* theResource);

// Sends kComponentOpenSelect; when the entry fails, kComponentCloseSelect
// follows, no instance is left and the entry's status is answered.
CF_EXPORT OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
// Sends kComponentCloseSelect and frees the instance whatever it answers;
// invalidComponentID for an instance that is not open (badComponentInstance
// does not fit an OSErr).
CF_EXPORT OSErr CloseComponent(ComponentInstance aComponentInstance);
CF_EXPORT void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage);
CF_EXPORT Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);

// Calls the entry of the instance in params[0]; badComponentInstance when it
// is not open. Takes no lock and allocates nothing.
CF_EXPORT ComponentResult CallComponentDispatch(ComponentParameters* cp);
// kComponentCanDoSelect: 1 when the instance implements the selector.
CF_EXPORT ComponentResult ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber);
// kComponentVersionSelect.
CF_EXPORT ComponentResult GetComponentVersion(ComponentInstance ci);

CF_EXTERN_C_END
