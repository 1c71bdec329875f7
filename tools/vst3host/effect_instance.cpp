#include "vst3host/effect_instance.h"

#include "vst3host/memory_stream.h"
#include "vst3host/text.h"

#include <utility>

namespace vst3host
{
namespace
{
constexpr char kProcessorCategory[] = "Audio Module Class";

std::string leftReferences(const char* what, std::optional<vst3::uint32> count)
{
    return std::string(what) + " still had " + std::to_string(count.value_or(0)) +
           " references after the host's last release";
}
}  // namespace

std::unique_ptr<EffectInstance> EffectInstance::create(Module& module, std::string& error, InstanceOptions options)
{
    std::unique_ptr<EffectInstance> instance(new EffectInstance());
    if (!instance->open(module, options, error))
        return nullptr;
    return instance;
}

EffectInstance::~EffectInstance()
{
    if (componentPart)
        close();
}

bool EffectInstance::open(Module& module, const InstanceOptions& options, std::string& error)
{
    const std::optional<ClassEntry> processorClass = module.findClass(kProcessorCategory);
    if (!processorClass)
    {
        error = "the module " + module.modulePath() + " has no audio effect class";
        return false;
    }
    componentPart = module.create<vst3::IComponent>(processorClass->info.cid);
    if (!componentPart || componentPart->initialize(context.get()) != vst3::kResultOk)
    {
        error = "the effect's processor could not be created and initialized";
        return false;
    }
    componentInitialized = true;
    processorPart = queryInterface<vst3::IAudioProcessor>(componentPart.get());
    vst3::TUID controllerClass{};
    if (componentPart->getControllerClassId(controllerClass) == vst3::kResultOk)
        controllerPart = module.create<vst3::IEditController>(controllerClass);
    if (!processorPart || !controllerPart || controllerPart->initialize(context.get()) != vst3::kResultOk)
    {
        error = "the effect has no audio processor, or its controller could not be created and initialized";
        return false;
    }
    controllerInitialized = true;
    if (options.setComponentHandler)
        controllerPart->setComponentHandler(componentHandler.get());
    units = queryInterface<vst3::IUnitInfo>(controllerPart.get());
    if (options.connect)
        connectHalves();
    Bytes state;
    if (componentState(state) == vst3::kResultOk)
        syncController(state);
    return true;
}

void EffectInstance::connectHalves()
{
    componentPoint = queryInterface<vst3::IConnectionPoint>(componentPart.get());
    controllerPoint = queryInterface<vst3::IConnectionPoint>(controllerPart.get());
    if (!componentPoint || !controllerPoint)
        return;
    componentPoint->connect(controllerPoint.get());
    controllerPoint->connect(componentPoint.get());
    isConnected = true;
}

template <typename Call>
vst3::tresult EffectInstance::throughStream(const Bytes& in, Bytes* out, const char* what, Call call)
{
    const Ref<MemoryStream> stream = makeHostObject<MemoryStream>(in);
    const vst3::tresult result = call(stream.get());
    if (out)
        *out = stream->bytes();
    if (stream->referenceCount() > 1)
    {
        const std::lock_guard lock(leaksMutex);
        leaks.push_back(std::string(what) + " kept the host's stream");
    }
    return result;
}

vst3::tresult EffectInstance::componentState(Bytes& state)
{
    return throughStream({}, &state, "the processor's getState",
                         [this](vst3::IBStream* stream) { return componentPart->getState(stream); });
}

vst3::tresult EffectInstance::setComponentState(const Bytes& state)
{
    return throughStream(state, nullptr, "the processor's setState",
                         [this](vst3::IBStream* stream) { return componentPart->setState(stream); });
}

vst3::tresult EffectInstance::controllerState(Bytes& state)
{
    return throughStream({}, &state, "the controller's getState",
                         [this](vst3::IBStream* stream) { return controllerPart->getState(stream); });
}

vst3::tresult EffectInstance::setControllerState(const Bytes& state)
{
    return throughStream(state, nullptr, "the controller's setState",
                         [this](vst3::IBStream* stream) { return controllerPart->setState(stream); });
}

vst3::tresult EffectInstance::syncController(const Bytes& componentState)
{
    return throughStream(componentState, nullptr, "the controller's setComponentState",
                         [this](vst3::IBStream* stream) { return controllerPart->setComponentState(stream); });
}

std::vector<vst3::ParameterInfo> EffectInstance::parameters() const
{
    std::vector<vst3::ParameterInfo> infos;
    for (vst3::int32 index = 0; index < controllerPart->getParameterCount(); ++index)
        if (vst3::ParameterInfo info{}; controllerPart->getParameterInfo(index, info) == vst3::kResultOk)
            infos.push_back(info);
    return infos;
}

std::optional<std::string> EffectInstance::parameterText(vst3::ParamID id, vst3::ParamValue normalized) const
{
    vst3::String128 text{};
    if (controllerPart->getParamStringByValue(id, normalized, text) != vst3::kResultOk)
        return std::nullopt;
    return utf8(text);
}

std::optional<vst3::ParamValue> EffectInstance::parameterValue(vst3::ParamID id, const std::string& text) const
{
    std::u16string wide = utf16(text);
    vst3::ParamValue value = 0.0;
    if (controllerPart->getParamValueByString(id, wide.data(), value) != vst3::kResultOk)
        return std::nullopt;
    return value;
}

std::vector<std::string> EffectInstance::programNames(vst3::ProgramListID list) const
{
    std::vector<std::string> names;
    if (!units)
        return names;
    for (vst3::int32 index = 0; index < units->getProgramListCount(); ++index)
    {
        vst3::ProgramListInfo info{};
        if (units->getProgramListInfo(index, info) != vst3::kResultOk || info.id != list)
            continue;
        for (vst3::int32 program = 0; program < info.programCount; ++program)
        {
            vst3::String128 name{};
            units->getProgramName(list, program, name);
            names.push_back(utf8(name));
        }
    }
    return names;
}

Ref<vst3::IPlugView> EffectInstance::createView(const char* type) const
{
    return Ref<vst3::IPlugView>::adopt(controllerPart->createView(type));
}

std::vector<std::string> EffectInstance::close()
{
    if (!componentPart)
        return {};
    if (isConnected)
    {
        componentPoint->disconnect(controllerPoint.get());
        controllerPoint->disconnect(componentPoint.get());
        isConnected = false;
    }
    componentPoint.reset();
    controllerPoint.reset();
    units.reset();
    processorPart.reset();
    if (std::exchange(controllerInitialized, false))
        controllerPart->terminate();
    if (std::exchange(componentInitialized, false))
        componentPart->terminate();
    const std::optional<vst3::uint32> controllerLeft = controllerPart.reset();
    const std::optional<vst3::uint32> componentLeft = componentPart.reset();

    const std::lock_guard lock(leaksMutex);
    std::vector<std::string> left = std::move(leaks);
    if (controllerLeft.value_or(0) != 0)
        left.push_back(leftReferences("the controller", controllerLeft));
    if (componentLeft.value_or(0) != 0)
        left.push_back(leftReferences("the processor", componentLeft));
    if (componentHandler->referenceCount() > 1)
        left.push_back("the plug-in still holds the component handler");
    if (context->referenceCount() > 1)
        left.push_back("the plug-in still holds the host context");
    if (const int alive = context->objectsAlive(); alive > 0)
        left.push_back(std::to_string(alive) + " messages or attribute lists the host made were never released");
    return left;
}
}  // namespace vst3host
