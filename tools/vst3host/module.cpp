#include "vst3host/module.h"

#include "vst3host/text.h"

#include <dlfcn.h>
#include <sys/utsname.h>

#include <filesystem>
#include <system_error>

namespace vst3host
{
namespace
{
namespace fs = std::filesystem;

using ModuleEntryFunction = bool (*)(void*);
using ModuleExitFunction = bool (*)();
using GetPluginFactoryFunction = vst3::IPluginFactory* (*)();

// Hosts look in the folder named after the kernel's machine name.
std::string architectureFolder()
{
    utsname system{};
    return std::string(uname(&system) == 0 ? system.machine : "x86_64") + "-linux";
}

std::string moduleInBundle(const std::string& bundlePath, std::string& error)
{
    std::error_code status;
    const fs::path bundle = fs::canonical(bundlePath, status);
    if (status)
    {
        error = "cannot open the VST3 bundle '" + bundlePath + "': " + status.message();
        return {};
    }
    const fs::path module = bundle / "Contents" / architectureFolder() / (bundle.stem().string() + ".so");
    if (!fs::is_directory(bundle, status) || !fs::is_regular_file(module, status))
    {
        error = "'" + bundlePath + "' is not a VST3 bundle: it holds no " +
                fs::relative(module, bundle.parent_path(), status).string();
        return {};
    }
    return module.string();
}

template <typename Function>
Function symbol(void* library, const char* name)
{
    return reinterpret_cast<Function>(dlsym(library, name));
}
}  // namespace

Module::Module(std::string path, void* library) : path(std::move(path)), library(library) {}

Module::~Module()
{
    if (library)
        unload();
}

std::unique_ptr<Module> Module::load(const std::string& bundlePath, std::string& error, ModuleOptions options)
{
    const std::string modulePath = moduleInBundle(bundlePath, error);
    if (modulePath.empty())
        return nullptr;
    void* library = dlopen(modulePath.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library)
    {
        const char* reason = dlerror();
        error = "cannot load " + modulePath + ": " + (reason ? reason : "unknown loader error");
        return nullptr;
    }
    const auto entry = symbol<ModuleEntryFunction>(library, "ModuleEntry");
    const auto exit = symbol<ModuleExitFunction>(library, "ModuleExit");
    const auto getFactory = symbol<GetPluginFactoryFunction>(library, "GetPluginFactory");
    if (!entry || !exit || !getFactory)
    {
        dlclose(library);
        error = modulePath + " is not a VST3 module: it lacks ModuleEntry, ModuleExit or GetPluginFactory";
        return nullptr;
    }
    if (!entry(library))
    {
        dlclose(library);
        error = "the module " + modulePath + " refused to load (ModuleEntry answered false)";
        return nullptr;
    }
    std::unique_ptr<Module> module(new Module(modulePath, library));
    module->pluginFactory = Ref<vst3::IPluginFactory>::adopt(getFactory());
    if (!module->pluginFactory)
    {
        error = "the module " + modulePath + " gave no factory";
        return nullptr;
    }
    if (options.setHostContext)
        if (const auto factory3 = queryInterface<vst3::IPluginFactory3>(module->pluginFactory.get()))
            factory3->setHostContext(module->hostContext.get());
    return module;
}

vst3::PFactoryInfo Module::factoryInfo() const
{
    vst3::PFactoryInfo info{};
    pluginFactory->getFactoryInfo(&info);
    return info;
}

std::vector<ClassEntry> Module::classes() const
{
    const auto factory2 = queryInterface<vst3::IPluginFactory2>(pluginFactory.get());
    const auto factory3 = queryInterface<vst3::IPluginFactory3>(pluginFactory.get());
    std::vector<ClassEntry> entries(static_cast<std::size_t>(std::max(0, pluginFactory->countClasses())));
    for (std::size_t index = 0; index < entries.size(); ++index)
    {
        const auto classIndex = static_cast<vst3::int32>(index);
        ClassEntry& entry = entries[index];
        pluginFactory->getClassInfo(classIndex, &entry.info);
        if (vst3::PClassInfo2 info2{}; factory2 && factory2->getClassInfo2(classIndex, &info2) == vst3::kResultOk)
            entry.info2 = info2;
        if (vst3::PClassInfoW infoW{}; factory3 && factory3->getClassInfoUnicode(classIndex, &infoW) == vst3::kResultOk)
            entry.infoW = infoW;
    }
    return entries;
}

std::optional<ClassEntry> Module::findClass(const std::string& category) const
{
    for (const ClassEntry& entry : classes())
        if (fieldText(entry.info.category) == category)
            return entry;
    return std::nullopt;
}

Unloaded Module::unload()
{
    Unloaded result;
    result.factoryReferences = pluginFactory.reset();
    result.exitAccepted = symbol<ModuleExitFunction>(library, "ModuleExit")();
    dlclose(library);
    library = nullptr;
    result.hostContextHeld = hostContext->referenceCount() > 1;
    return result;
}
}  // namespace vst3host
