#pragma once
// The VST3 controller: what a host shows and edits of the effect. It keeps
// the parameters' normalized values and a copy of the program bank, which it
// learns from the component's state (setComponentState, or the component's
// message when the host connects the two), and offers the eight programs as
// the program list of its one unit. The panel is its view.
//
// Threads: the host's interface thread, all of it.

#include "vst3/abi/editing.h"
#include "vst3/com_object.h"
#include "vst3/component_state.h"
#include "vst3/face_parameters.h"
#include "vst3/host_links.h"

#include <array>

namespace velmora::vst3face
{
class PanelView;

class VelmoraController final : public ComObject<vst3::IEditController, vst3::IUnitInfo, vst3::IConnectionPoint>
{
public:
    VelmoraController();

    vst3::tresult queryInterface(const vst3::TUID interfaceId, void** object) override;

    vst3::tresult initialize(vst3::FUnknown* context) override;
    vst3::tresult terminate() override;

    vst3::tresult setComponentState(vst3::IBStream* state) override;
    vst3::tresult setState(vst3::IBStream* state) override;
    vst3::tresult getState(vst3::IBStream* state) override;
    vst3::int32 getParameterCount() override;
    vst3::tresult getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                        vst3::String128 string) override;
    vst3::tresult getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                        vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::ParamValue plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue getParamNormalized(vst3::ParamID id) override;
    vst3::tresult setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* createView(vst3::FIDString name) override;

    vst3::int32 getUnitCount() override;
    vst3::tresult getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 getProgramListCount() override;
    vst3::tresult getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
    vst3::tresult getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex, vst3::String128 name) override;
    vst3::tresult getProgramInfo(vst3::ProgramListID listId, vst3::int32 programIndex, const char* attributeId,
                                 vst3::String128 attributeValue) override;
    vst3::tresult hasProgramPitchNames(vst3::ProgramListID listId, vst3::int32 programIndex) override;
    vst3::tresult getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex, vst3::int16 midiPitch,
                                      vst3::String128 name) override;
    vst3::UnitID getSelectedUnit() override;
    vst3::tresult selectUnit(vst3::UnitID unitId) override;
    vst3::tresult getUnitByBus(vst3::int32 mediaType, vst3::int32 direction, vst3::int32 busIndex, vst3::int32 channel,
                               vst3::UnitID& unitId) override;
    vst3::tresult setUnitProgramData(vst3::int32 listOrUnitId, vst3::int32 programIndex, vst3::IBStream* data) override;

    vst3::tresult connect(vst3::IConnectionPoint* other) override;
    vst3::tresult disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult notify(vst3::IMessage* message) override;

    // For its view: the effect's value of a parameter, the user's edits and
    // gestures on the panel (sent on to the host), and the view going away.
    float effectValue(vst3::ParamID id) const;
    void editFromPanel(vst3::ParamID id, float effectValue);
    void gestureFromPanel(vst3::ParamID id, bool begins);
    void forgetView(PanelView* closing);

private:
    ~VelmoraController() override;

    // The values and bank of a component state, as the component holds them.
    void takeState(const ComponentState& state);
    // The effect's three values from the current program of the bank copy.
    void showCurrentProgram();

    std::array<vst3::ParamValue, kParameterCount> values{};
    ComponentState programs;
    HostLinks links;  // the host's context, and the component when connected
    vst3::IComponentHandler* componentHandler = nullptr;
    PanelView* view = nullptr;  // the last view made, while it lives
};
}  // namespace velmora::vst3face
