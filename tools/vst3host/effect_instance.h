#pragma once
// One effect of a module as a host holds it: the processor ("Audio Module
// Class") and its controller, each created by the factory and initialized
// with a host context, the controller given the host's component handler,
// the two connected through IConnectionPoint when both offer it, and the
// controller handed the processor's state, as hosts do before anything else.
//
// Only what needs the host's objects is wrapped here (state streams, texts,
// the program list); everything else is called on the interfaces, in any
// order a test wants.
//
// Threads: the state and parameter calls belong to one interface thread at a
// time; processing runs through a ProcessCaller on the audio thread.
// close() releases everything and says what the plug-in left behind.

#include "vst3host/component_handler.h"
#include "vst3host/host_application.h"
#include "vst3host/module.h"

#include "vst3/abi/editing.h"
#include "vst3/abi/view.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vst3host
{
struct InstanceOptions
{
    bool connect = true;              // the halves, when both offer IConnectionPoint
    bool setComponentHandler = true;  // hosts that only scan do not
};

using Bytes = std::vector<std::uint8_t>;

class EffectInstance
{
public:
    // Null with one readable line in error when the module holds no audio
    // effect, or when a half cannot be created or initialized.
    static std::unique_ptr<EffectInstance> create(Module& module, std::string& error, InstanceOptions options = {});

    ~EffectInstance();
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    vst3::IComponent& component() const { return *componentPart; }
    vst3::IAudioProcessor& processor() const { return *processorPart; }
    vst3::IEditController& controller() const { return *controllerPart; }
    // Null when the controller has no units.
    vst3::IUnitInfo* unitInfo() const { return units.get(); }
    ComponentHandler& handler() const { return *componentHandler; }
    bool connected() const { return isConnected; }

    // Component state: getState into bytes, setState from them.
    vst3::tresult componentState(Bytes& state);
    vst3::tresult setComponentState(const Bytes& state);
    // The controller's own state, and the component's handed to it.
    vst3::tresult controllerState(Bytes& state);
    vst3::tresult setControllerState(const Bytes& state);
    vst3::tresult syncController(const Bytes& componentState);

    std::vector<vst3::ParameterInfo> parameters() const;
    // getParamStringByValue; nothing when the controller refuses.
    std::optional<std::string> parameterText(vst3::ParamID id, vst3::ParamValue normalized) const;
    // getParamValueByString.
    std::optional<vst3::ParamValue> parameterValue(vst3::ParamID id, const std::string& text) const;
    // The names of the program list's programs, in order.
    std::vector<std::string> programNames(vst3::ProgramListID list) const;

    // The controller's view of the type, with one reference; empty when it has none.
    Ref<vst3::IPlugView> createView(const char* type = vst3::kEditorViewType) const;

    // Disconnects and terminates both halves and makes the host's last
    // releases. One line for each thing the plug-in left behind: a half that
    // did not reach a count of zero, a host object it still holds, a stream
    // it kept. Empty when it left nothing. Once only; the destructor closes an
    // instance still open.
    std::vector<std::string> close();

private:
    EffectInstance() = default;
    bool open(Module& module, const InstanceOptions& options, std::string& error);
    void connectHalves();
    // Runs call with a host stream holding `in`; copies what it then holds
    // to out, when given, and notes a plug-in that kept the stream.
    template <typename Call>
    vst3::tresult throughStream(const Bytes& in, Bytes* out, const char* what, Call call);

    Ref<HostApplication> context = makeHostObject<HostApplication>();
    Ref<ComponentHandler> componentHandler = makeHostObject<ComponentHandler>();
    Ref<vst3::IComponent> componentPart;
    Ref<vst3::IAudioProcessor> processorPart;
    Ref<vst3::IEditController> controllerPart;
    Ref<vst3::IUnitInfo> units;
    Ref<vst3::IConnectionPoint> componentPoint, controllerPoint;
    bool isConnected = false;
    bool componentInitialized = false, controllerInitialized = false;

    std::mutex leaksMutex;  // streams are checked on whichever thread uses them
    std::vector<std::string> leaks;
};
}  // namespace vst3host
