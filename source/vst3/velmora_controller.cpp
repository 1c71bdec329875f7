#include "vst3/velmora_controller.h"

#include "vst3/panel_view.h"
#include "vst3/utf16_text.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace velmora::vst3face
{
VelmoraController::VelmoraController() { takeState(stateOfBank(ProgramBank{}, 0.0f)); }

VelmoraController::~VelmoraController() { terminate(); }

vst3::tresult VelmoraController::queryInterface(const vst3::TUID interfaceId, void** object)
{
    if (!object)
        return vst3::kInvalidArgument;
    if (answerAs<vst3::FUnknown, vst3::IEditController>(this, interfaceId, object) ||
        answerAs<vst3::IPluginBase, vst3::IEditController>(this, interfaceId, object) ||
        answerAs<vst3::IEditController>(this, interfaceId, object) ||
        answerAs<vst3::IUnitInfo>(this, interfaceId, object) ||
        answerAs<vst3::IConnectionPoint>(this, interfaceId, object))
        return vst3::kResultOk;
    return noInterface(object);
}

vst3::tresult VelmoraController::initialize(vst3::FUnknown* context) { return links.takeContext(context); }

vst3::tresult VelmoraController::terminate()
{
    setComponentHandler(nullptr);
    links.dropAll();
    return vst3::kResultOk;
}

void VelmoraController::takeState(const ComponentState& state)
{
    programs = state;
    values[kBypassId] = state.bypass != 0.0f ? 1.0 : 0.0;
    values[kProgramId] = normalizedOfStep(kProgramId, state.currentProgram);
    showCurrentProgram();
}

void VelmoraController::showCurrentProgram()
{
    const ComponentState::Program& current = programs.programs[static_cast<std::size_t>(programs.currentProgram)];
    const float effectValues[kNumParams] = {current.onOff, current.size, current.dryWet};
    for (vst3::ParamID id = 0; id < kNumParams; ++id)
    {
        values[id] = normalizedOfEffectValue(id, effectValues[id]);
        if (view)
            view->showValue(id, effectValues[id]);
    }
}

vst3::tresult VelmoraController::setComponentState(vst3::IBStream* state)
{
    ComponentState read;
    if (!readComponentState(state, read))
        return vst3::kResultFalse;
    takeState(read);
    return vst3::kResultOk;
}

// Everything the controller shows comes from the component: its own state is empty.
vst3::tresult VelmoraController::setState(vst3::IBStream*) { return vst3::kResultOk; }
vst3::tresult VelmoraController::getState(vst3::IBStream*) { return vst3::kResultOk; }

vst3::int32 VelmoraController::getParameterCount() { return kParameterCount; }

vst3::tresult VelmoraController::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info)
{
    return describeParameter(paramIndex, info) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult VelmoraController::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                       vst3::String128 string)
{
    if (!isParameter(id) || !string)
        return vst3::kInvalidArgument;
    copyUtf16(textOf(id, valueNormalized, programs).c_str(), string, std::size(vst3::String128{}));
    return vst3::kResultOk;
}

vst3::tresult VelmoraController::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                       vst3::ParamValue& valueNormalized)
{
    if (!isParameter(id) || !string)
        return vst3::kInvalidArgument;
    const std::string text = asciiOf(string, std::size(vst3::String128{}));
    return valueOfText(id, text, programs, valueNormalized) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::ParamValue VelmoraController::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized)
{
    return isParameter(id) ? plainOf(id, valueNormalized) : 0.0;
}

vst3::ParamValue VelmoraController::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue)
{
    return isParameter(id) ? normalizedOfPlain(id, plainValue) : 0.0;
}

vst3::ParamValue VelmoraController::getParamNormalized(vst3::ParamID id) { return isParameter(id) ? values[id] : 0.0; }

// The bank copy follows as the component's bank does, so that switching
// programs shows their values.
vst3::tresult VelmoraController::setParamNormalized(vst3::ParamID id, vst3::ParamValue value)
{
    if (!isParameter(id) || !(value >= 0.0 && value <= 1.0))
        return vst3::kInvalidArgument;
    values[id] = value;
    if (view && id < kNumParams)
        view->showValue(id, effectValueOf(id, value));
    ComponentState::Program& current = programs.programs[static_cast<std::size_t>(programs.currentProgram)];
    switch (id)
    {
    case kOnOffId: current.onOff = effectValueOf(id, value); break;
    case kSizeId: current.size = effectValueOf(id, value); break;
    case kDryWetId: current.dryWet = effectValueOf(id, value); break;
    case kBypassId: programs.bypass = static_cast<float>(stepOf(id, value)); break;
    default:
        programs.currentProgram = stepOf(id, value);
        showCurrentProgram();
        if (componentHandler)
            componentHandler->restartComponent(vst3::kParamValuesChanged);
        break;
    }
    return vst3::kResultOk;
}

vst3::tresult VelmoraController::setComponentHandler(vst3::IComponentHandler* handler)
{
    holdReference(componentHandler, handler);
    return vst3::kResultOk;
}

vst3::IPlugView* VelmoraController::createView(vst3::FIDString name)
{
    if (!name || std::strcmp(name, vst3::kEditorViewType) != 0)
        return nullptr;
    try
    {
        view = new PanelView(*this);
        return view;
    }
    catch (...)
    {
        return nullptr;
    }
}

void VelmoraController::forgetView(PanelView* closing)
{
    if (view == closing)
        view = nullptr;
}

float VelmoraController::effectValue(vst3::ParamID id) const
{
    return isParameter(id) ? effectValueOf(id, values[id]) : 0.0f;
}

// As a host's setParamNormalized, and on to the host, which sends it to the
// component.
void VelmoraController::editFromPanel(vst3::ParamID id, float effectValue)
{
    const vst3::ParamValue normalized = normalizedOfEffectValue(id, effectValue);
    if (setParamNormalized(id, normalized) == vst3::kResultOk && componentHandler)
        componentHandler->performEdit(id, normalized);
}

void VelmoraController::gestureFromPanel(vst3::ParamID id, bool begins)
{
    if (!componentHandler || !isParameter(id))
        return;
    begins ? componentHandler->beginEdit(id) : componentHandler->endEdit(id);
}

vst3::tresult VelmoraController::connect(vst3::IConnectionPoint* other) { return links.connect(other); }

vst3::tresult VelmoraController::disconnect(vst3::IConnectionPoint* other) { return links.disconnect(other); }

vst3::tresult VelmoraController::notify(vst3::IMessage* message)
{
    const char* id = message ? message->getMessageID() : nullptr;
    vst3::IAttributeList* attributes = message ? message->getAttributes() : nullptr;
    if (!id || std::strcmp(id, kStateMessageId) != 0 || !attributes)
        return vst3::kResultFalse;
    const void* data = nullptr;
    vst3::uint32 size = 0;
    ComponentState state;
    if (attributes->getBinary(kStateAttribute, data, size) != vst3::kResultOk ||
        !decodeComponentState(static_cast<const unsigned char*>(data), size, state))
        return vst3::kResultFalse;
    takeState(state);
    return vst3::kResultOk;
}
}  // namespace velmora::vst3face
