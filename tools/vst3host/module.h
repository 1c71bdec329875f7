#pragma once
// A VST3 module loaded the way Linux hosts load one: the shared object named
// as the bundle in Contents/<machine>-linux/ opened with dlopen (lazy, local
// symbols), ModuleEntry called with its handle, then GetPluginFactory; on
// unload the factory released, ModuleExit called and the library closed.
// The same bundle may be loaded by several Modules at once, as hosts that
// scan and then play do.
//
// Threads: load, the factory's calls and unload belong to one thread.

#include "vst3host/host_application.h"

#include "vst3/abi/base.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vst3host
{
struct ModuleOptions
{
    // Hand the factory a host context through IPluginFactory3::setHostContext,
    // as the SDK's validator does; some hosts never call it.
    bool setHostContext = true;
};

// One class of the factory as each of its info calls describes it.
struct ClassEntry
{
    vst3::PClassInfo info{};
    std::optional<vst3::PClassInfo2> info2;  // when the factory answers IPluginFactory2
    std::optional<vst3::PClassInfoW> infoW;  // when it answers IPluginFactory3
};

// What unloading found.
struct Unloaded
{
    // The count the factory reported on the host's release: 0 when it was
    // destroyed, more while another Module of the same bundle holds it.
    std::optional<vst3::uint32> factoryReferences;
    bool exitAccepted = false;     // ModuleExit's answer
    bool hostContextHeld = false;  // the plug-in kept a reference to the factory's context
};

class Module
{
public:
    // bundlePath: the NAME.vst3 folder. Null with one readable line in error
    // when it cannot be loaded.
    static std::unique_ptr<Module> load(const std::string& bundlePath, std::string& error, ModuleOptions options = {});

    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& modulePath() const { return path; }
    vst3::IPluginFactory& factory() const { return *pluginFactory; }
    vst3::PFactoryInfo factoryInfo() const;
    std::vector<ClassEntry> classes() const;
    // The first class of the category ("Audio Module Class", ...).
    std::optional<ClassEntry> findClass(const std::string& category) const;

    // A new object of the class, queried for Interface; empty when the
    // factory refuses.
    template <typename Interface>
    Ref<Interface> create(const char* classId) const
    {
        void* object = nullptr;
        if (pluginFactory->createInstance(classId, Interface::iid.data(), &object) != vst3::kResultOk || !object)
            return {};
        return Ref<Interface>::adopt(static_cast<Interface*>(object));
    }

    // Releases the factory, calls ModuleExit and closes the library. Once
    // only; the destructor unloads a Module still loaded.
    Unloaded unload();

private:
    Module(std::string path, void* library);

    std::string path;
    void* library = nullptr;
    Ref<vst3::IPluginFactory> pluginFactory;
    Ref<HostApplication> hostContext = makeHostObject<HostApplication>();
};
}  // namespace vst3host
