// Construction, configuration, host identification and teardown of the
// component.

#include "tandem/tandem_component.h"

#include "tandem/cf_handle.h"
#include "tandem/tandem_cocoa_view.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"

#include <CoreServices/CoreServices.h>
#include <mach-o/dyld.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace
{
constexpr double kIdleInterval = 0.025;        // seconds
constexpr VstInt32 kTandemHello = 0x73486921;  // 'sHi!'

CFHandle<CFURLRef> parentURL(const CFHandle<CFURLRef>& url)
{
    CFHandle<CFURLRef> parent(CFURLCreateCopyDeletingLastPathComponent(kCFAllocatorDefault, url.get()));
    if (!parent)
    {
        throw TandemException("Could not remove last path component from URL");
    }
    return parent;
}

// The path of the loaded image that holds this code.
bool findOwnImagePath(char (&path)[PATH_MAX])
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&findOwnImagePath), &info) == 0)
    {
        return false;
    }
    const uint32_t count = _dyld_image_count();
    for (uint32_t index = 0; index < count; ++index)
    {
        if (static_cast<const void*>(_dyld_get_image_header(index)) == info.dli_fbase)
        {
            // Hosts may reach the module through a link; the bundle is where
            // the file really is.
            const char* name = _dyld_get_image_name(index);
            return name != nullptr && realpath(name, path) != nullptr;
        }
    }
    return false;
}

bool booleanFromConfiguration(CFDictionaryRef configuration, CFStringRef key)
{
    CFTypeRef value = CFDictionaryGetValue(configuration, key);
    if (value == nullptr)
    {
        throw TandemException("Missing key in dictionary");
    }
    if (CFGetTypeID(value) != CFBooleanGetTypeID())
    {
        throw FormatException("Value in dictionary is not of expected type");
    }
    return CFBooleanGetValue(static_cast<CFBooleanRef>(value));
}

bool versionBelow(CFStringRef version, const char* limit)
{
    const CFHandle<CFStringRef> limitString(
        CFStringCreateWithCString(kCFAllocatorDefault, limit, kCFStringEncodingASCII));
    return CFStringCompare(version, limitString.get(), kCFCompareNumerically | kCFCompareCaseInsensitive) ==
           kCFCompareLessThan;
}
}  // namespace

TandemComponent::TandemComponent(ComponentInstance auComponentInstance)
    : auComponentInstance(auComponentInstance), listeners(auComponentInstance), renderPath(vst, setup, listeners),
      presets(auComponentInstance, vst, setup, listeners), properties(vst, setup, renderPath, presets)
{
    try
    {
        construct();
    }
    catch (...)
    {
        uninit();
        throw;
    }
}

TandemComponent::~TandemComponent() { uninit(); }

void TandemComponent::construct()
{
    TANDEM_REQUIRE(auComponentInstance != 0);
    getComponentName(gTraceIdentifierString);
    locateOwnBundle();
    loadConfiguration();
    locateResourcesFolder();
    openEffect();
    layOutForEffect();
    properties.loadParameterMapping();
    presets.loadOrCreateFactoryPresets();
    if (setup.autoConvertPresets)
    {
        char componentName[256];
        getComponentName(componentName);
        presets.convertVSTPresets(componentName);
    }
    // Kept without telling anyone: no host listens yet.
    renderPath.updateInitialDelayTime();
    if (setup.vstSupportsTail)
    {
        renderPath.updateTailTime();
    }
    presets.updateCurrentAUPreset();
    installIdleTimer();
}

void TandemComponent::openEffect()
{
    const CFHandle<CFBundleRef> vstBundle(createVSTBundle());
    vst = std::make_unique<VSTPlugIn>(*this, vstBundle.get(), static_cast<float>(renderPath.getSampleRate()),
                                      renderPath.getMaxFramesPerSlice());
    vst->open();
    checkAndProbeEffect();
}

// Buses, channel configurations and buffers from the effect's pins.
void TandemComponent::layOutForEffect()
{
    tryToIdentifyHostApplication();
    const bool requireNumChannels = getComponentType() != kAudioUnitType_MusicDevice || setup.hostApplication == 1;
    renderPath.layOutForEffect(requireNumChannels);
}

void TandemComponent::locateOwnBundle()
{
    char imagePath[PATH_MAX];
    if (!findOwnImagePath(imagePath))
    {
        throw TandemException("Could not find image for current bundle");
    }
    CFHandle<CFURLRef> url(
        CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(imagePath),
                                                static_cast<CFIndex>(std::strlen(imagePath)), false));
    if (!url)
    {
        throw TandemException("Could not create URL from file system representation");
    }
    // The image sits in Contents/<architecture>/ of the bundle.
    for (int cut = 0; cut < 3; ++cut)
    {
        url = parentURL(url);
    }
    TANDEM_REQUIRE(auBundleRef == 0);
    auBundleRef = CFBundleCreate(kCFAllocatorDefault, url.get());
    if (auBundleRef == nullptr)
    {
        throw TandemException("Could not create bundle from URL");
    }
}

void TandemComponent::loadConfiguration()
{
    CFDictionaryRef info = CFBundleGetInfoDictionary(auBundleRef);
    if (info == nullptr)
    {
        throw TandemException("Could not get info dictionary for bundle");
    }
    CFTypeRef configuration = CFDictionaryGetValue(info, CFSTR("TDConfig"));
    if (configuration == nullptr)
    {
        throw TandemException("Missing key in dictionary");
    }
    if (CFGetTypeID(configuration) != CFDictionaryGetTypeID())
    {
        throw FormatException("Value in dictionary is not of expected type");
    }
    const auto dictionary = static_cast<CFDictionaryRef>(configuration);
    setup.autoConvertPresets = booleanFromConfiguration(dictionary, CFSTR("AutoConvertPresets"));
    setup.presetIsFXB = booleanFromConfiguration(dictionary, CFSTR("PresetIsFXB"));
    setup.updateNameOnLoad = booleanFromConfiguration(dictionary, CFSTR("UpdateNameOnLoad"));
    setup.canDoMonoIO = booleanFromConfiguration(dictionary, CFSTR("CanDoMonoIO"));
}

void TandemComponent::locateResourcesFolder()
{
    CFURLRef url = CFBundleCopyResourcesDirectoryURL(auBundleRef);
    if (url == nullptr)
    {
        throw TandemException("Could not locate resources directory within bundle");
    }
    const CFHandle<CFURLRef> owned(url);
    if (!CFURLGetFSRef(url, &setup.resourcesFolder))
    {
        throw MacOSException(fnfErr);
    }
}

// The effect lives in this bundle, or in the one bundle (or alias to one)
// placed among its resources as type "vst".
CFBundleRef TandemComponent::createVSTBundle() const
{
    const CFHandle<CFArrayRef> found(CFBundleCopyResourceURLsOfType(auBundleRef, CFSTR("vst"), nullptr));
    if (!found)
    {
        throw TandemException("Could not locate resources of specific type in bundle");
    }
    const CFIndex count = CFArrayGetCount(found.get());
    if (count == 0)
    {
        CFRetain(auBundleRef);
        return auBundleRef;
    }
    if (count > 1)
    {
        throw TandemException("Found more than one VST bundle or alias in resources");
    }
    CFHandle<CFURLRef> url(static_cast<CFURLRef>(CFRetain(CFArrayGetValueAtIndex(found.get(), 0))));
    FSRef ref;
    Boolean isFolder = false;
    Boolean wasAliased = false;
    if (CFURLGetFSRef(url.get(), &ref) && FSResolveAliasFile(&ref, true, &isFolder, &wasAliased) == noErr)
    {
        url.reset(CFURLCreateFromFSRef(kCFAllocatorDefault, &ref));
        if (!url)
        {
            throw TandemException("Could not create URL from FSRef");
        }
    }
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url.get());
    if (bundle == nullptr)
    {
        throw TandemException("Could not locate VST bundle");
    }
    return bundle;
}

void TandemComponent::checkAndProbeEffect()
{
    if (vst->getInputCount() > kMaxChannels)
    {
        throw TandemException("VST has too many inputs");
    }
    if (vst->getOutputCount() > kMaxChannels)
    {
        throw TandemException("VST has too many outputs");
    }
    if (!vst->canProcessReplacing())
    {
        throw TandemException("VST does not support processReplacing()");
    }
    setup.vstGotTandemExtensions = vst->vendorSpecific(kTandemHello, 0, nullptr, 0.0f) != 0;
    setup.vstSupportsTail = vst->getTailSize() != 0;
    setup.bypassSupported = vst->setBypass(false);
    if (setup.vstSupportsTail && vst->dontProcessSilence())
    {
        tandemTrace("VST supports tail but has flagged not to process silent input, makes no sense!\n");
        TANDEM_REQUIRE(!setup.vstSupportsTail || !vst->dontProcessSilence());
    }
}

void TandemComponent::tryToIdentifyHostApplication()
{
    setup.hostApplication = 0;
    CFBundleRef mainBundle = CFBundleGetMainBundle();
    CFStringRef identifier = mainBundle != nullptr ? CFBundleGetIdentifier(mainBundle) : nullptr;
    CFTypeRef version = mainBundle != nullptr
                            ? CFBundleGetValueForInfoDictionaryKey(mainBundle, CFSTR("CFBundleShortVersionString"))
                            : nullptr;
    if (identifier == nullptr || version == nullptr || CFGetTypeID(version) != CFStringGetTypeID())
    {
        return;
    }
    const auto versionString = static_cast<CFStringRef>(version);
    if (CFEqual(identifier, CFSTR("com.apple.logic.pro")) || CFEqual(identifier, CFSTR("com.apple.logic.express")))
    {
        setup.hostApplication = versionBelow(versionString, "8.0.0") ? 1 : 3;
    }
    else if (CFEqual(identifier, CFSTR("com.apple.garageband")) && versionBelow(versionString, "4.2"))
    {
        setup.hostApplication = 2;
    }
    TANDEM_REQUIRE(setup.hostApplication <= 3);
}

void TandemComponent::installIdleTimer()
{
    TANDEM_REQUIRE(idleTimerRef == 0);
    const OSStatus status = InstallEventLoopTimer(GetMainEventLoop(), kIdleInterval, kIdleInterval,
                                                  &TandemComponent::idleTimerAction, this, &idleTimerRef);
    if (status != noErr)
    {
        throw MacOSException(status);
    }
    TANDEM_REQUIRE(idleTimerRef != 0);
}

void TandemComponent::idleTimerAction(EventLoopTimerRef, void* userData)
{
    auto* component = static_cast<TandemComponent*>(userData);
    if (component->displayChanged.exchange(false, std::memory_order_relaxed) &&
        component->presets.updateCurrentAUPreset())
    {
        component->presets.notifyCurrentPresetChanged();
    }
    component->vst->idle();
}

void TandemComponent::getComponentName(char* name) const
{
    TANDEM_REQUIRE(name != 0);
    Handle nameHandle = NewHandle(0);
    if (nameHandle == nullptr)
    {
        throw MacOSException(MemError());
    }
    const OSErr error = GetComponentInfo(reinterpret_cast<Component>(auComponentInstance), nullptr, nameHandle, nullptr,
                                         nullptr);
    if (error != noErr)
    {
        DisposeHandle(nameHandle);
        throw MacOSException(error);
    }
    const auto length = static_cast<unsigned char>((*nameHandle)[0]);
    std::memcpy(name, *nameHandle + 1, length);
    name[length] = '\0';
    DisposeHandle(nameHandle);
}

OSType TandemComponent::getComponentType() const
{
    ComponentDescription description{};
    const OSErr error = GetComponentInfo(reinterpret_cast<Component>(auComponentInstance), &description, nullptr,
                                         nullptr, nullptr);
    if (error != noErr)
    {
        throw MacOSException(error);
    }
    return description.componentType;
}

// Also undoes a construction that failed part-way, so every step checks what
// exists.
void TandemComponent::uninit()
{
    if (cocoaView != nullptr)
    {
        // The host may keep the view longer; it must not call back into us.
        cocoaView->detach();
        cocoaView = nullptr;
    }
    if (idleTimerRef != nullptr)
    {
        // Fails only for a timer that is not installed, which would be our
        // own fault.
        const OSStatus removed = RemoveEventLoopTimer(idleTimerRef);
        TANDEM_REQUIRE(removed == noErr);
        idleTimerRef = nullptr;
    }
    vst.reset();
    if (auBundleRef != nullptr)
    {
        if (CFGetRetainCount(auBundleRef) == 1 && CFBundleIsExecutableLoaded(auBundleRef))
        {
            CFBundleUnloadExecutable(auBundleRef);
        }
        releaseCF(auBundleRef);
    }
}
